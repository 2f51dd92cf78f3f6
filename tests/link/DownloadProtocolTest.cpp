// The download engine against the simulated PLC and panel, in process: the
// frames it builds, the state machine, retries, abort, restore and the
// baud-rate detection.
#include "DownloadHarness.h"
#include "PlcFrame.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using simplc::Fault;
using simplc::FaultRule;
using simplc::SimPanelMailbox;
using simplc::SimPlc;

namespace {

struct Rig {
    SimPlc plc;
    SimPanelMailbox panel{plc};
    InProcessPort port{plc};
    ManualClock clock;
    RecordingView view;
    TDownload download{port, clock, view};

    Rig() { FillMailbox(plc); }
    bool Run(const QByteArray &data, uint16_t mode = TDownload::dmMenu, bool detect = false)
    {
        const bool started = download.Start(mode, data, detect);
        Pump(download, port, clock);
        return started;
    }
    std::vector<uint16_t> Mailbox() const
    {
        return plc.Regs(TDownload::kMailboxRegister, TDownload::kMailboxWords);
    }
};

QByteArray Text(const uint8_t *frame, uint16_t length)
{
    return QByteArray(reinterpret_cast<const char *>(frame), length);
}

// The hex words of a "47" frame from R03000.
std::vector<uint16_t> FrameWords(const QByteArray &frame)
{
    const int count = frame.mid(5, 2).toInt(nullptr, 16);
    std::vector<uint16_t> words;
    for (int i = 0; i < count; ++i)
        words.push_back(uint16_t(frame.mid(13 + 4 * i, 4).toUInt(nullptr, 16)));
    return words;
}

}  // namespace

TEST(DownloadFrames, MailboxReadFinishAndRestoreLayouts)
{
    Rig rig;
    const uint16_t read = rig.download.BuildMailboxRead(35);
    EXPECT_EQ(read, 16);
    // STX "01" "46" "23" "R03000", then the sum of those bytes (0x277 -> 77).
    EXPECT_EQ(Text(rig.download.Frame(), read),
              QByteArray("\x02"
                         "014623R0300077\x03"));

    const uint16_t finish = rig.download.BuildMailboxFinish();
    EXPECT_EQ(finish, 20);
    EXPECT_EQ(Text(rig.download.Frame(), finish).mid(1, 16), QByteArray("014701R030004649"));

    const uint16_t restore = rig.download.BuildMailboxWrite(1);
    EXPECT_EQ(restore, 156);
    const auto words = FrameWords(Text(rig.download.Frame(), restore));
    ASSERT_EQ(words.size(), 35u);
    EXPECT_EQ(words[0], 0);
    EXPECT_EQ(rig.download.BuildMailboxWrite(0), 0) << "no file bytes left";
}

TEST(DownloadFrames, PacketWordsForSmallFiles)
{
    struct Case {
        int size;
        std::vector<std::vector<uint16_t>> heads;  // words 0..2 of each packet
        size_t lastWords;
    };
    const Case cases[] = {
        {64, {{0x4441, 0, 0x6420}}, 35},
        {65, {{0x4441, 0, 0x6220}, {0x4441, 1, 0x6400}}, 4},
        {130, {{0x4441, 0, 0x3120}, {0x4441, 1, 0x6220}, {0x4441, 2, 0x6401}}, 4},
    };
    for (const auto &c : cases) {
        Rig rig;
        const QByteArray image = TestImage(c.size);
        ASSERT_TRUE(rig.Run(image));
        EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !")) << c.size;
        EXPECT_EQ(rig.panel.Image(), Bytes(image)) << c.size;
        EXPECT_EQ(rig.panel.Problem(), "") << c.size;

        std::vector<QByteArray> packets;
        for (const auto &f : rig.port.Sent("47"))
            if (FrameWords(f)[0] == 0x4441)
                packets.push_back(f);
        ASSERT_EQ(packets.size(), c.heads.size()) << c.size;
        for (size_t i = 0; i < packets.size(); ++i) {
            const auto words = FrameWords(packets[i]);
            EXPECT_EQ(std::vector<uint16_t>(words.begin(), words.begin() + 3), c.heads[i])
                << c.size << " packet " << i;
        }
        const auto last = FrameWords(packets.back());
        EXPECT_EQ(last.size(), c.lastWords) << c.size;
        if (c.size % 2 == 1) {  // the odd last byte sits in the low half, the high half is 0
            EXPECT_EQ(last.back(), uint8_t(image.back())) << c.size;
        }
        EXPECT_EQ(rig.view.progress.back(), 100);
    }
}

