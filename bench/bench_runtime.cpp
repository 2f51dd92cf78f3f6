// One tick plus one paint of the panel runtime on a busy page of the 128 x 96 model:
// five action rows with long captions (the selected one scrolling), a description
// mark and the title, compiled with the real output font. Each iteration redraws
// the whole page, as a blink or a poll reply makes it do every few ticks.
//
// The two full-screen pictures of the link are measured beside it: the clock saver
// (five 24 x 32 clock glyphs painted pixel by pixel and the date line) and the alarm
// message (three lines with their values inserted, and the frame).
//
// share_of_frame_pct is the time of one iteration as a percentage of the 100 ms
// frame budget of the simulator (the library prints it with an "s" after it:
// "0.016s" is 0.016 %); the aim is below 0.05 %.
#include "GlyphRaster.h"
#include "LinkScreens.h"
#include "MenuCompiler.h"
#include "Operands.h"
#include "PanelLcdDriver.h"
#include "PanelRuntime.h"
#include "PanelRuntimeState.h"
#include "PlcLink.h"
#include "ProjectTree.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

std::vector<uint8_t> gImage;

void ReadImage(void *destination, uint32_t offset, uint32_t length)
{
    std::memcpy(destination, gImage.data() + offset, length);
}

TwNode *Child(TwNode *parent, int32_t kind, const QString &caption)
{
    return new TwNode(parent, caption, kind);
}

// A 128 x 96 project with its fixed nodes; the caller fills the main menu and alarms.
struct BenchProject {
    std::unique_ptr<TwNode> root;
    TwNode *mainMenu = nullptr;
    TwNode *alarms = nullptr;
    TwNode *configuration = nullptr;
};

BenchProject NewBenchProject()
{
    BenchProject p;
    p.root = std::make_unique<TwNode>(nullptr, QString(), nkProject);
    Child(p.root.get(), nkDeviceInfo, QStringLiteral("Device Infomation"))->SetProp("DeviceID", "1");
    p.mainMenu = Child(p.root.get(), nkMainMenu, QStringLiteral("Main Menu"));
    p.alarms = Child(p.root.get(), nkAlarms, QStringLiteral("Alarms"));
    Child(p.root.get(), nkStartupScreen, QStringLiteral("Startup Screen"));
    Child(p.root.get(), nkScreenSaver, QStringLiteral("Screen Saver"));
    p.configuration = Child(p.root.get(), nkConfiguration, QStringLiteral("Configuration"));
    p.configuration->SetProp("ScreenSaverActiveTime", "10");
    return p;
}

std::vector<uint8_t> CompileBench(BenchProject &p)
{
    TwGlyphRaster font(QStringLiteral("Tahoma"), 9);
    TwCompileSettings settings;
    settings.PanelModelId = 1;
    TwRes res(font, settings);
    QByteArray image;
    if (res.Compile(p.root.get()) && res.BuildFont())
        res.AssembleImage(image);
    return std::vector<uint8_t>(image.begin(), image.end());
}

// The root of a 128 x 96 project: ten action rows with captions wider than the display.
std::vector<uint8_t> BusyImage()
{
    BenchProject p = NewBenchProject();
    for (int i = 0; i < 10; ++i) {
        TwNode *action =
            Child(p.mainMenu, nkAction, QStringLiteral("Pump station %1 main circuit valve").arg(i));
        action->SetProp("ActionType", i == 0 ? "0" : "1");
        action->SetProp("Reference", QStringLiteral("M%1").arg(i));
        action->SetProp("StringOff", QStringLiteral("Pump station %1 stopped").arg(i));
        SaveStringsProp(action->Props, {QStringLiteral("Starts or stops pump %1.").arg(i)},
                        QStringLiteral("Description"));
    }
    return CompileBench(p);
}

// A menu with one sub-menu, the clock saver, and alarm 1 with a value in each line.
std::vector<uint8_t> AlarmImage()
{
    BenchProject p = NewBenchProject();
    Child(p.mainMenu, nkSubMenu, QStringLiteral("Settings"));
    p.configuration->SetProp("SaverEffect", "3");
    p.configuration->SetProp("AlarmIndex", "R5");
    TwNode *alarm = Child(p.alarms, nkAlarm, QString());
    alarm->SetProp("Index", "01");
    const char *lines[3] = {"Boiler temp ^ C", "Pressure ^ bar", "Level ^ %"};
    for (int i = 0; i < 3; ++i) {
        alarm->SetProp(QStringLiteral("Line%1").arg(i + 1), QLatin1String(lines[i]));
        alarm->SetProp(QStringLiteral("Reference%1").arg(i + 1), QStringLiteral("R%1").arg(10 + i));
    }
    return CompileBench(p);
}

// Loads the image into the engine on the 128 x 96 model and paints into the menu.
bool StartBench(benchmark::State &state, std::vector<uint8_t> image)
{
    gImage = std::move(image);
    if (gImage.empty()) {
        state.SkipWithError("the image does not compile");
        return false;
    }
    SelectPanelModel(PanelModel128x96);
    runtime::EngineInit(0);
    runtime::ReadImageHook = ReadImage;
    runtime::FlushDisplayHook = CurrentModel.FlushFrame;
    if (runtime::EngineLoadImage(static_cast<uint32_t>(gImage.size())) != runtime::LoadOk) {
        state.SkipWithError("the image does not load");
        return false;
    }
    runtime::EnginePaint();  // into the menu
    runtime::ValuesPending = 0;
    return true;
}

void ShareOfFrame(benchmark::State &state)
{
    state.counters["share_of_frame_pct"] = benchmark::Counter(
        0.001, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    runtime::ReadImageHook = nullptr;
}

void BM_TickAndPaintBusyPage(benchmark::State &state)
{
    if (!StartBench(state, BusyImage()))
        return;
    runtime::gEngine.blink = 3;
    for (auto _ : state) {
        runtime::gEngine.redraw = 1;
        runtime::EngineTick();
        runtime::EnginePaint();
        runtime::ValuesPending = 0;
    }
    ShareOfFrame(state);
}

// One paint of the clock saver at 23:58 with the colon lit.
void BM_PaintClockSaver(benchmark::State &state)
{
    if (!StartBench(state, AlarmImage()))
        return;
    runtime::gEngine.screenState = runtime::StateClockSaver;
    const uint16_t clock[runtime::kClockValues] = {59, 58, 23, 31, 12, 88};
    std::copy(clock, clock + runtime::kClockValues, runtime::gEngine.clock);
    runtime::gEngine.blink = 3;
    runtime::PlcDataValid = 1;
    for (auto _ : state) {
        runtime::gEngine.redraw = 1;
        runtime::EnginePaint();
    }
    ShareOfFrame(state);
}

// One redraw of a shown alarm: three lines with their values inserted and the frame.
void BM_DrawAlarmMessage(benchmark::State &state)
{
    if (!StartBench(state, AlarmImage()))
        return;
    runtime::CurrentAlarmNumber = 1;
    runtime::ProcessCurrentAlarm();
    const uint16_t values[3] = {65535, 1013, 42};
    std::copy(values, values + 3, runtime::AlarmValues);
    runtime::gEngine.blink = 3;
    for (auto _ : state)
        runtime::DrawAlarmMessage();
    ShareOfFrame(state);
}

}  // namespace

BENCHMARK(BM_TickAndPaintBusyPage)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_PaintClockSaver)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_DrawAlarmMessage)->Unit(benchmark::kNanosecond);
