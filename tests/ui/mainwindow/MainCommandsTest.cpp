// The main window's commands beyond the project lifecycle: the search with
// its result list, the special characters, About and the output font, and
// the look of the command pictures.
#include "MainWindowFixture.h"

#include "NodeStream.h"
#include "TestFiles.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/ItemDialog.h"
#include "dialogs/MenuDialog.h"
#include "dialogs/OutputFontDialog.h"
#include "dialogs/SearchDialog.h"
#include "mainwindow/CharacterMap.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/TreeBinder.h"
#include "mainwindow/WindowImages.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

namespace {

class MainCommandsTest : public DesignerWindowTest {
protected:
    // The search dialog answered as a user would: the scope chosen, the text
    // typed, OK pressed.
    void AnswerSearch(bool byReference, const QString &text)
    {
        ui.AnswerDialog([=](QDialog &dialog) {
            auto &search = static_cast<TfmSearch &>(dialog);
            (byReference ? search.rbRefNo : search.rbString)->click();
            (byReference ? search.edtReference : search.edtFindString)->setText(text);
            search.btOKClick();
            return search.result();
        });
    }

    QStringList ResultLines() const
    {
        QStringList lines;
        for (int i = 0; i < form->lbSearchResult->count(); ++i)
            lines.append(form->lbSearchResult->item(i)->text());
        return lines;
    }
};

// An executable file named name in folder.
QString MakeProgram(const QString &folder, const char *name)
{
    const QString path = QDir(folder).filePath(QLatin1String(name));
    WriteTestFile(path, "#!/bin/sh\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// The sample project with references of several kinds to search for.
std::unique_ptr<TwNode> SearchProject()
{
    std::unique_ptr<TwNode> root = MakeSampleProject();
    TwNode *pumps = root->GetChild(1)->GetChild(0);  // holds "Flow" on R100
    auto *speed = new TwNode(pumps, QStringLiteral("Pump speed"), nkList);
    speed->SetProp(QStringLiteral("Reference"), QStringLiteral("R0100"));
    auto *level = new TwNode(pumps, QStringLiteral("Level"), nkValue);
    level->SetProp(QStringLiteral("Reference"), QStringLiteral("D100"));
    return root;
}

}  // namespace

TEST_F(MainCommandsTest, SearchByReferenceAndByCaptionListsTheHitsAndACount)
{
    form->Document.ReplaceRoot(SearchProject());
    form->SelectNode(form->Root()->GetChild(1));
    ASSERT_TRUE(form->Action(Command::Search)->isEnabled());

    AnswerSearch(true, QStringLiteral("R100"));
    form->Action(Command::Search)->trigger();
    EXPECT_FALSE(form->lbSearchResult->isHidden());
    EXPECT_EQ(ResultLines(),
              QStringList({QStringLiteral("0.0     Flow"), QStringLiteral("0.1     Pump speed"),
                           QStringLiteral("Total 2 search result(s) found")}));

    // Case counts; every kind of node is searched by caption.
    AnswerSearch(false, QStringLiteral("um"));
    form->Action(Command::Search)->trigger();
    EXPECT_EQ(ResultLines(),
              QStringList({QStringLiteral("0     Pumps"), QStringLiteral("0.1     Pump speed"),
                           QStringLiteral("Total 2 search result(s) found")}));

    AnswerSearch(false, QStringLiteral("pump"));
    form->Action(Command::Search)->trigger();
    EXPECT_EQ(ResultLines(), QStringList({QStringLiteral("No search result found")}));

    // Cancel leaves the list as it was.
    ui.AnswerDialog([](QDialog &) { return int(QDialog::Rejected); });
    form->Action(Command::Search)->trigger();
    EXPECT_EQ(form->lbSearchResult->count(), 1);
}

TEST_F(MainCommandsTest, AResultLineSelectsItsNodeOnlyWhileTheNodeLives)
{
    form->Document.ReplaceRoot(SearchProject());
    TwNode *menu = form->Root()->GetChild(1);
    form->SelectNode(menu);
    AnswerSearch(true, QStringLiteral("R100"));
    form->Action(Command::Search)->trigger();
    ASSERT_EQ(form->lbSearchResult->count(), 3);
    QListWidgetItem *flowLine = form->lbSearchResult->item(0);
    QListWidgetItem *speedLine = form->lbSearchResult->item(1);
    QListWidgetItem *countLine = form->lbSearchResult->item(2);

    TwNode *flow = menu->GetChild(0)->GetChild(0);
    form->lbSearchResultClick(flowLine);
    EXPECT_EQ(form->SelectedNode(), flow);

    form->lbSearchResultClick(countLine);
    EXPECT_EQ(form->SelectedNode(), flow);

    // The node is gone, and a new one may live where it lived: the line
    // names nothing any more.
    TwNode *speed = menu->GetChild(0)->GetChild(1);
    delete speed;
    for (int i = 0; i < 8; ++i)
        new TwNode(menu->GetChild(0), QStringLiteral("Pump speed"), nkList);
    form->RebuildTree();
    form->SelectNode(flow);
    form->lbSearchResultClick(speedLine);
    form->lbSearchResultDblClick(speedLine);
    EXPECT_EQ(form->SelectedNode(), flow);
    EXPECT_EQ(form->SearchResultNode(speedLine), nullptr);

    // Closing the project takes its lines away.
    form->ClearProject();
    EXPECT_EQ(form->lbSearchResult->count(), 0);
}

TEST_F(MainCommandsTest, ClosingOrOpeningAProjectClearsTheSearchResults)
{
    const QString other = WriteTestFile(QDir(dir.path()).filePath(QStringLiteral("other.zel")),
                                        SaveProjectFile(*SearchProject()));
    auto search = [&] {
        form->SelectNode(form->Root()->GetChild(1));
        AnswerSearch(false, QStringLiteral("Pump"));
        form->Action(Command::Search)->trigger();
        ASSERT_EQ(form->lbSearchResult->count(), 3);
    };
    form->Document.ReplaceRoot(SearchProject());
    search();
    form->Action(Command::Close)->trigger();
    EXPECT_EQ(form->lbSearchResult->count(), 0);

    ASSERT_TRUE(form->LoadProject(other));
    search();
    ui.AnswerFile(other);
    form->Action(Command::Open)->trigger();
    EXPECT_EQ(form->ProjectPath(), other);
    EXPECT_EQ(form->lbSearchResult->count(), 0);
}

TEST_F(MainCommandsTest, DoubleClickOnAnItemsTextEditsItAndLeavesItAsItWas)
{
    form->Document.ReplaceRoot(SearchProject());
    form->show();
    TwNode *pumps = form->Root()->GetChild(1)->GetChild(0);
    QTreeWidgetItem *item = TTreeBinder::ItemOf(pumps);
    item->parent()->setExpanded(true);
    const QRect row = form->tvProject->visualItemRect(item);
    const QPoint onText(row.left() + 30, row.center().y());

    for (bool expanded : {false, true}) {
        item->setExpanded(expanded);
        ui.AnswerDialog([&](QDialog &dialog) {
            EXPECT_EQ(dialog.objectName(), QStringLiteral("FormMenu"));
            EXPECT_EQ(static_cast<TItemDialog &>(dialog).Node(), pumps);
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(form->tvProject->viewport(), Qt::LeftButton, {}, onText);
        QTest::mouseDClick(form->tvProject->viewport(), Qt::LeftButton, {}, onText);
        EXPECT_EQ(item->isExpanded(), expanded);
    }
    EXPECT_EQ(ui.Dialogs.size(), 2);
    // Beside the text: no dialog (the services would fail on one).
    const QPoint beside(row.right() - 2, row.center().y());
    QTest::mouseClick(form->tvProject->viewport(), Qt::LeftButton, {}, beside);
    QTest::mouseDClick(form->tvProject->viewport(), Qt::LeftButton, {}, beside);
    EXPECT_EQ(ui.Dialogs.size(), 2);
    EXPECT_FALSE(form->Modified());
}

TEST(CharacterMap, TheProgramBesideTheDesignerFirstThenTheDesktops)
{
    QTemporaryDir programFolder, pathA, pathB;
    const QStringList path = {pathA.path(), pathB.path()};
    // Nothing anywhere.
    EXPECT_TRUE(FindCharacterMap(programFolder.path(), QStringLiteral("Tahoma"), path).program.isEmpty());

    const QString kcharselect = MakeProgram(pathB.path(), "kcharselect");
    TCharacterMap map = FindCharacterMap(programFolder.path(), QStringLiteral("Tahoma"), path);
    EXPECT_EQ(map.program, kcharselect);
    EXPECT_TRUE(map.arguments.isEmpty());

    // The first desktop map in order of preference wins, given the font.
    const QString gucharmap = MakeProgram(pathA.path(), "gucharmap");
    map = FindCharacterMap(programFolder.path(), QStringLiteral("DejaVu Sans"), path);
    EXPECT_EQ(map.program, gucharmap);
    EXPECT_EQ(map.arguments, QStringList({QStringLiteral("--font=DejaVu Sans")}));

    // The program beside the designer wins over all of them.
    const QString own = MakeProgram(programFolder.path(), "CharacterMap.exe");
    map = FindCharacterMap(programFolder.path(), QStringLiteral("DejaVu Sans"), path);
    EXPECT_EQ(map.program, own);
    EXPECT_EQ(map.arguments, QStringList({QStringLiteral("DejaVu Sans")}));
}

TEST_F(MainCommandsTest, SpecialCharacterStartsAMapOrSaysThatThereIsNone)
{
    QTemporaryDir desktop;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(desktop.path()));
    ASSERT_TRUE(form->Action(Command::SpecialChar)->isEnabled());  // no project needed

    form->Action(Command::SpecialChar)->trigger();
    ASSERT_EQ(ui.Boxes.size(), 1);
    EXPECT_TRUE(ui.Boxes[0].text.startsWith(QStringLiteral("No character map was found")));
    EXPECT_TRUE(ui.Boxes[0].text.contains(QStringLiteral("gucharmap, kcharselect, gnome-characters")));
    EXPECT_TRUE(ui.Programs.isEmpty());

    const QString program = MakeProgram(desktop.path(), "gnome-characters");
    form->Action(Command::SpecialChar)->trigger();
    ASSERT_EQ(ui.Programs.size(), 1);
    EXPECT_EQ(ui.Programs[0].program, program);
    EXPECT_EQ(ui.Programs[0].workingDirectory, QCoreApplication::applicationDirPath());
    EXPECT_EQ(ui.Boxes.size(), 1);

    ui.ProgramStarts = false;
    form->Action(Command::SpecialChar)->trigger();
    qputenv("PATH", oldPath);
    ASSERT_EQ(ui.Boxes.size(), 2);
    EXPECT_EQ(
        ui.Boxes[1].text,
        QStringLiteral("The character map %1 could not be started.").arg(QDir::toNativeSeparators(program)));
}

TEST_F(MainCommandsTest, AboutAndOutputFontRunTheirDialogs)
{
    ui.AnswerDialog([](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About"));
        return int(QDialog::Accepted);
    });
    form->Action(Command::About)->trigger();
    ui.AnswerDialog([](QDialog &) { return int(QDialog::Rejected); });
    form->Action(Command::PreferenceOutputFont)->trigger();
    EXPECT_EQ(ui.Dialogs, QStringList({QStringLiteral("FormAbout"), QStringLiteral("fmFontSelect")}));
}

// A user tells an enabled command from a disabled one by its colour.
TEST(MainImages, CommandPicturesInColourDisabledGreyAndFaint)
{
    const auto measure = [](const QPixmap &pixmap, int &saturated, int &opacity) {
        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        saturated = opacity = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor colour = QColor::fromRgba(image.pixel(x, y));
                opacity += colour.alpha();
                if (colour.alpha() > 0 && colour.hsvSaturation() > 96)
                    ++saturated;
            }
        }
    };
    for (int i = 0; i < MenuImageCount; ++i) {
        const QIcon icon = MenuImage(i);
        int saturated = 0, opacity = 0, greySaturated = 0, greyOpacity = 0;
        measure(icon.pixmap(16, 16, QIcon::Normal), saturated, opacity);
        if (opacity == 0)
            continue;  // the unused place of the list
        measure(icon.pixmap(16, 16, QIcon::Disabled), greySaturated, greyOpacity);
        EXPECT_GE(saturated, 4) << "image " << i;
        EXPECT_EQ(greySaturated, 0) << "image " << i;
        EXPECT_LT(greyOpacity, opacity / 2) << "image " << i;
    }
    EXPECT_FALSE(DesignerIcon().isNull());
    EXPECT_EQ(DesignerIcon().availableSizes().size(), 6);
}
