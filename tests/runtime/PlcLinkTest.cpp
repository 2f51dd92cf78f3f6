// PLC link session and poll table, driven frame by frame: the test is
// the PLC. Frames the issue names are written out with their hand-computed checksums;
// other replies get their checksum from Closed(), a plain sum kept in this file.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "PlcLink.h"

using namespace runtime;

namespace {

std::vector<std::string> gSent;
int gRedraws = 0;
int gStartMenu = 0;
int gAlarmValues = 0;
int gProcessAlarm = 0;
std::vector<std::uint16_t> gTracked;
std::vector<std::pair<int, int>> gDropped;
std::uint16_t gScreenState = 1;
bool gReenterOnRedraw = false;

void CaptureSend(const std::uint8_t *bytes, std::uint16_t length)
{
    gSent.emplace_back(reinterpret_cast<const char *>(bytes), length);
}

std::string Framed(const std::string &text)
{
    return std::string("\x02") + text + "\x03";
}

// STX + text + checksum + ETX, the checksum summed here.
std::string Closed(const std::string &text)
{
    unsigned sum = 2;
    for (unsigned char c : text) {
        sum += c;
    }
    const char *hex = "0123456789ABCDEF";
    std::string cs{hex[(sum >> 4) & 0xF], hex[sum & 0xF]};
    return Framed(text + cs);
}

class PlcLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LinkInit();
        gSent.clear();
        gRedraws = gStartMenu = gAlarmValues = gProcessAlarm = 0;
        gTracked.clear();
        gDropped.clear();
        gScreenState = 1;
        gReenterOnRedraw = false;
        SendFrameHook = CaptureSend;
        LinkEngine = LinkEngineHooks{};
        LinkEngine.RequestRedraw = [] {
            ++gRedraws;
            if (gReenterOnRedraw) {
                LinkReceive(nullptr, 0);  // must do nothing: re-entry guard
            }
        };
        LinkEngine.ScreenState = [] { return gScreenState; };
        LinkEngine.EnterStartMenu = [] {
            ++gStartMenu;
            gScreenState = 1;
        };
        LinkEngine.AlarmValuesArrived = [] { ++gAlarmValues; };
        LinkEngine.ProcessCurrentAlarm = [] { ++gProcessAlarm; };
        LinkEngine.TrackLinkTimeout = [](std::uint16_t length) { gTracked.push_back(length); };
        LinkEngine.WriteDropped = [](std::uint8_t type, std::uint16_t address) {
            gDropped.emplace_back(type, address);
        };
    }
    void TearDown() override
    {
        SendFrameHook = nullptr;
        LinkEngine = LinkEngineHooks{};
        LinkInit();
    }

    void Receive(const std::string &block)
    {
        LinkReceive(reinterpret_cast<const std::uint8_t *>(block.data()),
                    static_cast<std::uint16_t>(block.size()));
    }
    void Timeout() { LinkReceive(nullptr, 0); }
    std::string Last() const { return gSent.empty() ? std::string() : gSent.back(); }

    // Starts the link and answers the station query with station 01.
    void Online()
    {
        StartOnlineLink();
        ASSERT_EQ(Last(), Framed("FF150101>0FD7E5"));
        Receive(Framed("011500101"
                       "BB"));
    }
};

}  // namespace

// ---- the poll table ----

TEST_F(PlcLinkTest, TwentySlotsThenTheTableIsFull)
{
    std::uint16_t values[21] = {};
    for (std::uint16_t i = 0; i < 20; ++i) {
        EXPECT_EQ(AddPoll(OpR, static_cast<std::uint16_t>(100 + i), &values[i]), i);
    }
    EXPECT_EQ(PollCount, 20);
    std::uint16_t sequence = PollSequence;
    EXPECT_EQ(AddPoll(OpR, 200, &values[20]), kNoPollSlot);
    EXPECT_EQ(PollCount, 20);
    EXPECT_EQ(PollSequence, sequence);
}

TEST_F(PlcLinkTest, AddPollMarksTheTableChanged)
{
    PlcDataValid = 1;
    std::uint16_t sequence = PollSequence;
    std::uint16_t v = 0;
    EXPECT_EQ(AddPoll(OpR, 1, &v), 0);
    EXPECT_EQ(PlcDataValid, 0);
    EXPECT_EQ(PollSequence, sequence + 1);
    PollSlotView slot = PollSlotAt(0);
    EXPECT_TRUE(slot.active);
    EXPECT_EQ(slot.type, OpR);
    EXPECT_EQ(slot.address, 1);
    EXPECT_EQ(slot.target, &v);
}