TEST(DownloadRun, ImageArrivesWholeAndTheRegistersAreRestored)
{
    Rig rig;
    rig.panel.SetReadyAfterPolls(4);
    rig.panel.SetBusyPolls(2);
    const QByteArray image = TestImage(1000);
    ASSERT_TRUE(rig.Run(image));

    EXPECT_EQ(rig.panel.Image(), Bytes(image));
    std::vector<uint16_t> numbers(16);
    for (uint16_t i = 0; i < 16; ++i)
        numbers[i] = i;
    EXPECT_EQ(rig.panel.PacketNumbers(), numbers);
    EXPECT_TRUE(rig.panel.Finished());
    EXPECT_EQ(rig.Mailbox(), RestoredPattern());
    EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
    EXPECT_TRUE(rig.view.messages.empty());
    EXPECT_EQ(rig.view.stops, 1);
    EXPECT_EQ(rig.port.stops, 1);

    const std::vector<QString> &texts = rig.view.status[0];
    const auto seen = [&](const char *t) {
        return std::find(texts.begin(), texts.end(), QString::fromLatin1(t)) != texts.end();
    };
    for (const char *t :
         {" Get Station Number..", "Save PLC Data..", "Wait MZEL Ready..", "Wait Erase Flash..",
          " Write packets 2", " Write packets 16", " Send Finish", "Restore PLC Data .."})
        EXPECT_TRUE(seen(t)) << t;
    EXPECT_FALSE(seen(" Write packets 17"));
}

TEST(DownloadRun, ModeSelectsTheReadyWord)
{
    {
        // A menu download does not take the firmware word; abort in state 3
        // stops at once and nothing is written.
        Rig rig;
        SimPanelMailbox modePanel(rig.plc, SimPanelMailbox::Mode::Firmware);
        rig.download.Start(TDownload::dmMenu, TestImage(100), false);
        Pump(rig.download, rig.port, rig.clock, 60);
        EXPECT_TRUE(rig.download.Running());
        EXPECT_EQ(rig.download.DownloadState(), 3);
        rig.download.Abort();
        EXPECT_FALSE(rig.download.Running());
        EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Communication Aborted"));
        EXPECT_TRUE(rig.port.Sent("47").empty());
        EXPECT_EQ(rig.Mailbox()[0], 0x5250);
    }
    {
        Rig rig;
        SimPanelMailbox modePanel(rig.plc, SimPanelMailbox::Mode::Menu);
        rig.download.Start(TDownload::dmFirmware, TestImage(100), false);
        Pump(rig.download, rig.port, rig.clock, 60);
        EXPECT_EQ(rig.download.DownloadState(), 3);
        rig.download.Abort();
    }
    {
        Rig rig;
        SimPanelMailbox modePanel(rig.plc, SimPanelMailbox::Mode::Firmware);
        const QByteArray image = TestImage(300);
        rig.Run(image, TDownload::dmFirmware);
        EXPECT_EQ(modePanel.Image(), Bytes(image));
        EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
    }
}

TEST(DownloadAbort, DuringPacketsRestoresAndFlagsAreClearedForTheNextStart)
{
    Rig rig;
    rig.view.onStatus = [&](const QString &text) {
        if (text == QStringLiteral(" Write packets 3"))
            rig.download.Abort();
    };
    rig.Run(TestImage(1000));
    EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("PLC restore finish !"));
    EXPECT_EQ(rig.Mailbox(), RestoredPattern());
    EXPECT_LT(rig.panel.PacketNumbers().size(), 16u);
    EXPECT_FALSE(rig.download.AbortRequested());
    EXPECT_TRUE(rig.view.messages.empty());

    // A new transfer runs through: no abort is left over.
    rig.view.onStatus = nullptr;
    FillMailbox(rig.plc);
    SimPanelMailbox again(rig.plc);
    const QByteArray image = TestImage(200);
    rig.Run(image);
    EXPECT_EQ(again.Image(), Bytes(image));
    EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
}

