// The password screen and access levels: the prompt at start, wrong and right entries,
// the supervisor prompt of key 7, and the access level a saver takes away.
#include "RuntimeTestImages.h"

#include "PanelLcdDriver.h"
#include "PlcLink.h"

using namespace runtime;

namespace {

class RuntimePasswordTest : public ::testing::Test {
protected:
    // Starts an image guarded by passwords in R200 / R201, with the polled values
    // given, and paints into the menu.
    void Start(uint32_t password1, uint32_t password2, PropList config = {})
    {
        TestProject project = NewTestProject(0);
        AddSubMenu(project.MainMenu, QStringLiteral("One"));
        AddAction(project.MainMenu, QStringLiteral("Go"), 1, QStringLiteral("Y1"));
        Configure(project, {{"Password", "R200"}});
        Configure(project, config);
        ASSERT_EQ(script.Start(CompileForRuntime(project), 0), LoadOk);
        EXPECT_EQ(gEngine.accessLevel, AccessNone) << "a password register is configured";
        gEngine.password1 = password1;
        gEngine.password2 = password2;
        script.Run("p");
    }

    // Types an entry (as the digit editor leaves it) and presses OK.
    void Enter(uint32_t entry)
    {
        gEngine.passwordEntry = entry;
        script.Run("o");
    }

    RuntimeScript script;
};

}  // namespace

TEST_F(RuntimePasswordTest, OfflineWithoutPollsThereIsNoPrompt)
{
    Start(0, 0);
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    EXPECT_EQ(gEngine.accessLevel, AccessUser);
}

TEST_F(RuntimePasswordTest, StartPromptHasNoEscapeAndShowsTheError)
{
    Start(1234, 0);
    ASSERT_EQ(EngineScreenState(), StatePassword);
    EXPECT_EQ(gEngine.savedState, StateMenuList);
    EXPECT_EQ(gEngine.passwordKind, NumU16) << "an R register holds a 5-digit password";
    script.Run("4t p");
    // Five zeros (f = 40) from (128 - 40) / 2 = 44 at y 42; the cursor under the last.
    EXPECT_EQ(script.Area(44, 43, 8, 1), "..###...\n");
    EXPECT_EQ(script.Area(76, 54, 8, 1), "########\n");
    EXPECT_EQ(script.LitCount(0, 54, 76, 1), 0);

    gEngine.passwordEntry = 77;
    script.Run("e");
    EXPECT_EQ(EngineScreenState(), StatePassword) << "Esc only clears the entry";
    EXPECT_EQ(gEngine.passwordEntry, 0u);

    const int flushes = script.Flushes();
    Enter(4321);
    EXPECT_EQ(script.Flushes(), flushes + 1) << "the error message is shown at once";
    EXPECT_EQ(gEngine.displayHeld, 1);
    EXPECT_EQ(gEngine.accessLevel, AccessNone);
    // "Press any key to exit" inverted at y 48: its cells are mostly lit.
    EXPECT_GT(script.LitCount(0, 48, 128, 12), 300);
    script.Run("10f");
    EXPECT_EQ(script.Flushes(), flushes + 1) << "the held message stays";
    script.Run("O");
    EXPECT_EQ(gEngine.displayHeld, 1) << "OK released does not clear it";
    script.Run("d");
    EXPECT_EQ(gEngine.displayHeld, 0);
    EXPECT_EQ(EngineScreenState(), StatePassword);
    EXPECT_EQ(gEngine.redraw, 1);

    Enter(1234);
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    EXPECT_EQ(gEngine.accessLevel, AccessUser);
}

TEST_F(RuntimePasswordTest, SecondPasswordGivesSupervisorAndEqualPasswordsGiveUser)
{
    Start(1234, 999);
    Enter(999);
    EXPECT_EQ(gEngine.accessLevel, AccessSupervisor);

    Start(555, 555);
    Enter(555);
    EXPECT_EQ(gEngine.accessLevel, AccessUser);
}

