// The lite open and save dialogs: Qt's own (non-native) file dialog run inside
// a window of the component's own, with forms of the application attached around
// it, navigation and file-name events, the standard controls' visibility and
// captions, the places bar and a size remembered between runs.
//
// A dialog component lives as long as its owner. Execute builds the dialog
// window, runs it modally through ApExecModal (so a runner can drive it
// headless) and takes the window down again; while it runs, the operations
// (GetSelFiles, SetSelPath, CloseDialog, ...) act on it, and they do nothing
// while no dialog is open.
#pragma once

#include "ApAttachedForms.h"
#include "ApDialogsCommon.h"

#include <QFlags>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>

class QBoxLayout;
class TApDialogWindow;
class TApFileDialogWidget;
class QDialog;
class QEvent;
class QFileDialog;
class QWidget;

// The standard controls whose visibility VisibleControls sets.
enum TApOpenDlgControl {
    dcFolderCombo = 0x001,
    dcFolderLabel = 0x002,
    // The file list: never shown or hidden by VisibleControls.
    dcSelectionCtrl = 0x004,
    dcOkBtn = 0x008,
    dcCancelBtn = 0x010,
    dcFileName = 0x020,
    dcFileNameLabel = 0x040,
    dcFileType = 0x080,
    dcFileTypeLabel = 0x100,
    dcToolBar = 0x200,
};
Q_DECLARE_FLAGS(TApOpenDlgControls, TApOpenDlgControl)
Q_DECLARE_OPERATORS_FOR_FLAGS(TApOpenDlgControls)
inline constexpr TApOpenDlgControls AllDlgControls{0x3FF};

// The options of an open dialog that the stand-in honours.
enum TOpenOption {
    ofOverwritePrompt = 0x01,
    ofHideReadOnly = 0x02,
    ofAllowMultiSelect = 0x04,
    ofFileMustExist = 0x08,
    // The user may resize the dialog; its size is then kept between runs.
    ofEnableSizing = 0x10,
};
Q_DECLARE_FLAGS(TOpenOptions, TOpenOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOpenOptions)

enum TOpenOptionEx {
    // No places bar unless PlacesBar.Visible asks for it.
    ofExNoPlacesBar = 0x01,
};
Q_DECLARE_FLAGS(TOpenOptionsEx, TOpenOptionEx)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOpenOptionsEx)

// Captions of the standard buttons; empty = the dialog's own.
class TApDlgCaptions {
public:
    virtual ~TApDlgCaptions() = default;
    QString OK;
    QString Cancel;
    QString Help;
    // Sets the captions that are not empty on the open dialog.
    virtual void SetCaptions(QFileDialog *dialog) const;
};

// Captions of the buttons and labels of an open or save dialog.
class TApOpenDlgCaptions : public TApDlgCaptions {
public:
    QString LookIn;
    QString FileName;
    QString FileType;
    QString ReadOnlyFlag;
    void SetCaptions(QFileDialog *dialog) const override;
};

class TApCustomOpenLiteDialog;
using TApNotifyEvent = std::function<void(TApCustomOpenLiteDialog *sender)>;
// Raised before an action; clearing allowProceed cancels it.
using TApCtrlQueryEvent = std::function<void(TApCustomOpenLiteDialog *sender, bool &allowProceed)>;
// Raised first for every event of the dialog window; clearing allowDispatch swallows it.
using TApMsgQueryEvent =
    std::function<void(TApCustomOpenLiteDialog *sender, QEvent *event, bool &allowDispatch)>;
// Raised after every event of the dialog window that was not swallowed.
using TApEventHook = std::function<void(QEvent *event)>;
// Raised when the file under the cursor of the file list changes; fileName is
// its full path, empty when the selection is emptied or the folder changes.
using TApSelectionChangeEvent = std::function<void(TApCustomOpenLiteDialog *sender, const QString &fileName)>;

class TApCustomOpenLiteDialog : public QObject {
    Q_OBJECT
public:
    explicit TApCustomOpenLiteDialog(QObject *owner = nullptr);
    ~TApCustomOpenLiteDialog() override;
    TApCustomOpenLiteDialog(const TApCustomOpenLiteDialog &) = delete;
    TApCustomOpenLiteDialog &operator=(const TApCustomOpenLiteDialog &) = delete;

    // Shows the dialog modally. True when the user confirmed a file: FileName
    // and Files then hold it, and FilterIndex the filter chosen; otherwise they
    // keep their values. What an event handler throws closes the dialog and is
    // rethrown here, after the dialog is gone and CurrentLiteDialog restored.
    virtual bool Execute();

