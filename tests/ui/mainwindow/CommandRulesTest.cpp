// The commands' enabling rules, as a table over real project trees, and the
// command table itself.
#include "ProjectTree.h"
#include "mainwindow/Commands.h"

#include <QKeySequence>
#include <QSet>
#include <QString>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

namespace {

// A chain of sub-menus under the Main Menu; returns the deepest one.
TwNode *MenuChain(TwNode *mainMenu, int depth)
{
    TwNode *node = mainMenu;
    for (int i = 0; i < depth; ++i)
        node = new TwNode(node, QStringLiteral("M%1").arg(i), nkSubMenu);
    return node;
}

struct Project {
    std::unique_ptr<TwNode> root = std::make_unique<TwNode>(nullptr, QString(), nkProject);
    TwNode *device = new TwNode(root.get(), QStringLiteral("Device"), nkDeviceInfo);
    TwNode *mainMenu = new TwNode(root.get(), QStringLiteral("Main Menu"), nkMainMenu);
    TwNode *alarms = new TwNode(root.get(), QStringLiteral("Alarms"), nkAlarms);
    TwNode *startup = new TwNode(root.get(), QStringLiteral("Startup Screen"), nkStartupScreen);
    TwNode *saver = new TwNode(root.get(), QStringLiteral("Screen Saver"), nkScreenSaver);
    TwNode *config = new TwNode(root.get(), QStringLiteral("Configuration"), nkConfiguration);

    void Fill(TwNode *parent, int count, int32_t kind)
    {
        for (int i = 0; i < count; ++i)
            new TwNode(parent, QStringLiteral("n%1").arg(i), kind);
    }
};

CommandState Selecting(const TwNode *node, int32_t clip = 0)
{
    CommandState state;
    state.projectOpen = true;
    state.selection = DescribeSelection(node);
    state.clipboardKind = clip;
    return state;
}

// The commands whose rule allows them in state.
QSet<Command> Allowed(const CommandState &state)
{
    QSet<Command> allowed;
    for (int i = 0; i < CommandCount; ++i) {
        if (CommandRuleAllows(Command(i), state))
            allowed.insert(Command(i));
    }
    return allowed;
}

QSet<Command> Cmds(std::initializer_list<Command> commands)
{
    return QSet<Command>(commands);
}

const QSet<Command> kAlways = {Command::New,
                               Command::Open,
                               Command::Exit,
                               Command::DownloadMenu,
                               Command::About,
                               Command::Debug,
                               Command::DownloadFirmware,
                               Command::SpecialChar,
                               Command::PreferenceOutputFont};
const QSet<Command> kWithProject = {Command::SaveAs, Command::Close, Command::Compile, Command::Simulation,
                                    Command::SimulationOnline};

}  // namespace

TEST(CommandRules, WithoutProjectOnlyTheAlwaysCommands)
{
    Project p;
    CommandState state = Selecting(p.mainMenu);
    state.projectOpen = false;
    EXPECT_EQ(Allowed(state), kAlways);
}

TEST(CommandRules, ProjectWithoutSelection)
{
    CommandState state;
    state.projectOpen = true;
    EXPECT_EQ(Allowed(state), kAlways + kWithProject);
    state.modified = true;
    EXPECT_EQ(Allowed(state), kAlways + kWithProject + Cmds({Command::Save}));
}

