// The download dialog on the offscreen platform: its serial port on a
// pseudo-terminal typed into the port field, the simulated PLC with the
// panel behind its mailbox on the other end, a real 500 ms reply timer, and
// scripted UI services (its settings in their temporary folder).
#include "DownloadDialog.h"
#include "DownloadHarness.h"
#include "LinkPty.h"
#include "Localizer.h"
#include "RetryQuestion.h"
#include "ScriptedUiServices.h"
#include "SerialPort.h"
#include "SerialPortPosix.h"
#include "ShippedLanguage.h"
#include "SimPlcPty.h"
#include "TestFiles.h"
#include "TextFit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using simplc::Fault;
using simplc::FaultRule;
using simplc::SimPanelMailbox;
using simplc::SimPlc;
using simplc::SimPlcPty;

namespace {

// The simulated PLC with the panel behind its mailbox on a pseudo-terminal.
struct PlcLine {
    SimPlc plc;
    SimPanelMailbox panel{plc};
    SimPlcPty line{plc};

    PlcLine()
    {
        FillMailbox(plc);
        EXPECT_TRUE(line.Start());
    }
    QString Path() const { return QString::fromStdString(line.SlavePath()); }
    std::vector<uint16_t> Mailbox() const
    {
        return plc.Regs(TDownload::kMailboxRegister, TDownload::kMailboxWords);
    }
};

// The platform's port, but the PLC answers only at one rate: at any other it
// sends half a reply, as a line at the wrong speed delivers noise.
class RateGatedBackend : public TPosixCommBackend {
public:
    RateGatedBackend(SimPlc &plc, uint32_t answersAt, std::vector<uint32_t> &rates)
        : plc_(plc), answersAt_(answersAt), rates_(rates)
    {
    }
    bool ApplyLineState(const TCommLineState &state) override
    {
        rates_.push_back(state.BaudRate);
        plc_.ClearFaults();
        if (state.BaudRate != answersAt_)
            plc_.AddFault(FaultRule(Fault::ShortBlock, -1));
        return TPosixCommBackend::ApplyLineState(state);
    }

private:
    SimPlc &plc_;
    uint32_t answersAt_;
    std::vector<uint32_t> &rates_;
};

// A firmware file whose header sums to zero, with its identification text.
QByteArray FirmwareImage(const QByteArray &identification)
{
    QByteArray data = TestImage(1200);
    data[0] = char(0x00);
    data[1] = char(0x04);  // header length 1024
    data.replace(8, identification.size() + 1, identification + '\0');
    uint16_t sum = uint16_t(uint8_t(data[0]) + uint8_t(data[1]));
    for (int i = 4; i < 1024; ++i)
        sum = uint16_t(sum + uint8_t(data[i]));
    const uint16_t fill = uint16_t(-sum);
    data[2] = char(fill & 0xFF);
    data[3] = char(fill >> 8);
    return data;
}

class DownloadDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        StartShippedLocalisation(dir.filePath(QStringLiteral("language.ini")), 1033);
        MenuFileName.clear();
        FirmwareFileName.clear();
        ui.SetDialogHandler([this](QDialog &dialog) { return Run(dialog); });
    }

    void TearDown() override
    {
        delete frmCommTimeOut;
        Localizer.Reset();
        MenuFileName.clear();
        FirmwareFileName.clear();
    }

    QSettings Settings() const { return QSettings(ui.SettingsPath(), QSettings::IniFormat); }
    // The plain messages shown.
    QStringList Messages() const { return ui.BoxTexts(); }

    std::unique_ptr<TfmDownload> MakeForm(std::unique_ptr<TCommBackend> backend = nullptr)
    {
        auto form = std::make_unique<TfmDownload>(nullptr, std::move(backend));
        form->SetPortLister([this] { return ports; });
        return form;
    }

    QString WriteFile(const QString &name, const QByteArray &bytes) const
    {
        return WriteTestFile(dir.filePath(name), bytes);
    }

    // Shows the dialog in mode; while it is up, work runs on it.
    int Show(TfmDownload &form, int mode, std::function<void(TfmDownload &)> work)
    {
        onShow = std::move(work);
        return form.ShowDownload(mode);
    }

    // Types the port, picks the baud rate item and starts.
    static void TypePortAndStart(TfmDownload &form, const QString &port, int baudIndex)
    {
        form.edPort->clear();
        QTest::keyClicks(form.edPort, port);
        form.cbBaudRate->setCurrentIndex(baudIndex);
        form.btStartDownLoad->click();
    }

    static bool WaitForEnd(TfmDownload &form, int timeoutMs = 20000)
    {
        return QTest::qWaitFor([&] { return !form.Download().Running(); }, timeoutMs);
    }

    int Run(QDialog &dialog)
    {
        if (auto *form = qobject_cast<TfmDownload *>(&dialog)) {
            form->show();
            if (onShow)
                onShow(*form);
            form->hide();
            return form->result();
        }
        if (qobject_cast<TfrmCommTimeOut *>(&dialog)) {
            ++retryQuestions;
            return retryAnswer;
        }
        ADD_FAILURE() << "unexpected dialog " << dialog.metaObject()->className();
        return 0;
    }

    TScriptedUiServices ui;
    QTemporaryDir dir;
    QList<TSerialPortEntry> ports;
    std::function<void(TfmDownload &)> onShow;
    int retryQuestions = 0;
    int retryAnswer = 7;
};

}  // namespace

