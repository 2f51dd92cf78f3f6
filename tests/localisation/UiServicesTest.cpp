// The real UI services: what a file request sets up in the chooser, the
// settings and the clipboard; and the test run's own home.
#include "UiServices.h"
#include "ScriptedUiServices.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(FileDialogFilter, PairsOfNameAndPatterns)
{
    const struct {
        const char *given;
        const char *expected;
    } cases[] = {
        {"Menu Data File|*.mda", "Menu Data File (*.mda)"},
        {"ZEL files (*.zel)|*.zel|All files (*.*)|*.*", "ZEL files (*.zel);;All files (*.*)"},
        {"Pictures|*.bmp;*.png", "Pictures (*.bmp *.png)"},
        {"Already Qt (*.txt)", "Already Qt (*.txt)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FileDialogFilter(QLatin1String(c.given)), QLatin1String(c.expected)) << c.given;
}

// Runs the real chooser for request; inspect sees it while it is up and
// decides by returning the file to pick (empty: cancel).
QString Choose(const TFileRequest &request, const std::function<QString(QFileDialog &)> &inspect)
{
    TUiServicesScope real(nullptr);
    QTimer::singleShot(0, [&] {
        auto *chooser = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!chooser) {
            ADD_FAILURE() << "no file chooser up";
            return;
        }
        const QString pick = inspect(*chooser);
        if (pick.isEmpty()) {
            chooser->reject();
            return;
        }
        chooser->selectFile(pick);
        static_cast<QDialog *>(chooser)->accept();  // as its Open button does
    });
    return UiServices().ChooseFile(request);
}

TEST(RealUiServices, FileChoosersFollowTheRequest)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plant = dir.filePath(QStringLiteral("plant.zel"));
    QFile(plant).open(QIODevice::WriteOnly);

    TFileRequest open;
    open.title = QStringLiteral("Open");
    open.filter = QStringLiteral("ZEL files (*.zel)|*.zel|All files (*.*)|*.*");
    open.fileName = plant;
    const QString chosen = Choose(open, [&](QFileDialog &chooser) {
        EXPECT_EQ(chooser.windowTitle(), QStringLiteral("Open"));
        EXPECT_EQ(chooser.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(chooser.fileMode(), QFileDialog::ExistingFile);
        EXPECT_TRUE(chooser.testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(chooser.nameFilters(),
                  (QStringList{QStringLiteral("ZEL files (*.zel)"), QStringLiteral("All files (*.*)")}));
        EXPECT_EQ(QDir(chooser.directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        return plant;
    });
    EXPECT_EQ(QFileInfo(chosen).canonicalFilePath(), QFileInfo(plant).canonicalFilePath());

    TFileRequest save;
    save.kind = TFileRequest::Save;
    save.directory = dir.path();
    save.defaultSuffix = QStringLiteral("zel");
    EXPECT_EQ(Choose(save,
                     [](QFileDialog &chooser) {
                         EXPECT_EQ(chooser.acceptMode(), QFileDialog::AcceptSave);
                         // The caller asks its own overwrite question.
                         EXPECT_TRUE(chooser.testOption(QFileDialog::DontConfirmOverwrite));
                         EXPECT_EQ(chooser.defaultSuffix(), QStringLiteral("zel"));
                         return QString();
                     }),
              QString());
}

TEST(RealUiServices, SettingsAndClipboard)
{
    TQtUiServices real;
    const std::unique_ptr<QSettings> settings =
        real.OpenSettings(QLatin1String(kDesignerSettings), QStringLiteral("ComParameter"));
    EXPECT_EQ(settings->organizationName(), QStringLiteral("Lumor"));
    EXPECT_EQ(settings->applicationName(), QStringLiteral("ZELD"));
    EXPECT_EQ(settings->group(), QStringLiteral("ComParameter"));

    QSignalSpy changed(&real, &TUiServices::clipboardChanged);
    const QString type = QStringLiteral("application/x-test-block");
    real.SetClipboardData(type, QByteArray("\x01\x00\x02", 3));
    QByteArray bytes;
    EXPECT_TRUE(real.ClipboardData(type, bytes));
    EXPECT_EQ(bytes, QByteArray("\x01\x00\x02", 3));
    EXPECT_FALSE(real.ClipboardData(QStringLiteral("text/plain"), bytes));
    EXPECT_TRUE(bytes.isEmpty());
    // A block joins what the clipboard holds; a block of its type is replaced.
    QGuiApplication::clipboard()->setText(QStringLiteral("copied before"));
    real.SetClipboardData(type, QByteArray("\x03", 1));
    real.SetClipboardData(type, QByteArray("\x04", 1));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("copied before"));
    EXPECT_TRUE(real.ClipboardData(type, bytes));
    EXPECT_EQ(bytes, QByteArray("\x04", 1));
    EXPECT_GE(changed.count(), 1);
    QGuiApplication::clipboard()->clear();
}

TEST(TestRun, NothingReachesTheUsersHome)
{
    const QString temp = QDir(QDir::tempPath()).canonicalPath();
    auto inTemp = [&](const QString &path) { return QFileInfo(path).absoluteFilePath().startsWith(temp); };
    EXPECT_TRUE(inTemp(QDir::homePath()));
    EXPECT_TRUE(inTemp(QSettings(QStringLiteral("Lumor"), QStringLiteral("ZELD")).fileName()));
    // The file dialogs keep their history here.
    EXPECT_TRUE(inTemp(QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName()));
    for (QStandardPaths::StandardLocation location :
         {QStandardPaths::GenericConfigLocation, QStandardPaths::GenericDataLocation,
          QStandardPaths::GenericCacheLocation})
        EXPECT_TRUE(inTemp(QStandardPaths::writableLocation(location))) << location;
    // And no modal run waits for a user.
    EXPECT_NE(dynamic_cast<TScriptedUiServices *>(&UiServices()), nullptr);
}

}  // namespace
