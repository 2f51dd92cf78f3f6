// The designer's main window: the project tree with the search result list,
// the menus, tool bars and status bar, the commands, the window caption with
// the Modified mark, the recent projects and the fixed nodes' names.
//
// Its texts are translated under the form name "FormMain". The commands are
// QActions named after their command ("atNew", ...), enabled from the one
// rules function of Commands.h whenever the selection, the project or
// the clipboard changes (UpdateActions).
//
// The project itself lives in Document (root, path, Modified, loading and
// saving); the window shows it: caption, Modified mark and the tree view,
// whose items only TreeBinder touches. The lifecycle (new, open, save, close)
// and the compile and simulation commands are thin workers over it. Every
// question, message, file choice and dialog goes through the UI services
// (UiServices.h): the project open, menu import and menu export dialogs are
// served by the file-dialog components odOpenDialog1, odImportMenu1 and
// sdExportMenu1 (FileDialogRequest), Save As by the plain save chooser.
#pragma once

#include "Commands.h"
#include "ProjectDocument.h"
#include "RecentProjects.h"
#include "TreeBinder.h"
#include "UiServices.h"

#include <QMainWindow>
#include <QPoint>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QEvent;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QMenuBar;
class QSplitter;
class QStatusBar;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TApCustomOpenLiteDialog;
class TApOpenLiteDialog;
class TApSaveLiteDialog;
class TItemDialog;
class TwNode;
struct TNodeEditing;

// A text of the main window (prefix "main") in the current language.
QString MainText(const char *defaultText, const char *id);

// The clipboard format of a copied subtree: the block of MakeClipboardBlock
// under the MIME type named after "CF_MZELMenuRes".
QString ClipboardMimeType();

