// The custom places bar.
#include "ApPlacesBarForm.h"

#include "ApLiteDialogs.h"
#include "ApModalRuns.h"
#include "ApPlaceButton.h"
#include "ApPlaceEditor.h"

#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QStringList LocalFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

QString ComparablePath(const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

TApPlacesBarForm::TApPlacesBarForm(TApPlacesBarOptions &options, TApCustomOpenLiteDialog *dialog,
                                   QWidget *parent)
    : QFrame(parent), options_(options), dialog_(dialog)
{
    setObjectName(QStringLiteral("ApPlacesBarForm"));
    setFixedWidth(kBarWidth);
    setFrameShape(options.BorderStyle == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
    setAcceptDrops(options.AllowDrop);

    auto *scroller = new QScrollArea(this);
    scroller->setObjectName(QStringLiteral("ApPlacesScroller"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setVerticalScrollBarPolicy(options.AutoScroll ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    auto *column = new QWidget(scroller);
    column_ = new QVBoxLayout(column);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(0);
    column_->addStretch();
    scroller->setWidget(column);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroller);

    group_ = new QButtonGroup(this);
    connect(group_, &QButtonGroup::idClicked, this, &TApPlacesBarForm::GoToPlace);

    popup_ = new QMenu(this);
    miDeletePlace = popup_->addAction(QStringLiteral("Delete place..."));
    miDeletePlace->setObjectName(QStringLiteral("miDeletePlace"));
    miProperties = popup_->addAction(QStringLiteral("Properties..."));
    miProperties->setObjectName(QStringLiteral("miProperties"));
    connect(miDeletePlace, &QAction::triggered, this, [this] { DeletePlace(popupIndex_); });
    connect(miProperties, &QAction::triggered, this, [this] { EditPlace(popupIndex_); });

    UpdatePlacesOn();
}

void TApPlacesBarForm::UpdatePlacesOn()
{
    // A button may be rebuilt from inside its own mouse handler: it goes later.
    for (TApPlaceButton *button : std::as_const(buttons_)) {
        group_->removeButton(button);
        column_->removeWidget(button);
        button->hide();
        button->deleteLater();
    }
    buttons_.clear();
    for (qsizetype i = 0; i < options_.Places.size(); ++i) {
        auto *button = new TApPlaceButton(options_.Places[i], column_->parentWidget());
        column_->insertWidget(int(i), button);
        group_->addButton(button, int(i));
        connect(button, &TApPlaceButton::DragEnded, this, &TApPlacesBarForm::ButtonDragEnded);
        buttons_.append(button);
    }
    if (dialog_)
        SelectFolder(dialog_->GetSelPath());
}

void TApPlacesBarForm::SelectFolder(const QString &path)
{
    const QString folder = ComparablePath(path);
    group_->setExclusive(false);
    bool found = false;
    for (qsizetype i = 0; i < buttons_.size(); ++i) {
        const bool match =
            !found && !folder.isEmpty() && ComparablePath(options_.Places[i].GetPlacePath()) == folder;
        buttons_[i]->setChecked(match);
        found = found || match;
    }
    group_->setExclusive(true);
}

void TApPlacesBarForm::GoToPlace(int index)
{
    if (dialog_ && index >= 0 && index < options_.Places.size())
        dialog_->SetSelPath(options_.Places[index].GetPlacePath());
    if (dialog_)
        SelectFolder(dialog_->GetSelPath());
}

void TApPlacesBarForm::DeletePlace(int index)
{
    if (!options_.AllowDelete || index < 0 || index >= options_.Places.size())
        return;
    const QString question = QStringLiteral("Are you sure you want to delete this place?\nPlace: ")
        + options_.Places[index].GetPlaceName();
    if (!ApAskYesNo(this, question, QStringLiteral("Place bar")))
        return;
    options_.Places.removeAt(index);
    UpdatePlacesOn();
}

void TApPlacesBarForm::EditPlace(int index)
{
    if (!options_.AllowEdit || index < 0 || index >= options_.Places.size())
        return;
    TApPlace place = options_.Places[index];
    if (!TApAddPlaceFrm::EditPlace(this, place, false))
        return;
    options_.Places[index] = place;
    UpdatePlacesOn();
}

void TApPlacesBarForm::AddPlaces(const QStringList &paths)
{
    for (const QString &path : paths) {
        TApPlace place;
        place.PlacePath = path;
        place.AutoCaption = true;
        place.PlaceName = place.PlaceDesc = place.GetPlaceName();
        place.AutoCaption = false;
        const bool folder = QFileInfo(path).isDir();
        place.PlaceIcon = folder ? 3 : 0;
        place.PlaceHotIcon = folder ? 4 : 0;
        if (TApAddPlaceFrm::EditPlace(this, place, true))
            options_.Places.append(place);
    }
    UpdatePlacesOn();
}

void TApPlacesBarForm::MovePlace(int from, int to)
{
    const qsizetype count = options_.Places.size();
    if (from == to || from < 0 || to < 0 || from >= count || to >= count)
        return;
    options_.Places.move(from, to);
    UpdatePlacesOn();
}

int TApPlacesBarForm::IndexAt(const QPoint &globalPos) const
{
    for (qsizetype i = 0; i < buttons_.size(); ++i) {
        const TApPlaceButton *button = buttons_[i];
        if (button->isVisible() && button->rect().contains(button->mapFromGlobal(globalPos)))
            return int(i);
    }
    return -1;
}

void TApPlacesBarForm::ButtonDragEnded(TApPlaceButton *button, const QPoint &globalPos)
{
    const int target = IndexAt(globalPos);
    if (target >= 0)
        MovePlace(int(buttons_.indexOf(button)), target);
}

void TApPlacesBarForm::contextMenuEvent(QContextMenuEvent *event)
{
    popupIndex_ = IndexAt(event->globalPos());
    if (popupIndex_ < 0 || (!options_.AllowDelete && !options_.AllowEdit)) {
        event->ignore();
        return;
    }
    miDeletePlace->setEnabled(options_.AllowDelete);
    miProperties->setEnabled(options_.AllowEdit);
    popup_->popup(event->globalPos());
}

void TApPlacesBarForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (options_.AllowDrop && !LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TApPlacesBarForm::dropEvent(QDropEvent *event)
{
    const QStringList files = LocalFiles(event->mimeData());
    if (!options_.AllowDrop || files.isEmpty())
        return;
    event->acceptProposedAction();
    AddPlaces(files);
}
