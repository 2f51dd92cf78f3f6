// Value entry, list selection, actions and the digit editor, offline on compiled
// images and online against the simulated PLC (in-process and over a pseudo-terminal),
// with the engine's write queue.
#include "RuntimeTestImages.h"

#include <cerrno>
#include <climits>
#include <cstring>

#include "LinkFrames.h"
#include "LinkScreens.h"
#include "PanelLcdDriver.h"
#include "PatternText.h"
#include "PlcLink.h"
#include "RuntimeItems.h"
#include "RuntimeOnline.h"
#include "SimPlcPty.h"

using namespace runtime;
using simplc::Fault;
using simplc::FaultRule;
using simplc::SimPlc;

namespace {

// The digit editor on a bare value.
struct Digits {
    uint8_t kind;
    uint32_t value;
    uint8_t cursor = 0;

    Digits &Keys(std::initializer_list<int32_t> keys)
    {
        for (int32_t key : keys)
            EditValueDigit(kind, &cursor, &value, key);
        return *this;
    }
};

// Values the PLC was asked to write into one operand, in order.
std::vector<std::string> WritesTo(const SimPlc &plc, const std::string &name)
{
    std::vector<std::string> values;
    for (const simplc::Request &r : plc.Requests()) {
        if (r.command == "49" && r.checksumOk && r.frame.compare(7, name.size(), name) == 0)
            values.push_back(r.frame.substr(7 + name.size(), r.frame.size() - 10 - name.size()));
    }
    return values;
}

class RuntimeItemsTest : public ::testing::Test {
protected:
    void TearDown() override { gEngine.zeroPresses = 0; }

    // Starts the image offline and paints into the menu.
    void Start(TestProject &project, int model = 0)
    {
        ASSERT_EQ(script.Start(CompileForRuntime(project, model), uint8_t(model)), LoadOk);
        script.Run("p t p");
        ASSERT_NE(EngineScreenState(), StateStartup);
    }

    // A root holding one value item on the reference with the properties.
    void StartValue(const char *reference, PropList props, int model = 0)
    {
        TestProject project = NewTestProject(model);
        AddValue(project.MainMenu, QStringLiteral("Level"), QLatin1String(reference), props);
        Start(project, model);
        ASSERT_EQ(EngineScreenState(), StateValuePage);
    }

    RuntimeScript script;
};

}  // namespace

// ---- the digit editor ----------------------------------------------------------

TEST_F(RuntimeItemsTest, DigitEditorRaisesWithinTheKindWithoutCarry)
{
    // u16 40000, Left to the top digit, Up three times: 50000, 60000, then refused.
    Digits u16{NumU16, 40000};
    EXPECT_EQ(u16.Keys({KeyLeft}).cursor, 4);
    EXPECT_EQ(u16.Keys({KeyUp}).value, 50000u);
    EXPECT_EQ(u16.Keys({KeyUp}).value, 60000u);
    EXPECT_EQ(u16.Keys({KeyUp}).value, 60000u);
    EXPECT_EQ((Digits{NumU16, 65535}.Keys({KeyUp}).value), 65535u) << "65536 passes 65535";
    EXPECT_EQ((Digits{NumU16, 19}.Keys({KeyUp}).value), 19u) << "a 9 does not carry";
    EXPECT_EQ((Digits{NumU16, 19}.Keys({KeyPageUp, KeyRight, KeyPageUp}).value), 19u + 10u);
    EXPECT_EQ((Digits{NumS16, 32760}.Keys({KeyUp, KeyUp, KeyUp, KeyUp, KeyUp, KeyUp, KeyUp, KeyUp}).value),
              32767u)
        << "32768 is refused for s16";
    EXPECT_EQ((Digits{NumS32, 2147483647u}.Keys({KeyUp}).value), 2147483647u);
    EXPECT_EQ((Digits{NumS32, 2147483640u}.Keys({KeyUp}).value), 2147483641u);
    EXPECT_EQ((Digits{NumU32, 4294967295u}.Keys({KeyUp}).value), 4294967295u);
    EXPECT_EQ((Digits{NumU32, 3294967295u}.Keys({KeyLongLeft, KeyUp}).value), 4294967295u);
    EXPECT_EQ((Digits{NumU32, 3294967296u}.Keys({KeyLongLeft, KeyUp}).value), 3294967296u)
        << "4294967296 passes 2^32 - 1";
    EXPECT_EQ((Digits{NumU32, 294967295u}.Keys({KeyLongLeft, KeyUp}).value), 1294967295u);
}