TEST(DownloadRetry, BadRepliesShareTheFiveTriesWithTimeouts)
{
    {
        // One corrupted checksum: the same frame again, and the transfer completes.
        Rig rig;
        rig.plc.AddFault(FaultRule(Fault::CorruptChecksum, 1, "47"));
        const QByteArray image = TestImage(1000);
        rig.Run(image);
        EXPECT_EQ(rig.panel.Image(), Bytes(image));
        const auto writes = rig.port.Sent("47");
        ASSERT_GE(writes.size(), 2u);
        EXPECT_EQ(writes[0], writes[1]);
        EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
    }
    {
        // Two bad replies and two time-outs use four tries; the fifth answer is taken.
        Rig rig;
        rig.plc.AddFault(FaultRule(Fault::Drop, 1, "46"));
        rig.plc.AddFault(FaultRule(Fault::Garbled, 1, "46"));
        rig.plc.AddFault(FaultRule(Fault::Drop, 1, "46"));
        rig.plc.AddFault(FaultRule(Fault::ShortBlock, 1, "46"));
        rig.Run(TestImage(100));
        EXPECT_EQ(rig.view.asks, 0);
        EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
    }
    {
        // Replies cut in two are gathered whole.
        Rig rig;
        rig.plc.AddFault(FaultRule(Fault::Split, 3, "46"));
        rig.Run(TestImage(100));
        EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
    }
    {
        // Five in a row: the transfer gives up, after putting the registers back.
        Rig rig;
        rig.plc.AddFault(FaultRule(Fault::CorruptChecksum, 5, "47"));
        rig.Run(TestImage(1000));
        ASSERT_EQ(rig.view.messages.size(), 1u);
        EXPECT_EQ(rig.view.messages[0], QStringLiteral("Receive check sum error!!"));
        EXPECT_EQ(rig.Mailbox(), RestoredPattern());
        EXPECT_FALSE(rig.download.Running());
    }
    {
        // Before the mailbox was touched there is nothing to restore.
        Rig rig;
        rig.plc.AddFault(FaultRule(Fault::CorruptChecksum, 5, "46"));
        rig.Run(TestImage(1000));
        ASSERT_EQ(rig.view.messages.size(), 1u);
        EXPECT_EQ(rig.view.messages[0], QStringLiteral("Receive check sum error!!"));
        EXPECT_TRUE(rig.port.Sent("47").empty());
        EXPECT_EQ(rig.Mailbox(), MailboxPattern());
    }
}

TEST(DownloadRetry, AfterATimeOutNothingGoesOutBeforeTheLineIsQuiet)
{
    Rig rig;
    rig.plc.AddFault(FaultRule(Fault::Drop, 1, "47"));  // the first packet's acknowledgement
    const QByteArray image = TestImage(100);
    rig.download.Start(TDownload::dmMenu, image, false);
    Pump(rig.download, rig.port, rig.clock, 4);  // the station, save, ready replies
    ASSERT_EQ(rig.download.DownloadState(), 4);
    ASSERT_TRUE(rig.port.inbox.empty());
    const auto sent = rig.port.sent.size();

    rig.download.ReplyTimeout();
    EXPECT_TRUE(rig.download.Settling());
    EXPECT_EQ(rig.clock.ms, TDownload::kSettleMs);
    // The acknowledgement comes late, well-formed: dropped, and the wait
    // starts again. So does it for any noise, up to the limit, which counts
    // as one more time-out.
    uint8_t ack[16] = {0x02, '0', '1', '4', '7', '0'};
    rig.download.ReceiveBlock(reinterpret_cast<const char *>(ack), runtime::FinishFrame(ack, 6));
    const uint32_t timeouts = TDownload::TimeoutCount();
    for (int i = 2; i < TDownload::kSettleBlockLimit; ++i)
        rig.download.ReceiveBlock("#", 1);
    EXPECT_EQ(TDownload::TimeoutCount(), timeouts);
    rig.download.ReceiveBlock("#", 1);
    EXPECT_EQ(TDownload::TimeoutCount(), timeouts + 1);
    EXPECT_TRUE(rig.download.Settling());
    EXPECT_EQ(rig.port.sent.size(), sent);
    EXPECT_EQ(rig.download.DownloadState(), 4);

    // Quiet at last: the packet goes out again.
    rig.clock.running = false;
    rig.download.ReplyTimeout();
    ASSERT_EQ(rig.port.sent.size(), sent + 1);
    EXPECT_EQ(rig.port.sent.back(), rig.port.sent[sent - 1]);
    Pump(rig.download, rig.port, rig.clock);
    EXPECT_EQ(rig.panel.Image(), Bytes(image));
    EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
}