// ---- Downloads end to end --------------------------------------------------

TEST_F(DownloadDialog, MenuImageReachesThePanelAndTheBarReaches100)
{
    PlcLine plc;
    const QByteArray image = TestImage(1000);
    auto form = MakeForm();
    MenuFileName = WriteFile(QStringLiteral("plant.mda"), image);
    const int result = Show(*form, TDownload::dmMenu, [&](TfmDownload &f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Download Menu Data"));
        EXPECT_EQ(f.edDownloadFileName->text(), MenuFileName);
        EXPECT_TRUE(f.edDownloadFileName->isVisible());
        // No port listed and none remembered: nothing to start on.
        EXPECT_EQ(f.cbPortList->count(), 0);
        EXPECT_FALSE(f.btStartDownLoad->isEnabled());
        TypePortAndStart(f, plc.Path(), 1);
        EXPECT_EQ(f.StartTag(), 1);
        EXPECT_EQ(f.btStartDownLoad->text(), QStringLiteral("Abort"));
        EXPECT_FALSE(f.btExit->isEnabled());
        ASSERT_TRUE(WaitForEnd(f));
        EXPECT_EQ(f.pbDownload->value(), 100);
        EXPECT_EQ(f.StatusText(0), QStringLiteral("Download finished !"));
        EXPECT_EQ(f.StartTag(), 0);
        EXPECT_EQ(f.btStartDownLoad->text(), QStringLiteral("Start"));
        EXPECT_TRUE(f.btExit->isEnabled());
        EXPECT_FALSE(f.Comm2->IsOpen());
        f.btExit->click();
        EXPECT_FALSE(f.pbDownload->isVisibleTo(&f));
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(plc.panel.Image(), Bytes(image));
    EXPECT_EQ(plc.Mailbox(), RestoredPattern());
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(form->Comm2->BaudRate(), 9600u);
}

TEST_F(DownloadDialog, AutoDetectionFindsThePlcAt19200AndSavesIt)
{
    PlcLine plc;
    std::vector<uint32_t> rates;
    const QByteArray image = TestImage(300);
    auto form = MakeForm(std::make_unique<RateGatedBackend>(plc.plc, 19200, rates));
    MenuFileName = WriteFile(QStringLiteral("plant.mda"), image);
    Show(*form, TDownload::dmMenu, [&](TfmDownload &f) {
        TypePortAndStart(f, plc.Path(), 0);
        ASSERT_TRUE(WaitForEnd(f));
        EXPECT_EQ(f.StatusText(0), QStringLiteral("Download finished !"));
        EXPECT_EQ(f.StatusText(2), QString());
        f.btExit->click();
    });
    EXPECT_EQ(form->cbBaudRate->currentText(), QStringLiteral("19200"));
    EXPECT_EQ(form->BaudRate(), 19200u);
    EXPECT_EQ(plc.panel.Image(), Bytes(image));
    // The half replies at the faster rates were not taken for an answer.
    ASSERT_GE(rates.size(), 4u);
    EXPECT_EQ(std::vector<uint32_t>(rates.end() - 4, rates.end()),
              (std::vector<uint32_t>{115200, 57600, 38400, 19200}));
    form.reset();
    EXPECT_EQ(Settings().value(QStringLiteral("ComParameter/BaudRate")).toInt(), 2);
    EXPECT_EQ(Settings().value(QStringLiteral("ComParameter/ComPort")).toString(), plc.Path());
}

TEST_F(DownloadDialog, SilentPlcEndsWithDetectFailAndNoRateForTheSimulation)
{
    LinkPty line;  // nobody answers on the other end
    ASSERT_TRUE(line.Ok());
    auto form = MakeForm();
    const int result = Show(*form, TDownload::dmPortSetup, [&](TfmDownload &f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Setup Port Parameter"));
        EXPECT_FALSE(f.edDownloadFileName->isVisibleTo(&f));
        EXPECT_FALSE(f.sbDownload->isVisibleTo(&f));
        TypePortAndStart(f, line.SlaveName(), 0);
        ASSERT_TRUE(WaitForEnd(f, 15000));
        EXPECT_EQ(f.StatusText(2), QStringLiteral("Try 9600"));
        EXPECT_TRUE(f.isVisible());
        EXPECT_TRUE(f.btExit->isEnabled());
        EXPECT_EQ(f.cbBaudRate->currentIndex(), 0);
        f.close();  // the close box, with the rate still unknown
    });
    EXPECT_EQ(Messages(), QStringList{QStringLiteral("Baud rate detect fail!!")});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(form->BaudRate(), 0u);
    // Two windows at each of the five rates.
    EXPECT_EQ(line.Receive(1 << 16, 500).count('\x03'), 10);
}

TEST_F(DownloadDialog, PortSetupClosesAtTheFirstAnswerOrAtOnceWithAFixedRate)
{
    PlcLine plc;
    auto form = MakeForm();
    int result = Show(*form, TDownload::dmPortSetup, [&](TfmDownload &f) {
        TypePortAndStart(f, plc.Path(), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !f.isVisible(); }, 5000));
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(form->cbBaudRate->currentText(), QStringLiteral("115200"));
    EXPECT_EQ(form->BaudRate(), 115200u);
    EXPECT_EQ(form->PortName(), plc.Path());
    EXPECT_FALSE(form->Comm2->IsOpen());
    // The port set-up never touches the mailbox.
    EXPECT_EQ(plc.plc.RequestCount("46"), 0u);

    const size_t frames = plc.plc.RequestCount();
    result = Show(*form, TDownload::dmPortSetup, [&](TfmDownload &f) {
        TypePortAndStart(f, QStringLiteral("/nonexistent/tty"), 2);
        EXPECT_FALSE(f.isVisible());
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(form->BaudRate(), 19200u);
    EXPECT_EQ(form->PortName(), QStringLiteral("/nonexistent/tty"));
    EXPECT_EQ(plc.plc.RequestCount(), frames);
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(DownloadDialog, CloseBoxDuringPacketsAbortsRestoresThenCloses)
{
    PlcLine plc;
    plc.panel.SetBusyPolls(2);
    auto form = MakeForm();
    MenuFileName = WriteFile(QStringLiteral("plant.mda"), TestImage(6400));
    const int result = Show(*form, TDownload::dmMenu, [&](TfmDownload &f) {
        TypePortAndStart(f, plc.Path(), 1);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return f.StatusText(0) == QStringLiteral(" Write packets 3"); }, 10000));
        f.close();
        // The registers are restored before the dialog goes; Exit and Start wait.
        ASSERT_TRUE(f.Download().Running());
        EXPECT_TRUE(f.isVisible());
        EXPECT_FALSE(f.btExit->isEnabled());
        EXPECT_FALSE(f.btStartDownLoad->isEnabled());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !f.isVisible(); }, 10000));
        EXPECT_EQ(f.StatusText(0), QStringLiteral("PLC restore finish !"));
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(plc.Mailbox(), RestoredPattern());
    EXPECT_FALSE(plc.panel.Finished());
    EXPECT_FALSE(form->Comm2->IsOpen());
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(DownloadDialog, AbortButtonBeforeTheMailboxStopsAtOnce)
{
    PlcLine plc;
    plc.panel.SetReadyAfterPolls(1000000);  // the panel never gets ready
    auto form = MakeForm();
    MenuFileName = WriteFile(QStringLiteral("plant.mda"), TestImage(100));
    Show(*form, TDownload::dmMenu, [&](TfmDownload &f) {
        TypePortAndStart(f, plc.Path(), 1);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return f.StatusText(0) == QStringLiteral("Wait MZEL Ready.."); }, 5000));
        f.btStartDownLoad->click();
        EXPECT_FALSE(f.Download().Running());
        EXPECT_EQ(f.StatusText(0), QStringLiteral("Communication Aborted"));
        EXPECT_EQ(f.StartTag(), 0);
        EXPECT_TRUE(f.btExit->isEnabled());
        EXPECT_TRUE(f.btStartDownLoad->isEnabled());
        EXPECT_TRUE(f.isVisible());
        f.close();
    });
    EXPECT_EQ(plc.plc.RequestCount("47"), 0u);
}