TEST_F(RuntimeItemsTest, DigitEditorSignPositionNegates)
{
    // s16 -5 with the cursor on the sign: Up gives 5, Down gives -5 again.
    Digits s16{NumS16, 0xFFFB};
    EXPECT_EQ(s16.Keys({KeyLeft}).cursor, 5);
    EXPECT_EQ(s16.Keys({KeyUp}).value, 5u);
    EXPECT_EQ(s16.Keys({KeyDown}).value, 0xFFFBu) << "16-bit kinds stay in the low half";
    EXPECT_EQ((Digits{NumS16, 0x8000}.Keys({KeyLeft, KeyUp}).value), 0x8000u) << "+32768 does not exist";
    EXPECT_EQ((Digits{NumS16, 0x8000}.Keys({KeyDown}).value), 0x8001u) << "-32768 has magnitude 32768";
    EXPECT_EQ((Digits{NumS16, 0}.Keys({KeyLeft, KeyUp}).value), 0u);
    EXPECT_EQ((Digits{NumS16, 0xFFFB}.Keys({KeyUp}).value), 0xFFFAu) << "the magnitude rises: -6";
    EXPECT_EQ((Digits{NumS32, 7}.Keys({KeyLongLeft, KeyPageDown}).value), static_cast<uint32_t>(-7));
}

TEST_F(RuntimeItemsTest, DigitEditorCursorWrapsAndLowersToZero)
{
    Digits u{NumU16, 0};
    EXPECT_EQ(u.Keys({KeyRight, KeyRight, KeyRight, KeyRight}).cursor, 4);
    EXPECT_EQ(u.Keys({KeyRight}).cursor, 0) << "unsigned: from the top digit back to 0";
    EXPECT_EQ(u.Keys({KeyLeft}).cursor, 4);
    Digits s{NumS32, 0};
    EXPECT_EQ(s.Keys({KeyLeft}).cursor, 10) << "signed: from 0 to the sign";
    EXPECT_EQ(s.Keys({KeyRight}).cursor, 0);
    EXPECT_EQ(s.Keys({KeyLongLeft}).cursor, 10);
    EXPECT_EQ(s.Keys({KeyLongRight}).cursor, 0);
    Digits far{NumU16, 0, 9};
    EXPECT_EQ(far.Keys({KeyUp}).value, 10000u) << "a cursor beyond the kind is taken as its top digit";

    // Four Downs on a zero digit clear the whole value on the fourth.
    Digits zero{NumU16, 12045, 2};
    EXPECT_EQ(zero.Keys({KeyDown, KeyDown, KeyDown}).value, 12045u);
    EXPECT_EQ(zero.Keys({KeyDown}).value, 0u);
    Digits moved{NumU16, 12045, 2};
    moved.Keys({KeyDown, KeyDown, KeyDown, KeyRight, KeyLeft, KeyDown});
    EXPECT_EQ(moved.value, 12045u) << "a cursor key starts the count again";
    gEngine.zeroPresses = 0;
    Digits lowered{NumU16, 10};
    EXPECT_EQ(lowered.Keys({KeyDown, KeyDown, KeyDown, KeyUp, KeyDown, KeyDown}).value, 10u)
        << "a lowered digit starts the count again";
}

// ---- value entry ---------------------------------------------------------------