TEST(DownloadRetry, StaleAndOversizedBlocksAreNeverTaken)
{
    Rig rig;
    // The save read gets the previous (station) reply again, then garbled
    // digits: neither may end up in the saved registers.
    rig.plc.AddFault(FaultRule(Fault::Stale, 1, "46"));
    rig.plc.AddFault(FaultRule(Fault::Garbled, 1, "46"));
    rig.download.Start(TDownload::dmMenu, TestImage(500), false);
    // A frame larger than the reply buffer counts as a bad reply.
    std::vector<char> huge(TDownload::kReplySize + 1, '0');
    huge.front() = 0x02;
    huge.back() = 0x03;
    rig.download.ReceiveBlock(huge.data(), uint16_t(huge.size()));
    Pump(rig.download, rig.port, rig.clock);
    EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
    EXPECT_EQ(rig.Mailbox(), RestoredPattern());
}

TEST(DownloadRetry, AReplyOfTheWrongLengthIsNotSaved)
{
    Rig rig;
    // A first transfer leaves the digits of its 35-word read in the reply buffer.
    rig.Run(TestImage(10));
    std::vector<uint16_t> second;
    for (uint16_t i = 0; i < TDownload::kMailboxWords; ++i) {
        second.push_back(uint16_t(0x7000 + i));
        rig.plc.SetReg(uint16_t(TDownload::kMailboxRegister + i), second.back());
    }
    second[0] = 0;
    SimPanelMailbox again(rig.plc);
    rig.download.Start(TDownload::dmMenu, TestImage(100), false);
    Pump(rig.download, rig.port, rig.clock, 1);
    ASSERT_EQ(rig.download.DownloadState(), 2);
    // A well-formed "46" reply, but of one word where 35 were asked for.
    rig.port.inbox.clear();
    uint8_t reply[16] = {0x02, '0', '1', '4', '6', '0', '5', '2', '4', '5'};
    const uint16_t length = runtime::FinishFrame(reply, 10);
    rig.download.ReceiveBlock(reinterpret_cast<const char *>(reply), length);
    Pump(rig.download, rig.port, rig.clock);
    EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
    EXPECT_EQ(rig.Mailbox(), second);
}

