// Navigation through compiled images: the menu list's rows and brackets, cursor and
// page moves, levels, Level1IsTop, the location number and the item pages.
#include "RuntimeTestImages.h"

#include "LinkFrames.h"
#include "PlcLink.h"
#include "RuntimeNavigation.h"

using namespace runtime;

namespace {

class RuntimeNavigationTest : public ::testing::Test {
protected:
    // The root with count sub-menus "Sub 0" ...
    TestProject RootOf(int count, int model = 0)
    {
        TestProject project = NewTestProject(model);
        for (int i = 0; i < count; ++i)
            AddSubMenu(project.MainMenu, QStringLiteral("Sub %1").arg(i));
        return project;
    }

    // Starts the image and paints into the menu list.
    void StartMenu(TestProject &project, int model = 0)
    {
        ASSERT_EQ(script.Start(CompileForRuntime(project, model), uint8_t(model)), LoadOk);
        script.Run("p p");
        ASSERT_EQ(EngineScreenState(), StateMenuList);
    }

    RuntimeScript script;
};

}  // namespace

TEST_F(RuntimeNavigationTest, DownMovesTheBracketsToTheNextRow)
{
    TestProject project = RootOf(3);
    StartMenu(project);
    script.Run("d p");
    EXPECT_EQ(gEngine.selected[0], 1u);
    EXPECT_EQ(script.Area(6, 33, 5, 12), PatternCell('['));
    EXPECT_EQ(script.Area(124, 33, 4, 12), PatternCell(']', 4));
    EXPECT_EQ(script.LitCount(6, 17, 5, 12), 0) << "no bracket left on row 0";
    EXPECT_EQ(script.LitCount(124, 17, 4, 12), 0);
    // Row captions are centred on 67: "Sub 1" (25 pixels) starts at 55.
    EXPECT_EQ(script.Area(55, 33, 5, 12), PatternCell('S'));
}

TEST_F(RuntimeNavigationTest, DownOnTheLastItemAndUpOnTheFirstDoNothing)
{
    TestProject project = RootOf(3);
    Configure(project, {{"WorkingSpace", "R100"}});
    ASSERT_EQ(script.Start(CompileForRuntime(project), 0), LoadOk);
    gEngine.location = 21;  // the PLC holds item 2 of the root
    script.Run("p p");
    ASSERT_EQ(gEngine.selected[0], 2u);
    const uint16_t sequence = PollSequence;
    script.Run("d");
    EXPECT_EQ(gEngine.selected[0], 2u);
    EXPECT_EQ(gEngine.redraw, 0);
    EXPECT_EQ(WriteBusy, 0) << "no location is written";
    EXPECT_EQ(PollSequence, sequence);

    script.Run("u");
    EXPECT_EQ(gEngine.selected[0], 1u);
    EXPECT_EQ(PendingWrite(),
              WriteFrame("R00100"
                         "000B"));
}

TEST_F(RuntimeNavigationTest, LocationNumberIsBuiltFromThePath)
{
    TestProject project = RootOf(3);
    Configure(project, {{"WorkingSpace", "DR300"}});
    TwNode *level1 = AddSubMenu(project.MainMenu->GetChild(2), QStringLiteral("Deep"));
    for (int i = 0; i < 5; ++i)
        AddSubMenu(level1, QStringLiteral("Leaf %1").arg(i));
    StartMenu(project);
    script.Run("d d o o");
    ASSERT_EQ(gEngine.level, 2u);
    script.Run("d d d");
    EXPECT_EQ(BuildMenuLocation(), 3023u);
    script.Run("d");
    EXPECT_EQ(BuildMenuLocation(), 4023u);
    EXPECT_EQ(gEngine.location, 4023u);
    // Offline the first write stays pending: it carried the first step, 11.
    EXPECT_EQ(PendingWrite(),
              WriteFrame("DR00300"
                         "0000000B"));
}

