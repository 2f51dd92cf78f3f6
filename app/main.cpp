// Zel Designer: the program's entry.
#include "mainwindow/Application.h"
#include "mainwindow/DesignerUiServices.h"
#include "mainwindow/Startup.h"

int main(int argc, char *argv[])
{
    TZelApplication app(argc, argv);
    // The designer's file dialogs serve its file choices.
    TDesignerUiServices services;
    InstallUiServices(&services);
    // A failure of start-up or shut-down is shown and ends the program with
    // an error; what start-up made is shut down all the same.
    const int result = RunDesigner(QApplication::arguments());
    InstallUiServices(nullptr);
    return result;
}
