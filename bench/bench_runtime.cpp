// One tick plus one paint of the panel runtime on a busy page of the 128 x 96 model:
// five action rows with long captions (the selected one scrolling), a description
// mark and the title, compiled with the real output font. Each iteration redraws
// the whole page, as a blink or a poll reply makes it do every few ticks.
//
// share_of_frame_pct is the time of one tick plus paint as a percentage of the
// 100 ms frame budget of the simulator (the library prints it with an "s" after it:
// "0.016s" is 0.016 %); the aim is below 0.05 %.
#include "GlyphRaster.h"
#include "PanelLcdDriver.h"
#include "PanelRuntime.h"
#include "PanelRuntimeState.h"
#include "PlcLink.h"
#include "Wobject.h"
#include "Wres.h"
#include "Wutil.h"

#include <benchmark/benchmark.h>

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

// The root of a 128 x 96 project: ten action rows with captions wider than the display.
std::vector<uint8_t> BusyImage()
{
    auto root = std::make_unique<TwNode>(nullptr, QString(), nkProject);
    Child(root.get(), nkDeviceInfo, QStringLiteral("Device Infomation"))->SetProp("DeviceID", "1");
    TwNode *mainMenu = Child(root.get(), nkMainMenu, QStringLiteral("Main Menu"));
    Child(root.get(), nkAlarms, QStringLiteral("Alarms"));
    Child(root.get(), nkStartupScreen, QStringLiteral("Startup Screen"));
    Child(root.get(), nkScreenSaver, QStringLiteral("Screen Saver"));
    Child(root.get(), nkConfiguration, QStringLiteral("Configuration"))->SetProp("ScreenSaverActiveTime", "10");
    for (int i = 0; i < 10; ++i) {
        TwNode *action = Child(mainMenu, nkAction, QStringLiteral("Pump station %1 main circuit valve").arg(i));
        action->SetProp("ActionType", i == 0 ? "0" : "1");
        action->SetProp("Reference", QStringLiteral("M%1").arg(i));
        action->SetProp("StringOff", QStringLiteral("Pump station %1 stopped").arg(i));
        SaveStringsProp(action->Props, {QStringLiteral("Starts or stops pump %1.").arg(i)}, QStringLiteral("Description"));
    }
    TwGlyphRaster font(QStringLiteral("Tahoma"), 9);
    TwCompileSettings settings;
    settings.PanelModelId = 1;
    TwRes res(font, settings);
    QByteArray image;
    if (res.Compile(root.get()) && res.BuildFont())
        res.AssembleImage(image);
    return std::vector<uint8_t>(image.begin(), image.end());
}

void BM_TickAndPaintBusyPage(benchmark::State &state)
{
    gImage = BusyImage();
    if (gImage.empty()) {
        state.SkipWithError("the busy page does not compile");
        return;
    }
    SelectPanelModel(PanelModel128x96);
    runtime::EngineInit(0);
    runtime::ReadImageHook = ReadImage;
    runtime::FlushDisplayHook = CurrentModel.FlushFrame;
    if (runtime::EngineLoadImage(static_cast<uint32_t>(gImage.size())) != runtime::LoadOk) {
        state.SkipWithError("the busy page does not load");
        return;
    }
    runtime::EnginePaint();  // into the menu
    runtime::ValuesPending = 0;
    runtime::gEngine.blink = 3;
    for (auto _ : state) {
        runtime::gEngine.redraw = 1;
        runtime::EngineTick();
        runtime::EnginePaint();
        runtime::ValuesPending = 0;
    }
    state.counters["share_of_frame_pct"] = benchmark::Counter(
        0.001, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    runtime::ReadImageHook = nullptr;
}

}  // namespace

BENCHMARK(BM_TickAndPaintBusyPage)->Unit(benchmark::kNanosecond);
