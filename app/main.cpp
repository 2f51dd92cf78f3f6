// Zel Designer entry point.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zel Designer"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("ZELD"));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