TEST(CommandRules, FixedNodes)
{
    Project p;
    const QSet<Command> base = kAlways + kWithProject + Cmds({Command::Search});
    using C = Command;
    EXPECT_EQ(Allowed(Selecting(p.device)), base + Cmds({C::Edit}));
    // The Main Menu can be copied and exported but not cut, deleted, moved or
    // pasted beside.
    EXPECT_EQ(Allowed(Selecting(p.mainMenu)),
              base
                  + Cmds({C::AddMenu, C::AddAction, C::AddValue, C::AddList, C::ImportMenu, C::ExportMenu,
                          C::Copy}));
    EXPECT_EQ(Allowed(Selecting(p.alarms)), base + Cmds({C::AddAlarm}));
    EXPECT_EQ(Allowed(Selecting(p.startup)), base + Cmds({C::AddScreen, C::Edit}));
    EXPECT_EQ(Allowed(Selecting(p.saver)), base + Cmds({C::Edit}));
    EXPECT_EQ(Allowed(Selecting(p.config)), base + Cmds({C::Edit}));
    EXPECT_EQ(Allowed(Selecting(p.mainMenu, nkSubMenu)),
              base
                  + Cmds({C::AddMenu, C::AddAction, C::AddValue, C::AddList, C::ImportMenu, C::ExportMenu,
                          C::Copy, C::PasteUnder}));
}

TEST(CommandRules, MenuContentsKeepTheirFamily)
{
    Project p;
    TwNode *withAction = new TwNode(p.mainMenu, QStringLiteral("A"), nkSubMenu);
    new TwNode(withAction, QStringLiteral("act"), nkAction);
    TwNode *withValue = new TwNode(p.mainMenu, QStringLiteral("V"), nkSubMenu);
    new TwNode(withValue, QStringLiteral("val"), nkValue);

    struct Row {
        const TwNode *node;
        int32_t clip;
        Command command;
        bool allowed;
    };
    const std::vector<Row> rows = {
        {withAction, 0, Command::AddMenu, true},
        {withAction, 0, Command::AddAction, true},
        {withAction, 0, Command::ImportMenu, true},
        {withAction, 0, Command::AddValue, false},
        {withAction, 0, Command::AddList, false},
        {withAction, nkValue, Command::PasteUnder, false},
        {withAction, nkList, Command::PasteUnder, false},
        {withAction, nkAction, Command::PasteUnder, true},
        {withValue, 0, Command::AddValue, true},
        {withValue, 0, Command::AddList, true},
        {withValue, 0, Command::AddMenu, false},
        {withValue, 0, Command::AddAction, false},
        {withValue, 0, Command::ImportMenu, false},
        {withValue, nkSubMenu, Command::PasteUnder, false},
        {withValue, nkValue, Command::PasteUnder, true},
        {withValue, 0, Command::DeleteChar, false},
        {withAction, 0, Command::DeleteChar, true},
        {withAction, 0, Command::DeleteLeaf, true},
        {p.mainMenu->GetChild(0), 0, Command::MoveUp, false},
        {withAction, 0, Command::MoveUp, false},
        {withAction, 0, Command::MoveDown, true},
        {withValue, 0, Command::MoveUp, true},
        {withValue, 0, Command::MoveDown, false},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(CommandRuleAllows(row.command, Selecting(row.node, row.clip)), row.allowed)
            << CommandInfoOf(row.command).name << " on " << row.node->Caption().toStdString() << " clip "
            << row.clip;
    }
}

TEST(CommandRules, TenChildrenCloseAMenu)
{
    Project p;
    TwNode *full = new TwNode(p.mainMenu, QStringLiteral("Full"), nkSubMenu);
    p.Fill(full, 10, nkValue);
    for (Command c : {Command::AddValue, Command::AddList, Command::PasteUnder})
        EXPECT_FALSE(CommandRuleAllows(c, Selecting(full, nkValue))) << CommandInfoOf(c).name;
    // Its children can still be moved, cut and copied, but nothing is pasted
    // beside them.
    const CommandState child = Selecting(full->GetChild(4), nkValue);
    for (Command c : {Command::MoveUp, Command::MoveDown, Command::Cut, Command::Copy, Command::Delete})
        EXPECT_TRUE(CommandRuleAllows(c, child)) << CommandInfoOf(c).name;
    EXPECT_FALSE(CommandRuleAllows(Command::PasteBefore, child));
    EXPECT_FALSE(CommandRuleAllows(Command::PasteAfter, child));

    TwNode *nine = new TwNode(p.mainMenu, QStringLiteral("Nine"), nkSubMenu);
    p.Fill(nine, 9, nkValue);
    EXPECT_TRUE(CommandRuleAllows(Command::PasteAfter, Selecting(nine->GetChild(0), nkList)));
    EXPECT_TRUE(CommandRuleAllows(Command::AddValue, Selecting(nine)));
}