TEST_F(PlcLinkTest, ARemovedSlotIsReused)
{
    std::uint16_t v[6] = {};
    for (int i = 0; i < 5; ++i) {
        AddPoll(OpD, static_cast<std::uint16_t>(i), &v[i]);
    }
    PlcDataValid = 1;
    RemovePoll(3);
    EXPECT_EQ(PollCount, 4);
    EXPECT_EQ(PlcDataValid, 0);
    EXPECT_FALSE(PollSlotAt(3).active);
    EXPECT_EQ(AddPoll(OpD, 77, &v[5]), 3);
    EXPECT_EQ(PollSlotAt(3).address, 77);
}

TEST_F(PlcLinkTest, RemovingAFreeSlotChangesOnlyTheSequence)
{
    std::uint16_t v = 0;
    AddPoll(OpR, 1, &v);
    PlcDataValid = 1;
    std::uint16_t sequence = PollSequence;
    RemovePoll(5);
    RemovePoll(20);
    RemovePoll(255);
    EXPECT_EQ(PollCount, 1);
    EXPECT_EQ(PlcDataValid, 1);
    EXPECT_EQ(PollSequence, sequence + 3);
}

TEST_F(PlcLinkTest, SlotZeroIsASlotNotNone)
{
    std::uint16_t v = 0;
    EXPECT_EQ(AddPoll(OpR, 0, &v), 0);
    EXPECT_NE(kNoPollSlot, 0);
    EXPECT_EQ(kNoPollSlot, 255);
}

TEST_F(PlcLinkTest, AddPollRefusesWhatCannotBePolled)
{
    std::uint32_t v = 0;
    EXPECT_EQ(AddPoll(OpNone, 1, &v), kNoPollSlot);   // no name on the wire
    EXPECT_EQ(AddPoll(OpConst, 1, &v), kNoPollSlot);  // a constant is not read
    EXPECT_EQ(AddPoll(15, 1, &v), kNoPollSlot);
    EXPECT_EQ(AddPoll(OpR, 1, static_cast<void *>(nullptr)), kNoPollSlot);
    EXPECT_EQ(PollCount, 0);
}

TEST_F(PlcLinkTest, UpdatePollRewritesOnlyActiveSlots)
{
    std::uint16_t a = 0, b = 0;
    AddPoll(OpR, 1, &a);
    PlcDataValid = 1;
    std::uint16_t sequence = PollSequence;
    EXPECT_EQ(UpdatePoll(0, OpD, 9, &b), 0);
    EXPECT_EQ(PollSlotAt(0).type, OpD);
    EXPECT_EQ(PollSlotAt(0).address, 9);
    EXPECT_EQ(PollSlotAt(0).target, &b);
    EXPECT_EQ(PollSequence, sequence + 1);
    EXPECT_EQ(PlcDataValid, 1);  // not changed by UpdatePoll
    EXPECT_EQ(UpdatePoll(1, OpD, 9, &b), kNoPollSlot);
    EXPECT_EQ(UpdatePoll(20, OpD, 9, &b), kNoPollSlot);
    EXPECT_EQ(UpdatePoll(0, OpConst, 9, &b), kNoPollSlot);
    EXPECT_FALSE(PollSlotAt(1).active);
    EXPECT_EQ(PollSlotAt(0).type, OpD);
}

TEST_F(PlcLinkTest, ClearPollsEmptiesTheTable)
{
    std::uint16_t v = 0;
    AddPoll(OpR, 1, &v);
    AddPoll(OpR, 2, &v);
    PlcDataValid = 1;
    ClearPolls();
    EXPECT_EQ(PollCount, 0);
    EXPECT_EQ(PlcDataValid, 0);
    EXPECT_FALSE(PollSlotAt(0).active);
    EXPECT_EQ(AddPoll(OpR, 3, &v), 0);
}

TEST_F(PlcLinkTest, PollFrameWithAGap)
{
    std::uint16_t r = 0, d = 0;
    std::uint8_t x = 0;
    AddPoll(OpR, 100, &r);
    AddPoll(OpD, 5, &d);
    AddPoll(OpX, 7, &x);
    RemovePoll(1);
    std::uint8_t frame[kPollFrameCapacity];
    std::uint16_t n = BuildPollFrame(frame, "01");
    EXPECT_EQ(std::string(reinterpret_cast<char *>(frame), n), Framed("014802R00100X000793"));
    // Unchanged table: nothing rebuilt.
    EXPECT_EQ(BuildPollFrame(frame, "01"), 0);
}

TEST_F(PlcLinkTest, FullPollFrameFitsItsBuffer)
{
    std::uint32_t v[20] = {};
    for (std::uint16_t i = 0; i < 20; ++i) {
        AddPoll(OpDRC, 65535, &v[i]);  // the longest name any address gives
    }
    std::uint8_t frame[kPollFrameCapacity];
    EXPECT_EQ(BuildPollFrame(frame, "01"), kPollFrameCapacity);
}

// ---- station query and first poll ----

