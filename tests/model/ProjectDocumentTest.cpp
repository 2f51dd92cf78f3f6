// The project document: loading into a fresh root that replaces the open one
// only when the whole file was read, and saving whole files only.
#include "ProjectDocument.h"
#include "NodeStream.h"
#include "ProjectBuilder.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

class ProjectDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.OnRootChanged = [this] { ++rootChanges; };
        doc.OnModifiedChanged = [this](bool) { ++modifiedChanges; };
        doc.OnPathChanged = [this](const QString &) { ++pathChanges; };
    }

    QString Write(const QString &name, const QByteArray &bytes) const
    {
        return WriteTestFile(dir.filePath(name), bytes);
    }

    QTemporaryDir dir;
    TProjectDocument doc;
    int rootChanges = 0, modifiedChanges = 0, pathChanges = 0;
};

TEST_F(ProjectDocument, DamagedFilesLeaveTheOpenProjectUntouched)
{
    TestProject project = NewTestProject(1);
    AddValue(AddSubMenu(project.MainMenu, QStringLiteral("Pumps")), QStringLiteral("Flow"),
             QStringLiteral("R100"));
    const QByteArray good = SaveProjectFile(*project.Root);
    const QString plant = Write(QStringLiteral("plant.zel"), good);
    QString error;
    ASSERT_TRUE(doc.Load(plant, error)) << error.toStdString();
    EXPECT_EQ(SaveProjectFile(*doc.Root()), good);
    EXPECT_EQ(doc.Path(), plant);
    EXPECT_FALSE(doc.Modified());
    doc.SetModified(true);
    TwNode *open = doc.Root();
    const int changes = rootChanges + modifiedChanges + pathChanges;

    QByteArray hugeCount = good;
    qToLittleEndian<int32_t>(1 << 30, hugeCount.data() + 8);  // the root's child count
    const struct {
        const char *name;
        QByteArray bytes;
    } damaged[] = {{"cut.zel", good.left(good.size() - 7)},
                   {"count.zel", hugeCount},
                   {"empty.zel", QByteArray()},
                   {"header.zel", good.left(10)}};
    for (const auto &file : damaged) {
        error.clear();
        EXPECT_FALSE(doc.Load(Write(QLatin1String(file.name), file.bytes), error)) << file.name;
        EXPECT_FALSE(error.isEmpty()) << file.name;
        EXPECT_EQ(doc.Root(), open) << file.name;
        EXPECT_EQ(SaveProjectFile(*doc.Root()), good) << file.name;
    }
    EXPECT_FALSE(doc.Load(dir.filePath(QStringLiteral("missing.zel")), error));
    EXPECT_EQ(doc.Root(), open);
    EXPECT_EQ(doc.Path(), plant);
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(rootChanges + modifiedChanges + pathChanges, changes);
}

TEST_F(ProjectDocument, LoadedProjectsHaveTheirDeviceInformationFirst)
{
    TwNode root(nullptr, QString(), nkProject);
    new TwNode(&root, QStringLiteral("Main Menu"), nkMainMenu);
    QString error;
    bool truncated = true;
    ASSERT_TRUE(doc.Load(Write(QStringLiteral("old.mze"), SaveProjectFile(root)), error, &truncated));
    EXPECT_FALSE(truncated);
    ASSERT_EQ(doc.Root()->GetChildCount(), 2);
    EXPECT_EQ(doc.Root()->GetChild(0)->Kind, nkDeviceInfo);
    EXPECT_EQ(doc.Root()->GetChild(0)->Caption(), QStringLiteral("Device Infomation"));
    EXPECT_EQ(doc.Root()->GetChild(1)->Kind, nkMainMenu);
    EXPECT_EQ(rootChanges, 1);
}

TEST_F(ProjectDocument, SaveWritesTheWholeProjectOrNothing)
{
    QString error;
    EXPECT_FALSE(doc.Save(dir.filePath(QStringLiteral("none.zel")), error));  // no project open
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none.zel"))));

    TestProject project = NewTestProject();
    const QByteArray bytes = SaveProjectFile(*project.Root);
    EXPECT_EQ(doc.ReplaceRoot(std::move(project.Root)), nullptr);
    doc.SetModified(true);
    // A folder that cannot exist: the project keeps its state.
    Write(QStringLiteral("blocker"), "");
    EXPECT_FALSE(doc.Save(dir.filePath(QStringLiteral("blocker/plant.zel")), error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(doc.Path(), QString());

    const QString target = Write(QStringLiteral("plant.zel"), "an older project");
    ASSERT_TRUE(doc.Save(target, error)) << error.toStdString();
    EXPECT_EQ(ReadTestFile(target), bytes);
    EXPECT_EQ(doc.Path(), target);
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // no temporary left

    // Closing keeps the path for the caption, and clears Modified.
    doc.SetModified(true);
    doc.Close();
    EXPECT_EQ(doc.Root(), nullptr);
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.Path(), target);
}

}  // namespace
