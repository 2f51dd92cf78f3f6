// The link against the simulated PLC in-process, frame by frame (SimPlcLinkPump):
// polls read what the PLC holds, writes land in it, and every fault switch leaves
// the link polling good values again without storing a wrong one.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "PlcLink.h"
#include "SimPlc.h"
#include "SimPlcLink.h"

using namespace runtime;
using simplc::Fault;
using simplc::FaultRule;
using simplc::SimPlc;
using simplc::SimPlcLinkPump;

namespace {

std::vector<std::pair<int, int>> gDropped;

class PlcLinkSimPlcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LinkInit();
        LinkEngine = LinkEngineHooks{};
        LinkEngine.WriteDropped = [](std::uint8_t type, std::uint16_t address) {
            gDropped.emplace_back(type, address);
        };
        gDropped.clear();
    }
    void TearDown() override
    {
        LinkEngine = LinkEngineHooks{};
        LinkInit();
    }

    // Online with a poll of R100 into value; returns when the first good poll is in.
    void Online(SimPlcLinkPump &pump)
    {
        StartOnlineLink();
        ASSERT_TRUE(pump.RunUntil([] { return PlcAnswered == 1; }, 10));
        ASSERT_EQ(AddPoll(OpR, 100, &value), 1);  // slot 0 holds R0
        ASSERT_TRUE(pump.RunUntil([] { return PlcDataValid == 1; }, 10));
    }
    // Polls until a good reply stores the PLC's current R100.
    bool Settles(SimPlcLinkPump &pump, SimPlc &plc)
    {
        PlcDataValid = 0;
        return pump.RunUntil([&] { return PlcDataValid == 1 && value == plc.Reg(100); }, 30);
    }

    std::uint16_t value = 0;
};

}  // namespace

TEST_F(PlcLinkSimPlcTest, PollsReadChangingRegisters)
{
    SimPlc plc;
    plc.SetObserver([](SimPlc &p, const simplc::Request &r) {
        if (r.command == "48") {
            p.SetReg(100, static_cast<std::uint16_t>(p.Reg(100) + 3));
        }
    });
    SimPlcLinkPump pump(plc);
    Online(pump);
    std::set<std::uint16_t> seen;
    for (int i = 0; i < 10; ++i) {
        pump.Step();
        EXPECT_EQ(value % 3, 0);
        seen.insert(value);
    }
    EXPECT_EQ(seen.size(), 10u);
    EXPECT_EQ(pump.Unanswered(), 1u);
}

TEST_F(PlcLinkSimPlcTest, EveryKindIsReadFromThePlc)
{
    SimPlc plc;
    plc.SetValue(OpM, 12, 1);
    plc.SetValue(OpDR, 5000, 0xDEADBEEF);
    plc.SetValue(OpDRC, 255, 77);
    plc.SetValue(OpRC, 3, 0x8001);
    plc.SetValue(OpDD, 10, 1);
    SimPlcLinkPump pump(plc);
    Online(pump);
    std::uint8_t m = 0;
    std::uint32_t dr = 0, drc = 0, dd = 0;
    std::uint16_t rc = 0;
    AddPoll(OpM, 12, &m);
    AddPoll(OpDR, 5000, &dr);
    AddPoll(OpDRC, 255, &drc);
    AddPoll(OpRC, 3, &rc);
    AddPoll(OpDD, 10, &dd);
    PlcDataValid = 0;
    ASSERT_TRUE(pump.RunUntil([] { return PlcDataValid == 1; }, 5));
    EXPECT_EQ(m, 1);
    EXPECT_EQ(dr, 0xDEADBEEFu);
    EXPECT_EQ(drc, 77u);
    EXPECT_EQ(rc, 0x8001);
    EXPECT_EQ(dd, 1u);
}

TEST_F(PlcLinkSimPlcTest, AWriteLandsInThePlc)
{
    SimPlc plc;
    SimPlcLinkPump pump(plc);
    Online(pump);
    std::uint16_t v = 0xBEEF;
    ASSERT_EQ(WriteOperand(OpR, 100, &v, 1), 1);
    ASSERT_TRUE(pump.RunUntil([] { return WriteBusy == 0; }, 5));
    EXPECT_EQ(plc.Reg(100), 0xBEEF);
    EXPECT_TRUE(Settles(pump, plc));
    EXPECT_EQ(value, 0xBEEF);
    std::uint8_t on = 1;
    std::uint32_t big = 0x12345678;
    WriteOperand(OpM, 2001, &on, 1);
    ASSERT_TRUE(pump.RunUntil([] { return WriteBusy == 0; }, 5));
    WriteOperand(OpDD, 3070, &big, 1);
    ASSERT_TRUE(pump.RunUntil([] { return WriteBusy == 0; }, 5));
    EXPECT_EQ(plc.Value(OpM, 2001), 1u);
    EXPECT_EQ(plc.Value(OpDD, 3070), 0x12345678u);
    EXPECT_EQ(plc.RequestCount("49"), 3u);
}

