// The clock saver, the alarm message and the link time-out message: the clock
// glyphs and their positions, the alarm lines with their values, acknowledgement and
// hold-off, and the time-out message with its blinking, offline and online.
#include "RuntimeTestImages.h"

#include "LinkScreens.h"
#include "PanelLcdDriver.h"
#include "PatternText.h"
#include "PlcLink.h"
#include "RuntimeOnline.h"

#include <stdexcept>

using namespace runtime;
using simplc::Fault;
using simplc::FaultRule;
using simplc::SimPlc;

namespace {

// A clock glyph as RuntimeScript::Area shows it, the first columns columns only.
std::string ClockCell(uint32_t glyph, int columns = kClockGlyphWidth)
{
    std::string out;
    for (int r = 0; r < kClockGlyphHeight; ++r) {
        for (int c = 0; c < columns; ++c)
            out += ClockGlyphPixel(glyph, c, r) ? '#' : '.';
        out += '\n';
    }
    return out;
}

// The loaded text as characters (glyph index = character code).
std::string LoadedText()
{
    std::string out;
    for (uint16_t i = 0; i < gEngine.text.length; ++i)
        out += static_cast<char>(gEngine.text.glyphs[i]);
    return out;
}

class LinkScreensTest : public ::testing::Test {
protected:
    // A root of two sub-menus, alarm 1 "Temp ^ C" / "Level" / "^^" with values in
    // R10, R11, R12, alarm 2 "Door open" without values, the alarm number in R5.
    TestProject Project(int model = 0)
    {
        TestProject project = NewTestProject(model);
        AddSubMenu(project.MainMenu, QStringLiteral("One"));
        AddSubMenu(project.MainMenu, QStringLiteral("Two"));
        AddAlarm(project.Alarms, 1,
                 {QStringLiteral("Temp ^ C"), QStringLiteral("Level"), QStringLiteral("^^")},
                 {QStringLiteral("R10"), QStringLiteral("R11"), QStringLiteral("R12")});
        AddAlarm(project.Alarms, 2, {QStringLiteral("Door open")});
        Configure(project, {{"AlarmIndex", "R5"}});
        return project;
    }

    void Start(TestProject &project, int model = 0)
    {
        ASSERT_EQ(script.Start(CompileForRuntime(project, model), uint8_t(model)), LoadOk);
        script.Run("p");
        ASSERT_EQ(EngineScreenState(), StateMenuList);
    }

    void SetClock(uint16_t seconds, uint16_t minutes, uint16_t hours, uint16_t day, uint16_t month,
                  uint16_t year)
    {
        const uint16_t values[kClockValues] = {seconds, minutes, hours, day, month, year};
        std::copy(values, values + kClockValues, gEngine.clock);
    }

    // The time-out message is on the panel; once the PLC answers again it goes
    // and the menu comes back.
    void ExpectMessageUntilTheLineRecovers(SimPlc &plc, RuntimeOnline &online)
    {
        EXPECT_EQ(online.script.Area(31, 10, 65, 12), PatternText("Communication"));
        plc.ClearFaults();
        online.Step();
        EXPECT_EQ(TimeoutShown, 0);
        ASSERT_TRUE(online.RunUntilMenu());
        EXPECT_EQ(online.script.Area(60, 17, 15, 12), PatternText("One"));
    }

    RuntimeScript script;
};

}  // namespace

// ---- clock saver ---------------------------------------------------------------

