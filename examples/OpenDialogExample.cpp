// The full open dialog with a places bar of its own, for trying it by hand.
//
// The places bar at the left is the user's: drag a place onto another to move
// it, drop folders or files onto the bar to add them, and use the right mouse
// button to delete a place or edit it. The places are kept per user under
// "Software\Lumor\ApDialogsExample\Places" (~/.config/Lumor/ApDialogsExample.conf
// on Linux). The arrow of the Open button offers "Open read-only".
//
//     open_dialog_example            run the dialog, print the chosen file
//     open_dialog_example --smoke    open the dialog and close it at once
#include "ApDialogsCommon.h"
#include "ApFullDialogs.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>
#include <QTimer>

namespace {

TApPlace SpecialPlace(TApSpecShellFolder folder, int icon, int hotIcon)
{
    TApPlace place;
    place.PlaceSpecPath = folder;
    place.AutoCaption = true;
    place.PlaceDesc = GetSpecFolderName(folder);
    place.PlaceIcon = icon;
    place.PlaceHotIcon = hotIcon;
    return place;
}

TApPlace FolderPlace(const QString &path, const QString &caption)
{
    TApPlace place;
    place.PlacePath = path;
    place.PlaceName = caption;
    place.PlaceDesc = QDir::toNativeSeparators(path);
    place.PlaceIcon = 3;
    place.PlaceHotIcon = 4;
    return place;
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const bool smoke = app.arguments().contains(QStringLiteral("--smoke"));

    TApOpenDialog dialog;
    dialog.setObjectName(QStringLiteral("odExample"));
    dialog.SetTitle(QStringLiteral("Open a project or a menu"));
    dialog.Filter =
        QStringLiteral("ZEL files (*.zel)|*.zel|ZEL Menu files (*.mzm)|*.mzm|All files (*.*)|*.*");
    dialog.FilterIndex = 3;
    dialog.CustDlgParams().Position = dpScrCenter;

    TApPlacesBarOptions &places = dialog.PlacesBar();
    places.Native = false;
    places.RegistryKey = QStringLiteral("Software\\Lumor\\ApDialogsExample\\Places");
    places.LoadFromRegistry();
    if (places.Places.isEmpty()) {
        places.Places = {SpecialPlace(ftDesktop, 2, 2), SpecialPlace(ftDrives, 10, 10),
                         SpecialPlace(ftPersonal, 3, 4),
                         FolderPlace(QDir::homePath(), QStringLiteral("Home")),
                         FolderPlace(QDir::tempPath(), QStringLiteral("Temporary"))};
    }

    QMenu okMenu;
    bool readOnly = false;
    auto *openReadOnly = new TApMenuItem(QStringLiteral("Open read-only"), &okMenu);
    openReadOnly->OnClick = [&](QAction *) {
        readOnly = true;
        dialog.CloseDialog(1);
    };
    okMenu.addAction(openReadOnly);
    dialog.OkButtonMenu = &okMenu;

    if (smoke)
        QTimer::singleShot(0, &app, [] {
            if (CurrentOpenDialog)
                CurrentOpenDialog->CloseDialog(2);
        });
    QTextStream out(stdout);
    if (dialog.Execute())
        out << QDir::toNativeSeparators(dialog.FileName()) << (readOnly ? " (read-only)" : "") << '\n';
    else
        out << "No file chosen.\n";
    return 0;
}
