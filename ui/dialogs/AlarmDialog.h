// The alarm dialog: one alarm of the alarm list (node kind 201), its index
// 1..64 (the number the PLC raises it by) and up to three text lines, each
// with an optional register whose value the panel puts into the line.
//
// An item dialog (ItemDialog.h) that carries "Caption" and "Description"
// over and writes "Index" ("01".."64"), "Line1".."Line3" and
// "Reference1".."Reference3" after them. Translated under the form name
// "FormAlarm".
//
// The index list offers the alarm's own index and every index no sibling
// uses; an alarm without an index is offered the lowest free one, written
// only on OK. A line is measured as the panel shows it: with a reference,
// the widest value the panel can show goes in place of its first "^" (or
// after its end when it has none). A line wider than 112 px is red and
// refused on OK (2008); a reference must be R, RHigh or D (2006).
#pragma once

#include "ItemDialog.h"

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;

// The width of an alarm line on the panel, in pixels: with a value, the
// widest value the panel shows put in as the panel puts it.
int AlarmLinePanelWidth(const QString &line, bool withValue);

class TFormAlarm : public TItemDialog {
    Q_OBJECT
public:
    explicit TFormAlarm(QWidget *parent = nullptr);
    ~TFormAlarm() override;

    static constexpr int AlarmCount = 64;
    static constexpr int LineCount = 3;

    QLabel *WideLabel1;
    std::array<QLabel *, LineCount> lbLines;       // WideLabel15, WideLabel17, WideLabel19
    std::array<QLabel *, LineCount> lbReferences;  // WideLabel16, WideLabel18, WideLabel20
    QComboBox *cbIndex;
    std::array<QLineEdit *, LineCount> edtLines;       // edtLine1..edtLine3
    std::array<QLineEdit *, LineCount> edtReferences;  // edtReference1..edtReference3

    // Live handlers of line i (0..2): the line's colour by its panel width,
    // the reference's by its kind (and its line's, since the value goes in).
    void edtLineChange(int i);
    void edtReferenceChange(int i);

protected:
    void LoadControls(TwNode &node) override;
    bool CheckInput() override;
    void SaveControls(TwNode &node) override;

private:
    // Whether line i fits the panel with its value put in.
    bool LineFits(int i) const;
    // Fills the index list for node and selects its index.
    void FillIndexes(const TwNode &node);
};

// The one instance, null until its first use.
extern TFormAlarm *FormAlarm;
// FormAlarm, made on first use.
TFormAlarm *AlarmForm();