// The panel model a Device Information node names ("DeviceID"), read as the
// device dialog and the compiler read it: no node, or a number no model has,
// names the first model.
int DeviceModelId(const TwNode *device);

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget *parent = nullptr);
    ~TFormMain() override;

    // ---- State ----
    // The open project.
    TProjectDocument Document;
    // Root node (kind 1) of the open project; null when none is open.
    TwNode *Root() const { return Document.Root(); }
    // The project differs from its file.
    bool Modified() const { return Document.Modified(); }
    // Full path of the open project's file; empty for a project never saved.
    const QString &ProjectPath() const { return Document.Path(); }
    // The menu image written by the last compile.
    QString LastImagePath;
    // The item whose text was last clicked, and whether it was expanded at
    // that moment (only compared, never dereferenced).
    bool ClickedItemExpanded = false;
    QTreeWidgetItem *ClickedItem = nullptr;
    // The clipboard format of a copied subtree (ClipboardMimeType()).
    QString ClipboardFormat;
    TRecentProjects RecentProjects;

    // ---- Components ----
    QMenuBar *mmMain = nullptr;
    QMenu *miFile = nullptr;
    QMenu *miEdit = nullptr;
    QMenu *miProject = nullptr;
    QMenu *miTools = nullptr;
    QMenu *miOption = nullptr;
    QMenu *miSelectLanguage = nullptr;
    QMenu *miHelp = nullptr;
    QMenu *pmProjectEdit = nullptr;
    QMenu *pmOpen = nullptr;
    QAction *pmiRecentFile = nullptr;
    QToolBar *tbrFile = nullptr;
    QToolBar *tbrEdit = nullptr;
    QGroupBox *gbProject = nullptr;
    QSplitter *Splitter1 = nullptr;
    QTreeWidget *tvProject = nullptr;
    // The tree view's items for the project's nodes.
    std::unique_ptr<TTreeBinder> TreeBinder;
    QListWidget *lbSearchResult = nullptr;
    QMenu *WidePopupMenu1 = nullptr;
    QAction *Clear1 = nullptr;
    QAction *Invisible1 = nullptr;
    QStatusBar *sbMain = nullptr;
    // Project open, menu import and menu export, each with the description
    // form attached below its file list.
    TApOpenLiteDialog *odOpenDialog1 = nullptr;
    TApOpenLiteDialog *odImportMenu1 = nullptr;
    TApSaveLiteDialog *sdExportMenu1 = nullptr;

    static constexpr int StatusPanelCount = 4;

    QAction *Action(Command id) const { return actions_[std::size_t(id)]; }
    // The tool button of a command, null when it has none.
    QToolButton *ToolButton(Command id) const { return toolButtons_[std::size_t(id)]; }
    QString StatusText(int panel) const;

    // ---- Caption, Modified mark, recent projects, fixed nodes ----
    // Stores a changed flag and shows "Modified" (or nothing) in panel 0.
    void SetModified(bool modified);
    // Stores a changed path and sets the caption "ZELD" or "ZELD - " + path;
    // an equal path changes nothing, not even the caption.
    void SetProjectPath(const QString &path);
    void AddRecentProject(const QString &path);
    // Recreates the recent-project entries after pmiRecentFile in pmOpen.
    void RebuildRecentMenu();
    // A click on a recent-project entry: close the project, then load the
    // entry's path.
    void RecentProjectClick(QAction *sender);
    // Renames the fixed top-level nodes in the current language.
    void LocalizeFixedNodes();

    // ---- Project ----
    // Each returns true when done; false when cancelled, refused or failed
    // (the reason shown), the open project then as it was.
    //
    // Closes the open project, then makes a new one (LoadProject("")).
    bool NewProject();
    // Asks for a project file (odOpenDialog1), then closes the open project
    // and loads the file. The file is chosen first.
    bool OpenProject();
    // Makes the project of path; an empty path makes a new project through
    // the device information dialog. Only ".zel" and ".mze" files are read; a
    // file that cannot be read or is damaged is reported and leaves no new
    // project. Menus nested deeper than the panel allows are cut with a word
    // to the user and the project marked modified. Callers close the open
    // project first.
    bool LoadProject(const QString &path);
    // Writes the project to its file, or asks for one (SaveProjectAs).
    bool SaveProject();
    // Asks for a file (the plain save chooser), asks before replacing an
    // existing one (No asks for a file again), then writes.
    bool SaveProjectAs();
    // Writes the project to path through a temporary file; on success the
    // path, Modified and the recent list follow. A failed write is shown and
    // leaves them, and the file, as they were.
    bool WriteProjectFile(const QString &path);
    // Asks about unsaved changes (Yes saves through SaveProjectAs), then
    // clears the project; false keeps it open: Cancel, or a save that did not
    // happen.
    bool CloseProject();
    // Frees the project with its tree and its view items; clears Modified
    // and the search results, which name its nodes. The path and the caption
    // stay.
    bool ClearProject();

    // ---- Compile and simulation ----
    // Compiles the project with the output font into its menu image (beside
    // the project file, or beside the program for a project never saved),
    // remembers the file in LastImagePath and shows the compile result. A
    // refused compile or a failed write is shown, writes nothing and leaves
    // LastImagePath as it was; false then.
    bool CompileProject();
    // The simulation command: compiles, reads the image whole and runs it on
    // the simulator window of the project's model, online or offline. An
    // image that cannot be read is reported and no window opens.
    bool atSimulationExecute(bool online);

    // ---- Node editing (ItemEditing.cpp) ----
    // Add (true): a new node under the selected menu, folder or Startup
    // Screen, made before its dialog opens and freed again unless the dialog
    // ends with OK; the selection stays on the parent. Edit (false): the
    // selected node of the dialog's kind. True when the dialog ended with OK
    // (the project is then marked modified). Each checks the command's rule
    // itself and does nothing when it fails.
    bool EditMenuNode(bool add);
    bool EditValueNode(bool add);
    bool EditListNode(bool add);
    bool EditActionNode(bool add);
    bool EditAlarmNode(bool add);
    bool EditScreenNode(bool add);
    // The fixed nodes' dialogs, on the selected node of their kind.
    bool EditStartupScreen();
    bool EditScreenSaver();
    bool EditConfiguration();
    // The device information dialog; a change of the panel model converts
    // the project's pictures, then selects the new model.
    bool EditDeviceInfo();
    // The Edit command: the dialog of the selected node's kind.
    bool atEditExecute();
    // Converts every picture of the project for a change of panel model;
    // the number converted.
    int ConvertPicturesForModel(int newModelId, int oldModelId);

    // ---- Menu files, clipboard and delete (ClipboardImportExport.cpp) ----
    enum TPastePosition { PasteBefore = 0, PasteAfter = 1, PasteUnder = 2 };
    // Adds the menu of a menu file (odImportMenu1) as the selected menu's
    // last child. Only a menu file is read: one that is not, or is damaged,
    // is reported and adds nothing.
    bool ImportMenu();
    // Writes the selected menu with the typed description to a menu file
    // (sdExportMenu1), asking before an existing file is replaced.
    bool ExportMenu();
    // Puts the selected item's subtree on the clipboard; false, told to the
    // user, when the clipboard did not take it.
    bool CopyNode();
    // CopyNode, then DeleteNode without a question, only when the copy
    // reached the clipboard.
    bool CutNode();
    // Inserts the clipboard's subtree before, after or under the selection.
    bool PasteNode(TPastePosition position);
    // Frees the selected item with its subtree, after a question when asked.
    bool DeleteNode(bool confirm);

    // ---- Tree moves (TreeMoves.cpp) ----
    // One place up or down among the siblings; the items move in place.
    bool atMoveUpExecute();
    bool atMoveDownExecute();
    // Dragging the selected node onto target's item: whether a drop there is
    // taken, and the drop (the node lands just before target, in target's
    // menu). Only drags that started in the tree view count (source).
    bool tvProjectDragOver(const QObject *source, QTreeWidgetItem *target) const;
    bool tvProjectDragDrop(const QObject *source, QTreeWidgetItem *target);
    // Frees every child of the selected menu after a question.
    bool atDeleteLeafExecute();
    // Dissolves the selected sub-menu: its children take its place.
    bool atDeleteCharExecute();

    // ---- Search result lines (TreeMoves.cpp) ----
    // A line naming node (null: a line without a node). The line keeps the
    // node's serial, so a line whose node was freed names none.
    void AddSearchResultLine(const QString &text, const TwNode *node);
    // The node a line names while it is part of the open project; else null.
    TwNode *SearchResultNode(const QListWidgetItem *line) const;
    // Selects the line's node and focuses the tree; the double-click then
    // runs Edit. A line naming no node does nothing.
    void lbSearchResultClick(QListWidgetItem *line);
    void lbSearchResultDblClick(QListWidgetItem *line);

    // ---- File dialogs ----
    // The request that runs one of the three file-dialog components through
    // the UI services, with the description form attached.
    TFileRequest FileDialogRequest(TApCustomOpenLiteDialog &dialog);
    // Asks for a file to write (request); an existing file is replaced only
    // when the user says so, No asking for a file again. accept, when given,
    // sees each chosen name first and may complete it; false (after telling
    // the user why) asks again. Empty when cancelled.
    QString ChooseFileToWrite(TFileRequest request,
                              const std::function<bool(QString &fileName)> &accept = nullptr);

    // ---- Search (Search.cpp) ----
    // The search command: the search dialog, then its hits in the result
    // list below the tree (AddSearchResultLine) with a closing line; false
    // when not searched.
    bool miSearchClick();

    // ---- Small commands (FontCharacterAboutCommands.cpp) ----
    // Starts the character map on the output font (CharacterMap.h); says so
    // when none is found or it cannot be started.
    bool atSpecialCharExecute();
    // The About box, captioned in the current language.
    void atAboutExecute();
    // The output font preference.
    void miPreferenceOutputFontClick();

    // ---- Tree view ----
    // Rebuilds the view's items from Root (none without a project).
    void RebuildTree();
    TwNode *SelectedNode() const;
    // Selects the node's item (null: no selection).
    void SelectNode(TwNode *node);

    // ---- Commands ----
    CommandState CurrentCommandState() const;
    // Recomputes every command's enabled state from the rules.
    void UpdateActions();
    // Runs a command when its rule allows it now; an exception from its
    // worker is shown, not passed on.
    void Execute(Command id);
    // Kind of the subtree on the clipboard in the private format, 0 when
    // there is none or it cannot be read; its height when asked for.
    int32_t GetClipboardNodeKind(int *height = nullptr) const;

    // ---- Start-up ----
    // The project named on the command line is remembered here and opened by
    // OpenStartupProject once every start-up form exists.
    void SetStartupProject(const QString &path) { startupProject_ = path; }
    QString StartupProject() const { return startupProject_; }
    void OpenStartupProject();

    // ---- Handlers ----
    void tvProjectClick(QTreeWidgetItem *item);
    void tvProjectDblClick(QTreeWidgetItem *item);
    void Clear1Click();
    void Invisible1Click();
    // Selection changes of the project open and menu import dialogs: the
    // description form previews the description of the file under the cursor.
    void odOpenDialog1SelectionChange(const QString &fileName);
    void odImportMenu1SelectionChange(const QString &fileName);

