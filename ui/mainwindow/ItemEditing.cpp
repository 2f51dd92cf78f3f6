// The main window's node editing: every item of the tree is added and
// changed through the dialog of its kind.
#include "MainWindow.h"

#include "ModalResult.h"
#include "PanelLcdDriver.h"
#include "PictureData.h"
#include "ProjectTree.h"
#include "UiServices.h"
#include "dialogs/ActionDialog.h"
#include "dialogs/AlarmDialog.h"
#include "dialogs/ConfigurationDialog.h"
#include "dialogs/DeviceInfoDialog.h"
#include "dialogs/ListDialog.h"
#include "dialogs/MenuDialog.h"
#include "dialogs/PictureDialog.h"
#include "dialogs/StartupScreenDialog.h"
#include "dialogs/ValueDialog.h"

#include <QTreeWidget>

// A window caption: its key under "main" and its built-in text.
struct TCaptionText {
    const char *key;
    const char *text;
};

// How one kind of item is added and edited.
struct TNodeEditing {
    Command addCommand;  // the rule an add runs under
    int32_t kind;        // of the new node, and of the node an edit takes
    TCaptionText addCaption;
    TCaptionText editCaption;
    // A property a new node starts with (null: none).
    const char *startKey = nullptr;
    const char *startValue = nullptr;
};

namespace {

constexpr TNodeEditing kMenuEditing{
    Command::AddMenu, nkSubMenu, {"CaptionAddMenuId", "Add Menu"}, {"CaptionEditMenuId", "Edit Menu"}};
constexpr TNodeEditing kValueEditing{
    Command::AddValue, nkValue, {"CaptionAddValueId", "Add Value"}, {"CaptionEditValueId", "Edit Value"},
    "DecimalPoint",    "0"};
constexpr TNodeEditing kListEditing{Command::AddList,
                                    nkList,
                                    {"CaptionAddListId", "Add List"},
                                    {"CaptionEditListId", "Edit List"},
                                    "Max",
                                    "2"};
constexpr TNodeEditing kActionEditing{Command::AddAction,
                                      nkAction,
                                      {"CaptionAddActionId", "Add Action"},
                                      {"CaptionEditActionId", "Edit Button"}};
constexpr TNodeEditing kAlarmEditing{
    Command::AddAlarm, nkAlarm, {"CaptionAddAlarmId", "Add Alarm"}, {"CaptionEditAlarmId", "Edit Alarm"}};
constexpr TNodeEditing kScreenEditing{Command::AddScreen,
                                      nkScreen,
                                      {"CaptionAddScreenId", "Add Screen"},
                                      {"CaptionEditScreenId", "Edit Screen"}};
// The fixed nodes are only edited.
constexpr TNodeEditing kStartupScreenEditing{
    Command::Edit, nkStartupScreen, {}, {"CaptionStartupScreenId", "Startup Screen"}};
constexpr TNodeEditing kScreenSaverEditing{
    Command::Edit, nkScreenSaver, {}, {"CaptionScreenSaverId", "Screen saver"}};
constexpr TNodeEditing kConfigurationEditing{
    Command::Edit, nkConfiguration, {}, {"CaptionConfigurationId", "Configuration"}};

QString CaptionOf(const TCaptionText &caption)
{
    return MainText(caption.text, caption.key);
}

}  // namespace

bool TFormMain::RuleAllowsNow(Command id, int32_t clipboardKind) const
{
    CommandState state = CurrentCommandState();
    state.clipboardKind = clipboardKind;
    return CommandRuleAllows(id, state);
}

void TFormMain::ShowEditedNode(TwNode *node, TwNode *selected)
{
    TreeBinder->Expand(node);
    SelectNode(selected ? selected : node);
    SetModified(true);
    if (isVisible())
        activateWindow();
    tvProject->setFocus();
}

