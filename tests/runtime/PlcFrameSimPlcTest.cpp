// The simulated PLC (tests/support/SimPlc.h), frame by frame: its answers to every
// request kind and its fault switches, against frames written out here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimPlc.h"

using simplc::Fault;
using simplc::FaultRule;
using simplc::SimPlc;

namespace {

std::string Closed(const std::string &text)
{
    unsigned sum = 2;
    for (unsigned char c : text) {
        sum += c;
    }
    const char *hex = "0123456789ABCDEF";
    return std::string("\x02") + text + hex[(sum >> 4) & 0xF] + hex[sum & 0xF] + "\x03";
}

std::vector<std::uint8_t> Bytes(const std::string &s)
{
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

std::string Text(const std::vector<std::uint8_t> &v)
{
    return std::string(v.begin(), v.end());
}

std::string Ask(SimPlc &plc, const std::string &frame)
{
    return Text(plc.Answer(Bytes(frame)));
}

}  // namespace

TEST(SimPlc, AnswersTheStationQuery)
{
    SimPlc plc;
    EXPECT_EQ(Ask(plc,
                  "\x02"
                  "FF150101>0FD7E5\x03"),
              "\x02"
              "011500101BB\x03");
    plc.SetStation("07");
    EXPECT_EQ(Ask(plc,
                  "\x02"
                  "FF150101>0FD7E5\x03"),
              Closed("071500107"));
    plc.SetReportedStation("00");
    EXPECT_EQ(Ask(plc,
                  "\x02"
                  "FF150101>0FD7E5\x03"),
              Closed("071500100"));
}

TEST(SimPlc, ReadsEveryOperandKind)
{
    SimPlc plc;
    plc.SetValue(4, 100, 1);             // M100
    plc.SetValue(11, 4128, 8000);        // R4128
    plc.SetValue(13, 100, 123456);       // DR100: R100 low word, R101 high word
    plc.SetValue(8, 12, 0xFFFF);         // RT12
    plc.SetValue(10, 200, 0x12345678);   // DRC200
    plc.SetValue(2, 7, 1);               // X7
    plc.SetValue(3, 255, 0);             // Y255
    plc.SetValue(5, 999, 1);             // S999
    plc.SetValue(6, 0, 1);               // T0
    plc.SetValue(7, 255, 1);             // C255
    plc.SetValue(9, 199, 0xABCD);        // RC199
    plc.SetValue(12, 3071, 0x0102);      // D3071
    plc.SetValue(14, 3068, 0xCAFEBABE);  // DD3068
    EXPECT_EQ(plc.Reg(100), 0xE240);
    EXPECT_EQ(plc.Reg(101), 0x0001);
    EXPECT_EQ(Ask(plc, Closed("014806M0100R04128DR00100RT00012DRC0200X0007")),
              Closed("01480"
                     "1"
                     "1F40"
                     "0001E240"
                     "FFFF"
                     "12345678"
                     "1"));
    EXPECT_EQ(Ask(plc, Closed("014807Y0255S0999T0000C0255RC00199D03071DD03068")),
              Closed("01480"
                     "0"
                     "1"
                     "1"
                     "1"
                     "ABCD"
                     "0102"
                     "CAFEBABE"));
    EXPECT_EQ(Ask(plc, Closed("014800")), Closed("01480"));
}

TEST(SimPlc, WritesNamedOperands)
{
    SimPlc plc;
    EXPECT_EQ(Ask(plc,
                  "\x02"
                  "014901R0010012343E\x03"),
              Closed("01490"));
    EXPECT_EQ(plc.Reg(100), 0x1234);
    EXPECT_EQ(Ask(plc,
                  "\x02"
                  "014901M0100170\x03"),
              Closed("01490"));
    EXPECT_EQ(plc.Value(4, 100), 1u);
    EXPECT_EQ(Ask(plc, Closed("014901DR050000001E240")), Closed("01490"));
    EXPECT_EQ(plc.Value(13, 5000), 123456u);
    EXPECT_EQ(plc.Reg(5000), 0xE240);
    EXPECT_EQ(plc.Reg(5001), 1);
    EXPECT_EQ(Ask(plc, Closed("014902D00001BEEFY00011")), Closed("01490"));
    EXPECT_EQ(plc.Value(12, 1), 0xBEEFu);
    EXPECT_EQ(plc.Value(3, 1), 1u);
}

TEST(SimPlc, ReadsAndWritesConsecutiveRegisters)
{
    SimPlc plc;
    EXPECT_EQ(Ask(plc, Closed("014703R03000444100016420")), Closed("01470"));
    EXPECT_EQ(plc.Regs(3000, 3), (std::vector<std::uint16_t>{0x4441, 0x0001, 0x6420}));
    EXPECT_EQ(Ask(plc, Closed("014604R02999")),
              Closed("01460"
                     "0000"
                     "4441"
                     "0001"
                     "6420"));
    EXPECT_EQ(Ask(plc, Closed("014601D00000")),
              Closed("01460"
                     "0000"));
}

TEST(SimPlc, RefusesWhatItCannotServe)
{
    SimPlc plc;
    plc.SetReg(4167, 9);
    const std::string refused48 = Closed("01481");
    EXPECT_EQ(Ask(plc, Closed("014801R04168")), refused48);            // no such register
    EXPECT_EQ(Ask(plc, Closed("014801R4167")), refused48);             // four digits where five belong
    EXPECT_EQ(Ask(plc, Closed("0148010012")), refused48);              // a constant has no name
    EXPECT_EQ(Ask(plc, Closed("014802R04167")), refused48);            // count says two
    EXPECT_EQ(Ask(plc, Closed("014801R04167X")), refused48);           // trailing rubbish
    EXPECT_EQ(Ask(plc, Closed("014801DRC0199")), refused48);           // DRC starts at 200
    EXPECT_EQ(Ask(plc, Closed("014901R0416700G0")), Closed("01491"));  // not a hex value
    EXPECT_EQ(Ask(plc, Closed("014901X00072")), Closed("01491"));      // a bit is 0 or 1
    EXPECT_EQ(Ask(plc, Closed("014702R041670001")), Closed("01471"));  // one word short
    EXPECT_EQ(Ask(plc, Closed("014702R04167")), Closed("01471"));      // no words at all
    EXPECT_EQ(Ask(plc, Closed("014602R04167")), Closed("01461"));      // R4168 does not exist
    EXPECT_EQ(Ask(plc, Closed("0140")), Closed("01401"));              // unknown command
    std::string badSum = Closed("014801R04167");
    badSum[badSum.size() - 2] ^= 1;
    EXPECT_EQ(Ask(plc, badSum), Closed("01481"));
    EXPECT_EQ(plc.Reg(4167), 9);
    plc.SetRefusalChar('4');
    EXPECT_EQ(Ask(plc, Closed("014801R04168")), Closed("01484"));
}

TEST(SimPlc, IgnoresOtherStationsAndNoise)
{
    SimPlc plc;
    EXPECT_TRUE(plc.Answer(Bytes(Closed("024801R00000"))).empty());
    EXPECT_TRUE(plc.Answer(Bytes("hello")).empty());
    EXPECT_EQ(Ask(plc, Closed("FF4801R00000")), Closed("014800000"));
    EXPECT_EQ(plc.RequestCount(), 3u);
    EXPECT_EQ(plc.RequestCount("48"), 2u);
}

TEST(SimPlc, TakesBytesModulo128)
{
    SimPlc plc;
    std::vector<std::uint8_t> frame = Bytes("\x02"
                                            "FF150101>0FD7E5\x03");
    for (std::uint8_t &b : frame) {
        b |= 0x80;  // as a line with parity might deliver them
    }
    EXPECT_EQ(Text(plc.Answer(frame)),
              "\x02"
              "011500101BB\x03");
}

TEST(SimPlc, FaultSwitches)
{
    SimPlc plc;
    plc.SetReg(0, 0x1234);
    const std::string poll = Closed("014801R00000");
    const std::string good = Closed("014801234");

    plc.AddFault({Fault::CorruptChecksum});
    std::string corrupt = Ask(plc, poll);
    EXPECT_EQ(corrupt.substr(0, 10), good.substr(0, 10));
    EXPECT_NE(corrupt, good);
    EXPECT_EQ(Ask(plc, poll), good);  // one reply only

    plc.AddFault({Fault::Drop});
    EXPECT_EQ(Ask(plc, poll), "");

    plc.AddFault({Fault::Error1});
    EXPECT_EQ(Ask(plc, poll), Closed("01481"));
    plc.AddFault({Fault::Error2});
    EXPECT_EQ(Ask(plc, poll), Closed("01482"));

    plc.AddFault({Fault::ShortBlock});
    EXPECT_EQ(Ask(plc, poll), good.substr(0, good.size() / 2));

    plc.AddFault({Fault::Garbled});
    EXPECT_EQ(Ask(plc, poll), Closed("01480GGGG"));
    plc.AddFault({Fault::Garbled});
    EXPECT_EQ(Ask(plc, Closed("014901R000000001")), Closed("01ZZ0"));

    FaultRule delay{Fault::Delay};
    delay.delayMs = 500;
    plc.AddFault(delay);
    simplc::Reply r = plc.Handle(Bytes(poll));
    EXPECT_EQ(r.delayMs, 500);
    ASSERT_EQ(r.blocks.size(), 1u);

    FaultRule split{Fault::Split};
    split.delayMs = 50;
    plc.AddFault(split);
    r = plc.Handle(Bytes(poll));
    ASSERT_EQ(r.blocks.size(), 2u);
    EXPECT_EQ(Text(r.blocks[0]) + Text(r.blocks[1]), Closed("014800001"));  // R0 was written 1 above
    EXPECT_EQ(r.gapMs, 50);

    plc.AddFault({Fault::Stale});
    EXPECT_EQ(Ask(plc, Closed("014601R00000")), Closed("014800001"));  // the reply before

    plc.AddFault({Fault::HangUp});
    r = plc.Handle(Bytes(poll));
    EXPECT_TRUE(r.hangUp);
    EXPECT_TRUE(r.blocks.empty());
}

TEST(SimPlc, RefusedRequestsAreNotCarriedOut)
{
    SimPlc plc;
    plc.AddFault({Fault::Error1});
    EXPECT_EQ(Ask(plc, Closed("014901R000010005")), Closed("01491"));
    EXPECT_EQ(plc.Reg(1), 0);
    plc.AddFault({Fault::Drop});  // a lost reply: the write happened
    EXPECT_EQ(Ask(plc, Closed("014901R000010005")), "");
    EXPECT_EQ(plc.Reg(1), 5);
}

TEST(SimPlc, FaultRulesByCommandCountAndSkip)
{
    SimPlc plc;
    const std::string poll = Closed("014801R00000");
    const std::string write = Closed("014901R000000001");
    FaultRule rule{Fault::Drop};
    rule.command = "49";
    rule.count = 2;
    rule.skip = 1;
    plc.AddFault(rule);
    EXPECT_NE(Ask(plc, poll), "");
    EXPECT_NE(Ask(plc, write), "");  // skipped
    EXPECT_NE(Ask(plc, poll), "");
    EXPECT_EQ(Ask(plc, write), "");
    EXPECT_EQ(Ask(plc, write), "");
    EXPECT_NE(Ask(plc, write), "");  // used up
    FaultRule always{Fault::Drop};
    always.count = -1;
    plc.AddFault(always);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Ask(plc, poll), "");
    }
    plc.ClearFaults();
    EXPECT_NE(Ask(plc, poll), "");
}