TEST_F(DownloadDialog, RetryQuestionAfterTheLastTimeOutSendsAgainOnYes)
{
    PlcLine plc;
    FaultRule drop(Fault::Drop, 5, "46");
    drop.skip = 2;  // the save and the first ready poll pass
    plc.plc.AddFault(drop);
    retryAnswer = 6;
    auto form = MakeForm();
    MenuFileName = WriteFile(QStringLiteral("plant.mda"), TestImage(200));
    Show(*form, TDownload::dmMenu, [&](TfmDownload &f) {
        TypePortAndStart(f, plc.Path(), 1);
        ASSERT_TRUE(WaitForEnd(f, 20000));
        EXPECT_EQ(f.StatusText(0), QStringLiteral("Download finished !"));
        EXPECT_EQ(f.StatusText(1), QStringLiteral("3"));
        f.btExit->click();
    });
    EXPECT_EQ(retryQuestions, 1);
    EXPECT_EQ(plc.panel.Image(), Bytes(TestImage(200)));
}

TEST_F(DownloadDialog, StartFailuresLeaveThePortClosedAndTheDialogUsable)
{
    struct Case {
        const char *file;  // nullptr: a file that is not there
        const char *port;
        const char *message;
    };
    const QString image = WriteFile(QStringLiteral("plant.mda"), TestImage(64));
    const QString empty = WriteFile(QStringLiteral("empty.mda"), QByteArray());
    const QString large = WriteFile(QStringLiteral("large.mda"), QByteArray(131073, '\x5A'));
    TUnopenedPipe pipe(dir.filePath(QStringLiteral("x.zel")));
    for (const Case &c :
         {Case{"image", "/nonexistent/tty", "Error opening serial port"},
          Case{nullptr, "/dev/null", "Cannot read the file "},
          Case{"pipe", "/dev/null", "Cannot read the file "}, Case{"empty", "/dev/null", "The file is empty"},
          Case{"large", "/dev/null", "The menu image "}}) {
        ui.Boxes.clear();
        auto form = MakeForm();
        const QString file = c.file ? QLatin1String(c.file) : QString();
        MenuFileName = file.isEmpty()        ? dir.filePath(QStringLiteral("gone.mda"))
            : file == QLatin1String("image") ? image
            : file == QLatin1String("large") ? large
            : file == QLatin1String("pipe")  ? pipe.Path()
                                             : empty;
        Show(*form, TDownload::dmMenu, [&](TfmDownload &f) {
            TypePortAndStart(f, QLatin1String(c.port), 1);
            EXPECT_FALSE(f.Download().Running()) << c.message;
            EXPECT_FALSE(f.Comm2->IsOpen()) << c.message;
            EXPECT_EQ(f.StartTag(), 0) << c.message;
            EXPECT_TRUE(f.btExit->isEnabled()) << c.message;
            EXPECT_TRUE(f.btStartDownLoad->isEnabled()) << c.message;
            f.close();
        });
        ASSERT_EQ(ui.Boxes.size(), 1) << c.message;
        EXPECT_EQ(ui.Boxes[0].kind, TBoxRequest::Plain);
        EXPECT_TRUE(ui.Boxes[0].text.startsWith(QLatin1String(c.message))) << ui.Boxes[0].text.toStdString();
    }
    EXPECT_EQ(pipe.Opens(), 0);
}

