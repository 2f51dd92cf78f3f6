// The project lifecycle of the main window (new, open, save, close and the
// questions on the way), the compile and simulation commands and the file
// dialogs of the designer, run headless through scripted UI services.
#include "MainWindowFixture.h"

#include "ApLiteDialogs.h"
#include "DownloadDialog.h"
#include "GlyphRaster.h"
#include "NodeStream.h"
#include "Operands.h"
#include "PanelLcdDriver.h"
#include "ProjectBuilder.h"
#include "TestFiles.h"
#include "TreeViewCheck.h"
#include "dialogs/CompileResultDialog.h"
#include "dialogs/DescriptionForm.h"
#include "dialogs/DeviceInfoDialog.h"
#include "dialogs/ImageViewer.h"
#include "dialogs/ItemDialog.h"
#include "mainwindow/DesignerUiServices.h"
#include "mainwindow/MainWindow.h"
#include "simulator/SimulatorWindow.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

namespace {

class LifecycleTest : public DesignerWindowTest {
protected:
    QString Path(const QString &name) const { return dir.filePath(name); }

    // A project file holding the sample project (model id deviceId).
    QString WriteProject(const QString &name, const QString &deviceId = QStringLiteral("0"))
    {
        const std::unique_ptr<TwNode> root = MakeSampleProject();
        root->GetChild(0)->SetProp(QStringLiteral("DeviceID"), deviceId);
        return WriteTestFile(Path(name), SaveProjectFile(*root));
    }

    // The device dialog of a new project: the model chosen, then OK.
    void AnswerDeviceDialog(int model)
    {
        ui.AnswerDialog([model](QDialog &dialog) {
            auto &device = static_cast<TFormDeviceInfo &>(dialog);
            device.cbDevice->setCurrentIndex(model);
            device.btOKClick();
            return device.result();
        });
    }

    void AnswerOk()
    {
        ui.AnswerDialog([](QDialog &) { return int(QDialog::Accepted); });
    }
};

}  // namespace

TEST_F(LifecycleTest, NewProjectComesFromTheDeviceDialogAndIsSavedThroughSaveAs)
{
    ui.AnswerDialog([](QDialog &) { return int(mrCancel); });
    form->Action(Command::New)->trigger();
    EXPECT_EQ(form->Root(), nullptr);

    AnswerDeviceDialog(1);
    ASSERT_TRUE(form->NewProject());
    const TwNode *root = form->Root();
    EXPECT_EQ(root->GetChild(0)->GetProp(QStringLiteral("DeviceID")), QStringLiteral("1"));
    EXPECT_EQ(PanelModelId, 1u);
    EXPECT_EQ(form->SelectedNode(), root->GetChild(0));
    EXPECT_TRUE(TreeMatchesView(root, form->tvProject));
    EXPECT_TRUE(form->Modified());

    // A project never saved is saved through the plain save chooser.
    const QString path = Path(QStringLiteral("plant.zel"));
    ui.AnswerFile(path);
    form->Action(Command::Save)->trigger();
    ASSERT_EQ(ui.Files.size(), 1);
    EXPECT_EQ(ui.Files[0].component, nullptr);
    EXPECT_EQ(ReadTestFile(path), SaveProjectFile(*root));
    EXPECT_FALSE(form->Action(Command::Save)->isEnabled());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("ZELD - ") + path);
    EXPECT_EQ(form->RecentProjects.Items(), QStringList{path});
}

TEST_F(LifecycleTest, SaveAsAsksBeforeReplacingAFileAndNoChoosesAgain)
{
    ASSERT_TRUE(form->LoadProject(WriteProject(QStringLiteral("System.mze"))));
    const QString other = WriteTestFile(Path(QStringLiteral("other.zel")), "older");
    ui.AnswerFile(other);
    ui.AnswerBox(mrNo);
    ui.AnswerFile(other);
    ui.AnswerBox(mrYes);
    EXPECT_TRUE(form->SaveProjectAs());
    ASSERT_EQ(ui.Files.size(), 2);
    // The system-menu project is offered under a project name, in its folder.
    EXPECT_EQ(ui.Files[0].fileName, Path(QStringLiteral("System.zel")));
    EXPECT_EQ(ui.Files[0].directory, dir.path());
    EXPECT_EQ(ui.Files[1].fileName, other);
    EXPECT_EQ(ui.BoxTexts(), QStringList(2, QStringLiteral("File Existed,Over Write ?")));
    EXPECT_EQ(ReadTestFile(other), SaveProjectFile(*form->Root()));
    EXPECT_EQ(form->ProjectPath(), other);

    ui.AnswerFile(QString());
    EXPECT_FALSE(form->SaveProjectAs());
    EXPECT_EQ(ui.Boxes.size(), 2);
}

