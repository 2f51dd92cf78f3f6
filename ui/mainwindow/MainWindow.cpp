// The designer's main window.
#include "MainWindow.h"

#include "ApLiteDialogs.h"
#include "Application.h"
#include "BoundedFile.h"
#include "DownloadDialog.h"
#include "GlyphRaster.h"
#include "Localizer.h"
#include "MenuCompiler.h"
#include "MessageBox.h"
#include "ModalResult.h"
#include "NodeStream.h"
#include "PanelLcdDriver.h"
#include "ProjectTree.h"
#include "Startup.h"
#include "UiServices.h"
#include "WindowImages.h"
#include "dialogs/CompileResultDialog.h"
#include "dialogs/DescriptionForm.h"
#include "dialogs/DeviceInfoDialog.h"
#include "dialogs/ImageViewer.h"
#include "dialogs/OutputFont.h"
#include "simulator/SimulatorWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>
#include <initializer_list>
#include <system_error>

TFormMain *FormMain = nullptr;

namespace {

const QString kCaption = QStringLiteral("ZELD");
const QString kCaptionPrefix = QStringLiteral("ZELD - ");

constexpr int kWidth = 656;
constexpr int kHeight = 483;
constexpr int kMinWidth = 640;
constexpr int kMinHeight = 480;
constexpr int kTreeIndent = 19;
constexpr int kSplitterMinimum = 20;
constexpr int kSearchListHeight = 69;
constexpr int kStatusWidths[TFormMain::StatusPanelCount] = {72, 50, 50, 50};

// Marks a separator in the menu and tool-bar lists below.
constexpr int kSeparator = -1;
using Entries = std::initializer_list<int>;

constexpr int C(Command id)
{
    return int(id);
}

// The fixed top-level nodes and the keys of their names.
struct FixedNodeName {
    int32_t kind;
    const char *key;
    const char *defaultText;
};
constexpr FixedNodeName kFixedNodeNames[] = {
    {nkMainMenu, "NodeNameMainMenu", "Main Menu"},
    {nkAlarms, "NodeNameAlarm", "Alarms"},
    {nkStartupScreen, "NodeNameStartScreen", "Startup Screen"},
    {nkScreenSaver, "NodeNameScreenSave", "Screen Saver"},
    {nkConfiguration, "NodeNameConfiguration", "Configuration"},
    {nkDeviceInfo, "NodeNameDevice", "Device"},
};

QMenu *NewMenu(QWidget *parent, const char *name, const char *title)
{
    auto *menu = new QMenu(QString::fromUtf8(title), parent);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

const QString kProjectFilter = QStringLiteral("ZEL files (*.zel)|*.zel|All files (*.*)|*.*");
const QString kMenuFilter = QStringLiteral("ZEL Menu files (*.mzm)|*.mzm|All files (*.*)|*.*");
const QString kProjectExtension = QStringLiteral(".zel");

// The fixed nodes a new project gets after its Device Information node, in
// order, with the properties they start with.
struct NewProjectNode {
    int32_t kind;
    const char *caption;
    const char *props[3][2];  // key and value; unused entries null
};
const NewProjectNode kNewProjectNodes[] = {
    {nkMainMenu, "Main Menu", {}},
    {nkAlarms, "Alarms", {}},
    {nkStartupScreen, "Startup Screen", {{"EndCondition", "0"}, {"FlipTime", "10"}, {"CycleCount", "0"}}},
    {nkScreenSaver, "Screen Saver", {}},
    {nkConfiguration, "Configuration", {{"ScreenSaverActiveTime", "10"}, {"SaverEffect", "1"}}},
};

// Images larger than this are not read for a simulation.
constexpr qint64 kMaxSimulationImageBytes = 16 * 1024 * 1024;

// The extension of a file name from its last dot, the dot included; empty
// when the name has none.
QString FileExtension(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

// path with its extension replaced by extension (appended when it has none).
QString ChangeFileExt(const QString &path, const QString &extension)
{
    return path.left(path.size() - FileExtension(path).size()) + extension;
}

bool IsProjectFileName(const QString &path)
{
    const QString extension = FileExtension(path);
    return extension.compare(kProjectExtension, Qt::CaseInsensitive) == 0
        || extension.compare(QLatin1String(".mze"), Qt::CaseInsensitive) == 0;
}

// The folder of a file, offered first by the file choosers.
QString FolderOf(const QString &path)
{
    return path.isEmpty() ? QString() : QFileInfo(path).path();
}

// A new project's root after the device information dialog, null when the
// dialog was not confirmed.
std::unique_ptr<TwNode> MakeNewProject()
{
    auto root = std::make_unique<TwNode>(nullptr, QString(), nkProject);
    auto *device = new TwNode(root.get(), kDeviceInfoCaption, nkDeviceInfo);
    TFormDeviceInfo *dialog = DeviceInfoForm();
    if (!dialog->LoadFromNode(device) || UiServices().RunDialog(*dialog) != mrOk)
        return nullptr;
    for (const NewProjectNode &fixed : kNewProjectNodes) {
        auto *node = new TwNode(root.get(), QString::fromUtf8(fixed.caption), fixed.kind);
        for (const auto &prop : fixed.props) {
            if (prop[0])
                node->SetProp(QLatin1String(prop[0]), QLatin1String(prop[1]));
        }
    }
    return root;
}

// Reads a menu image file whole; false with the reason naming the file.
bool ReadImageFile(const QString &path, QByteArray &image, QString &error)
{
    QString reason;
    const TFileRead read = ReadFileBounded(path, kMaxSimulationImageBytes, image, reason);
    if (read == TFileRead::Ok)
        return true;
    if (read == TFileRead::TooLarge)
        reason = QStringLiteral("the file is too large for a menu image");
    error = QStringLiteral("Cannot read the menu image %1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

void ShowPlainMessage(const QString &text)
{
    UiServices().ShowBox(TBoxRequest::Make(TBoxRequest::Plain, text, ApplicationTitle()));
}

QString IllegalExtensionText()
{
    return MainText("Illegal File Extension", "IllegalFileId");
}

// True when a and b name the same file: the file system's own answer for
// files that exist (links, the spelling of names), else the same full path.
bool SameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a), second(b);
    std::error_code error;
    return std::filesystem::equivalent(first.filesystemAbsoluteFilePath(),
                                       second.filesystemAbsoluteFilePath(), error)
        || first.absoluteFilePath() == second.absoluteFilePath();
}

}  // namespace

QString MainText(const char *defaultText, const char *id)
{
    return Localizer.GetText(QString::fromUtf8(defaultText), QStringLiteral("main"), QLatin1String(id));
}

QString ClipboardMimeType()
{
    return QStringLiteral("application/x-CF_MZELMenuRes");
}

int DeviceModelId(const TwNode *device)
{
    const int id = device ? device->GetPropInt(QStringLiteral("DeviceID"), 0) : 0;
    for (int known : TFormDeviceInfo::DeviceIds) {
        if (known == id)
            return id;
    }
    return TFormDeviceInfo::DeviceIds[0];
}

TFormMain::TFormMain(QWidget *parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                      | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormMain"));
    resize(kWidth, kHeight);
    setMinimumSize(kMinWidth, kMinHeight);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreateProjectGroup();
    CreateStatusBar();
    CreateFileDialogs();

    Document.OnRootChanged = [this] {
        ClickedItem = nullptr;
        TreeBinder->Bind(Document.Root());
        UpdateActions();
    };
    Document.OnModifiedChanged = [this](bool modified) {
        SetStatusText(0, modified ? QStringLiteral("Modified") : QString());
        UpdateActions();
    };
    Document.OnPathChanged = [this](const QString &path) {
        setWindowTitle(path.isEmpty() ? kCaption : kCaptionPrefix + path);
    };
    FormCreate();
}

TFormMain::~TFormMain()
{
    FormDestroy();
    Localizer.SetAfterLanguageChange(nullptr);
    // The tree view lets go of its items while the nodes still exist.
    Document.ReplaceRoot(nullptr);
    Document.OnRootChanged = nullptr;
    Document.OnModifiedChanged = nullptr;
    Document.OnPathChanged = nullptr;
    TreeBinder.reset();
}

// ---- Components -------------------------------------------------------------

void TFormMain::CreateActions()
{
    for (int i = 0; i < CommandCount; ++i) {
        const Command id = Command(i);
        const CommandInfo &info = CommandInfoOf(id);
        auto *action = new QAction(QString::fromUtf8(info.caption), this);
        action->setObjectName(QLatin1String(info.name));
        if (*info.shortcut)
            action->setShortcut(QKeySequence(QLatin1String(info.shortcut)));
        if (info.image >= 0)
            action->setIcon(MenuImage(info.image));
        action->setEnabled(false);
        connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
        actions_[std::size_t(i)] = action;
    }
    Action(Command::Properties)->setVisible(false);
    // The debug viewer has no visible entry; its shortcut works on the window.
    addAction(Action(Command::Debug));
}

void TFormMain::CreateMenus()
{
    mmMain = new QMenuBar(this);
    mmMain->setObjectName(QStringLiteral("mmMain"));
    setMenuBar(mmMain);

    auto fill = [this](QMenu *menu, Entries entries) {
        for (int entry : entries) {
            if (entry == kSeparator)
                menu->addSeparator();
            else
                menu->addAction(Action(Command(entry)));
        }
    };

    miFile = NewMenu(this, "miFile", "&File");
    fill(miFile,
         {C(Command::New), C(Command::Open), C(Command::Save), C(Command::SaveAs), C(Command::Close),
          kSeparator, C(Command::ImportMenu), C(Command::ExportMenu), kSeparator, C(Command::Exit)});

    const Entries editEntries = {C(Command::Cut),
                                 C(Command::Copy),
                                 C(Command::PasteAfter),
                                 C(Command::PasteBefore),
                                 C(Command::PasteUnder),
                                 kSeparator,
                                 C(Command::AddMenu),
                                 C(Command::AddValue),
                                 C(Command::AddAction),
                                 C(Command::AddList),
                                 C(Command::AddAlarm),
                                 C(Command::AddScreen),
                                 C(Command::Edit),
                                 C(Command::Delete),
                                 C(Command::DeleteLeaf),
                                 C(Command::DeleteChar),
                                 kSeparator,
                                 C(Command::MoveUp),
                                 C(Command::MoveDown)};
    miEdit = NewMenu(this, "miEdit", "&Edit");
    fill(miEdit, editEntries);
    fill(miEdit, {kSeparator, C(Command::Search)});

    miProject = NewMenu(this, "miProject", "&Project");
    fill(miProject,
         {C(Command::Compile), C(Command::Simulation), C(Command::SimulationOnline), C(Command::Properties)});

    miTools = NewMenu(this, "miTools", "&Tools");
    fill(miTools, {C(Command::DownloadMenu), C(Command::DownloadFirmware), C(Command::SpecialChar)});

    miOption = NewMenu(this, "miOption", "&Option");
    miSelectLanguage = NewMenu(this, "miSelectLanguage", "Select Language");
    miOption->addMenu(miSelectLanguage);
    fill(miOption, {C(Command::PreferenceOutputFont)});

    miHelp = NewMenu(this, "miHelp", "&Help");
    fill(miHelp, {C(Command::About)});

    for (QMenu *menu : {miFile, miEdit, miProject, miTools, miOption, miHelp})
        mmMain->addMenu(menu);

    pmProjectEdit = NewMenu(this, "pmProjectEdit", "");
    fill(pmProjectEdit, editEntries);
    fill(pmProjectEdit, {kSeparator, C(Command::ImportMenu), C(Command::ExportMenu)});

    pmOpen = NewMenu(this, "pmOpen", "");
    fill(pmOpen, {C(Command::Open)});
    pmiRecentFile = pmOpen->addSeparator();
    pmiRecentFile->setObjectName(QStringLiteral("pmiRecentFile"));
}

void TFormMain::CreateToolBars()
{
    auto fill = [this](QToolBar *bar, Entries entries) {
        // Packed tightly, so that both bars fit beside each other.
        bar->layout()->setSpacing(0);
        bar->setContentsMargins(0, 0, 0, 0);
        for (int entry : entries) {
            if (entry == kSeparator) {
                bar->addSeparator();
                continue;
            }
            const Command id = Command(entry);
            const CommandInfo &info = CommandInfoOf(id);
            QAction *action = Action(id);
            // A button of its own rather than the action's: its hint is
            // translated by name and is not reset when the action changes.
            auto *button = new QToolButton(bar);
            button->setObjectName(QLatin1String(info.toolButton));
            button->setIcon(action->icon());
            button->setToolTip(QString::fromUtf8(info.hint));
            button->setAutoRaise(true);
            button->setFocusPolicy(Qt::NoFocus);
            button->setEnabled(action->isEnabled());
            button->installEventFilter(this);
            connect(action, &QAction::changed, button,
                    [button, action] { button->setEnabled(action->isEnabled()); });
            connect(button, &QToolButton::clicked, this, [this, id] { Execute(id); });
            bar->addWidget(button);
            toolButtons_[std::size_t(entry)] = button;
        }
    };

    tbrFile = addToolBar(QString());
    tbrFile->setObjectName(QStringLiteral("tbrFile"));
    tbrFile->setIconSize(QSize(16, 16));
    tbrFile->setMovable(false);
    fill(tbrFile, {C(Command::New), C(Command::Open), C(Command::Save)});
    QToolButton *open = ToolButton(Command::Open);
    open->setMenu(pmOpen);
    open->setPopupMode(QToolButton::MenuButtonPopup);

    tbrEdit = addToolBar(QString());
    tbrEdit->setObjectName(QStringLiteral("tbrEdit"));
    tbrEdit->setIconSize(QSize(16, 16));
    tbrEdit->setMovable(false);
    fill(tbrEdit,
         {C(Command::Cut),
          C(Command::Copy),
          C(Command::PasteBefore),
          C(Command::PasteAfter),
          C(Command::PasteUnder),
          kSeparator,
          C(Command::AddMenu),
          C(Command::AddValue),
          C(Command::AddAction),
          C(Command::AddList),
          C(Command::AddAlarm),
          C(Command::AddScreen),
          C(Command::Edit),
          C(Command::Delete),
          C(Command::DeleteLeaf),
          C(Command::DeleteChar),
          C(Command::MoveDown),
          C(Command::MoveUp),
          C(Command::ImportMenu),
          C(Command::ExportMenu),
          C(Command::Compile),
          C(Command::Simulation),
          C(Command::SimulationOnline)});
}

void TFormMain::CreateProjectGroup()
{
    gbProject = new QGroupBox(QStringLiteral("Project"), this);
    gbProject->setObjectName(QStringLiteral("gbProject"));
    auto *layout = new QVBoxLayout(gbProject);
    layout->setContentsMargins(4, 4, 4, 4);

    Splitter1 = new QSplitter(Qt::Vertical, gbProject);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    layout->addWidget(Splitter1);

    tvProject = new QTreeWidget(Splitter1);
    tvProject->setObjectName(QStringLiteral("tvProject"));
    tvProject->setColumnCount(1);
    tvProject->setHeaderHidden(true);
    tvProject->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tvProject->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvProject->setIndentation(kTreeIndent);
    tvProject->setIconSize(QSize(16, 16));
    tvProject->setMouseTracking(true);
    // The double-click handler decides about expanding.
    tvProject->setExpandsOnDoubleClick(false);
    tvProject->setContextMenuPolicy(Qt::CustomContextMenu);
    tvProject->setMinimumHeight(kSplitterMinimum);
    tvProject->viewport()->installEventFilter(this);
    TreeBinder = std::make_unique<TTreeBinder>(tvProject);
    SetUpTreeDrag();
    connect(tvProject, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { pmProjectEdit->popup(tvProject->viewport()->mapToGlobal(pos)); });
    connect(tvProject, &QTreeWidget::currentItemChanged, this, [this] { UpdateActions(); });
    connect(tvProject, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { tvProjectClick(item); });
    connect(tvProject, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { tvProjectDblClick(item); });

    lbSearchResult = new QListWidget(Splitter1);
    lbSearchResult->setObjectName(QStringLiteral("lbSearchResult"));
    lbSearchResult->setMinimumHeight(kSplitterMinimum);
    lbSearchResult->setContextMenuPolicy(Qt::CustomContextMenu);
    lbSearchResult->hide();
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({kHeight, kSearchListHeight});

    WidePopupMenu1 = NewMenu(this, "WidePopupMenu1", "");
    Clear1 = WidePopupMenu1->addAction(QStringLiteral("Clear"));
    Clear1->setObjectName(QStringLiteral("Clear1"));
    Invisible1 = WidePopupMenu1->addAction(QStringLiteral("Dismiss"));
    Invisible1->setObjectName(QStringLiteral("Invisible1"));
    connect(Clear1, &QAction::triggered, this, [this] { RunGuarded([this] { Clear1Click(); }); });
    connect(Invisible1, &QAction::triggered, this, [this] { RunGuarded([this] { Invisible1Click(); }); });
    connect(lbSearchResult, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *line) { RunGuarded([&] { lbSearchResultClick(line); }); });
    connect(lbSearchResult, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *line) { RunGuarded([&] { lbSearchResultDblClick(line); }); });
    connect(lbSearchResult, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        WidePopupMenu1->popup(lbSearchResult->viewport()->mapToGlobal(pos));
    });

    setCentralWidget(gbProject);
}

