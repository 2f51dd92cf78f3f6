// The simulator windows: the key machine over ticks, the frame on the pictured
// display in each display mode, a compiled menu operated with the mouse,
// offline and online against the simulated PLC on a pseudo-terminal, failed
// starts, the simulation command's entry, and the README pictures.
#include "mainwindow/MainWindowFixture.h"

#include "DownloadDialog.h"
#include "LinkScreens.h"
#include "PanelLcdDriver.h"
#include "PanelRuntime.h"
#include "PlcLink.h"
#include "ProjectBuilder.h"
#include "SerialPort.h"
#include "SimPlc.h"
#include "SimPlcPty.h"
#include "mainwindow/Startup.h"
#include "simulator/SimulatorWindow.h"
#include "simulator/SimulatorWindow128x64.h"
#include "simulator/SimulatorWindow128x96.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <map>
#include <vector>

using simplc::Fault;
using simplc::FaultRule;
using simplc::SimPlc;
using simplc::SimPlcPty;

namespace {

// A font in which every character has a shape of its own (a bar on top, then
// its code as seven columns of bits), so that a text can be looked for
// anywhere on the display.
class CodeGlyphSource : public TwGlyphSource {
public:
    static constexpr int kWidth = 8;
    static constexpr int kHeight = 12;
    static bool Ink(char16_t c, int x, int y)
    {
        return x < 7 && (y == 1 || (y >= 3 && y <= 9 && ((c >> x) & 1)));
    }
    bool IsValid() const override { return true; }
    QString ErrorText() const override { return QString(); }
    int LineHeight() const override { return kHeight; }
    int TextWidth(const QString &text) override { return kWidth * int(text.size()); }
    TwGlyphCell CharacterCell(char16_t unit) override
    {
        TwGlyphCell cell{kWidth, kHeight, std::vector<uint8_t>(kWidth * kHeight)};
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                cell.Ink[size_t(y * kWidth + x)] = Ink(unit, x, y);
        return cell;
    }
};

QByteArray Compile(TestProject &project, int model)
{
    CodeGlyphSource font;
    QString error;
    const QByteArray image = CompileTestImage(project.Root.get(), font, uint32_t(model), &error);
    EXPECT_FALSE(image.isEmpty()) << error.toStdString();
    return image;
}

bool Lit(QRgb pixel)
{
    return (pixel & 0xFFFFFF) != 0;
}

// Whether the text, drawn in CodeGlyphSource, lies anywhere on the display.
bool Shows(const TFormSimulation &window, const QString &text)
{
    const QImage &picture = window.imgImage->Picture();
    const int width = CodeGlyphSource::kWidth * int(text.size());
    for (int y0 = 0; y0 + CodeGlyphSource::kHeight <= picture.height(); ++y0) {
        for (int x0 = 0; x0 + width <= picture.width(); ++x0) {
            bool match = true;
            for (int y = 0; match && y < CodeGlyphSource::kHeight; ++y) {
                const auto *row = reinterpret_cast<const QRgb *>(picture.constScanLine(y0 + y));
                for (int x = 0; match && x < width; ++x)
                    match = Lit(row[x0 + x])
                        == CodeGlyphSource::Ink(text[x / CodeGlyphSource::kWidth].unicode(),
                                                x % CodeGlyphSource::kWidth, y);
            }
            if (match)
                return true;
        }
    }
    return false;
}

// n frames of 100 ms without waiting: the tick, then the paint.
void Frames(TFormSimulation &window, int n = 1)
{
    for (int i = 0; i < n; ++i) {
        window.tmTickTimer();
        window.tmPaintTimer();
    }
}

void Click(QWidget *key)
{
    QTest::mousePress(key, Qt::LeftButton);
    QTest::mouseRelease(key, Qt::LeftButton);
}

bool Start(TFormSimulation &window, const QByteArray &image, bool online = false)
{
    return window.StartSimulation(reinterpret_cast<const uint8_t *>(image.constData()),
                                  uint32_t(image.size()), online);
}

class SimulatorTest : public MainWindowTest {
protected:
    void TearDown() override
    {
        DestroySimulationForms();
        SetAlarmTriggerRunner({});
        delete fmDownload;
        MainWindowTest::TearDown();
    }