TEST_F(LifecycleTest, SaveAsWritesOnlyNamesOpenTakesAndTheImageNeverReplacesTheProject)
{
    ASSERT_TRUE(form->LoadProject(WriteProject(QStringLiteral("a.zel"))));
    const QString plant = WriteTestFile(Path(QStringLiteral("plant.zel")), "older");
    // Under an image's name: refused and asked again; no extension: a project name.
    ui.AnswerFile(Path(QStringLiteral("plant.mda")));
    ui.AnswerFile(Path(QStringLiteral("plant")));
    ui.AnswerBox(mrYes);  // plant.zel is there
    EXPECT_TRUE(form->SaveProjectAs());
    ASSERT_EQ(ui.Files.size(), 2);
    EXPECT_EQ(ui.Files[1].fileName, Path(QStringLiteral("plant.mda")));
    EXPECT_EQ(
        ui.BoxTexts(),
        QStringList({QStringLiteral("Illegal File Extension"), QStringLiteral("File Existed,Over Write ?")}));
    EXPECT_EQ(ui.Boxes[0].kind, TBoxRequest::Plain);
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("plant.mda"))));
    EXPECT_EQ(form->ProjectPath(), plant);
    const QByteArray saved = ReadTestFile(plant);
    EXPECT_EQ(saved, SaveProjectFile(*form->Root()));

    // An image name that is the project file itself (a link to it).
    const QString image = Path(QStringLiteral("plant.mda"));
    ASSERT_TRUE(QFile::link(plant, image));
    ui.Boxes.clear();
    form->Action(Command::Compile)->trigger();
    EXPECT_EQ(ui.BoxTexts(),
              QStringList(QStringLiteral("The menu image %1 would replace the project file "
                                         "itself; nothing was compiled.")
                              .arg(QDir::toNativeSeparators(image))));
    EXPECT_EQ(ReadTestFile(plant), saved);
    EXPECT_TRUE(ui.Dialogs.isEmpty());
}

TEST_F(LifecycleTest, SaveAsInQtsChooserWithAllFilesChosenKeepsTheTypedName)
{
    // The designer's real services; only the chooser's run is the user's.
    class TChooserRun : public TDesignerUiServices {
    public:
        QString typed;
        int runs = 0;
        int RunDialog(QDialog &dialog) override
        {
            auto *chooser = qobject_cast<QFileDialog *>(&dialog);
            if (!chooser || runs++ > 0) {
                ADD_FAILURE() << "unexpected run of " << dialog.metaObject()->className();
                return QDialog::Rejected;
            }
            dialog.show();
            dialog.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            auto *name = chooser->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            auto *types = chooser->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            name->setFocus();
            name->clear();
            QTest::keyClicks(name, typed);
            QTest::keyClick(types, Qt::Key_Down);
            EXPECT_EQ(types->currentText(), QStringLiteral("All files (*.*)"));
            EXPECT_EQ(name->text(), typed);
            static_cast<QDialog *>(chooser)->accept();  // as its Save button does
            return chooser->result();
        }
    };
    ASSERT_TRUE(form->LoadProject(WriteProject(QStringLiteral("a.zel"))));
    for (const char *typed : {"plant.zel", "pump"}) {
        TChooserRun services;
        services.typed = QLatin1String(typed);
        TUiServicesScope scope(&services);
        EXPECT_TRUE(form->SaveProjectAs()) << typed;
        EXPECT_EQ(services.runs, 1);
    }
    for (const char *saved : {"plant.zel", "pump.zel"})
        EXPECT_EQ(ReadTestFile(Path(QLatin1String(saved))), SaveProjectFile(*form->Root())) << saved;
    EXPECT_EQ(form->ProjectPath(), Path(QStringLiteral("pump.zel")));
}

