// The serial component over a pseudo-terminal: opening, the settings seam,
// block boundaries, input filtering, hang-up and stop.
#include "SerialPort.h"
#include "DownloadProtocol.h"
#include "LinkPty.h"
#include "SerialPortPosix.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// The POSIX backend with a record of every setting it was asked to apply.
class RecordingBackend : public TPosixCommBackend {
public:
    struct Log {
        std::vector<TCommLineState> lines;
        std::vector<TCommTimeouts> timeouts;
    };
    explicit RecordingBackend(Log &log) : log_(log) { }
    bool ApplyLineState(const TCommLineState &state) override
    {
        log_.lines.push_back(state);
        return TPosixCommBackend::ApplyLineState(state);
    }
    bool ApplyTimeouts(const TCommTimeouts &timeouts) override
    {
        log_.timeouts.push_back(timeouts);
        return TPosixCommBackend::ApplyTimeouts(timeouts);
    }

private:
    Log &log_;
};

// The PLC's line, as the download dialog sets it.
void SetPanelLine(TComm &comm, const QString &port, uint32_t interval = 30)
{
    comm.SetCommName(port);
    comm.SetLineState(PlcLineState());
    comm.SetReadIntervalTimeout(interval);
}

struct Received {
    std::vector<QByteArray> blocks;
    bool offThread = false;
    QByteArray All() const
    {
        QByteArray all;
        for (const auto &b : blocks)
            all += b;
        return all;
    }
};

void Collect(TComm &comm, Received &into)
{
    comm.OnReceiveData = [&into](TComm *, const char *buffer, uint16_t length) {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            into.offThread = true;
        EXPECT_EQ(buffer[length], '\0');
        into.blocks.emplace_back(buffer, length);
    };
}

std::string StartError(TComm &comm)
{
    try {
        comm.StartComm();
    } catch (const ECommsError &e) {
        return e.what();
    }
    return {};
}

// A component on the slave end of a fresh pseudo-terminal, collecting blocks.
class SerialcommData : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.Ok());
        SetPanelLine(comm, pty.SlaveName());
        Collect(comm, got);
    }
    LinkPty pty;
    TComm comm;
    Received got;
};

}  // namespace

TEST(SerialcommStart, ErrorsLeaveThePortClosed)
{
    LinkPty pty;
    ASSERT_TRUE(pty.Ok());
    TComm comm;
    comm.SetCommName(QStringLiteral("/dev/zel-no-such-port"));
    EXPECT_EQ(StartError(comm), "Error opening serial port");
    EXPECT_FALSE(comm.IsOpen());

    comm.SetCommName(QStringLiteral("/dev/null"));
    EXPECT_EQ(StartError(comm), "File handle is not a comm handle ");
    EXPECT_FALSE(comm.IsOpen());

    SetPanelLine(comm, pty.SlaveName());
    comm.StartComm();
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_EQ(StartError(comm), "This serial port already opened");
    EXPECT_TRUE(comm.IsOpen());

    // Not shared: a second component cannot open the same port.
    TComm other;
    SetPanelLine(other, pty.SlaveName());
    EXPECT_EQ(StartError(other), "Error opening serial port");
    EXPECT_FALSE(other.IsOpen());

    comm.StopComm();
    EXPECT_FALSE(comm.IsOpen());
    comm.StopComm();  // nothing when closed
    EXPECT_EQ(StartError(other), "");
    other.StopComm();
}

TEST(SerialcommStart, DestructorStopsThePort)
{
    LinkPty pty;
    ASSERT_TRUE(pty.Ok());
    {
        TComm comm;
        SetPanelLine(comm, pty.SlaveName());
        comm.StartComm();
        ASSERT_TRUE(comm.WriteCommData("abc", 3));
    }
    TComm again;
    SetPanelLine(again, pty.SlaveName());
    EXPECT_EQ(StartError(again), "");
}

