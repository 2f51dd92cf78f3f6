// The download end to end: TComm on a pseudo-terminal, the simulated PLC with
// the panel behind its mailbox on the other end, the 500 ms reply timer (in
// some tests running ten times faster).
#include "DownloadHarness.h"
#include "SerialPort.h"
#include "SimPlcPty.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

using simplc::Fault;
using simplc::FaultRule;
using simplc::SimPanelMailbox;
using simplc::SimPlc;
using simplc::SimPlcPty;

namespace {

// The reply clock, running speedUp times faster than the engine asks.
class ScaledClock : public TDownloadClock {
public:
    ScaledClock(std::function<void()> onTimeout, int speedUp) : speedUp_(speedUp)
    {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, std::move(onTimeout));
    }
    void Start(int milliseconds) override { timer_.start(std::max(1, milliseconds / speedUp_)); }
    void Stop() override { timer_.stop(); }

private:
    QTimer timer_;
    int speedUp_;
};

struct PtyRig {
    SimPlc plc;
    SimPanelMailbox panel{plc};
    SimPlcPty line{plc};
    TComm comm;
    TCommDownloadPort port{comm};
    ScaledClock clock;
    RecordingView view;
    TDownload download{port, clock, view};

    explicit PtyRig(int speedUp = 1) : clock([this] { download.ReplyTimeout(); }, speedUp)
    {
        FillMailbox(plc);
        EXPECT_TRUE(line.Start());
        // The download dialog's port, its byte gap scaled with the clock.
        comm.SetCommName(QString::fromStdString(line.SlavePath()));
        SetDownloadLine(comm);
        comm.SetReadIntervalTimeout(std::max<uint32_t>(1, comm.ReadIntervalTimeout() / uint32_t(speedUp)));
        comm.OnReceiveData = [this](TComm *, const char *buffer, uint16_t length) {
            download.ReceiveBlock(buffer, length);
        };
        comm.OnRequestHangup = [this](TComm *) { download.PortLost(); };
    }

    // Runs a menu download to its end; false when it did not end in time.
    bool Run(const QByteArray &image, int timeoutMs = 20000)
    {
        comm.StartComm();
        if (!download.Start(TDownload::dmMenu, image, false))
            return false;
        // Every event is handled as it comes, without polling pauses.
        QEventLoop loop;
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        view.onStopped = [&loop] { loop.quit(); };
        if (download.Running())
            loop.exec();
        view.onStopped = nullptr;
        return !download.Running();
    }

    std::vector<uint16_t> Mailbox() const
    {
        return plc.Regs(TDownload::kMailboxRegister, TDownload::kMailboxWords);
    }

    // The frames the PLC received with this command ("": all of them).
    std::vector<std::string> Frames(const std::string &command) const
    {
        std::vector<std::string> out;
        for (const auto &r : plc.Requests())
            if (command.empty() || r.command == command)
                out.push_back(r.frame);
        return out;
    }
};

}  // namespace

TEST(DownloadPty, ImageArrivesByteIdenticalAndRegistersAreRestored)
{
    PtyRig rig;
    const QByteArray image = TestImage(1000);
    ASSERT_TRUE(rig.Run(image));
    EXPECT_EQ(rig.panel.Image(), Bytes(image));
    std::vector<uint16_t> numbers;
    for (uint16_t i = 0; i < 16; ++i)
        numbers.push_back(i);
    EXPECT_EQ(rig.panel.PacketNumbers(), numbers);
    EXPECT_EQ(rig.panel.Problem(), "");
    EXPECT_EQ(rig.Mailbox(), RestoredPattern());
    EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
    EXPECT_TRUE(rig.view.messages.empty());
    EXPECT_FALSE(rig.comm.IsOpen());
}