TEST_F(LifecycleTest, TheLargestProjectAndDescriptionSavedOpenAgainWhole)
{
    const QString path = WriteProject(QStringLiteral("plant.zel"));
    ASSERT_TRUE(form->LoadProject(path));
    // The device dialog keeps no more description lines than a load reads back.
    QStringList lines;
    for (int i = 0; i <= kMaxStringsLines; ++i)
        lines.append(QStringLiteral("Line %1").arg(i));
    ui.AnswerDialog([&](QDialog &dialog) {
        auto &device = static_cast<TFormDeviceInfo &>(dialog);
        SetMemoLines(device.mmDescription, lines);
        device.btOKClick();
        EXPECT_EQ(ui.BoxTexts(),
                  QStringList(QStringLiteral("The description has 65537 lines, more than the "
                                             "65536 lines a description may have.")));
        lines.removeLast();
        SetMemoLines(device.mmDescription, lines);
        device.btOKClick();
        return device.result();
    });
    form->SelectNode(form->Root()->GetChild(0));
    form->Action(Command::Edit)->trigger();
    ASSERT_EQ(ui.Boxes.size(), 1);

    // Padded to the largest file a project may be.
    TwNode *mainMenu = form->Root()->GetChild(1);
    mainMenu->SetProp(QStringLiteral("Pad"), QStringLiteral("x"));
    const qint64 room = TProjectDocument::MaxFileBytes - SaveProjectFile(*form->Root()).size();
    ASSERT_EQ(room % 2, 0);
    mainMenu->SetProp(QStringLiteral("Pad"), QString(1 + room / 2, QLatin1Char('x')));
    ASSERT_TRUE(form->SaveProject());
    const QByteArray saved = ReadTestFile(path);
    EXPECT_EQ(saved.size(), TProjectDocument::MaxFileBytes);
    form->ClearProject();
    ASSERT_TRUE(form->LoadProject(path));
    EXPECT_EQ(SaveProjectFile(*form->Root()), saved);
    QStringList description;
    LoadStringsProp(description, form->Root()->GetChild(0)->Props, QStringLiteral("Description"));
    EXPECT_EQ(description, lines);

    // One character more is not saved, and the file stays as it was.
    form->Root()->GetChild(1)->SetProp(QStringLiteral("Pad"), QString(2 + room / 2, QLatin1Char('x')));
    form->SetModified(true);
    EXPECT_FALSE(form->SaveProject());
    EXPECT_EQ(ui.BoxTexts().last(),
              QStringLiteral("The project takes 67108866 bytes, more than the 67108864 "
                             "bytes a project file may hold; it was not saved."));
    EXPECT_EQ(ReadTestFile(path), saved);
    EXPECT_TRUE(form->Modified());
}

TEST_F(LifecycleTest, CloseKeepsUnsavedWorkUnlessTheUserLetsItGo)
{
    struct Case {
        const char *name;
        bool modified;
        int answer;          // to the modified question
        const char *saveAs;  // the Save As choice: nullptr none, "" cancelled
        bool closes;
    };
    const QString project = WriteProject(QStringLiteral("plant.zel"));
    const QByteArray stored = ReadTestFile(project);
    for (const Case &c :
         {Case{"not modified", false, 0, nullptr, true}, Case{"Cancel", true, mrCancel, nullptr, false},
          Case{"No", true, mrNo, nullptr, true}, Case{"Yes", true, mrYes, "saved.zel", true},
          Case{"Yes, Save As cancelled", true, mrYes, "", false}}) {
        ui.Boxes.clear();
        form->ClearProject();
        ASSERT_TRUE(form->LoadProject(project));
        delete form->Root()->GetChild(1)->GetChild(0);  // an edit
        form->SetModified(c.modified);
        if (c.modified)
            ui.AnswerBox(c.answer);
        if (c.saveAs)
            ui.AnswerFile(*c.saveAs ? Path(QLatin1String(c.saveAs)) : QString());
        EXPECT_EQ(form->CloseProject(), c.closes) << c.name;
        EXPECT_EQ(form->Root() == nullptr, c.closes) << c.name;
        EXPECT_EQ(ui.Boxes.size(), c.modified ? 1 : 0) << c.name;
        const QString saved = c.saveAs && *c.saveAs ? Path(QLatin1String(c.saveAs)) : project;
        EXPECT_EQ(form->windowTitle(), QStringLiteral("ZELD - ") + saved) << c.name;
        if (!c.closes) {
            EXPECT_TRUE(form->Modified() && TreeMatchesView(form->Root(), form->tvProject)) << c.name;
        }
        EXPECT_EQ(ReadTestFile(project), stored) << c.name;
    }

    // The window's close asks the same question; Cancel keeps it open.
    ASSERT_TRUE(form->LoadProject(project));
    form->show();
    form->SetModified(true);
    ui.AnswerBox(mrCancel);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible() && form->Root());
}