TEST(DownloadRetry, TheRetryQuestion)
{
    {
        // Yes gives the frame five more tries; blocks arriving while the
        // question is open are not taken.
        Rig rig;
        rig.plc.AddFault(FaultRule(Fault::Drop, 5, "47"));
        // A well-formed acknowledgement of the packet, arriving too late.
        uint8_t ack[16] = {0x02, '0', '1', '4', '7', '0'};
        const uint16_t ackLength = runtime::FinishFrame(ack, 6);
        rig.view.answer = [&] {
            rig.download.ReceiveBlock(reinterpret_cast<const char *>(ack), ackLength);
            EXPECT_EQ(rig.download.DownloadState(), 4);
            return true;
        };
        const uint32_t before = TDownload::TimeoutCount();
        const QByteArray image = TestImage(300);
        rig.Run(image);
        EXPECT_EQ(rig.view.asks, 1);
        EXPECT_EQ(TDownload::TimeoutCount() - before, 5u);
        EXPECT_EQ(rig.view.status[1].back(), QStringLiteral("4"));
        EXPECT_EQ(rig.panel.Image(), Bytes(image));
        EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("Download finished !"));
    }
    {
        // No during the packets: the registers are still put back.
        Rig rig;
        rig.plc.AddFault(FaultRule(Fault::Drop, 5, "47"));
        rig.view.answer = [] { return false; };
        rig.Run(TestImage(300));
        EXPECT_EQ(rig.view.asks, 1);
        EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("PLC restore finish !"));
        EXPECT_EQ(rig.Mailbox(), RestoredPattern());
        EXPECT_TRUE(rig.view.messages.empty());
    }
    {
        // The PLC stops answering for good: No twice, and the user is told
        // that the registers were not restored.
        Rig rig;
        rig.plc.AddFault(FaultRule(Fault::Drop, -1, "47"));
        rig.Run(TestImage(300));
        EXPECT_EQ(rig.view.asks, 2);
        ASSERT_EQ(rig.view.messages.size(), 1u);
        EXPECT_EQ(rig.view.messages[0], QString::fromLatin1(TDownload::kNotRestoredText));
        EXPECT_FALSE(rig.download.Running());
    }
}

TEST(DownloadNak, RefusedWritesStopAndRestore)
{
    {
        Rig rig;
        rig.plc.AddFault(FaultRule(Fault::Error2, 1, "47"));
        rig.Run(TestImage(1000));
        ASSERT_EQ(rig.view.messages.size(), 1u);
        EXPECT_EQ(rig.view.messages[0], QStringLiteral("Write NAK From PLC, Aborted !! "));
        EXPECT_EQ(rig.view.LastStatus(), QStringLiteral("PLC restore finish !"));
        EXPECT_EQ(rig.Mailbox(), RestoredPattern());
    }
    {
        // The restore itself refused: both said.
        Rig rig;
        rig.plc.AddFault(FaultRule(Fault::Error2, -1, "47"));
        rig.Run(TestImage(1000));
        ASSERT_EQ(rig.view.messages.size(), 3u);
        EXPECT_EQ(rig.view.messages[0], QStringLiteral("Write NAK From PLC, Aborted !! "));
        EXPECT_EQ(rig.view.messages[1], QStringLiteral("Write NAK From PLC, Aborted !! "));
        EXPECT_EQ(rig.view.messages[2], QString::fromLatin1(TDownload::kNotRestoredText));
    }
}

TEST(DownloadPort, LostPortStopsAndSaysTheRegistersStayChanged)
{
    Rig rig;
    FaultRule hang(Fault::HangUp, 1, "47");
    hang.skip = 4;
    rig.plc.AddFault(hang);
    rig.Run(TestImage(1000));
    EXPECT_FALSE(rig.download.Running());
    ASSERT_EQ(rig.view.messages.size(), 2u);
    EXPECT_EQ(rig.view.messages[0], QString::fromLatin1(TDownload::kPortLostText));
    EXPECT_EQ(rig.view.messages[1], QString::fromLatin1(TDownload::kNotRestoredText));
    EXPECT_EQ(rig.port.stops, 1);
}