TEST(CommandRules, DepthLimits)
{
    Project p;
    // Tree level of a node n sub-menus below the Main Menu is n.
    TwNode *level6 = MenuChain(p.mainMenu, 6);
    TwNode *level5 = level6->Parent;
    ASSERT_EQ(DescribeSelection(level6).level, 6);

    // A sub-menu at level 6 takes nothing: a project file keeps no item below
    // it, so values added there would be lost on the next load.
    EXPECT_FALSE(CommandRuleAllows(Command::AddValue, Selecting(level6)));
    EXPECT_FALSE(CommandRuleAllows(Command::AddList, Selecting(level6)));
    EXPECT_TRUE(CommandRuleAllows(Command::AddValue, Selecting(new TwNode(level5->Parent, "V", nkSubMenu))));
    EXPECT_FALSE(CommandRuleAllows(Command::AddMenu, Selecting(level6)));
    EXPECT_FALSE(CommandRuleAllows(Command::AddAction, Selecting(level6)));
    EXPECT_FALSE(CommandRuleAllows(Command::ImportMenu, Selecting(level6)));
    // Pasting beside tests the level of the node pasted beside.
    EXPECT_FALSE(CommandRuleAllows(Command::PasteBefore, Selecting(level6, nkSubMenu)));
    EXPECT_FALSE(CommandRuleAllows(Command::PasteAfter, Selecting(level6, nkSubMenu)));
    EXPECT_TRUE(CommandRuleAllows(Command::AddMenu, Selecting(level5)));
    EXPECT_TRUE(CommandRuleAllows(Command::PasteUnder, Selecting(level5, nkSubMenu)));
    EXPECT_FALSE(CommandRuleAllows(Command::PasteUnder, Selecting(level6, nkValue)));
}

TEST(CommandRules, PasteBesideNeedsTheSameFamily)
{
    Project p;
    TwNode *menu = new TwNode(p.mainMenu, QStringLiteral("Menu"), nkSubMenu);
    TwNode *action = new TwNode(p.mainMenu, QStringLiteral("Act"), nkAction);
    TwNode *values = new TwNode(p.mainMenu, QStringLiteral("Vals"), nkSubMenu);
    TwNode *value = new TwNode(values, QStringLiteral("V"), nkValue);
    TwNode *list = new TwNode(values, QStringLiteral("L"), nkList);

    for (int32_t clip : {nkSubMenu, nkAction}) {
        for (const TwNode *target : {menu, action})
            EXPECT_TRUE(CommandRuleAllows(Command::PasteBefore, Selecting(target, clip)));
        for (const TwNode *target : {value, list})
            EXPECT_FALSE(CommandRuleAllows(Command::PasteAfter, Selecting(target, clip)));
    }
    for (int32_t clip : {nkValue, nkList}) {
        for (const TwNode *target : {value, list})
            EXPECT_TRUE(CommandRuleAllows(Command::PasteAfter, Selecting(target, clip)));
        for (const TwNode *target : {menu, action})
            EXPECT_FALSE(CommandRuleAllows(Command::PasteBefore, Selecting(target, clip)));
    }
    // Nothing on the clipboard, or a Main Menu copied as itself: no paste.
    for (int32_t clip : {0, int32_t(nkMainMenu), int32_t(nkAlarm)}) {
        EXPECT_FALSE(CommandRuleAllows(Command::PasteBefore, Selecting(menu, clip)));
        EXPECT_FALSE(CommandRuleAllows(Command::PasteUnder, Selecting(menu, clip)));
    }
}

