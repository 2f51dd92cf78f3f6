// The download dialog: the serial port and baud rate (or automatic
// detection), the file to send, Start/Abort and Exit, progress and three
// status panels. It downloads a menu image (mode 0) or panel firmware
// (mode 1) through TDownload, and serves as the port set-up before an online
// simulation (mode 2), whose windows then read PortName() and BaudRate().
//
// Its settings (group "ComParameter" of the designer's settings, opened
// through the UI services) are read when the dialog is made and written when
// it is destroyed, that is at program end. Translated under the form name
// "fmDownload"; texts of the string table under the prefix "download". It
// runs itself, its file choice, its messages and the retry question through
// the UI services (UiServices.h).
//
// Use: the designer's start-up makes the one instance fmDownload, then
// commands call ShowDownload(mode).
#pragma once

#include "DownloadProtocol.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class TComm;
class TCommBackend;

// The menu image the menu download offers: read from the settings, set by
// the compile-result dialog to the image just compiled, and by a file picked
// in the dialog.
extern QString MenuFileName;
// The firmware file the firmware download offers.
extern QString FirmwareFileName;

// One serial port as the system lists it: the name the port is opened by
// and the device's description (may be empty).
struct TSerialPortEntry {
    QString portName;
    QString description;
};
using TSerialPortLister = std::function<QList<TSerialPortEntry>()>;
// The ports present, from QSerialPortInfo (device paths such as /dev/ttyUSB0).
QList<TSerialPortEntry> SystemSerialPorts();
// The port list's names and display texts from what a lister gave: the text
// is "%s : (%s)" of name and description (the name alone without one), the
// name is cut at its first blank, and a name already listed is skipped.
void FormatSerialPorts(const QList<TSerialPortEntry> &entries, QStringList &names, QStringList &texts);

class TfmDownload : public QDialog, private TDownloadView {
    Q_OBJECT
public:
    // Baud-rate list: item 0 is "Auto" (recognised by its index, its text is
    // translated), then the fixed rates.
    static constexpr uint32_t kBaudRates[] = {0, 9600, 19200, 38400, 57600, 115200};
    static constexpr int kBaudRateCount = int(std::size(kBaudRates));

    // A null backend means the platform's own serial port.
    explicit TfmDownload(QWidget *parent = nullptr, std::unique_ptr<TCommBackend> backend = nullptr);
    ~TfmDownload() override;

    // Mode 0 menu image, 1 firmware, 2 port set-up. Returns 1 when the user
    // left with Exit, else 0; in mode 2 also 1 when no baud rate is chosen
    // (still "Auto"), so that no simulation starts on an unknown rate.
    int ShowDownload(int mode);

    // ---- Read by the simulator windows ----
    // The port typed or chosen.
    QString PortName() const;
    // The chosen baud rate; 0 while "Auto" is selected.
    uint32_t BaudRate() const;

    // ---- State ----
    uint16_t DownloadMode = TDownload::dmMenu;
    // The port names, parallel to cbPortList's items.
    QStringList PortNames;
    // 1 when the dialog was closed with Exit.
    int ShowResult = 0;
    TDownload &Download() { return *download_; }
    // The start button's mark: 1 while a transfer runs.
    int StartTag() const;
    QString StatusText(int panel) const;
    // Where the ports are listed from; default SystemSerialPorts.
    void SetPortLister(TSerialPortLister lister) { portLister_ = std::move(lister); }

    // ---- Components ----
    QLabel *lbComPort;
    QLabel *WideLabel1;
    QComboBox *cbBaudRate;
    QPushButton *btStartDownLoad;
    QProgressBar *pbDownload;
    QLabel *lbFileName;
    QPushButton *btGetDownloadFile;
    QPushButton *btExit;
    TComm *Comm2;
    QStatusBar *sbDownload;
    QLineEdit *edDownloadFileName;
    QLineEdit *edPort;
    QComboBox *cbPortList;

    static constexpr int StatusPanelCount = 3;

    // ---- Handlers ----
    void btGetDownloadFileClick();
    void btStartDownLoadClick();
    void btExitClick();
    void Comm2ReceiveData(TComm *sender, const char *buffer, uint16_t length);
    void Comm2RequestHangup(TComm *sender);
    void tmDownloadTimer();
    void cbPortListChange(int index);
    void edPortChange();

    // Lists the ports into PortNames and cbPortList and fits edPort to them.
    void RefreshPortList();
    // The present ports' names and display texts.
    void ListSerialPorts(QStringList &names, QStringList &texts) const;

public slots:
    // The close box and Esc: during a transfer they abort it (the registers
    // are still restored) and the dialog closes once it has stopped.
    void reject() override;

protected:
    // Keeps the port field over the text of the port list.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormDestroy();
    // Starts a transfer from the idle dialog.
    void StartTransfer();
    // The Abort button.
    void AbortTransfer();
    // After a call into the transfer: closes the dialog when it is to close
    // once the transfer has stopped, and the transfer has stopped.
    void AfterTransferCall();
    void SetIdle();
    void UpdateStartEnabled();
    // Makes each status panel wide enough for the longest text it shows, and
    // the file button no wider than its text needs.
    void FitToTexts();

    // TDownloadView
    void ShowStatus(int panel, const QString &text) override;
    void ShowProgress(int percent) override;
    void ShowMessage(const QString &text) override;
    bool AskRetry() override;
    void BaudRateDetected(uint32_t rate) override;
    void TransferStopped() override;

    TSerialPortLister portLister_;
    QLabel *statusPanels_[StatusPanelCount] = {};
    QString fileFilter_;
    std::unique_ptr<TCommDownloadPort> port_;
    std::unique_ptr<TTimerDownloadClock> tmDownload_;
    std::unique_ptr<TDownload> download_;
    // The Abort button (or the close box) was used and the registers are
    // being restored: Start and Exit wait for the end.
    bool aborting_ = false;
    // Close the dialog once the transfer has stopped.
    bool closeWhenStopped_ = false;
};

// The one instance, made at start-up and kept until the program ends.
extern TfmDownload *fmDownload;
