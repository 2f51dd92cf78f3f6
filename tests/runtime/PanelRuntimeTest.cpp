// The engine's entry points: start and hooks, the scrolling caption, blinking, the
// action feedback timer, the tick's re-entry guard, and an online start against the
// simulated PLC (start location and passwords polled, location written back).
#include "RuntimeTestImages.h"

#include "PanelLcdDriver.h"
#include "PlcLink.h"
#include "SimPlc.h"
#include "SimPlcLink.h"

using namespace runtime;

namespace {

class PanelRuntimeTest : public ::testing::Test {
protected:
    void StartMenu(TestProject &project)
    {
        ASSERT_EQ(script.Start(CompileForRuntime(project), 0), LoadOk);
        script.Run("p p");
        ASSERT_EQ(EngineScreenState(), StateMenuList);
    }

    RuntimeScript script;
};

}  // namespace

TEST_F(PanelRuntimeTest, InitInstallsHooksAndTellsTheLinkTheConfiguration)
{
    TestProject project = NewTestProject(0);
    Configure(project,
              {{"Password", "D20"},
               {"WorkingSpace", "R300"},
               {"AlarmIndex", "R5"},
               {"ScreenSaverActiveTime", "R7"}});
    ASSERT_EQ(script.Start(CompileForRuntime(project), 0, true), LoadOk);
    EXPECT_EQ(EnginePaintHook, &EnginePaint);
    EXPECT_EQ(EngineTickHook, &EngineTick);
    EXPECT_EQ(SimulationOnline, 1);
    EXPECT_EQ(PlcAnswered, 0);
    EXPECT_NE(LinkEngine.EnterStartMenu, nullptr);
    EXPECT_EQ(LinkConfig.password.type, OpD);
    EXPECT_EQ(LinkConfig.password.address, 20);
    EXPECT_EQ(LinkConfig.password1, &gEngine.password1);
    EXPECT_EQ(LinkConfig.menuLocation.address, 300);
    EXPECT_EQ(LinkConfig.alarmNumber.type, OpR);
    EXPECT_EQ(LinkConfig.saverTime.address, 7);
    EXPECT_EQ(LinkConfig.saverMinutes, &gEngine.saverMinutes);
    gEngine.redraw = 0;
    LinkEngine.RequestRedraw();
    EXPECT_EQ(gEngine.redraw, 1);

    ASSERT_EQ(script.Start(CompileForRuntime(project), 0, false), LoadOk);
    EXPECT_EQ(PlcAnswered, 1);
    EXPECT_EQ(SimulationOnline, 0);
}

TEST_F(PanelRuntimeTest, WideCaptionScrollsAfterEightTicks)
{
    TestProject project = NewTestProject(0);
    AddSubMenu(project.MainMenu, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));  // 130 pixels
    AddSubMenu(project.MainMenu, QStringLiteral("Short"));
    StartMenu(project);
    EXPECT_EQ(gEngine.marqueeOn, 1);
    EXPECT_EQ(gEngine.marqueeSteps, 130 - 112 + 32);
    EXPECT_EQ(script.Area(11, 17, 5, 12), PatternCell('A'));
    script.Run("8t");
    EXPECT_EQ(gEngine.marqueeOffset, 0);
    script.Run("5t p");
    EXPECT_EQ(gEngine.marqueeOffset, 5);
    // 'A' from 6 is cut by the clip column 11; 'B' starts at 11.
    EXPECT_EQ(script.LitCount(6, 17, 5, 12), 0);
    EXPECT_EQ(script.Area(11, 17, 5, 12), PatternCell('B'));
    EXPECT_EQ(script.Area(112, 5, 6, 2), "##....\n####..\n") << "the title's description mark";
    script.Run("45t");
    EXPECT_EQ(gEngine.marqueeOffset, 0) << "restarts after its 50 steps";
    EXPECT_EQ(gEngine.marqueeDelay, 8);

    script.Run("r");
    EXPECT_EQ(EngineScreenState(), StateLongText) << "a scrolling caption opens as long text";
    EXPECT_EQ(gEngine.longTextLoc, gEngine.items[0].captionLoc);
    script.Run("e d p");
    EXPECT_EQ(gEngine.marqueeOn, 0) << "the short caption stops it";
    script.Run("r");
    EXPECT_EQ(EngineScreenState(), StateMenuList) << "no description, no scrolling: no long text";
}

