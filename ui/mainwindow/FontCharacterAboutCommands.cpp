// The main window's small commands: special characters, About and the output
// font preference.
#include "MainWindow.h"

#include "Application.h"
#include "CharacterMap.h"
#include "Localizer.h"
#include "MessageBox.h"
#include "UiServices.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/OutputFont.h"
#include "dialogs/OutputFontDialog.h"

#include <QCoreApplication>
#include <QDir>

bool TFormMain::atSpecialCharExecute()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const TCharacterMap map = FindCharacterMap(programFolder, PanelFontName());
    QString message;
    if (map.program.isEmpty()) {
        message = FormatText(MainText("No character map was found: there is no CharacterMap.exe beside the "
                                      "designer, and none of the desktop's character maps (%s) is installed.",
                                      "NoCharacterMapId"),
                             {DesktopCharacterMaps().join(QStringLiteral(", "))});
    } else if (!UiServices().StartProgram(map.program, map.arguments, programFolder)) {
        message = FormatText(MainText("The character map %s could not be started.", "CharacterMapFailedId"),
                             {QDir::toNativeSeparators(map.program)});
    }
    if (message.isEmpty())
        return true;
    ShowMessageBox(fmYesNo, message, ApplicationTitle());
    return false;
}

void TFormMain::atAboutExecute()
{
    TFormAbout &about = AboutForm();
    about.setWindowTitle(MainText("About", "CaptionId"));
    UiServices().RunDialog(about);
}

void TFormMain::miPreferenceOutputFontClick()
{
    UiServices().RunDialog(*FontSelectForm());
}