// Path 8,2,1,3,1 is 131285: a 16-bit register gets the enclosing menu's 31284,
// which names a path that exists, a 32-bit register the whole number.
TEST_F(RuntimeNavigationTest, ALocationBeyondSixteenBitsWritesTheEnclosingMenu)
{
    for (const char *reference : {"R100", "DR300"}) {
        TestProject project = RootOf(9);
        Configure(project, {{"WorkingSpace", reference}});
        // Each level's menu holds one item more than the path's index there.
        TwNode *menu = project.MainMenu->GetChild(8);
        for (int index : {2, 1, 3, 1}) {
            for (int i = 0; i <= index; ++i)
                AddSubMenu(menu, QStringLiteral("M %1").arg(i));
            menu = menu->GetChild(index);
        }
        StartMenu(project);
        script.Run("8d o 2d o d o 3d o");
        ClearPolls();  // the pending write of the first step
        script.Run("d");
        ASSERT_EQ(BuildMenuLocation(), 131285u);
        if (QLatin1String(reference) == QLatin1String("R100")) {
            EXPECT_EQ(PendingWrite(),
                      WriteFrame("R00100"
                                 "7A34"));
            EXPECT_EQ(ParseMenuLocation(31284), 1);
            EXPECT_EQ(gEngine.level, 3u);
            EXPECT_EQ(gEngine.selected[3], 3u);
        } else {
            EXPECT_EQ(PendingWrite(),
                      WriteFrame("DR00300"
                                 "000200D5"));
        }
    }
}

TEST_F(RuntimeNavigationTest, ParseMenuLocationWalksOnlyPathsThatExist)
{
    TestProject project = RootOf(3);
    TwNode *sub = project.MainMenu->GetChild(1);
    AddSubMenu(sub, QStringLiteral("A"));
    AddSubMenu(sub, QStringLiteral("B"));
    StartMenu(project);

    EXPECT_EQ(ParseMenuLocation(11), 1);
    EXPECT_EQ(gEngine.level, 0u);
    EXPECT_EQ(gEngine.selected[0], 1u);
    EXPECT_EQ(ParseMenuLocation(17), 1) << "a count above 6 means item 0 of the root";
    EXPECT_EQ(gEngine.selected[0], 0u);
    EXPECT_EQ(ParseMenuLocation(112), 1);
    EXPECT_EQ(gEngine.level, 1u);
    EXPECT_EQ(gEngine.selected[1], 1u);

    EXPECT_EQ(ParseMenuLocation(12341), 0) << "digits left over";
    EXPECT_EQ(ParseMenuLocation(0), 0);
    EXPECT_EQ(ParseMenuLocation(120), 0);
    EXPECT_EQ(ParseMenuLocation(51), 0) << "index 5 of 3 items";
    EXPECT_EQ(ParseMenuLocation(212), 0) << "sub 1 holds 2 items";
    EXPECT_EQ(ParseMenuLocation(2), 0) << "item 0 has no child page";
}

TEST_F(RuntimeNavigationTest, StartLocationFromThePlcOrTheRoot)
{
    TestProject project = RootOf(3);
    AddSubMenu(project.MainMenu->GetChild(2), QStringLiteral("Inner"));
    ASSERT_EQ(script.Start(CompileForRuntime(project), 0), LoadOk);
    gEngine.location = 22;
    script.Run("p");
    EXPECT_EQ(gEngine.level, 1u);
    EXPECT_EQ(gEngine.selected[0], 2u);
    EXPECT_EQ(gEngine.accessLevel, AccessUser) << "offline no password is read";

    ASSERT_EQ(script.Start(CompileForRuntime(project), 0), LoadOk);
    gEngine.location = 51;
    script.Run("p");
    EXPECT_EQ(gEngine.level, 0u);
    EXPECT_EQ(gEngine.selected[0], 0u);
}

TEST_F(RuntimeNavigationTest, RowsScrollByAScreenful)
{
    TestProject project = RootOf(7);
    StartMenu(project);
    script.Run("d d");
    EXPECT_EQ(gEngine.firstVisible[0], 0u);
    script.Run("d");
    EXPECT_EQ(gEngine.firstVisible[0], 3u);
    script.Run("u");
    EXPECT_EQ(gEngine.selected[0], 2u);
    EXPECT_EQ(gEngine.firstVisible[0], 0u);

    script.Run("]");
    EXPECT_EQ(gEngine.selected[0], 3u);
    script.Run("]");
    EXPECT_EQ(gEngine.selected[0], 6u);
    EXPECT_EQ(gEngine.firstVisible[0], 6u);
    script.Run("]");
    EXPECT_EQ(gEngine.selected[0], 6u) << "no page below";
    script.Run("[");
    EXPECT_EQ(gEngine.selected[0], 3u);
    EXPECT_EQ(gEngine.firstVisible[0], 3u);
    script.Run("p");
    // Rows 3..5 at y 17, 33, 49; the selected row 3 has the brackets.
    EXPECT_EQ(script.Area(6, 17, 5, 12), PatternCell('['));
}