TEST_F(PlcLinkTest, StartOnlineLinkSendsTheStationQuery)
{
    StartOnlineLink();
    ASSERT_EQ(gSent.size(), 1u);
    EXPECT_EQ(gSent[0], Framed("FF150101>0FD7E5"));
    EXPECT_EQ(gRedraws, 1);
    ASSERT_EQ(gTracked.size(), 1u);  // the start counts as an empty call
    EXPECT_EQ(gTracked[0], 0);
}

TEST_F(PlcLinkTest, FirstPollWithNothingConfiguredReadsR0)
{
    Online();
    EXPECT_STREQ(LinkStation(), "01");
    EXPECT_EQ(Last(), Framed("014801R0000072"));
    EXPECT_EQ(PollCount, 1);
    EXPECT_EQ(PollSlotAt(0).address, 0);
}

TEST_F(PlcLinkTest, StationZeroBecomesOne)
{
    StartOnlineLink();
    Receive(Framed("011500100"
                   "BA"));
    EXPECT_STREQ(LinkStation(), "01");
}

TEST_F(PlcLinkTest, TheStationFromTheReplyIsUsed)
{
    StartOnlineLink();
    Receive(Closed("071500107"));
    EXPECT_STREQ(LinkStation(), "07");
    EXPECT_EQ(Last(), Closed("074801R00000"));
}

TEST_F(PlcLinkTest, ABadStationReplyKeepsTheQuery)
{
    StartOnlineLink();
    Receive(Framed("011500101"
                   "BC"));  // wrong checksum
    EXPECT_EQ(Last(), Framed("FF150101>0FD7E5"));
    Receive(Framed("01150F9"));  // complete frame, too short to carry a station
    EXPECT_EQ(Last(), Framed("FF150101>0FD7E5"));
    Timeout();
    EXPECT_EQ(Last(), Framed("FF150101>0FD7E5"));
    EXPECT_EQ(gSent.size(), 4u);
    Receive(Framed("011500101"
                   "BB"));
    EXPECT_EQ(Last(), Framed("014801R0000072"));
}

// ---- poll replies ----

TEST_F(PlcLinkTest, AGoodPollReplyStoresTheValues)
{
    Online();
    gScreenState = 14;  // waiting for the PLC
    Receive(Closed("014801234"));
    // The R0 scratch poll is the only slot; the flags and the engine calls follow.
    EXPECT_EQ(PlcDataValid, 1);
    EXPECT_EQ(PlcAnswered, 1);
    EXPECT_EQ(ValuesPending, 0);
    EXPECT_EQ(gStartMenu, 1);
    EXPECT_EQ(gAlarmValues, 1);
    EXPECT_EQ(gRedraws, 2);  // StartOnlineLink and the reply
    EXPECT_EQ(Last(), Framed("014801R0000072"));
}

TEST_F(PlcLinkTest, ValuesOfEveryWidthReachTheirTargets)
{
    Online();
    ClearPolls();
    std::uint8_t m = 9, s = 9;
    std::uint16_t r = 0, rt = 0;
    std::uint32_t dr = 0, drc = 0;
    AddPoll(OpM, 100, &m);
    AddPoll(OpR, 4128, &r);
    AddPoll(OpDR, 100, &dr);
    AddPoll(OpRT, 12, &rt);
    AddPoll(OpDRC, 200, &drc);
    AddPoll(OpS, 5, &s);
    Timeout();  // the rebuilt poll goes out
    EXPECT_EQ(Last(), Closed("014806M0100R04128DR00100RT00012DRC0200S0005"));
    ValuesPending = 1;
    Receive(Closed("014801"
                   "1F40"
                   "0001E240"
                   "FFFF"
                   "12345678"
                   "0"));
    EXPECT_EQ(m, 1);
    EXPECT_EQ(r, 8000);
    EXPECT_EQ(dr, 123456u);
    EXPECT_EQ(rt, 0xFFFF);
    EXPECT_EQ(drc, 0x12345678u);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(PlcDataValid, 1);
    EXPECT_EQ(ValuesPending, 0);
}

TEST_F(PlcLinkTest, ABitCharacterOtherThanZeroReadsOne)
{
    Online();
    ClearPolls();
    std::uint8_t x = 0, y = 0;
    AddPoll(OpX, 1, &x);
    AddPoll(OpY, 1, &y);
    Timeout();
    Receive(Closed("0148022"));
    Receive(Closed("01480"
                   "2"
                   "Q"));
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 1);
}

TEST_F(PlcLinkTest, TypedTargetsAreWrittenInTheirOwnWidth)
{
    Online();
    ClearPolls();
    std::uint8_t narrow[2] = {0, 0xEE};
    std::uint32_t wide = 0xFFFFFFFF;
    std::uint16_t byType[2] = {0, 0xEEEE};
    AddPoll(OpDR, 100, &narrow[0]);                    // u32 value cut to 8 bits
    AddPoll(OpR, 5, &wide);                            // u16 value zero-extended
    AddPoll(OpR, 6, static_cast<void *>(&byType[0]));  // void*: the width of R, 16 bits
    Timeout();
    Receive(Closed("01480"
                   "12345634"
                   "ABCD"
                   "0102"));
    EXPECT_EQ(narrow[0], 0x34);
    EXPECT_EQ(narrow[1], 0xEE);
    EXPECT_EQ(wide, 0xABCDu);
    EXPECT_EQ(byType[0], 0x0102);
    EXPECT_EQ(byType[1], 0xEEEE);
}

