// Finding the character map of the special-character command.
#include "CharacterMap.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The program beside the designer, under its own name and under the name an
// executable carries on this system.
const char *const kOwnNames[] = {"CharacterMap.exe", "CharacterMap"};

struct DesktopMap {
    const char *name;
    const char *fontOption;  // the font is given as this option's value; null: no font option
};
const DesktopMap kDesktopMaps[] = {
    {"gucharmap", "--font="},
    {"kcharselect", nullptr},
    {"gnome-characters", nullptr},
};

}  // namespace

QStringList DesktopCharacterMaps()
{
    QStringList names;
    for (const DesktopMap &map : kDesktopMaps)
        names.append(QLatin1String(map.name));
    return names;
}

TCharacterMap FindCharacterMap(const QString &programFolder, const QString &fontName,
                               const QStringList &searchPaths)
{
    TCharacterMap found;
    if (!programFolder.isEmpty()) {
        for (const char *name : kOwnNames) {
            const QFileInfo file(QDir(programFolder).filePath(QLatin1String(name)));
            if (file.isFile()) {
                found.program = file.absoluteFilePath();
                found.arguments = QStringList{fontName};
                return found;
            }
        }
    }
    for (const DesktopMap &map : kDesktopMaps) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(map.name), searchPaths);
        if (path.isEmpty())
            continue;
        found.program = path;
        if (map.fontOption && !fontName.isEmpty())
            found.arguments = QStringList{QLatin1String(map.fontOption) + fontName};
        return found;
    }
    return found;
}
