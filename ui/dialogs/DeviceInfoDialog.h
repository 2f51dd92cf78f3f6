// The device information dialog: the panel model of the project and its
// description, kept in the Device Information node (kind 600).
//
// An item dialog (ItemDialog.h): LoadFromNode selects the model of the
// node's "DeviceID" (a number no model has, or no number, selects the first
// model) and shows the "Description" lines; OK keeps the node's "Caption"
// and writes "DeviceID" and "Description" in its place, dropping any other
// key. Translated under the form name "FormDeviceInfo".
#pragma once

#include "ItemDialog.h"

#include <array>

class QComboBox;
class QLabel;
class QPlainTextEdit;

class TFormDeviceInfo : public TItemDialog {
    Q_OBJECT
public:
    explicit TFormDeviceInfo(QWidget *parent = nullptr);
    ~TFormDeviceInfo() override;

    // "DeviceID" of each cbDevice item, in item order.
    static constexpr std::array<int, 2> DeviceIds{0, 1};

    QLabel *lbDeviceName;
    QComboBox *cbDevice;
    QLabel *lbDescription;
    QPlainTextEdit *mmDescription;

protected:
    void LoadControls(TwNode &node) override;
    void SaveControls(TwNode &node) override;
};

// The one instance, made at start-up and kept until the program ends.
extern TFormDeviceInfo *FormDeviceInfo;
// FormDeviceInfo, made on first use when start-up has not made it yet.
TFormDeviceInfo *DeviceInfoForm();
