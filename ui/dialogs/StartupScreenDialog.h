// The startup screen dialog: how the panel plays its startup pictures when it
// starts, kept in the Startup Screen node (kind 300).
//
// An item dialog (ItemDialog.h) that carries the node's "Caption" and
// "Description" over and then writes "EndCondition" ("0" by time, "1" by
// keypad, "2" by time or keypad; no key when no choice is checked),
// "FlipTime" (tenths of a second, as typed) and "CycleCount" ("0".."10"; no
// key when none is selected). A stored end condition or cycle count the
// dialog has no choice for is kept until the user chooses one. The cycle count is switched off while "By
// Keypad" is chosen, and keeps its value. The flip time turns green while it
// is a number from 5 to 100 and red otherwise; OK refuses any other with
// warning 2006. Translated under the form name "FormStartupScreen"; the
// caller sets the title.
#pragma once

#include "ItemDialog.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class TFormStartupScreen : public TItemDialog {
    Q_OBJECT
public:
    explicit TFormStartupScreen(QWidget *parent = nullptr);
    ~TFormStartupScreen() override;

    // Flip times the panel accepts, in tenths of a second.
    static constexpr int MinFlipTime = 5;
    static constexpr int MaxFlipTime = 100;

    // Switches the cycle count off while "By Keypad" is chosen.
    void rbByTimeClick();
    // Colours the flip time by its range.
    void edtFlipTimeChange();
    // Whether the flip time is a number in MinFlipTime..MaxFlipTime.
    bool FlipTimeValid() const;

    QGroupBox *gbxEndCondition;
    QRadioButton *rbByTime;
    QRadioButton *rbByKeypad;
    QRadioButton *rbByTimeOrKeypad;
    QGroupBox *gbxActionTime;
    QLabel *lbFlipTime;
    QLineEdit *edtFlipTime;
    QLabel *lbFlipTimeUnit;
    QLabel *lbCycleCount;
    QComboBox *cbCycleCount;

protected:
    void LoadControls(TwNode &node) override;
    bool CheckInput() override;
    void SaveControls(TwNode &node) override;

private:
    // The end conditions in the order of their stored numbers.
    QRadioButton *EndCondition(int number) const;
    // The stored number of the checked end condition; empty when none is.
    QString ChosenEndCondition() const;
};

// The one instance, made on first use and kept until the program ends.
extern TFormStartupScreen *FormStartupScreen;
// FormStartupScreen, made on first use.
TFormStartupScreen *StartupScreenForm();