TEST(DownloadPty, OneCorruptedChecksumIsAnsweredWithTheSameFrame)
{
    PtyRig rig;
    FaultRule corrupt(Fault::CorruptChecksum, 1, "47");
    corrupt.skip = 3;
    rig.plc.AddFault(corrupt);
    const QByteArray image = TestImage(1000);
    ASSERT_TRUE(rig.Run(image));
    const auto writes = rig.Frames("47");
    ASSERT_GE(writes.size(), 5u);
    EXPECT_EQ(writes[3], writes[4]);
    EXPECT_EQ(rig.panel.Image(), Bytes(image));
    EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
}

TEST(DownloadPty, FailuresAfterTheMailboxChangedRestoreAndSayWhy)
{
    struct Case {
        Fault fault;
        int count;
        int skip;
        const char *message;
    };
    // Five corrupted checksums in a row use up a frame's tries; a write
    // refused with "2" is a NAK. (Time runs ten times faster.)
    for (const Case &c : {Case{Fault::CorruptChecksum, 5, 2, "Receive check sum error!!"},
                          Case{Fault::Error2, 1, 5, "Write NAK From PLC, Aborted !! "}}) {
        PtyRig rig(10);
        FaultRule rule(c.fault, c.count, "47");
        rule.skip = c.skip;
        rig.plc.AddFault(rule);
        ASSERT_TRUE(rig.Run(TestImage(1000)));
        ASSERT_EQ(rig.view.messages.size(), 1u) << c.message;
        EXPECT_EQ(rig.view.messages[0], QString::fromLatin1(c.message));
        EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("PLC restore finish !"));
        EXPECT_EQ(rig.Mailbox(), RestoredPattern()) << c.message;
        EXPECT_FALSE(rig.comm.IsOpen());
    }
}

TEST(DownloadPty, AbortDuringPacketsRestoresTheRegisters)
{
    PtyRig rig;
    rig.view.onStatus = [&](const QString &text) {
        if (text == QStringLiteral(" Write packets 5"))
            rig.download.Abort();
    };
    ASSERT_TRUE(rig.Run(TestImage(1000)));
    EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("PLC restore finish !"));
    EXPECT_EQ(rig.Mailbox(), RestoredPattern());
    EXPECT_FALSE(rig.panel.Finished());
}

TEST(DownloadPty, HangupMidDownloadEndsWithAMessage)
{
    PtyRig rig;
    FaultRule hang(Fault::HangUp, 1, "47");
    hang.skip = 6;
    rig.plc.AddFault(hang);
    ASSERT_TRUE(rig.Run(TestImage(1000), 5000));
    ASSERT_EQ(rig.view.messages.size(), 2u);
    EXPECT_EQ(rig.view.messages[0], QString::fromLatin1(TDownload::kPortLostText));
    EXPECT_EQ(rig.view.messages[1], QString::fromLatin1(TDownload::kNotRestoredText));
    EXPECT_FALSE(rig.comm.IsOpen());
}

TEST(DownloadPty, RepliesInPiecesOrAmongNoiseAreTakenWholeAtTheFirstTry)
{
    // The frames of an undisturbed run are the yardstick: a reply in two
    // pieces 100 ms apart (the save read's long one among them), or every
    // reply wrapped in bytes outside any frame, changes none of them.
    const QByteArray image = TestImage(1000);
    PtyRig clean;
    ASSERT_TRUE(clean.Run(image));
    for (const FaultRule &rule : {FaultRule(Fault::Split, 3, "46", 100), FaultRule(Fault::Noise, -1)}) {
        SCOPED_TRACE(int(rule.kind));
        PtyRig rig;
        rig.plc.AddFault(rule);
        const uint32_t timeouts = TDownload::TimeoutCount();
        ASSERT_TRUE(rig.Run(image));
        EXPECT_EQ(rig.Frames(""), clean.Frames(""));
        EXPECT_EQ(TDownload::TimeoutCount(), timeouts);
        EXPECT_EQ(rig.panel.Image(), Bytes(image));
        EXPECT_EQ(rig.Mailbox(), RestoredPattern());
        EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
    }
}