TEST_F(LinkScreensTest, ClockGlyphsHaveTheirShapes)
{
    for (int r = 0; r < kClockGlyphHeight; ++r) {
        for (int c = 0; c < kClockGlyphWidth; ++c)
            EXPECT_EQ(ClockGlyphPixel(1, c, r), c >= 9 && c <= 12) << "1 is a bar in columns 9 to 12";
    }
    // 8: columns 1..22, every row; the middle column crosses three segments 4 thick.
    std::string middle;
    for (int r = 0; r < kClockGlyphHeight; ++r)
        middle += ClockGlyphPixel(8, 11, r) ? '#' : '.';
    EXPECT_EQ(middle, "####..........####..........####");
    EXPECT_EQ(ClockCell(8).find_first_of('#') % 25, 2u);
    for (int r = 0; r < kClockGlyphHeight; ++r) {
        int lit = 0;
        for (int c = 0; c < kClockGlyphWidth; ++c)
            lit += ClockGlyphPixel(8, c, r);
        EXPECT_GT(lit, 0) << r;
    }
    for (uint32_t g = 0; g < 10; ++g) {
        for (int r = 0; r < kClockGlyphHeight; ++r) {
            EXPECT_FALSE(ClockGlyphPixel(g, 0, r) || ClockGlyphPixel(g, 23, r)) << g;
        }
        for (uint32_t h = 0; h < g; ++h)
            EXPECT_NE(ClockCell(g), ClockCell(h)) << g << " " << h;
    }
    // The colon: two 4 x 4 dots with cut corners.
    int colon = 0;
    for (int r = 0; r < kClockGlyphHeight; ++r) {
        for (int c = 0; c < kClockGlyphWidth; ++c)
            colon += ClockGlyphPixel(kClockColon, c, r);
    }
    EXPECT_EQ(colon, 24);
    EXPECT_EQ(ClockCell(kClockColon, 4).substr(7 * 5, 4 * 5), ".##.\n####\n####\n.##.\n");
    EXPECT_TRUE(ClockGlyphPixel(kClockColon, 1, 20));
    EXPECT_FALSE(ClockGlyphPixel(11, 10, 10)) << "no glyph beyond the table";
}

TEST_F(LinkScreensTest, ClockShowsNineOFiveAndTheDate)
{
    TestProject project = Project();
    Start(project);
    SetClock(14, 5, 9, 28, 3, 11);
    DrawClockSaver(1);
    EXPECT_EQ(script.LitCount(0, 30, 32, 32), 0) << "no tens of hours before 10";
    EXPECT_EQ(script.Area(32, 30, 24, 32), ClockCell(9));
    EXPECT_EQ(script.Area(59, 30, 6, 32), ClockCell(kClockColon, 6));
    EXPECT_EQ(script.Area(65, 30, 24, 32), ClockCell(0));
    EXPECT_EQ(script.Area(93, 30, 24, 32), ClockCell(5));
    EXPECT_EQ(script.Area(40, 3, 70, 12), PatternText("3/28/2011   14"));

    SetClock(7, 47, 22, 1, 12, 24);
    DrawClockSaver(0);
    EXPECT_EQ(script.Area(4, 30, 24, 32), ClockCell(2));
    EXPECT_EQ(script.Area(32, 30, 24, 32), ClockCell(2));
    EXPECT_EQ(script.LitCount(56, 30, 9, 32), 0) << "no colon";
    EXPECT_EQ(script.Area(40, 3, 70, 12), PatternText("12/1/2024   07"));
}

TEST_F(LinkScreensTest, ClockValuesOutOfRangeStayInTheTable)
{
    TestProject project = Project();
    Start(project);
    SetClock(65535, 300, 65535, 65535, 65535, 65535);
    DrawClockSaver(1);
    EXPECT_EQ(script.Area(4, 30, 24, 32), ClockCell(3)) << "65535 shows its last two digits";
    EXPECT_EQ(script.Area(32, 30, 24, 32), ClockCell(5));
    EXPECT_EQ(script.Area(65, 30, 24, 32), ClockCell(0));
    EXPECT_EQ(script.Area(93, 30, 24, 32), ClockCell(0));
    EXPECT_EQ(script.Area(40, 3, 85, 12), PatternText("65535/65535/67535"));
}

TEST_F(LinkScreensTest, ClockSaverPollsTheClockRegistersOnline)
{
    SimPlc plc;
    const uint16_t clock[kClockValues] = {14, 5, 9, 28, 3, 11};
    for (int i = 0; i < kClockValues; ++i)
        plc.SetReg(static_cast<uint16_t>(kClockFirstRegister + i), clock[i]);
    TestProject project = Project();
    Configure(project, {{"ScreenSaverActiveTime", "1"}, {"SaverEffect", "3"}});
    RuntimeOnline online(plc);
    ASSERT_EQ(online.Start(CompileForRuntime(project), 0), LoadOk);
    ASSERT_TRUE(online.RunUntilMenu());
    ASSERT_TRUE(online.RunUntil([] { return EngineScreenState() == StateClockSaver; }, 700));
    for (int i = 0; i < kClockValues; ++i) {
        const PollSlotView slot = PollSlotAt(ClockPollSlots[i]);
        EXPECT_TRUE(slot.active);
        EXPECT_EQ(slot.type, OpR);
        EXPECT_EQ(slot.address, kClockFirstRegister + i);
    }
    ASSERT_TRUE(online.RunUntil([] { return PlcDataValid == 1 && gEngine.clock[2] == 9; }));
    EXPECT_EQ(gEngine.clock[4], 3);
    gEngine.redraw = 1;
    online.script.Run("p");
    EXPECT_EQ(online.script.Area(32, 30, 24, 32), ClockCell(9));
    EXPECT_EQ(online.script.Area(40, 3, 70, 12), PatternText("3/28/2011   14"));

    const uint8_t polls = PollCount;
    online.script.Run("d d");
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    EXPECT_EQ(PollCount, polls - kClockValues);
    for (uint16_t slot : ClockPollSlots)
        EXPECT_EQ(slot, kNoPollSlot);
}