TEST_F(LifecycleTest, LoadReadsProjectFilesAndRefusesWhatItCannotRead)
{
    const QString upper = WriteProject(QStringLiteral("PLANT.ZEL"), QStringLiteral("7"));
    const QString system = WriteProject(QStringLiteral("SYSTEM.MZE"), QStringLiteral("1"));
    const QByteArray bytes = ReadTestFile(upper);
    const QString cut = WriteTestFile(Path(QStringLiteral("cut.zel")), bytes.left(bytes.size() - 3));
    const QString text = WriteTestFile(Path(QStringLiteral("plant.txt")), bytes);
    struct Case {
        QString path;
        bool loads;
        uint32_t model;
        const char *message;  // the start of the box shown, if any
    };
    for (const Case &c : {Case{system, true, 1, nullptr}, Case{upper, true, 0, nullptr},
                          Case{text, false, 0, "Illegal File Extension"}, Case{cut, false, 0, "cut.zel"},
                          Case{Path(QStringLiteral("gone.zel")), false, 0, "Cannot read the file"}}) {
        const std::string name = c.path.toStdString();
        ui.Boxes.clear();
        form->ClearProject();
        SelectPanelModel(1 - c.model);
        EXPECT_EQ(form->LoadProject(c.path), c.loads) << name;
        EXPECT_EQ(form->Root() != nullptr, c.loads) << name;
        EXPECT_EQ(form->tvProject->topLevelItemCount(), c.loads ? 6 : 0) << name;
        ASSERT_EQ(ui.Boxes.size(), c.message ? 1 : 0) << name;
        if (c.message) {
            EXPECT_EQ(ui.Boxes[0].kind,
                      QLatin1String(c.message).startsWith(QLatin1String("Illegal")) ? TBoxRequest::Plain
                                                                                    : TBoxRequest::Error);
            EXPECT_TRUE(ui.Boxes[0].text.contains(QLatin1String(c.message)))
                << ui.Boxes[0].text.toStdString();
        } else {
            EXPECT_EQ(PanelModelId, c.model) << name;
            EXPECT_FALSE(form->Modified()) << name;
        }
    }
    // Loading the same file again keeps one recent entry; refused files get none.
    form->ClearProject();
    ASSERT_TRUE(form->LoadProject(system));
    EXPECT_EQ(form->RecentProjects.Items(), QStringList({system, upper}));

    // A project without a Device Information node gets one in front; the
    // command line opens the same way.
    const std::unique_ptr<TwNode> bare = MakeSampleProject();
    delete bare->GetChild(0);
    form->ClearProject();
    form->SetStartupProject(WriteTestFile(Path(QStringLiteral("bare.zel")), SaveProjectFile(*bare)));
    form->OpenStartupProject();
    ASSERT_NE(form->Root(), nullptr);
    EXPECT_EQ(form->Root()->GetChild(0)->Kind, nkDeviceInfo);
    EXPECT_EQ(form->tvProject->topLevelItem(0)->text(0), QStringLiteral("Device"));
    EXPECT_EQ(PanelModelId, 0u);
}

TEST_F(LifecycleTest, MenusCutWhileLoadingAreToldAndLeaveTheProjectModified)
{
    TestProject project = NewTestProject();
    TwNode *menu = project.MainMenu;
    for (int level = 0; level < 9; ++level)
        menu = AddSubMenu(menu, QStringLiteral("Level %1").arg(level));
    const QString path = WriteTestFile(Path(QStringLiteral("deep.zel")), SaveProjectFile(*project.Root));
    ASSERT_TRUE(form->LoadProject(path));
    EXPECT_TRUE(form->Modified());
    ASSERT_EQ(ui.Boxes.size(), 1);
    EXPECT_TRUE(ui.Boxes[0].text.startsWith(QStringLiteral("Menus of ") + QDir::toNativeSeparators(path)));
    EXPECT_TRUE(TreeMatchesView(form->Root(), form->tvProject));
}