TEST_F(PlcLinkTest, AWrongChecksumStoresNothingAndThePollGoesAgain)
{
    Online();
    ClearPolls();
    std::uint16_t r = 7;
    AddPoll(OpR, 100, &r);
    Timeout();
    std::string poll = Last();
    EXPECT_EQ(poll, Closed("014801R00100"));
    Receive(Closed("0148004D2"));
    EXPECT_EQ(r, 1234);
    std::size_t sent = gSent.size();
    PlcDataValid = 0;
    std::string bad = Closed("01480162E");
    bad[bad.size() - 2] ^= 1;  // spoil the checksum
    Receive(bad);
    EXPECT_EQ(r, 1234);
    EXPECT_EQ(PlcDataValid, 0);
    ASSERT_EQ(gSent.size(), sent + 1);
    EXPECT_EQ(Last(), poll);
}

TEST_F(PlcLinkTest, IncompleteOrForeignPollRepliesStoreNothing)
{
    Online();
    ClearPolls();
    std::uint16_t r = 7;
    std::uint32_t dd = 7;
    AddPoll(OpR, 100, &r);
    AddPoll(OpDD, 10, &dd);
    Timeout();
    std::string poll = Last();
    const std::string bad[] = {
        Closed("014801234"),  // too short: the DD value is missing
        Closed("01480123400000001"
               "5"),  // one character too many
        Closed("024801234"
               "00000001"),  // another station
        Closed("014901234"
               "00000001"),  // the echoed command is not "48"
        Closed("0148012G4"
               "00000001"),  // not a hex digit
        Closed("01480123a"
               "00000001"),  // lower case is not a hex digit
        Closed("014811234"
               "00000001"),  // error character "1"
        Closed("01481"),     // error "1" without data
        Closed("01480"),     // no data at all
        Framed("014801234"
               "00000001"),                           // no checksum
        std::string("\x02") + "0148012340000000198",  // no ETX
        std::string("\x06"),
    };
    PlcDataValid = 0;
    PlcAnswered = 0;
    for (const std::string &b : bad) {
        Receive(b);
        EXPECT_EQ(r, 7) << b;
        EXPECT_EQ(dd, 7u) << b;
        EXPECT_EQ(Last(), poll) << b;
    }
    EXPECT_EQ(PlcDataValid, 0);
    EXPECT_EQ(PlcAnswered, 0);
    Receive(Closed("014801234"
                   "00000001"));
    EXPECT_EQ(r, 0x1234);
    EXPECT_EQ(dd, 1u);
    EXPECT_EQ(PlcDataValid, 1);
}

TEST_F(PlcLinkTest, ParsePollReplyResults)
{
    Online();
    ClearPolls();
    std::uint16_t r = 0;
    AddPoll(OpR, 1, &r);
    auto parse = [](const std::string &s) {
        return ParsePollReply(reinterpret_cast<const std::uint8_t *>(s.data()),
                              static_cast<std::uint16_t>(s.size()));
    };
    EXPECT_EQ(parse(Closed("0148000AB")), PollReplyOk);
    EXPECT_EQ(r, 0xAB);
    std::string badSum = Closed("0148000AB");
    badSum[badSum.size() - 3] ^= 1;
    EXPECT_EQ(parse(badSum), PollReplyBadChecksum);
    EXPECT_EQ(parse(Closed("0148100AB")), PollReplyError);
    EXPECT_EQ(parse(Closed("0148000A")), PollReplyMalformed);
    // Only "1" is an error: a "2" with whole data is taken, one without data is not.
    EXPECT_EQ(parse(Closed("0148100CD")), PollReplyError);
    EXPECT_EQ(r, 0xAB);
    EXPECT_EQ(parse(Closed("0148200CD")), PollReplyOk);
    EXPECT_EQ(r, 0xCD);
    EXPECT_EQ(parse(Closed("01482")), PollReplyMalformed);
}

