// The main window's command table and its enabling rules.
#include "Commands.h"

#include "MenuCompiler.h"
#include "ProjectTree.h"

#include <array>
#include <initializer_list>

namespace {

// In Command order.
constexpr std::array<CommandInfo, CommandCount> kCommands{{
    {Command::New, "atNew", "&New ...", "Ctrl+N", 0, "tbNew", "New"},
    {Command::Open, "atOpen", "&Open ...", "Ctrl+O", 1, "tbOpen", "Open"},
    {Command::Save, "atSave", "&Save", "Ctrl+S", 2, "tbSave", "Save"},
    {Command::SaveAs, "atSaveAs", "S&ave As ...", "", -1, nullptr, nullptr},
    {Command::Close, "atClose", "C&lose", "", -1, nullptr, nullptr},
    {Command::Exit, "atExit", "&Exit", "Alt+F4", 3, nullptr, nullptr},
    {Command::Compile, "atCompile", "&Compile ...", "F8", 14, "tbCompile", "Compile"},
    {Command::Simulation, "atSimulation", "Simulation Offline", "F9", 15, "tbSimulationOffline",
     "Simulation Offline"},
    {Command::Properties, "atProperties", "&Properties ...", "", -1, nullptr, nullptr},
    {Command::DownloadMenu, "atDownloadMenu", "Download &Menu", "", 28, nullptr, nullptr},
    {Command::About, "atAbout", "About ...", "", -1, nullptr, nullptr},
    {Command::AddMenu, "atAddMenu", "Add Menu ...", "", 4, "tbAddMenu", "Add Menu"},
    {Command::AddAction, "atAddAction", "Add Action ...", "", 26, "tbAddAction", "Add Action"},
    {Command::AddValue, "atAddValue", "Add Value ...", "", 5, "tbAddValue", "Add Value"},
    {Command::AddList, "atAddList", "Add List ...", "", 6, "tbAddList", "Add List"},
    {Command::AddAlarm, "atAddAlarm", "Add Alarm ...", "", 7, "tbAddAlarm", "Add Alarm"},
    {Command::AddScreen, "atAddScreen", "Add Startup Screen ...", "", 8, "tbAddStartupScreen",
     "Add Startup Screen"},
    {Command::Edit, "atEdit", "Edit ...", "", 9, "tbEdit", "Edit"},
    {Command::Delete, "atDelete", "Delete", "Del", 10, "tbDelete", "Delete"},
    {Command::Debug, "atDebug", "Debug", "Ctrl+D", 11, nullptr, nullptr},
    {Command::MoveUp, "atMoveUp", "Move Up", "", 12, "tbMoveUp", "Move Up"},
    {Command::MoveDown, "atMoveDown", "Move Down", "", 13, "tbMoveDown", "Move Down"},
    {Command::ImportMenu, "atImportMenu", "Import Menu ...", "", 16, "tbImportMenu", "Import Menu"},
    {Command::ExportMenu, "atExportMenu", "Export Menu ...", "", 17, "tbExportMenu", "Export Menu"},
    {Command::Cut, "atCut", "Cut", "Ctrl+X", 18, "tbCut", "Cut"},
    {Command::Copy, "atCopy", "Copy", "Ctrl+C", 19, "tbCopy", "Copy"},
    {Command::PasteBefore, "atPasteBefore", "Paste Before", "", 20, "tbPasteBefore", "Paste Before"},
    {Command::PasteAfter, "atPasteAfter", "Paste After", "", 21, "tbPasteAfter", "Paste After"},
    {Command::PasteUnder, "atPasteUnder", "Paste Under", "Ctrl+V", 22, "tbPasteUnder", "Paste Under"},
    {Command::DeleteLeaf, "atDeleteLeaf", "Delete Leaf", "Ctrl+Del", 23, "tbDeleteLeaf", "Delete Child"},
    {Command::DeleteChar, "atDeleteChar", "Delete Node", "", 24, "tbDeleteChar", "Delete Node"},
    {Command::Search, "atSearch", "&Find ...", "Ctrl+F", 27, nullptr, nullptr},
    {Command::DownloadFirmware, "atdownloadfirmware", "&Download &Firmware ...", "", 29, nullptr, nullptr},
    {Command::SpecialChar, "atSpecialChar", "Enter Special Character...", "", 30, nullptr, nullptr},
    {Command::SimulationOnline, "atSimulationOnline", "Simulation Online", "F10", 31, "tbSimulationOnline",
     "Simulation Online"},
    {Command::PreferenceOutputFont, "miPreferenceOutputFont", "Preference Output Font ...", "", -1, nullptr,
     nullptr},
}};

constexpr bool TableInCommandOrder()
{
    for (int i = 0; i < CommandCount; ++i) {
        if (int(kCommands[i].id) != i)
            return false;
    }
    return true;
}
static_assert(TableInCommandOrder(), "the command table must follow the Command order");

bool KindIn(int32_t kind, std::initializer_list<int32_t> kinds)
{
    for (int32_t k : kinds) {
        if (k == kind)
            return true;
    }
    return false;
}

bool IsMenu(int32_t kind)
{
    return kind == nkMainMenu || kind == nkSubMenu;
}
// Sub-menus and actions share a menu; values and lists share another.
bool IsMenuEntry(int32_t kind)
{
    return kind == nkSubMenu || kind == nkAction;
}
bool IsValueEntry(int32_t kind)
{
    return kind == nkValue || kind == nkList;
}
bool SameFamily(int32_t a, int32_t b)
{
    return (IsMenuEntry(a) && IsMenuEntry(b)) || (IsValueEntry(a) && IsValueEntry(b));
}

// Tree limits the compiler and the panel rely on.
constexpr int kMaxMenuChildren = 10;
constexpr int kMaxMenuLevel = 6;
// One alarm per entry of the image's alarm table.
constexpr int kMaxAlarms = kAlarmCount;
constexpr int kMaxScreens = 16;

// Nodes that may be deleted, moved and edited as items of their parent.
bool IsMovable(int32_t kind)
{
    return KindIn(kind, {nkSubMenu, nkValue, nkList, nkAction, nkAlarm, nkScreen});
}

// A menu that may receive a sub-menu, an action or an imported menu.
bool TakesMenuEntry(const SelectionFacts &s)
{
    return IsMenu(s.kind) && !s.hasValue && !s.hasList && s.level < kMaxMenuLevel
        && s.children < kMaxMenuChildren;
}

// A menu that may receive a value or a list. Below a sub-menu at the last
// level a project file keeps nothing: values there would be lost on the
// next load.
bool TakesValueEntry(const SelectionFacts &s)
{
    return IsMenu(s.kind) && !s.hasSubMenu && !s.hasAction && s.level < kMaxMenuLevel
        && s.children < kMaxMenuChildren;
}

bool PasteBesideAllowed(const SelectionFacts &s, int32_t clip)
{
    return s.hasParent && SameFamily(clip, s.kind) && s.level < kMaxMenuLevel
        && s.parentChildren < kMaxMenuChildren;
}

bool PasteUnderAllowed(const SelectionFacts &s, int32_t clip)
{
    return (IsMenuEntry(clip) && TakesMenuEntry(s)) || (IsValueEntry(clip) && TakesValueEntry(s));
}

// The rules that need an open project and a selected node.
bool SelectionRuleAllows(Command id, const SelectionFacts &s, int32_t clip)
{
    switch (id) {
    case Command::AddMenu:
    case Command::AddAction:
    case Command::ImportMenu: return TakesMenuEntry(s);
    case Command::AddValue:
    case Command::AddList: return TakesValueEntry(s);
    case Command::AddAlarm: return s.kind == nkAlarms && s.children < kMaxAlarms;
    case Command::AddScreen: return s.kind == nkStartupScreen && s.children < kMaxScreens;
    case Command::Edit:
        return KindIn(s.kind,
                      {nkSubMenu, nkValue, nkList, nkAction, nkAlarm, nkStartupScreen, nkScreen,
                       nkScreenSaver, nkConfiguration, nkDeviceInfo});
    case Command::Delete: return IsMovable(s.kind);
    case Command::MoveUp: return IsMovable(s.kind) && s.parentChildren > 1 && !s.firstOfParent;
    case Command::MoveDown: return IsMovable(s.kind) && s.parentChildren > 1 && !s.lastOfParent;
    case Command::ExportMenu: return IsMenu(s.kind);
    case Command::Cut: return s.kind >= nkSubMenu && s.kind <= nkAction;
    case Command::Copy: return s.kind >= nkMainMenu && s.kind <= nkAction;
    case Command::PasteBefore:
    case Command::PasteAfter: return PasteBesideAllowed(s, clip);
    case Command::PasteUnder: return PasteUnderAllowed(s, clip);
    case Command::DeleteLeaf: return IsMenu(s.kind) && s.children >= 1;
    case Command::DeleteChar:
        return s.kind == nkSubMenu && !s.hasValue && !s.hasList && s.children > 0
            && s.children + s.parentChildren - 1 < kMaxMenuChildren;
    case Command::Search: return true;
    default: return false;
    }
}

}  // namespace