TEST_F(RuntimePasswordTest, ProtectTypeAsksOnlyForProtectedOperations)
{
    Start(1234, 0, {{"ProtectType", "1"}});
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    EXPECT_EQ(gEngine.accessLevel, AccessNone);
    script.Run("d o");
    ASSERT_EQ(EngineScreenState(), StatePassword) << "the action asks for the password";
    EXPECT_EQ(gEngine.escapeAllowed, 1);
    script.Run("e");
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    EXPECT_EQ(gEngine.accessLevel, AccessNone);
}

TEST_F(RuntimePasswordTest, KeySevenOpensTheSupervisorPromptOnlyWithASecondPassword)
{
    Start(1234, 0, {{"ProtectType", "1"}});
    script.Run("S");
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    EXPECT_EQ(gEngine.supervisorRequest, 0) << "no prompt, no request left behind";
    // A zero second password never grants supervisor access, not even to an entry of 0.
    script.Run("d o");
    ASSERT_EQ(EngineScreenState(), StatePassword);
    Enter(0);
    EXPECT_EQ(gEngine.accessLevel, AccessNone);
    EXPECT_EQ(gEngine.displayHeld, 1);
}

TEST_F(RuntimePasswordTest, SupervisorPromptTakesOnlyPasswordTwoAndEscLeavesIt)
{
    Start(1234, 999, {{"ProtectType", "1"}});
    script.Run("S");
    ASSERT_EQ(EngineScreenState(), StatePassword);
    EXPECT_EQ(gEngine.supervisorRequest, 1);
    EXPECT_EQ(gEngine.passwordKind, NumU16);
    script.Run("e");
    EXPECT_EQ(EngineScreenState(), StateMenuList) << "Esc leaves the supervisor prompt";
    EXPECT_EQ(gEngine.supervisorRequest, 0);

    script.Run("S");
    Enter(1234);
    EXPECT_EQ(gEngine.accessLevel, AccessNone) << "password 1 does not pass the supervisor prompt";
    script.Run("d");
    Enter(999);
    EXPECT_EQ(gEngine.accessLevel, AccessSupervisor);
    EXPECT_EQ(gEngine.supervisorRequest, 0);
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    script.Run("S");
    EXPECT_EQ(EngineScreenState(), StateMenuList) << "a supervisor is not asked again";
}

TEST_F(RuntimePasswordTest, KeySevenOnAnOpenPromptKeepsIt)
{
    Start(1234, 999);
    ASSERT_EQ(EngineScreenState(), StatePassword);
    script.Run("S e");
    EXPECT_EQ(EngineScreenState(), StatePassword) << "the start prompt still has no escape";
    Enter(999);
    EXPECT_EQ(gEngine.accessLevel, AccessSupervisor);
}

TEST_F(RuntimePasswordTest, SaverTakesAccessAway)
{
    Start(1234, 0, {{"ProtectType", "1"}, {"ScreenSaverActiveTime", "1"}, {"SaverEffect", "1"}});
    gEngine.accessLevel = AccessUser;
    script.Run("600t");
    EXPECT_EQ(gEngine.accessLevel, AccessNone);
}

TEST_F(RuntimePasswordTest, PasswordKeysEditTheEntryByModel)
{
    Start(1234, 0);
    ASSERT_EQ(EngineScreenState(), StatePassword);
    gEngine.redraw = 0;
    script.Run("d");
    EXPECT_EQ(gEngine.redraw, 1) << "Down edits on the 128 x 64 model";
    script.Run("p");

    TestProject project = NewTestProject(1);
    AddSubMenu(project.MainMenu, QStringLiteral("One"));
    Configure(project, {{"Password", "DR200"}});
    ASSERT_EQ(script.Start(CompileForRuntime(project, 1), 1), LoadOk);
    gEngine.password1 = 70000;
    script.Run("p");
    ASSERT_EQ(EngineScreenState(), StatePassword);
    EXPECT_EQ(gEngine.passwordKind, NumU32) << "a double register holds a 10-digit password";
    gEngine.redraw = 0;
    script.Run("d u");
    EXPECT_EQ(gEngine.redraw, 0) << "Down and Up are not digit keys on the 128 x 96 model";
    script.Run("]");
    EXPECT_EQ(gEngine.redraw, 1);
}