TEST_F(RuntimeItemsTest, LimitsRefuseWithTheLimitScreenAndWriteNothing)
{
    StartValue("R100", {{"Min", "10"}, {"Max", "100"}});
    script.Run("o");
    ASSERT_EQ(EngineScreenState(), StateValueEntry);
    const int flushes = script.Flushes();
    script.Run("5u o");
    EXPECT_EQ(gEngine.editValue, 5u);
    EXPECT_EQ(script.Flushes(), flushes + 1) << "the limit screen is shown at once";
    EXPECT_EQ(script.Area(39, 2, 50, 12), PatternText("Low Limit:"));
    // "10" stripped: f = 16 from x 56 at y 20; row 10 of '1' and row 1 of '0'.
    EXPECT_EQ(script.Area(56, 30, 8, 1), ".######.\n");
    EXPECT_EQ(script.Area(64, 21, 8, 1), "..###...\n");
    EXPECT_EQ(script.LitCount(0, 44, 128, 1), 128);
    EXPECT_EQ(script.Area(31, 50, 65, 12), PatternText("Press Any Key"));
    EXPECT_EQ(WriteBusy, 0) << "nothing is written";
    EXPECT_EQ(gEngine.displayHeld, 1);
    script.Run("10f");
    EXPECT_EQ(script.Flushes(), flushes + 1) << "the screen is held";

    script.Run("d");
    EXPECT_EQ(EngineScreenState(), StateValueEntry) << "the next key returns to the entry";
    EXPECT_EQ(gEngine.editValue, 5u) << "and is used up";
    script.Run("5d r r u l l u o");
    EXPECT_EQ(gEngine.editValue, 101u);
    EXPECT_EQ(script.Area(36, 2, 55, 12), PatternText("High Limit:"));
    EXPECT_EQ(WriteBusy, 0);

    script.Run("e d o");
    EXPECT_EQ(EngineScreenState(), StateValuePage);
    EXPECT_EQ(gEngine.itemValue, 100u);
    EXPECT_EQ(PendingWrite(),
              WriteFrame("R00100"
                         "0064"));
}

TEST_F(RuntimeItemsTest, SignedLimitsCompareSignedSixteenBits)
{
    StartValue("R101", {{"Signed", "1"}, {"Min", "-50"}, {"Max", "50"}});
    EXPECT_EQ(gEngine.numberKind, NumS16);
    script.Run("o r 6u l l u");
    EXPECT_EQ(gEngine.editValue, 0xFFC4u) << "-60";
    script.Run("o");
    EXPECT_EQ(script.Area(39, 2, 50, 12), PatternText("Low Limit:")) << "-60 is below -50, not above 50";
    // "-50": f = 24 from x 52; the sign's bar is row 6 of '-'.
    EXPECT_EQ(script.Area(52, 26, 8, 1), "#######.\n");
    script.Run("d r r 2d o");
    EXPECT_EQ(EngineScreenState(), StateValuePage);
    EXPECT_EQ(PendingWrite(),
              WriteFrame("R00101"
                         "FFD8"))
        << "-40";
}

TEST_F(RuntimeItemsTest, EscDropsTheEditAndTheEntryShowsItsCursor)
{
    StartValue("D5", {});
    gEngine.itemValue = 42;
    script.Run("o 3u");
    EXPECT_EQ(gEngine.editValue, 45u);
    script.Run("4t p");
    // Five digits (f = 40) from 44; the blinking cursor under digit 0 at y 58.
    EXPECT_EQ(script.Area(76, 58, 8, 1), "########\n");
    script.Run("e");
    EXPECT_EQ(EngineScreenState(), StateValuePage);
    EXPECT_EQ(gEngine.itemValue, 42u);
    EXPECT_EQ(WriteBusy, 0);
}

TEST_F(RuntimeItemsTest, EntryKeysByModelAndReadOnlyValues)
{
    StartValue("D5", {}, 1);
    script.Run("o d u");
    EXPECT_EQ(gEngine.editValue, 0u) << "Down and Up do not edit on the 128 x 96 model";
    script.Run("[ [ ]");
    EXPECT_EQ(gEngine.editValue, 1u);

    StartValue("D5", {{"ReadOnly", "1"}});
    script.Run("o");
    EXPECT_EQ(EngineScreenState(), StateValuePage);
    StartValue("RT5", {});
    script.Run("o");
    EXPECT_EQ(EngineScreenState(), StateValuePage) << "a timer value cannot be written";
}

