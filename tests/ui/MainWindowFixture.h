// Helpers of the main-window tests: localisation on the shipped language
// files with its settings in a temporary folder, the designer's settings
// redirected there too, message boxes answered without showing, and a small
// project tree.
#pragma once

#include "Lumor_unicode.h"
#include "ShippedLanguage.h"
#include "Ufmyesno.h"
#include "Wobject.h"
#include "Zeldsettings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A message or question box that was asked for.
struct ShownBox {
    QString message;
    QString caption;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        SetZeldSettingsFile(SettingsFile());
        StartLocalisation(1033);
        SetYesNoRunner([this](TfmYesNo &form) {
            boxes.append({form.Message(), form.windowTitle()});
            return mrYes;
        });
    }

    void TearDown() override
    {
        SetYesNoRunner({});
        delete fmYesNo;
        SetZeldSettingsFile(QString());
        Localizer.Reset();
    }

    // Localisation on the language files beside the test program, choosing
    // by the given user locale.
    void StartLocalisation(quint32 userLocale)
    {
        StartShippedLocalisation(dir.filePath(QStringLiteral("language.ini")), userLocale);
    }

    QString SettingsFile() const { return dir.filePath(QStringLiteral("zeld.ini")); }

    QSettings Settings() const { return QSettings(SettingsFile(), QSettings::IniFormat); }

    // Creates an empty file in the temporary folder and returns its path.
    QString MakeFile(const QString &name) const;

    QTemporaryDir dir;
    QList<ShownBox> boxes;
};

// A project as a new project makes it (fixed nodes with their built-in
// captions), with a sub-menu holding a value, two alarms and a screen.
std::unique_ptr<TwNode> MakeSampleProject();
