// The main window: start-up, caption and Modified mark, menus and commands,
// recent projects, the project tree, the language switch and the guard of
// the handlers.
#include "MainWindowFixture.h"

#include "NodeStream.h"
#include "dialogs/ActionDialog.h"
#include "dialogs/AlarmDialog.h"
#include "dialogs/ConfigurationDialog.h"
#include "dialogs/DescriptionForm.h"
#include "dialogs/DeviceInfoDialog.h"
#include "dialogs/ListDialog.h"
#include "dialogs/MenuDialog.h"
#include "dialogs/OutputFontDialog.h"
#include "dialogs/PictureDialog.h"
#include "dialogs/PictureFormatWarning.h"
#include "dialogs/SearchDialog.h"
#include "dialogs/StartupScreenDialog.h"
#include "dialogs/ValueDialog.h"
#include "mainwindow/Application.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/Startup.h"
#include "mainwindow/TreeBinder.h"
#include "mainwindow/WindowImages.h"
#include "simulator/AlarmTriggerDialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHelpEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QtEndian>

#include <stdexcept>

namespace {

QStringList MenuTitles(const QMenuBar *bar)
{
    QStringList titles;
    for (const QAction *action : bar->actions())
        titles.append(action->text());
    return titles;
}

// Object names of a menu's entries, "-" for a separator.
QStringList EntryNames(const QMenu *menu)
{
    QStringList names;
    for (const QAction *action : menu->actions()) {
        if (action->isSeparator())
            names.append(QStringLiteral("-"));
        else if (action->menu())
            names.append(action->menu()->objectName());
        else
            names.append(action->objectName());
    }
    return names;
}

QStringList Split(const char *names)
{
    return QString::fromLatin1(names).split(QLatin1Char(' '));
}

// The recent entries of the Open drop-down: captions after the separator.
QStringList RecentCaptions(const TFormMain &form)
{
    QStringList captions;
    const QList<QAction *> entries = form.pmOpen->actions();
    for (qsizetype i = entries.indexOf(form.pmiRecentFile) + 1; i < entries.size(); ++i)
        captions.append(entries[i]->text());
    return captions;
}

// Texts of the top-level items of the tree.
QStringList TopLevelTexts(const QTreeWidget *tree)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts.append(tree->topLevelItem(i)->text(0));
    return texts;
}

}  // namespace

// ---- Start-up ---------------------------------------------------------------

TEST(StartupArgument, ExactlyOneNonEmptyArgument)
{
    const QString program = QStringLiteral("zeldesigner");
    EXPECT_EQ(StartupProjectArgument({program}), QString());
    EXPECT_EQ(StartupProjectArgument({program, QStringLiteral("/p/a.zel")}), QStringLiteral("/p/a.zel"));
    EXPECT_EQ(StartupProjectArgument({program, QString()}), QString());
    EXPECT_EQ(StartupProjectArgument({program, QStringLiteral("/p/a.zel"), QStringLiteral("/p/b.zel")}),
              QString());
    EXPECT_EQ(StartupProjectArgument({}), QString());
}

TEST(StartupOrder, TheElevenFormsInTheirOrder)
{
    QStringList names;
    for (const StartupForm &form : StartupForms()) {
        names.append(QLatin1String(form.className));
        EXPECT_TRUE(form.create && form.destroy) << form.className;
    }
    EXPECT_EQ(names,
              Split("TFormMain TfmAction TfmYesNo TfmSearch TfmFontSelect TFormDeviceInfo "
                    "TFormDescription TfrmAlarmTrig TfrmCommTimeOut TfmDownload TfmWarm"));
}

