// The full open and save dialogs.
#include "ApFullDialogs.h"

#include "ApDialogControls.h"
#include "ApPlacesBarForm.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QBoxLayout>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>

TApCustomOpenDialog *CurrentOpenDialog = nullptr;

namespace {

QList<QAbstractItemView *> FileViews(const QFileDialog *dialog)
{
    QList<QAbstractItemView *> views;
    for (const char *name : {"listView", "treeView"}) {
        if (auto *view = dialog->findChild<QAbstractItemView *>(QLatin1String(name)))
            views.append(view);
    }
    return views;
}

// Whether the key deletes on the stand-in: the Delete key with any modifiers,
// and the platform's own delete keys.
bool IsDeleteKey(const QKeyCombination &key)
{
    if (key.key() == Qt::Key_Delete)
        return true;
    const QList<QKeySequence> bindings = QKeySequence::keyBindings(QKeySequence::Delete);
    return std::any_of(bindings.begin(), bindings.end(), [&](const QKeySequence &binding) {
        return binding.count() == 1 && binding[0] == key;
    });
}

bool DeletesByKey(const QList<QKeySequence> &sequences)
{
    return std::any_of(sequences.begin(), sequences.end(),
                       [](const QKeySequence &keys) { return !keys.isEmpty() && IsDeleteKey(keys[0]); });
}

QString CleanFolder(const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(path);
}

}  // namespace

// The file list's filter: only the entries of the current folder are judged,
// so the folders above it stay reachable.
class TApIncludeFilterModel : public QSortFilterProxyModel {
public:
    TApIncludeFilterModel(TApCustomOpenDialog &owner, QObject *parent)
        : QSortFilterProxyModel(parent), owner_(owner)
    {
    }

    void SetFolder(const QString &folder)
    {
        folder_ = CleanFolder(folder);
        invalidateFilter();
    }
    void Refilter() { invalidateFilter(); }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (!owner_.ExtFilter.Enabled || !files || CleanFolder(files->filePath(parent)) != folder_)
            return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        if (info.isDir())
            return owner_.ExtFilter.ShowFolders();
        bool includeFile = true;
        owner_.DoIncludeFile(info.absoluteFilePath(), includeFile);
        return includeFile;
    }

private:
    TApCustomOpenDialog &owner_;
    QString folder_;
};

namespace {

// Draws the file list's entries by ListViewStyles.
class ListViewDelegate : public QStyledItemDelegate {
public:
    ListViewDelegate(const TApCustomOpenDialog &owner, QObject *parent)
        : QStyledItemDelegate(parent), owner_(owner)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (!owner_.ListViewStyles().GridLines || qobject_cast<const QListView *>(option.widget))
            return;
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const TApListViewStyles &styles = owner_.ListViewStyles();
        const bool hot = option->state & QStyle::State_MouseOver;
        if (styles.HotTrack
            && ((styles.HotTrackStyles & htUnderlineCold)
                || ((styles.HotTrackStyles & htUnderlineHot) && hot)))
            option->font.setUnderline(true);
        if (!styles.HotTrack)
            option->state &= ~QStyle::State_MouseOver;
        if (!styles.RowSelect && index.column() > 0)
            option->state &= ~QStyle::State_Selected;
    }

private:
    const TApCustomOpenDialog &owner_;
};

}  // namespace

void TApFileFilter::SetShowFolders(bool show)
{
    showFolders_ = show;
    if (changed_)
        changed_();
}

TApCustomOpenDialog::TApCustomOpenDialog(QObject *owner)
    : TApCustomOpenLiteDialog(owner, std::make_unique<TApPlacesBarOptions>())
{
    ExtFilter.changed_ = [this] {
        if (filterModel_)
            filterModel_->Refilter();
    };
}

TApCustomOpenDialog::~TApCustomOpenDialog()
{
    ExtFilter.changed_ = nullptr;
}

TApPlacesBarOptions &TApCustomOpenDialog::PlacesBar()
{
    return static_cast<TApPlacesBarOptions &>(TApCustomOpenLiteDialog::PlacesBar());
}

const TApPlacesBarOptions &TApCustomOpenDialog::PlacesBar() const
{
    return static_cast<const TApPlacesBarOptions &>(TApCustomOpenLiteDialog::PlacesBar());
}

