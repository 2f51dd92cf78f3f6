// The alarm trigger of the offline simulation: the user picks an alarm
// number from 1 to 64 and OK makes it the active alarm (CurrentAlarmNumber),
// which the running panel then shows. Closing the window otherwise changes
// nothing. Translated under the form name "frmAlarmTrig".
//
// The number list is a fixed drop-down list: some number is always chosen.
// The choice is kept from one showing to the next.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

class TfrmAlarmTrig : public QDialog {
    Q_OBJECT
public:
    static constexpr int kAlarmCount = 64;

    explicit TfrmAlarmTrig(QWidget *parent = nullptr);
    ~TfrmAlarmTrig() override;

    // CurrentAlarmNumber := the chosen number; the dialog closes with OK.
    void btnOkClick();

    QLabel *lbAlarmNo;
    QComboBox *cbAlarmNo;
    QPushButton *btnOk;

public slots:
    // Closing from the title bar (or Esc): Cancel (2), nothing changed.
    void reject() override;
};

// The one instance, made at start-up and kept until the program ends.
extern TfrmAlarmTrig *frmAlarmTrig;
// frmAlarmTrig, made on first use when start-up has not made it yet.
TfrmAlarmTrig *AlarmTrigForm();

// Shows the alarm trigger modally through the UI services (the simulator
// windows' alarm-trigger image); its result.
int ShowAlarmTrigger();
