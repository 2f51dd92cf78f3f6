// TApAddPlaceFrm: the place editor of the custom places bar. The target is a
// folder or file path, one of the special folders, or a registry value path;
// the caption is typed or made from the target ("Auto caption"); the two icons
// are chosen from an icon library.
#pragma once

#include <QDialog>

struct TApPlace;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

class TApAddPlaceFrm : public QDialog {
    Q_OBJECT
public:
    enum TargetType { ttPath, ttSpecialFolder, ttRegistryValue };

    // adding: a new place ("New Places Bar item"), else an existing one.
    explicit TApAddPlaceFrm(bool adding, QWidget *parent = nullptr);

    void LoadPlace(const TApPlace &place);
    // Caption, hint, auto caption, the target (the other two kinds cleared),
    // icon library and the two icon indices.
    void StorePlace(TApPlace &place) const;
    // Shows the icons of the library named in the field; false, and with
    // tellWhenNone a message, when it has none.
    bool LoadIcons(bool tellWhenNone);

    // Edits the place in an editor run modally; true, with the place updated, on OK.
    static bool EditPlace(QWidget *parent, TApPlace &place, bool adding);

    QLabel *lbHeading;
    QComboBox *cbTargetType;
    QComboBox *cbTarget;
    QLineEdit *edCaption;
    QCheckBox *cbAutoCaption;
    QLineEdit *edHint;
    QLineEdit *edIconLibrary;
    QToolButton *btBrowse;
    QPushButton *btLoad;
    QListWidget *lvNormal;
    QListWidget *lvSelected;
    QPushButton *btOK;
    QPushButton *btCancel;

private:
    void TargetTypeChanged(int type);
    void BrowseLibrary();

    int loadedIcon_ = 0;
    int loadedHotIcon_ = 0;
};
