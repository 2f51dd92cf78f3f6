// Helpers of the main-window tests.
#include "MainWindowFixture.h"

#include "PanelLcdDriver.h"
#include "mainwindow/Startup.h"

#include <QFile>

QString MainWindowTest::MakeFile(const QString &name) const
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    return path;
}

std::unique_ptr<TwNode> MakeSampleProject()
{
    auto root = std::make_unique<TwNode>(nullptr, QString(), nkProject);
    new TwNode(root.get(), QStringLiteral("Device Infomation"), nkDeviceInfo);
    auto *mainMenu = new TwNode(root.get(), QStringLiteral("Main Menu"), nkMainMenu);
    auto *pumps = new TwNode(mainMenu, QStringLiteral("Pumps"), nkSubMenu);
    auto *flow = new TwNode(pumps, QStringLiteral("Flow"), nkValue);
    flow->SetProp(QStringLiteral("Reference"), QStringLiteral("R100"));
    new TwNode(mainMenu, QStringLiteral("Reset"), nkAction);
    auto *alarms = new TwNode(root.get(), QStringLiteral("Alarms"), nkAlarms);
    new TwNode(alarms, QString(), nkAlarm);
    alarms->GetChild(0)->SetProp(QStringLiteral("Index"), QStringLiteral("01"));
    new TwNode(alarms, QString(), nkAlarm);
    alarms->GetChild(1)->SetProp(QStringLiteral("Index"), QStringLiteral("07"));
    auto *startup = new TwNode(root.get(), QStringLiteral("Startup Screen"), nkStartupScreen);
    new TwNode(startup, QString(), nkScreen);
    new TwNode(root.get(), QStringLiteral("Screen Saver"), nkScreenSaver);
    new TwNode(root.get(), QStringLiteral("Configuration"), nkConfiguration);
    return root;
}

void DesignerWindowTest::TearDown()
{
    form.reset();
    DestroyDesignerWindows();
    SelectPanelModel(0);
    MainWindowTest::TearDown();
}
