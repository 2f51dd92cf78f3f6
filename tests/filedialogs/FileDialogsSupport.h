// Helpers of the file-dialog tests: runs driven by a script, files in a
// temporary folder, and the file list of an open dialog.
#pragma once

#include <QModelIndex>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <ostream>

class QAbstractItemView;
class QFileDialog;
class TApCustomOpenLiteDialog;

// Readable texts in failure messages (every test file that compares texts
// includes this header, so one printer serves them all).
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// Runs dialog.Execute() with the script acting on the open dialog (the
// dialog window shown, not modal); the script's value is the run's result.
// Returns what Execute returns.
bool RunScripted(TApCustomOpenLiteDialog &dialog,
                 const std::function<int(TApCustomOpenLiteDialog &)> &script);

// The visible view of the dialog's file list.
QAbstractItemView *FileView(QFileDialog *dialog);
// The row of the named entry in the file list, once the folder has been read;
// invalid when it does not show up.
QModelIndex WaitForEntry(QFileDialog *dialog, const QString &name);
// The names the file list shows for its folder, sorted.
QStringList ListedNames(QFileDialog *dialog);

// A temporary folder with files in it.
class TestFolder {
public:
    // Writes a file (folders on the way made) and returns its path.
    QString Write(const QString &relativePath, const QByteArray &content = {});
    QString MakeDir(const QString &relativePath);
    QString Path(const QString &relativePath = {}) const;

private:
    QTemporaryDir dir_;
};