void TFormMain::CreateStatusBar()
{
    sbMain = new QStatusBar(this);
    sbMain->setObjectName(QStringLiteral("sbMain"));
    sbMain->setSizeGripEnabled(false);
    for (int i = 0; i < StatusPanelCount; ++i) {
        auto *panel = new QLabel(sbMain);
        panel->setMinimumWidth(kStatusWidths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        if (i == 0)
            panel->setAlignment(Qt::AlignCenter);
        // The last panel takes the rest of the bar.
        sbMain->addWidget(panel, i == StatusPanelCount - 1 ? 1 : 0);
        statusPanels_[std::size_t(i)] = panel;
    }
    setStatusBar(sbMain);
}

// ---- Creation and destruction -----------------------------------------------

void TFormMain::FormCreate()
{
    SetModified(false);
    SetProjectPath(QString());
    setWindowTitle(kCaption);

    const std::unique_ptr<QSettings> settings = UiServices().OpenSettings(QLatin1String(kDesignerSettings));
    if (settings->status() == QSettings::NoError) {
        RecentProjects.Load(*settings);
        RebuildRecentMenu();
    }

    ClipboardFormat = ClipboardMimeType();
    // The clipboard is read when it changes, not at every update.
    clipboardKind_ = GetClipboardNodeKind();
    connect(&UiServices(), &TUiServices::clipboardChanged, this, [this] {
        clipboardKind_ = GetClipboardNodeKind();
        UpdateActions();
    });

    Localizer.BuildLanguageMenu(miSelectLanguage);
    Localizer.RegisterAndTranslateForm(this);
    Localizer.SetAfterLanguageChange([this] { LocalizeFixedNodes(); });

    UpdateActions();
}

void TFormMain::FormDestroy()
{
    const std::unique_ptr<QSettings> settings = UiServices().OpenSettings(QLatin1String(kDesignerSettings));
    RecentProjects.Save(*settings);
}

// ---- Caption, Modified mark, recent projects --------------------------------

QString TFormMain::StatusText(int panel) const
{
    return panel >= 0 && panel < StatusPanelCount ? statusPanels_[std::size_t(panel)]->text() : QString();
}

void TFormMain::SetStatusText(int panel, const QString &text)
{
    statusPanels_[std::size_t(panel)]->setText(text);
}

void TFormMain::SetModified(bool modified)
{
    Document.SetModified(modified);
}

void TFormMain::SetProjectPath(const QString &path)
{
    Document.SetPath(path);
}

void TFormMain::AddRecentProject(const QString &path)
{
    if (path.isEmpty())
        return;
    RecentProjects.Add(AbsoluteProjectPath(path));
    RebuildRecentMenu();
}

void TFormMain::RebuildRecentMenu()
{
    const QList<QAction *> entries = pmOpen->actions();
    const qsizetype separator = entries.indexOf(pmiRecentFile);
    // The entry being clicked may be among them: freed once its click is over.
    for (qsizetype i = separator + 1; i < entries.size(); ++i) {
        pmOpen->removeAction(entries[i]);
        entries[i]->deleteLater();
    }
    const QStringList &paths = RecentProjects.Items();
    for (int i = 0; i < paths.size(); ++i) {
        auto *entry = new QAction(TRecentProjects::MenuCaption(i, paths[i]), pmOpen);
        entry->setData(paths[i]);
        entry->setToolTip(paths[i]);
        connect(entry, &QAction::triggered, this, [this, entry] { RecentProjectClick(entry); });
        pmOpen->addAction(entry);
    }
}

void TFormMain::RecentProjectClick(QAction *sender)
{
    if (!sender)
        return;
    const QString path = sender->data().toString();
    RunGuarded([&] {
        if (CloseProject())
            LoadProject(path);
    });
    UpdateActions();
}

void TFormMain::LocalizeFixedNodes()
{
    TwNode *root = Root();
    if (!root)
        return;
    for (int i = 0; i < root->GetChildCount(); ++i) {
        TwNode *node = root->GetChild(i);
        for (const FixedNodeName &name : kFixedNodeNames) {
            if (node->Kind != name.kind)
                continue;
            node->SetCaption(MainText(name.defaultText, name.key));
            if (node->TreeNode)
                node->TreeNode->SetText(node->GetDisplayCaption());
            break;
        }
    }
}

// ---- Project ----------------------------------------------------------------

bool TFormMain::NewProject()
{
    return CloseProject() && LoadProject(QString());
}

bool TFormMain::OpenProject()
{
    if (RecentProjects.Count() > 0)
        odOpenDialog1->InitialDir = FolderOf(RecentProjects.Newest());
    // The form previews the description of the file under the cursor.
    DescriptionForm()->mmDescription->setReadOnly(true);
    const QString fileName = UiServices().ChooseFile(FileDialogRequest(*odOpenDialog1));
    if (fileName.isEmpty())
        return false;
    return CloseProject() && LoadProject(fileName);
}

bool TFormMain::LoadProject(const QString &path)
{
    std::unique_ptr<TwNode> root;
    bool truncated = false;
    if (path.isEmpty()) {
        root = MakeNewProject();
        if (!root)
            return false;
    } else {
        if (!IsProjectFileName(path)) {
            ShowPlainMessage(IllegalExtensionText());
            return false;
        }
        QString error;
        root = TProjectDocument::ReadProjectFile(path, error, truncated);
        if (!root) {
            ShowHandlerError(error);
            return false;
        }
    }
    // Its Device Information node comes first.
    const uint8_t modelId = uint8_t(DeviceModelId(root->GetChild(0)));

    tvProject->setUpdatesEnabled(false);
    // The previous tree goes once the view has let go of its items.
    Document.ReplaceRoot(std::move(root));
    TreeBinder->SetCurrentNode(Root()->GetChild(0));
    tvProject->setUpdatesEnabled(true);
    SetProjectPath(path);
    // A new project, and one that lost deep menus, differ from any file.
    SetModified(path.isEmpty() || truncated);
    AddRecentProject(path);
    LocalizeFixedNodes();
    SelectPanelModel(modelId);
    UpdateActions();
    if (truncated) {
        ShowMessageBox(fmYesNo,
                       FormatText(MainText("Menus of %s are nested deeper than the panel allows: their "
                                           "deepest parts were left out.\nThe project is marked as modified; "
                                           "saving it writes the project as it is shown.",
                                           "LoadTruncatedId"),
                                  {QDir::toNativeSeparators(path)}),
                       ApplicationTitle());
    }
    return true;
}

bool TFormMain::SaveProject()
{
    return ProjectPath().isEmpty() ? SaveProjectAs() : WriteProjectFile(ProjectPath());
}

bool TFormMain::SaveProjectAs()
{
    TFileRequest request;
    request.kind = TFileRequest::Save;
    request.filter = kProjectFilter;
    request.defaultSuffix = kProjectExtension.mid(1);
    request.directory = FolderOf(RecentProjects.Newest());
    // A system-menu project is offered under a project name.
    if (!ProjectPath().isEmpty())
        request.fileName = ChangeFileExt(ProjectPath(), kProjectExtension);
    request.parent = this;
    // Only a name Open takes: a name without an extension becomes a project
    // name, any other extension is refused.
    const QString fileName = ChooseFileToWrite(request, [](QString &name) {
        if (FileExtension(name).isEmpty())
            name += kProjectExtension;
        if (IsProjectFileName(name))
            return true;
        ShowPlainMessage(IllegalExtensionText());
        return false;
    });
    return !fileName.isEmpty() && WriteProjectFile(fileName);
}

bool TFormMain::WriteProjectFile(const QString &path)
{
    QString error;
    if (!Document.Save(path, error)) {
        ShowHandlerError(error);
        return false;
    }
    AddRecentProject(path);
    UpdateActions();
    return true;
}

bool TFormMain::CloseProject()
{
    if (Document.IsOpen() && Modified()) {
        switch (ShowYesNo(fmYesNo, YesNoQuestions::CloseModified)) {
        case mrYes:
            // Unsaved work is never dropped: no file written, no close.
            if (!SaveProjectAs())
                return false;
            break;
        case mrNo: break;
        default: return false;
        }
    }
    return ClearProject();
}

bool TFormMain::ClearProject()
{
    tvProject->setUpdatesEnabled(false);
    Document.Close();
    tvProject->setUpdatesEnabled(true);
    Clear1Click();
    UpdateActions();
    return true;
}

// ---- Compile and simulation -------------------------------------------------

bool TFormMain::CompileProject()
{
    if (!Root())
        return false;
    // Beside the project, or beside the program for a project never saved.
    const QString outputFile =
        ChangeFileExt(ProjectPath().isEmpty() ? QCoreApplication::applicationFilePath() : ProjectPath(),
                      QStringLiteral(".mda"));
    // The image never takes the place of the project's own file.
    if (!ProjectPath().isEmpty() && SameFile(outputFile, ProjectPath())) {
        ShowHandlerError(FormatText(MainText("The menu image %s would replace the project file itself; "
                                             "nothing was compiled.",
                                             "CompileOverProjectId"),
                                    {QDir::toNativeSeparators(outputFile)}));
        return false;
    }
    // The font and the compiler live for this compile only.
    TwGlyphRaster font(PanelFontName(), OutputFontSize);
    TwCompileSettings settings;
    settings.PanelModelId = PanelModelId;
    settings.ProgramFolder = QCoreApplication::applicationDirPath();
    settings.ProjectFileName = ProjectPath();
    TwRes compiler(font, settings);
    if (!compiler.Compile(Root()) || !compiler.BuildFont() || !compiler.SaveImage(outputFile)) {
        ShowHandlerError(compiler.ErrorText());
        return false;
    }
    LastImagePath = outputFile;
    TFormCompile &result = CompileForm();
    result.ShowResult(outputFile, compiler.CodeSize(), kMenuImageLimit);
    UiServices().RunDialog(result);
    return true;
}

bool TFormMain::atSimulationExecute(bool online)
{
    if (!CompileProject())
        return false;
    QByteArray image;
    QString error;
    if (!ReadImageFile(LastImagePath, image, error)) {
        ShowHandlerError(error);
        return false;
    }
    return RunSimulation(image, uint8_t(PanelModelId), online);
}

// ---- File dialogs -----------------------------------------------------------

void TFormMain::CreateFileDialogs()
{
    auto setUp = [this](TApCustomOpenLiteDialog *dialog, const char *name, const char *extension,
                        const QString &filter) {
        dialog->setObjectName(QLatin1String(name));
        dialog->DefaultExt = QLatin1String(extension);
        dialog->Filter = filter;
        dialog->PlacesBar().Visible = true;
        dialog->SetVisibleControls(AllDlgControls);
        dialog->CustDlgParams().SetBottomFormName(QStringLiteral("FormDescription"));
    };
    odOpenDialog1 = new TApOpenLiteDialog(this);
    setUp(odOpenDialog1, "odOpenDialog1", ".zel", kProjectFilter);
    odOpenDialog1->OnSelectionChange = [this](TApCustomOpenLiteDialog *, const QString &fileName) {
        odOpenDialog1SelectionChange(fileName);
    };
    odImportMenu1 = new TApOpenLiteDialog(this);
    setUp(odImportMenu1, "odImportMenu1", ".mzm", kMenuFilter);
    odImportMenu1->OnSelectionChange = [this](TApCustomOpenLiteDialog *, const QString &fileName) {
        odImportMenu1SelectionChange(fileName);
    };
    sdExportMenu1 = new TApSaveLiteDialog(this);
    setUp(sdExportMenu1, "sdExportMenu1", ".mzm", kMenuFilter);
}

TFileRequest TFormMain::FileDialogRequest(TApCustomOpenLiteDialog &dialog)
{
    TFileRequest request;
    request.kind = qobject_cast<TApCustomSaveLiteDialog *>(&dialog) ? TFileRequest::Save : TFileRequest::Open;
    request.title = dialog.Title();
    request.filter = dialog.Filter;
    request.directory = dialog.InitialDir;
    request.fileName = dialog.FileName();
    request.defaultSuffix =
        dialog.DefaultExt.startsWith(QLatin1Char('.')) ? dialog.DefaultExt.mid(1) : dialog.DefaultExt;
    request.parent = this;
    request.attachedForm = DescriptionForm();
    request.component = &dialog;
    return request;
}

QString TFormMain::ChooseFileToWrite(TFileRequest request, const std::function<bool(QString &)> &accept)
{
    for (;;) {
        QString fileName = UiServices().ChooseFile(request);
        if (fileName.isEmpty())
            return fileName;
        if ((!accept || accept(fileName))
            && (!QFileInfo::exists(fileName) || ShowYesNo(fmYesNo, YesNoQuestions::OverWrite) == mrYes))
            return fileName;
        request.fileName = fileName;
    }
}

// ---- Tree view --------------------------------------------------------------

void TFormMain::RebuildTree()
{
    ClickedItem = nullptr;
    tvProject->setUpdatesEnabled(false);
    TreeBinder->Rebuild();
    tvProject->setUpdatesEnabled(true);
    UpdateActions();
}

TwNode *TFormMain::SelectedNode() const
{
    return TreeBinder->CurrentNode();
}

void TFormMain::SelectNode(TwNode *node)
{
    TreeBinder->SetCurrentNode(node);
    UpdateActions();
}

void TFormMain::tvProjectClick(QTreeWidgetItem *item)
{
    const TwNode *node = TTreeBinder::NodeOf(item);
    if (!node)
        return;
    SetStatusText(3, node->GetLocation());
    SetStatusText(2, QString::number(node->GetLevel() - 1));
    ClickedItem = item;
    if (ClickHitsItemText(item, lastPress_))
        ClickedItemExpanded = item->isExpanded();
    else
        ClickedItem = nullptr;
}

void TFormMain::tvProjectDblClick(QTreeWidgetItem *item)
{
    // A double-click on an item's text opens its dialog and leaves it as it
    // was; beside the text it expands or collapses the item.
    if (item && item == tvProject->currentItem() && item == ClickedItem) {
        item->setExpanded(ClickedItemExpanded);
        Execute(Command::Edit);
    } else if (item) {
        item->setExpanded(!item->isExpanded());
    }
}

bool TFormMain::ClickHitsItemText(QTreeWidgetItem *item, const QPoint &position) const
{
    QRect text = tvProject->visualItemRect(item);
    if (!item->icon(0).isNull())
        text.setLeft(text.left() + tvProject->iconSize().width() + 4);
    const int margin = tvProject->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tvProject) + 1;
    text.setWidth(QFontMetrics(tvProject->font()).horizontalAdvance(item->text(0)) + 2 * margin);
    return text.contains(position);
}

