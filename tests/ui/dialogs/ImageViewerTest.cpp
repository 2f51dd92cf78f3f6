// The image viewer's window: the chosen file's lines as a tree, Cancel, a
// cut file with its stop line in view, and the one viewer made on first use.
#include "dialogs/ImageViewer.h"
#include "ImageTrace.h"
#include "ProjectBuilder.h"
#include "ScriptedUiServices.h"

#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

namespace {

// The tree's lines in pre-order, each with its depth; likewise a trace's.
QStringList TreeLines(QTreeWidget &tree)
{
    QStringList lines;
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        int depth = 0;
        for (const QTreeWidgetItem *up = (*it)->parent(); up; up = up->parent())
            ++depth;
        lines.append(QStringLiteral("%1 %2").arg(depth).arg((*it)->text(0)));
    }
    return lines;
}

QStringList TraceLines(const TwImageTrace &trace)
{
    QStringList lines;
    for (const TwTraceLine &line : trace.Lines)
        lines.append(QStringLiteral("%1 %2").arg(line.Depth).arg(line.Text));
    return lines;
}

class DebugFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        TestProject p = NewTestProject();
        AddValue(AddSubMenu(p.MainMenu, "Sub"), "V", "R1");
        PatternGlyphSource font;
        image = CompileTestImage(p.Root.get(), font, 0);
        ASSERT_FALSE(image.isEmpty());
        imagePath = Write("menu.mda", image);
    }

    QString Write(const char *name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(QLatin1String(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return path;
    }

    QTemporaryDir dir;
    QByteArray image;
    QString imagePath;
    TScriptedUiServices ui;
    TFormDebug form;
};

TEST_F(DebugFormTest, ChosenImageShownAsItsTraceAndCancelKeepsIt)
{
    EXPECT_EQ(form.odOpenDebugFile->nameFilters(), QStringList("*.mda"));
    ui.AnswerFile(imagePath);
    form.BitBtn1->click();
    const QStringList shown = TreeLines(*form.tvTrace);
    EXPECT_EQ(shown, TraceLines(TraceMenuImage(image)));
    ASSERT_EQ(ui.Files.size(), 1);
    EXPECT_EQ(ui.Files[0].filter, QStringLiteral("*.mda"));

    ui.AnswerFile(QString());  // cancelled
    form.BitBtn1->click();
    EXPECT_EQ(TreeLines(*form.tvTrace), shown);
}

TEST_F(DebugFormTest, CutFileShowsWhereItStopped)
{
    EXPECT_FALSE(form.LoadImageFile(Write("cut.mda", image.left(41))));
    const QTreeWidgetItem *stop = form.tvTrace->currentItem();
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->text(0), "Stopped: page [0000] at byte 40 runs past the end of the file (41 bytes)");
    ASSERT_NE(stop->parent(), nullptr);
    EXPECT_TRUE(stop->parent()->isExpanded());
    EXPECT_EQ(stop->parent()->text(0), "menuPagesBase=(40) 0x00000028");

    // A file that cannot be read replaces the tree with one line saying so.
    EXPECT_FALSE(form.LoadImageFile(dir.filePath("missing.mda")));
    ASSERT_EQ(form.tvTrace->topLevelItemCount(), 1);
    EXPECT_TRUE(form.tvTrace->topLevelItem(0)->text(0).startsWith("Cannot read "));
}

TEST(DebugFormWindow, MadeOnceAndShownWithoutBlocking)
{
    ASSERT_EQ(FormDebug, nullptr);
    ShowDebugForm();
    TFormDebug *form = FormDebug;
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isModal());
    ShowDebugForm();
    EXPECT_EQ(DebugForm(), form);
    delete form;
    EXPECT_EQ(FormDebug, nullptr);
}

}  // namespace
