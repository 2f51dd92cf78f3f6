// The download end to end: TComm on a pseudo-terminal, the simulated PLC with
// the panel behind its mailbox on the other end, a real 500 ms reply timer.
#include "DownloadHarness.h"
#include "Serialcomm.h"
#include "SimPlcPty.h"

#include <QTest>
#include <gtest/gtest.h>

using simplc::Fault;
using simplc::FaultRule;
using simplc::SimPanelMailbox;
using simplc::SimPlc;
using simplc::SimPlcPty;

namespace {

struct PtyRig {
    SimPlc plc;
    SimPanelMailbox panel{plc};
    SimPlcPty line{plc};
    TComm comm;
    TCommDownloadPort port{comm};
    TTimerDownloadClock clock{[this] { download.ReplyTimeout(); }};
    RecordingView view;
    TDownload download{port, clock, view};

    PtyRig()
    {
        FillMailbox(plc);
        EXPECT_TRUE(line.Start());
        // The download dialog's port: 7 data bits, even parity, 30 ms byte gap.
        comm.SetCommName(QString::fromStdString(line.SlavePath()));
        comm.SetLineState(PlcLineState());
        comm.SetReadIntervalTimeout(30);
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
        return QTest::qWaitFor([this] { return !download.Running(); }, timeoutMs);
    }

    std::vector<uint16_t> Mailbox() const
    {
        return plc.Regs(TDownload::kMailboxRegister, TDownload::kMailboxWords);
    }

    std::vector<std::string> Frames(const std::string &command) const
    {
        std::vector<std::string> out;
        for (const auto &r : plc.Requests())
            if (r.command == command)
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
    // refused with "2" is a NAK.
    for (const Case &c : {Case{Fault::CorruptChecksum, 5, 2, "Receive check sum error!!"},
                          Case{Fault::Error2, 1, 5, "Write NAK From PLC, Aborted !! "}}) {
        PtyRig rig;
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
