// The main window's commands: their table (name, caption, shortcut, image,
// tool button) and the one rules function that decides which are enabled.
//
// The rules are plain code over a snapshot of the window's state
// (CommandState), so they can be tested as a table. They are the one place
// that decides whether a command is enabled; each worker still checks its
// own precondition before it acts.
#pragma once

#include <QString>

#include <cstdint>

class TwNode;

enum class Command : int {
    New,
    Open,
    Save,
    SaveAs,
    Close,
    Exit,
    Compile,
    Simulation,
    Properties,
    DownloadMenu,
    About,
    AddMenu,
    AddAction,
    AddValue,
    AddList,
    AddAlarm,
    AddScreen,
    Edit,
    Delete,
    Debug,
    MoveUp,
    MoveDown,
    ImportMenu,
    ExportMenu,
    Cut,
    Copy,
    PasteBefore,
    PasteAfter,
    PasteUnder,
    DeleteLeaf,
    DeleteChar,
    Search,
    DownloadFirmware,
    SpecialChar,
    SimulationOnline,
    PreferenceOutputFont,
};

constexpr int CommandCount = int(Command::PreferenceOutputFont) + 1;

// One command of the main window. Texts are the built-in (English) ones; the
// language files replace caption and hint by object name.
struct CommandInfo {
    Command id;
    const char *name;        // object name of the QAction ("atNew")
    const char *caption;     // text shown in the menus
    const char *shortcut;    // portable key sequence text, or ""
    int image;               // index into the menu images, -1 for none
    const char *toolButton;  // object name of the tool button, or nullptr
    const char *hint;        // tool button hint, or nullptr
};

// The command of id, from the table in command order.
const CommandInfo &CommandInfoOf(Command id);

// What the rules know about the selected node. A missing selection leaves
// present false and makes every rule that names the selection false.
struct SelectionFacts {
    bool present = false;
    int32_t kind = 0;
    int level = 0;  // tree level: 0 for the fixed top-level nodes
    int children = 0;
    bool hasSubMenu = false;  // a child of kind 101
    bool hasValue = false;    // 102
    bool hasList = false;     // 103
    bool hasAction = false;   // 104
    bool hasParent = false;
    int parentChildren = 0;
    bool firstOfParent = false;
    bool lastOfParent = false;
};

// The facts of node; a null node gives an absent selection.
SelectionFacts DescribeSelection(const TwNode *node);

struct CommandState {
    bool projectOpen = false;
    bool modified = false;
    SelectionFacts selection;
    int32_t clipboardKind = 0;  // kind of the subtree on the clipboard, 0 for none
};

// Whether the command is enabled in state: its editing rule.
bool CommandRuleAllows(Command id, const CommandState &state);

// Whether dragged may be dropped onto target, landing just before it in
// target's menu: both of one family (sub-menus and actions, or values and
// lists), target not inside dragged's subtree, and the menu it lands in
// keeping its limits (at most 10 children of one family, no item deeper than
// the tree level a project file keeps).
bool TreeDropAllowed(const TwNode &dragged, const TwNode &target);