TEST_F(LifecycleTest, AFailedWriteChangesNothing)
{
    // A name so long that no temporary file can be made beside it.
    const QString project = WriteProject(QString(250, QLatin1Char('p')) + QStringLiteral(".zel"));
    const QByteArray stored = ReadTestFile(project);
    ASSERT_TRUE(form->LoadProject(project));
    delete form->Root()->GetChild(2)->GetChild(0);
    form->SetModified(true);
    EXPECT_TRUE(TreeMatchesView(form->Root(), form->tvProject));
    EXPECT_FALSE(form->SaveProject());
    ASSERT_EQ(ui.Boxes.size(), 1);
    EXPECT_EQ(ui.Boxes[0].kind, TBoxRequest::Error);
    EXPECT_TRUE(ui.Boxes[0].text.contains(QDir::toNativeSeparators(project)));
    EXPECT_EQ(ReadTestFile(project), stored);
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(form->ProjectPath(), project);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(LifecycleTest, OpenChoosesInTheProjectDialogBeforeClosing)
{
    const QString a = WriteProject(QStringLiteral("a.zel"));
    const QString b = WriteProject(QStringLiteral("b.zel"));
    ASSERT_TRUE(form->LoadProject(a));
    form->SetModified(true);
    ui.AnswerFile(b);
    ui.AnswerBox(mrCancel);
    form->Action(Command::Open)->trigger();
    EXPECT_EQ(form->ProjectPath(), a);
    EXPECT_TRUE(form->Root() && form->Modified());
    ASSERT_EQ(ui.Files.size(), 1);
    EXPECT_EQ(ui.Files[0].component, form->odOpenDialog1);
    EXPECT_EQ(ui.Files[0].attachedForm, FormDescription);
    EXPECT_EQ(ui.Files[0].directory, dir.path());
    EXPECT_TRUE(FormDescription->mmDescription->isReadOnly());

    ui.AnswerFile(b);
    ui.AnswerBox(mrNo);
    EXPECT_TRUE(form->OpenProject());
    EXPECT_EQ(form->ProjectPath(), b);
    EXPECT_TRUE(TreeMatchesView(form->Root(), form->tvProject));
    ui.AnswerFile(QString());
    EXPECT_FALSE(form->OpenProject());
    EXPECT_EQ(form->ProjectPath(), b);
}

TEST_F(LifecycleTest, TheProjectDialogPreviewsTheDescriptionOfTheFileUnderTheCursor)
{
    TestProject project = NewTestProject();
    SetDescription(project.DeviceInfo, {QStringLiteral("Line one"), QStringLiteral("Line two")});
    const QString path = WriteTestFile(Path(QStringLiteral("Plant.zel")), SaveProjectFile(*project.Root));
    InstallFileDialogRunner();
    ui.AnswerDialog([&](QDialog &window) {
        window.show();
        EXPECT_EQ(FormDescription->parentWidget(), &window);
        auto *view =
            form->odOpenDialog1->FileDialog()->findChild<QAbstractItemView *>(QStringLiteral("listView"));
        view->setCurrentIndex(static_cast<QFileSystemModel *>(view->model())->index(path));
        EXPECT_EQ(FormDescription->mmDescription->toPlainText(), QStringLiteral("Line one\nLine two"));
        form->odOpenDialog1->CloseDialog(1);
        return window.result();
    });
    TFileRequest request = form->FileDialogRequest(*form->odOpenDialog1);
    request.directory = dir.path();
    EXPECT_EQ(RunFileDialogComponent(*form->odOpenDialog1, request), path);
    UninstallFileDialogRunner();
    EXPECT_EQ(ui.Dialogs, QStringList{QStringLiteral("odOpenDialog1")});
}

TEST_F(LifecycleTest, TheOpenAndImportDialogsPreviewTheFileTheyOpenWith)
{
    TestProject project = NewTestProject();
    SetDescription(project.DeviceInfo, {QStringLiteral("Plant line")});
    const QString plant = WriteTestFile(Path(QStringLiteral("Plant.zel")), SaveProjectFile(*project.Root));
    const QString menu = WriteTestFile(Path(QStringLiteral("Pumps.mzm")),
                                       SaveMenuExportFile(*project.MainMenu, {QStringLiteral("Menu line")}));
    QPlainTextEdit *memo = DescriptionForm()->mmDescription;
    InstallFileDialogRunner();
    for (const auto &[dialog, path, shown] : {std::tuple{form->odOpenDialog1, plant, "Plant line"},
                                              std::tuple{form->odImportMenu1, menu, "Menu line"}}) {
        memo->setPlainText(QStringLiteral("Earlier file"));
        ui.AnswerDialog([&, dialog = dialog, shown = shown](QDialog &window) {
            window.show();
            EXPECT_EQ(memo->toPlainText(), QLatin1String(shown));
            // Still shown once the folder has been read.
            QTest::qWait(100);
            EXPECT_EQ(memo->toPlainText(), QLatin1String(shown));
            dialog->CloseDialog(1);
            return window.result();
        });
        TFileRequest request = form->FileDialogRequest(*dialog);
        request.directory = dir.path();
        request.fileName = path;
        EXPECT_EQ(RunFileDialogComponent(*dialog, request), path);
    }
    UninstallFileDialogRunner();
}

TEST_F(LifecycleTest, TheProjectDialogsPreviewEmptiesWithTheSelectionAndOnAnotherFolder)
{
    TestProject project = NewTestProject();
    SetDescription(project.DeviceInfo, {QStringLiteral("Line one")});
    const QString path = WriteTestFile(Path(QStringLiteral("Plant.zel")), SaveProjectFile(*project.Root));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("older")));
    // What an earlier run previewed is gone when the dialog opens.
    QPlainTextEdit *memo = DescriptionForm()->mmDescription;
    memo->setPlainText(QStringLiteral("Earlier file"));
    InstallFileDialogRunner();
    ui.AnswerDialog([&](QDialog &window) {
        window.show();
        EXPECT_TRUE(memo->toPlainText().isEmpty());
        QFileDialog *files = form->odOpenDialog1->FileDialog();
        auto *view = files->findChild<QAbstractItemView *>(QStringLiteral("listView"));
        auto *model = static_cast<QFileSystemModel *>(view->model());
        const QModelIndex plant = model->index(path);
        view->setCurrentIndex(plant);
        EXPECT_EQ(memo->toPlainText(), QStringLiteral("Line one"));
        // Ctrl+click on the selected file: nothing selected, the same current.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          view->visualRect(plant).center());
        EXPECT_FALSE(view->selectionModel()->hasSelection());
        EXPECT_TRUE(memo->toPlainText().isEmpty());

        view->setCurrentIndex(plant);
        EXPECT_EQ(memo->toPlainText(), QStringLiteral("Line one"));
        files->setDirectory(Path(QStringLiteral("older")));
        EXPECT_TRUE(memo->toPlainText().isEmpty());
        form->odOpenDialog1->CloseDialog(2);
        return window.result();
    });
    TFileRequest request = form->FileDialogRequest(*form->odOpenDialog1);
    request.directory = dir.path();
    EXPECT_EQ(RunFileDialogComponent(*form->odOpenDialog1, request), QString());
    UninstallFileDialogRunner();
}