    // The port set-up the online start reads.
    void SetUpPort(const QString &port, int baudIndex)
    {
        DownloadForm().edPort->setText(port);
        DownloadForm().cbBaudRate->setCurrentIndex(baudIndex);
    }

    static bool Idle(const TFormSimulation &window)
    {
        return !window.Running() && !window.tmTick->isActive() && !window.tmPaint->isActive()
            && !window.tmComm->isActive() && !window.Comm1->IsOpen();
    }
};

// A root with two sub-menus of two values each, and the alarm 1.
TestProject DemoProject(int model)
{
    TestProject project = NewTestProject(model);
    TwNode *pumps = AddSubMenu(project.MainMenu, QStringLiteral("Pumps"));
    AddValue(pumps, QStringLiteral("Flow"), QStringLiteral("R100"));
    AddValue(pumps, QStringLiteral("Speed"), QStringLiteral("R101"));
    TwNode *tanks = AddSubMenu(project.MainMenu, QStringLiteral("Tanks"));
    AddValue(tanks, QStringLiteral("Level"), QStringLiteral("R102"));
    AddValue(tanks, QStringLiteral("Temp"), QStringLiteral("R103"));
    AddAlarm(project.Alarms, 1, {QStringLiteral("Overheat")});
    return project;
}

}  // namespace

// ---- The key machine ---------------------------------------------------------