TEST_F(RuntimeNavigationTest, LevelsAndLevel1IsTop)
{
    TestProject project = RootOf(2);
    Configure(project, {{"Level1IsTop", "1"}});
    TwNode *a = AddSubMenu(project.MainMenu->GetChild(0), QStringLiteral("A"));
    AddSubMenu(project.MainMenu->GetChild(0), QStringLiteral("A2"));
    TwNode *b = AddSubMenu(a, QStringLiteral("B"));
    AddSubMenu(b, QStringLiteral("C"));
    StartMenu(project);

    script.Run("o");
    ASSERT_EQ(gEngine.level, 1u);
    script.Run("d e");
    EXPECT_EQ(gEngine.level, 1u) << "Esc at level 1 does nothing";
    EXPECT_EQ(gEngine.selected[1], 1u);

    script.Run("u o o");
    ASSERT_EQ(gEngine.level, 3u);
    script.Run("E");
    EXPECT_EQ(gEngine.level, 1u) << "long Esc goes to level 1";
    EXPECT_EQ(gEngine.selected[1], 0u);
    script.Run("L");
    EXPECT_EQ(gEngine.level, 0u) << "long Left at level 1 goes to the real root";
    script.Run("p");
    EXPECT_EQ(EngineScreenState(), StateMenuList);
}

TEST_F(RuntimeNavigationTest, EscGoesUpAndItemsWithoutChildrenAreNotEntered)
{
    TestProject project = RootOf(2);
    AddSubMenu(project.MainMenu->GetChild(1), QStringLiteral("Inner"));
    StartMenu(project);
    script.Run("o");
    EXPECT_EQ(gEngine.level, 0u) << "Sub 0 has no child page";
    script.Run("d o");
    EXPECT_EQ(gEngine.level, 1u);
    script.Run("e");
    EXPECT_EQ(gEngine.level, 0u);
    EXPECT_EQ(gEngine.selected[0], 1u) << "the parent's selection is kept";
    script.Run("e");
    EXPECT_EQ(gEngine.level, 0u);
}

TEST_F(RuntimeNavigationTest, ValueAndListPagesOpenAndPollTheirRegisters)
{
    TestProject project = NewTestProject(0);
    TwNode *values = AddSubMenu(project.MainMenu, QStringLiteral("Values"));
    AddValue(values, QStringLiteral("Speed"), QStringLiteral("R100"),
             {{"DecimalPoint", "2"}, {"Unit", "rpm"}});
    AddList(values, QStringLiteral("Mode"), QStringLiteral("D7"),
            {QStringLiteral("Off"), QStringLiteral("On")});
    StartMenu(project);
    script.Run("o");
    ASSERT_EQ(EngineScreenState(), StateValuePage);
    const PollSlotView slot = PollSlotAt(gEngine.itemPollSlot);
    EXPECT_TRUE(slot.active);
    EXPECT_EQ(slot.type, OpR);
    EXPECT_EQ(slot.address, 100);
    EXPECT_EQ(gEngine.valueRecord.decimals, 2);

    gEngine.itemValue = 12345;
    script.Run("t p");
    // "123.45" right of the unit's room: f = 43, x = (128 - 43) / 2 = 42; the big '1'
    // row 10 (0x7e) lies at y 55 from x 42.
    EXPECT_EQ(script.Area(42, 55, 8, 1), ".######.\n");
    EXPECT_EQ(script.LitCount(0, 45, 128, 11) > 60, true);

    script.Run("d");
    ASSERT_EQ(EngineScreenState(), StateListPage);
    EXPECT_EQ(PollSlotAt(gEngine.itemPollSlot).address, 7);
    EXPECT_EQ(PollCount, 1) << "the value's poll was given back";
    gEngine.itemValue = 1;
    script.Run("t p");
    // "On" (10 pixels) centred on 62 at y 41.
    EXPECT_EQ(script.Area(57, 41, 5, 12), PatternCell('O'));
    gEngine.itemValue = 5;
    LinkEngine.RequestRedraw();  // as a poll reply does
    script.Run("p");
    // An index beyond the entries shows 11 stars centred on 60: from (120 - 55) / 2.
    EXPECT_EQ(script.Area(32, 43, 5, 12), PatternCell('*'));
    EXPECT_EQ(script.Area(82, 43, 5, 12), PatternCell('*'));
}

