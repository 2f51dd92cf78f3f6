// Localisation on the language files shipped beside the test program, for
// the tests of folders that use localisation: its settings in the given file,
// the user's locale fixed, and a missing language list failing the test.
#pragma once

#include "Localizer.h"

#include <QCoreApplication>
#include <QString>

#include <gtest/gtest.h>

inline void StartShippedLocalisation(const QString &settingsFile, quint32 userLocale)
{
    Localizer.Reset();
    Localizer.SetProgramDirectory(QCoreApplication::applicationDirPath());
    Localizer.SetSettingsFile(settingsFile);
    Localizer.SetUserLocaleIdSource([userLocale] { return userLocale; });
    Localizer.SetPlainMessageHook(
        [](const QString &text, const QString &) { ADD_FAILURE() << text.toStdString(); });
    Localizer.InitLanguage(QStringLiteral("ZELDesigner"));
}