void TApCustomOpenDialog::PrepareExecution()
{
    prevCurrentOpenDialog_ = CurrentOpenDialog;
    CurrentOpenDialog = this;
}

void TApCustomOpenDialog::FinishExecution()
{
    CurrentOpenDialog = prevCurrentOpenDialog_;
}

bool TApCustomOpenDialog::UsesCustomPlacesBar() const
{
    return PlacesBar().Visible && !PlacesBar().Native;
}

bool TApCustomOpenDialog::ShowsStandardPlaces() const
{
    if (UsesCustomPlacesBar())
        return false;
    return TApCustomOpenLiteDialog::ShowsStandardPlaces();
}

void TApCustomOpenDialog::PrepareFileDialog(QFileDialog *dialog)
{
    filterModel_ = nullptr;
    if (!ExtFilter.Enabled)
        return;
    filterModel_ = new TApIncludeFilterModel(*this, dialog);
    dialog->setProxyModel(filterModel_);
}

void TApCustomOpenDialog::ExtendWindow(QBoxLayout *standardArea)
{
    QFileDialog *dialog = FileDialog();
    // Every change of folder, the user's and the program's, sets the model's root.
    if (auto *files = dialog->findChild<QFileSystemModel *>())
        connect(files, &QFileSystemModel::rootPathChanged, this, &TApCustomOpenDialog::FolderEntered);
    if (filterModel_)
        filterModel_->SetFolder(GetSelPath());

    placesBarForm_ = nullptr;
    if (UsesCustomPlacesBar()) {
        if (!PlacesBar().RegistryKey.isEmpty())
            PlacesBar().LoadFromRegistry();
        placesBarForm_ = new TApPlacesBarForm(PlacesBar(), this, standardArea->parentWidget());
        standardArea->insertWidget(0, placesBarForm_);
    }

    GateCommands({idCmdViewList, idCmdViewDetails});
    if (ToolBar.Flat) {
        for (QWidget *button : ApDlgControls(dialog, idToolBar)) {
            if (auto *tool = qobject_cast<QToolButton *>(button))
                tool->setAutoRaise(true);
        }
    }
    if (QToolBar *bar = ToolBar.CustomBar) {
        const QWidget *last = ApDlgControls(dialog, idToolBar).value(5);
        for (QBoxLayout *row : dialog->findChildren<QBoxLayout *>()) {
            const int at = last ? row->indexOf(last) : -1;
            if (at < 0)
                continue;
            customBarParent_ = bar->parentWidget();
            customBarFlags_ = bar->windowFlags();
            customBarVisible_ = !bar->isHidden();
            row->insertWidget(at + 1, bar);
            bar->show();
            break;
        }
    }
    InstallOkDropDown();
    ApplyListViewStyles();
    if (selectionStyleSet_)
        ApplyViewStyle(selectionStyle_);
    ApplySelectionType();
}

void TApCustomOpenDialog::WindowClosing()
{
    if (placesBarForm_ && !PlacesBar().RegistryKey.isEmpty())
        PlacesBar().SaveToRegistry();
    if (QToolBar *bar = ToolBar.CustomBar; bar && customBarParent_.data() != bar->parentWidget()) {
        bar->hide();
        bar->setParent(customBarParent_, customBarFlags_);
        bar->setVisible(customBarVisible_);
    }
    selectionStyle_ = SelectionStyle();
    placesBarForm_ = nullptr;
    filterModel_ = nullptr;
    okDropDown_ = nullptr;
    standardPage_ = nullptr;
}

void TApCustomOpenDialog::FolderEntered(const QString &folder)
{
    if (filterModel_)
        filterModel_->SetFolder(folder);
    if (placesBarForm_)
        placesBarForm_->SelectFolder(folder);
}

QStackedWidget *TApCustomOpenDialog::ListPlaceholder() const
{
    return qobject_cast<QStackedWidget *>(ApDlgControl(FileDialog(), idFileList));
}

void TApCustomOpenDialog::SetSelectionType(TApDlgSelectionType type)
{
    selectionType_ = type;
    ApplySelectionType();
}

