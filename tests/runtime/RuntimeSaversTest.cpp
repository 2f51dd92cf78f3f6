// Startup pictures and screen savers: the picture sequence and its timing, keys
// during the startup, the saver time in ticks (32 bits), dim, off, the picture saver
// and the clock saver.
#include "RuntimeTestImages.h"

#include "LinkScreens.h"
#include "PanelLcdDriver.h"
#include "PlcLink.h"

using namespace runtime;

namespace {

class RuntimeSaversTest : public ::testing::Test {
protected:
    // A project with a root of two sub-menus and the given startup pictures (each a
    // whole picture of one fill byte).
    TestProject Project(int model, std::initializer_list<uint8_t> fills, PropList startup, PropList config)
    {
        TestProject project = NewTestProject(model);
        AddSubMenu(project.MainMenu, QStringLiteral("One"));
        AddSubMenu(project.MainMenu, QStringLiteral("Two"));
        for (uint8_t fill : fills)
            AddStartupPicture(project.StartupScreen, PictureHex(model, fill));
        for (const auto &[name, value] : startup)
            project.StartupScreen->SetProp(QLatin1String(name), value);
        Configure(project, config);
        return project;
    }

    void Start(TestProject &project, int model = 0)
    {
        ASSERT_EQ(script.Start(CompileForRuntime(project, model), uint8_t(model)), LoadOk);
    }

    // Starts a menu whose saver runs after the minutes with the effect.
    void StartWithSaver(const char *minutes, const char *effect)
    {
        TestProject project =
            Project(0, {}, {}, {{"ScreenSaverActiveTime", minutes}, {"SaverEffect", effect}});
        project.ScreenSaver->SetProp(QStringLiteral("ImageData"), PictureHex(0, 0x5A));
        Start(project);
        script.Run("p p");
        ASSERT_EQ(EngineScreenState(), StateMenuList);
    }

    uint8_t FrameByte(size_t index) const { return CurrentModel.FrameBuffer[index]; }

    RuntimeScript script;
};

}  // namespace

TEST_F(RuntimeSaversTest, ThreePicturesTwoCyclesReachTheMenuAfter99Paints)
{
    TestProject project = Project(0, {0x01, 0x02, 0x04}, {{"FlipTime", "10"}, {"CycleCount", "2"}}, {});
    Start(project);
    script.Run("p");
    EXPECT_EQ(FrameByte(0), 0x01);
    script.Run("10p");
    EXPECT_EQ(FrameByte(0), 0x01) << "a picture stays for flipTime + 1 paints";
    script.Run("p");
    EXPECT_EQ(FrameByte(0), 0x02);
    script.Run("d o e");
    EXPECT_EQ(EngineScreenState(), StateStartup) << "endCondition 0 ignores keys";
    script.Run("11p");
    EXPECT_EQ(FrameByte(1023), 0x04);
    script.Run("75p");
    EXPECT_EQ(EngineScreenState(), StateStartup) << "98 paints";
    EXPECT_EQ(script.Flushes(), 9);
    script.Run("p");
    EXPECT_EQ(EngineScreenState(), StateMenuList) << "99 paints";
}

TEST_F(RuntimeSaversTest, NoPicturesEnterTheMenuOnTheFirstPaint)
{
    TestProject project = Project(0, {}, {}, {});
    Start(project);
    EXPECT_EQ(EngineScreenState(), StateStartup);
    script.Run("p");
    EXPECT_EQ(EngineScreenState(), StateMenuList);
}

TEST_F(RuntimeSaversTest, SecondPictureOnTheLargeModelIsExpanded)
{
    TestProject project = Project(1, {0x00, 0x81}, {{"FlipTime", "0"}}, {});
    Start(project, 1);
    script.Run("p");
    EXPECT_FALSE(script.Pixel(5, 0));
    script.Run("p p");
    EXPECT_TRUE(script.Pixel(5, 0));
    EXPECT_TRUE(script.Pixel(5, 7));
    EXPECT_FALSE(script.Pixel(5, 3));
    EXPECT_TRUE(script.Pixel(127, 95));
    EXPECT_EQ(script.LitCount(0, 0, 128, 96), 128 * 12 * 2);
}

TEST_F(RuntimeSaversTest, EndConditionOneRepeatsUntilAKey)
{
    TestProject project = Project(0, {0x01}, {{"EndCondition", "1"}, {"FlipTime", "1"}}, {});
    Start(project);
    script.Run("500p");
    EXPECT_EQ(EngineScreenState(), StateStartup);
    script.Run("o");
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    ASSERT_FALSE(script.Modes().empty());
    EXPECT_EQ(script.Modes().back(), PanelDisplayOn);
}

TEST_F(RuntimeSaversTest, StartupDimsAfterTheSaverTime)
{
    TestProject project =
        Project(0, {0x01}, {{"EndCondition", "2"}}, {{"ScreenSaverActiveTime", "1"}, {"SaverEffect", "1"}});
    Start(project);
    script.Run("599t");
    EXPECT_TRUE(script.Modes().empty());
    script.Run("t");
    ASSERT_EQ(script.Modes().size(), 1u);
    EXPECT_EQ(script.Modes()[0], PanelDisplayDim);
}