TEST(SimPlc, TheObserverSeesWritesBeforeReadsAreAnswered)
{
    SimPlc plc;
    std::vector<std::string> seen;
    plc.SetObserver([&](SimPlc &p, const simplc::Request &request) {
        seen.push_back(request.command);
        if (request.command == "48") {
            p.SetReg(0, static_cast<std::uint16_t>(p.Reg(0) + 1));
        }
    });
    EXPECT_EQ(Ask(plc, Closed("014801R00000")), Closed("014800001"));
    EXPECT_EQ(Ask(plc, Closed("014801R00000")), Closed("014800002"));
    Ask(plc, Closed("014901R000000009"));
    EXPECT_EQ(Ask(plc, Closed("014801R00000")), Closed("01480000A"));
    EXPECT_EQ(seen, (std::vector<std::string>{"48", "48", "49", "48"}));
}

TEST(SimPlc, ParsesOperandNames)
{
    std::uint16_t address = 0;
    std::size_t pos = 0;
    EXPECT_EQ(simplc::ParseOperandName("DRC0200", pos, address), 10);
    EXPECT_EQ(address, 200);
    EXPECT_EQ(pos, 7u);
    pos = 0;
    EXPECT_EQ(simplc::ParseOperandName("DR00100DD00002", pos, address), 13);
    EXPECT_EQ(simplc::ParseOperandName("DR00100DD00002", pos, address), 14);
    EXPECT_EQ(address, 2);
    pos = 0;
    EXPECT_EQ(simplc::ParseOperandName("RT00012", pos, address), 8);
    pos = 0;
    EXPECT_EQ(simplc::ParseOperandName("Q0001", pos, address), 0);
    pos = 0;
    EXPECT_EQ(simplc::ParseOperandName("R99999", pos, address), 0);
}
