// The action dialog: an action item of a menu (kind 104), a string on the
// panel that writes to the PLC when the operator presses OK on it.
// Translated under the form name "fmAction".
//
// An item dialog (ItemDialog.h) of the OwnsCaption style. The action type is
// the index of cbActionType:
//   0 Toggle State, 1 Set On, 2 Set Off, 3 Momentary On, 4 Momentary Off
//       on an X, Y, M or S bit; Toggle State also has the OFF string
//   5 Set Value            writes the value (edtMax) to an R, D, DR or DD register
//   6 Step Up, 7 Step Down  step a register by the step size within Max and Min
// Only the fields of the chosen type are shown. Keys, in the order a save
// writes them: "ActionType", "Caption", the "Description" lines,
// "Reference", then type 0 "StringOff"; type 5 "Max", "Signed"; types 6
// and 7 "Max", "Min", "StepSize", "Signed". A stored type outside 0..7 (or
// no number) is shown as it is stored and is no type (NoType): no optional
// field is shown, only the string and the reference must not be empty, and
// it is saved as it was stored until the user chooses a type.
//
// The numbers are checked by the reference's register size and the sign:
// R and D signed or unsigned 16-bit, DR and DD signed or unsigned 32-bit.
// The step size takes digits only and must be at least 1.
#pragma once

#include "ItemDialog.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

class TfmAction : public TItemDialog {
    Q_OBJECT
public:
    explicit TfmAction(QWidget *parent = nullptr);
    ~TfmAction() override;

    // Action types (item indexes of cbActionType).
    static constexpr int ToggleState = 0;
    static constexpr int MomentaryOff = 4;  // the last bit action
    static constexpr int SetValue = 5;
    static constexpr int StepUp = 6;
    static constexpr int StepDown = 7;
    static constexpr int ActionTypeCount = 8;
    // A stored type outside the list.
    static constexpr int NoType = -1;

    // The chosen action type, or NoType.
    int ActionType() const;

    // ---- Live handlers ----
    // Shows the fields of the chosen type (nothing when they already are).
    void cbActionTypeChange();
    // Colours the reference by the kinds the type takes, then the numbers.
    void edtReferenceChange();
    // Colours a number field (edtMax, edtMin, edtStepSize) by the number type.
    void edtMaxMinChange(QLineEdit *field);
    // Re-colours the number fields after a change of the sign.
    void cbSignedClick();
    // Colours a string (edStringOn, edStringOff) by its width on the panel.
    void edStringOnChange(QLineEdit *field);

    QLabel *lbStringOn;
    QLabel *WideLabel2;
    QLabel *lbRef;
    QLabel *lbDecimalPoint;
    QLabel *lbMax;
    QLabel *lbMin;
    QLineEdit *edStringOn;
    QPlainTextEdit *moDescription;
    QLineEdit *edtReference;
    QLineEdit *edtMax;
    QLineEdit *edtMin;
    QComboBox *cbActionType;
    QLabel *lbStringOff;
    QLineEdit *edStringOff;
    QLabel *lbStepSize;
    QLineEdit *edtStepSize;
    QWidget *pnSign;
    QGroupBox *rgSign;
    QRadioButton *rbSigned;
    QRadioButton *rbUnsigned;
    QLabel *lbString;
    QLabel *lbValue;

protected:
    void LoadControls(TwNode &node) override;
    bool CheckInput() override;
    void SaveControls(TwNode &node) override;

private:
    void ArrangeFields(int type);
    // The number type (ConstantDataType) of the limits: by the reference's
    // register size and the sign; -1 when the reference names no register.
    int NumberType() const;
    bool CheckStepSize();

    int arrangedType_ = NoType - 1;  // the type the fields are shown for (none yet)
};

// The one instance, made at start-up and kept until the program ends.
extern TfmAction *fmAction;
// fmAction, made on first use when start-up has not made it yet.
TfmAction *ActionForm();