TEST_F(RuntimeItemsTest, ProtectedValueAsksForThePassword)
{
    TestProject project = NewTestProject(0);
    AddValue(project.MainMenu, QStringLiteral("Level"), QStringLiteral("R100"));
    Configure(project, {{"Password", "R200"}, {"ProtectType", "1"}});
    ASSERT_EQ(script.Start(CompileForRuntime(project), 0), LoadOk);
    gEngine.password1 = 1234;
    script.Run("p");
    ASSERT_EQ(gEngine.accessLevel, AccessNone);
    script.Run("o");
    ASSERT_EQ(EngineScreenState(), StatePassword);
    EXPECT_EQ(gEngine.escapeAllowed, 1);
    // Typed with the digit editor: 4, then 3 one place left, then 2, then 1.
    script.Run("4u r 3u r 2u r u");
    EXPECT_EQ(gEngine.passwordEntry, 1234u);
    script.Run("o");
    EXPECT_EQ(gEngine.accessLevel, AccessUser);
    EXPECT_EQ(EngineScreenState(), StateValuePage);
    script.Run("o");
    EXPECT_EQ(EngineScreenState(), StateValueEntry);
}

TEST_F(RuntimeItemsTest, TenDigitPasswordIsTypedWithPageKeys)
{
    TestProject project = NewTestProject(1);
    AddSubMenu(project.MainMenu, QStringLiteral("One"));
    Configure(project, {{"Password", "DR200"}});
    ASSERT_EQ(script.Start(CompileForRuntime(project, 1), 1), LoadOk);
    gEngine.password1 = 4000000000u;
    script.Run("p");
    ASSERT_EQ(EngineScreenState(), StatePassword);
    script.Run("l 4[");
    EXPECT_EQ(gEngine.passwordEntry, 4000000000u);
    script.Run("[");
    EXPECT_EQ(gEngine.passwordEntry, 4000000000u) << "5000000000 does not fit 32 bits";
    script.Run("o");
    EXPECT_EQ(gEngine.accessLevel, AccessUser);
}

// ---- list selection ------------------------------------------------------------

TEST_F(RuntimeItemsTest, ListSelectionSkipsHiddenEntries)
{
    TestProject project = NewTestProject(0);
    AddList(project.MainMenu, QStringLiteral("Mode"), QStringLiteral("D7"),
            {QStringLiteral("A"), QString(), QStringLiteral("C"), QString(), QStringLiteral("E"), QString()});
    Start(project);
    ASSERT_EQ(EngineScreenState(), StateListPage);
    EXPECT_EQ(gEngine.firstEntry, 0);
    EXPECT_EQ(gEngine.lastEntry, 4);
    script.Run("o");
    ASSERT_EQ(EngineScreenState(), StateListSelection);
    script.Run("d");
    EXPECT_EQ(gEngine.editValue, 2u);
    script.Run("d d");
    EXPECT_EQ(gEngine.editValue, 4u) << "nothing past the last visible entry";
    script.Run("u");
    EXPECT_EQ(gEngine.editValue, 2u);
    script.Run("4t p");
    EXPECT_EQ(script.Area(60, 41, 5, 12), PatternCell('C'));
    EXPECT_GT(script.LitCount(118, 39, 5, 12), 0) << "an entry above";
    script.Run("e");
    EXPECT_EQ(EngineScreenState(), StateListPage);
    EXPECT_EQ(WriteBusy, 0);
    script.Run("o d o");
    EXPECT_EQ(EngineScreenState(), StateListPage);
    EXPECT_EQ(gEngine.itemValue, 2u);
    EXPECT_EQ(PendingWrite(),
              WriteFrame("D00007"
                         "0002"));
}

