// What the lite and the full file dialogs share: the multi-name parser of the
// file name field and the places bar options.
#pragma once

#include <QString>
#include <QStringList>

// Splits the text of a file name field into names. A text that starts with a
// double quote is read as quoted names ("a" "b"); an unclosed quote ends the
// reading. When that gives no name, a non-empty text is the one name.
void ApCommonGetNamesList(const QString &text, QStringList &list);

// The places bar of the lite dialogs: the file dialog's side bar of standard
// places (desktop, home, documents, the file system root).
class TApPlacesBarLiteOptions {
public:
    virtual ~TApPlacesBarLiteOptions() = default;
    bool Visible = true;
};
