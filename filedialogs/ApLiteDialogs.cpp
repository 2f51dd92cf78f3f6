// The lite open and save dialogs on Qt's own file dialog.
#include "ApLiteDialogs.h"

#include "ApDialogControls.h"
#include "ApModalRuns.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QScreen>
#include <QStandardPaths>
#include <QToolTip>

#include <initializer_list>
#include <utility>

TApCustomOpenLiteDialog *CurrentLiteDialog = nullptr;

namespace {

// The longest title the dialog window takes.
constexpr qsizetype kMaxTitleLength = 511;
const char *const kCommandProperty = "apCommand";

// The controls VisibleControls shows and hides, in the order applied.
struct VisibleControl {
    TApOpenDlgControl member;
    int id;
};
const VisibleControl kVisibleControls[] = {
    {dcFolderCombo, idFolderCombo}, {dcFolderLabel, idFolderLabel},     {dcOkBtn, idOk},
    {dcCancelBtn, idCancel},        {dcFileName, idFileName},           {dcFileNameLabel, idFileNameLabel},
    {dcFileType, idFileType},       {dcFileTypeLabel, idFileTypeLabel}, {dcToolBar, idToolBar},
};

QString CutTitle(const QString &title)
{
    if (title.size() <= kMaxTitleLength)
        return title;
    qsizetype length = kMaxTitleLength;
    if (title.at(length - 1).isHighSurrogate())
        --length;
    return title.left(length);
}

// Sets the captions that are not empty on the dialog's controls.
void SetNonEmptyCaptions(QFileDialog *dialog, std::initializer_list<std::pair<int, const QString *>> captions)
{
    for (const auto &[id, text] : captions) {
        if (!text->isEmpty())
            ApSetDlgControlText(dialog, id, *text);
    }
}

QList<QUrl> StandardPlaceUrls()
{
    QList<QUrl> urls;
    for (auto location :
         {QStandardPaths::DesktopLocation, QStandardPaths::HomeLocation, QStandardPaths::DocumentsLocation}) {
        const QString path = QStandardPaths::writableLocation(location);
        if (!path.isEmpty() && !urls.contains(QUrl::fromLocalFile(path)))
            urls.append(QUrl::fromLocalFile(path));
    }
    urls.append(QUrl::fromLocalFile(QDir::rootPath()));
    return urls;
}

// The file under the cursor of the file list: the current entry while it is
// selected; none when nothing is selected or no entry is current (another
// folder is shown). Not settled while the selection has moved on and the
// current entry is still to follow it.
QString FileUnderCursor(const QAbstractItemView &list, bool &settled)
{
    const QItemSelectionModel *selection = list.selectionModel();
    const QModelIndex current = selection->currentIndex().siblingAtColumn(0);
    settled = true;
    if (!current.isValid() || !selection->hasSelection())
        return QString();
    if (selection->isSelected(current))
        return current.data(QFileSystemModel::FilePathRole).toString();
    settled = false;
    return QString();
}

// The existing file the dialog opens with: name, taken in the folder shown
// when it is relative; empty when there is none.
QString PreselectedFile(const QFileDialog &dialog, const QString &name)
{
    if (name.isEmpty())
        return QString();
    const QFileInfo file(dialog.directory(), name);
    return file.isFile() ? file.absoluteFilePath() : QString();
}

}  // namespace

// The dialog window: the standard area with the stand-in, and the attached forms.
class TApDialogWindow : public QDialog {
public:
    TApDialogWindow(TApCustomOpenLiteDialog &owner, QWidget *parent) : QDialog(parent), owner_(owner) { }

    bool event(QEvent *event) override
    {
        return owner_.WindowEvent(event, [this, event] { return QDialog::event(event); });
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QDialog::resizeEvent(event);
        owner_.WindowResized(size());
    }
    void showEvent(QShowEvent *event) override
    {
        QDialog::showEvent(event);
        owner_.WindowShown();
    }

private:
    TApCustomOpenLiteDialog &owner_;
};

// The stand-in: Qt's own file dialog as a widget of the dialog window. Its OK
// raises OnFilenameEntering when the file name field has the focus, and its
// end ends the dialog window.
class TApFileDialogWidget : public QFileDialog {
public:
    TApFileDialogWidget(TApCustomOpenLiteDialog &owner, QWidget *parent) : QFileDialog(parent), owner_(owner)
    {
        setWindowFlags(Qt::Widget);
        setOption(QFileDialog::DontUseNativeDialog);
        setSizeGripEnabled(false);
    }