TEST_F(RuntimeItemsTest, LongListsKeepEveryEntry)
{
    TestProject project = NewTestProject(0);
    QStringList entries;
    for (int i = 0; i < 64; ++i)
        entries << QStringLiteral("E%1").arg(i);
    AddList(project.MainMenu, QStringLiteral("Step"), QStringLiteral("R9"), entries);
    Start(project);
    gEngine.itemValue = 40;
    script.Run("o 23d");
    EXPECT_EQ(gEngine.editValue, 63u);
    script.Run("4t p");
    EXPECT_EQ(script.Area(55, 41, 15, 12), PatternText("E63"));
    script.Run("o");
    EXPECT_EQ(PendingWrite(),
              WriteFrame("R00009"
                         "003F"));
}

TEST_F(RuntimeItemsTest, ListsWithoutVisibleEntriesAreReadOnly)
{
    TestProject project = NewTestProject(0);
    AddList(project.MainMenu, QStringLiteral("Empty"), QStringLiteral("D7"), {QString(), QString()});
    AddList(project.MainMenu, QStringLiteral("Fixed"), QStringLiteral("D8"), {QStringLiteral("A")},
            {{"ReadOnly", "1"}});
    AddList(project.MainMenu, QStringLiteral("Flag"), QStringLiteral("M5"),
            {QStringLiteral("Off"), QStringLiteral("On")});
    Start(project);
    script.Run("o");
    EXPECT_EQ(EngineScreenState(), StateListPage);
    script.Run("d o");
    EXPECT_EQ(EngineScreenState(), StateListPage);
    script.Run("d");
    gEngine.itemValue = 6;  // a bit list reads bit 0 only
    script.Run("o");
    ASSERT_EQ(EngineScreenState(), StateListSelection);
    EXPECT_EQ(gEngine.editValue, 0u);
    script.Run("d o");
    EXPECT_EQ(PendingWrite(),
              WriteFrame("M0005"
                         "1"));
}

// ---- actions -------------------------------------------------------------------

TEST_F(RuntimeItemsTest, StepValuesSaturateInSixtyFourBits)
{
    ActionItemRecord step;
    step.refType = OpR;
    step.low = 0;
    step.high = 100;
    step.step = 5;
    EXPECT_EQ(StepBitValue(step, 3, 0), 0u) << "3 - 5 unsigned stops at the low limit";
    EXPECT_EQ(StepBitValue(step, 98, 1), 100u);
    step.low = 10;
    EXPECT_EQ(StepBitValue(step, 3, 0), 10u);

    step.refType = OpDR;
    step.low = 0;
    step.high = -1;  // 0xFFFFFFFF unsigned
    step.step = 0x20;
    EXPECT_EQ(StepBitValue(step, 0xFFFFFFF0u, 1), 0xFFFFFFFFu) << "no wrap to 0x10";
    step.high = 1000;
    EXPECT_EQ(StepBitValue(step, 0xFFFFFFF0u, 0), 1000u)
        << "an unsigned value above the limit comes down to it";

    step.flags = 2;
    step.low = INT32_MIN;
    step.high = INT32_MAX;
    step.step = 100;
    EXPECT_EQ(StepBitValue(step, static_cast<uint32_t>(INT32_MIN + 10), 0), static_cast<uint32_t>(INT32_MIN));
    EXPECT_EQ(StepBitValue(step, static_cast<uint32_t>(INT32_MAX - 10), 1), static_cast<uint32_t>(INT32_MAX));
    EXPECT_EQ(StepBitValue(step, static_cast<uint32_t>(-50), 1), 50u);

    step.refType = OpD;
    step.low = -32768;
    step.high = 32767;
    step.step = 1000;
    EXPECT_EQ(StepBitValue(step, 32000, 1) & 0xFFFF, 32767u);
    EXPECT_EQ(StepBitValue(step, 0x8100, 0) & 0xFFFF, 0x8000u) << "-32512 - 1000 stops at -32768";
}

