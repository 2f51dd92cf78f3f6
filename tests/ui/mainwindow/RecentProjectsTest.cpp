// The recent-project list: order, cap, letter case, reading and writing the
// settings.
#include "mainwindow/RecentProjects.h"

#include <QSet>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList Paths(std::initializer_list<const char *> names)
{
    QStringList paths;
    for (const char *name : names)
        paths.append(QLatin1String(name));
    return paths;
}

class RecentSettings : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QSettings Settings() { return QSettings(dir.filePath(QStringLiteral("zeld.ini")), QSettings::IniFormat); }
    // Writes the raw values of the group, as an earlier run left them.
    void Store(const QVariant &count, const QStringList &items)
    {
        QSettings s = Settings();
        s.beginGroup(QStringLiteral("RecentProject"));
        if (count.isValid())
            s.setValue(QStringLiteral("ItemCnt"), count);
        for (int i = 0; i < items.size(); ++i) {
            if (!items[i].isNull())
                s.setValue(QStringLiteral("Item%1").arg(i), items[i]);
        }
    }
    QTemporaryDir dir;
};

}  // namespace

TEST(RecentProjects, NewestFirstAndMovedToTheTop)
{
    TRecentProjects list(Qt::CaseSensitive);
    list.Add(QStringLiteral("/p/a.zel"));
    list.Add(QStringLiteral("/p/b.zel"));
    list.Add(QStringLiteral("/p/c.zel"));
    EXPECT_EQ(list.Items(), Paths({"/p/c.zel", "/p/b.zel", "/p/a.zel"}));
    list.Add(QStringLiteral("/p/a.zel"));
    EXPECT_EQ(list.Items(), Paths({"/p/a.zel", "/p/c.zel", "/p/b.zel"}));
    list.Add(QString());
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Newest(), QStringLiteral("/p/a.zel"));
}

TEST(RecentProjects, NinthProjectPushesTheOldestOut)
{
    TRecentProjects list(Qt::CaseSensitive);
    for (int i = 1; i <= 9; ++i)
        list.Add(QStringLiteral("/p/%1.zel").arg(i));
    ASSERT_EQ(list.Count(), TRecentProjects::MaxCount);
    EXPECT_EQ(list.Items().first(), QStringLiteral("/p/9.zel"));
    EXPECT_EQ(list.Items().last(), QStringLiteral("/p/2.zel"));
    // Re-adding an entry inside the list drops nothing.
    list.Add(QStringLiteral("/p/2.zel"));
    EXPECT_EQ(list.Count(), 8);
    EXPECT_EQ(list.Items().last(), QStringLiteral("/p/3.zel"));
}

TEST(RecentProjects, LetterCaseFollowsTheFileSystem)
{
    // Where case is ignored, the entry that names the same file moves up
    // with its spelling; where it counts, two spellings are two files.
    TRecentProjects ignoring(Qt::CaseInsensitive);
    ignoring.Add(QStringLiteral("C:/Work/Plant.zel"));
    ignoring.Add(QStringLiteral("C:/Work/Other.zel"));
    ignoring.Add(QStringLiteral("c:/work/PLANT.ZEL"));
    EXPECT_EQ(ignoring.Items(), Paths({"C:/Work/Plant.zel", "C:/Work/Other.zel"}));

    TRecentProjects exact(Qt::CaseSensitive);
    exact.Add(QStringLiteral("/work/Plant.zel"));
    exact.Add(QStringLiteral("/work/plant.zel"));
    EXPECT_EQ(exact.Items(), Paths({"/work/plant.zel", "/work/Plant.zel"}));

#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    EXPECT_EQ(NativePathCase(), Qt::CaseInsensitive);
#else
    EXPECT_EQ(NativePathCase(), Qt::CaseSensitive);
#endif
}

