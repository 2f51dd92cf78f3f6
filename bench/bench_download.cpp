// A menu image downloaded over a pseudo-terminal to the simulated PLC, which
// paces the line: a reply goes out only when its request and the reply itself
// would have crossed a real line at the baud rate (10 bits a character), 2 ms
// after the request arrived. The panel behind the mailbox acknowledges at once.
//
// Reported: the wall time of the whole download (manual time), the line time of
// every byte that crossed it (line_s), their ratio (the target is at most 1.3),
// and the frames sent.
#include "DownloadProtocol.h"
#include "SerialPort.h"
#include "SimPanelMailbox.h"
#include "SimPlc.h"
#include "SimPlcPty.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <benchmark/benchmark.h>

namespace {

constexpr int kAnswerMicros = 2000;

class QuietView : public TDownloadView {
public:
    void ShowStatus(int, const QString &) override { }
    void ShowProgress(int) override { }
    void ShowMessage(const QString &text) override { failed = text; }
    bool AskRetry() override { return false; }
    void BaudRateDetected(uint32_t) override { }
    void TransferStopped() override { loop.quit(); }
    QString failed;
    QEventLoop loop;
};

void BM_DownloadOverPacedLine(benchmark::State &state)
{
    const auto baud = static_cast<uint32_t>(state.range(0));
    QByteArray image(int(state.range(1)) * 1024, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 131 + 7) & 0xFF);

    uint64_t frames = 0;
    double seconds = 0, lineSeconds = 0;
    for (auto _ : state) {
        simplc::SimPlc plc;
        simplc::SimPanelMailbox panel(plc);
        panel.SetReadyAfterPolls(1);
        simplc::SimPlcPty line(plc);
        line.SetPacing(baud, kAnswerMicros);
        if (!line.Start()) {
            state.SkipWithError("no pseudo-terminal");
            return;
        }
        // The download dialog's port.
        TComm comm;
        comm.SetCommName(QString::fromStdString(line.SlavePath()));
        SetDownloadLine(comm);
        comm.SetBaudRate(baud);
        TCommDownloadPort port(comm);
        QuietView view;
        TDownload *download = nullptr;
        TTimerDownloadClock clock([&] { download->ReplyTimeout(); });
        TDownload engine(port, clock, view);
        download = &engine;
        comm.OnReceiveData = [&](TComm *, const char *buffer, uint16_t length) {
            engine.ReceiveBlock(buffer, length);
        };
        comm.OnRequestHangup = [&](TComm *) { engine.PortLost(); };

        QElapsedTimer elapsed;
        elapsed.start();
        comm.StartComm();
        engine.Start(TDownload::dmMenu, image, false);
        if (engine.Running())
            view.loop.exec();
        const double took = elapsed.nsecsElapsed() / 1e9;
        seconds += took;
        state.SetIterationTime(took);

        if (!view.failed.isEmpty() || panel.Image() != std::vector<uint8_t>(image.begin(), image.end())) {
            state.SkipWithError("the download did not complete");
            return;
        }
        frames += plc.RequestCount();
        lineSeconds += double(line.BytesReceived() + line.BytesSent()) * 10 / baud;
    }
    state.counters["frames"] = double(frames);
    state.counters["line_s"] = lineSeconds;
    state.counters["ratio"] = lineSeconds > 0 ? seconds / lineSeconds : 0;
    state.SetBytesProcessed(int64_t(state.iterations()) * image.size());
}
// Baud rate, image size in KiB.
BENCHMARK(BM_DownloadOverPacedLine)
    ->Args({115200, 128})
    ->Args({9600, 16})
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