protected:
    // The close query: the window closes only when the project closes.
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateProjectGroup();
    void CreateStatusBar();
    void CreateFileDialogs();
    void FormCreate();
    void FormDestroy();
    void SetStatusText(int panel, const QString &text);
    bool ClickHitsItemText(QTreeWidgetItem *item, const QPoint &position) const;
    // Whether the rule of a command allows it on the selection now.
    bool RuleAllowsNow(Command id, int32_t clipboardKind = 0) const;
    // After an edit of the tree: node's item expanded (one level), selected
    // (or selected's), the project marked modified, the focus back on the
    // window.
    void ShowEditedNode(TwNode *node, TwNode *selected = nullptr);
    // The item dialog run of the node editing.
    bool EditItem(const TNodeEditing &editing, TItemDialog &dialog, bool add);
    // Moves the selected node by step places among its siblings.
    bool MoveSelectedNode(Command rule, int step);
    // The drag of a tree item and the drop events of the view.
    void SetUpTreeDrag();
    bool TreeDragEvent(QEvent *event);
    void StartTreeDrag(TwNode *node);
    // The texts of parent's children (a screen shows its index).
    void RefreshChildren(TwNode *parent);

    // A left press on a tree item, while the button holds it: where it was,
    // and whether the item may still be dragged.
    QPoint dragStart_;
    bool itemHeld_ = false;
    bool dragArmed_ = false;

    std::array<QAction *, CommandCount> actions_{};
    std::array<QToolButton *, CommandCount> toolButtons_{};
    std::array<QLabel *, StatusPanelCount> statusPanels_{};
    int32_t clipboardKind_ = 0;
    QPoint lastPress_;
    QString startupProject_;
};

// The main window, made first at start-up.
extern TFormMain *FormMain;
