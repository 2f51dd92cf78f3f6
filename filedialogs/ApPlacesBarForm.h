// TApPlacesBarForm: the custom places bar of the full file dialogs, a column
// of place buttons that scrolls when the places do not fit.
//
// A click on a place changes the dialog to its folder. The user drags buttons
// to reorder the places, drops files or folders onto the bar to add places
// (each through the place editor), and deletes or edits a place through the
// bar's pop-up menu; AllowDrop, AllowDelete and AllowEdit of the options
// permit each. The bar edits the options' places in place.
#pragma once

#include "ApDialogsCommon.h"

#include <QFrame>
#include <QList>

class QAction;
class QButtonGroup;
class QMenu;
class QVBoxLayout;
class TApCustomOpenLiteDialog;
class TApPlaceButton;

class TApPlacesBarForm : public QFrame {
    Q_OBJECT
public:
    static constexpr int kBarWidth = 91;

    // dialog: the open dialog a click on a place changes; may be null.
    TApPlacesBarForm(TApPlacesBarOptions &options, TApCustomOpenLiteDialog *dialog,
                     QWidget *parent = nullptr);

    // Builds one button per place, in order.
    void UpdatePlacesOn();
    // Presses the button of the first place that is the folder, and releases
    // every other one.
    void SelectFolder(const QString &path);
    QList<TApPlaceButton *> Buttons() const { return buttons_; }

    // Asks, then deletes the place.
    void DeletePlace(int index);
    // Edits the place in the place editor.
    void EditPlace(int index);
    // Offers each file or folder as a new place in the place editor.
    void AddPlaces(const QStringList &paths);
    // Moves a place to another position, the places between shifting by one.
    void MovePlace(int from, int to);
    void GoToPlace(int index);

    QMenu *PopupMenu() const { return popup_; }
    QAction *miDeletePlace;
    QAction *miProperties;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    int IndexAt(const QPoint &globalPos) const;
    void ButtonDragEnded(TApPlaceButton *button, const QPoint &globalPos);

    TApPlacesBarOptions &options_;
    TApCustomOpenLiteDialog *dialog_;
    QVBoxLayout *column_;
    QButtonGroup *group_;
    QList<TApPlaceButton *> buttons_;
    QMenu *popup_;
    int popupIndex_ = -1;
};
