// The download dialog.
#include "Downloadform.h"

#include "Commtimeoutfrm.h"
#include "Lumor_unicode.h"
#include "ModalResult.h"
#include "Serialcomm.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSettings>
#include <QStatusBar>

QString MenuFileName;
QString FirmwareFileName;
TfmDownload *fmDownload = nullptr;

namespace {

TDownloadModalRunner gModalRunner;

const char *const kGroup = "ComParameter";
const char *const kComPort = "ComPort";
const char *const kBaudRate = "BaudRate";
const char *const kFileNameFirmware = "FileNameFirmware";
const char *const kFileNameMenu = "FileNameMenu";

const char *const kForceSetting = "    [ Force Setting ]";
const char *const kMenuFilter = "Menu Data File|*.mda";
const char *const kFirmwareFilter = "OS File|*.os";
const char *const kChecksumError = "Check Sum Error";

constexpr int kPanelWidths[TfmDownload::StatusPanelCount] = {200, 75, 50};
constexpr int kEditHeight = 21;
constexpr int kFieldLeft = 80;
constexpr int kFieldWidth = 290;
// The part of the port list's box that edPort leaves free: its arrow.
constexpr int kArrowWidth = 19;

QString Text(const char *defaultText, const char *id)
{
    return Localizer.GetText(QString::fromLatin1(defaultText), QStringLiteral("download"),
                             QString::fromLatin1(id));
}

// "Name|*.ext" as a file dialog's filter, "Name (*.ext)".
QString DialogFilter(const QString &filter)
{
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return filter;
    return QStringLiteral("%1 (%2)").arg(filter.left(bar), filter.mid(bar + 1));
}

QLabel *MakeLabel(QWidget *parent, const char *name, const char *text, int top)
{
    auto *label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(8, top, kFieldLeft - 12, kEditHeight);
    return label;
}

QPushButton *MakeButton(QWidget *parent, const char *name, const char *text, const QRect &geometry)
{
    auto *button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

}  // namespace

void SetDownloadModalRunner(TDownloadModalRunner runner)
{
    gModalRunner = std::move(runner);
}

QList<TSerialPortEntry> SystemSerialPorts()
{
    QList<TSerialPortEntry> entries;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports)
        entries.append({port.systemLocation(), port.description()});
    return entries;
}

void FormatSerialPorts(const QList<TSerialPortEntry> &entries, QStringList &names, QStringList &texts)
{
    names.clear();
    texts.clear();
    for (const TSerialPortEntry &entry : entries) {
        const QString name = entry.portName.section(QLatin1Char(' '), 0, 0);
        if (name.isEmpty() || names.contains(name))
            continue;
        names.append(name);
        texts.append(entry.description.isEmpty()
                         ? entry.portName
                         : QStringLiteral("%1 : (%2)").arg(entry.portName, entry.description));
    }
}

// ---- Creation and destruction ----------------------------------------------