TEST(CommandRules, AlarmsScreensAndDeleteNode)
{
    Project p;
    p.Fill(p.alarms, 63, nkAlarm);
    EXPECT_TRUE(CommandRuleAllows(Command::AddAlarm, Selecting(p.alarms)));
    p.Fill(p.alarms, 1, nkAlarm);
    EXPECT_FALSE(CommandRuleAllows(Command::AddAlarm, Selecting(p.alarms)));
    p.Fill(p.startup, 15, nkScreen);
    EXPECT_TRUE(CommandRuleAllows(Command::AddScreen, Selecting(p.startup)));
    p.Fill(p.startup, 1, nkScreen);
    EXPECT_FALSE(CommandRuleAllows(Command::AddScreen, Selecting(p.startup)));
    EXPECT_TRUE(CommandRuleAllows(Command::Delete, Selecting(p.startup->GetChild(3))));
    EXPECT_FALSE(CommandRuleAllows(Command::Cut, Selecting(p.alarms->GetChild(0))));

    // Dissolving a sub-menu: its children take its place among at most 10.
    TwNode *inner = new TwNode(p.mainMenu, QStringLiteral("Inner"), nkSubMenu);
    p.Fill(inner, 3, nkAction);
    p.Fill(p.mainMenu, 7, nkAction);                                         // 8 children now
    EXPECT_FALSE(CommandRuleAllows(Command::DeleteChar, Selecting(inner)));  // 3 + 8 - 1 = 10
    delete p.mainMenu->GetChild(7);
    EXPECT_TRUE(CommandRuleAllows(Command::DeleteChar, Selecting(inner)));  // 9
    TwNode *empty = new TwNode(p.mainMenu, QStringLiteral("Empty"), nkSubMenu);
    EXPECT_FALSE(CommandRuleAllows(Command::DeleteChar, Selecting(empty)));
    EXPECT_FALSE(CommandRuleAllows(Command::DeleteLeaf, Selecting(empty)));
}

TEST(CommandRules, ExitAlwaysPropertiesNever)
{
    CommandState state;
    state.projectOpen = true;
    state.modified = true;
    EXPECT_TRUE(CommandRuleAllows(Command::Exit, CommandState()));
    EXPECT_FALSE(CommandRuleAllows(Command::Properties, state));
}

TEST(CommandTable, NamesShortcutsAndImages)
{
    QSet<QString> names, buttons;
    QSet<int> images;
    for (int i = 0; i < CommandCount; ++i) {
        const CommandInfo &info = CommandInfoOf(Command(i));
        EXPECT_EQ(int(info.id), i);
        EXPECT_FALSE(names.contains(QLatin1String(info.name))) << info.name;
        names.insert(QLatin1String(info.name));
        if (*info.shortcut) {
            EXPECT_FALSE(QKeySequence(QLatin1String(info.shortcut)).isEmpty()) << info.shortcut;
        }
        if (info.image >= 0) {
            EXPECT_FALSE(images.contains(info.image)) << info.name;
            images.insert(info.image);
        }
        EXPECT_EQ(info.toolButton == nullptr, info.hint == nullptr) << info.name;
        if (info.toolButton) {
            EXPECT_FALSE(buttons.contains(QLatin1String(info.toolButton)));
            buttons.insert(QLatin1String(info.toolButton));
            EXPECT_GE(info.image, 0) << info.name;
        }
    }
    EXPECT_EQ(buttons.size(), 25);  // 3 on the file bar, 22 on the edit bar
    EXPECT_STREQ(CommandInfoOf(Command::DeleteLeaf).hint, "Delete Child");
    EXPECT_STREQ(CommandInfoOf(Command::SimulationOnline).shortcut, "F10");
    EXPECT_EQ(CommandInfoOf(Command::AddAction).image, 26);
}
