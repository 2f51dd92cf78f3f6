// Zel Designer: the program's entry.
#include "Startup.h"
#include "Zelapplication.h"

int main(int argc, char *argv[])
{
    TZelApplication app(argc, argv);
    // A failure of start-up or shut-down is shown and ends the program with
    // an error; what start-up made is shut down all the same.
    return RunDesigner(QApplication::arguments());
}
