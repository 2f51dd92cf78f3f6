// The main window's two download commands open the download dialog in its
// menu and firmware modes, on the designer's settings.
#include "MainWindowFixture.h"

#include "DownloadDialog.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/Startup.h"

#include <QLineEdit>

TEST_F(MainWindowTest, DownloadCommandsOpenTheDialogInTheirModes)
{
    struct Shown {
        int mode;
        QString caption;
        QString file;
    };
    QList<Shown> shown;
    ui.SetDialogHandler([&](QDialog &dialog) {
        if (auto *form = qobject_cast<TfmDownload *>(&dialog))
            shown.append({form->DownloadMode, form->windowTitle(), form->edDownloadFileName->text()});
        return 0;
    });
    Settings().setValue(QStringLiteral("ComParameter/FileNameMenu"), QStringLiteral("/p/plant.mda"));
    Settings().setValue(QStringLiteral("ComParameter/FileNameFirmware"), QStringLiteral("/p/panel.os"));

    TFormMain form;
    // No project is needed to download.
    ASSERT_TRUE(form.Action(Command::DownloadMenu)->isEnabled());
    ASSERT_TRUE(form.Action(Command::DownloadFirmware)->isEnabled());
    form.Action(Command::DownloadMenu)->trigger();
    form.Action(Command::DownloadFirmware)->trigger();

    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].mode, 0);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Download Menu Data"));
    EXPECT_EQ(shown[0].file, QStringLiteral("/p/plant.mda"));
    EXPECT_EQ(shown[1].mode, 1);
    EXPECT_EQ(shown[1].caption, QStringLiteral("Download Firmware"));
    EXPECT_EQ(shown[1].file, QStringLiteral("/p/panel.os"));

    // One dialog for the whole program; its settings are written at the end.
    ASSERT_NE(fmDownload, nullptr);
    EXPECT_EQ(&DownloadForm(), fmDownload);
    fmDownload->edPort->setText(QStringLiteral("/dev/ttyUSB3"));
    delete fmDownload;
    EXPECT_EQ(fmDownload, nullptr);
    EXPECT_EQ(Settings().value(QStringLiteral("ComParameter/ComPort")).toString(),
              QStringLiteral("/dev/ttyUSB3"));
}