TEST_F(MainWindowTest, StartUpMakesTheWindowAndHandsOverTheArgumentLast)
{
    CreateStartupForms({QStringLiteral("zeldesigner"), QStringLiteral("/p/plant.zel")});
    ASSERT_NE(FormMain, nullptr);
    EXPECT_NE(fmYesNo, nullptr);
    QStringList registered;
    for (const QWidget *form : Localizer.RegisteredForms())
        registered.append(form->objectName());
    EXPECT_EQ(registered,
              Split("FormMain fmAction fmYesNo fmSearch fmFontSelect FormDeviceInfo FormDescription "
                    "frmAlarmTrig frmCommTimeOut fmDownload fmWarm"));
    // Remembered while the forms are made, opened only afterwards.
    EXPECT_EQ(FormMain->StartupProject(), QStringLiteral("/p/plant.zel"));
    FormMain->OpenStartupProject();
    EXPECT_EQ(FormMain->StartupProject(), QString());
    EXPECT_EQ(FormMain->Root(), nullptr);
    EXPECT_EQ(FormMain->windowTitle(), QStringLiteral("ZELD"));
    DestroyStartupForms();
    EXPECT_EQ(FormMain, nullptr);
    EXPECT_EQ(fmAction, nullptr);
    EXPECT_EQ(fmYesNo, nullptr);
    EXPECT_EQ(FormDeviceInfo, nullptr);
    EXPECT_EQ(FormDescription, nullptr);
    EXPECT_EQ(fmSearch, nullptr);
    EXPECT_EQ(fmFontSelect, nullptr);
    EXPECT_EQ(frmAlarmTrig, nullptr);
    EXPECT_EQ(fmWarm, nullptr);
}

TEST_F(MainWindowTest, StartDesignerShowsTheWindowInTheChosenLanguage)
{
    Localizer.Reset();
    Localizer.SetProgramDirectory(QCoreApplication::applicationDirPath());
    Localizer.SetSettingsFile(dir.filePath(QStringLiteral("language.ini")));
    Localizer.SetUserLocaleIdSource([] { return 1031u; });
    StartDesigner({QStringLiteral("zeldesigner")});
    ASSERT_NE(FormMain, nullptr);
    EXPECT_TRUE(FormMain->isVisible());
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("Zel Designer"));
    EXPECT_EQ(FormMain->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
    EXPECT_FALSE(FormMain->windowIcon().isNull());
    EXPECT_EQ(Localizer.LanguageNumber(), 2);
    EXPECT_EQ(FormMain->windowTitle(), QStringLiteral("ZELD"));
    EXPECT_EQ(MenuTitles(FormMain->mmMain), Split("&Datei &Bearbeiten &Projekt E&xtras &Optionen &Hilfe"));
    // The item dialogs made on first use go at the end too.
    const QList<QDialog *> dialogs{MenuForm(),   ValueForm(),         ListForm(),  AlarmForm(),
                                   ScreenForm(), StartupScreenForm(), ConfigForm()};
    EXPECT_FALSE(dialogs.contains(nullptr));
    StopDesigner();
    const QList<QDialog *> left{FormMenu,   FormValue,         FormList,  FormAlarm,
                                FormScreen, FormStartupScreen, FormConfig};
    EXPECT_EQ(left.count(nullptr), left.size());
    EXPECT_EQ(FormMain, nullptr);
    EXPECT_EQ(Localizer.LanguageCount(), 0);
}

// ---- The window's frame -----------------------------------------------------