TEST_F(DownloadDialog, ExitReturnsOneTheCloseBoxZero)
{
    auto form = MakeForm();
    EXPECT_EQ(Show(*form, TDownload::dmMenu, [](TfmDownload &f) { f.btExit->click(); }), 1);
    EXPECT_EQ(Show(*form, TDownload::dmFirmware, [](TfmDownload &f) { f.close(); }), 0);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Download Firmware"));
    // Port set-up with a chosen rate: the close box lets the simulation go on.
    form->cbBaudRate->setCurrentIndex(5);
    EXPECT_EQ(Show(*form, TDownload::dmPortSetup, [](TfmDownload &f) { f.close(); }), 0);
    EXPECT_EQ(Show(*form, TDownload::dmPortSetup, [](TfmDownload &f) { f.btExit->click(); }), 1);
}

// ---- File choice -----------------------------------------------------------

TEST_F(DownloadDialog, PickedFilesBecomeTheDefaultsAndFirmwareHeadersAreChecked)
{
    const QString good = WriteFile(QStringLiteral("panel.os"), FirmwareImage("ZEL OS 2.14"));
    QByteArray broken = FirmwareImage("ZEL OS 2.14");
    broken[500] = char(broken[500] + 1);
    const QString bad = WriteFile(QStringLiteral("broken.os"), broken);
    const QString menu = WriteFile(QStringLiteral("plant.mda"), TestImage(10));
    auto form = MakeForm();

    Show(*form, TDownload::dmFirmware, [&](TfmDownload &f) {
        ui.AnswerFile(good);
        f.btGetDownloadFile->click();
        EXPECT_EQ(f.edDownloadFileName->text(), good);
        ui.AnswerFile(bad);
        f.btGetDownloadFile->click();
        ui.AnswerFile(QString());  // cancelled: nothing changes
        f.btGetDownloadFile->click();
        EXPECT_EQ(f.edDownloadFileName->text(), bad);
        f.close();
    });
    EXPECT_EQ(Messages(), (QStringList{QStringLiteral("ZEL OS 2.14"), QStringLiteral("Check Sum Error")}));
    EXPECT_EQ(FirmwareFileName, bad);
    EXPECT_EQ(MenuFileName, QString());

    ui.Boxes.clear();
    Show(*form, TDownload::dmMenu, [&](TfmDownload &f) {
        ui.AnswerFile(menu);
        f.btGetDownloadFile->click();
        f.close();
    });
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(MenuFileName, menu);
    EXPECT_EQ(FirmwareFileName, bad);
    ASSERT_EQ(ui.Files.size(), 4);
    EXPECT_EQ(ui.Files[0].filter, QStringLiteral("OS File|*.os"));
    EXPECT_EQ(ui.Files[1].fileName, good);  // the chooser opens at the file shown
    EXPECT_EQ(ui.Files[3].filter, QStringLiteral("Menu Data File|*.mda"));
}