// A PLC that refuses every poll is counted like silence: the time-out message comes
// on the fourth call without an answer, and the next reply that is not a refusal
// clears it. A refusal of a write, a "2" and a garbled block are answers.
TEST_F(PlcLinkTest, RefusedPollsCountAsNoAnswer)
{
    Online();
    gTracked.clear();
    Receive(Closed("01481"));
    Receive(Closed("0148100000"));
    Timeout();
    EXPECT_EQ(LinkEmptyCalls, 3);
    Receive(Closed("01482"));
    Receive("x");
    Receive(Closed("014800000"));
    EXPECT_EQ(gTracked, (std::vector<std::uint16_t>{0, 0, 0, 9, 1, 13}));
    EXPECT_EQ(LinkEmptyCalls, 0);

    std::uint16_t v = 1;
    WriteOperand(OpR, 100, &v, 1);
    Receive(Closed("014800000"));  // the write goes out
    gTracked.clear();
    Receive(Framed("0149101"));
    EXPECT_EQ(gTracked, std::vector<std::uint16_t>{9});
}

TEST_F(PlcLinkTest, AReplyToAnOlderTableIsDropped)
{
    Online();
    ClearPolls();
    std::uint16_t a = 7, b = 7;
    AddPoll(OpR, 1, &a);
    Timeout();
    EXPECT_EQ(Last(), Closed("014801R00001"));
    AddPoll(OpR, 2, &b);  // the table changes while the poll is on the line
    PlcDataValid = 0;
    Receive(Closed("0148000011"));
    EXPECT_EQ(a, 7);
    EXPECT_EQ(PlcDataValid, 0);
    EXPECT_EQ(Last(), Closed("014802R00001R00002"));
    Receive(Closed("014800011"
                   "0022"));
    EXPECT_EQ(a, 0x11);
    EXPECT_EQ(b, 0x22);
    EXPECT_EQ(PlcDataValid, 1);
}

TEST_F(PlcLinkTest, AChangedTableIsSentAfterATimeOut)
{
    Online();
    std::uint16_t b = 0;
    AddPoll(OpR, 2, &b);
    Timeout();
    EXPECT_EQ(Last(), Closed("014802R00000R00002"));
}

TEST_F(PlcLinkTest, NoRedrawInThePictureSaver)
{
    Online();
    gScreenState = 5;
    int before = gRedraws;
    Receive(Closed("014800000"));
    EXPECT_EQ(gRedraws, before);
    EXPECT_EQ(PlcDataValid, 1);
}

TEST_F(PlcLinkTest, TheAlarmRunsAfterEachPollReplyWhenConfigured)
{
    LinkConfig.alarmNumber = {OpR, 10};
    Online();
    EXPECT_EQ(Last(), Closed("014801R00010"));
    gScreenState = 0;  // startup: no alarm
    Receive(Closed("014800003"));
    EXPECT_EQ(CurrentAlarmNumber, 3);
    EXPECT_EQ(gProcessAlarm, 0);
    gScreenState = 1;
    Receive(Closed("014800004"));
    EXPECT_EQ(gProcessAlarm, 1);
    Receive(Closed("014800004") + "x");  // a bad reply: the alarm still runs
    EXPECT_EQ(gProcessAlarm, 2);
    EXPECT_EQ(CurrentAlarmNumber, 4);
}

TEST_F(PlcLinkTest, StateFourteenLeavesForTheMenuAndThenRunsTheAlarm)
{
    LinkConfig.alarmNumber = {OpR, 10};
    Online();
    gScreenState = 14;
    Receive(Closed("014800000"));
    EXPECT_EQ(gStartMenu, 1);
    EXPECT_EQ(gProcessAlarm, 1);  // the state is the menu's by then
}

// ---- standard polls ----

TEST_F(PlcLinkTest, StandardPollsInOrder)
{
    std::uint16_t saver = 0, locationSlot = 0;
    std::uint32_t p1 = 5, p2 = 5, location = 0;
    LinkConfig.alarmNumber = {OpR, 10};
    LinkConfig.saverTime = {OpD, 20};
    LinkConfig.saverMinutes = &saver;
    LinkConfig.password = {OpD, 1000};
    LinkConfig.password1 = &p1;
    LinkConfig.password2 = &p2;
    LinkConfig.menuLocation = {OpR, 30};
    LinkConfig.menuLocationValue = &location;
    LinkConfig.menuLocationSlot = &locationSlot;
    Online();
    EXPECT_EQ(Last(), Closed("014805R00010D00020D01000D01001R00030"));
    EXPECT_EQ(locationSlot, 4);
    Receive(Closed("014800003"
                   "0002"
                   "1234"
                   "5678"
                   "00AB"));
    EXPECT_EQ(CurrentAlarmNumber, 3);
    EXPECT_EQ(saver, 2);
    EXPECT_EQ(p1, 0x1234u);
    EXPECT_EQ(p2, 0x5678u);
    EXPECT_EQ(location, 0xABu);
}

TEST_F(PlcLinkTest, ThirtyTwoBitPasswordsTakeTwoRegistersEach)
{
    std::uint32_t p1 = 0, p2 = 0;
    LinkConfig.password = {OpDR, 1000};
    LinkConfig.password1 = &p1;
    LinkConfig.password2 = &p2;
    Online();
    EXPECT_EQ(Last(), Closed("014802DR01000DR01002"));
    Receive(Closed("01480"
                   "0001E240"
                   "FFFFFFFF"));
    EXPECT_EQ(p1, 123456u);
    EXPECT_EQ(p2, 0xFFFFFFFFu);
}