TEST_F(LifecycleTest, CompileWritesTheImageBesideTheProjectAndShowsItsSize)
{
    TestProject project = NewTestProject();
    AddValue(AddSubMenu(project.MainMenu, QStringLiteral("Pumps")), QStringLiteral("Flow"),
             QStringLiteral("R100"));
    const QString path = WriteTestFile(Path(QStringLiteral("Plant.zel")), SaveProjectFile(*project.Root));
    TwGlyphRaster font(QStringLiteral("Tahoma"), 9);
    const QByteArray direct = CompileTestImage(project.Root.get(), font, 0);
    ASSERT_TRUE(form->LoadProject(path));
    const QString image = Path(QStringLiteral("Plant.mda"));

    AnswerOk();
    form->Action(Command::Compile)->trigger();
    EXPECT_EQ(ReadTestFile(image), direct);
    EXPECT_EQ(form->LastImagePath, image);
    EXPECT_EQ(MenuFileName, image);
    EXPECT_EQ(FormCompile->lbInformation->text(),
              QStringLiteral("Code Size : %1 Bytes / 131072 Bytes").arg(direct.size()));
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(ui.Dialogs, QStringList{QStringLiteral("FormCompile")});

    // Refused (no Configuration node) or not writable: the reason is shown,
    // nothing written, the last image kept.
    delete form->Root()->GetChild(5);
    EXPECT_TRUE(TreeMatchesView(form->Root(), form->tvProject));
    EXPECT_FALSE(form->CompileProject());
    ASSERT_TRUE(form->LoadProject(path));
    form->SetProjectPath(Path(QStringLiteral("missing/Plant.zel")));
    EXPECT_FALSE(form->CompileProject());
    EXPECT_EQ(ui.Boxes.size(), 2);
    EXPECT_EQ(form->LastImagePath, image);
    EXPECT_EQ(ReadTestFile(image), direct);
    EXPECT_EQ(ui.Dialogs.size(), 1);

    // Ctrl+D: the image viewer, made on first use.
    form->Action(Command::Debug)->trigger();
    ASSERT_NE(FormDebug, nullptr);
    EXPECT_TRUE(FormDebug->isVisible());
}

