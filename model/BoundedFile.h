// The one reader of every file the program takes in whole.
#pragma once

#include <QByteArray>
#include <QString>

// Reading a whole file: the one reader of every file the program takes in
// whole (projects, menu files, images, pictures, download files).
enum class TFileRead {
    Ok,
    Unreadable,  // missing, no regular file, not opened or not read whole
    TooLarge,    // larger than the bound; nothing read
};
// Reads the file at path into bytes when it is a regular file of at most
// maxBytes; reason says why not. Anything else (a folder, a pipe, a device)
// is refused before it is opened, so that nothing waits on it, and no more
// than maxBytes are ever read.
TFileRead ReadFileBounded(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &reason);