TfmDownload::TfmDownload(TSettingsOpener openSettings, QWidget *parent, std::unique_ptr<TCommBackend> backend)
    : QDialog(parent), openSettings_(std::move(openSettings)), portLister_(SystemSerialPorts)
{
    setObjectName(QStringLiteral("fmDownload"));
    setWindowTitle(QStringLiteral("Download "));
    setFixedSize(380, 190);

    lbComPort = MakeLabel(this, "lbComPort", "Com Port:", 8);
    WideLabel1 = MakeLabel(this, "WideLabel1", "Baud Rate:", 36);

    cbBaudRate = new QComboBox(this);
    cbBaudRate->setObjectName(QStringLiteral("cbBaudRate"));
    for (uint32_t rate : kBaudRates)
        cbBaudRate->addItem(rate == 0 ? QStringLiteral("Auto") : QString::number(rate));
    cbBaudRate->setGeometry(kFieldLeft, 36, 100, kEditHeight);

    btStartDownLoad = MakeButton(this, "btStartDownLoad", "Start", {104, 122, 75, 25});
    btStartDownLoad->setProperty("Tag", 0);

    pbDownload = new QProgressBar(this);
    pbDownload->setObjectName(QStringLiteral("pbDownload"));
    pbDownload->setRange(0, 100);
    pbDownload->setValue(0);
    pbDownload->setGeometry(8, 96, 362, 16);
    pbDownload->hide();

    lbFileName = MakeLabel(this, "lbFileName", "File Name:", 64);
    btGetDownloadFile =
        MakeButton(this, "btGetDownloadFile", "..", {kFieldLeft + kFieldWidth - 21, 64, 21, kEditHeight});
    btExit = MakeButton(this, "btExit", "Exit", {200, 122, 75, 25});

    Comm2 = new TComm(this, std::move(backend));
    Comm2->setObjectName(QStringLiteral("Comm2"));

    sbDownload = new QStatusBar(this);
    sbDownload->setObjectName(QStringLiteral("sbDownload"));
    sbDownload->setSizeGripEnabled(false);
    sbDownload->setGeometry(0, 190 - 22, 380, 22);
    for (int i = 0; i < StatusPanelCount; ++i) {
        statusPanels_[i] = new QLabel(sbDownload);
        statusPanels_[i]->setFixedWidth(kPanelWidths[i]);
        if (i == 0)
            statusPanels_[i]->setAlignment(Qt::AlignCenter);
        sbDownload->addWidget(statusPanels_[i]);
    }

    edDownloadFileName = new QLineEdit(this);
    edDownloadFileName->setObjectName(QStringLiteral("edDownloadFileName"));
    edDownloadFileName->setGeometry(kFieldLeft, 64, kFieldWidth - 25, kEditHeight);

    cbPortList = new QComboBox(this);
    cbPortList->setObjectName(QStringLiteral("cbPortList"));
    cbPortList->setGeometry(kFieldLeft, 8, kFieldWidth, kEditHeight);
    // The port field lies over the list's text, so that a name is typed in
    // it and the list opens with the arrow beside it.
    edPort = new QLineEdit(this);
    edPort->setObjectName(QStringLiteral("edPort"));
    edPort->setGeometry(kFieldLeft, 8, kFieldWidth - kArrowWidth, kEditHeight);
    edPort->raise();

    // The PLC's line: 7 data bits, even parity, 30 ms between the bytes of a
    // reply; a reply is handed on at its frame end (ETX) without that wait.
    Comm2->SetCommName(QStringLiteral("COM2"));
    Comm2->SetLineState(PlcLineState());
    Comm2->SetReadIntervalTimeout(30);
    Comm2->SetFrameEndChar(0x03);
    Comm2->OnReceiveData = [this](TComm *sender, const char *buffer, uint16_t length) {
        Comm2ReceiveData(sender, buffer, length);
    };
    Comm2->OnRequestHangup = [this](TComm *sender) { Comm2RequestHangup(sender); };
    port_ = std::make_unique<TCommDownloadPort>(*Comm2);
    tmDownload_ = std::make_unique<TTimerDownloadClock>([this] { tmDownloadTimer(); });
    TDownloadView &view = *this;
    download_ = std::make_unique<TDownload>(*port_, *tmDownload_, view);

    connect(btStartDownLoad, &QPushButton::clicked, this, &TfmDownload::btStartDownLoadClick);
    connect(btExit, &QPushButton::clicked, this, &TfmDownload::btExitClick);
    connect(btGetDownloadFile, &QPushButton::clicked, this, &TfmDownload::btGetDownloadFileClick);
    connect(cbPortList, &QComboBox::activated, this, &TfmDownload::cbPortListChange);
    connect(edPort, &QLineEdit::textChanged, this, &TfmDownload::edPortChange);

    FormCreate();
}

TfmDownload::~TfmDownload()
{
    FormDestroy();
    if (fmDownload == this)
        fmDownload = nullptr;
}

void TfmDownload::FormCreate()
{
    if (openSettings_) {
        const std::unique_ptr<QSettings> settings = openSettings_();
        settings->beginGroup(QLatin1String(kGroup));
        edPort->setText(settings->value(QLatin1String(kComPort)).toString());
        bool ok = false;
        const int index = settings->value(QLatin1String(kBaudRate), 0).toInt(&ok);
        cbBaudRate->setCurrentIndex(ok && index >= 0 && index < kBaudRateCount ? index : 0);
        FirmwareFileName = settings->value(QLatin1String(kFileNameFirmware)).toString();
        MenuFileName = settings->value(QLatin1String(kFileNameMenu)).toString();
    }
    UpdateStartEnabled();
    Localizer.RegisterAndTranslateForm(this);
}

void TfmDownload::FormDestroy()
{
    // Nothing of the port may reach a half-destroyed dialog.
    Comm2->OnReceiveData = nullptr;
    Comm2->OnRequestHangup = nullptr;
    Comm2->StopComm();
    tmDownload_->Stop();
    if (!openSettings_)
        return;
    const std::unique_ptr<QSettings> settings = openSettings_();
    settings->beginGroup(QLatin1String(kGroup));
    settings->setValue(QLatin1String(kComPort), edPort->text());
    settings->setValue(QLatin1String(kBaudRate), cbBaudRate->currentIndex());
    settings->setValue(QLatin1String(kFileNameFirmware), FirmwareFileName);
    settings->setValue(QLatin1String(kFileNameMenu), MenuFileName);
    settings->endGroup();
    settings->sync();
}