// ---- Settings --------------------------------------------------------------

TEST_F(DownloadDialog, SettingsSurviveARestart)
{
    {
        auto form = MakeForm();
        EXPECT_EQ(form->edPort->text(), QString());
        EXPECT_EQ(form->cbBaudRate->currentIndex(), 0);
        form->edPort->setText(QStringLiteral("/dev/ttyUSB1"));
        form->cbBaudRate->setCurrentIndex(3);
        MenuFileName = QStringLiteral("/p/plant.mda");
        FirmwareFileName = QStringLiteral("/p/panel.os");
    }
    EXPECT_EQ(Settings().value(QStringLiteral("ComParameter/ComPort")).toString(),
              QStringLiteral("/dev/ttyUSB1"));
    MenuFileName.clear();
    FirmwareFileName.clear();
    {
        auto form = MakeForm();
        EXPECT_EQ(form->edPort->text(), QStringLiteral("/dev/ttyUSB1"));
        EXPECT_EQ(form->cbBaudRate->currentText(), QStringLiteral("38400"));
        EXPECT_EQ(MenuFileName, QStringLiteral("/p/plant.mda"));
        EXPECT_EQ(FirmwareFileName, QStringLiteral("/p/panel.os"));
        EXPECT_TRUE(form->btStartDownLoad->isEnabled());
    }
    // A stored index that names no item, or no number, selects Auto.
    for (const QString &stored : {QStringLiteral("9"), QStringLiteral("-1"), QStringLiteral("fast")}) {
        Settings().setValue(QStringLiteral("ComParameter/BaudRate"), stored);
        auto form = MakeForm();
        EXPECT_EQ(form->cbBaudRate->currentIndex(), 0) << stored.toStdString();
    }
}

