// End to end over a pseudo-terminal: the simulated PLC serves one end with its own
// thread; the test drives the link on the other end with plain reads and writes
// (PtyLinkDriver), as the simulator window will through the serial component.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <set>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "PlcLink.h"
#include "SimPlc.h"
#include "SimPlcLink.h"
#include "SimPlcPty.h"

using namespace runtime;
using simplc::Fault;
using simplc::FaultRule;
using simplc::PtyLinkDriver;
using simplc::SimPlc;
using simplc::SimPlcPty;

namespace {

class PlcLinkPtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LinkInit();
        LinkEngine = LinkEngineHooks{};
    }
    void TearDown() override
    {
        LinkEngine = LinkEngineHooks{};
        LinkInit();
    }
    std::uint16_t value = 0;
};

// Reads what arrives within ms milliseconds (until a 50 ms gap once data came).
std::string ReadFor(int fd, int ms)
{
    std::string got;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, got.empty() ? static_cast<int>(left.count()) : 50) <= 0) {
            if (!got.empty()) {
                break;
            }
            continue;
        }
        char buffer[256];
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

}  // namespace

TEST_F(PlcLinkPtyTest, APollLoopReadsChangingRegistersAndAWriteLands)
{
    SimPlc plc;
    plc.SetObserver([](SimPlc &p, const simplc::Request &r) {
        if (r.command == "48") {
            p.SetReg(100, static_cast<std::uint16_t>(p.Reg(100) + 1));
        }
    });
    SimPlcPty pty(plc, SimPlcPty::PlcEnd::Slave);
    ASSERT_TRUE(pty.Start()) << std::strerror(errno);
    PtyLinkDriver driver(pty.PeerFd());
    StartOnlineLink();
    ASSERT_TRUE(driver.RunUntil([] { return PlcAnswered == 1; }, 3000));
    ASSERT_EQ(AddPoll(OpR, 100, &value), 1);
    std::set<std::uint16_t> seen;
    ASSERT_TRUE(driver.RunUntil(
        [&] {
            if (PlcDataValid) {
                seen.insert(value);
            }
            return seen.size() >= 5;
        },
        5000));
    // Each value read was the PLC's value at the time of its poll.
    EXPECT_GE(*seen.rbegin() - *seen.begin(), 4);
    EXPECT_LE(*seen.rbegin(), plc.Reg(100));

    std::uint16_t v = 0xBEEF;
    ASSERT_EQ(WriteOperand(OpR, 200, &v, 1), 1);
    ASSERT_TRUE(driver.RunUntil([] { return WriteBusy == 0; }, 3000));
    EXPECT_EQ(plc.Reg(200), 0xBEEF);
}

TEST_F(PlcLinkPtyTest, FaultsOnTheLineAreRiddenOut)
{
    SimPlc plc;
    SimPlcPty pty(plc, SimPlcPty::PlcEnd::Slave);
    ASSERT_TRUE(pty.Start());
    PtyLinkDriver driver(pty.PeerFd(), 100, 10);
    StartOnlineLink();
    ASSERT_TRUE(driver.RunUntil([] { return PlcAnswered == 1; }, 3000));
    AddPoll(OpR, 100, &value);
    // A dropped reply, one delayed past the time-out, a corrupted one, one split in two
    // blocks 60 ms apart, a garbled one and a short one: each on the poll once.
    const FaultRule faults[] = {
        FaultRule(Fault::Drop, 1, "48"),
        FaultRule(Fault::Delay, 1, "48", 150),
        FaultRule(Fault::CorruptChecksum, 1, "48"),
        FaultRule(Fault::Split, 1, "48", 60),
        FaultRule(Fault::Garbled, 1, "48"),
        FaultRule(Fault::ShortBlock, 1, "48"),
    };
    std::uint16_t n = 1;
    for (const FaultRule &f : faults) {
        plc.SetReg(100, n);
        plc.AddFault(f);
        PlcDataValid = 0;
        EXPECT_TRUE(driver.RunUntil([&] { return PlcDataValid == 1 && value == n; }, 3000))
            << static_cast<int>(f.kind);
        ++n;
    }
    // A write whose first reply is lost still lands once the line is good.
    plc.AddFault(FaultRule(Fault::Drop, 1, "49"));
    std::uint16_t v = 0x55AA;
    ASSERT_EQ(WriteOperand(OpR, 300, &v, 1), 1);
    ASSERT_TRUE(driver.RunUntil([] { return WriteBusy == 0; }, 3000));
    EXPECT_EQ(plc.Reg(300), 0x55AA);
    EXPECT_GE(driver.Timeouts(), 2u);  // the dropped poll reply and the dropped write reply
}