TEST_F(RuntimeItemsTest, ActionsWriteByKindAndShowTheirFeedback)
{
    struct Case {
        int type;
        const char *reference;
        PropList props;
        uint32_t rowValue;
        const char *frame;
    };
    const Case cases[] = {
        {1,
         "Y1",
         {},
         0,
         "Y0001"
         "1"},
        {2,
         "Y1",
         {},
         1,
         "Y0001"
         "0"},
        {5,
         "R60",
         {{"Max", "1234"}},
         0,
         "R00060"
         "04D2"},
        {6,
         "R61",
         {{"Min", "0"}, {"Max", "100"}, {"StepSize", "5"}},
         97,
         "R00061"
         "0064"},
        {7,
         "R62",
         {{"Min", "0"}, {"Max", "100"}, {"StepSize", "5"}},
         3,
         "R00062"
         "0000"},
        {7,
         "DR64",
         {{"Signed", "1"}, {"Min", "-1000"}, {"Max", "1000"}, {"StepSize", "5"}},
         3,
         "DR00064"
         "FFFFFFFE"},
    };
    for (const Case &c : cases) {
        TestProject project = NewTestProject(0);
        AddAction(project.MainMenu, QStringLiteral("Go"), c.type, QLatin1String(c.reference), c.props);
        Start(project);
        gEngine.rowValues[0] = c.rowValue;
        script.Run("o");
        EXPECT_EQ(PendingWrite(), WriteFrame(c.frame)) << c.type;
        EXPECT_EQ(EngineScreenState(), StateActionFeedback);
        EXPECT_EQ(gEngine.actionTimer, 2);
        script.Run("p");
        // "Go" (10 pixels) centred on 67 from 62, drawn inverted.
        EXPECT_EQ(script.Area(62, 17, 5, 12), PatternCell('G', 5, 12, true)) << "the row is drawn inverted";
        script.Run("2p");
        EXPECT_EQ(EngineScreenState(), StateMenuList);
    }
}

TEST_F(RuntimeItemsTest, ActionRunsTheRowSelectedNow)
{
    TestProject project = NewTestProject(0);
    AddAction(project.MainMenu, QStringLiteral("First"), 1, QStringLiteral("Y1"));
    AddAction(project.MainMenu, QStringLiteral("Second"), 1, QStringLiteral("Y2"));
    Start(project);
    EXPECT_EQ(gEngine.selectedAction.refNumber, 1) << "the paint copied row 0";
    script.Run("d o");  // no paint between the move and OK
    EXPECT_EQ(PendingWrite(),
              WriteFrame("Y0002"
                         "1"));
}

TEST_F(RuntimeItemsTest, OfflineToggleFlipsTheRowAndMomentaryWaitsForTheRelease)
{
    TestProject project = NewTestProject(0);
    AddAction(project.MainMenu, QStringLiteral("Pump"), 0, QStringLiteral("M100"), {{"StringOff", "Idle"}});
    AddAction(project.MainMenu, QStringLiteral("Horn"), 3, QStringLiteral("Y7"));
    Start(project);
    script.Run("o");
    EXPECT_EQ(PendingWrite(),
              WriteFrame("M0100"
                         "1"));
    EXPECT_EQ(gEngine.rowValues[0], 1u);
    script.Run("3p o");
    EXPECT_EQ(gEngine.rowValues[0], 0u) << "offline the shown value flips back";
    script.Run("p");
    EXPECT_EQ(script.Area(57, 17, 5, 12), PatternCell('I', 5, 12, true))
        << "Idle, inverted while the feedback lasts";

    script.Run("2p d o");
    EXPECT_EQ(EngineScreenState(), StateMomentary);
    EXPECT_EQ(gEngine.editValue, 1u);
    script.Run("10f d u e o");
    EXPECT_EQ(EngineScreenState(), StateMomentary) << "only the release ends it";
    script.Run("O");
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    EXPECT_EQ(gEngine.editValue, 0u);
    EXPECT_EQ(gEngine.lastSelected, 255);
}

// ---- online --------------------------------------------------------------------