TEST_F(LifecycleTest, SimulationRunsTheFreshImageAndNeedsItWhole)
{
    ASSERT_TRUE(form->LoadProject(WriteProject(QStringLiteral("plant.zel"))));
    AnswerOk();
    ui.AnswerDialog([](QDialog &window) {
        EXPECT_TRUE(static_cast<TFormSimulation &>(window).Running());
        return int(QDialog::Rejected);
    });
    form->Action(Command::Simulation)->trigger();
    EXPECT_EQ(ui.Dialogs,
              QStringList({QStringLiteral("FormCompile"), QStringLiteral("FormSimulation_128x64")}));

    // An image gone before it is read opens no window.
    ui.AnswerDialog([&](QDialog &) {
        QFile::remove(form->LastImagePath);
        return int(QDialog::Accepted);
    });
    form->Action(Command::Simulation)->trigger();
    EXPECT_EQ(ui.Dialogs.size(), 3);
    ASSERT_EQ(ui.Boxes.size(), 1);
    EXPECT_TRUE(ui.Boxes[0].text.startsWith(QStringLiteral("Cannot read the menu image")));

    // Online, the port set-up comes first; Exit there cancels.
    AnswerOk();
    ui.AnswerDialog([](QDialog &dialog) {
        static_cast<TfmDownload &>(dialog).btExitClick();
        return 0;
    });
    form->Action(Command::SimulationOnline)->trigger();
    EXPECT_EQ(ui.Dialogs.last(), QStringLiteral("fmDownload"));
}

TEST_F(LifecycleTest, APipeNamedLikeAProjectIsRefusedWithoutBeingOpened)
{
    TUnopenedPipe pipe(Path(QStringLiteral("x.zel")));
    const auto refusedWith = [&](const char *start) {
        const bool shown = ui.Boxes.size() == 1 && ui.Boxes[0].text.startsWith(QLatin1String(start))
            && ui.Boxes[0].text.endsWith(QStringLiteral("Not a regular file"));
        if (!shown)
            ADD_FAILURE() << ui.BoxTexts().join(QLatin1Char('|')).toStdString();
        ui.Boxes.clear();
        return shown;
    };

    ui.AnswerFile(pipe.Path());
    EXPECT_FALSE(form->OpenProject());
    EXPECT_TRUE(refusedWith("Cannot read the file"));
    EXPECT_EQ(form->Root(), nullptr);

    ASSERT_TRUE(form->LoadProject(WriteProject(QStringLiteral("plant.zel"))));
    form->SelectNode(form->Root()->GetChild(1));
    const QByteArray before = SaveProjectFile(*form->Root());
    ui.AnswerFile(pipe.Path());
    EXPECT_FALSE(form->ImportMenu());
    EXPECT_TRUE(refusedWith("Cannot read the menu file"));
    EXPECT_EQ(SaveProjectFile(*form->Root()), before);

    // The image replaced by a pipe between the compile and its reading.
    std::unique_ptr<TUnopenedPipe> imagePipe;
    ui.AnswerDialog([&](QDialog &) {
        QFile::remove(form->LastImagePath);
        imagePipe = std::make_unique<TUnopenedPipe>(form->LastImagePath);
        return int(QDialog::Accepted);
    });
    form->Action(Command::Simulation)->trigger();
    EXPECT_TRUE(refusedWith("Cannot read the menu image"));
    EXPECT_EQ(ui.Dialogs, QStringList{QStringLiteral("FormCompile")});

    form->Action(Command::Debug)->trigger();
    EXPECT_FALSE(FormDebug->LoadImageFile(pipe.Path()));
    EXPECT_EQ(
        FormDebug->tvTrace->topLevelItem(0)->text(0),
        QStringLiteral("Cannot read %1: Not a regular file").arg(QDir::toNativeSeparators(pipe.Path())));

    EXPECT_EQ(pipe.Opens(), 0);
    ASSERT_NE(imagePipe, nullptr);
    EXPECT_EQ(imagePipe->Opens(), 0);
}