// ---- Port list -------------------------------------------------------------

TEST(SerialPortList, FormatCutsNamesAtTheFirstBlankAndListsEachPortOnce)
{
    QStringList names, texts;
    FormatSerialPorts({{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("USB Serial")},
                       {QStringLiteral("COM3 (remark)"), QStringLiteral("Modem")},
                       {QStringLiteral("/dev/ttyS0"), QString()},
                       {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("listed twice")},
                       {QString(), QStringLiteral("no name")}},
                      names, texts);
    EXPECT_EQ(
        names,
        (QStringList{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("COM3"), QStringLiteral("/dev/ttyS0")}));
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("/dev/ttyUSB0 : (USB Serial)"),
                           QStringLiteral("COM3 (remark) : (Modem)"), QStringLiteral("/dev/ttyS0")}));
}

TEST_F(DownloadDialog, PortListFitsTheRememberedPort)
{
    auto form = MakeForm();
    const QList<TSerialPortEntry> present = {{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("USB Serial")},
                                             {QStringLiteral("/dev/ttyUSB1"), QStringLiteral("USB Serial")}};
    struct Case {
        QList<TSerialPortEntry> listed;
        QString remembered;
        QString port;       // edPort afterwards
        QStringList items;  // cbPortList's texts
        int selected;
    };
    const Case cases[] = {
        // Still present: kept and selected.
        {present,
         QStringLiteral("/dev/ttyUSB1"),
         QStringLiteral("/dev/ttyUSB1"),
         {QStringLiteral("/dev/ttyUSB0 : (USB Serial)"), QStringLiteral("/dev/ttyUSB1 : (USB Serial)")},
         1},
        // Gone while others are there: the first present one replaces it.
        {present,
         QStringLiteral("/dev/ttyACM7"),
         QStringLiteral("/dev/ttyUSB0"),
         {QStringLiteral("/dev/ttyUSB0 : (USB Serial)"), QStringLiteral("/dev/ttyUSB1 : (USB Serial)")},
         0},
        // None remembered: the first present one.
        {present,
         QString(),
         QStringLiteral("/dev/ttyUSB0"),
         {QStringLiteral("/dev/ttyUSB0 : (USB Serial)"), QStringLiteral("/dev/ttyUSB1 : (USB Serial)")},
         0},
        // Nothing listed: the remembered port is kept, forced.
        {{},
         QStringLiteral("/dev/pts/4"),
         QStringLiteral("/dev/pts/4"),
         {QStringLiteral("/dev/pts/4    [ Force Setting ]")},
         0},
        // Nothing listed, nothing remembered.
        {{}, QString(), QString(), {}, -1},
    };
    for (const Case &c : cases) {
        ports = c.listed;
        form->edPort->setText(c.remembered);
        form->RefreshPortList();
        EXPECT_EQ(form->edPort->text(), c.port) << c.remembered.toStdString();
        QStringList items;
        for (int i = 0; i < form->cbPortList->count(); ++i)
            items.append(form->cbPortList->itemText(i));
        EXPECT_EQ(items, c.items) << c.remembered.toStdString();
        EXPECT_EQ(form->cbPortList->currentIndex(), c.selected) << c.remembered.toStdString();
        EXPECT_EQ(form->btStartDownLoad->isEnabled(), !c.port.isEmpty()) << c.remembered.toStdString();
    }
    // Choosing from the list puts the entry's port name into the field.
    ports = {{QStringLiteral("COM3 (remark)"), QStringLiteral("Modem")}, present[0]};
    form->RefreshPortList();
    form->cbPortListChange(0);
    EXPECT_EQ(form->edPort->text(), QStringLiteral("COM3"));
    form->cbPortListChange(1);
    EXPECT_EQ(form->edPort->text(), QStringLiteral("/dev/ttyUSB0"));
}