TEST_F(RuntimeItemsTest, OnlineToggleSendsItsWriteFrame)
{
    SimPlc plc;
    TestProject project = NewTestProject(0);
    AddAction(project.MainMenu, QStringLiteral("Pump"), 0, QStringLiteral("M100"), {{"StringOff", "Idle"}});
    RuntimeOnline online(plc);
    ASSERT_EQ(online.Start(CompileForRuntime(project), 0), LoadOk);
    ASSERT_TRUE(online.RunUntilMenu());
    online.script.Run("o");
    ASSERT_TRUE(online.RunUntil([&] { return plc.Value(OpM, 100) == 1; }));
    EXPECT_EQ(online.Pump().Sent().size() > 0, true);
    bool sent = false;
    for (const auto &frame : online.Pump().Sent())
        sent = sent
            || std::string(frame.begin(), frame.end())
                == "\x02"
                   "014901M01001"
                   "70"
                   "\x03";
    EXPECT_TRUE(sent);
    // The poll shows the PLC's new value; the next OK writes 0.
    ASSERT_TRUE(
        online.RunUntil([] { return gEngine.rowValues[0] == 1 && EngineScreenState() == StateMenuList; }));
    online.script.Run("o");
    ASSERT_TRUE(online.RunUntil([&] { return plc.Value(OpM, 100) == 0; }));
}