TEST(RecentProjects, MenuCaptions)
{
    EXPECT_EQ(TRecentProjects::MenuCaption(0, QStringLiteral("/p/a.zel")), QStringLiteral("&1 /p/a.zel"));
    EXPECT_EQ(TRecentProjects::MenuCaption(7, QStringLiteral("/p/h.zel")), QStringLiteral("&8 /p/h.zel"));
    EXPECT_EQ(TRecentProjects::MenuCaption(1, QStringLiteral("/R&D/%1.zel")),
              QStringLiteral("&2 /R&&D/%1.zel"));
}

TEST_F(RecentSettings, ReadingStopsAtTheCountAndTheFirstGapAndSkipsMissingFiles)
{
    const QSet<QString> existing = {QStringLiteral("/p/0.zel"), QStringLiteral("/p/1.zel"),
                                    QStringLiteral("/p/4.zel")};
    const auto exists = [&](const QString &path) { return existing.contains(path); };

    // "ItemCnt" 5 without "Item2": only the existing files among Item0, Item1.
    Store(5,
          {QStringLiteral("/p/0.zel"), QStringLiteral("/p/1.zel"), QString(), QStringLiteral("/p/3.zel"),
           QStringLiteral("/p/4.zel")});
    QSettings s = Settings();
    TRecentProjects list(Qt::CaseSensitive);
    list.Load(s, exists);
    EXPECT_EQ(list.Items(), Paths({"/p/0.zel", "/p/1.zel"}));

    Store(5,
          {QString(), QString(), QStringLiteral("/p/missing.zel"), QStringLiteral("/p/3.zel"),
           QStringLiteral("/p/4.zel")});
    QSettings again = Settings();
    list.Load(again, exists);
    EXPECT_EQ(list.Items(), Paths({"/p/0.zel", "/p/1.zel", "/p/4.zel"}));

    // The count limits the reading.
    Store(1, {});
    QSettings one = Settings();
    list.Load(one, exists);
    EXPECT_EQ(list.Items(), Paths({"/p/0.zel"}));
}

TEST_F(RecentSettings, NoCountOrABadCountReadsNothing)
{
    const auto exists = [](const QString &) { return true; };
    TRecentProjects list(Qt::CaseSensitive);
    {
        Store(QVariant(), {QStringLiteral("/p/0.zel")});
        QSettings s = Settings();
        list.Load(s, exists);
        EXPECT_EQ(list.Count(), 0);
    }
    for (const QVariant &count : {QVariant(QStringLiteral("many")), QVariant(-3)}) {
        Store(count, {QStringLiteral("/p/0.zel")});
        QSettings s = Settings();
        list.Load(s, exists);
        EXPECT_EQ(list.Count(), 0) << count.toString().toStdString();
    }
    // More entries than the list holds: the eight newest.
    QStringList many;
    for (int i = 0; i < 12; ++i)
        many.append(QStringLiteral("/p/%1.zel").arg(i));
    Store(12, many);
    QSettings s = Settings();
    list.Load(s, exists);
    EXPECT_EQ(list.Items(), many.mid(0, 8));
}

TEST_F(RecentSettings, WrittenBackAndReadAgain)
{
    Store(4, Paths({"/old/0", "/old/1", "/old/2", "/old/3"}));
    TRecentProjects list(Qt::CaseSensitive);
    list.Add(QStringLiteral("/p/b.zel"));
    list.Add(QStringLiteral("/p/a.zel"));
    {
        QSettings s = Settings();
        EXPECT_TRUE(list.Save(s));
    }
    QSettings s = Settings();
    s.beginGroup(QStringLiteral("RecentProject"));
    EXPECT_EQ(s.value(QStringLiteral("ItemCnt")).toInt(), 2);
    EXPECT_EQ(s.value(QStringLiteral("Item0")).toString(), QStringLiteral("/p/a.zel"));
    EXPECT_EQ(s.value(QStringLiteral("Item1")).toString(), QStringLiteral("/p/b.zel"));
    // Values beyond the count stay, and are never read.
    EXPECT_EQ(s.value(QStringLiteral("Item2")).toString(), QStringLiteral("/old/2"));
    s.endGroup();

    TRecentProjects read(Qt::CaseSensitive);
    read.Load(s, [](const QString &) { return true; });
    EXPECT_EQ(read.Items(), list.Items());
}
