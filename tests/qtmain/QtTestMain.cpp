// Test entry for the folders that need widgets: one QApplication for the whole
// run, on the offscreen platform unless the caller chose another one.
//
// Nothing a test does reaches the user's home: the home, the settings, the
// standard locations and the file dialogs' history all lie in a temporary
// folder of this run. Scripted UI services stand in for every modal run, the
// settings and the clipboard unless a test installs its own; a modal run
// nobody scripted fails the test instead of waiting for a user.
#include "ScriptedUiServices.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/zel-test-home-XXXXXX"));
    if (!home.isValid()) {
        std::fprintf(stderr, "cannot make a temporary home: %s\n", qPrintable(home.errorString()));
        return 1;
    }
    for (const char *folder : {"config", "data", "cache", "state"})
        QDir(home.path()).mkpath(QLatin1String(folder));
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
    qputenv("XDG_STATE_HOME", QFile::encodeName(home.filePath(QStringLiteral("state"))));
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, home.filePath(QStringLiteral("config")));

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    int result = 0;
    {
        const auto services = std::make_unique<TScriptedUiServices>();
        result = RUN_ALL_TESTS();
    }
    return result;
}