void TApCustomOpenDialog::ApplySelectionType()
{
    QStackedWidget *stack = ListPlaceholder();
    if (!stack)
        return;
    if (selectionType_ == stCustom) {
        QWidget *form = CustDlgParams().AttachCustForm(stack);
        if (!form)
            return;
        if (stack->indexOf(form) < 0) {
            standardPage_ = stack->currentWidget();
            stack->addWidget(form);
        }
        stack->setCurrentWidget(form);
        form->show();
        return;
    }
    QWidget *form = CustDlgParams().CustForm();
    if (form && stack->indexOf(form) >= 0) {
        stack->removeWidget(form);
        CustDlgParams().DetachCustForm();
        if (standardPage_)
            stack->setCurrentWidget(standardPage_);
    }
}

TViewStyle TApCustomOpenDialog::SelectionStyle() const
{
    const QFileDialog *dialog = FileDialog();
    if (!dialog)
        return selectionStyle_;
    if (dialog->viewMode() == QFileDialog::Detail)
        return vsReport;
    const auto *list = dialog->findChild<QListView *>(QStringLiteral("listView"));
    if (list && list->viewMode() == QListView::IconMode)
        return vsIcon;
    if (list && list->flow() == QListView::LeftToRight)
        return vsSmallIcon;
    return vsList;
}

void TApCustomOpenDialog::SetSelectionStyle(TViewStyle style)
{
    if (!FileDialog()) {
        selectionStyle_ = style;
        selectionStyleSet_ = true;
        return;
    }
    if (style == SelectionStyle())
        return;
    bool allowChange = true;
    DoSelectionStyleChanging(style, allowChange);
    if (!allowChange)
        return;
    ApplyViewStyle(style);
    DoSelectionStyleChange(style);
}

void TApCustomOpenDialog::ApplyViewStyle(TViewStyle style)
{
    QFileDialog *dialog = FileDialog();
    if (!dialog)
        return;
    dialog->setViewMode(style == vsReport ? QFileDialog::Detail : QFileDialog::List);
    auto *list = dialog->findChild<QListView *>(QStringLiteral("listView"));
    if (!list || style == vsReport)
        return;
    list->setViewMode(style == vsIcon ? QListView::IconMode : QListView::ListMode);
    list->setFlow(style == vsList ? QListView::TopToBottom : QListView::LeftToRight);
    list->setWrapping(true);
    list->setMovement(QListView::Static);
    list->setResizeMode(QListView::Adjust);
    if (selectionType_ == stCustom)
        ApplySelectionType();
}

bool TApCustomOpenDialog::ProceedWithCommand(int commandId)
{
    if (commandId != idCmdViewList && commandId != idCmdViewDetails)
        return TApCustomOpenLiteDialog::ProceedWithCommand(commandId);
    styleBeforeCommand_ = SelectionStyle();
    const TViewStyle style = commandId == idCmdViewList ? vsList : vsReport;
    bool allowChange = true;
    if (style != styleBeforeCommand_)
        DoSelectionStyleChanging(style, allowChange);
    return allowChange;
}

void TApCustomOpenDialog::CommandDone(int commandId)
{
    if (commandId != idCmdViewList && commandId != idCmdViewDetails) {
        TApCustomOpenLiteDialog::CommandDone(commandId);
        return;
    }
    const TViewStyle style = commandId == idCmdViewList ? vsList : vsReport;
    if (style == vsList)
        ApplyViewStyle(vsList);
    else if (selectionType_ == stCustom)
        ApplySelectionType();
    if (style != styleBeforeCommand_)
        DoSelectionStyleChange(style);
}

void TApCustomOpenDialog::SetListViewStyles(const TApListViewStyles &styles)
{
    listViewStyles_ = styles;
    ApplyListViewStyles();
}