TEST_F(RuntimeNavigationTest, LongTextScrollsByAScreenful)
{
    TestProject project = RootOf(1);
    QStringList lines;
    for (int i = 0; i < 20; ++i)
        lines << QStringLiteral("L%1").arg(i);
    SetDescription(project.MainMenu->GetChild(0), lines);
    StartMenu(project);
    script.Run("r");
    ASSERT_EQ(EngineScreenState(), StateLongText);
    EXPECT_EQ(gEngine.lineCount, 20u);
    script.Run("p");
    EXPECT_EQ(script.Area(0, 17, 5, 12), PatternCell('L'));
    EXPECT_EQ(script.Area(104, 7, 6, 1), "#####.\n") << "row 7 of the long-text mark";
    script.Run("6d");
    EXPECT_EQ(gEngine.firstLine, 18u);
    script.Run("d");
    EXPECT_EQ(gEngine.firstLine, 18u) << "18 + 3 is not below 20";
    script.Run("u u");
    EXPECT_EQ(gEngine.firstLine, 12u);
    script.Run("l");
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    script.Run("r e");
    EXPECT_EQ(EngineScreenState(), StateMenuList);
}

TEST_F(RuntimeNavigationTest, ActionRowsArePolledWhileOnScreen)
{
    TestProject project = NewTestProject(0);
    AddAction(project.MainMenu, QStringLiteral("Pump"), 0, QStringLiteral("M10"), {{"StringOff", "Idle"}});
    AddAction(project.MainMenu, QStringLiteral("Fan"), 1, QStringLiteral("Y3"));
    for (int i = 0; i < 3; ++i)
        AddSubMenu(project.MainMenu, QStringLiteral("Sub %1").arg(i));
    ASSERT_EQ(script.Start(CompileForRuntime(project), 0), LoadOk);
    script.Run("p");
    EXPECT_EQ(PollCount, 2);
    EXPECT_EQ(ValuesPending, 1);
    EXPECT_EQ(PollSlotAt(gEngine.rowPollSlots[0]).address, 10);
    EXPECT_EQ(PollSlotAt(gEngine.rowPollSlots[1]).type, OpY);
    script.Run("p");
    EXPECT_EQ(script.LitCount(0, 17, 128, 47), 0) << "nothing below the title while values are pending";

    script.Run("6t p");
    // The toggle row shows its off text while its register's low byte is 0: "Idle"
    // centred on 67 from 57.
    EXPECT_EQ(script.Area(57, 17, 5, 12), PatternCell('I'));
    EXPECT_EQ(script.Area(0, 17, 6, 12), script.Area(0, 33, 6, 12)) << "both rows carry the action mark";
    EXPECT_GT(script.LitCount(0, 17, 6, 12), 0);
    gEngine.rowValues[0] = 1;
    script.Run("6t p");
    EXPECT_EQ(script.Area(57, 17, 5, 12), PatternCell('P'));

    script.Run("3d");
    EXPECT_EQ(PollCount, 0) << "no action row on the second screen";
}

TEST_F(RuntimeNavigationTest, LargeModelShowsFiveRows)
{
    TestProject project = RootOf(7, 1);
    StartMenu(project, 1);
    script.Run("4d p");
    EXPECT_EQ(gEngine.firstVisible[0], 0u);
    EXPECT_EQ(script.Area(6, 81, 5, 12), PatternCell('['));
    script.Run("d");
    EXPECT_EQ(gEngine.firstVisible[0], 5u);
}

TEST_F(RuntimeNavigationTest, WideNumberAndUnitAbbreviateTheUnit)
{
    TestProject project = NewTestProject(0);
    AddValue(project.MainMenu, QStringLiteral("Power"), QStringLiteral("DR10"),
             {{"Signed", "1"}, {"Unit", "kilowatts per hour"}});
    ASSERT_EQ(script.Start(CompileForRuntime(project), 0), LoadOk);
    script.Run("p");
    ASSERT_EQ(EngineScreenState(), StateValuePage);
    EXPECT_EQ(gEngine.numberKind, NumS32);
    gEngine.itemValue = static_cast<uint32_t>(-5);
    script.Run("t p");
    // f = 88 does not fit left of the unit: r = 102, x = (102 - 88) / 2 = 7, "***" at 102.
    EXPECT_EQ(script.Area(102, 43, 5, 12), PatternCell('*'));
    EXPECT_EQ(script.Area(7, 51, 8, 1), "#######.\n") << "the '-' sign's bar";
    EXPECT_EQ(script.LitCount(117, 43, 11, 12), 0) << "the unit text is not drawn";
}