TEST_F(PlcLinkPtyTest, AHangUpEndsTheExchange)
{
    SimPlc plc;
    SimPlcPty pty(plc, SimPlcPty::PlcEnd::Slave);
    ASSERT_TRUE(pty.Start());
    PtyLinkDriver driver(pty.PeerFd(), 100, 10);
    StartOnlineLink();
    ASSERT_TRUE(driver.RunUntil([] { return PlcDataValid == 1; }, 3000));
    pty.HangUp();
    EXPECT_TRUE(pty.HungUp());
    EXPECT_FALSE(driver.RunUntil([] { return false; }, 2000));
    EXPECT_TRUE(driver.HungUp());
}

TEST_F(PlcLinkPtyTest, AHangUpFaultClosesTheLine)
{
    SimPlc plc;
    SimPlcPty pty(plc, SimPlcPty::PlcEnd::Slave);
    ASSERT_TRUE(pty.Start());
    plc.AddFault(FaultRule(Fault::HangUp, 1, "48"));
    PtyLinkDriver driver(pty.PeerFd(), 100, 10);
    StartOnlineLink();
    EXPECT_FALSE(driver.RunUntil([] { return PlcDataValid == 1; }, 2000));
    EXPECT_TRUE(driver.HungUp());
    EXPECT_TRUE(pty.HungUp());
}

// The arrangement the serial component will use: the PLC on the master, the port
// opened by its slave path.
TEST_F(PlcLinkPtyTest, ThePlcOnTheMasterAnswersThroughTheSlavePath)
{
    SimPlc plc;
    plc.SetReg(3000, 0x5245);
    SimPlcPty pty(plc);
    ASSERT_TRUE(pty.Start());
    ASSERT_FALSE(pty.SlavePath().empty());
    int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    const std::string query = "\x02"
                              "FF150101>0FD7E5\x03";
    ASSERT_EQ(::write(fd, query.data(), query.size()), static_cast<ssize_t>(query.size()));
    EXPECT_EQ(ReadFor(fd, 2000),
              "\x02"
              "011500101BB\x03");
    // A mailbox read, built with the frame helpers as the download will.
    std::uint8_t frame[32];
    std::uint16_t n = BuildReadRegistersFrame(frame, sizeof frame, "01", OpR, 3000, 1);
    ASSERT_EQ(::write(fd, frame, n), static_cast<ssize_t>(n));
    std::string reply = ReadFor(fd, 2000);
    EXPECT_EQ(CheckReplyFrame(reinterpret_cast<const std::uint8_t *>(reply.data()),
                              static_cast<std::uint16_t>(reply.size()), "01", "46"),
              ReplyOk);
    EXPECT_EQ(reply.substr(6, 4), "5245");
    // Noise before a frame and a frame cut in two writes are taken as one frame.
    const std::string part1 = "xx\x02"
                              "FF1501";
    const std::string part2 = "01>0FD7E5\x03";
    ASSERT_EQ(::write(fd, part1.data(), part1.size()), static_cast<ssize_t>(part1.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ASSERT_EQ(::write(fd, part2.data(), part2.size()), static_cast<ssize_t>(part2.size()));
    EXPECT_EQ(ReadFor(fd, 2000),
              "\x02"
              "011500101BB\x03");
    EXPECT_EQ(pty.FramesReceived(), 3u);
    pty.HangUp();
    char c;
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1);
    EXPECT_LE(::read(fd, &c, 1), 0);  // EOF or EIO: the line is gone
    ::close(fd);
}
