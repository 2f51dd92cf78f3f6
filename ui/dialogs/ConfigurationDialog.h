// The configuration dialog: the project's one configuration node (kind 500)
// with the PLC registers the panel uses, the password protection, the top
// menu level and the screen saver. Translated under the form name
// "FormConfig".
//
// An item dialog (ItemDialog.h) of the KeepsCaption style. Keys, in the order
// a save writes them after "Caption" and "Description":
//   "AlarmIndex"             R, D register (one register), or none
//   "Password"               R, D, DR, DD register (two registers), or none
//   "ScreenSaverActiveTime"  a constant 1..99 (minutes) or an R, D register
//   "WorkingSpace"           R, D register (ten registers), or none
//   "Level1IsTop"            "1" or "0"
//   "ProtectType"            item index of cbPasswordType
//   "SaverEffect"            item index of cbEffect
// The register fields turn green and show the registers they take ("(R100~R109)")
// while they name a register whose registers all exist; OK refuses anything
// else with warning 2006. The protection type can be chosen only while the
// password names a register. A stored index outside a list is shown as it is
// stored and kept until another item is chosen.
#pragma once

#include "ItemDialog.h"

#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

class TFormConfig : public TItemDialog {
    Q_OBJECT
public:
    explicit TFormConfig(QWidget *parent = nullptr);
    ~TFormConfig() override;

    // Registers each field takes from its first one.
    static constexpr int AlarmRegisters = 1;
    static constexpr int PasswordRegisters = 2;
    static constexpr int WorkingSpaceRegisters = 10;

    // Writes into label the registers that count registers of the operand
    // kind take from number: "(R100)", "(R100~R109)"; a DR or DD register is
    // two words ("(D20~D23)" for two DD registers from DD20). Any other kind
    // leaves the label as it was.
    static void ShowRegisterRange(int count, uint32_t kind, int32_t number, QLabel *label);

    // ---- Live handlers ----
    void edtAlarmIndexChange();
    void edtPasswordChange();
    void edtWorkingSpaceChange();
    void edtScreenSaverActiveTimeChange();

    QLabel *lbAlarmIndex;
    QLineEdit *edtAlarmIndex;
    QLineEdit *edtPassword;
    QLabel *WideLabel2;
    QLabel *WideLabel1;
    QLineEdit *edtWorkingSpace;
    QCheckBox *ckbTopLevel;
    QLabel *WideLabel4;
    QComboBox *cbPasswordType;
    QGroupBox *WideGroupBox1;
    QLabel *WideLabel3;
    QLineEdit *edtScreenSaverActiveTime;
    QLabel *lbTimeUnit;
    QLabel *WideLabel5;
    QComboBox *cbEffect;
    QLabel *lbAlarmRange;
    QLabel *lbPasswordRange;
    QLabel *lbWorkSpaceRange;

protected:
    void LoadControls(TwNode &node) override;
    bool CheckInput() override;
    void SaveControls(TwNode &node) override;
};

// The one instance, made on first use and kept until the program ends.
extern TFormConfig *FormConfig;
// FormConfig, made when it does not exist yet.
TFormConfig *ConfigForm();
