// The designer's own settings.
#include "Zeldsettings.h"

#include <QSettings>

namespace {
QString gSettingsFile;
}

std::unique_ptr<QSettings> OpenZeldSettings()
{
    if (!gSettingsFile.isEmpty())
        return std::make_unique<QSettings>(gSettingsFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QStringLiteral("Lumor"), QStringLiteral("ZELD"));
}

void SetZeldSettingsFile(const QString &iniPath)
{
    gSettingsFile = iniPath;
}