    // Extension added to a typed name that has none (".zel" or "zel").
    QString DefaultExt;
    // Pairs of description and patterns: "ZEL files (*.zel)|*.zel|All files (*.*)|*.*".
    QString Filter;
    // The filter shown first, from 1; after a confirmed run, the one chosen.
    int FilterIndex = 1;
    // The folder shown first; empty = the folder of FileName, else the current one.
    QString InitialDir;
    TOpenOptions Options = {ofHideReadOnly, ofEnableSizing};
    TOpenOptionsEx OptionsEx = ofExNoPlacesBar;

    // The confirmed file; while the dialog is open, the full path of the
    // current selection.
    QString FileName() const;
    void SetFileName(const QString &fileName) { fileName_ = fileName; }
    // Every confirmed file (more than one with ofAllowMultiSelect).
    QStringList Files() const { return files_; }

    // Outer size of the dialog window without the attached forms, remembered
    // between runs when ofEnableSizing is set; 0 until first measured.
    int SavedWidth() const { return savedWidth_; }
    int SavedHeight() const { return savedHeight_; }
    TApCustDlgParams &CustDlgParams() { return custDlgParams_; }
    TApOpenDlgCaptions &DlgItemsCaptions() { return captions_; }
    TApPlacesBarLiteOptions &PlacesBar() { return *placesBar_; }
    const TApPlacesBarLiteOptions &PlacesBar() const { return *placesBar_; }

    // Window title; empty = the dialog's own. Set at once on an open dialog; a
    // title longer than 511 characters is cut there.
    QString Title() const { return title_; }
    void SetTitle(const QString &title);
    // Which standard controls are visible; applied at once on an open dialog.
    TApOpenDlgControls VisibleControls() const { return visibleControls_; }
    void SetVisibleControls(TApOpenDlgControls controls);

    // Events.
    TApNotifyEvent OnShow;
    TApNotifyEvent OnClose;
    TApSelectionChangeEvent OnSelectionChange;
    TApCtrlQueryEvent OnFolderCreating;
    TApCtrlQueryEvent OnUpLevelNavigating;
    TApCtrlQueryEvent OnDesktopNavigating;
    TApCtrlQueryEvent OnFilenameEntering;
    TApCtrlQueryEvent OnLastFolderNavigating;
    TApNotifyEvent OnDesktopNavigate;
    TApNotifyEvent OnUpLevelNavigate;
    TApNotifyEvent OnLastFolderNavigate;
    TApNotifyEvent OnFilenameChange;
    TApMsgQueryEvent OnEventHooking;
    TApEventHook OnEventHook;

    // Operations on the open dialog (nothing, or an empty result, while none is open).
    // The file name field's text.
    QString GetSelFiles() const;
    // GetSelFiles split into names (ApCommonGetNamesList); the list stays the dialog's.
    const QStringList &GetSelFilesList();
    // Splits the text into the names list and puts it into the file name field.
    void SetSelFiles(const QString &text);
    // Puts the names into the file name field: one name as it is, more names
    // each in double quotes, separated by a blank.
    void SetSelFilesList(const QStringList &list);
    // The file name field: the window of control 1152 when the dialog has
    // it, else of 1148; null while no dialog is open.
    QWidget *GetEdit() const;
    // 1152 while no dialog is open or when it has control 1152, else 1148.
    int GetEditCtrlId() const;
    QString GetFNameText() const;
    void SetFNameText(const QString &text);
    // The current folder.
    QString GetSelPath() const;
    // Changes to the folder when it exists; the file name field keeps its text.
    void SetSelPath(const QString &path);
    // The current folder in the stand-in's own terms: its URL.
    QUrl GetSelPathPidl() const;
    // 1 presses OK, 2 presses Cancel; any other value does nothing.
    void CloseDialog(int result);
    // Reads the current folder again; the file name field keeps its text.
    void RefreshFileList();

    // The dialog window while a dialog is open, else null.
    QDialog *DialogWindow() const;
    // The stand-in file dialog inside it, else null.
    QFileDialog *FileDialog() const { return fileDialog_; }

protected:
    // For the full dialogs: their own places bar options.
    TApCustomOpenLiteDialog(QObject *owner, std::unique_ptr<TApPlacesBarLiteOptions> placesBar);