TEST_F(RuntimeItemsTest, MomentaryPairReachesThePlcEvenWhileTheLinkIsBusy)
{
    SimPlc plc;
    TestProject project = NewTestProject(0);
    AddAction(project.MainMenu, QStringLiteral("Horn"), 3, QStringLiteral("Y7"));
    AddAction(project.MainMenu, QStringLiteral("Lamp"), 4, QStringLiteral("Y8"));
    RuntimeOnline online(plc);
    ASSERT_EQ(online.Start(CompileForRuntime(project), 0), LoadOk);
    ASSERT_TRUE(online.RunUntilMenu());
    online.script.Run("o");
    online.Step();
    online.script.Run("O");
    ASSERT_TRUE(online.RunUntil([&] { return WritesTo(plc, "Y0007").size() == 2 && WriteBusy == 0; }));
    EXPECT_EQ(WritesTo(plc, "Y0007"), (std::vector<std::string>{"1", "0"}));
    EXPECT_EQ(plc.Value(OpY, 7), 0u);

    // Pressed and released before the first write has gone out: the release waits.
    online.script.Run("d o O");
    EXPECT_EQ(gEngine.writeQueueCount, 1);
    ASSERT_TRUE(online.RunUntil([&] { return WritesTo(plc, "Y0008").size() == 2 && WriteBusy == 0; }));
    EXPECT_EQ(WritesTo(plc, "Y0008"), (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(plc.Value(OpY, 8), 1u);
}

TEST_F(RuntimeItemsTest, MomentaryReleaseUnderAnAlarmIsNotLost)
{
    SimPlc plc;
    TestProject project = NewTestProject(0);
    AddAction(project.MainMenu, QStringLiteral("Horn"), 3, QStringLiteral("Y7"));
    AddAlarm(project.Alarms, 1, {QStringLiteral("Hot")});
    Configure(project, {{"AlarmIndex", "R5"}});
    RuntimeOnline online(plc);
    ASSERT_EQ(online.Start(CompileForRuntime(project), 0), LoadOk);
    ASSERT_TRUE(online.RunUntilMenu());
    online.script.Run("o");
    plc.SetReg(5, 1);
    ASSERT_TRUE(online.RunUntil([] { return AlarmShown == 1; }));
    EXPECT_EQ(gEngine.displayHeld, 1);
    online.script.Run("O");
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    EXPECT_EQ(AlarmShown, 1) << "the release does not acknowledge the alarm";
    ASSERT_TRUE(online.RunUntil([&] { return WritesTo(plc, "Y0007").size() == 2; }));
    EXPECT_EQ(plc.Value(OpY, 7), 0u);
}

TEST_F(RuntimeItemsTest, WritesWaitInOrderAndAFullQueueKeepsTheEntryOpen)
{
    SimPlc plc;
    TestProject project = NewTestProject(0);
    AddValue(project.MainMenu, QStringLiteral("Level"), QStringLiteral("R100"));
    RuntimeOnline online(plc);
    ASSERT_EQ(online.Start(CompileForRuntime(project), 0), LoadOk);
    ASSERT_TRUE(online.RunUntilMenu());
    ASSERT_EQ(EngineScreenState(), StateValuePage);
    // Seven entries while the line stands still: one goes to the link, six wait.
    for (int i = 1; i <= 7; ++i) {
        online.script.Run("o u o");
        ASSERT_EQ(EngineScreenState(), StateValuePage) << i;
    }
    EXPECT_EQ(gEngine.writeQueueCount, 6);
    online.script.Run("o u o");
    EXPECT_EQ(EngineScreenState(), StateValueEntry) << "the eighth finds no room and stays open";
    ASSERT_TRUE(online.RunUntil([] { return gEngine.writeQueueCount == 0 && WriteBusy == 0; }, 100));
    EXPECT_EQ(WritesTo(plc, "R00100"),
              (std::vector<std::string>{"0001", "0002", "0003", "0004", "0005", "0006", "0007"}));
    online.script.Run("o");
    EXPECT_EQ(EngineScreenState(), StateValuePage);
    ASSERT_TRUE(online.RunUntil([&] { return plc.Reg(100) == 8; }));
}

TEST_F(RuntimeItemsTest, ADroppedWriteIsReported)
{
    SimPlc plc;
    TestProject project = NewTestProject(0);
    AddValue(project.MainMenu, QStringLiteral("Level"), QStringLiteral("R100"));
    RuntimeOnline online(plc);
    ASSERT_EQ(online.Start(CompileForRuntime(project), 0), LoadOk);
    ASSERT_TRUE(online.RunUntilMenu());
    plc.AddFault(FaultRule(Fault::Error1, -1, "49"));
    online.script.Run("o u o");
    ASSERT_TRUE(online.RunUntil([] { return WriteDropCount == 1; }));
    EXPECT_EQ(gEngine.displayHeld, 1);
    EXPECT_EQ(online.script.Area(29, 2, 70, 12), PatternText("Write Error !!"));
    EXPECT_EQ(online.script.Area(54, 17, 20, 12), PatternText("R100"));
    EXPECT_EQ(plc.Reg(100), 0);
    plc.ClearFaults();
    ASSERT_TRUE(online.RunUntil([] { return gEngine.itemValue == 0 && PlcDataValid == 1; }))
        << "the poll shows what the PLC holds";
    online.script.Run("d p");
    EXPECT_EQ(gEngine.displayHeld, 0);
    EXPECT_EQ(EngineScreenState(), StateValuePage);
}

// End to end over a pseudo-terminal: a value typed on the panel lands in the PLC.
TEST_F(RuntimeItemsTest, ValueEnteredOnThePanelLandsInThePlcOverAPseudoTerminal)
{
    SimPlc plc;
    plc.SetReg(100, 40);
    TestProject project = NewTestProject(0);
    AddValue(project.MainMenu, QStringLiteral("Level"), QStringLiteral("R100"),
             {{"Min", "10"}, {"Max", "100"}});
    ASSERT_EQ(script.Start(CompileForRuntime(project), 0, true), LoadOk);
    simplc::SimPlcPty pty(plc, simplc::SimPlcPty::PlcEnd::Slave);
    ASSERT_TRUE(pty.Start()) << std::strerror(errno);
    simplc::PtyLinkDriver driver(pty.PeerFd(), 300, 10);
    ResetPollTable();
    StartOnlineLink();
    // The simulator's 100 ms tick and paint run between the blocks.
    auto frame = [&](const std::function<bool()> &done) {
        return [&, done] {
            script.Frame();
            return done();
        };
    };
    ASSERT_TRUE(driver.RunUntil(
        frame([] { return EngineScreenState() == StateValuePage && PlcDataValid == 1; }), 5000));
    EXPECT_EQ(gEngine.itemValue, 40u);
    script.Run("o r 2u l 8u o");
    EXPECT_EQ(gEngine.editValue, 68u);
    EXPECT_EQ(EngineScreenState(), StateValuePage);
    ASSERT_TRUE(driver.RunUntil(frame([&] { return plc.Reg(100) == 68; }), 5000));
    ASSERT_TRUE(driver.RunUntil(frame([] { return PlcDataValid == 1 && gEngine.itemValue == 68; }), 5000));
}
