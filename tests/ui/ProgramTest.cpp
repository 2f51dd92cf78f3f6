// The designer program itself starts and stays up, with or without a
// project on its command line; and a picture of its window for the README.
#include "MainWindowFixture.h"

#include "Mainform.h"
#include "Startup.h"

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

// Saves a picture of the window with a small project to the file named by
// ZEL_SCREENSHOT (docs/main-window.png is made this way); without it the
// picture is only taken.
TEST_F(MainWindowTest, PictureOfTheWindow)
{
    TFormMain form;
    form.Document.ReplaceRoot(MakeSampleProject());
    form.LocalizeFixedNodes();
    form.SetProjectPath(QStringLiteral("/home/user/Plant.zel"));
    form.AddRecentProject(form.ProjectPath());
    form.tvProject->expandAll();
    form.SelectNode(form.Root()->GetChild(1)->GetChild(0)->GetChild(0));
    form.show();
    QCoreApplication::processEvents();
    const QPixmap picture = form.grab();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), form.size() * picture.devicePixelRatio());
    const QString target = qEnvironmentVariable("ZEL_SCREENSHOT");
    if (!target.isEmpty()) {
        EXPECT_TRUE(picture.save(target));
    }
}