    void accept() override
    {
        const QWidget *field = ApDlgControl(this, idFileName);
        if (field && field->hasFocus()) {
            bool allowProceed = true;
            owner_.DoFilenameEntering(allowProceed);
            if (!allowProceed)
                return;
        }
        QFileDialog::accept();
    }

    void done(int result) override
    {
        setResult(result);
        if (QDialog *window = owner_.DialogWindow())
            window->done(result);
    }

private:
    TApCustomOpenLiteDialog &owner_;
};

void TApDlgCaptions::SetCaptions(QFileDialog *dialog) const
{
    SetNonEmptyCaptions(dialog, {{idOk, &OK}, {idCancel, &Cancel}, {idHelp, &Help}});
}

void TApOpenDlgCaptions::SetCaptions(QFileDialog *dialog) const
{
    TApDlgCaptions::SetCaptions(dialog);
    SetNonEmptyCaptions(dialog,
                        {{idFolderLabel, &LookIn},
                         {idFileNameLabel, &FileName},
                         {idFileTypeLabel, &FileType},
                         {idReadOnly, &ReadOnlyFlag}});
}

TApCustomOpenLiteDialog::TApCustomOpenLiteDialog(QObject *owner)
    : TApCustomOpenLiteDialog(owner, std::make_unique<TApPlacesBarLiteOptions>())
{
}

TApCustomOpenLiteDialog::TApCustomOpenLiteDialog(QObject *owner,
                                                 std::unique_ptr<TApPlacesBarLiteOptions> placesBar)
    : QObject(owner), custDlgParams_(this), placesBar_(std::move(placesBar))
{
}

TApCustomOpenLiteDialog::~TApCustomOpenLiteDialog()
{
    CloseWindow();
}

QDialog *TApCustomOpenLiteDialog::DialogWindow() const
{
    return window_.data();
}

QString TApCustomOpenLiteDialog::FileName() const
{
    if (fileDialog_)
        return fileDialog_->selectedFiles().value(0);
    return fileName_;
}

void TApCustomOpenLiteDialog::PrepareExecution()
{
    prevCurrentDialog_ = CurrentLiteDialog;
    CurrentLiteDialog = this;
}

void TApCustomOpenLiteDialog::FinishExecution()
{
    CurrentLiteDialog = prevCurrentDialog_;
}

bool TApCustomOpenLiteDialog::Execute()
{
    FirstPaint = true;
    PrepareExecution();
    const auto restoreCurrent = qScopeGuard([this] { FinishExecution(); });
    error_ = nullptr;
    int result = QDialog::Rejected;
    {
        const auto closeWindow = qScopeGuard([this] { CloseWindow(); });
        OpenWindow();
        DoShow();
        if (!error_ && window_) {
            // The size for the first showing: the remembered one with the forms added.
            window_->resize(savedWidth_ + custDlgParams_.ExtraWidth(),
                            savedHeight_ + custDlgParams_.ExtraHeight());
            if (!(Options & ofEnableSizing))
                window_->setFixedSize(window_->size());
            result = ApExecModal(*window_);
        }
        if (result == QDialog::Accepted && !error_)
            TakeResult();
    }
    if (error_)
        std::rethrow_exception(std::exchange(error_, nullptr));
    return result == QDialog::Accepted;
}

void TApCustomOpenLiteDialog::OpenWindow()
{
    QWidget *parent = QApplication::activeWindow();
    window_ = new TApDialogWindow(*this, parent);
    window_->setObjectName(objectName());
    window_->setSizeGripEnabled(Options.testFlag(ofEnableSizing));

    auto *area = new QWidget(window_.data());
    area->setObjectName(QStringLiteral("StandardArea"));
    auto *layout = new QHBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *fileDialog = new TApFileDialogWidget(*this, area);
    fileDialog_ = fileDialog;
    connect(window_.data(), &QObject::destroyed, this, [this] { fileDialog_ = nullptr; });
    ConfigureFileDialog();
    layout->addWidget(fileDialog);
    ExtendWindow(layout);

    // The dialog's natural size: what its controls ask for, within the screen.
    const QSize screen = ApScreenRect().size();
    QSize natural = area->sizeHint();
    if (!screen.isEmpty())
        natural = natural.boundedTo(screen * 2 / 3);
    window_->resize(natural.expandedTo(area->minimumSizeHint()));
    area->setGeometry(window_->rect());
}