    virtual bool IsSaveDialog() const { return false; }
    // Make this dialog the current one, and restore the previous one.
    virtual void PrepareExecution();
    virtual void FinishExecution();
    // The stand-in is made, before it is set up: the full dialogs put their
    // filter on its model here.
    virtual void PrepareFileDialog(QFileDialog *) { }
    // The window is built: the full dialogs add to the standard area here
    // (the file dialog is its only item so far).
    virtual void ExtendWindow(QBoxLayout *standardArea);
    // The window is about to be destroyed; the attached forms are already back.
    virtual void WindowClosing() { }
    // Shows and hides the standard controls by VisibleControls.
    virtual void ApplyVisibleControls();
    // Whether the stand-in's own side bar of standard places shows.
    virtual bool ShowsStandardPlaces() const;
    // A tool command about to run (false cancels it), and one that ran.
    virtual bool ProceedWithCommand(int commandId);
    virtual void CommandDone(int commandId);

    virtual void DoShow();
    virtual void DoClose();
    virtual void DoSelectionChange(const QString &fileName);
    virtual void DoFolderCreating(bool &allowProceed);
    virtual void DoDesktopNavigating(bool &allowProceed);
    virtual void DoDesktopNavigate();
    virtual void DoUpLevelNavigating(bool &allowProceed);
    virtual void DoUpLevelNavigate();
    virtual void DoLastFolderNavigating(bool &allowProceed);
    virtual void DoLastFolderNavigate();
    virtual void DoHookEvent(QEvent *event);
    virtual void DoHookQueryEvent(QEvent *event, bool &allowDispatch);
    virtual void DoFilenameEntering(bool &allowProceed);
    virtual void DoFilenameChange();

    // Runs an event handler, when set, with this dialog as sender and the
    // event's arguments: what it throws ends the run (Cancel) and is rethrown
    // by Execute. Query runs a query handler so; one that throws refuses.
    template <typename Handler, typename... Args> void Notify(const Handler &handler, Args &&...args)
    {
        if (handler)
            Guarded([&] { handler(this, args...); });
    }
    void Query(const TApCtrlQueryEvent &handler, bool &allowProceed);
    template <typename Work> void Guarded(Work &&work)
    {
        try {
            work();
        } catch (...) {
            Fail(std::current_exception());
        }
    }
    void Fail(std::exception_ptr error);
    // Registers the stand-in's buttons of each tool command: their clicks ask
    // ProceedWithCommand first and report CommandDone after.
    void GateCommands(std::initializer_list<int> commandIds);

    bool eventFilter(QObject *watched, QEvent *event) override;

    // The first non-client paint is still to come (the window is sized and
    // placed at its first showing).
    bool FirstPaint = false;

private:
    friend class TApDialogWindow;
    friend class TApFileDialogWidget;

    void OpenWindow();
    void ConfigureFileDialog();
    void CloseWindow();
    void ApplyTitle();
    void UpdateListArea();
    void TakeResult();
    // From the dialog window.
    void WindowResized(const QSize &size);
    void WindowShown();
    bool WindowEvent(QEvent *event, const std::function<bool()> &dispatch);

    TApCustDlgParams custDlgParams_;
    TApOpenDlgCaptions captions_;
    std::unique_ptr<TApPlacesBarLiteOptions> placesBar_;
    QString title_;
    QString fileName_;
    QStringList files_;
    QStringList selFilesList_;
    TApOpenDlgControls visibleControls_ = AllDlgControls;
    int savedWidth_ = 0;
    int savedHeight_ = 0;
    TApCustomOpenLiteDialog *prevCurrentDialog_ = nullptr;
    // The open dialog: its window and the stand-in inside it.
    QPointer<TApDialogWindow> window_;
    QFileDialog *fileDialog_ = nullptr;
    bool closing_ = false;
    std::exception_ptr error_;
};

// The lite dialog whose Execute is running (null when none); runs may nest,
// each restores the previous value.
extern TApCustomOpenLiteDialog *CurrentLiteDialog;

class TApOpenLiteDialog : public TApCustomOpenLiteDialog {
    Q_OBJECT
public:
    using TApCustomOpenLiteDialog::TApCustomOpenLiteDialog;
};

class TApCustomSaveLiteDialog : public TApCustomOpenLiteDialog {
    Q_OBJECT
public:
    using TApCustomOpenLiteDialog::TApCustomOpenLiteDialog;

protected:
    bool IsSaveDialog() const override { return true; }
};

class TApSaveLiteDialog : public TApCustomSaveLiteDialog {
    Q_OBJECT
public:
    using TApCustomSaveLiteDialog::TApCustomSaveLiteDialog;
};
