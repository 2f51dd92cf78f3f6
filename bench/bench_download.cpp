// A 128 KiB image downloaded over a pseudo-terminal to the simulated PLC, which
// answers at once, with the panel behind its mailbox acknowledging at once.
//
// Reported: the wall time of the whole download (manual time), the frames
// sent, the blocks received, and the share of the time spent waiting for the
// byte-gap time-out. Every received block is handed on only after the line
// has been quiet for the read interval, so each block costs exactly that
// wait on top of the line and the PLC; gap_wait_s is blocks x interval and
// gap_share its part of the total.
#include "Download.h"
#include "Serialcomm.h"
#include "SimPanelMailbox.h"
#include "SimPlc.h"
#include "SimPlcPty.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

namespace {

class QuietView : public TDownloadView {
public:
    void ShowStatus(int, const QString &) override { }
    void ShowProgress(int) override { }
    void ShowMessage(const QString &text) override { failed = text; }
    bool AskRetry() override { return false; }
    void BaudRateDetected(uint32_t) override { }
    void TransferStopped() override { }
    QString failed;
};

void BM_Download128KiBOverPty(benchmark::State &state)
{
    const auto interval = static_cast<uint32_t>(state.range(0));
    QByteArray image(128 * 1024, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 131 + 7) & 0xFF);

    uint64_t frames = 0, blocks = 0;
    double seconds = 0;
    for (auto _ : state) {
        simplc::SimPlc plc;
        simplc::SimPanelMailbox panel(plc);
        panel.SetReadyAfterPolls(1);
        simplc::SimPlcPty line(plc);
        if (!line.Start()) {
            state.SkipWithError("no pseudo-terminal");
            return;
        }
        TComm comm;
        comm.SetCommName(QString::fromStdString(line.SlavePath()));
        comm.SetLineState(PlcLineState());
        comm.SetReadIntervalTimeout(interval);
        TCommDownloadPort port(comm);
        QuietView view;
        TDownload *download = nullptr;
        TTimerDownloadClock clock([&] { download->ReplyTimeout(); });
        TDownload engine(port, clock, view);
        download = &engine;
        uint64_t received = 0;
        comm.OnReceiveData = [&](TComm *, const char *buffer, uint16_t length) {
            ++received;
            engine.ReceiveBlock(buffer, length);
        };
        comm.OnRequestHangup = [&](TComm *) { engine.PortLost(); };

        QElapsedTimer elapsed;
        elapsed.start();
        comm.StartComm();
        engine.Start(TDownload::dmMenu, image, false);
        while (engine.Running())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        seconds += elapsed.nsecsElapsed() / 1e9;
        state.SetIterationTime(elapsed.nsecsElapsed() / 1e9);

        if (!view.failed.isEmpty() || panel.Image() != std::vector<uint8_t>(image.begin(), image.end())) {
            state.SkipWithError("the download did not complete");
            return;
        }
        frames += plc.RequestCount();
        blocks += received;
    }
    const double gapWait = blocks * interval / 1000.0;
    state.counters["frames"] = double(frames);
    state.counters["blocks"] = double(blocks);
    state.counters["ms_per_frame"] = frames ? seconds * 1000.0 / frames : 0;
    state.counters["gap_wait_s"] = gapWait;
    state.counters["gap_share"] = seconds > 0 ? gapWait / seconds : 0;
    state.SetBytesProcessed(int64_t(state.iterations()) * image.size());
}
// 30 ms is the download dialog's read interval, 10 ms the simulator windows'.
BENCHMARK(BM_Download128KiBOverPty)
    ->Arg(30)
    ->Arg(10)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