// ---- time-out message ----------------------------------------------------------

TEST_F(LinkScreensTest, TimeoutMessageShowsOnTheFourthEmptyCallAndBlinks)
{
    TestProject project = Project();
    Start(project);
    const int flushes = script.Flushes();
    for (int i = 0; i < 3; ++i)
        TrackLinkTimeout(0);
    EXPECT_EQ(TimeoutShown, 0);
    EXPECT_EQ(script.Flushes(), flushes);
    TrackLinkTimeout(0);
    EXPECT_EQ(TimeoutShown, 1);
    EXPECT_EQ(script.Flushes(), flushes + 1);
    EXPECT_EQ(script.Area(31, 10, 65, 12), PatternText("Communication"));
    EXPECT_EQ(script.Area(21, 30, 85, 12), PatternText("Timeout Error !!!"));
    TrackLinkTimeout(0);
    EXPECT_EQ(script.Flushes(), flushes + 1) << "shown once, then blinked by the tick";

    gEngine.redraw = 1;
    script.Run("p");
    EXPECT_EQ(script.Flushes(), flushes + 1) << "the paint leaves the message alone";
    script.Run("6t");
    EXPECT_EQ(script.Flushes(), flushes + 2);
    EXPECT_EQ(script.LitCount(0, 0, 128, 64), 0) << "the blank phase";
    script.Run("6t");
    EXPECT_EQ(script.Area(31, 10, 65, 12), PatternText("Communication"));

    TrackLinkTimeout(12);
    EXPECT_EQ(TimeoutShown, 0);
    EXPECT_EQ(TimeoutEmptyCalls, 0);
    script.Run("p");
    EXPECT_EQ(script.Area(60, 17, 15, 12), PatternText("One")) << "the menu comes back";
}

// A display hook that throws once does not leave the tick dead.
TEST_F(LinkScreensTest, TheTickRunsAgainAfterAThrowingFlush)
{
    TestProject project = Project();
    Start(project);
    for (int i = 0; i < 4; ++i)
        TrackLinkTimeout(0);
    ASSERT_EQ(TimeoutShown, 1);
    const auto flush = FlushDisplayHook;
    FlushDisplayHook = []() -> int { throw std::runtime_error("display gone"); };
    EXPECT_THROW(script.Run("6t"), std::runtime_error);
    FlushDisplayHook = flush;
    const int flushes = script.Flushes();
    script.Run("6t");
    EXPECT_EQ(script.Flushes(), flushes + 1);
}

TEST_F(LinkScreensTest, TimeoutFollowsTheLinkAndStartCountsAsAnEmptyCall)
{
    SimPlc plc;
    plc.AddFault(FaultRule(Fault::Drop, -1));
    TestProject project = Project();
    RuntimeOnline online(plc);
    ASSERT_EQ(online.Start(CompileForRuntime(project), 0), LoadOk);
    EXPECT_EQ(TimeoutEmptyCalls, 1);
    online.Step();
    online.Step();
    EXPECT_EQ(TimeoutShown, 0);
    online.Step();
    EXPECT_EQ(TimeoutShown, 1);
    ExpectMessageUntilTheLineRecovers(plc, online);
}