void TFormMain::Clear1Click()
{
    lbSearchResult->clear();
}

void TFormMain::Invisible1Click()
{
    lbSearchResult->hide();
}

void TFormMain::odOpenDialog1SelectionChange(const QString &fileName)
{
    DescriptionForm()->ShowFileDescription(fileName, TDescriptionSource::ProjectFile);
}

void TFormMain::odImportMenu1SelectionChange(const QString &fileName)
{
    DescriptionForm()->ShowFileDescription(fileName, TDescriptionSource::MenuFile);
}

// ---- Commands ---------------------------------------------------------------

CommandState TFormMain::CurrentCommandState() const
{
    CommandState state;
    state.projectOpen = Document.IsOpen();
    state.modified = Document.Modified();
    if (state.projectOpen)
        state.selection = DescribeSelection(SelectedNode());
    state.clipboardKind = clipboardKind_;
    return state;
}

void TFormMain::UpdateActions()
{
    // Called while the components are still being made.
    if (!tvProject || !actions_.back())
        return;
    const CommandState state = CurrentCommandState();
    for (int i = 0; i < CommandCount; ++i)
        actions_[std::size_t(i)]->setEnabled(CommandRuleAllows(Command(i), state));
}

void TFormMain::Execute(Command id)
{
    RunGuarded([&] {
        if (!CommandRuleAllows(id, CurrentCommandState()))
            return;
        switch (id) {
        case Command::New: NewProject(); break;
        case Command::Open: OpenProject(); break;
        case Command::Save: SaveProject(); break;
        case Command::SaveAs: SaveProjectAs(); break;
        case Command::Close: CloseProject(); break;
        case Command::Exit: close(); break;
        case Command::Compile: CompileProject(); break;
        case Command::Simulation: atSimulationExecute(false); break;
        case Command::SimulationOnline: atSimulationExecute(true); break;
        case Command::Debug: ShowDebugForm(); break;
        case Command::DownloadMenu: DownloadForm().ShowDownload(TDownload::dmMenu); break;
        case Command::DownloadFirmware: DownloadForm().ShowDownload(TDownload::dmFirmware); break;
        case Command::AddMenu: EditMenuNode(true); break;
        case Command::AddAction: EditActionNode(true); break;
        case Command::AddValue: EditValueNode(true); break;
        case Command::AddList: EditListNode(true); break;
        case Command::AddAlarm: EditAlarmNode(true); break;
        case Command::AddScreen: EditScreenNode(true); break;
        case Command::Edit: atEditExecute(); break;
        case Command::Delete: DeleteNode(true); break;
        case Command::MoveUp: atMoveUpExecute(); break;
        case Command::MoveDown: atMoveDownExecute(); break;
        case Command::ImportMenu: ImportMenu(); break;
        case Command::ExportMenu: ExportMenu(); break;
        case Command::Cut: CutNode(); break;
        case Command::Copy: CopyNode(); break;
        case Command::PasteBefore: PasteNode(PasteBefore); break;
        case Command::PasteAfter: PasteNode(PasteAfter); break;
        case Command::PasteUnder: PasteNode(PasteUnder); break;
        case Command::DeleteLeaf: atDeleteLeafExecute(); break;
        case Command::DeleteChar: atDeleteCharExecute(); break;
        case Command::Search: miSearchClick(); break;
        case Command::SpecialChar: atSpecialCharExecute(); break;
        case Command::About: atAboutExecute(); break;
        case Command::PreferenceOutputFont: miPreferenceOutputFontClick(); break;
        default: break;
        }
    });
    UpdateActions();
}

// ---- Start-up and the close query -------------------------------------------

void TFormMain::OpenStartupProject()
{
    const QString path = startupProject_;
    startupProject_.clear();
    if (path.isEmpty())
        return;
    RunGuarded([&] { LoadProject(path); });
    UpdateActions();
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    bool closing = false;
    RunGuarded([&] { closing = CloseProject(); });
    if (closing)
        event->accept();
    else
        event->ignore();
}

bool TFormMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        // A disabled tool button shows no hint.
        if (auto *button = qobject_cast<QToolButton *>(watched); button && !button->isEnabled())
            return true;
    }
    if (tvProject && watched == tvProject->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            lastPress_ = static_cast<QMouseEvent *>(event)->position().toPoint();
        if (TreeDragEvent(event))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