TEST(SerialcommSettings, AppliedAtStartAndAtOnceOnAnOpenPort)
{
    LinkPty pty;
    ASSERT_TRUE(pty.Ok());
    RecordingBackend::Log log;
    TComm comm(nullptr, std::make_unique<RecordingBackend>(log));
    SetPanelLine(comm, pty.SlaveName(), 10);
    EXPECT_TRUE(log.lines.empty()) << "nothing is applied to a closed port";

    comm.StartComm();
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].ByteSize, TByteSize::_7);
    EXPECT_EQ(log.lines[0].Parity, TParity::Even);
    EXPECT_EQ(log.lines[0].StopBits, TStopBits::_1);
    EXPECT_TRUE(log.lines[0].ParityCheck);
    EXPECT_EQ(log.lines[0].DtrControl, DtrDisable);
    EXPECT_EQ(log.lines[0].RtsControl, RtsDisable);
    ASSERT_EQ(log.timeouts.size(), 1u);
    EXPECT_EQ(log.timeouts[0].ReadIntervalTimeout, 10u);

    comm.SetBaudRate(115200);
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[1].BaudRate, 115200u);
    comm.SetBaudRate(115200);  // unchanged: not applied again
    EXPECT_EQ(log.lines.size(), 2u);
    comm.SetReadIntervalTimeout(30);
    ASSERT_EQ(log.timeouts.size(), 2u);
    EXPECT_EQ(log.timeouts[1].ReadIntervalTimeout, 30u);

    auto &backend = static_cast<TPosixCommBackend &>(comm.Backend());
    EXPECT_TRUE(backend.IsPseudoTerminal());
    comm.StopComm();
    comm.SetParity(TParity::Odd);
    EXPECT_EQ(log.lines.size(), 2u);
}

// A rate the port does not take is the component's error, at the start (the
// port stays closed) and on an open port (it stays open at its old rate); the
// 7-bit framing a pseudo-terminal cannot carry stays tolerated.
TEST(SerialcommSettings, ARefusedSettingIsAnError)
{
    LinkPty pty;
    ASSERT_TRUE(pty.Ok());
    TComm comm;
    SetPanelLine(comm, pty.SlaveName());
    comm.SetBaudRate(12345);
    EXPECT_EQ(
        StartError(comm),
        "Cannot setup comm state: the port does not take 12345 baud, 7 data bits, even parity, 1 stop bit");
    EXPECT_FALSE(comm.IsOpen());

    comm.SetBaudRate(9600);
    EXPECT_EQ(StartError(comm), "");
    EXPECT_THROW(comm.SetBaudRate(12345), ECommsError);
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_NO_THROW(comm.SetBaudRate(115200));
    comm.StopComm();
}

TEST_F(SerialcommData, WritesReachTheLineAndRepliesComeBackOnTheGuiThread)
{
    int emptyEvents = 0;
    comm.OnSendDataEmpty = [&](TComm *) { ++emptyEvents; };

    EXPECT_FALSE(comm.WriteCommData("x", 1)) << "closed port";
    comm.StartComm();
    EXPECT_FALSE(comm.WriteCommData("x", 0)) << "nothing to write";
    const QByteArray frame("\x02"
                           "FF150101>0FD7E5\x03");
    ASSERT_TRUE(comm.WriteCommData(frame.constData(), uint16_t(frame.size())));
    EXPECT_EQ(pty.Receive(frame.size()), frame);
    EXPECT_TRUE(QTest::qWaitFor([&] { return comm.SendDataEmpty() && emptyEvents >= 1; }, 2000));

    pty.Send("\x02"
             "01150"
             "0001"
             "99\x03");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !got.blocks.empty(); }, 2000));
    EXPECT_EQ(got.All(),
              QByteArray("\x02"
                         "01150"
                         "0001"
                         "99\x03"));
    EXPECT_FALSE(got.offThread);
    comm.StopComm();
    EXPECT_FALSE(comm.WriteCommData("x", 1));
}

TEST_F(SerialcommData, BlocksEndAtTheByteGapAndAtTheReadSize)
{
    comm.SetReadIntervalTimeout(30);
    comm.StartComm();

    QByteArray burst;
    for (int i = 0; i < 3000; ++i)
        burst.append(char('0' + i % 64));
    pty.Send(burst);
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.All().size() >= 3000; }, 3000));
    EXPECT_EQ(got.All(), burst);
    EXPECT_GE(got.blocks.size(), 2u);
    for (const auto &b : got.blocks)
        EXPECT_LE(b.size(), 2048);

    got.blocks.clear();
    pty.Send("first");
    QTest::qWait(100);
    pty.Send("second");
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.blocks.size() >= 2; }, 2000));
    QTest::qWait(60);
    ASSERT_EQ(got.blocks.size(), 2u);
    EXPECT_EQ(got.blocks[0], QByteArray("first"));
    EXPECT_EQ(got.blocks[1], QByteArray("second"));
}

