// The simulator windows on a busy page of each model: ten action rows with
// captions wider than the display (the selected one scrolling), compiled with
// the real output font, run offline in the window of its model.
//
// - BM_SimulatorFrame: one 100 ms frame of the window: its runtime tick (key
//   machine and engine tick) and its paint (the engine redraws the whole page,
//   flushes it, and the window renders the framebuffer into its display).
// - BM_SimulatorRender: the render of the framebuffer into the display alone.
// - BM_SimulatorRepaint: Qt's repaint of the display widget, the frame
//   stretched onto the window.
// share_of_frame_pct is the time of one iteration as a percentage of the 100 ms
// frame (printed with an "s" after it: "0.2s" is 0.2 %); the aim is below 1 %.
//
// BM_KeyToPixel: ticks from a click on a key image until the display shows
// its effect (key_to_pixel_ticks); the tick runs before the paint in each
// frame, so a press shows at the next paint: 1.
#include "PanelLcdDriver.h"
#include "PanelRuntimeState.h"
#include "ProjectBuilder.h"
#include "simulator/SimulatorWindow.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

QByteArray BusyImage(int model)
{
    TestProject project = NewTestProject(model);
    for (int i = 0; i < 10; ++i)
        AddAction(project.MainMenu, QStringLiteral("Pump station %1 main circuit valve").arg(i),
                  i == 0 ? 0 : 1, QStringLiteral("M%1").arg(i),
                  {{"StringOff", QStringLiteral("Pump station %1 stopped").arg(i)}});
    TwGlyphRaster font(QStringLiteral("Tahoma"), 9);
    return CompileTestImage(project.Root.get(), font, uint32_t(model));
}

// The window of the model running the busy page, shown; null after an error.
TFormSimulation *StartBusy(benchmark::State &state)
{
    const int model = int(state.range(0));
    const QByteArray image = BusyImage(model);
    TFormSimulation *window = SimulationForm(uint8_t(model));
    if (image.isEmpty()
        || !window->StartSimulation(reinterpret_cast<const uint8_t *>(image.constData()),
                                    uint32_t(image.size()), false)) {
        state.SkipWithError("the busy page does not run");
        return nullptr;
    }
    window->show();
    for (int i = 0; i < 3; ++i) {
        window->tmTickTimer();
        window->tmPaintTimer();
    }
    QCoreApplication::processEvents();
    return window;
}

void ShareOfFrame(benchmark::State &state, TFormSimulation *window)
{
    // Seconds an iteration over 0.001 s: the percentage of a 100 ms frame.
    state.counters["share_of_frame_pct"] = benchmark::Counter(
        0.001, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    window->close();
}

void BM_SimulatorFrame(benchmark::State &state)
{
    TFormSimulation *window = StartBusy(state);
    if (!window)
        return;
    for (auto _ : state) {
        runtime::gEngine.redraw = 1;
        window->tmTickTimer();
        window->tmPaintTimer();
    }
    ShareOfFrame(state, window);
}

void BM_SimulatorRender(benchmark::State &state)
{
    TFormSimulation *window = StartBusy(state);
    if (!window)
        return;
    for (auto _ : state)
        window->SimRenderFrame(CurrentModel.FrameBuffer, CurrentModel.FrameBytes);
    ShareOfFrame(state, window);
}

void BM_SimulatorRepaint(benchmark::State &state)
{
    TFormSimulation *window = StartBusy(state);
    if (!window)
        return;
    for (auto _ : state)
        window->imgImage->repaint();
    ShareOfFrame(state, window);
}

void BM_KeyToPixel(benchmark::State &state)
{
    TFormSimulation *window = StartBusy(state);
    if (!window)
        return;
    TSimKeyImage *down = window->KeyImages.last();
    int64_t ticks = 0;
    for (auto _ : state) {
        const QImage before = window->imgImage->Picture().copy();
        window->btnMouseDown(down);
        window->btnMouseUp(down);
        int waited = 0;
        do {
            window->tmTickTimer();
            ++waited;
            window->tmPaintTimer();
        } while (window->imgImage->Picture() == before && waited < 10);
        ticks += waited;
        // Back to the first row, the key machine idle again.
        for (int i = 0; i < 12; ++i)
            window->tmTickTimer();
        runtime::gEngine.selected[0] = 0;
        runtime::gEngine.firstVisible[0] = 0;
        runtime::gEngine.redraw = 1;
        window->tmPaintTimer();
    }
    state.counters["key_to_pixel_ticks"] = double(ticks) / double(state.iterations());
    window->close();
}

}  // namespace

BENCHMARK(BM_SimulatorFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SimulatorRender)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SimulatorRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyToPixel)->Arg(0)->Arg(1)->Iterations(50)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    DestroySimulationForms();
    return 0;
}