bool TFormMain::EditItem(const TNodeEditing &editing, TItemDialog &dialog, bool add)
{
    TwNode *selected = SelectedNode();
    if (!Root() || !selected)
        return false;
    if (add ? !RuleAllowsNow(editing.addCommand) : selected->Kind != editing.kind)
        return false;

    // A new node belongs to the selection while its dialog is open (the
    // alarm dialog looks at its siblings); it goes again unless confirmed.
    std::unique_ptr<TwNode> added;
    if (add) {
        added = std::make_unique<TwNode>(selected, QString(), editing.kind);
        if (editing.startKey)
            added->SetProp(QLatin1String(editing.startKey), QLatin1String(editing.startValue));
    }
    TwNode *node = add ? added.get() : selected;
    dialog.setWindowTitle(CaptionOf(add ? editing.addCaption : editing.editCaption));
    if (!dialog.LoadFromNode(node) || UiServices().RunDialog(dialog) != mrOk)
        return false;

    if (add)
        TreeBinder->AddNode(added.release());
    TreeBinder->Refresh(node);
    ShowEditedNode(selected);
    return true;
}

bool TFormMain::EditMenuNode(bool add)
{
    return EditItem(kMenuEditing, *MenuForm(), add);
}

bool TFormMain::EditValueNode(bool add)
{
    return EditItem(kValueEditing, *ValueForm(), add);
}

bool TFormMain::EditListNode(bool add)
{
    return EditItem(kListEditing, *ListForm(), add);
}

bool TFormMain::EditActionNode(bool add)
{
    return EditItem(kActionEditing, *ActionForm(), add);
}

bool TFormMain::EditAlarmNode(bool add)
{
    return EditItem(kAlarmEditing, *AlarmForm(), add);
}

bool TFormMain::EditScreenNode(bool add)
{
    return EditItem(kScreenEditing, *ScreenForm(), add);
}

bool TFormMain::EditStartupScreen()
{
    return EditItem(kStartupScreenEditing, *StartupScreenForm(), false);
}

bool TFormMain::EditScreenSaver()
{
    return EditItem(kScreenSaverEditing, *ScreenForm(), false);
}

bool TFormMain::EditConfiguration()
{
    return EditItem(kConfigurationEditing, *ConfigForm(), false);
}

bool TFormMain::EditDeviceInfo()
{
    TwNode *device = SelectedNode();
    if (!Root() || !device || device->Kind != nkDeviceInfo)
        return false;
    TFormDeviceInfo *dialog = DeviceInfoForm();
    const int oldModelId = DeviceModelId(device);
    if (!dialog->LoadFromNode(device) || UiServices().RunDialog(*dialog) != mrOk)
        return false;
    TreeBinder->Refresh(device);
    const int newModelId = DeviceModelId(device);
    if (newModelId != oldModelId) {
        // The pictures are drawn for the display they were made on.
        ConvertPicturesForModel(newModelId, oldModelId);
        SelectPanelModel(uint8_t(newModelId));
    }
    ShowEditedNode(device);
    return true;
}

int TFormMain::ConvertPicturesForModel(int newModelId, int oldModelId)
{
    return Root() ? ::ConvertPicturesForModel(Root(), newModelId, oldModelId) : 0;
}

bool TFormMain::atEditExecute()
{
    const TwNode *selected = SelectedNode();
    if (!Root() || !selected)
        return false;
    switch (selected->Kind) {
    case nkSubMenu: return EditMenuNode(false);
    case nkValue: return EditValueNode(false);
    case nkList: return EditListNode(false);
    case nkAction: return EditActionNode(false);
    case nkAlarm: return EditAlarmNode(false);
    case nkStartupScreen: return EditStartupScreen();
    case nkScreen: return EditScreenNode(false);
    case nkScreenSaver: return EditScreenSaver();
    case nkConfiguration: return EditConfiguration();
    case nkDeviceInfo: return EditDeviceInfo();
    default: return false;
    }
}