TEST_F(PlcLinkTest, NoPasswordSetsBothValuesToZeroAndAConstantSaverIsNotPolled)
{
    std::uint16_t saver = 9, locationSlot = 0;
    std::uint32_t p1 = 5, p2 = 5;
    LinkConfig.saverTime = {OpConst, 10};
    LinkConfig.saverMinutes = &saver;
    LinkConfig.password1 = &p1;
    LinkConfig.password2 = &p2;
    LinkConfig.menuLocationSlot = &locationSlot;
    Online();
    EXPECT_EQ(p1, 0u);
    EXPECT_EQ(p2, 0u);
    EXPECT_EQ(locationSlot, kNoPollSlot);
    EXPECT_EQ(Last(), Framed("014801R0000072"));
    EXPECT_EQ(saver, 9);
}

TEST_F(PlcLinkTest, TheStationReplyClearsEarlierPolls)
{
    std::uint16_t v = 0;
    AddPoll(OpD, 50, &v);
    Online();
    EXPECT_EQ(Last(), Framed("014801R0000072"));
}

// ---- one-shot writes ----

TEST_F(PlcLinkTest, WriteOperandGoesOutAfterTheNextReply)
{
    Online();
    Receive(Closed("014800000"));
    std::uint16_t value = 0x1234;
    std::uint16_t sequence = PollSequence;
    PlcDataValid = 1;
    EXPECT_EQ(WriteOperand(OpR, 100, &value, 1), 1);
    value = 0;  // copied at once
    EXPECT_EQ(WriteBusy, 2);
    EXPECT_EQ(PlcDataValid, 0);
    EXPECT_EQ(PollSequence, sequence + 1);
    Receive(Closed("014800000"));  // the poll's reply (stale now: not taken)
    EXPECT_EQ(Last(), Framed("014901R0010012343E"));
    EXPECT_EQ(PlcDataValid, 0);
    Receive(Framed("0149000"));
    EXPECT_EQ(WriteBusy, 0);
    EXPECT_EQ(Last(), Framed("014801R0000072"));
    Receive(Closed("014800000"));
    EXPECT_EQ(PlcDataValid, 1);
}

TEST_F(PlcLinkTest, WriteOperandGoesOutAfterATimeOut)
{
    Online();
    std::uint16_t value = 0x1234;
    WriteOperand(OpR, 100, &value, 1);
    Timeout();
    EXPECT_EQ(Last(), Framed("014901R0010012343E"));
}

TEST_F(PlcLinkTest, WriteValuesOfEveryWritableKind)
{
    Online();
    std::uint8_t one = 1, zero = 0, many = 0x80;
    std::uint16_t word = 0xBEEF;
    std::uint32_t dword = 0x0001E240;
    struct Case {
        std::uint8_t type;
        std::uint16_t address;
        const void *value;
        std::string frame;
    };
    const Case cases[] = {
        {OpM, 100, &one, Framed("014901M0100170")},
        {OpM, 100, &zero, Closed("014901M01000")},
        {OpX, 7, &many, Closed("014901X00071")},
        {OpY, 255, &one, Closed("014901Y02551")},
        {OpR, 3000, &word, Closed("014901R03000BEEF")},
        {OpD, 1, &word, Closed("014901D00001BEEF")},
        {OpDR, 100, &dword, Closed("014901DR001000001E240")},
        {OpDD, 3070, &dword, Closed("014901DD030700001E240")},
    };
    for (const Case &c : cases) {
        ASSERT_EQ(WriteOperand(c.type, c.address, c.value, 1), 1);
        Timeout();
        EXPECT_EQ(Last(), c.frame);
        Receive(Framed("0149000"));
        EXPECT_EQ(WriteBusy, 0);
    }
}

TEST_F(PlcLinkTest, AWriteWhileOneIsPendingIsRefused)
{
    Online();
    std::uint16_t a = 1, b = 2;
    EXPECT_EQ(WriteOperand(OpR, 1, &a, 1), 1);
    std::uint16_t sequence = PollSequence;
    PlcDataValid = 1;
    EXPECT_EQ(WriteOperand(OpR, 2, &b, 1), 0);
    EXPECT_EQ(PollSequence, sequence);
    EXPECT_EQ(PlcDataValid, 1);
    Timeout();
    EXPECT_EQ(Last(), Closed("014901R000010001"));
}