// ---- Showing ---------------------------------------------------------------

int TfmDownload::ShowDownload(int mode)
{
    switch (mode) {
    case TDownload::dmMenu:
        setWindowTitle(Text("Download Menu Data", "CaptionDownloadMenuId"));
        fileFilter_ = QString::fromLatin1(kMenuFilter);
        edDownloadFileName->setText(MenuFileName);
        break;
    case TDownload::dmFirmware:
        setWindowTitle(Text("Download Firmware", "CaptionDownloadFirmwareId"));
        fileFilter_ = QString::fromLatin1(kFirmwareFilter);
        edDownloadFileName->setText(FirmwareFileName);
        break;
    case TDownload::dmPortSetup: setWindowTitle(Text("Setup Port Parameter", "CaptionSetupPortId")); break;
    default: return 0;
    }
    DownloadMode = uint16_t(mode);
    const bool withFile = mode != TDownload::dmPortSetup;
    lbFileName->setVisible(withFile);
    edDownloadFileName->setVisible(withFile);
    pbDownload->setVisible(withFile);
    btGetDownloadFile->setVisible(withFile);
    sbDownload->setVisible(withFile);

    RefreshPortList();
    ShowResult = 0;
    RunModal(*this);
    if (mode == TDownload::dmPortSetup && ShowResult == 0 && BaudRate() == 0)
        return 1;
    return ShowResult;
}

int TfmDownload::RunModal(QDialog &dialog)
{
    return gModalRunner ? gModalRunner(dialog) : dialog.exec();
}

QString TfmDownload::PortName() const
{
    return edPort->text();
}

uint32_t TfmDownload::BaudRate() const
{
    const int index = cbBaudRate->currentIndex();
    return index > 0 && index < kBaudRateCount ? kBaudRates[index] : 0;
}

int TfmDownload::StartTag() const
{
    return btStartDownLoad->property("Tag").toInt();
}

QString TfmDownload::StatusText(int panel) const
{
    return panel >= 0 && panel < StatusPanelCount ? statusPanels_[panel]->text() : QString();
}

// ---- Ports -----------------------------------------------------------------

void TfmDownload::ListSerialPorts(QStringList &names, QStringList &texts) const
{
    FormatSerialPorts(portLister_ ? portLister_() : QList<TSerialPortEntry>(), names, texts);
}

void TfmDownload::RefreshPortList()
{
    QStringList texts;
    ListSerialPorts(PortNames, texts);
    cbPortList->clear();
    const QString port = edPort->text();
    if (PortNames.isEmpty()) {
        // The remembered port stays usable, e.g. a device that is not listed.
        if (!port.isEmpty()) {
            PortNames.append(port);
            cbPortList->addItem(port + QLatin1String(kForceSetting));
            cbPortList->setCurrentIndex(0);
        }
        return;
    }
    cbPortList->addItems(texts);
    const qsizetype index = port.isEmpty() ? -1 : PortNames.indexOf(port);
    if (index >= 0) {
        cbPortList->setCurrentIndex(int(index));
    } else {
        cbPortList->setCurrentIndex(0);
        edPort->setText(PortNames[0]);
    }
}

void TfmDownload::cbPortListChange(int index)
{
    if (index >= 0 && index < PortNames.size())
        edPort->setText(PortNames[index]);
}

void TfmDownload::edPortChange()
{
    UpdateStartEnabled();
}

void TfmDownload::UpdateStartEnabled()
{
    // Abort stays available during a transfer, except while it is already
    // restoring the registers after an abort.
    btStartDownLoad->setEnabled(download_->Running() ? !aborting_ : !edPort->text().isEmpty());
}

// ---- File ------------------------------------------------------------------

void TfmDownload::btGetDownloadFileClick()
{
    const QString current = edDownloadFileName->text();
    QFileDialog dialog(this);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(DialogFilter(fileFilter_));
    if (!current.isEmpty()) {
        dialog.setDirectory(QFileInfo(current).absolutePath());
        dialog.selectFile(current);
    }
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    edDownloadFileName->setText(path);
    if (DownloadMode == TDownload::dmFirmware) {
        FirmwareFileName = path;
        QByteArray data;
        QString error;
        if (!TDownload::ReadDownloadFile(path, data, error))
            ShowMessage(error);
        else if (TDownload::CheckFirmwareHeader(data))
            ShowMessage(TDownload::FirmwareIdentification(data));
        else
            ShowMessage(QString::fromLatin1(kChecksumError));
    } else if (DownloadMode == TDownload::dmMenu) {
        MenuFileName = path;
    }
}

// ---- Start, Abort, Exit ----------------------------------------------------