TEST(DownloadPty, ALateReplyIsNeverTakenForALaterFrame)
{
    // Time runs ten times faster: 50 ms reply time-outs, 10 ms answers. The
    // panel acknowledges a packet at the second poll after it; that poll's
    // reply (the acknowledgement) comes 75 ms late, after its time-out, while
    // the PLC goes on answering: the poll again, the next packet, its first
    // poll. Taken for that poll's reply, it would send the packet after that
    // (or the end mark) before the panel acknowledged the one before.
    for (const int packet : {1, 3}) {
        SCOPED_TRACE(packet);
        PtyRig rig(10);
        rig.panel.SetReadyAfterPolls(1);
        rig.panel.SetBusyPolls(2);
        rig.line.SetPacing(0, 10000);
        // "46" requests: the save read, the ready poll, then two polls per packet.
        FaultRule late(Fault::Late, 1, "46", 75);
        late.skip = 2 + 2 * packet + 1;
        rig.plc.AddFault(late);
        const QByteArray image = TestImage(5 * TDownload::kPacketBytes);
        ASSERT_TRUE(rig.Run(image, 10000));
        EXPECT_EQ(rig.panel.Problem(), "");
        EXPECT_EQ(rig.panel.Image(), Bytes(image));
        EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
        EXPECT_EQ(rig.Mailbox(), RestoredPattern());
    }
}

TEST(DownloadPty, NoisyRunsEndWholeOrWithAMessageAndAlwaysRestoreTheRegisters)
{
    // Seeded, and time runs ten times faster: 50 ms reply time-outs, answers
    // after 0 to 2 ms, some 1 to 20 ms slower; late replies come 51 to 70 ms
    // after their request, while the PLC goes on answering; splits, noise,
    // lost and corrupted replies, now and then a refused packet.
    constexpr int kSpeedUp = 10;
    std::mt19937 random(15);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    static const char *const kCommands[] = {"", "46", "46", "47"};
    int whole = 0;
    for (int run = 0; run < 200; ++run) {
        SCOPED_TRACE(run);
        PtyRig rig(kSpeedUp);
        rig.panel.SetReadyAfterPolls(pick(1, 3));
        rig.panel.SetBusyPolls(pick(2, 3));
        rig.line.SetPacing(0, 1000 * pick(0, 2));
        QByteArray image(pick(1, 320), '\0');
        if (pick(0, 19) == 0) {
            // A refused packet (the first rule: it counts every write); the
            // restore after it gets through.
            FaultRule nak(Fault::Error2, 1, "47");
            nak.skip = pick(0, int(image.size() - 1) / TDownload::kPacketBytes);
            rig.plc.AddFault(nak);
        }
        for (int rules = pick(1, 3); rules > 0; --rules) {
            FaultRule rule;
            switch (pick(0, 5)) {
            case 0:
            case 1: rule = FaultRule(Fault::Late, 1, kCommands[pick(0, 3)], 50 + pick(1, 20)); break;
            case 2: rule = FaultRule(Fault::Delay, pick(1, 4), "", pick(1, 20)); break;
            case 3: rule = FaultRule(Fault::Split, pick(1, 2), "", pick(1, 20)); break;
            case 4: rule = FaultRule(Fault::Noise, pick(1, 3)); break;
            default: rule = FaultRule(pick(0, 1) ? Fault::Drop : Fault::CorruptChecksum, 1); break;
            }
            rule.skip = pick(0, 20);
            rig.plc.AddFault(rule);
        }
        for (char &c : image)
            c = char(pick(0, 255));
        int asks = 0;
        rig.view.answer = [&] { return ++asks <= 3; };

        ASSERT_TRUE(rig.Run(image, 10000));
        EXPECT_EQ(rig.panel.Problem(), "");
        EXPECT_EQ(rig.Mailbox(), RestoredPattern());
        if (rig.view.messages.empty()) {
            EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
            EXPECT_EQ(rig.panel.Image(), Bytes(image));
            ++whole;
        } else {
            EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("PLC restore finish !"));
        }
    }
    EXPECT_GT(whole, 150);
}
