// Helpers of the file-dialog tests.
#include "FileDialogsSupport.h"

#include "ApLiteDialogs.h"
#include "ApModalRuns.h"
#include "TestFiles.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>

#include <gtest/gtest.h>

bool RunScripted(TApCustomOpenLiteDialog &dialog, const std::function<int(TApCustomOpenLiteDialog &)> &script)
{
    ApSetModalRunner([&](QDialog &window) {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        return script(dialog);
    });
    const auto restore = qScopeGuard([] { ApSetModalRunner({}); });
    return dialog.Execute();
}

QAbstractItemView *FileView(QFileDialog *dialog)
{
    for (const char *name : {"listView", "treeView"}) {
        auto *view = dialog->findChild<QAbstractItemView *>(QLatin1String(name));
        if (view && view->isVisible())
            return view;
    }
    return nullptr;
}

namespace {
QModelIndex FindEntry(QAbstractItemView *view, const QString &name)
{
    const QAbstractItemModel *model = view->model();
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < model->rowCount(root); ++row) {
        const QModelIndex index = model->index(row, 0, root);
        if (index.data().toString() == name)
            return index;
    }
    return {};
}
}  // namespace

QModelIndex WaitForEntry(QFileDialog *dialog, const QString &name)
{
    QModelIndex found;
    (void)QTest::qWaitFor([&] {
        QAbstractItemView *view = FileView(dialog);
        found = view ? FindEntry(view, name) : QModelIndex();
        return found.isValid();
    });
    return found;
}

QStringList ListedNames(QFileDialog *dialog)
{
    QStringList names;
    QAbstractItemView *view = FileView(dialog);
    if (!view)
        return names;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row)
        names.append(view->model()->index(row, 0, root).data().toString());
    names.sort();
    return names;
}

QString TestFolder::Write(const QString &relativePath, const QByteArray &content)
{
    const QString path = Path(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    return WriteTestFile(path, content);
}

QString TestFolder::MakeDir(const QString &relativePath)
{
    const QString path = Path(relativePath);
    QDir().mkpath(path);
    return path;
}

QString TestFolder::Path(const QString &relativePath) const
{
    return relativePath.isEmpty() ? dir_.path() : dir_.filePath(relativePath);
}