void TApCustomOpenLiteDialog::ConfigureFileDialog()
{
    QFileDialog *dialog = fileDialog_;
    PrepareFileDialog(dialog);
    dialog->setAcceptMode(IsSaveDialog() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (Options & ofAllowMultiSelect)
        dialog->setFileMode(QFileDialog::ExistingFiles);
    else if ((Options & ofFileMustExist) && !IsSaveDialog())
        dialog->setFileMode(QFileDialog::ExistingFile);
    else
        dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !(Options & ofOverwritePrompt));
    ApSetNameFilters(dialog, Filter, FilterIndex - 1);
    dialog->setDefaultSuffix(DefaultExt);
    dialog->setSidebarUrls(StandardPlaceUrls());
    if (QWidget *sidebar = dialog->findChild<QWidget *>(QStringLiteral("sidebar")))
        sidebar->setVisible(ShowsStandardPlaces());
    if (!InitialDir.isEmpty())
        dialog->setDirectory(InitialDir);
    if (!fileName_.isEmpty())
        dialog->selectFile(fileName_);

    // The file under the cursor follows the current entry, the selection and
    // the folder shown; it starts from what the dialog shows at first.
    if (auto *list = dialog->findChild<QAbstractItemView *>(QStringLiteral("listView"))) {
        const auto follow = [this, list] {
            bool settled = false;
            const QString fileName = FileUnderCursor(*list, settled);
            if (settled)
                DoSelectionChange(fileName);
        };
        connect(dialog, &QFileDialog::currentChanged, this, follow);
        connect(dialog, &QFileDialog::directoryEntered, this, follow);
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, follow);
        // While its folder is still being read, the list selects nothing:
        // a file the dialog opens with is the one under the cursor.
        bool settled = false;
        const QString underCursor = FileUnderCursor(*list, settled);
        DoSelectionChange(underCursor.isEmpty() ? PreselectedFile(*dialog, fileName_) : underCursor);
    }
    if (auto *field = qobject_cast<QLineEdit *>(ApDlgControl(dialog, idFileName)))
        connect(field, &QLineEdit::textChanged, this, [this] { DoFilenameChange(); });
    GateCommands({idCmdNewFolder, idCmdDesktop, idCmdUpLevel, idCmdBack});
}

void TApCustomOpenLiteDialog::ExtendWindow(QBoxLayout *)
{
}

bool TApCustomOpenLiteDialog::ShowsStandardPlaces() const
{
    return placesBar_->Visible || !(OptionsEx & ofExNoPlacesBar);
}

void TApCustomOpenLiteDialog::GateCommands(std::initializer_list<int> commandIds)
{
    for (int commandId : commandIds) {
        for (QWidget *button : ApDlgControls(fileDialog_, commandId)) {
            auto *clickable = qobject_cast<QAbstractButton *>(button);
            if (!clickable)
                continue;
            clickable->setProperty(kCommandProperty, commandId);
            clickable->installEventFilter(this);
            // Connected after the stand-in's own handler, so it runs after the command.
            connect(clickable, &QAbstractButton::clicked, this,
                    [this, commandId] { CommandDone(commandId); });
        }
    }
}

