// Shell folders on the desktop's own terms.
#include "ApShellFolders.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>

const QString ApDefaultIconLibrary = QStringLiteral("shell32.dll");

namespace {

// The built-in icons, by index.
const QStyle::StandardPixmap kStandardIcons[] = {
    QStyle::SP_FileIcon,
    QStyle::SP_FileLinkIcon,
    QStyle::SP_DesktopIcon,
    QStyle::SP_DirClosedIcon,
    QStyle::SP_DirOpenIcon,
    QStyle::SP_DriveFDIcon,
    QStyle::SP_DriveHDIcon,
    QStyle::SP_DriveNetIcon,
    QStyle::SP_DriveCDIcon,
    QStyle::SP_DriveDVDIcon,
    QStyle::SP_ComputerIcon,
    QStyle::SP_DirHomeIcon,
    QStyle::SP_DirLinkIcon,
    QStyle::SP_TrashIcon,
    QStyle::SP_DirIcon,
    QStyle::SP_FileDialogNewFolder,
    QStyle::SP_MediaVolume,
    QStyle::SP_DialogHelpButton,
    QStyle::SP_MessageBoxInformation,
};

struct StandardFolder {
    const char *valueName;
    QStandardPaths::StandardLocation location;
};
// The user's standard folders by the names a registry value path uses.
const StandardFolder kStandardFolders[] = {
    {"Desktop", QStandardPaths::DesktopLocation}, {"Personal", QStandardPaths::DocumentsLocation},
    {"My Music", QStandardPaths::MusicLocation},  {"My Pictures", QStandardPaths::PicturesLocation},
    {"My Video", QStandardPaths::MoviesLocation},
};

QString FavoritesPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::HomeLocation))
        .filePath(QStringLiteral("Favorites"));
}

QString NameOr(QStandardPaths::StandardLocation location, const char *fallback)
{
    const QString name = QStandardPaths::displayName(location);
    return name.isEmpty() ? QString::fromLatin1(fallback) : name;
}

}  // namespace

QString GetSpecFolderName(TApSpecShellFolder folder)
{
    switch (folder) {
    case ftDesktop: return NameOr(QStandardPaths::DesktopLocation, "Desktop");
    case ftDrives: return QStringLiteral("My Computer");
    case ftPersonal: return NameOr(QStandardPaths::DocumentsLocation, "My Documents");
    case ftFavorites: return QStringLiteral("Favorites");
    case ftRecent: return QStringLiteral("Recent");
    default: return QString();
    }
}

QStringList GetSpecFolders()
{
    QStringList names;
    for (TApSpecShellFolder folder : ApPlacesBarFolders)
        names.append(GetSpecFolderName(folder));
    return names;
}

TApSpecShellFolder SpecFolderOfName(const QString &name)
{
    for (TApSpecShellFolder folder : ApPlacesBarFolders) {
        if (GetSpecFolderName(folder) == name)
            return folder;
    }
    return ftNone;
}

QString GetSpecFolderPath(TApSpecShellFolder folder)
{
    switch (folder) {
    case ftDesktop: return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    case ftDrives: return QDir::rootPath();
    case ftPersonal: return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    case ftFavorites: return FavoritesPath();
    default: return QString();
    }
}

std::unique_ptr<QSettings> ApOpenUserKey(const QString &keyPath)
{
    QStringList parts = QString(keyPath)
                            .replace(QLatin1Char('\\'), QLatin1Char('/'))
                            .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.first().compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    if (parts.isEmpty())
        return nullptr;
    const QString organisation = parts.takeFirst();
    const QString application = parts.isEmpty() ? QString() : parts.takeFirst();
    auto settings = std::make_unique<QSettings>(organisation, application);
    if (!parts.isEmpty())
        settings->beginGroup(parts.join(QLatin1Char('/')));
    return settings;
}

QString ExtractRegStringValue(const QString &regPath)
{
    if (regPath.startsWith(QLatin1Char('\\'))) {
        const qsizetype slash = regPath.lastIndexOf(QLatin1Char('\\'));
        const std::unique_ptr<QSettings> key = ApOpenUserKey(regPath.left(slash));
        const QString value = regPath.mid(slash + 1);
        return key && !value.isEmpty() ? key->value(value).toString() : QString();
    }
    if (regPath.compare(QLatin1String("Favorites"), Qt::CaseInsensitive) == 0)
        return FavoritesPath();
    for (const StandardFolder &folder : kStandardFolders) {
        if (regPath.compare(QLatin1String(folder.valueName), Qt::CaseInsensitive) == 0)
            return QStandardPaths::writableLocation(folder.location);
    }
    return QString();
}

QList<QIcon> ApLoadIconLibrary(const QString &library)
{
    QList<QIcon> icons;
    if (library.isEmpty()
        || QFileInfo(library).fileName().compare(ApDefaultIconLibrary, Qt::CaseInsensitive) == 0) {
        for (QStyle::StandardPixmap pixmap : kStandardIcons)
            icons.append(QApplication::style()->standardIcon(pixmap));
        return icons;
    }
    if (QFileInfo(library).isFile()) {
        QImageReader reader(library);
        do {
            const QImage image = reader.read();
            if (image.isNull())
                break;
            icons.append(QIcon(QPixmap::fromImage(image)));
        } while (reader.jumpToNextImage());
        return icons;
    }
    if (QIcon::hasThemeIcon(library))
        icons.append(QIcon::fromTheme(library));
    return icons;
}

QIcon ApLibraryIcon(const QString &library, int index)
{
    return ApLoadIconLibrary(library).value(index);
}