TEST(DownloadDetect, FindsTheRateOrGivesUp)
{
    {
        Rig rig;
        rig.port.plcRate = 38400;
        rig.port.noiseAtWrongRate = true;
        const QByteArray image = TestImage(200);
        rig.Run(image, TDownload::dmMenu, true);
        ASSERT_EQ(rig.view.detected.size(), 1u);
        EXPECT_EQ(rig.view.detected[0], 38400u);
        EXPECT_EQ(rig.panel.Image(), Bytes(image));
        EXPECT_EQ(rig.view.status[2].back(), QString());
        EXPECT_EQ(
            std::count(rig.view.status[2].begin(), rig.view.status[2].end(), QStringLiteral("Try 38400")), 1);
    }
    {
        // Port set-up ends at the first answer.
        Rig rig;
        rig.port.plcRate = 9600;
        rig.Run(QByteArray(), TDownload::dmPortSetup, true);
        ASSERT_EQ(rig.view.detected.size(), 1u);
        EXPECT_EQ(rig.view.detected[0], 9600u);
        EXPECT_FALSE(rig.download.Detecting());
        EXPECT_TRUE(rig.port.Sent("46").empty());
    }
    {
        Rig rig;
        rig.port.plcRate = 4800;
        rig.Run(TestImage(10), TDownload::dmMenu, true);
        ASSERT_EQ(rig.view.messages.size(), 1u);
        EXPECT_EQ(rig.view.messages[0], QStringLiteral("Baud rate detect fail!!"));
        EXPECT_EQ(rig.port.Sent("15").size(), 10u);
        EXPECT_FALSE(rig.download.Detecting());
    }
}

TEST(DownloadFile, RefusedBeforeThePortOpens)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray data;
    QString error;
    EXPECT_FALSE(TDownload::ReadDownloadFile(dir.filePath("missing.mda"), data, error));
    EXPECT_FALSE(error.isEmpty());

    const auto write = [&](const char *name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    EXPECT_FALSE(TDownload::ReadDownloadFile(write("empty.mda", {}), data, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("The file is empty")));
    EXPECT_FALSE(TDownload::ReadDownloadFile(write("big.mda", QByteArray(TDownload::kMaxFileSize + 1, 'x')),
                                             data, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("The file is larger")));
    EXPECT_TRUE(
        TDownload::ReadDownloadFile(write("max.mda", QByteArray(TDownload::kMaxFileSize, 'x')), data, error));
    EXPECT_EQ(data.size(), TDownload::kMaxFileSize);

    Rig rig;
    EXPECT_FALSE(rig.download.Start(TDownload::dmMenu, QByteArray(), false));
    EXPECT_TRUE(rig.port.sent.empty());
}

TEST(DownloadFirmware, HeaderCheck)
{
    // N = 1024, identification at 8, the word at 2 makes the sum 0.
    QByteArray good(1100, '\0');
    good[0] = char(0x00);
    good[1] = char(0x04);
    const QByteArray id("ZEL OS 1.2");
    good.replace(8, id.size(), id);
    for (int i = 100; i < 1024; ++i)
        good[i] = char(i * 7);
    uint16_t sum = 0x00 + 0x04;
    for (int i = 4; i < 1024; ++i)
        sum = uint16_t(sum + uint8_t(good[i]));
    const uint16_t fix = uint16_t(-sum);
    good[2] = char(fix & 0xFF);
    good[3] = char(fix >> 8);
    EXPECT_TRUE(TDownload::CheckFirmwareHeader(good));
    EXPECT_EQ(TDownload::FirmwareIdentification(good), QStringLiteral("ZEL OS 1.2"));

    QByteArray corrupt = good;
    corrupt[500] = char(corrupt[500] + 1);
    EXPECT_FALSE(TDownload::CheckFirmwareHeader(corrupt));
    // Bytes beyond N do not count.
    QByteArray tail = good;
    tail[1050] = char(0x55);
    EXPECT_TRUE(TDownload::CheckFirmwareHeader(tail));

    EXPECT_FALSE(TDownload::CheckFirmwareHeader(good.left(1000))) << "N beyond the file";
    EXPECT_FALSE(TDownload::CheckFirmwareHeader(QByteArray(1, '\x04')));
    EXPECT_FALSE(TDownload::CheckFirmwareHeader(QByteArray()));

    // N = 1000 fails even when the sum is 0.
    QByteArray small(1000, '\0');
    small[0] = char(0xE8);
    small[1] = char(0x03);
    const uint16_t smallFix = uint16_t(-(0xE8 + 0x03));
    small[2] = char(smallFix & 0xFF);
    small[3] = char(smallFix >> 8);
    EXPECT_FALSE(TDownload::CheckFirmwareHeader(small));
}
