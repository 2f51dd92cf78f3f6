// The full open and save dialogs: everything the lite dialogs do, and a custom
// places bar the user edits and that is kept in the registry, a file filter
// event, list view options, a tool bar option, a drop-down OK button and a
// custom form that can take the file list's place.
#pragma once

#include "ApDropDownButton.h"
#include "ApLiteDialogs.h"
#include "ApToolBarOption.h"

#include <QMenu>
#include <QPointer>

class QStackedWidget;
class TApIncludeFilterModel;
class TApPlacesBarForm;

enum TApDlgSelectionType { stStandard, stCustom };
enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

enum TApHotTrackStyle { htHandPoint = 0x1, htUnderlineCold = 0x2, htUnderlineHot = 0x4 };
Q_DECLARE_FLAGS(TApHotTrackStyles, TApHotTrackStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(TApHotTrackStyles)

// How the file list looks and what its pop-up menu offers. Hot tracking
// highlights the entry under the mouse (with a pointing hand, underlined
// captions by HotTrackStyles); GridLines draws cell lines in the detail view;
// without RowSelect only the name column of a selected row is highlighted.
// FlatScrollBars has no counterpart on the stand-in.
struct TApListViewStyles {
    bool HotTrack = false;
    TApHotTrackStyles HotTrackStyles;
    bool FlatScrollBars = false;
    bool GridLines = false;
    bool RowSelect = false;
    bool EnableRename = true;
    bool EnableDelete = true;
    // The pop-up menu shows on empty space, and on an entry.
    bool PopupOnEmpty = true;
    bool PopupOnSelection = true;
};

// Removes entries from the file list while Enabled: folders unless
// ShowFolders, files the dialog's OnIncludeFile refuses.
class TApFileFilter {
public:
    bool Enabled = false;
    bool ShowFolders() const { return showFolders_; }
    // Applied to the open dialog's list at once.
    void SetShowFolders(bool show);

private:
    friend class TApCustomOpenDialog;
    bool showFolders_ = true;
    std::function<void()> changed_;
};

using TApFileFilterEvent =
    std::function<void(TApCustomOpenLiteDialog *sender, const QString &fileName, bool &includeFile)>;
using TApViewStyleQueryEvent =
    std::function<void(TApCustomOpenLiteDialog *sender, TViewStyle style, bool &allowChange)>;
using TApViewStyleEvent = std::function<void(TApCustomOpenLiteDialog *sender, TViewStyle style)>;
using TApShareViolationEvent =
    std::function<void(TApCustomOpenLiteDialog *sender, int &dlgResult, const QString &fileName)>;

class TApCustomOpenDialog : public TApCustomOpenLiteDialog {
    Q_OBJECT
public:
    explicit TApCustomOpenDialog(QObject *owner = nullptr);
    ~TApCustomOpenDialog() override;

    // With Visible and not Native, the bar of the component's own at the left.
    TApPlacesBarOptions &PlacesBar();
    const TApPlacesBarOptions &PlacesBar() const;

    // stCustom shows the custom form of CustDlgParams in the file list's place.
    TApDlgSelectionType SelectionType() const { return selectionType_; }
    void SetSelectionType(TApDlgSelectionType type);
    // The file list's view; read from the list while the dialog is open. A
    // change asks OnSelectionStyleChanging first and reports
    // OnSelectionStyleChange after, whether made here or by the user.
    TViewStyle SelectionStyle() const;
    void SetSelectionStyle(TViewStyle style);
    const TApListViewStyles &ListViewStyles() const { return listViewStyles_; }
    void SetListViewStyles(const TApListViewStyles &styles);

    TApFileFilter ExtFilter;
    TApToolBarOptions ToolBar;
    // When set, a drop-down button with this menu takes the OK button's place;
    // its click presses OK.
    QPointer<QMenu> OkButtonMenu;

    TApFileFilterEvent OnIncludeFile;
    TApViewStyleQueryEvent OnSelectionStyleChanging;
    TApViewStyleEvent OnSelectionStyleChange;
    // The stand-in reports no share violations: never raised on it.
    TApShareViolationEvent OnShareViolation;

    // While the dialog is open: the custom places bar and the drop-down OK button, else null.
    TApPlacesBarForm *PlacesBarForm() const { return placesBarForm_; }
    TApBitBtn *OkDropDownButton() const { return okDropDown_; }

protected:
    void PrepareExecution() override;
    void FinishExecution() override;
    void PrepareFileDialog(QFileDialog *dialog) override;
    void ExtendWindow(QBoxLayout *standardArea) override;
    void WindowClosing() override;
    void ApplyVisibleControls() override;
    bool ShowsStandardPlaces() const override;
    bool ProceedWithCommand(int commandId) override;
    void CommandDone(int commandId) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    virtual void DoSelectionStyleChanging(TViewStyle style, bool &allowChange);
    virtual void DoSelectionStyleChange(TViewStyle style);
    virtual void DoShareViolation(int &dlgResult, const QString &fileName);
    virtual void DoIncludeFile(const QString &fileName, bool &includeFile);

private:
    friend class TApIncludeFilterModel;
    bool UsesCustomPlacesBar() const;
    void FolderEntered(const QString &folder);
    void ApplySelectionType();
    void ApplyListViewStyles();
    void ApplyViewStyle(TViewStyle style);
    void InstallOkDropDown();
    void SyncOkDropDown();
    QStackedWidget *ListPlaceholder() const;

    TApDlgSelectionType selectionType_ = stStandard;
    TViewStyle selectionStyle_ = vsList;
    bool selectionStyleSet_ = false;
    TViewStyle styleBeforeCommand_ = vsList;
    TApListViewStyles listViewStyles_;
    TApPlacesBarForm *placesBarForm_ = nullptr;
    TApIncludeFilterModel *filterModel_ = nullptr;
    TApBitBtn *okDropDown_ = nullptr;
    QPointer<QWidget> standardPage_;
    QPointer<QWidget> customBarParent_;
    Qt::WindowFlags customBarFlags_;
    bool customBarVisible_ = false;
    TApCustomOpenDialog *prevCurrentOpenDialog_ = nullptr;
};

// The full dialog whose Execute is running (null when none).
extern TApCustomOpenDialog *CurrentOpenDialog;

class TApOpenDialog : public TApCustomOpenDialog {
    Q_OBJECT
public:
    using TApCustomOpenDialog::TApCustomOpenDialog;
};