// ---- Language --------------------------------------------------------------

TEST_F(DownloadDialog, ShippedLanguageFilesNameEveryComponentAndAutoStaysIndexZero)
{
    auto form = MakeForm();
    TfrmCommTimeOut *question = CommTimeOutForm();
    for (int language = 0; language < Localizer.LanguageCount(); ++language) {
        Localizer.SetLanguage(language);
        for (QWidget *window : {static_cast<QWidget *>(form.get()), static_cast<QWidget *>(question)}) {
            const QString section = window->objectName();
            for (const QObject *component : window->findChildren<QObject *>()) {
                const QString name = component->objectName();
                const int index =
                    LumorUnicode::ComponentClassIndex(QLatin1String(component->metaObject()->className()));
                if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))
                    || name == QLatin1String("WideImage1") || name == QLatin1String("cbPortList")
                    || (index != 0 && index != 1 && index != 8))
                    continue;
                const QString key = name + (index == 8 ? QStringLiteral(".N_0") : QStringLiteral(".Caption"));
                EXPECT_FALSE(Localizer.ReadSectionValue(section, key).isEmpty())
                    << "language." << language + 1 << " [" << section.toStdString() << "] "
                    << key.toStdString();
            }
        }
        EXPECT_FALSE(
            Localizer.ReadSectionValue(QStringLiteral("_FormCaption"), QStringLiteral("frmCommTimeOut"))
                .isEmpty());
    }
    Localizer.SetLanguage(1);
    EXPECT_EQ(form->cbBaudRate->itemText(0), QStringLiteral("Automatisch"));
    EXPECT_EQ(form->BaudRate(), 0u);
    EXPECT_EQ(question->btYes->text(), QStringLiteral("&Ja"));
    EXPECT_EQ(question->windowTitle(), QStringLiteral("Kommunikationsfehler"));
    Show(*form, TDownload::dmMenu, [](TfmDownload &f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Menüdaten übertragen"));
        f.close();
    });
}

TEST_F(DownloadDialog, EveryLanguageFitsTheDialogAndTheRetryQuestion)
{
    auto form = MakeForm();
    TfrmCommTimeOut *question = CommTimeOutForm();
    // The longest texts the transfer shows in the three status panels.
    const QString longest[] = {QString::fromLatin1(TDownload::kChecksumErrorText), QStringLiteral("10"),
                               QStringLiteral("Try 115200")};
    for (int language = 0; language < Localizer.LanguageCount(); ++language) {
        Localizer.SetLanguage(language);
        for (int mode : {int(TDownload::dmMenu), int(TDownload::dmFirmware), int(TDownload::dmPortSetup)}) {
            Show(*form, mode, [&](TfmDownload &f) {
                EXPECT_TRUE(TextsFit(&f)) << "language." << language + 1 << " mode " << mode;
                // The panels are wide enough from the start: the dialog
                // keeps its size while a transfer reports.
                const QSize before = f.size();
                const QList<QLabel *> panels =
                    f.sbDownload->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
                ASSERT_EQ(panels.size(), TfmDownload::StatusPanelCount);
                for (int i = 0; i < TfmDownload::StatusPanelCount; ++i)
                    panels[i]->setText(longest[i]);
                EXPECT_TRUE(TextsFit(&f)) << "language." << language + 1 << " mode " << mode;
                EXPECT_EQ(f.size(), before);
                for (QLabel *panel : panels)
                    panel->clear();
                f.close();
            });
        }
        EXPECT_TRUE(TextsFit(question)) << "language." << language + 1;
    }
}
