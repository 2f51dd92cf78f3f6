// Shell folders on the desktop's own terms: the special folders of the places
// bar, the settings keys that stand for registry keys, and icon libraries.
//
// A registry key of the current user ("Software\Org\App\Sub\Key") is the
// QSettings of organisation "Org" and application "App", group "Sub/Key"; on
// Windows that is the same key. A special folder is the desktop's standard
// location of that kind ("My Computer" is the file system root). An icon
// library is an icon file (every image of it, in order), an icon theme name, or
// the built-in standard icons under the name "shell32.dll".
#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

// Special shell folders, with the numbers under which they are stored.
enum TApSpecShellFolder : int {
    ftNone = -1976,
    ftRecycleBin = 10,
    ftCommonDesktopDir = 25,
    ftCommonPrograms = 23,
    ftCommonStartMenu = 22,
    ftCommonStartup = 24,
    ftControls = 3,
    ftDesktop = 0,
    ftDesktopDir = 16,
    ftDrives = 17,
    ftFonts = 20,
    ftNethood = 19,
    ftNetwork = 18,
    ftPersonal = 5,
    ftFavorites = 6,
    ftPrinters = 4,
    ftPrograms = 2,
    ftRecent = 8,
    ftSendTo = 9,
    ftStartMenu = 11,
    ftStartup = 7,
    ftTemplates = 21,
};

// The special folders the places bar offers, in this order.
inline constexpr TApSpecShellFolder ApPlacesBarFolders[] = {ftDesktop, ftDrives, ftPersonal, ftFavorites};

// The display name of a special folder ("Desktop", "My Computer", ...); empty
// for the folders the places bar does not offer.
QString GetSpecFolderName(TApSpecShellFolder folder);
// The names of the desktop, "My Computer", the documents and the favourites.
QStringList GetSpecFolders();
// The special folder of a name from GetSpecFolders; ftNone for another text.
TApSpecShellFolder SpecFolderOfName(const QString &name);
// The folder the desktop keeps for the desktop, "My Computer" (the file system
// root), the documents and the favourites; empty for the others.
QString GetSpecFolderPath(TApSpecShellFolder folder);

// The current user's key as settings, positioned at the key's group; null for
// an empty key.
std::unique_ptr<QSettings> ApOpenUserKey(const QString &keyPath);
// The text a registry value path names: "\Key\Path\Value" is the value Value
// of the key Key\Path; another text names a standard folder of the user
// ("Desktop", "Personal", "My Music", "My Pictures", "My Video", "Favorites").
// Empty when the key or value is missing.
QString ExtractRegStringValue(const QString &regPath);

// The icons of a library, in order; empty when it holds none.
QList<QIcon> ApLoadIconLibrary(const QString &library);
// Icon index of a library, or a null icon.
QIcon ApLibraryIcon(const QString &library, int index);
// The library of the built-in icons: index 0 a file, 3 a closed and 4 an open folder.
extern const QString ApDefaultIconLibrary;