bool TApCustomOpenLiteDialog::eventFilter(QObject *watched, QEvent *event)
{
    auto *button = qobject_cast<QAbstractButton *>(watched);
    const QVariant command = button ? button->property(kCommandProperty) : QVariant();
    if (!command.isValid() || !button->isDown())
        return QObject::eventFilter(watched, event);
    bool clicks = false;
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        clicks = mouse->button() == Qt::LeftButton && button->rect().contains(mouse->position().toPoint());
    } else if (event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        clicks = !key->isAutoRepeat() && (key->key() == Qt::Key_Space || key->key() == Qt::Key_Select);
    }
    if (clicks && !ProceedWithCommand(command.toInt())) {
        button->setDown(false);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool TApCustomOpenLiteDialog::ProceedWithCommand(int commandId)
{
    bool allowProceed = true;
    switch (commandId) {
    case idCmdNewFolder: DoFolderCreating(allowProceed); break;
    case idCmdDesktop: DoDesktopNavigating(allowProceed); break;
    case idCmdUpLevel: DoUpLevelNavigating(allowProceed); break;
    case idCmdBack: DoLastFolderNavigating(allowProceed); break;
    default: break;
    }
    return allowProceed;
}

void TApCustomOpenLiteDialog::CommandDone(int commandId)
{
    switch (commandId) {
    case idCmdDesktop: DoDesktopNavigate(); break;
    case idCmdUpLevel: DoUpLevelNavigate(); break;
    case idCmdBack: DoLastFolderNavigate(); break;
    default: break;
    }
}

void TApCustomOpenLiteDialog::DoShow()
{
    ApplyTitle();
    custDlgParams_.DialogClientRect = window_->rect();
    if (!(Options & ofEnableSizing) || savedWidth_ == 0) {
        savedWidth_ = window_->width();
        savedHeight_ = window_->height();
    }
    custDlgParams_.ConnectForms(window_.data());
    UpdateListArea();
    ApplyVisibleControls();
    captions_.SetCaptions(fileDialog_);
    Notify(OnShow);
}

void TApCustomOpenLiteDialog::WindowShown()
{
    if (!FirstPaint || closing_)
        return;
    FirstPaint = false;
    ApSetPosition(window_.data(), custDlgParams_);
    UpdateListArea();
}

void TApCustomOpenLiteDialog::WindowResized(const QSize &size)
{
    if (closing_)
        return;
    if (custDlgParams_.DialogWnd() == window_.data()) {
        custDlgParams_.OnResizeWindow(size.width(), size.height());
        UpdateListArea();
    } else if (QWidget *area =
                   window_ ? window_->findChild<QWidget *>(QStringLiteral("StandardArea")) : nullptr) {
        area->setGeometry(QRect(QPoint(0, 0), size));
    }
}

bool TApCustomOpenLiteDialog::WindowEvent(QEvent *event, const std::function<bool()> &dispatch)
{
    if (closing_)
        return dispatch();
    bool allowDispatch = true;
    DoHookQueryEvent(event, allowDispatch);
    if (!allowDispatch)
        return true;
    const bool handled = dispatch();
    DoHookEvent(event);
    return handled;
}

void TApCustomOpenLiteDialog::UpdateListArea()
{
    const QWidget *list = ApDlgControl(fileDialog_, idFileList);
    if (!list || !window_)
        return;
    custDlgParams_.ListArea = QRect(list->mapTo(window_.data(), QPoint(0, 0)), list->size());
}

void TApCustomOpenLiteDialog::CloseWindow()
{
    if (!window_)
        return;
    closing_ = true;
    const QSize size = window_->size();
    custDlgParams_.DisconnectForms();
    savedWidth_ = size.width() - custDlgParams_.ExtraWidth();
    savedHeight_ = size.height() - custDlgParams_.ExtraHeight();
    WindowClosing();
    window_->hide();
    fileDialog_ = nullptr;
    delete window_.data();
    closing_ = false;
    DoClose();
}

void TApCustomOpenLiteDialog::TakeResult()
{
    files_ = fileDialog_->selectedFiles();
    fileName_ = files_.value(0);
    if (const auto *types = qobject_cast<QComboBox *>(ApDlgControl(fileDialog_, idFileType));
        types && types->currentIndex() >= 0)
        FilterIndex = types->currentIndex() + 1;
}

void TApCustomOpenLiteDialog::ApplyTitle()
{
    if (!window_)
        return;
    QString title = CutTitle(title_);
    if (title.isEmpty())
        title = IsSaveDialog() ? QCoreApplication::translate("QFileDialog", "Save As")
                               : QCoreApplication::translate("QFileDialog", "Open");
    window_->setWindowTitle(title);
}

void TApCustomOpenLiteDialog::SetTitle(const QString &title)
{
    title_ = title;
    ApplyTitle();
}

void TApCustomOpenLiteDialog::SetVisibleControls(TApOpenDlgControls controls)
{
    visibleControls_ = controls;
    ApplyVisibleControls();
}

void TApCustomOpenLiteDialog::ApplyVisibleControls()
{
    if (!fileDialog_)
        return;
    for (const VisibleControl &control : kVisibleControls) {
        for (QWidget *widget : ApDlgControls(fileDialog_, control.id))
            widget->setVisible(visibleControls_.testFlag(control.member));
    }
}

QString TApCustomOpenLiteDialog::GetSelFiles() const
{
    return GetFNameText();
}

const QStringList &TApCustomOpenLiteDialog::GetSelFilesList()
{
    ApCommonGetNamesList(GetSelFiles(), selFilesList_);
    return selFilesList_;
}

void TApCustomOpenLiteDialog::SetSelFiles(const QString &text)
{
    if (!fileDialog_)
        return;
    ApCommonGetNamesList(text, selFilesList_);
    SetFNameText(text);
}

void TApCustomOpenLiteDialog::SetSelFilesList(const QStringList &list)
{
    if (!fileDialog_)
        return;
    selFilesList_ = list;
    if (list.isEmpty())
        return;
    if (list.size() == 1) {
        SetFNameText(list.first());
        return;
    }
    QStringList quoted;
    for (const QString &name : list)
        quoted.append(QLatin1Char('"') + name + QLatin1Char('"'));
    SetFNameText(quoted.join(QLatin1Char(' ')));
}

QWidget *TApCustomOpenLiteDialog::GetEdit() const
{
    return fileDialog_ ? ApDlgControl(fileDialog_, GetEditCtrlId()) : nullptr;
}

int TApCustomOpenLiteDialog::GetEditCtrlId() const
{
    return !fileDialog_ || ApDlgControl(fileDialog_, idFileName) ? idFileName : idFileNameCombo;
}

QString TApCustomOpenLiteDialog::GetFNameText() const
{
    const auto *field = qobject_cast<QLineEdit *>(GetEdit());
    return field ? field->text() : QString();
}

void TApCustomOpenLiteDialog::SetFNameText(const QString &text)
{
    if (auto *field = qobject_cast<QLineEdit *>(GetEdit()))
        field->setText(text);
}

QString TApCustomOpenLiteDialog::GetSelPath() const
{
    return fileDialog_ ? fileDialog_->directory().absolutePath() : QString();
}

void TApCustomOpenLiteDialog::SetSelPath(const QString &path)
{
    if (!fileDialog_ || !QFileInfo(path).isDir())
        return;
    QWidget *focused = QApplication::focusWidget();
    const QString text = GetFNameText();
    fileDialog_->setDirectory(path);
    SetFNameText(text);
    if (focused)
        focused->setFocus();
}

QUrl TApCustomOpenLiteDialog::GetSelPathPidl() const
{
    return fileDialog_ ? fileDialog_->directoryUrl() : QUrl();
}

void TApCustomOpenLiteDialog::CloseDialog(int result)
{
    if (!fileDialog_ || (result != idOk && result != idCancel))
        return;
    if (auto *button = qobject_cast<QAbstractButton *>(ApDlgControl(fileDialog_, result)))
        button->click();
}

void TApCustomOpenLiteDialog::RefreshFileList()
{
    if (!fileDialog_)
        return;
    const QString text = GetFNameText();
    SetFNameText(QString());
    fileDialog_->setDirectory(GetSelPath());
    SetFNameText(text);
}

void TApCustomOpenLiteDialog::Fail(std::exception_ptr error)
{
    if (!error_)
        error_ = error;
    if (window_ && !closing_)
        window_->done(QDialog::Rejected);
}

void TApCustomOpenLiteDialog::Query(const TApCtrlQueryEvent &handler, bool &allowProceed)
{
    if (!handler)
        return;
    Notify(handler, allowProceed);
    if (error_)
        allowProceed = false;
}

void TApCustomOpenLiteDialog::DoClose()
{
    // A hint shown for the dialog goes with it.
    if (QToolTip::isVisible())
        QToolTip::hideText();
    Notify(OnClose);
}

void TApCustomOpenLiteDialog::DoSelectionChange(const QString &fileName)
{
    Notify(OnSelectionChange, fileName);
}

void TApCustomOpenLiteDialog::DoFolderCreating(bool &allowProceed)
{
    Query(OnFolderCreating, allowProceed);
}

void TApCustomOpenLiteDialog::DoDesktopNavigating(bool &allowProceed)
{
    Query(OnDesktopNavigating, allowProceed);
}

void TApCustomOpenLiteDialog::DoDesktopNavigate()
{
    Notify(OnDesktopNavigate);
}

void TApCustomOpenLiteDialog::DoUpLevelNavigating(bool &allowProceed)
{
    Query(OnUpLevelNavigating, allowProceed);
}

void TApCustomOpenLiteDialog::DoUpLevelNavigate()
{
    Notify(OnUpLevelNavigate);
}

void TApCustomOpenLiteDialog::DoLastFolderNavigating(bool &allowProceed)
{
    Query(OnLastFolderNavigating, allowProceed);
}

void TApCustomOpenLiteDialog::DoLastFolderNavigate()
{
    Notify(OnLastFolderNavigate);
}

void TApCustomOpenLiteDialog::DoHookEvent(QEvent *event)
{
    if (OnEventHook)
        Guarded([&] { OnEventHook(event); });
}

void TApCustomOpenLiteDialog::DoHookQueryEvent(QEvent *event, bool &allowDispatch)
{
    Notify(OnEventHooking, event, allowDispatch);
}

void TApCustomOpenLiteDialog::DoFilenameEntering(bool &allowProceed)
{
    Query(OnFilenameEntering, allowProceed);
}

void TApCustomOpenLiteDialog::DoFilenameChange()
{
    Notify(OnFilenameChange);
}
