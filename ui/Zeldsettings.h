// The designer's own settings: the current user's key "Software\Lumor\ZELD"
// (organisation "Lumor", application "ZELD"; on Linux
// ~/.config/Lumor/ZELD.conf). Sub-keys are groups: "RecentProject", ...
#pragma once

#include <QString>

#include <memory>

class QSettings;

// The settings object of the key; the INI file set by SetZeldSettingsFile
// when one is set.
std::unique_ptr<QSettings> OpenZeldSettings();

// An INI file standing in for the user's settings (tests); empty: the
// user's own.
void SetZeldSettingsFile(const QString &iniPath);