namespace {

// "code@tick" pairs separated by blanks.
std::map<int, int> Ticks(const char *text)
{
    std::map<int, int> out;
    for (const QString &pair : QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        out[pair.section(QLatin1Char('@'), 1).toInt()] = pair.section(QLatin1Char('@'), 0, 0).toInt();
    return out;
}

}  // namespace

TEST(SimulatorKeys, KeyMachineOverTicks)
{
    // Events before a tick: code > 0 pressed, 0 released, -code a click within
    // the tick. Every tick not listed under delivered delivers nothing.
    struct Case {
        const char *name, *events;
        int ticks;
        const char *delivered;
    } const cases[] = {
        {"a click within one tick", "-1@0", 6, "1@0"},
        {"OK click: 6, then 8", "-6@0", 4, "6@0 8@1"},
        {"OK held: no long press, 8 at the release", "6@0 0@30", 32, "6@0 8@30"},
        {"Down held repeats at 0, 3, 4, 5 ...", "1@0 0@8", 12, "1@0 1@3 1@4 1@5 1@6 1@7"},
        {"page up held repeats like Down", "9@0 0@5", 8, "9@0 9@3 9@4"},
        {"Left held: its long code once", "4@0 0@40", 42, "4@0 132@15"},
        {"Right let go before the long press", "3@0 0@14", 20, "3@0"},
        {"Esc held ten minutes: 0x85, then 7", "5@0 0@6010", 6012, "5@0 133@15 7@6000"},
        {"Esc let go after its long press", "5@0 0@100", 7000, "5@0 133@15"},
        {"moving onto Up while Down repeats waits for the release", "1@0 2@2 0@9", 12, "1@0"},
    };
    for (const Case &c : cases) {
        const std::map<int, int> events = Ticks(c.events);
        TSimKeys keys;
        std::map<int, int> got;
        for (int tick = 0; tick < c.ticks; ++tick) {
            if (auto event = events.find(tick); event != events.end()) {
                if (event->second != 0)
                    keys.Press(std::abs(event->second));
                if (event->second <= 0)
                    keys.Release();
            }
            if (const int32_t code = keys.Tick())
                got[tick] = code;
        }
        EXPECT_EQ(got, Ticks(c.delivered)) << c.name;
        EXPECT_EQ(keys.currentKey, 0) << c.name << ": the released key is let go";
    }
}

// ---- The display ---------------------------------------------------------------

TEST_F(SimulatorTest, FramesShowInEachDisplayMode)
{
    // Framebuffer bytes and the pixels they light on the window's display.
    struct Model {
        uint8_t id;
        std::vector<std::pair<int, uint8_t>> bytes;
        std::vector<QPoint> lit;
        QRgb dim;
    };
    const Model models[] = {
        // Shown turned by 180 degrees: byte 0 bit 0 is the bottom-right pixel.
        {0, {{0, 0x01}, {1023, 0x80}, {890, 0x40}}, {{127, 63}, {0, 0}, {5, 9}}, qRgb(0x80, 0x80, 0x80)},
        // Nibbles, not turned; any grey value is lit.
        {1, {{0, 0x0F}, {6143, 0x30}, {64 + 5, 0x10}}, {{0, 0}, {127, 95}, {11, 1}}, qRgb(0x40, 0x40, 0x40)},
    };
    for (const Model &m : models) {
        TFormSimulation *window = SimulationForm(m.id);
        SelectPanelModel(m.id);
        std::memset(CurrentModel.FrameBuffer, 0, CurrentModel.FrameBytes);
        for (const auto &[offset, value] : m.bytes)
            CurrentModel.FrameBuffer[offset] = value;
        const QRgb colours[3] = {qRgb(0, 0, 0), m.dim, qRgb(0xFF, 0xFF, 0xFF)};
        for (uint8_t mode : {2, 1, 0}) {
            // The mode change shows the frame again through the model's flush.
            CurrentModel.SetDisplayMode(mode);
            EXPECT_EQ(window->DisplayMode(), mode);
            const QImage &picture = window->imgImage->Picture();
            ASSERT_EQ(picture.size(), QSize(CurrentModel.Width, CurrentModel.Height));
            int litCount = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    litCount += Lit(picture.pixel(x, y));
            EXPECT_EQ(litCount, mode == 0 ? 0 : int(m.lit.size())) << int(m.id) << " mode " << int(mode);
            for (const QPoint &p : m.lit)
                EXPECT_EQ(picture.pixel(p), colours[mode])
                    << int(m.id) << " mode " << int(mode) << " at " << p.x() << "," << p.y();
        }
    }
}

// ---- Offline -------------------------------------------------------------------

TEST_F(SimulatorTest, DemoMenuIsOperatedWithTheKeyImagesAndTheAlarmTrigger)
{
    int triggered = 0;
    for (int model : {0, 1}) {
        TestProject project = DemoProject(model);
        TFormSimulation *window = SimulationForm(uint8_t(model));
        ASSERT_TRUE(Start(*window, Compile(project, model)));
        window->show();
        Frames(*window, 3);
        EXPECT_TRUE(Shows(*window, QStringLiteral("Pumps")) && Shows(*window, QStringLiteral("Tanks")))
            << model;
        EXPECT_FALSE(Shows(*window, QStringLiteral("Flow"))) << model;

        auto key = [&](const char *small, const char *large) {
            return window->findChild<QWidget *>(QLatin1String(model == 0 ? small : large));
        };
        Click(key("WideImage2", "KeyOk"));
        Frames(*window, 2);
        EXPECT_TRUE(Shows(*window, QStringLiteral("Flow"))) << model << ": into the first sub-menu";
        for (QWidget *next :
             {key("WideImage1", "KeyEsc"), key("WideImage4", "KeyDown"), key("WideImage2", "KeyOk")}) {
            Click(next);
            Frames(*window, 2);
        }
        EXPECT_TRUE(Shows(*window, QStringLiteral("Level"))) << model << ": back, down, into the second";
        EXPECT_FALSE(Shows(*window, QStringLiteral("Flow"))) << model;

        // The image has an alarm: the trigger is offered and its dialog raises it.
        ASSERT_TRUE(window->imgAlarmTrig->isVisible());
        Click(window->imgAlarmTrig);  // without the dialog nothing happens
        SetAlarmTriggerRunner([&] {
            ++triggered;
            runtime::CurrentAlarmNumber = 1;
        });
        Click(window->imgAlarmTrig);
        Frames(*window);
        EXPECT_TRUE(Shows(*window, QStringLiteral("Overheat"))) << model << ": the chosen alarm is drawn";
        SetAlarmTriggerRunner({});
        window->close();
        EXPECT_TRUE(Idle(*window));
    }
    EXPECT_EQ(triggered, 2);
}

TEST_F(SimulatorTest, FailedStartsLeaveNothingRunningAndTheNextStartWorks)
{
    TestProject project = NewTestProject(1);
    AddSubMenu(project.MainMenu, QStringLiteral("Pumps"));
    const QByteArray image = Compile(project, 1);
    const QString noPort = dir.filePath(QStringLiteral("no-such-port"));
    TFormSimulation *window = SimulationForm(1);
    struct Case {
        const char *name;
        QByteArray image;
        QString port;  // empty: offline
        int baudIndex;
        QString message;
    } const cases[] = {
        {"a port that does not exist", image, noPort, 1, QStringLiteral("Error opening serial port")},
        {"no baud rate chosen", image, noPort, 0, QStringLiteral("'Auto' is not a valid baud rate")},
        {"an image of the other model", Compile(project, 0), QString(), 1,
         QString::fromLatin1(runtime::EngineLoadResultText(runtime::LoadWrongModel))},
        {"a cut image", image.left(100), QString(), 1,
         QString::fromLatin1(runtime::EngineLoadResultText(runtime::LoadTooShort))},
    };
    for (const Case &c : cases) {
        ui.Boxes.clear();
        SetUpPort(c.port, c.baudIndex);
        EXPECT_FALSE(Start(*window, c.image, !c.port.isEmpty())) << c.name;
        ASSERT_EQ(ui.Boxes.size(), 1) << c.name;
        EXPECT_EQ(ui.Boxes[0].kind, TBoxRequest::Error) << c.name;
        EXPECT_TRUE(ui.Boxes[0].text.startsWith(c.message))
            << c.name << ": " << ui.Boxes[0].text.toStdString();
        EXPECT_TRUE(Idle(*window) && !window->isVisible()) << c.name;
        EXPECT_TRUE(!runtime::EngineTickHook && !runtime::EnginePaintHook && !runtime::SendFrameHook)
            << c.name;
    }
    ui.Boxes.clear();
    {
        QByteArray caller = image;  // the caller's memory may go at once
        ASSERT_TRUE(Start(*window, caller));
    }
    Frames(*window, 3);
    EXPECT_TRUE(Shows(*window, QStringLiteral("Pumps")));
    EXPECT_TRUE(ui.Boxes.isEmpty());
    EXPECT_TRUE(window->imgAlarmTrig->isHidden()) << "an image without alarms offers no trigger";
    // Reads beyond the image yield 0.
    uint8_t out[8];
    window->SimReadImage(out, uint32_t(image.size()) - 2, 8);
    EXPECT_EQ(QByteArray(reinterpret_cast<char *>(out), 8), image.right(2) + QByteArray(6, '\0'));
    window->SimReadImage(out, 0xFFFFFFF0u, 8);
    EXPECT_EQ(QByteArray(reinterpret_cast<char *>(out), 8), QByteArray(8, '\0'));
}

// ---- The simulation command's entry -------------------------------------------

TEST_F(SimulatorTest, RunSimulationMakesTheWindowOnceAndClearsTheKeysAtClose)
{
    TestProject project = DemoProject(1);
    const QByteArray image = Compile(project, 1);
    std::vector<QDialog *> shown;
    const TDialogAnswer run = [&](QDialog &dialog) {
        auto &window = static_cast<TFormSimulation &>(dialog);
        shown.push_back(&window);
        EXPECT_TRUE(window.Running() && window.tmTick->isActive() && window.tmPaint->isActive());
        window.show();
        QTest::mousePress(window.KeyImages[0], Qt::LeftButton);  // held while the window closes
        Frames(window);
        window.Image3->click();
        return int(QDialog::Rejected);
    };
    ui.AnswerDialog(run);
    ui.AnswerDialog(run);
    EXPECT_TRUE(RunSimulation(image, 1, false));
    EXPECT_TRUE(RunSimulation(image, 1, false));
    ASSERT_EQ(shown, std::vector<QDialog *>(2, FormSimulation_128x96)) << "made on first use, then kept";
    EXPECT_TRUE(FormSimulation_128x96->Keys.currentKey == 0 && FormSimulation_128x96->Keys.keyState == 0);
    EXPECT_TRUE(Idle(*FormSimulation_128x96) && !FormSimulation_128x96->isVisible());

    // Online, leaving the port set-up with Exit cancels before anything starts.
    ui.AnswerDialog([](QDialog &dialog) {
        static_cast<TfmDownload &>(dialog).btExitClick();
        return 0;
    });
    EXPECT_FALSE(RunSimulation(image, 1, true));
    EXPECT_FALSE(RunSimulation(image, 2, false)) << "no such model";
    EXPECT_EQ(ui.Dialogs,
              QStringList({QStringLiteral("FormSimulation_128x96"), QStringLiteral("FormSimulation_128x96"),
                           QStringLiteral("fmDownload")}));
}

TEST_F(SimulatorTest, TextsFollowTheLanguage)
{
    TFormSimulation *windows[] = {SimulationForm(0), SimulationForm(1)};
    Localizer.SetLanguage(1);
    for (TFormSimulation *window : windows) {
        EXPECT_EQ(window->Image3->toolTip(), QStringLiteral("Schließen"));
        EXPECT_EQ(window->imgAlarmTrig->toolTip(), QStringLiteral("Alarm auslösen"));
    }
    Localizer.SetLanguage(0);
    EXPECT_EQ(windows[1]->windowTitle(), QStringLiteral("Simulation 128 x 96"));
    EXPECT_EQ(windows[0]->imgAlarmTrig->toolTip(), QStringLiteral("Alarm Trigger"));
}

// ---- Online --------------------------------------------------------------------

namespace {

// A list on R100 at the root: the panel shows the entry the PLC holds.
QByteArray OnlineImage(TestProject &project)
{
    AddList(project.MainMenu, QStringLiteral("Mode"), QStringLiteral("R100"),
            {QStringLiteral("Off"), QStringLiteral("On"), QStringLiteral("Auto")});
    return Compile(project, 0);
}

constexpr int kWaitMs = 5000;

}  // namespace

TEST_F(SimulatorTest, OnlineTheDisplayFollowsThePlcAndKeysWriteIntoIt)
{
    SimPlc plc;
    plc.SetReg(100, 2);
    SimPlcPty line(plc);
    ASSERT_TRUE(line.Start());
    const QString port = QString::fromStdString(line.SlavePath());
    SetUpPort(port, 1);
    TestProject project = NewTestProject(0);
    TFormSimulation *window = SimulationForm(0);
    ASSERT_TRUE(Start(*window, OnlineImage(project), true));
    window->show();
    EXPECT_TRUE(window->imgAlarmTrig->isHidden()) << "online the PLC raises the alarms";
    EXPECT_EQ(window->Comm1->BaudRate(), 9600u);
    EXPECT_EQ(window->Comm1->CommName(), port);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shows(*window, QStringLiteral("Auto")); }, kWaitMs))
        << "a value polled from the PLC";
    plc.SetReg(100, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shows(*window, QStringLiteral("Off")); }, kWaitMs));

    // Choose "On" with the keys: OK, Down, OK.
    TFormSimulation_128x64 &small = *FormSimulation_128x64;
    for (QWidget *key : {small.WideImage2, small.WideImage4, small.WideImage2}) {
        Click(key);
        QTest::qWait(2 * TFormSimulation::kFrameMs + 50);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return plc.Reg(100) == 1; }, kWaitMs)) << "the entered value lands";
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shows(*window, QStringLiteral("On")); }, kWaitMs));

    // A block longer than the receive buffer is refused like any bad reply.
    const std::vector<char> flood(TComm::kReadBlockSize, '7');
    window->Comm1ReceiveData(window->Comm1, flood.data(), uint16_t(flood.size()));
    plc.SetReg(100, 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shows(*window, QStringLiteral("Auto")); }, kWaitMs));

    // The PLC goes silent: the time-out message; it answers again: the list.
    plc.AddFault(FaultRule(Fault::Drop, -1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shows(*window, QStringLiteral("Communication")); }, kWaitMs));
    plc.ClearFaults();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !runtime::TimeoutShown && Shows(*window, QStringLiteral("Auto")); }, kWaitMs));

    // Closed while writing: the threads are joined and the port is free again.
    Click(small.WideImage2);
    Frames(*window);
    window->close();
    EXPECT_TRUE(Idle(*window));
    TComm other;
    other.SetCommName(port);
    EXPECT_NO_THROW(other.StartComm());
    other.StopComm();
}

