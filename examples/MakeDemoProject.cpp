// make_demo_project [file]: writes the demo project (DemoProject.h) to file,
// by default demo.zel in the current folder.
#include "DemoProject.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString path = arguments.size() > 1 ? arguments[1] : QStringLiteral("demo.zel");
    QSaveFile file(path);
    const QByteArray bytes = DemoProjectFile();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        QTextStream(stderr) << "Cannot write " << path << ": " << file.errorString() << "\n";
        return 1;
    }
    QTextStream(stdout) << "Wrote " << path << " (" << bytes.size() << " bytes)\n";
    return 0;
}