// A PLC that refuses every poll leaves no blank panel: the message comes as for
// silence, and the first poll it answers clears it.
TEST_F(LinkScreensTest, APlcRefusingEveryPollShowsTheMessage)
{
    SimPlc plc;
    plc.AddFault(FaultRule(Fault::Error1, -1, "48"));
    TestProject project = Project();
    RuntimeOnline online(plc);
    ASSERT_EQ(online.Start(CompileForRuntime(project), 0), LoadOk);
    ASSERT_TRUE(online.RunUntil([] { return TimeoutShown != 0; }, 6));
    ExpectMessageUntilTheLineRecovers(plc, online);
}

// ---- alarms --------------------------------------------------------------------

TEST_F(LinkScreensTest, AlarmValuesAreInsertedAtTheMarkOrAppended)
{
    TestProject project = Project();
    AddAlarm(project.Alarms, 3, {QStringLiteral("^") + QString(254, QLatin1Char('x'))},
             {QStringLiteral("D1")});
    Start(project);
    const AlarmTableEntry &alarm = gImage.alarms[0];
    InsertAlarmValue(alarm.stringLoc[0], 25);
    EXPECT_EQ(LoadedText(), "Temp  25  C");
    InsertAlarmValue(alarm.stringLoc[1], 7);
    EXPECT_EQ(LoadedText(), "Level 7");
    InsertAlarmValue(alarm.stringLoc[2], 1);
    EXPECT_EQ(LoadedText(), " 1 ^");
    InsertAlarmValue(kNoLoc, 3);
    EXPECT_EQ(LoadedText(), " 3");

    InsertAlarmValue(gImage.alarms[2].stringLoc[0], 65535);
    ASSERT_EQ(gEngine.text.length, 261);
    EXPECT_LE(gEngine.text.length, kTextCapacity);
    EXPECT_EQ(LoadedText(), " 65535 " + std::string(254, 'x'));
}

TEST_F(LinkScreensTest, OfflineAlarmShowsAtOnceBlinksAndIsAcknowledged)
{
    TestProject project = Project();
    Start(project);
    CurrentAlarmNumber = 1;  // the simulator's alarm trigger
    script.Run("p");
    ASSERT_EQ(AlarmShown, 1);
    EXPECT_EQ(gEngine.displayHeld, 1);
    EXPECT_EQ(AlarmValuesPending, 0);
    // Lines at y 5, 23 and 41, each centred on 64.
    EXPECT_EQ(script.Area(39, 5, 50, 12), PatternText("Temp  0  C"));
    EXPECT_EQ(script.Area(47, 23, 35, 12), PatternText("Level 0"));
    EXPECT_EQ(script.Area(54, 41, 20, 12), PatternText(" 0 ^"));

    AlarmValues[0] = 25;  // as a poll would store it
    script.Run("4t");
    EXPECT_EQ(script.Area(37, 5, 55, 12), PatternText("Temp  25  C"));
    const bool framed = script.Pixel(0, 0);
    script.Run("4t");
    EXPECT_NE(script.Pixel(0, 0), framed) << "the frame blinks every 4 ticks";
    EXPECT_EQ(script.Pixel(1, 63), script.Pixel(0, 0));

    script.Run("O");
    EXPECT_EQ(AlarmShown, 1) << "OK released does not acknowledge";
    script.Run("d");
    EXPECT_EQ(AlarmShown, 0);
    EXPECT_EQ(CurrentAlarmNumber, 0);
    EXPECT_EQ(AlarmHoldoffTicks, 300u);
    EXPECT_EQ(gEngine.displayHeld, 0);
    EXPECT_EQ(gEngine.selected[0], 0u) << "the acknowledging key does nothing else";
    script.Run("p");
    EXPECT_EQ(script.Area(60, 17, 15, 12), PatternText("One"));

    // Raised again within the hold-off: only the blinking mark in the title.
    CurrentAlarmNumber = 1;
    script.Run("p");
    EXPECT_EQ(AlarmShown, 0);
    EXPECT_EQ(AlarmRepeatPending, 1);
    script.Run("4t p");
    const int mark = script.LitCount(94, 0, 5, 12);
    script.Run("4t p");
    EXPECT_NE(script.LitCount(94, 0, 5, 12), mark);
    EXPECT_GT(std::max(mark, script.LitCount(94, 0, 5, 12)), 0);
    script.Run("280f");
    EXPECT_EQ(AlarmShown, 0);
    script.Run("20f");
    EXPECT_EQ(AlarmShown, 1) << "after 300 ticks the alarm shows again";
    EXPECT_EQ(AlarmRepeatPending, 0);
    script.Run("e");
    CurrentAlarmNumber = 2;
    script.Run("p");
    EXPECT_EQ(AlarmShown, 1) << "another alarm shows at once";
    EXPECT_EQ(script.Area(42, 5, 45, 12), PatternText("Door open"));
}