void TfmDownload::btStartDownLoadClick()
{
    if (StartTag() == 0)
        StartTransfer();
    else
        AbortTransfer();
    AfterTransferCall();
}

void TfmDownload::StartTransfer()
{
    pbDownload->show();
    btExit->setEnabled(false);
    ShowStatus(0, QString());
    closeWhenStopped_ = false;
    closePending_ = false;

    const bool detect = cbBaudRate->currentIndex() <= 0;
    if (!detect && DownloadMode == TDownload::dmPortSetup) {
        // A fixed rate needs no answer from the PLC.
        btExit->setEnabled(true);
        done(ShowResult = 0);
        return;
    }
    // The file is read before the port is opened, so that a file that
    // cannot be sent leaves the port closed and the dialog usable.
    QByteArray data;
    if (DownloadMode != TDownload::dmPortSetup) {
        QString error;
        if (!TDownload::ReadDownloadFile(edDownloadFileName->text(), data, error)) {
            btExit->setEnabled(true);
            ShowMessage(error);
            return;
        }
    }
    if (!detect)
        Comm2->SetBaudRate(BaudRate());
    Comm2->SetCommName(edPort->text());
    try {
        Comm2->StartComm();
    } catch (const ECommsError &error) {
        btExit->setEnabled(true);
        ShowMessage(error.Message());
        return;
    }
    btStartDownLoad->setText(Text("Abort", "CaptionAbortId"));
    btStartDownLoad->setProperty("Tag", 1);
    aborting_ = false;
    if (!download_->Start(DownloadMode, data, detect)) {
        Comm2->StopComm();
        SetIdle();
    }
}

void TfmDownload::AbortTransfer()
{
    btStartDownLoad->setText(Text("Start", "CaptionStartId"));
    btStartDownLoad->setProperty("Tag", 0);
    // Before anything was written this stops at once; later the registers
    // are restored first, and Start and Exit wait for that.
    aborting_ = true;
    UpdateStartEnabled();
    download_->Abort();
}

void TfmDownload::btExitClick()
{
    ShowStatus(0, QString());
    pbDownload->hide();
    pbDownload->setValue(0);
    btStartDownLoad->setText(Text("Start", "CaptionStartId"));
    btStartDownLoad->setProperty("Tag", 0);
    ShowResult = 1;
    // Exit is disabled while a transfer runs; the port is closed all the same.
    Comm2->StopComm();
    done(ShowResult);
}

void TfmDownload::reject()
{
    if (download_->Running()) {
        closeWhenStopped_ = true;
        if (!aborting_)
            AbortTransfer();
        AfterTransferCall();
        return;
    }
    ShowResult = 0;
    QDialog::reject();
}

void TfmDownload::AfterTransferCall()
{
    if (!closePending_ || download_->Running())
        return;
    closePending_ = false;
    closeWhenStopped_ = false;
    ShowResult = 0;
    done(ShowResult);
}

void TfmDownload::SetIdle()
{
    btStartDownLoad->setText(Text("Start", "CaptionStartId"));
    btStartDownLoad->setProperty("Tag", 0);
    aborting_ = false;
    btExit->setEnabled(true);
    UpdateStartEnabled();
}

// ---- Port events and the reply timer --------------------------------------

void TfmDownload::Comm2ReceiveData(TComm *, const char *buffer, uint16_t length)
{
    download_->ReceiveBlock(buffer, length);
    AfterTransferCall();
}

void TfmDownload::Comm2RequestHangup(TComm *)
{
    download_->PortLost();
    AfterTransferCall();
}

void TfmDownload::tmDownloadTimer()
{
    download_->ReplyTimeout();
    AfterTransferCall();
}

// ---- What the transfer shows -----------------------------------------------

void TfmDownload::ShowStatus(int panel, const QString &text)
{
    if (panel >= 0 && panel < StatusPanelCount)
        statusPanels_[panel]->setText(text);
}

void TfmDownload::ShowProgress(int percent)
{
    pbDownload->show();
    pbDownload->setValue(percent);
}

void TfmDownload::ShowMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, this);
    RunModal(box);
}

bool TfmDownload::AskRetry()
{
    return RunModal(*CommTimeOutForm()) == mrYes;
}

void TfmDownload::BaudRateDetected(uint32_t rate)
{
    for (int i = 1; i < kBaudRateCount; ++i) {
        if (kBaudRates[i] == rate)
            cbBaudRate->setCurrentIndex(i);
    }
    // The port set-up ends with the PLC's first answer.
    if (DownloadMode == TDownload::dmPortSetup)
        closeWhenStopped_ = true;
}

void TfmDownload::TransferStopped()
{
    SetIdle();
    if (closeWhenStopped_)
        closePending_ = true;
}
