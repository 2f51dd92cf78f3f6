// The character map the special-character command starts: the program
// "CharacterMap.exe" (or "CharacterMap") in the designer's own folder when it
// is there, given the output font's name; else the first of the desktop's
// character maps found on the search path (gucharmap, started on the output
// font, kcharselect, gnome-characters).
#pragma once

#include <QString>
#include <QStringList>

struct TCharacterMap {
    QString program;  // full path; empty when none was found
    QStringList arguments;
};

// The desktop's character maps looked for, in order.
QStringList DesktopCharacterMaps();

// The character map to start for fontName, looked for in programFolder and
// then on searchPaths (empty: the PATH of the environment).
TCharacterMap FindCharacterMap(const QString &programFolder, const QString &fontName,
                               const QStringList &searchPaths = QStringList());