TEST_F(SimulatorTest, APortThatVanishesEndsTheOnlineSessionWithAMessage)
{
    SimPlc plc;
    SimPlcPty line(plc);
    ASSERT_TRUE(line.Start());
    TestProject project = NewTestProject(0);
    const QByteArray image = OnlineImage(project);
    // The port set up in the download dialog, left with its close box.
    ui.AnswerDialog([&](QDialog &) {
        SetUpPort(QString::fromStdString(line.SlavePath()), 1);
        return 0;
    });
    bool closedInTime = false;
    ui.AnswerDialog([&](QDialog &dialog) {
        auto &window = static_cast<TFormSimulation &>(dialog);
        window.show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return Shows(window, QStringLiteral("Off")); }, kWaitMs));
        line.HangUp();
        closedInTime = QTest::qWaitFor([&] { return !window.isVisible(); }, kWaitMs);
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(RunSimulation(image, 0, true));
    EXPECT_TRUE(closedInTime);
    EXPECT_EQ(ui.BoxTexts(),
              QStringList(QStringLiteral("Serial port lost, the online simulation has ended.")));
    EXPECT_TRUE(Idle(*FormSimulation_128x64));
}

// ---- README pictures -------------------------------------------------------------

// Pictures of both windows running a small menu in the output font, saved as
// simulator-128x64.png and simulator-128x96.png into the folder named by
// ZEL_SIM_SCREENSHOTS (the README's pictures are made this way, under Xvfb);
// without it they are only taken.
TEST_F(SimulatorTest, PicturesOfBothWindowsRunningADemoMenu)
{
    for (int model : {0, 1}) {
        TestProject project = NewTestProject(model);
        TwNode *pumps = AddSubMenu(project.MainMenu, QStringLiteral("Pumps"));
        AddValue(pumps, QStringLiteral("Flow"), QStringLiteral("R100"));
        AddSubMenu(project.MainMenu, QStringLiteral("Tanks"));
        AddSubMenu(project.MainMenu, QStringLiteral("Settings"));
        AddAction(project.MainMenu, QStringLiteral("Start motor"), 1, QStringLiteral("M10"));
        AddAlarm(project.Alarms, 1, {QStringLiteral("Overheat")});
        TwGlyphRaster font(QStringLiteral("Tahoma"), 9);
        ASSERT_TRUE(font.IsValid()) << font.ErrorText().toStdString();
        const QByteArray image = CompileTestImage(project.Root.get(), font, uint32_t(model));
        TFormSimulation *window = SimulationForm(uint8_t(model));
        ASSERT_TRUE(Start(*window, image));
        window->show();
        Frames(*window, 3);
        Click(window->KeyImages.last());  // Down: the second row selected
        Frames(*window, 2);
        QCoreApplication::processEvents();
        const QPixmap picture = window->grab();
        ASSERT_FALSE(picture.isNull());
        const QString folder = qEnvironmentVariable("ZEL_SIM_SCREENSHOTS");
        const QString name =
            model == 0 ? QStringLiteral("simulator-128x64.png") : QStringLiteral("simulator-128x96.png");
        if (!folder.isEmpty()) {
            EXPECT_TRUE(picture.save(QDir(folder).filePath(name)));
        }
        window->close();
    }
}
