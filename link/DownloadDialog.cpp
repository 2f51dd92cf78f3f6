// The download dialog.
#include "DownloadDialog.h"

#include "Localizer.h"
#include "ModalResult.h"
#include "RetryQuestion.h"
#include "SerialPort.h"
#include "UiServices.h"

#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionComboBox>

QString MenuFileName;
QString FirmwareFileName;
TfmDownload *fmDownload = nullptr;

namespace {

const char *const kGroup = "ComParameter";
const char *const kComPort = "ComPort";
const char *const kBaudRate = "BaudRate";
const char *const kFileNameFirmware = "FileNameFirmware";
const char *const kFileNameMenu = "FileNameMenu";

const char *const kForceSetting = "    [ Force Setting ]";
const char *const kMenuFilter = "Menu Data File|*.mda";
const char *const kFirmwareFilter = "OS File|*.os";
const char *const kChecksumError = "Check Sum Error";
// The largest menu image the panel holds.
constexpr qsizetype kMenuImageLimit = 131072;

// The design widths of the status panels, and the longest texts each shows,
// so that a panel never cuts its text nor makes the dialog jump.
constexpr int kPanelWidths[TfmDownload::StatusPanelCount] = {200, 75, 50};
constexpr int kPanelSampleCount = 3;
const char *const kPanelSamples[TfmDownload::StatusPanelCount][kPanelSampleCount] = {
    {TDownload::kChecksumErrorText, TDownload::kAbortedText, " Write packets 99999"},
    {"99", "", ""},
    {"Try 115200", "99", ""},
};
// The design sizes of the fields, kept as the least they take.
constexpr int kFieldWidth = 290;
constexpr int kBaudRateWidth = 100;
constexpr int kButtonWidth = 75;
constexpr int kFileButtonWidth = 25;

QString Text(const char *defaultText, const char *id)
{
    return Localizer.GetText(QString::fromLatin1(defaultText), QStringLiteral("download"),
                             QString::fromLatin1(id));
}

QLabel *MakeLabel(QWidget *parent, const char *name, const char *text)
{
    auto *label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QPushButton *MakeButton(QWidget *parent, const char *name, const char *text)
{
    auto *button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

// A long list drops down as at most 16 rows with a scroll bar, not as tall
// as the screen (the style would open it over the box and ignore the limit).
void ScrollingDropDown(QComboBox *box)
{
    box->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    box->setMaxVisibleItems(16);
}

}  // namespace

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

TfmDownload::TfmDownload(QWidget *parent, std::unique_ptr<TCommBackend> backend)
    : QDialog(parent), portLister_(SystemSerialPorts)
{
    setObjectName(QStringLiteral("fmDownload"));
    setWindowTitle(QStringLiteral("Download "));

    lbComPort = MakeLabel(this, "lbComPort", "Com Port:");
    WideLabel1 = MakeLabel(this, "WideLabel1", "Baud Rate:");

    cbBaudRate = new QComboBox(this);
    cbBaudRate->setObjectName(QStringLiteral("cbBaudRate"));
    for (uint32_t rate : kBaudRates)
        cbBaudRate->addItem(rate == 0 ? QStringLiteral("Auto") : QString::number(rate));
    cbBaudRate->setMinimumWidth(kBaudRateWidth);
    ScrollingDropDown(cbBaudRate);
    cbBaudRate->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    btStartDownLoad = MakeButton(this, "btStartDownLoad", "Start");
    btStartDownLoad->setProperty("Tag", 0);

    pbDownload = new QProgressBar(this);
    pbDownload->setObjectName(QStringLiteral("pbDownload"));
    pbDownload->setRange(0, 100);
    pbDownload->setValue(0);
    // Its place stays when it is hidden, so the dialog keeps its size.
    QSizePolicy keep = pbDownload->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    pbDownload->setSizePolicy(keep);
    pbDownload->hide();

    lbFileName = MakeLabel(this, "lbFileName", "File Name:");
    btGetDownloadFile = MakeButton(this, "btGetDownloadFile", "..");
    btExit = MakeButton(this, "btExit", "Exit");
    for (QPushButton *button : {btStartDownLoad, btExit})
        button->setMinimumWidth(kButtonWidth);

    Comm2 = new TComm(this, std::move(backend));
    Comm2->setObjectName(QStringLiteral("Comm2"));

    sbDownload = new QStatusBar(this);
    sbDownload->setObjectName(QStringLiteral("sbDownload"));
    sbDownload->setSizeGripEnabled(false);
    for (int i = 0; i < StatusPanelCount; ++i) {
        statusPanels_[i] = new QLabel(sbDownload);
        if (i == 0)
            statusPanels_[i]->setAlignment(Qt::AlignCenter);
        sbDownload->addWidget(statusPanels_[i]);
    }

    edDownloadFileName = new QLineEdit(this);
    edDownloadFileName->setObjectName(QStringLiteral("edDownloadFileName"));

    cbPortList = new QComboBox(this);
    cbPortList->setObjectName(QStringLiteral("cbPortList"));
    cbPortList->setMinimumWidth(kFieldWidth);
    ScrollingDropDown(cbPortList);
    // Long port descriptions widen the list, not the dialog.
    cbPortList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // The port field lies over the list's text, so that a name is typed in
    // it and the list opens with the arrow beside it (placed by eventFilter).
    edPort = new QLineEdit(cbPortList);
    edPort->setObjectName(QStringLiteral("edPort"));
    cbPortList->installEventFilter(this);

    // Labels and fields in a grid, the buttons centred below the progress
    // bar, the status bar along the bottom edge; the dialog takes the size
    // its texts need.
    auto *fileRow = new QHBoxLayout;
    fileRow->setSpacing(4);
    fileRow->addWidget(edDownloadFileName, 1);
    fileRow->addWidget(btGetDownloadFile);
    auto *grid = new QGridLayout;
    grid->addWidget(lbComPort, 0, 0);
    grid->addWidget(cbPortList, 0, 1, 1, 2);
    grid->addWidget(WideLabel1, 1, 0);
    grid->addWidget(cbBaudRate, 1, 1);
    grid->addWidget(lbFileName, 2, 0);
    grid->addLayout(fileRow, 2, 1, 1, 2);
    grid->setColumnStretch(2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btStartDownLoad);
    buttons->addSpacing(20);
    buttons->addWidget(btExit);
    buttons->addStretch();
    auto *body = new QVBoxLayout;
    body->setContentsMargins(8, 8, 8, 8);
    body->addLayout(grid);
    body->addWidget(pbDownload);
    body->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(body);
    layout->addWidget(sbDownload);

    Comm2->SetCommName(QStringLiteral("COM2"));
    SetDownloadLine(*Comm2);
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
    const std::unique_ptr<QSettings> settings =
        UiServices().OpenSettings(QLatin1String(kDesignerSettings), QLatin1String(kGroup));
    edPort->setText(settings->value(QLatin1String(kComPort)).toString());
    bool ok = false;
    const int index = settings->value(QLatin1String(kBaudRate), 0).toInt(&ok);
    cbBaudRate->setCurrentIndex(ok && index >= 0 && index < kBaudRateCount ? index : 0);
    FirmwareFileName = settings->value(QLatin1String(kFileNameFirmware)).toString();
    MenuFileName = settings->value(QLatin1String(kFileNameMenu)).toString();
    UpdateStartEnabled();
    Localizer.RegisterAndTranslateForm(this);
    FitToTexts();
}

void TfmDownload::FormDestroy()
{
    // Nothing of the port may reach a half-destroyed dialog.
    Comm2->OnReceiveData = nullptr;
    Comm2->OnRequestHangup = nullptr;
    Comm2->StopComm();
    tmDownload_->Stop();
    const std::unique_ptr<QSettings> settings =
        UiServices().OpenSettings(QLatin1String(kDesignerSettings), QLatin1String(kGroup));
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
    FitToTexts();
    ShowResult = 0;
    UiServices().RunDialog(*this);
    if (mode == TDownload::dmPortSetup && ShowResult == 0 && BaudRate() == 0)
        return 1;
    return ShowResult;
}

void TfmDownload::FitToTexts()
{
    // The file button is as small as its text allows, as designed.
    const QString fileButton = btGetDownloadFile->text();
    btGetDownloadFile->setMaximumWidth(
        qMax(kFileButtonWidth, btGetDownloadFile->fontMetrics().horizontalAdvance(fileButton) + 16));
    for (int i = 0; i < StatusPanelCount; ++i) {
        QLabel *panel = statusPanels_[i];
        const QFontMetrics metrics(panel->font());
        int width = kPanelWidths[i];
        for (const char *sample : kPanelSamples[i])
            width = qMax(width, metrics.horizontalAdvance(QLatin1String(sample)) + 2 * panel->margin() + 8);
        panel->setMinimumWidth(width);
    }
}

bool TfmDownload::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cbPortList && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
        QStyleOptionComboBox option;
        option.initFrom(cbPortList);
        option.editable = false;
        option.frame = true;
        edPort->setGeometry(cbPortList->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                                QStyle::SC_ComboBoxEditField, cbPortList));
    }
    return QDialog::eventFilter(watched, event);
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
    TFileRequest request;
    request.filter = fileFilter_;
    request.fileName = edDownloadFileName->text();
    request.parent = this;
    const QString path = UiServices().ChooseFile(request);
    if (path.isEmpty())
        return;
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
    ShowStatus(0, QString());
    closeWhenStopped_ = false;

    const bool detect = cbBaudRate->currentIndex() <= 0;
    if (!detect && DownloadMode == TDownload::dmPortSetup) {
        // A fixed rate needs no answer from the PLC.
        done(ShowResult = 0);
        return;
    }
    // The file is read before the port is opened, so that a file that
    // cannot be sent leaves the port closed and the dialog usable.
    QByteArray data;
    if (DownloadMode != TDownload::dmPortSetup) {
        QString error;
        const QString path = edDownloadFileName->text();
        if (!TDownload::ReadDownloadFile(path, data, error)) {
            // error says why
        } else if (DownloadMode == TDownload::dmMenu && data.size() > kMenuImageLimit) {
            error = QStringLiteral("The menu image %1 takes %2 bytes: more than the %3 bytes the panel holds")
                        .arg(path)
                        .arg(data.size())
                        .arg(kMenuImageLimit);
        }
        if (!error.isEmpty()) {
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
        ShowMessage(error.Message());
        return;
    }
    // The port is open: Exit waits for the end of the transfer.
    btExit->setEnabled(false);
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
    if (!closeWhenStopped_ || download_->Running())
        return;
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
    UiServices().ShowBox(TBoxRequest::Make(TBoxRequest::Plain, text, QApplication::applicationName()));
}

bool TfmDownload::AskRetry()
{
    return UiServices().RunDialog(*CommTimeOutForm()) == mrYes;
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
}