TEST_F(MainWindowTest, CaptionMenusAndComponents)
{
    TFormMain form;
    EXPECT_EQ(form.objectName(), QStringLiteral("FormMain"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ZELD"));
    EXPECT_EQ(form.size(), QSize(656, 483));
    EXPECT_EQ(form.minimumSize(), QSize(640, 480));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);

    EXPECT_EQ(MenuTitles(form.mmMain), Split("&File &Edit &Project &Tools &Option &Help"));
    EXPECT_EQ(EntryNames(form.miFile),
              Split("atNew atOpen atSave atSaveAs atClose - atImportMenu atExportMenu - atExit"));
    // The tree's pop-up repeats the edit menu but for its last entries.
    const QString edit =
        QStringLiteral("atCut atCopy atPasteAfter atPasteBefore atPasteUnder - atAddMenu atAddValue "
                       "atAddAction atAddList atAddAlarm atAddScreen atEdit atDelete atDeleteLeaf "
                       "atDeleteChar - atMoveUp atMoveDown - ");
    EXPECT_EQ(EntryNames(form.miEdit), (edit + QStringLiteral("atSearch")).split(QLatin1Char(' ')));
    EXPECT_EQ(EntryNames(form.miProject), Split("atCompile atSimulation atSimulationOnline atProperties"));
    EXPECT_EQ(EntryNames(form.miTools), Split("atDownloadMenu atdownloadfirmware atSpecialChar"));
    EXPECT_EQ(EntryNames(form.miOption), Split("miSelectLanguage miPreferenceOutputFont"));
    EXPECT_EQ(EntryNames(form.miHelp), Split("atAbout"));
    EXPECT_EQ(EntryNames(form.pmProjectEdit),
              (edit + QStringLiteral("atImportMenu atExportMenu")).split(QLatin1Char(' ')));
    EXPECT_EQ(EntryNames(form.pmOpen), Split("atOpen -"));
    // The language entries sit in "Select Language", one per language.
    EXPECT_EQ(form.miSelectLanguage->actions().size(), 2);
    EXPECT_TRUE(form.miSelectLanguage->actions().at(0)->isChecked());

    // The project group: tree, splitter and the hidden search list.
    EXPECT_EQ(form.gbProject->title(), QStringLiteral("Project"));
    EXPECT_EQ(form.centralWidget(), form.gbProject);
    EXPECT_EQ(form.tvProject->indentation(), 19);
    EXPECT_EQ(form.tvProject->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(form.lbSearchResult->isHidden());
    EXPECT_EQ(form.statusBar(), form.sbMain);
    for (int i = 0; i < TFormMain::StatusPanelCount; ++i)
        EXPECT_EQ(form.StatusText(i), QString()) << i;
    EXPECT_EQ(form.ClipboardFormat, QStringLiteral("application/x-CF_MZELMenuRes"));
    EXPECT_EQ(Localizer.RegisteredForms().value(0), &form);
}

TEST_F(MainWindowTest, CommandsCarryCaptionShortcutImageAndToolButton)
{
    TFormMain form;
    for (int i = 0; i < CommandCount; ++i) {
        const Command id = Command(i);
        const CommandInfo &info = CommandInfoOf(id);
        QAction *action = form.Action(id);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->objectName(), QLatin1String(info.name));
        EXPECT_EQ(action->text(), QString::fromUtf8(info.caption));
        EXPECT_EQ(action->shortcut(), QKeySequence(QLatin1String(info.shortcut))) << info.name;
        EXPECT_EQ(action->icon().isNull(), info.image < 0) << info.name;
        if (QToolButton *button = form.ToolButton(id)) {
            EXPECT_EQ(button->objectName(), QLatin1String(info.toolButton));
            EXPECT_EQ(button->toolTip(), QString::fromUtf8(info.hint));
            EXPECT_EQ(button->isEnabled(), action->isEnabled());
        } else {
            EXPECT_EQ(info.toolButton, nullptr) << info.name;
        }
    }
    EXPECT_EQ(form.Action(Command::New)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_FALSE(form.Action(Command::Properties)->isVisible());
    // The hidden debug command has no menu entry, but its shortcut works on
    // the window.
    EXPECT_TRUE(form.actions().contains(form.Action(Command::Debug)));
    EXPECT_EQ(form.ToolButton(Command::Open)->menu(), form.pmOpen);
}

TEST_F(MainWindowTest, DisabledToolButtonShowsNoHint)
{
    TFormMain form;
    form.show();
    QToolButton *save = form.ToolButton(Command::Save);
    ASSERT_FALSE(save->isEnabled());
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), save->mapToGlobal(QPoint(2, 2)));
    EXPECT_TRUE(QCoreApplication::sendEvent(save, &help));  // taken by the window
    form.Action(Command::Save)->setEnabled(true);
    EXPECT_TRUE(save->isEnabled());
    QHelpEvent again(QEvent::ToolTip, QPoint(2, 2), save->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(save, &again);
    EXPECT_TRUE(again.isAccepted());
}

TEST_F(MainWindowTest, ExitClosesTheWindow)
{
    TFormMain form;
    form.show();
    form.Action(Command::Exit)->trigger();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(MainWindowTest, ModifiedMarkAndProjectPath)
{
    TFormMain form;
    form.SetModified(true);
    EXPECT_TRUE(form.Modified());
    EXPECT_EQ(form.StatusText(0), QStringLiteral("Modified"));
    form.SetModified(false);
    EXPECT_EQ(form.StatusText(0), QString());

    form.SetProjectPath(QStringLiteral("/p/plant.zel"));
    EXPECT_EQ(form.ProjectPath(), QStringLiteral("/p/plant.zel"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ZELD - /p/plant.zel"));
    // The same path again leaves a caption changed since untouched.
    form.setWindowTitle(QStringLiteral("from the language file"));
    form.SetProjectPath(QStringLiteral("/p/plant.zel"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("from the language file"));
    form.SetProjectPath(QStringLiteral("/p/other.zel"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ZELD - /p/other.zel"));
    form.SetProjectPath(QString());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ZELD"));
}

// ---- Recent projects --------------------------------------------------------

TEST_F(MainWindowTest, RecentEntriesInTheOpenDropDown)
{
    TFormMain form;
    EXPECT_TRUE(RecentCaptions(form).isEmpty());
    for (int i = 1; i <= 9; ++i)
        form.AddRecentProject(QStringLiteral("/p/%1.zel").arg(i));
    form.AddRecentProject(QStringLiteral("/p/5.zel"));
    const QStringList captions = RecentCaptions(form);
    ASSERT_EQ(captions.size(), 8);
    EXPECT_EQ(captions.first(), QStringLiteral("&1 /p/5.zel"));
    EXPECT_EQ(captions[1], QStringLiteral("&2 /p/9.zel"));
    EXPECT_EQ(captions.last(), QStringLiteral("&8 /p/2.zel"));
    const QList<QAction *> entries = form.pmOpen->actions();
    EXPECT_EQ(entries.last()->data().toString(), QStringLiteral("/p/2.zel"));
    EXPECT_EQ(entries.last()->toolTip(), QStringLiteral("/p/2.zel"));
    // Only the drop-down lists them.
    EXPECT_FALSE(form.miFile->actions().contains(entries.last()));

    // A click closes (nothing open) and hands the path to the loader, which
    // says that the file is not there.
    entries.last()->trigger();
    EXPECT_EQ(form.Root(), nullptr);
    ASSERT_EQ(ui.Boxes.size(), 1);
    EXPECT_TRUE(ui.Boxes[0].text.contains(QStringLiteral("2.zel")));
}

TEST_F(MainWindowTest, RecentListReadAtStartAndWrittenBackOnDestruction)
{
    const QString a = MakeFile(QStringLiteral("a.zel"));
    const QString b = MakeFile(QStringLiteral("b.zel"));
    {
        QSettings s = Settings();
        s.beginGroup(QStringLiteral("RecentProject"));
        s.setValue(QStringLiteral("ItemCnt"), 3);
        s.setValue(QStringLiteral("Item0"), b);
        s.setValue(QStringLiteral("Item1"), dir.filePath(QStringLiteral("gone.zel")));
        s.setValue(QStringLiteral("Item2"), a);
    }
    {
        TFormMain form;
        EXPECT_EQ(form.RecentProjects.Items(), QStringList({b, a}));
        EXPECT_EQ(RecentCaptions(form), QStringList({QStringLiteral("&1 ") + b, QStringLiteral("&2 ") + a}));
        form.AddRecentProject(QStringLiteral("/p/new.zel"));
    }
    QSettings s = Settings();
    s.beginGroup(QStringLiteral("RecentProject"));
    EXPECT_EQ(s.value(QStringLiteral("ItemCnt")).toInt(), 3);
    EXPECT_EQ(s.value(QStringLiteral("Item0")).toString(), QStringLiteral("/p/new.zel"));
    EXPECT_EQ(s.value(QStringLiteral("Item1")).toString(), b);
    EXPECT_EQ(s.value(QStringLiteral("Item2")).toString(), a);
}

TEST_F(MainWindowTest, AProjectNamedFromTheStartFolderIsRememberedByItsFullPath)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("plant/other")));
    const QString project = QDir(dir.path()).canonicalPath() + QStringLiteral("/plant/demo.zel");
    {
        QFile file(project);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(SaveProjectFile(*MakeSampleProject()));
    }
    // The test's own current folder comes back however the test ends.
    const auto restore = qScopeGuard([folder = QDir::currentPath()] { QDir::setCurrent(folder); });
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    // "zeldesigner plant/other/../demo.zel", started in the temporary folder.
    const QString argument =
        StartupProjectArgument({QStringLiteral("zeldesigner"), QStringLiteral("plant/other/../demo.zel")});
    EXPECT_EQ(argument, project);
    {
        TFormMain form;
        EXPECT_TRUE(form.LoadProject(argument));
        EXPECT_EQ(form.ProjectPath(), project);
        // A path given relative to the current folder is kept as the full path too.
        form.AddRecentProject(QStringLiteral("./plant/demo.zel"));
        EXPECT_EQ(form.RecentProjects.Items(), QStringList{project});
    }
    // Started from another folder, the entry still names the file.
    ASSERT_TRUE(QDir::setCurrent(dir.filePath(QStringLiteral("plant/other"))));
    {
        TFormMain form;
        EXPECT_EQ(form.RecentProjects.Items(), QStringList{project});
    }
}

// ---- The project tree -------------------------------------------------------

TEST_F(MainWindowTest, TreeShowsTheProjectAndItsItemsGoWithTheNodes)
{
    TFormMain form;
    form.Document.ReplaceRoot(MakeSampleProject());
    EXPECT_EQ(TopLevelTexts(form.tvProject),
              Split("Device_Infomation Main_Menu Alarms Startup_Screen "
                    "Screen_Saver Configuration")
                  .replaceInStrings(QStringLiteral("_"), QStringLiteral(" ")));
    QTreeWidgetItem *alarms = form.tvProject->topLevelItem(2);
    ASSERT_EQ(alarms->childCount(), 2);
    EXPECT_EQ(alarms->child(1)->text(0), QStringLiteral("Alarm - 07"));
    EXPECT_EQ(TTreeBinder::NodeOf(alarms), form.Root()->GetChild(2));
    EXPECT_EQ(form.tvProject->topLevelItem(1)->child(0)->child(0)->text(0), QStringLiteral("Flow"));
    EXPECT_EQ(alarms->icon(0).cacheKey(), TreeImage(3).cacheKey());

    // Rebuilding replaces the items rather than adding to them.
    form.RebuildTree();
    form.RebuildTree();
    EXPECT_EQ(form.tvProject->topLevelItemCount(), 6);
    EXPECT_EQ(form.tvProject->topLevelItem(1)->child(0)->childCount(), 1);

    // A node destroyed takes its items with it.
    delete form.Root()->GetChild(1)->GetChild(0);
    EXPECT_EQ(form.tvProject->topLevelItem(1)->childCount(), 1);
    EXPECT_EQ(form.tvProject->topLevelItem(1)->child(0)->text(0), QStringLiteral("Reset"));

    form.SelectNode(form.Root()->GetChild(2)->GetChild(1));
    EXPECT_EQ(form.SelectedNode(), form.Root()->GetChild(2)->GetChild(1));
    form.tvProjectClick(form.tvProject->currentItem());
    EXPECT_EQ(form.StatusText(2), QStringLiteral("1"));
    EXPECT_EQ(form.StatusText(3), QStringLiteral("1"));

    form.SetModified(true);
    EXPECT_TRUE(form.ClearProject());
    EXPECT_EQ(form.Root(), nullptr);
    EXPECT_EQ(form.tvProject->topLevelItemCount(), 0);
    EXPECT_FALSE(form.Modified());
    EXPECT_EQ(form.SelectedNode(), nullptr);
}

TEST_F(MainWindowTest, ClickOnTheTextIsRemembered)
{
    TFormMain form;
    form.show();
    form.Document.ReplaceRoot(MakeSampleProject());
    QTreeWidgetItem *menu = form.tvProject->topLevelItem(1);
    form.tvProject->setCurrentItem(menu);
    const QRect row = form.tvProject->visualItemRect(menu);

    QTest::mouseClick(form.tvProject->viewport(), Qt::LeftButton, {},
                      QPoint(row.left() + 30, row.center().y()));
    EXPECT_EQ(form.ClickedItem, menu);
    EXPECT_FALSE(form.ClickedItemExpanded);
    // Far right of the text is beside it.
    QTest::mouseClick(form.tvProject->viewport(), Qt::LeftButton, {},
                      QPoint(row.right() - 2, row.center().y()));
    EXPECT_EQ(form.ClickedItem, nullptr);
    // A double-click beside the text expands; on the text it leaves the item as it was.
    form.tvProjectDblClick(menu);
    EXPECT_TRUE(menu->isExpanded());
    QTest::mouseClick(form.tvProject->viewport(), Qt::LeftButton, {},
                      QPoint(row.left() + 30, row.center().y()));
    form.tvProjectDblClick(menu);
    EXPECT_TRUE(menu->isExpanded());
}

TEST_F(MainWindowTest, SearchListPopUp)
{
    TFormMain form;
    form.lbSearchResult->show();
    form.lbSearchResult->addItems(
        {QStringLiteral("0     Pumps"), QStringLiteral("Total 1 search result(s) found")});
    form.Clear1->trigger();
    EXPECT_EQ(form.lbSearchResult->count(), 0);
    EXPECT_FALSE(form.lbSearchResult->isHidden());
    form.Invisible1->trigger();
    EXPECT_TRUE(form.lbSearchResult->isHidden());
    EXPECT_EQ(EntryNames(form.WidePopupMenu1), Split("Clear1 Invisible1"));
}

// ---- Clipboard --------------------------------------------------------------

TEST_F(MainWindowTest, ClipboardKindInThePrivateFormat)
{
    TFormMain form;
    const std::unique_ptr<TwNode> project = MakeSampleProject();
    const TwNode *mainMenu = project->GetChild(1);

    auto put = [&](const QByteArray &bytes) { ui.SetClipboardData(ClipboardMimeType(), bytes); };
    put(MakeClipboardBlock(*mainMenu));
    int height = 0;
    EXPECT_EQ(form.GetClipboardNodeKind(&height), nkSubMenu);  // a Main Menu travels as a sub-menu
    EXPECT_EQ(height, 3);
    EXPECT_EQ(form.CurrentCommandState().clipboardKind, nkSubMenu);

    // A record that ends early, and a count beyond the block.
    QByteArray body = MakeClipboardBlock(*mainMenu).mid(4);
    body.chop(6);
    QByteArray count(4, '\0');
    qToLittleEndian<quint32>(quint32(body.size()), count.data());
    put(count + body);
    EXPECT_EQ(form.GetClipboardNodeKind(), 0);
    qToLittleEndian<quint32>(quint32(body.size() + 1), count.data());
    put(count + body);
    EXPECT_EQ(form.GetClipboardNodeKind(), 0);
    put(QByteArray::fromHex("0400000001000000"));
    EXPECT_EQ(form.GetClipboardNodeKind(), 0);
    // A block too large to check on every clipboard change is not read.
    QByteArray large = MakeClipboardBlock(*mainMenu);
    large.append(QByteArray(kPreviewByteLimit, '\0'));
    put(large);
    EXPECT_EQ(form.GetClipboardNodeKind(), 0);
    ui.SetClipboardData(QStringLiteral("text/plain"), "plain text");
    EXPECT_EQ(form.GetClipboardNodeKind(), 0);
}

// ---- Languages --------------------------------------------------------------

TEST_F(MainWindowTest, LanguageSwitchRenamesFixedNodesAndTranslatesTheWindow)
{
    TFormMain form;
    form.Document.ReplaceRoot(MakeSampleProject());
    form.LocalizeFixedNodes();
    EXPECT_EQ(TopLevelTexts(form.tvProject),
              Split("Device Main_Menu Alarms Startup_Screen Screen_Saver Configuration")
                  .replaceInStrings(QStringLiteral("_"), QStringLiteral(" ")));

    QAction *german = form.miSelectLanguage->actions().at(1);
    german->trigger();
    EXPECT_EQ(Localizer.LanguageNumber(), 2);
    EXPECT_EQ(TopLevelTexts(form.tvProject),
              QStringList({QStringLiteral("Gerät"), QStringLiteral("Hauptmenü"), QStringLiteral("Alarme"),
                           QStringLiteral("Startbild"), QStringLiteral("Bildschirmschoner"),
                           QStringLiteral("Konfiguration")}));
    EXPECT_EQ(form.Root()->GetChild(1)->Caption(), QStringLiteral("Hauptmenü"));
    // Menu and picture nodes keep their captions.
    EXPECT_EQ(form.tvProject->topLevelItem(1)->child(0)->text(0), QStringLiteral("Pumps"));
    EXPECT_EQ(form.tvProject->topLevelItem(2)->child(0)->text(0), QStringLiteral("Alarm - 01"));
    EXPECT_EQ(form.tvProject->topLevelItem(3)->child(0)->text(0), QStringLiteral("Screen - 0"));

    EXPECT_EQ(MenuTitles(form.mmMain), Split("&Datei &Bearbeiten &Projekt E&xtras &Optionen &Hilfe"));
    EXPECT_EQ(form.Action(Command::New)->text(), QStringLiteral("&Neu ..."));
    EXPECT_EQ(form.ToolButton(Command::DeleteLeaf)->toolTip(), QStringLiteral("Untergeordnete löschen"));
    EXPECT_EQ(form.gbProject->title(), QStringLiteral("Projekt"));
    EXPECT_EQ(form.Invisible1->text(), QStringLiteral("Ausblenden"));
    EXPECT_EQ(form.miSelectLanguage->actions().at(1)->text(), QStringLiteral("Deutsch"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ZELD"));

    form.miSelectLanguage->actions().at(0)->trigger();
    EXPECT_EQ(form.Action(Command::New)->text(), QStringLiteral("&New ..."));
    EXPECT_EQ(form.ToolButton(Command::DeleteLeaf)->toolTip(), QStringLiteral("Delete Child"));
    EXPECT_EQ(form.tvProject->topLevelItem(1)->text(0), QStringLiteral("Main Menu"));
    // Without a project the switch has nothing to rename.
    form.ClearProject();
    german->trigger();
    EXPECT_EQ(form.Action(Command::Exit)->text(), QStringLiteral("&Beenden"));
}

TEST_F(MainWindowTest, ShippedLanguageFilesNameEveryComponent)
{
    TFormMain form;
    for (int language = 0; language < Localizer.LanguageCount(); ++language) {
        Localizer.SetLanguage(language);
        const QList<QObject *> components = form.findChildren<QObject *>();
        int checked = 0;
        for (const QObject *component : components) {
            const QString name = component->objectName();
            const int index =
                LumorUnicode::ComponentClassIndex(QLatin1String(component->metaObject()->className()));
            if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || index < 0 || index >= 9
                || name.startsWith(QLatin1String("pm")) || name == QLatin1String("WidePopupMenu1"))
                continue;
            const QString key = name + (index == 4 ? QStringLiteral(".Hint") : QStringLiteral(".Caption"));
            EXPECT_FALSE(Localizer.ReadSectionValue(QStringLiteral("FormMain"), key).isEmpty())
                << "language." << language + 1 << " " << key.toStdString();
            ++checked;
        }
        EXPECT_EQ(checked, CommandCount + 7 + 25 + 3);  // commands, menus, tool buttons, group and pop-up
    }
}

// ---- Guards -----------------------------------------------------------------

TEST_F(MainWindowTest, AnExceptionInAHandlerIsShownAndTheProgramGoesOn)
{
    EXPECT_FALSE(RunGuarded([] { throw std::runtime_error("Stream read error"); }));
    EXPECT_FALSE(RunGuarded([] { throw 42; }));
    EXPECT_TRUE(RunGuarded([] {}));
    ASSERT_EQ(ui.Boxes.size(), 2);
    EXPECT_EQ(ui.Boxes[0].kind, TBoxRequest::Error);
    EXPECT_EQ(ui.Boxes[0].text, QStringLiteral("Stream read error"));
    EXPECT_EQ(ui.Boxes[0].caption, QStringLiteral("Zel Designer"));
    EXPECT_EQ(ui.Boxes[1].text, QString());
    EXPECT_EQ(ui.Boxes[1].caption, QStringLiteral("Zel Designer"));
}
