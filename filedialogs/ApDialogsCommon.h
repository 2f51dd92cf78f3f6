// What the lite and the full file dialogs share: the multi-name parser of the
// file name field, the filters, and the places bar options with their places.
#pragma once

#include "ApShellFolders.h"

#include <QFileDialog>
#include <QList>
#include <QString>
#include <QStringList>

// Splits the text of a file name field into names. A text that starts with a
// double quote is read as quoted names ("a" "b"); an unclosed quote ends the
// reading. When that gives no name, a non-empty text is the one name.
void ApCommonGetNamesList(const QString &text, QStringList &list);

// One entry of a filter: the name the file type list shows and the patterns
// that pick the files.
struct TApNameFilter {
    QString Name;
    QStringList Patterns;
};

// The entries of a filter of description and pattern pairs
// ("ZEL files (*.zel)|*.zel|All files (*.*)|*.*"). The name is the
// description as given, followed by its patterns in parentheses unless it
// ends in them already. Patterns are separated by ';'; "*.*" means every
// file, with or without an extension.
QList<TApNameFilter> ApNameFilters(const QString &filter);

// Puts the filter on a file dialog, once, with the entry at index (from 0)
// chosen: the file type list shows the names, and the file list the files
// that the chosen entry's patterns pick. A name typed into a save dialog
// keeps its extension when the entry picks every file.
void ApSetNameFilters(QFileDialog *dialog, const QString &filter, int index);

// The places bar of the lite dialogs: the file dialog's side bar of standard
// places (desktop, home, documents, the file system root).
class TApPlacesBarLiteOptions {
public:
    virtual ~TApPlacesBarLiteOptions() = default;
    bool Visible = true;
};

// One place of the custom places bar: a folder or file, a special folder, or a
// folder named by a registry value.
struct TApPlace {
    // Icon indices in PlaceIconDll of the normal and the selected image.
    int PlaceIcon = 0;
    int PlaceHotIcon = 0;
    // The button's hint.
    QString PlaceDesc;
    QString PlaceIconDll = ApDefaultIconLibrary;
    QString PlacePath;
    // The caption stored for the place.
    QString PlaceName;
    TApSpecShellFolder PlaceSpecPath = ftNone;
    QString PlaceRegPath;
    bool AutoCaption = false;

    // The caption shown: PlaceName, or with AutoCaption the special folder's
    // name, else the last part of PlaceRegPath or PlacePath (the folder part
    // when that is empty).
    QString GetPlaceName() const;
    // The folder or file the place stands for: a special folder's location, the
    // text the registry value names, else PlacePath.
    QString GetPlacePath() const;
};
using TApPlaces = QList<TApPlace>;

enum TApBorderStyle { bsNone, bsSingle };

// The places bar of the full dialogs: the stand-in's own side bar (Native), or
// a bar of the component's own whose places the user edits and that can be kept
// in the registry under RegistryKey.
class TApPlacesBarOptions : public TApPlacesBarLiteOptions {
public:
    // The current user's key of the places; empty = not kept.
    QString RegistryKey;
    TApPlaces Places;
    bool AllowEdit = true;
    bool AllowDelete = true;
    bool AllowDrop = true;
    // The bar scrolls when its places do not fit.
    bool AutoScroll = true;
    TApBorderStyle BorderStyle = bsNone;
    // The stand-in's own side bar of standard places rather than the custom bar.
    bool Native = true;

    // Writes the places, in order, as the groups "Place_0", "Place_1", ... of
    // RegistryKey; other groups and values of the key stay. False when nothing
    // can be written.
    bool SaveToRegistry() const;
    // Reads the places kept under RegistryKey in the order of their numbers;
    // a kept place updates the place with its caption (or its special folder)
    // and takes its kept position. Nothing when the key is missing.
    void LoadFromRegistry();
};

// The index, from `from` on, of the place with the special folder, or for ftNone
// of the place with that caption and no special folder; -1 when there is none.
qsizetype PlaceViaName(const TApPlaces &places, const QString &name, TApSpecShellFolder folder,
                       qsizetype from = 0);
