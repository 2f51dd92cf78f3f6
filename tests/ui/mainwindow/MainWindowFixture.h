// Helpers of the main-window tests: localisation on the shipped language
// files with its settings in a temporary folder, scripted UI services (the
// designer's settings, boxes, dialogs and the clipboard), and a small
// project tree.
#pragma once

#include "Localizer.h"
#include "MessageBox.h"
#include "ProjectTree.h"
#include "ScriptedUiServices.h"
#include "ShippedLanguage.h"
#include "mainwindow/MainWindow.h"

#include <QCoreApplication>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        StartLocalisation(1033);
    }

    void TearDown() override
    {
        delete fmYesNo;
        Localizer.Reset();
    }

    // Localisation on the language files beside the test program, choosing
    // by the given user locale.
    void StartLocalisation(quint32 userLocale)
    {
        StartShippedLocalisation(dir.filePath(QStringLiteral("language.ini")), userLocale);
    }

    QSettings Settings() const { return QSettings(ui.SettingsPath(), QSettings::IniFormat); }

    // Creates an empty file in the temporary folder and returns its path.
    QString MakeFile(const QString &name) const;

    TScriptedUiServices ui;
    QTemporaryDir dir;
};

// The main window on its own, with every window of the designer that a test
// made (dialogs made on first use, start-up forms) freed after the test and
// the panel model put back to 128 x 64.
class DesignerWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        form = std::make_unique<TFormMain>();
    }
    void TearDown() override;

    std::unique_ptr<TFormMain> form;
};

// A project as a new project makes it (fixed nodes with their built-in
// captions), with a sub-menu holding a value, two alarms and a screen.
std::unique_ptr<TwNode> MakeSampleProject();
