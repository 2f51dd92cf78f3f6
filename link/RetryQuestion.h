// The retry question of the download: shown after the last time-out of a
// frame; Yes (6) sends the frame again with fresh tries, anything else ends
// the transfer. Translated under the form name "frmCommTimeOut".
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TfrmCommTimeOut : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCommTimeOut(QWidget *parent = nullptr);
    ~TfrmCommTimeOut() override;

    QLabel *lbWarnTop;
    QPushButton *btYes;
    QPushButton *btNo;
    QLabel *lbWarnBottom;
    QLabel *WideImage1;

protected:
    // Centres the question on the main window when one is shown.
    void showEvent(QShowEvent *event) override;
};

// The one instance, made at start-up and kept until the program ends.
extern TfrmCommTimeOut *frmCommTimeOut;
// frmCommTimeOut, made on first use when start-up has not made it yet.
TfrmCommTimeOut *CommTimeOutForm();