void TApCustomOpenDialog::ApplyListViewStyles()
{
    QFileDialog *dialog = FileDialog();
    if (!dialog)
        return;
    const TApListViewStyles &styles = listViewStyles_;
    for (QAbstractItemView *view : FileViews(dialog)) {
        if (!dynamic_cast<ListViewDelegate *>(view->itemDelegate())) {
            view->setItemDelegate(new ListViewDelegate(*this, view));
            view->viewport()->installEventFilter(this);
        }
        view->setMouseTracking(styles.HotTrack);
        view->viewport()->setAttribute(Qt::WA_Hover, styles.HotTrack);
        if (styles.HotTrack && (styles.HotTrackStyles & htHandPoint))
            view->viewport()->setCursor(Qt::PointingHandCursor);
        else
            view->viewport()->unsetCursor();
        view->viewport()->update();
    }
    if (auto *rename = dialog->findChild<QAction *>(QStringLiteral("qt_rename_action")))
        rename->setVisible(styles.EnableRename);
    if (auto *remove = dialog->findChild<QAction *>(QStringLiteral("qt_delete_action")))
        remove->setVisible(styles.EnableDelete);
    // The stand-in deletes the current entry by keys of its own (wherever the
    // focus is in the dialog): they do nothing without EnableDelete.
    for (QShortcut *shortcut : dialog->findChildren<QShortcut *>()) {
        if (DeletesByKey(shortcut->keys()))
            shortcut->setEnabled(styles.EnableDelete);
    }
    for (QAction *action : dialog->findChildren<QAction *>()) {
        if (DeletesByKey(action->shortcuts()))
            action->setEnabled(styles.EnableDelete);
    }
}

bool TApCustomOpenDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ContextMenu && FileDialog()) {
        for (QAbstractItemView *view : FileViews(FileDialog())) {
            if (watched != view->viewport())
                continue;
            const QPoint at = static_cast<QContextMenuEvent *>(event)->pos();
            const bool onEntry = view->indexAt(at).isValid();
            if (onEntry ? !listViewStyles_.PopupOnSelection : !listViewStyles_.PopupOnEmpty)
                return true;
        }
    }
    return TApCustomOpenLiteDialog::eventFilter(watched, event);
}

void TApCustomOpenDialog::InstallOkDropDown()
{
    okDropDown_ = nullptr;
    QFileDialog *dialog = FileDialog();
    auto *ok = qobject_cast<QAbstractButton *>(ApDlgControl(dialog, idOk));
    auto *box = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    if (!OkButtonMenu || !ok || !box)
        return;
    okDropDown_ = new TApBitBtn(box);
    okDropDown_->setObjectName(QStringLiteral("btOkDropDown"));
    okDropDown_->SetDropDownMenu(OkButtonMenu);
    okDropDown_->setDefault(true);
    box->addButton(okDropDown_, QDialogButtonBox::ActionRole);
    connect(okDropDown_, &QAbstractButton::clicked, ok, &QAbstractButton::click);
    // The stand-in updates its OK button as the selection and the name change,
    // in handlers connected before these.
    auto sync = [this] { SyncOkDropDown(); };
    connect(dialog, &QFileDialog::currentChanged, this, sync);
    if (auto *files = dialog->findChild<QFileSystemModel *>())
        connect(files, &QFileSystemModel::rootPathChanged, this, sync);
    if (auto *field = qobject_cast<QLineEdit *>(ApDlgControl(dialog, idFileName)))
        connect(field, &QLineEdit::textChanged, this, sync);
    SyncOkDropDown();
}

void TApCustomOpenDialog::SyncOkDropDown()
{
    const QAbstractButton *ok = qobject_cast<QAbstractButton *>(ApDlgControl(FileDialog(), idOk));
    if (!okDropDown_ || !ok)
        return;
    okDropDown_->setText(ok->text());
    okDropDown_->setEnabled(ok->isEnabled());
}

void TApCustomOpenDialog::ApplyVisibleControls()
{
    TApCustomOpenLiteDialog::ApplyVisibleControls();
    if (!okDropDown_)
        return;
    if (QWidget *ok = ApDlgControl(FileDialog(), idOk))
        ok->hide();
    okDropDown_->setVisible(VisibleControls().testFlag(dcOkBtn));
}

void TApCustomOpenDialog::DoSelectionStyleChanging(TViewStyle style, bool &allowChange)
{
    Notify(OnSelectionStyleChanging, style, allowChange);
}

void TApCustomOpenDialog::DoSelectionStyleChange(TViewStyle style)
{
    Notify(OnSelectionStyleChange, style);
}

void TApCustomOpenDialog::DoShareViolation(int &dlgResult, const QString &fileName)
{
    Notify(OnShareViolation, dlgResult, fileName);
}

void TApCustomOpenDialog::DoIncludeFile(const QString &fileName, bool &includeFile)
{
    Notify(OnIncludeFile, fileName, includeFile);
}