TEST_F(PlcLinkTest, KindsWithoutAWriteEncodingAreRefused)
{
    Online();
    std::uint32_t v = 1;
    const std::uint8_t types[] = {OpNone, OpConst, OpS, OpT, OpC, OpRT, OpRC, OpDRC, 15};
    for (std::uint8_t type : types) {
        EXPECT_EQ(WriteOperand(type, 1, &v, 1), 0) << int(type);
        EXPECT_EQ(WriteBusy, 0) << int(type);
    }
    EXPECT_EQ(WriteOperand(OpR, 1, nullptr, 1), 0);
    EXPECT_EQ(WriteOperand(OpR, 1, &v, 0), 0);
    EXPECT_EQ(WriteOperand(OpR, 1, &v, 2), 0);
    EXPECT_EQ(WriteBusy, 0);
    std::uint16_t w = 5;
    EXPECT_EQ(WriteOperand(OpR, 1, &w, 1), 1);  // the link is still free for a real write
}

TEST_F(PlcLinkTest, AnUnansweredWriteIsSentAgainThenDropped)
{
    Online();
    std::uint16_t v = 0x1234;
    WriteOperand(OpR, 100, &v, 1);
    int writes = 0;
    for (int i = 0; i < 20 && WriteBusy != 0; ++i) {
        Timeout();
        if (Last() == Framed("014901R0010012343E")) {
            ++writes;
        }
    }
    EXPECT_EQ(writes, kMaxWriteTries);
    EXPECT_EQ(WriteBusy, 0);
    EXPECT_EQ(WriteDropCount, 1u);
    ASSERT_EQ(gDropped.size(), 1u);
    EXPECT_EQ(gDropped[0], std::make_pair(int(OpR), 100));
    EXPECT_EQ(Last(), Framed("014801R0000072"));  // back to polling
    EXPECT_EQ(WriteOperand(OpR, 100, &v, 1), 1);
}

TEST_F(PlcLinkTest, ARefusedWriteIsRetriedThenDropped)
{
    Online();
    std::uint16_t v = 0x1234;
    WriteOperand(OpR, 100, &v, 1);
    Timeout();
    int writes = 1;
    while (WriteBusy != 0 && writes < 20) {
        Receive(Framed("0149101"));
        if (Last() == Framed("014901R0010012343E")) {
            ++writes;
        }
    }
    EXPECT_EQ(writes, kMaxWriteTries);
    EXPECT_EQ(WriteDropCount, 1u);
}

TEST_F(PlcLinkTest, ARefusedWriteThatThenSucceedsIsDone)
{
    Online();
    std::uint16_t v = 0x1234;
    WriteOperand(OpR, 100, &v, 1);
    Timeout();
    Receive(Framed("0149101"));
    EXPECT_EQ(Last(), Framed("014901R0010012343E"));
    Receive(Framed("0149000"));
    EXPECT_EQ(WriteBusy, 0);
    EXPECT_EQ(WriteDropCount, 0u);
}

TEST_F(PlcLinkTest, ALatePollReplyNeverConfirmsAWrite)
{
    Online();
    std::uint16_t v = 0x1234;
    WriteOperand(OpR, 100, &v, 1);
    Timeout();  // the poll timed out; the write goes out
    EXPECT_EQ(Last(), Framed("014901R0010012343E"));
    Receive(Closed("014800000"));  // the poll's late reply arrives now
    EXPECT_EQ(WriteBusy, 2);
    EXPECT_EQ(Last(), Framed("014901R0010012343E"));  // sent again
    Receive(Framed("0149000"));
    EXPECT_EQ(WriteBusy, 0);
}

TEST_F(PlcLinkTest, AWriteReplyFromAnotherStationIsNotTaken)
{
    Online();
    std::uint16_t v = 1;
    WriteOperand(OpR, 100, &v, 1);
    Timeout();
    Receive(Closed("02490"));
    EXPECT_EQ(WriteBusy, 2);
}

TEST_F(PlcLinkTest, AnOversizeBlockWhileTheWriteIsOnTheLineCountsAsAFailure)
{
    Online();
    std::uint16_t v = 1;
    WriteOperand(OpR, 100, &v, 1);
    Timeout();
    std::string huge(200, 'A');
    for (int i = 1; i < kMaxWriteTries; ++i) {
        Receive(huge);
        EXPECT_EQ(Last(), Closed("014901R001000001"));
    }
    Receive(huge);
    EXPECT_EQ(WriteBusy, 0);
    EXPECT_EQ(Last(), Framed("014801R0000072"));
}

TEST_F(PlcLinkTest, AWriteWaitsForTheStation)
{
    StartOnlineLink();
    std::uint16_t v = 0x1234;
    EXPECT_EQ(WriteOperand(OpR, 100, &v, 1), 1);
    Timeout();
    EXPECT_EQ(Last(), Framed("FF150101>0FD7E5"));  // no station yet: the query goes on
    Receive(Framed("011500101"
                   "BB"));
    EXPECT_EQ(Last(), Framed("014901R0010012343E"));
    EXPECT_EQ(WriteBusy, 2);
}