TEST_F(PlcLinkSimPlcTest, TheLinkRecoversFromEveryPollFault)
{
    SimPlc plc;
    SimPlcLinkPump pump(plc);
    Online(pump);
    const Fault faults[] = {Fault::CorruptChecksum, Fault::Drop,   Fault::Delay,
                            Fault::Error1,          Fault::Error2, Fault::ShortBlock,
                            Fault::Garbled,         Fault::Split,  Fault::Stale};
    std::uint16_t n = 1;
    for (Fault f : faults) {
        plc.SetReg(100, n);
        FaultRule rule(f, 2, "48", 1000);
        plc.AddFault(rule);
        EXPECT_TRUE(Settles(pump, plc)) << static_cast<int>(f);
        EXPECT_EQ(value, n) << static_cast<int>(f);
        ++n;
    }
}

TEST_F(PlcLinkSimPlcTest, ABadReplyNeverStoresAWrongValue)
{
    SimPlc plc;
    plc.SetReg(100, 42);
    SimPlcLinkPump pump(plc);
    Online(pump);
    ASSERT_EQ(value, 42);
    // Garbled data and short blocks on every reply: the value stays 42, never garbage.
    plc.AddFault(FaultRule(Fault::Garbled, 5, "48"));
    for (int i = 0; i < 5; ++i) {
        plc.SetReg(100, 7);  // what a garbled reply would carry in place of the digits
        PlcDataValid = 0;
        pump.Step();
        EXPECT_EQ(value, 42);
        EXPECT_EQ(PlcDataValid, 0);
    }
    EXPECT_TRUE(Settles(pump, plc));
    EXPECT_EQ(value, 7);
}

TEST_F(PlcLinkSimPlcTest, AWriteSurvivesFaultsOnItsReply)
{
    SimPlc plc;
    SimPlcLinkPump pump(plc);
    Online(pump);
    const Fault faults[] = {Fault::CorruptChecksum, Fault::Drop,    Fault::Error1,
                            Fault::ShortBlock,      Fault::Garbled, Fault::Stale};
    std::uint16_t n = 1;
    for (Fault f : faults) {
        plc.AddFault(FaultRule(f, 2, "49"));
        std::uint16_t v = n;
        ASSERT_EQ(WriteOperand(OpR, 200, &v, 1), 1);
        ASSERT_TRUE(pump.RunUntil([] { return WriteBusy == 0; }, 20)) << static_cast<int>(f);
        EXPECT_EQ(plc.Reg(200), n) << static_cast<int>(f);
        EXPECT_TRUE(gDropped.empty()) << static_cast<int>(f);
        ++n;
    }
}

TEST_F(PlcLinkSimPlcTest, AWriteThePlcAlwaysRefusesIsDropped)
{
    SimPlc plc;
    SimPlcLinkPump pump(plc);
    Online(pump);
    plc.AddFault(FaultRule(Fault::Error1, -1, "49"));
    std::uint16_t v = 5;
    ASSERT_EQ(WriteOperand(OpR, 200, &v, 1), 1);
    ASSERT_TRUE(pump.RunUntil([] { return WriteBusy == 0; }, 30));
    EXPECT_EQ(plc.Reg(200), 0);
    EXPECT_EQ(plc.RequestCount("49"), static_cast<std::size_t>(kMaxWriteTries));
    ASSERT_EQ(gDropped.size(), 1u);
    EXPECT_EQ(gDropped[0], std::make_pair(int(OpR), 200));
    EXPECT_TRUE(Settles(pump, plc));  // polling goes on
}

TEST_F(PlcLinkSimPlcTest, AHungUpPlcLeavesTheLinkAsking)
{
    SimPlc plc;
    SimPlcLinkPump pump(plc);
    Online(pump);
    plc.AddFault(FaultRule(Fault::HangUp));
    pump.Run(6);
    EXPECT_TRUE(pump.HungUp());
    EXPECT_GE(LinkEmptyCalls, 5);
}

TEST_F(PlcLinkSimPlcTest, AStationReplyOfZeroMeansStationOne)
{
    SimPlc plc;
    plc.SetReportedStation("00");
    SimPlcLinkPump pump(plc);
    Online(pump);
    EXPECT_STREQ(LinkStation(), "01");
}

TEST_F(PlcLinkSimPlcTest, AnotherStationIsUsedThroughout)
{
    SimPlc plc;
    plc.SetStation("1F");
    plc.SetReg(100, 9);
    SimPlcLinkPump pump(plc);
    Online(pump);
    EXPECT_STREQ(LinkStation(), "1F");
    EXPECT_EQ(value, 9);
    EXPECT_EQ(pump.LastSent().substr(1, 4), "1F48");
}