TEST_F(LinkScreensTest, AlarmsWithoutTextAreAcknowledgedAtOnce)
{
    TestProject project = Project();
    Start(project);
    for (uint16_t number : {5, 64, 65, 65535}) {
        CurrentAlarmNumber = number;
        AlarmHoldoffTicks = 0;
        const int flushes = script.Flushes();
        ProcessCurrentAlarm();
        EXPECT_EQ(AlarmShown, 0) << number;
        EXPECT_EQ(CurrentAlarmNumber, 0);
        EXPECT_EQ(AlarmHoldoffTicks, 300u);
        EXPECT_EQ(script.Flushes(), flushes);
    }
    EXPECT_EQ(WriteBusy, 2) << "the acknowledgement was handed to the link";
}

TEST_F(LinkScreensTest, AnAlarmWakesASaver)
{
    TestProject project = Project();
    Configure(project, {{"ScreenSaverActiveTime", "1"}, {"SaverEffect", "1"}});
    Start(project);
    script.Run("600t");
    ASSERT_EQ(gEngine.saverActive, 1);
    CurrentAlarmNumber = 2;
    script.Run("p");
    EXPECT_EQ(gEngine.saverActive, 0);
    EXPECT_EQ(script.Modes().back(), PanelDisplayOn);
    EXPECT_EQ(AlarmShown, 1);
}

TEST_F(LinkScreensTest, OnlineAlarmWaitsForItsValuesAndTheAcknowledgementReachesThePlc)
{
    SimPlc plc;
    plc.SetReg(10, 25);
    plc.SetReg(11, 7);
    plc.SetReg(12, 1);
    TestProject project = Project();
    RuntimeOnline online(plc);
    ASSERT_EQ(online.Start(CompileForRuntime(project), 0), LoadOk);
    ASSERT_TRUE(online.RunUntilMenu());
    plc.SetReg(5, 1);
    ASSERT_TRUE(online.RunUntil([] { return AlarmShown == 1; }));
    EXPECT_EQ(AlarmValuesPending, 1) << "the message waits for its values";
    ASSERT_TRUE(online.RunUntil([] { return AlarmValuesPending == 0; }));
    EXPECT_EQ(online.script.Area(37, 5, 55, 12), PatternText("Temp  25  C"));
    EXPECT_EQ(online.script.Area(47, 23, 35, 12), PatternText("Level 7"));
    EXPECT_EQ(online.script.Area(54, 41, 20, 12), PatternText(" 1 ^"));

    // A write already on the line: the acknowledgement waits for it, then lands.
    const uint16_t busy = 0x1234;
    ASSERT_EQ(WriteOperand(OpR, 300, &busy, 1), 1);
    online.script.Run("e");
    EXPECT_EQ(gEngine.writeQueueCount, 1);
    ASSERT_TRUE(online.RunUntil([&] { return plc.Reg(5) == 0 && WriteBusy == 0; }));
    EXPECT_EQ(plc.Reg(300), 0x1234);

    // Raised again within the hold-off: not shown, the mark blinks.
    plc.SetReg(5, 1);
    ASSERT_TRUE(online.RunUntil([] { return AlarmRepeatPending == 1; }));
    online.Pump().Run(20);
    EXPECT_EQ(AlarmShown, 0);
    ASSERT_TRUE(online.RunUntil([] { return AlarmShown == 1; }, 320));
    EXPECT_EQ(AlarmHoldoffTicks, 0u);

    // An alarm without values is drawn at once, online as well.
    online.script.Run("e");
    ASSERT_TRUE(online.RunUntil([&] { return plc.Reg(5) == 0; }));
    plc.SetReg(5, 2);
    ASSERT_TRUE(online.RunUntil([] { return AlarmShown == 1; }));
    EXPECT_EQ(AlarmValuesPending, 0);
    EXPECT_EQ(online.script.Area(42, 5, 45, 12), PatternText("Door open"));
    EXPECT_EQ(PollSlotAt(AlarmPollSlots[0]).active, false) << "the value polls of alarm 1 are given back";
}