TEST_F(PlcLinkTest, ClearPollsCancelsAQueuedWrite)
{
    Online();
    std::uint16_t v = 1;
    WriteOperand(OpR, 100, &v, 1);
    ClearPolls();
    EXPECT_EQ(WriteBusy, 0);
    Timeout();
    EXPECT_EQ(Last(), Closed("014800"));  // the empty table's poll, no write
}

TEST_F(PlcLinkTest, AReplyToACancelledWriteDoesNotConfirmTheNextOne)
{
    Online();
    std::uint16_t a = 1, b = 2;
    WriteOperand(OpR, 100, &a, 1);
    Timeout();  // write a on the line
    ClearPolls();
    EXPECT_EQ(WriteOperand(OpR, 200, &b, 1), 1);
    Receive(Framed("0149000"));  // a's reply
    EXPECT_EQ(WriteBusy, 2);
    EXPECT_EQ(Last(), Closed("014901R002000002"));
    Receive(Framed("0149000"));
    EXPECT_EQ(WriteBusy, 0);
}

TEST_F(PlcLinkTest, OfflineAWriteStaysQueued)
{
    std::uint16_t v = 1;
    SendFrameHook = nullptr;
    EXPECT_EQ(WriteOperand(OpR, 100, &v, 1), 1);
    EXPECT_EQ(WriteOperand(OpR, 101, &v, 1), 0);
    EXPECT_TRUE(gSent.empty());
}

// ---- LinkReceive ----

TEST_F(PlcLinkTest, WithoutASendHookNothingIsSentAndNothingBreaks)
{
    SendFrameHook = nullptr;
    StartOnlineLink();
    Receive(Framed("011500101"
                   "BB"));
    Timeout();
    EXPECT_TRUE(gSent.empty());
    EXPECT_STREQ(LinkStation(), "01");
}

TEST_F(PlcLinkTest, OversizeBlocksAreIgnored)
{
    Online();
    std::uint16_t r = 0;
    ClearPolls();
    AddPoll(OpR, 1, &r);
    Timeout();
    std::string reply = Closed("01480"
                               "0005");
    std::string padded = reply + std::string(200 - reply.size(), ' ');
    std::size_t sent = gSent.size();
    Receive(padded);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(gSent.size(), sent + 1);
    Receive(std::string(199 - reply.size(), ' ') + reply);  // 199 bytes are taken, but not this
    EXPECT_EQ(r, 0);
    Receive(reply);
    EXPECT_EQ(r, 5);
}

TEST_F(PlcLinkTest, EveryCallSendsExactlyOneFrame)
{
    Online();
    const std::string blocks[] = {"", "x", Closed("014800000"), Framed("0149000"), std::string(500, 'x')};
    for (const std::string &b : blocks) {
        std::size_t sent = gSent.size();
        if (b.empty()) {
            Timeout();
        } else {
            Receive(b);
        }
        EXPECT_EQ(gSent.size(), sent + 1);
    }
}

TEST_F(PlcLinkTest, ReentryDoesNothing)
{
    Online();
    gReenterOnRedraw = true;
    std::size_t sent = gSent.size();
    Receive(Closed("014800000"));  // the redraw hook calls LinkReceive inside
    EXPECT_EQ(gSent.size(), sent + 1);
}

// A send hook that throws once does not leave the link silent.
TEST_F(PlcLinkTest, TheLinkSendsAgainAfterAThrowingSendHook)
{
    Online();
    SendFrameHook = [](const std::uint8_t *, std::uint16_t) { throw std::runtime_error("port gone"); };
    EXPECT_THROW(Timeout(), std::runtime_error);
    SendFrameHook = CaptureSend;
    const std::size_t sent = gSent.size();
    Timeout();
    EXPECT_EQ(gSent.size(), sent + 1);
}

TEST_F(PlcLinkTest, EmptyCallsAreCountedAndReported)
{
    StartOnlineLink();
    Timeout();
    Timeout();
    EXPECT_EQ(LinkEmptyCalls, 3);
    Receive("x");
    EXPECT_EQ(LinkEmptyCalls, 0);
    EXPECT_EQ(gTracked, (std::vector<std::uint16_t>{0, 0, 0, 1}));
}

TEST_F(PlcLinkTest, LinkInitClearsTheGlobals)
{
    Online();
    CurrentAlarmNumber = 3;
    PlcAnswered = PlcDataValid = ValuesPending = 1;
    AlarmHoldoffTicks = 300;
    LinkInit();
    EXPECT_EQ(CurrentAlarmNumber, 0);
    EXPECT_EQ(PlcAnswered, 0);
    EXPECT_EQ(PlcDataValid, 0);
    EXPECT_EQ(ValuesPending, 0);
    EXPECT_EQ(AlarmHoldoffTicks, 0u);
    EXPECT_EQ(PollCount, 0);
    EXPECT_EQ(WriteBusy, 0);
    EXPECT_STREQ(LinkStation(), "");
}