TEST_F(RuntimeSaversTest, SaverDimsAfterTheConfiguredMinutesAndAKeyWakesIt)
{
    StartWithSaver("2", "1");
    script.Run("1000t u 1199t");
    EXPECT_TRUE(script.Modes().empty()) << "a key starts the count again";
    script.Run("t");
    ASSERT_EQ(script.Modes().size(), 1u);
    EXPECT_EQ(script.Modes()[0], PanelDisplayDim);
    EXPECT_EQ(gEngine.saverTicks, 1200u);
    EXPECT_EQ(gEngine.displayHeld, 1);
    EXPECT_EQ(gEngine.saverActive, 1);
    script.Run("p");
    const int flushes = script.Flushes();
    script.Run("20f");
    EXPECT_EQ(script.Flushes(), flushes) << "a held display does not blink";
    script.Run("d");
    EXPECT_EQ(script.Modes().back(), PanelDisplayOn);
    EXPECT_EQ(gEngine.displayHeld, 0);
    EXPECT_EQ(gEngine.selected[0], 0u) << "the waking key does nothing else";
    script.Run("d");
    EXPECT_EQ(gEngine.selected[0], 1u);
}

TEST_F(RuntimeSaversTest, LongSaverTimesDoNotWrap)
{
    StartWithSaver("110", "4");
    script.Run("464t");
    EXPECT_TRUE(script.Modes().empty());
    EXPECT_EQ(gEngine.saverTicks, 66000u);
    script.Run("65535t");
    EXPECT_TRUE(script.Modes().empty());
    script.Run("t");
    ASSERT_EQ(script.Modes().size(), 1u);
    EXPECT_EQ(script.Modes()[0], PanelDisplayOff);
}

TEST_F(RuntimeSaversTest, AShownAlarmHoldsTheSaverBack)
{
    StartWithSaver("1", "1");
    AlarmShown = 1;
    script.Run("700t");
    EXPECT_TRUE(script.Modes().empty());
    AlarmShown = 0;
    script.Run("600t");
    EXPECT_EQ(script.Modes().size(), 1u);
}

TEST_F(RuntimeSaversTest, PictureSaverShowsItsPictureUntilAKey)
{
    StartWithSaver("1", "2");
    script.Run("d 600t");
    EXPECT_EQ(EngineScreenState(), StatePictureSaver);
    script.Run("p");
    EXPECT_EQ(FrameByte(0), 0x5A);
    EXPECT_EQ(FrameByte(1023), 0x5A);
    script.Run("u");
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    EXPECT_EQ(gEngine.selected[0], 1u) << "back to the item that was open";
    EXPECT_EQ(script.Modes().back(), PanelDisplayOn);
}

TEST_F(RuntimeSaversTest, PictureSaverAsksForThePasswordAgain)
{
    TestProject project =
        Project(0, {}, {}, {{"ScreenSaverActiveTime", "1"}, {"SaverEffect", "2"}, {"Password", "R10"}});
    Start(project);
    gEngine.password1 = 42;
    script.Run("p");
    gEngine.passwordEntry = 42;
    script.Run("o 600t");
    ASSERT_EQ(EngineScreenState(), StatePictureSaver);
    EXPECT_EQ(gEngine.accessLevel, AccessNone);
    script.Run("p");
    EXPECT_EQ(script.LitCount(0, 0, 128, 64), 0) << "no saver picture: a dark frame";
    script.Run("d");
    EXPECT_EQ(EngineScreenState(), StatePassword);
    EXPECT_EQ(gEngine.savedState, StateMenuList);
}

TEST_F(RuntimeSaversTest, ClockSaverWakesThenLeaves)
{
    StartWithSaver("1", "3");
    script.Run("600t");
    ASSERT_EQ(EngineScreenState(), StateClockSaver);
    EXPECT_EQ(script.Modes().back(), PanelDisplayDim);
    script.Run("6t");
    EXPECT_GE(gEngine.clock[4], 1);
    EXPECT_LE(gEngine.clock[4], 12);
    EXPECT_GE(gEngine.clock[5], 24) << "years since 2000, offline from the computer's clock";

    script.Run("d");
    EXPECT_EQ(EngineScreenState(), StateClockSaver);
    EXPECT_EQ(script.Modes().back(), PanelDisplayOn);
    EXPECT_EQ(gEngine.saverCounter, 550u);
    script.Run("49t");
    EXPECT_EQ(script.Modes().back(), PanelDisplayOn);
    script.Run("t");
    EXPECT_EQ(script.Modes().back(), PanelDisplayDim) << "dims again 50 ticks after the key";

    script.Run("d O d");
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    EXPECT_EQ(gEngine.saverCounter, 0u);
}
