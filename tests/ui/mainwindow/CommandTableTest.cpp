// The commands of the main window as a user meets them: for a range of
// selections and clipboard contents, the enabled actions (and tool buttons)
// are exactly what may be done with the selected node, written here node by
// node, apart from the window's rules function; a command whose rule forbids
// it does nothing, from its action or from its worker.
#include "MainWindowFixture.h"

#include "NodeStream.h"
#include "ProjectBuilder.h"
#include "TreeViewCheck.h"
#include "mainwindow/MainWindow.h"

#include <QAction>
#include <QSet>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>
#include <vector>

namespace {

using C = Command;

bool IsMenu(const TwNode *node)
{
    return node->Kind == nkMainMenu || node->Kind == nkSubMenu;
}
bool IsMenuItem(int32_t kind)  // what a menu of sub-menus holds
{
    return kind == nkSubMenu || kind == nkAction;
}
bool IsValueItem(int32_t kind)  // what a menu of values holds
{
    return kind == nkValue || kind == nkList;
}
bool Holds(const TwNode *node, bool (*family)(int32_t))
{
    for (int i = 0; i < node->GetChildCount(); ++i) {
        if (family(node->GetChild(i)->Kind))
            return true;
    }
    return false;
}
// 0 for the fixed nodes, one more per menu below them.
int TreeLevel(const TwNode *node)
{
    int level = -1;
    for (const TwNode *p = node->Parent; p; p = p->Parent)
        ++level;
    return level;
}

// What the user may do, by the selected node s (null: none) and the kind on
// the clipboard (0: none).
QSet<Command> WhatMayBeDone(bool projectOpen, bool modified, const TwNode *s, int32_t clip)
{
    QSet<Command> may = {C::New,   C::Open,        C::Exit,  C::DownloadMenu,        C::DownloadFirmware,
                         C::Debug, C::SpecialChar, C::About, C::PreferenceOutputFont};
    if (!projectOpen)
        return may;
    may += {C::SaveAs, C::Close, C::Compile, C::Simulation, C::SimulationOnline};
    if (modified)
        may += C::Save;
    if (!s)
        return may;
    may += C::Search;

    const int kind = s->Kind;
    const int children = s->GetChildCount();
    const TwNode *parent = s->Parent;
    const int siblings = parent ? parent->GetChildCount() : 0;
    const int index = parent ? parent->IndexOfChild(s) : -1;

    // Items of a list of their own: edited, deleted, moved.
    if (kind == nkSubMenu || IsValueItem(kind) || kind == nkAction || kind == nkAlarm || kind == nkScreen) {
        may += {C::Edit, C::Delete};
        if (index > 0)
            may += C::MoveUp;
        if (index < siblings - 1)
            may += C::MoveDown;
    }
    // The fixed nodes that have a dialog of their own.
    if (kind == nkStartupScreen || kind == nkScreenSaver || kind == nkConfiguration || kind == nkDeviceInfo)
        may += C::Edit;
    if (kind == nkAlarms && children < 64)
        may += C::AddAlarm;
    if (kind == nkStartupScreen && children < 16)
        may += C::AddScreen;

    // Menu items travel through the clipboard; the Main Menu is only copied.
    if (kind == nkMainMenu)
        may += C::Copy;
    if (kind == nkSubMenu || IsValueItem(kind) || kind == nkAction)
        may += {C::Copy, C::Cut};
    // Beside an item of the same family, in a menu with room, not at the
    // deepest level.
    const bool sameFamily =
        (IsMenuItem(kind) && IsMenuItem(clip)) || (IsValueItem(kind) && IsValueItem(clip));
    if (sameFamily && siblings < 10 && TreeLevel(s) < 6)
        may += {C::PasteBefore, C::PasteAfter};

    if (IsMenu(s)) {
        may += C::ExportMenu;
        if (children > 0)
            may += C::DeleteLeaf;
        const bool room = children < 10 && TreeLevel(s) < 6;
        if (room && !Holds(s, IsValueItem)) {
            may += {C::AddMenu, C::AddAction, C::ImportMenu};
            if (IsMenuItem(clip))
                may += C::PasteUnder;
        }
        if (room && !Holds(s, IsMenuItem)) {
            may += {C::AddValue, C::AddList};
            if (IsValueItem(clip))
                may += C::PasteUnder;
        }
    }
    // A sub-menu of menus dissolves when its items fit in its place.
    if (kind == nkSubMenu && children > 0 && !Holds(s, IsValueItem) && children + siblings - 1 <= 9)
        may += C::DeleteChar;
    return may;
}

std::string Names(const QSet<Command> &commands)
{
    QStringList names;
    for (Command c : commands)
        names.append(QLatin1String(CommandInfoOf(c).name));
    names.sort();
    return names.join(QLatin1Char(' ')).toStdString();
}

::testing::AssertionResult SameCommands(const QSet<Command> &enabled, const QSet<Command> &expected)
{
    if (enabled == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "enabled but not allowed: " << Names(enabled - expected)
                                         << "; allowed but not enabled: " << Names(expected - enabled);
}

class CommandTableTest : public DesignerWindowTest {
protected:
    QSet<Command> Enabled() const
    {
        QSet<Command> enabled;
        for (int i = 0; i < CommandCount; ++i) {
            if (form->Action(Command(i))->isEnabled())
                enabled.insert(Command(i));
            if (QToolButton *button = form->ToolButton(Command(i))) {
                EXPECT_EQ(button->isEnabled(), form->Action(Command(i))->isEnabled())
                    << CommandInfoOf(Command(i)).name;
            }
        }
        return enabled;
    }

    void PutOnClipboard(const TwNode *node)
    {
        ui.SetClipboardData(ClipboardMimeType(), node ? MakeClipboardBlock(*node) : QByteArray("none"));
    }
};

}  // namespace

TEST_F(CommandTableTest, EnabledCommandsAreWhatMayBeDoneWithTheSelection)
{
    EXPECT_TRUE(SameCommands(Enabled(), WhatMayBeDone(false, false, nullptr, 0)));

    TestProject p = NewTestProject();
    TwNode *values = AddSubMenu(p.MainMenu, QStringLiteral("Values"));
    AddValue(values, QStringLiteral("Flow"), QStringLiteral("R100"));
    AddList(values, QStringLiteral("Mode"), QStringLiteral("R101"),
            {QStringLiteral("Off"), QStringLiteral("On")});
    TwNode *menus = AddSubMenu(p.MainMenu, QStringLiteral("Menus"));
    TwNode *inner = AddSubMenu(menus, QStringLiteral("Inner"));
    AddAction(inner, QStringLiteral("Go"), 1, QStringLiteral("M1"));
    AddAction(menus, QStringLiteral("Stop"), 2, QStringLiteral("M2"));
    TwNode *full = AddSubMenu(p.MainMenu, QStringLiteral("Full"));
    for (int i = 0; i < 10; ++i)
        AddValue(full, QStringLiteral("V%1").arg(i), QStringLiteral("R%1").arg(i));
    TwNode *deep = p.MainMenu;
    for (int level = 1; level <= 6; ++level)
        deep = AddSubMenu(deep, QStringLiteral("Level %1").arg(level));
    // Six items under the Main Menu: dissolving five actions in place
    // would make ten, four make nine.
    TwNode *five = AddSubMenu(p.MainMenu, QStringLiteral("Five"));
    TwNode *four = AddSubMenu(p.MainMenu, QStringLiteral("Four"));
    for (int i = 0; i < 9; ++i)
        AddAction(i < 5 ? five : four, QStringLiteral("A%1").arg(i), 1, QStringLiteral("M%1").arg(i));
    AddAlarm(p.Alarms, 1, {QStringLiteral("Oil")});
    AddAlarm(p.Alarms, 2, {QStringLiteral("Door")});
    AddStartupPicture(p.StartupScreen, PictureHex(0, 0x55));
    const std::unique_ptr<TwNode> copies = std::make_unique<TwNode>(nullptr, QString(), nkProject);
    const TwNode *copiedValue = AddValue(copies.get(), QStringLiteral("Copied"), QStringLiteral("D1"));
    const TwNode *copiedMenu = AddSubMenu(copies.get(), QStringLiteral("Copied menu"));
    form->Document.ReplaceRoot(std::move(p.Root));

    std::vector<const TwNode *> selections = {nullptr,
                                              p.DeviceInfo,
                                              p.MainMenu,
                                              p.Alarms,
                                              p.StartupScreen,
                                              p.ScreenSaver,
                                              p.Configuration,
                                              values,
                                              values->GetChild(0),
                                              values->GetChild(1),
                                              menus,
                                              inner,
                                              inner->GetChild(0),
                                              menus->GetChild(1),
                                              full,
                                              full->GetChild(0),
                                              full->GetChild(9),
                                              deep,
                                              deep->Parent,
                                              five,
                                              four,
                                              p.Alarms->GetChild(0),
                                              p.Alarms->GetChild(1),
                                              p.StartupScreen->GetChild(0)};
    for (const TwNode *clip : {static_cast<const TwNode *>(nullptr), copiedValue, copiedMenu}) {
        PutOnClipboard(clip);
        const int32_t clipKind = clip ? clip->Kind : 0;
        for (bool modified : {false, true}) {
            form->SetModified(modified);
            for (const TwNode *s : selections) {
                form->SelectNode(const_cast<TwNode *>(s));
                EXPECT_TRUE(SameCommands(Enabled(), WhatMayBeDone(true, modified, s, clipKind)))
                    << (s ? s->GetDisplayCaption().toStdString() : "no selection") << ", clipboard "
                    << clipKind;
            }
        }
    }
}

TEST_F(CommandTableTest, ACommandItsRuleForbidsDoesNothing)
{
    TestProject p = NewTestProject();
    TwNode *values = AddSubMenu(p.MainMenu, QStringLiteral("Values"));
    AddValue(values, QStringLiteral("Flow"), QStringLiteral("R100"));
    TwNode *deep = p.MainMenu;
    for (int level = 1; level <= 6; ++level)
        deep = AddSubMenu(deep, QStringLiteral("Level %1").arg(level));
    AddAlarm(p.Alarms, 1, {QStringLiteral("Oil")});
    form->Document.ReplaceRoot(std::move(p.Root));
    PutOnClipboard(values);  // a sub-menu

    // Each worker, called whatever the rules say.
    const std::vector<std::pair<Command, std::function<bool()>>> workers = {
        {C::AddMenu, [&] { return form->EditMenuNode(true); }},
        {C::AddAction, [&] { return form->EditActionNode(true); }},
        {C::AddValue, [&] { return form->EditValueNode(true); }},
        {C::AddList, [&] { return form->EditListNode(true); }},
        {C::AddAlarm, [&] { return form->EditAlarmNode(true); }},
        {C::AddScreen, [&] { return form->EditScreenNode(true); }},
        {C::Edit, [&] { return form->atEditExecute(); }},
        {C::Delete, [&] { return form->DeleteNode(false); }},
        {C::MoveUp, [&] { return form->atMoveUpExecute(); }},
        {C::MoveDown, [&] { return form->atMoveDownExecute(); }},
        {C::ImportMenu, [&] { return form->ImportMenu(); }},
        {C::ExportMenu, [&] { return form->ExportMenu(); }},
        {C::Cut, [&] { return form->CutNode(); }},
        {C::Copy, [&] { return form->CopyNode(); }},
        {C::PasteBefore, [&] { return form->PasteNode(TFormMain::PasteBefore); }},
        {C::PasteAfter, [&] { return form->PasteNode(TFormMain::PasteAfter); }},
        {C::PasteUnder, [&] { return form->PasteNode(TFormMain::PasteUnder); }},
        {C::DeleteLeaf, [&] { return form->atDeleteLeafExecute(); }},
        {C::DeleteChar, [&] { return form->atDeleteCharExecute(); }},
        {C::Search, [&] { return form->miSearchClick(); }},
    };
    const QByteArray before = SaveProjectFile(*form->Root());
    const std::vector<TwNode *> selections = {
        nullptr, form->Root()->GetChild(0), form->Root()->GetChild(1), values->GetChild(0),
        deep,    form->Root()->GetChild(2)};
    for (TwNode *s : selections) {
        form->SelectNode(s);
        for (int i = 0; i < CommandCount; ++i) {
            const Command c = Command(i);
            if (form->Action(c)->isEnabled())
                continue;
            form->Execute(c);  // a shortcut or menu entry of a disabled command
        }
        for (const auto &[command, worker] : workers) {
            if (!form->Action(command)->isEnabled()) {
                EXPECT_FALSE(worker()) << CommandInfoOf(command).name;
            }
        }
    }
    EXPECT_EQ(SaveProjectFile(*form->Root()), before);
    EXPECT_TRUE(ui.Boxes.isEmpty() && ui.Dialogs.isEmpty() && ui.Files.isEmpty());
    EXPECT_TRUE(TreeMatchesView(form->Root(), form->tvProject));
}
