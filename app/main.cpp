// Zel Designer: the program's entry.
#include "Designerservices.h"
#include "Startup.h"
#include "Zelapplication.h"

int main(int argc, char *argv[])
{
    TZelApplication app(argc, argv);
    // The designer's file dialogs serve its file choices.
    TDesignerUiServices services;
    InstallUiServices(&services);
    // A failure of start-up or shut-down is shown; the entry still ends
    // normally, without releasing what did not start.
    RunGuarded([&] {
        StartDesigner(QApplication::arguments());
        QApplication::exec();
        StopDesigner();
    });
    InstallUiServices(nullptr);
    return 0;
}