TEST_F(SerialcommData, FrameReadingEndsABlockAtEachFrameEndWithoutTheGap)
{
    // A gap far longer than the waits below: only the frame ends can close
    // the first two blocks in time.
    comm.SetReadIntervalTimeout(1000);
    comm.SetFrameEndChar(0x03);
    comm.StartComm();
    pty.Send("\x02"
             "ab\x03\x02"
             "cd\x03"
             "ef");
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.blocks.size() >= 2; }, 500));
    EXPECT_EQ(got.blocks[0],
              QByteArray("\x02"
                         "ab\x03"));
    EXPECT_EQ(got.blocks[1],
              QByteArray("\x02"
                         "cd\x03"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.blocks.size() >= 3; }, 3000));
    EXPECT_EQ(got.blocks[2], QByteArray("ef"));
}

TEST_F(SerialcommData, SevenDataBitsMaskReceivedBytesOnAPseudoTerminal)
{
    comm.StartComm();
    pty.Send(QByteArray("\xC1\x42\xB0", 3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.All().size() >= 3; }, 2000));
    EXPECT_EQ(got.All(), QByteArray("AB0"));

    got.blocks.clear();
    comm.SetByteSize(TByteSize::_8);  // applied at once on the open port
    pty.Send(QByteArray("\xC1", 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !got.blocks.empty(); }, 2000));
    EXPECT_EQ(got.All(), QByteArray("\xC1", 1));
}

TEST_F(SerialcommData, PurgeAndStopDropWhatWasNotYetDelivered)
{
    comm.SetReadIntervalTimeout(10);
    comm.StartComm();

    // The block is read and posted while no events are processed.
    pty.Send("stale");
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    comm.PurgeInput();
    QTest::qWait(50);
    EXPECT_TRUE(got.blocks.empty());
    pty.Send("fresh");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !got.blocks.empty(); }, 2000));
    EXPECT_EQ(got.All(), QByteArray("fresh"));

    got.blocks.clear();
    pty.Send("old session");
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    comm.StopComm();
    comm.StartComm();
    QTest::qWait(50);
    EXPECT_TRUE(got.blocks.empty());
    comm.StopComm();
}

TEST_F(SerialcommData, VanishedPortRaisesTheHangupAndStopsCleanly)
{
    int hangups = 0;
    comm.OnRequestHangup = [&](TComm *sender) {
        ++hangups;
        sender->StopComm();
    };
    comm.StartComm();
    pty.CloseMaster();
    ASSERT_TRUE(QTest::qWaitFor([&] { return hangups > 0; }, 2000));
    EXPECT_EQ(hangups, 1);
    EXPECT_FALSE(comm.IsOpen());
}

TEST(SerialcommFilter, ErrorMarksMaskAndNulls)
{
    TCommInputFilter filter;
    TCommInputFilter::Settings s;
    s.DecodeMarks = true;
    s.ReplacedChar = '?';
    s.Mask = 0x7F;
    s.StripNull = true;
    filter.Configure(s);

    // FF 00 x is a byte received with an error, FF FF one FF; a mark may be
    // split between two reads.
    uint8_t first[] = {'A', 0xFF, 0x00};
    EXPECT_EQ(filter.Apply(first, sizeof first), 1u);
    EXPECT_EQ(first[0], 'A');
    uint8_t second[] = {0x55, 0x00, 'B', 0xFF, 0xFF, 0xC3};
    ASSERT_EQ(filter.Apply(second, sizeof second), 4u);
    EXPECT_EQ(second[0], '?');
    EXPECT_EQ(second[1], 'B');
    EXPECT_EQ(second[2], 0x7F);
    EXPECT_EQ(second[3], 0x43);

    s = {};
    filter.Configure(s);
    uint8_t plain[] = {0xFF, 0x00, 0x80};
    ASSERT_EQ(filter.Apply(plain, sizeof plain), 3u);
    EXPECT_EQ(plain[0], 0xFF);
    EXPECT_EQ(plain[1], 0x00);
    EXPECT_EQ(plain[2], 0x80);
}
