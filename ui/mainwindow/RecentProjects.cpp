// The list of recent projects.
#include "RecentProjects.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
const QString kGroup = QStringLiteral("RecentProject");
const QString kCount = QStringLiteral("ItemCnt");

QString ItemKey(int index)
{
    return QStringLiteral("Item%1").arg(index);
}
}  // namespace

Qt::CaseSensitivity NativePathCase()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

QString AbsoluteProjectPath(const QString &path)
{
    if (path.isEmpty())
        return path;
    return QDir::cleanPath(QDir::isRelativePath(path) ? QDir::current().absoluteFilePath(path) : path);
}

void TRecentProjects::Add(const QString &path)
{
    if (path.isEmpty())
        return;
    qsizetype found = -1;
    for (qsizetype i = 0; i < items_.size() && found < 0; ++i) {
        if (items_[i].compare(path, pathCase_) == 0)
            found = i;
    }
    if (found >= 0)
        items_.move(found, 0);
    else
        items_.prepend(path);
    while (items_.size() > MaxCount)
        items_.removeAt(MaxCount);
}

void TRecentProjects::Load(QSettings &settings, const std::function<bool(const QString &)> &fileExists)
{
    items_.clear();
    settings.beginGroup(kGroup);
    bool ok = false;
    const int count = settings.value(kCount).toInt(&ok);
    for (int i = 0; ok && i < count && items_.size() < MaxCount; ++i) {
        const QString key = ItemKey(i);
        if (!settings.contains(key))
            break;
        const QString path = settings.value(key).toString();
        if (!path.isEmpty() && fileExists(path))
            items_.append(AbsoluteProjectPath(path));
    }
    settings.endGroup();
}

void TRecentProjects::Load(QSettings &settings)
{
    Load(settings, [](const QString &path) { return QFileInfo(path).isFile(); });
}

bool TRecentProjects::Save(QSettings &settings) const
{
    if (settings.status() != QSettings::NoError || !settings.isWritable())
        return false;
    settings.beginGroup(kGroup);
    settings.setValue(kCount, int(items_.size()));
    for (int i = 0; i < items_.size(); ++i)
        settings.setValue(ItemKey(i), items_[i]);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString TRecentProjects::MenuCaption(int index, const QString &path)
{
    QString shown = path;
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    return QStringLiteral("&%1 %2").arg(QString::number(index + 1), shown);
}
