// The value dialog: a menu row that shows, and may let the operator change,
// one PLC register with a unit, decimal places and limits (node kind 102).
//
// An item dialog (ItemDialog.h) that writes every key itself, in this order:
// "Caption", "Description", "Reference", "Max", "Min", "Signed", "Unit",
// "DecimalPoint", "ReadOnly". Translated under the form name "FormValue".
//
// The reference sorts into a number mode: R, RHigh, D, RT, RC are 16-bit,
// DR, DRHigh, DD, DRC 32-bit, signed when Signed is checked; anything else
// is no value reference. Timer and counter values (RT, RC, DRC) are always
// read-only and unsigned: the dialog checks and locks both boxes for them.
// Max and Min take the decimal constants of the mode, coloured while typing
// (Min only for R, RHigh, D, DR, DRHigh, DD; the window text colour for any
// other reference) and switched off while Read Only is checked.
//
// OK checks, in order: caption not empty (2000), reference not empty (2001),
// a value reference (2006), at most 4 decimal places on a 16-bit reference
// (2005); with Read Only unchecked a non-empty Max, then a non-empty Min of
// the mode (2006) and Max not below Min (2007, on Min).
#pragma once

#include "ItemDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

class TFormValue : public TItemDialog {
    Q_OBJECT
public:
    explicit TFormValue(QWidget *parent = nullptr);
    ~TFormValue() override;

    QLabel *WideLabel1;
    QLabel *WideLabel2;
    QLabel *lbRef;
    QLabel *lbUnit;
    QLabel *lbDecimalPoint;
    QLabel *lbMax;
    QLabel *lbMin;
    QLineEdit *edtCaption;
    QPlainTextEdit *moDescription;
    QLineEdit *edtReference;
    QCheckBox *cbSigned;
    QCheckBox *cbReadOnly;
    QLineEdit *edtMax;
    QLineEdit *edtMin;
    QComboBox *cbDecimalPoint;
    QLineEdit *edtUnit;

    // Live handlers, run by the changes of their controls.
    void edtCaptionChange();
    void edtReferenceChange();
    void edtMaxChange();
    void edtMinChange();
    void cbReadOnlyClick();
    void cbSignedClick();

protected:
    void LoadControls(TwNode &node) override;
    bool CheckInput() override;
    void SaveControls(TwNode &node) override;

private:
    // The reference's flag when it is a value reference, else 0.
    uint32_t ReferenceFlag() const;
    // The number mode of flag with the Signed box (-1: none).
    int NumberMode(uint32_t flag) const;
    // Colours a Max or Min field for the mode (-1: window text).
    void ColourLimit(QLineEdit *edit, int mode);
};

// The one instance, null until its first use.
extern TFormValue *FormValue;
// FormValue, made on first use.
TFormValue *ValueForm();
