#include "BoundedFile.h"

#include <QFile>
#include <QFileInfo>

TFileRead ReadFileBounded(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &reason)
{
    // Asked of the file system, not of an opened file: opening a pipe waits
    // for a writer.
    const QFileInfo info(path);
    if (!info.isFile()) {
        reason = info.exists() ? QStringLiteral("Not a regular file")
                               : QStringLiteral("No such file or directory");
        return TFileRead::Unreadable;
    }
    const auto tooLarge = [&] {
        reason = QStringLiteral("Larger than %1 bytes").arg(maxBytes);
        return TFileRead::TooLarge;
    };
    if (info.size() > maxBytes)
        return tooLarge();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return TFileRead::Unreadable;
    }
    // The size again, of the file now open: it may have grown or been replaced.
    const qint64 size = file.size();
    if (size > maxBytes)
        return tooLarge();
    // One byte beyond the size, while that stays within the bound, tells a
    // file that grows as it is read.
    bytes = file.read(qMin(size + 1, maxBytes));
    if (bytes.size() != size) {
        reason = file.error() != QFileDevice::NoError ? file.errorString()
                                                      : QStringLiteral("The file changed while it was read");
        bytes.clear();
        return TFileRead::Unreadable;
    }
    return TFileRead::Ok;
}
