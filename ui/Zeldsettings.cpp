// The designer's own settings.
#include "Zeldsettings.h"

#include <QSettings>

namespace {
QString settingsFile;
}

std::unique_ptr<QSettings> OpenZeldSettings()
{
    if (!settingsFile.isEmpty())
        return std::make_unique<QSettings>(settingsFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QStringLiteral("Lumor"), QStringLiteral("ZELD"));
}

void SetZeldSettingsFile(const QString &iniPath) { settingsFile = iniPath; }
