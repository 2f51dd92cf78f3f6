// The designer program itself starts and stays up, with or without a
// project on its command line; and pictures of its window and of an item
// dialog for the README.
#include "MainWindowFixture.h"

#include "DemoProject.h"
#include "PanelLcdDriver.h"
#include "dialogs/ValueDialog.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/Startup.h"
#include "mainwindow/TreeBinder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTreeWidget>

#include <stdexcept>

namespace {

QString DesignerProgram()
{
    return QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/../app/zeldesigner"))
        .absoluteFilePath();
}

}  // namespace

TEST_F(MainWindowTest, ProgramStartsAndStaysUp)
{
    const QString program = DesignerProgram();
    if (!QFileInfo(program).isExecutable())
        GTEST_SKIP() << "designer not built at " << program.toStdString();
    for (const QStringList &arguments :
         {QStringList(), QStringList{dir.filePath(QStringLiteral("plant.zel"))}}) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The user's own settings stay untouched.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        ASSERT_TRUE(process.waitForStarted(10000));
        EXPECT_FALSE(process.waitForFinished(1500)) << process.readAllStandardError().toStdString();
        EXPECT_EQ(process.state(), QProcess::Running);
        process.kill();
        process.waitForFinished(10000);
    }
}

// A start-up that throws is shown, ends the program with an error and still
// shuts down what it made, so that the settings it loaded are written back.
TEST_F(MainWindowTest, AFailedStartUpIsShownAndWhatItMadeIsShutDown)
{
    const QString project = MakeFile(QStringLiteral("plant.zel"));
    bool looped = false;
    const int result = RunProgram(
        [&] {
            FormMain = new TFormMain();
            FormMain->AddRecentProject(project);
            throw std::runtime_error("The settings cannot be read.");
        },
        [&] {
            looped = true;
            return 0;
        },
        StopDesigner);
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(looped);
    EXPECT_EQ(FormMain, nullptr);
    ASSERT_EQ(ui.Boxes.size(), 1);
    EXPECT_EQ(ui.Boxes[0].kind, TBoxRequest::Error);
    EXPECT_EQ(ui.Boxes[0].text, QStringLiteral("The settings cannot be read."));
    EXPECT_EQ(Settings().value(QStringLiteral("RecentProject/Item0")).toString(), project);

    EXPECT_EQ(RunProgram([] {}, [] { return 3; }, [] {}), 3);
    EXPECT_EQ(RunProgram([] {}, [] { return 0; }, [] { throw std::runtime_error("x"); }), 1);
}

// Pictures of the window holding the demo project, and of the value dialog
// editing one of its values, saved as main-window.png and value-dialog.png
// into the folder named by ZEL_DOC_PICTURES (the README's pictures are made
// this way, under Xvfb); without it they are only taken.
TEST_F(MainWindowTest, PicturesOfTheDemoProject)
{
    const QString folder = qEnvironmentVariable("ZEL_DOC_PICTURES");
    const auto save = [&](const QPixmap &picture, const char *name) {
        ASSERT_FALSE(picture.isNull());
        if (!folder.isEmpty()) {
            EXPECT_TRUE(picture.save(QDir(folder).filePath(QLatin1String(name))));
        }
    };
    {
        TFormMain form;
        form.Document.ReplaceRoot(MakeDemoProject());
        form.LocalizeFixedNodes();
        form.SetProjectPath(QStringLiteral("/home/user/demo.zel"));
        form.AddRecentProject(form.ProjectPath());
        TwNode *pumps = form.Root()->GetChild(1)->GetChild(0);
        for (const TwNode *node : {form.Root()->GetChild(1), pumps, form.Root()->GetChild(2)})
            TTreeBinder::ItemOf(node)->setExpanded(true);
        form.SelectNode(pumps->GetChild(1));
        form.tvProjectClick(TTreeBinder::ItemOf(pumps->GetChild(1)));
        form.show();
        form.tvProject->scrollToTop();
        QCoreApplication::processEvents();
        const QPixmap picture = form.grab();
        EXPECT_EQ(picture.size(), form.size() * picture.devicePixelRatio());
        save(picture, "main-window.png");

        TFormValue &dialog = *ValueForm();
        dialog.setWindowTitle(QStringLiteral("Edit Value"));
        ASSERT_TRUE(dialog.LoadFromNode(pumps->GetChild(1)));
        dialog.show();
        QCoreApplication::processEvents();
        save(dialog.grab(), "value-dialog.png");
        dialog.close();
    }
    delete FormValue;
    SelectPanelModel(0);
}
