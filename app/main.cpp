// Zel Designer entry point.
#include <QApplication>
#include <QMainWindow>

#include "Lumor_unicode.h"
#include "Ufmyesno.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Localizer.InitLanguage(QStringLiteral("ZELDesigner"));
    QApplication::setApplicationName(QStringLiteral("Zel Designer"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("ZELD"));
    window.resize(800, 600);
    fmYesNo = new TfmYesNo();
    window.show();
    const int result = app.exec();
    delete fmYesNo;
    Localizer.ReleaseLanguage();
    return result;
}