TEST_F(PanelRuntimeTest, BracketsBlinkEverySixTicksAndAKeyShowsThem)
{
    TestProject project = NewTestProject(0);
    AddSubMenu(project.MainMenu, QStringLiteral("One"));
    AddSubMenu(project.MainMenu, QStringLiteral("Two"));
    StartMenu(project);
    EXPECT_EQ(script.LitCount(6, 17, 5, 12), 0) << "blink bit 0 starts clear";
    script.Run("6t p");
    EXPECT_EQ(gEngine.blink & 1, 1u);
    EXPECT_EQ(script.Area(6, 17, 5, 12), PatternCell('['));
    script.Run("6t p");
    EXPECT_EQ(script.LitCount(6, 17, 5, 12), 0);
    script.Run("3t d p");
    EXPECT_EQ(script.Area(6, 33, 5, 12), PatternCell('[')) << "a key shows them at once";
    script.Run("5t p");
    EXPECT_EQ(script.Area(6, 33, 5, 12), PatternCell('[')) << "the 6 ticks count from the key";
    script.Run("t p");
    EXPECT_EQ(script.LitCount(6, 33, 5, 12), 0);
}

TEST_F(PanelRuntimeTest, ActionFeedbackEndsWhenItsTimerRunsOut)
{
    TestProject project = NewTestProject(0);
    AddSubMenu(project.MainMenu, QStringLiteral("One"));
    StartMenu(project);
    gEngine.screenState = StateActionFeedback;
    gEngine.actionTimer = 2;
    gEngine.redraw = 0;
    script.Run("p");
    EXPECT_EQ(EngineScreenState(), StateActionFeedback);
    script.Run("p");
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    EXPECT_EQ(gEngine.lastSelected, 255);
    EXPECT_EQ(gEngine.redraw, 1);

    gEngine.screenState = StateActionFeedback;
    gEngine.actionTimer = 1;
    script.Run("t");
    EXPECT_EQ(EngineScreenState(), StateMenuList) << "the tick counts it down too";

    gEngine.screenState = StateMomentary;
    gEngine.actionTimer = 0;
    const uint32_t tick6 = gEngine.tick6;
    script.Run("t");
    EXPECT_EQ(gEngine.tick6, tick6) << "a held momentary action ends the tick early";
    script.Run("p");  // drawn inverted, not crashing without a record
    EXPECT_EQ(EngineScreenState(), StateMomentary);
}

TEST_F(PanelRuntimeTest, TickIsNotReentered)
{
    TestProject project = NewTestProject(0);
    AddSubMenu(project.MainMenu, QStringLiteral("One"));
    Configure(project, {{"ScreenSaverActiveTime", "1"}, {"SaverEffect", "1"}});
    StartMenu(project);
    static int nested = 0;
    nested = 0;
    PanelSimWindowHooks[0].SetDisplayMode = [](void *, uint8_t) {
        ++nested;
        EngineTick();  // a host that ticks from inside the display change
    };
    script.Run("600t");
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(gEngine.saverCounter, 600u);
}

TEST_F(PanelRuntimeTest, OnlineStartWaitsForThePlcAndTakesItsLocationAndPasswords)
{
    TestProject project = NewTestProject(0);
    AddSubMenu(project.MainMenu, QStringLiteral("One"));
    TwNode *two = AddSubMenu(project.MainMenu, QStringLiteral("Two"));
    AddSubMenu(two, QStringLiteral("Inner A"));
    AddSubMenu(two, QStringLiteral("Inner B"));
    Configure(project, {{"Password", "R200"}, {"WorkingSpace", "R300"}});

    simplc::SimPlc plc;
    plc.SetReg(200, 1234);
    plc.SetReg(201, 4321);
    plc.SetReg(300, 12);  // level 1, item 0 under item 1 of the root
    ASSERT_EQ(script.Start(CompileForRuntime(project), 0, true), LoadOk);
    simplc::SimPlcLinkPump pump(plc);
    ResetPollTable();
    StartOnlineLink();
    script.Run("p");
    EXPECT_EQ(EngineScreenState(), StateWaitPlc);
    ASSERT_TRUE(pump.RunUntil([] { return EngineScreenState() != StateWaitPlc; }, 10));

    EXPECT_EQ(EngineScreenState(), StatePassword) << "ProtectType 0 asks at the start";
    EXPECT_EQ(gEngine.savedState, StateMenuList);
    EXPECT_EQ(gEngine.level, 1u);
    EXPECT_EQ(gEngine.selected[0], 1u);
    EXPECT_EQ(gEngine.password2, 4321u);
    EXPECT_EQ(gEngine.locationPollSlot, kNoPollSlot) << "the start location is read once";
    EXPECT_EQ(PollCount, 2);

    gEngine.passwordEntry = 4321;
    script.Run("o");
    EXPECT_EQ(gEngine.accessLevel, AccessSupervisor);
    script.Run("d");
    EXPECT_EQ(gEngine.location, 112u);
    ASSERT_TRUE(pump.RunUntil([&] { return plc.Reg(300) == 112; }, 10));
    script.Run("e");
    ASSERT_TRUE(pump.RunUntil([&] { return plc.Reg(300) == 11; }, 10));
    script.Run("p");
    EXPECT_EQ(script.LitCount(88, 0, 6, 12), 0) << "no lock mark with access";
}