const CommandInfo &CommandInfoOf(Command id)
{
    return kCommands[std::size_t(id)];
}

SelectionFacts DescribeSelection(const TwNode *node)
{
    SelectionFacts s;
    if (!node)
        return s;
    s.present = true;
    s.kind = node->Kind;
    s.level = node->GetLevel() - 1;
    s.children = node->GetChildCount();
    s.hasSubMenu = node->FindChildOfKind(nkSubMenu) != nullptr;
    s.hasValue = node->FindChildOfKind(nkValue) != nullptr;
    s.hasList = node->FindChildOfKind(nkList) != nullptr;
    s.hasAction = node->FindChildOfKind(nkAction) != nullptr;
    if (const TwNode *parent = node->Parent) {
        s.hasParent = true;
        s.parentChildren = parent->GetChildCount();
        const int index = parent->IndexOfChild(node);
        s.firstOfParent = index == 0;
        s.lastOfParent = index == s.parentChildren - 1;
    }
    return s;
}

bool CommandRuleAllows(Command id, const CommandState &state)
{
    switch (id) {
    case Command::New:
    case Command::Open:
    case Command::Exit:
    case Command::DownloadMenu:
    case Command::About:
    case Command::Debug:
    case Command::DownloadFirmware:
    case Command::SpecialChar:
    case Command::PreferenceOutputFont: return true;
    case Command::Properties: return false;
    case Command::Save: return state.projectOpen && state.modified;
    case Command::SaveAs:
    case Command::Close:
    case Command::Compile:
    case Command::Simulation:
    case Command::SimulationOnline: return state.projectOpen;
    default:
        return state.projectOpen && state.selection.present
            && SelectionRuleAllows(id, state.selection, state.clipboardKind);
    }
}

bool TreeDropAllowed(const TwNode &dragged, const TwNode &target)
{
    const TwNode *menu = target.Parent;
    if (!SameFamily(dragged.Kind, target.Kind) || !menu || !dragged.Parent)
        return false;
    // Never into its own subtree (onto itself it stays where it is).
    for (const TwNode *p = menu; p; p = p->Parent) {
        if (p == &dragged)
            return false;
    }
    if (menu != dragged.Parent && menu->GetChildCount() >= kMaxMenuChildren)
        return false;
    for (int i = 0; i < menu->GetChildCount(); ++i) {
        const int32_t kind = menu->GetChild(i)->Kind;
        if (IsMenuEntry(kind) != IsMenuEntry(dragged.Kind))
            return false;
    }
    // Its deepest item lands at target's level plus its height less one; the
    // items of a sub-menu at the last level would be cut by the next load.
    const int level = target.GetLevel() - 1;
    return level + dragged.GetHeight() - 1 <= kMaxMenuLevel;
}
