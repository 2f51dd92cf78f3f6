// The main window's editing of the project tree, run headless through
// scripted UI services. After each edit the view shows the node tree and the
// project reads back byte for byte (Consistent).
#include "MainWindowFixture.h"

#include "ApLiteDialogs.h"
#include "NodeStream.h"
#include "Operands.h"
#include "PanelLcdDriver.h"
#include "PictureData.h"
#include "ProjectBuilder.h"
#include "ProjectDocument.h"
#include "TestFiles.h"
#include "TreeViewCheck.h"
#include "dialogs/ActionDialog.h"
#include "dialogs/AlarmDialog.h"
#include "dialogs/ConfigurationDialog.h"
#include "dialogs/DescriptionForm.h"
#include "dialogs/DeviceInfoDialog.h"
#include "dialogs/ListDialog.h"
#include "dialogs/MenuDialog.h"
#include "dialogs/PictureDialog.h"
#include "dialogs/StartupScreenDialog.h"
#include "dialogs/ValueDialog.h"
#include "mainwindow/MainWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDrag>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

namespace {

// The display captions of parent's children, joined by ",".
QString Captions(const TwNode *parent)
{
    QStringList captions;
    for (int i = 0; i < parent->GetChildCount(); ++i)
        captions.append(parent->GetChild(i)->GetDisplayCaption());
    return captions.join(QLatin1Char(','));
}

// A chain of sub-menus below parent; the last one.
TwNode *MenuChain(TwNode *parent, int depth)
{
    for (int i = 0; i < depth; ++i)
        parent = AddSubMenu(parent, QStringLiteral("L%1").arg(i));
    return parent;
}

// Main Menu: Pumps (values Flow, Speed), Fans (sub-menu Inner), action Reset;
// two alarms, two startup pictures and the screen saver's picture.
class NodeEditingTest : public DesignerWindowTest {
protected:
    void SetUp() override
    {
        DesignerWindowTest::SetUp();
        TestProject p = NewTestProject();
        mainMenu = p.MainMenu;
        pumps = AddSubMenu(mainMenu, "Pumps");
        flow = AddValue(pumps, "Flow", "R100");
        AddValue(pumps, "Speed", "R101");
        fans = AddSubMenu(mainMenu, "Fans");
        AddSubMenu(fans, "Inner");
        reset = AddAction(mainMenu, "Reset", 1, "Y0");
        alarms = p.Alarms;
        AddAlarm(alarms, 1, {"Oil low"});
        AddAlarm(alarms, 7, {"Door open"});
        startup = p.StartupScreen;
        AddStartupPicture(startup, PictureHex(0, 0x0F));
        AddStartupPicture(startup, PictureHex(0, 0xF0));
        saver = p.ScreenSaver;
        saver->SetProp("ImageData", PictureHex(0, 0x81));
        configuration = p.Configuration;
        device = p.DeviceInfo;
        form->Document.ReplaceRoot(std::move(p.Root));
    }

    // Runs a command on node as the user would (nothing when it is off).
    void Run(TwNode *node, Command command)
    {
        form->SelectNode(node);
        form->Action(command)->trigger();
    }

    QByteArray Saved() const { return SaveProjectFile(*form->Root()); }

    ::testing::AssertionResult Consistent() const
    {
        if (::testing::AssertionResult view = TreeMatchesView(form->Root(), form->tvProject); !view)
            return view;
        bool truncated = false;
        const QByteArray saved = Saved();
        if (SaveProjectFile(*LoadProjectFile(saved, truncated)) != saved || truncated)
            return ::testing::AssertionFailure() << "the project does not read back as saved";
        return ::testing::AssertionSuccess();
    }

    bool Expanded(const TwNode *node) const { return TTreeBinder::ItemOf(node)->isExpanded(); }

    TwNode *mainMenu, *pumps, *flow, *fans, *reset, *alarms, *startup, *saver, *configuration, *device;
};

}  // namespace

TEST_F(NodeEditingTest, AddMakesTheNodeBeforeItsDialogAndCancelTakesItAway)
{
    struct Row {
        TwNode *parent;
        Command command;
        int32_t kind;
        const char *startKey;  // a property the dialog finds set
        const char *startValue;
    };
    const Row rows[] = {
        {mainMenu, Command::AddMenu, nkSubMenu, nullptr, nullptr},
        {mainMenu, Command::AddAction, nkAction, nullptr, nullptr},
        {pumps, Command::AddValue, nkValue, "DecimalPoint", "0"},
        {pumps, Command::AddList, nkList, "Max", "2"},
        {alarms, Command::AddAlarm, nkAlarm, nullptr, nullptr},
        {startup, Command::AddScreen, nkScreen, nullptr, nullptr},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(int(row.kind));
        const QByteArray before = Saved();
        const int count = row.parent->GetChildCount();
        ui.AnswerDialog([&](QDialog &dialog) {
            const TwNode *node = static_cast<TItemDialog &>(dialog).Node();
            EXPECT_EQ(row.parent->GetChild(count), node);
            EXPECT_EQ(node->Kind, row.kind);
            EXPECT_EQ(node->GetProp(QLatin1String(row.startKey)), QLatin1String(row.startValue));
            return int(mrCancel);
        });
        Run(row.parent, row.command);
        EXPECT_EQ(Saved(), before);
        EXPECT_FALSE(form->Modified());
        EXPECT_TRUE(Consistent());

        // OK: the item shows, the selection stays on the parent, now expanded.
        ui.AnswerDialog([](QDialog &) { return int(mrOk); });
        Run(row.parent, row.command);
        ASSERT_EQ(row.parent->GetChildCount(), count + 1);
        EXPECT_EQ(form->SelectedNode(), row.parent);
        EXPECT_TRUE(Expanded(row.parent));
        EXPECT_TRUE(form->Modified());
        EXPECT_TRUE(Consistent());
        form->SetModified(false);
    }
}

TEST_F(NodeEditingTest, EditRunsTheDialogOfTheKindAndMarksModifiedOnOk)
{
    ui.AnswerDialog([](QDialog &dialog) {
        auto &menu = static_cast<TFormMenu &>(dialog);
        menu.edtCaption->setText("Pumps of hall 2");
        menu.btOKClick();
        return menu.result();
    });
    Run(pumps, Command::Edit);
    EXPECT_EQ(TTreeBinder::ItemOf(pumps)->text(0), "Pumps of hall 2");
    EXPECT_TRUE(Consistent());

    const std::pair<TwNode *, const char *> rows[] = {
        {flow, "FormValue"},
        {reset, "fmAction"},
        {alarms->GetChild(1), "FormAlarm"},
        {saver, "FormScreen"},
        {startup, "FormStartupScreen"},
        {startup->GetChild(0), "FormScreen"},
        {configuration, "FormConfig"},
    };
    for (const auto &[node, dialogName] : rows) {
        SCOPED_TRACE(dialogName);
        const QByteArray before = Saved();
        form->SetModified(false);
        ui.AnswerDialog([](QDialog &) { return int(mrCancel); });
        Run(node, Command::Edit);
        EXPECT_FALSE(form->Modified());
        // OK without a change marks the project all the same.
        ui.AnswerDialog([&](QDialog &) { return int(mrOk); });
        Run(node, Command::Edit);
        EXPECT_EQ(ui.Dialogs.last(), QLatin1String(dialogName));
        EXPECT_TRUE(form->Modified());
        EXPECT_EQ(form->SelectedNode(), node);
        EXPECT_EQ(Saved(), before);
    }
    // No dialog for a node of another kind, whoever asks.
    form->SelectNode(alarms);
    EXPECT_FALSE(form->EditAlarmNode(false));
    EXPECT_FALSE(form->atEditExecute());
    form->SelectNode(flow);
    EXPECT_FALSE(form->EditListNode(false));
    EXPECT_EQ(ui.Dialogs.size(), 15);
}

TEST_F(NodeEditingTest, AModelChangeConvertsEveryPictureOnce)
{
    auto chooseModel = [this](int index) {
        ui.AnswerDialog([index](QDialog &dialog) {
            auto &info = static_cast<TFormDeviceInfo &>(dialog);
            info.cbDevice->setCurrentIndex(index);
            info.btOKClick();
            return info.result();
        });
        Run(device, Command::Edit);
    };
    auto picture = [](const TwNode *node) { return node->GetProp("ImageData"); };
    const QString screen64 = picture(startup->GetChild(1));
    const QString saver64 = picture(saver);

    chooseModel(1);
    EXPECT_EQ(picture(startup->GetChild(1)), ExpandPicture64To96(screen64));
    EXPECT_EQ(picture(saver), ExpandPicture64To96(saver64));
    EXPECT_EQ(PanelModelId, 1u);
    EXPECT_TRUE(form->Modified());
    const QByteArray converted = Saved();
    chooseModel(1);
    EXPECT_EQ(Saved(), converted);
    chooseModel(0);
    EXPECT_EQ(picture(startup->GetChild(1)), screen64);

    // A model number no panel has stands for the first model: confirming
    // that model changes no picture.
    device->SetProp("DeviceID", "7");
    chooseModel(0);
    EXPECT_EQ(picture(startup->GetChild(1)), screen64);
    EXPECT_EQ(PanelModelId, 0u);
    EXPECT_TRUE(Consistent());
}

TEST_F(NodeEditingTest, CopyAndPasteWhereTheReaderMayCut)
{
    // The Main Menu comes back as a sub-menu with its caption and subtree.
    Run(mainMenu, Command::Copy);
    QByteArray original, copy;
    WriteNodeRecord(*mainMenu, original, nkSubMenu);
    Run(fans, Command::PasteUnder);
    WriteNodeRecord(*fans->GetChild(1), copy);
    EXPECT_EQ(copy, original);
    EXPECT_EQ(form->SelectedNode(), fans->GetChild(1));
    EXPECT_TRUE(form->Modified());

    // Before the first and after the last.
    Run(flow, Command::Copy);
    Run(flow, Command::PasteBefore);
    Run(pumps->GetChild(2), Command::PasteAfter);
    EXPECT_EQ(Captions(pumps), "Flow,Flow,Speed,Flow");
    EXPECT_EQ(form->SelectedNode(), pumps->GetChild(3));
    EXPECT_TRUE(Consistent());

    // A paste the reader cuts asks: No leaves the tree, Yes pastes the rest.
    TwNode *level5 = MenuChain(mainMenu, 5);
    form->RebuildTree();
    Run(fans, Command::Copy);
    form->SetModified(false);
    const QByteArray before = Saved();
    ui.AnswerBox(mrNo);
    Run(level5, Command::PasteUnder);
    EXPECT_EQ(ui.Boxes.last().id, "warn_too_depth");
    EXPECT_EQ(Saved(), before);
    EXPECT_FALSE(form->Modified());
    ui.AnswerBox(mrYes);
    Run(level5, Command::PasteUnder);
    EXPECT_EQ(Captions(level5), "Fans");
    EXPECT_EQ(level5->GetChild(0)->GetChildCount(), 0);
    EXPECT_TRUE(Consistent());

    // A damaged block is no block.
    ui.SetClipboardData(form->ClipboardFormat, QByteArray::fromHex("0d00000066000000640000000500000041"));
    EXPECT_FALSE(form->Action(Command::PasteUnder)->isEnabled());
    form->SelectNode(pumps);
    EXPECT_FALSE(form->PasteNode(TFormMain::PasteUnder));
}

TEST_F(NodeEditingTest, CutAndDelete)
{
    // A cut deletes only what reached the clipboard, and asks nothing.
    const QByteArray before = Saved();
    ui.ClipboardRefuses = true;
    Run(flow, Command::Cut);
    EXPECT_EQ(Saved(), before);
    EXPECT_EQ(ui.BoxTexts(), QStringList{"The clipboard did not take the copy; nothing was changed."});
    ui.ClipboardRefuses = false;
    Run(flow, Command::Cut);
    EXPECT_EQ(ui.Boxes.size(), 1);
    EXPECT_EQ(Captions(pumps), "Speed");
    EXPECT_EQ(form->GetClipboardNodeKind(), nkValue);

    const QByteArray cut = Saved();
    ui.AnswerBox(mrNo);
    Run(fans, Command::Delete);
    EXPECT_EQ(ui.Boxes.last().text, "The child nodes will be also deleted\nConfirm to delete ?");
    EXPECT_EQ(Saved(), cut);
    // The screens after a deleted one move up a number.
    ui.AnswerBox(mrYes);
    Run(startup->GetChild(0), Command::Delete);
    EXPECT_EQ(ui.Boxes.last().text, "Confirm to delete ?");
    EXPECT_EQ(Captions(startup), "Screen - 0");
    EXPECT_EQ(form->SelectedNode(), startup);
    EXPECT_TRUE(Consistent());
}

TEST_F(NodeEditingTest, CopyAndCutPutOnlyBlocksAPasteTakesBesideWhatTheClipboardHolds)
{
    // A menu whose description makes the largest block a paste takes.
    TwNode *big = AddSubMenu(mainMenu, "Big");
    SetDescription(big, {"x"});
    const qsizetype room = kMaxClipboardBlockBytes - MakeClipboardBlock(*big).size();
    ASSERT_EQ(room % 2, 0);
    SetDescription(big, {QString(1 + room / 2, QLatin1Char('x'))});
    form->RebuildTree();
    ui.SetClipboardData(QStringLiteral("text/plain"), "copied before");
    Run(big, Command::Copy);
    EXPECT_TRUE(ui.Boxes.isEmpty());
    QByteArray block, text;
    ASSERT_TRUE(ui.ClipboardData(form->ClipboardFormat, block));
    EXPECT_EQ(block, MakeClipboardBlock(*big));
    EXPECT_TRUE(form->Action(Command::PasteAfter)->isEnabled());
    EXPECT_TRUE(ui.ClipboardData(QStringLiteral("text/plain"), text));
    EXPECT_EQ(text, "copied before");

    // One character more: the cut is refused and deletes nothing.
    SetDescription(big, {QString(2 + room / 2, QLatin1Char('x'))});
    const QByteArray before = Saved();
    Run(big, Command::Cut);
    EXPECT_EQ(ui.BoxTexts(),
              QStringList{"The menu takes 4194306 bytes on the clipboard, more than the 4194304 "
                          "bytes a paste takes; nothing was changed."});
    EXPECT_EQ(Saved(), before);
    QByteArray held;
    ASSERT_TRUE(ui.ClipboardData(form->ClipboardFormat, held));
    EXPECT_EQ(held, block);
    EXPECT_TRUE(Consistent());
}

TEST_F(NodeEditingTest, APictureOnTheSystemClipboardSurvivesCopy)
{
    class TRealClipboard : public TQtUiServices {
    public:
        int ShowBox(const TBoxRequest &request) override
        {
            ADD_FAILURE() << request.text.toStdString();
            return mrCancel;
        }
    } real;
    TUiServicesScope scope(&real);
    QImage picture(16, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(picture);
    Run(pumps, Command::Copy);
    QByteArray block;
    EXPECT_TRUE(real.ClipboardData(form->ClipboardFormat, block));
    EXPECT_EQ(block, MakeClipboardBlock(*pumps));
    EXPECT_EQ(QGuiApplication::clipboard()->image(), picture);
    QGuiApplication::clipboard()->clear();
}

TEST_F(NodeEditingTest, ImportTakesOnlyMenuFiles)
{
    TestProject other = NewTestProject();
    AddValue(AddSubMenu(other.MainMenu, "Hall"), "Heat", "D7");
    const QByteArray menuFile = SaveMenuExportFile(*other.MainMenu, {"Hall 2"});
    const QString menuPath = WriteTestFile(dir.filePath("hall.mzm"), menuFile);
    ui.AnswerFile(menuPath);
    Run(fans, Command::ImportMenu);
    EXPECT_EQ(ui.Files.last().component, form->odImportMenu1);
    EXPECT_TRUE(DescriptionForm()->mmDescription->isReadOnly());
    TwNode *imported = fans->GetChild(1);
    ASSERT_NE(imported, nullptr);
    EXPECT_EQ(imported->Kind, nkSubMenu);
    EXPECT_EQ(Captions(fans), "Inner,Main Menu");
    EXPECT_EQ(Captions(imported->GetChild(0)), "Heat");
    EXPECT_EQ(form->SelectedNode(), imported);
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(Consistent());

    // A project file, a cut menu file and a missing file add nothing.
    form->SetModified(false);
    const QByteArray before = Saved();
    for (const QString &path :
         {WriteTestFile(dir.filePath("plant.mzm"), SaveProjectFile(*other.Root)),
          WriteTestFile(dir.filePath("cut.mzm"), menuFile.chopped(3)), dir.filePath("missing.mzm")}) {
        ui.AnswerFile(path);
        Run(fans, Command::ImportMenu);
        EXPECT_EQ(ui.Boxes.last().kind, TBoxRequest::Error);
        EXPECT_TRUE(ui.Boxes.last().text.contains(path)) << ui.Boxes.last().text.toStdString();
        EXPECT_EQ(Saved(), before);
    }
    EXPECT_EQ(ui.Boxes.size(), 3);
    EXPECT_FALSE(form->Modified());

    // A menu the reader cuts asks first.
    TwNode *level5 = MenuChain(mainMenu, 5);
    form->RebuildTree();
    ui.AnswerFile(menuPath);
    ui.AnswerBox(mrNo);
    Run(level5, Command::ImportMenu);
    EXPECT_EQ(ui.Boxes.last().id, "TruncateId");
    EXPECT_EQ(level5->GetChildCount(), 0);
    EXPECT_TRUE(Consistent());
}

TEST_F(NodeEditingTest, ExportWritesTheTypedDescriptionThenTheMenu)
{
    const QStringList typed{"Hall 2", "Pumps only"};
    QPlainTextEdit *memo = DescriptionForm()->mmDescription;
    memo->setPlainText("shown before");
    // The memo is emptied and editable for the user to type into.
    ui.OnFileChoice = [&](const TFileRequest &) {
        EXPECT_FALSE(memo->isReadOnly());
        if (memo->toPlainText().isEmpty())
            memo->setPlainText(typed.join('\n'));
    };
    const QString path = dir.filePath("pumps.mzm");
    ui.AnswerFile(path);
    Run(pumps, Command::ExportMenu);
    EXPECT_EQ(ui.Files[0].component, form->sdExportMenu1);
    EXPECT_EQ(ui.Files[0].fileName, "Pumps.mzm");
    const QByteArray pumpsFile = ReadTestFile(path);
    EXPECT_EQ(pumpsFile, SaveMenuExportFile(*pumps, typed));

    // The caption made safe for a file name; an existing file is replaced
    // only after Yes (No chooses again).
    fans->SetCaption("Fans/Hall: 2?");
    ui.AnswerFile(path);
    ui.AnswerBox(mrNo);
    ui.AnswerFile(QString());
    Run(fans, Command::ExportMenu);
    EXPECT_EQ(ui.Files[1].fileName, "Fans_Hall_ 2_.mzm");
    EXPECT_EQ(ui.Boxes.last().id, "WarnOverWrite");
    EXPECT_EQ(ReadTestFile(path), pumpsFile);
    ui.AnswerFile(path);
    ui.AnswerBox(mrYes);
    Run(mainMenu, Command::ExportMenu);
    EXPECT_EQ(ui.Files.last().fileName, "Main Menu.mzm");
    EXPECT_EQ(ReadTestFile(path), SaveMenuExportFile(*mainMenu, typed));
    EXPECT_FALSE(form->Modified());

    // A description of more lines than a menu file reads back is not written.
    ui.OnFileChoice = [&](const TFileRequest &) {
        memo->setPlainText(QString(kMaxStringsLines, QLatin1Char('\n')));
    };
    ui.AnswerFile(dir.filePath("long.mzm"));
    Run(pumps, Command::ExportMenu);
    EXPECT_EQ(ui.BoxTexts().last(),
              "The description has 65537 lines, more than the 65536 lines a description "
              "may have.");
    EXPECT_FALSE(QFile::exists(dir.filePath("long.mzm")));
}

TEST_F(NodeEditingTest, AnExportedMenuImportsAgainWholeAndOneImportWouldRefuseIsNotWritten)
{
    // Padded to the largest menu file an import reads.
    SetDescription(fans, {"x"});
    const qint64 room = TProjectDocument::MaxFileBytes - SaveMenuExportFile(*fans, {}).size();
    ASSERT_EQ(room % 2, 0);
    SetDescription(fans, {QString(1 + room / 2, QLatin1Char('x'))});
    const QString path = dir.filePath("fans.mzm");
    ui.AnswerFile(path);
    Run(fans, Command::ExportMenu);
    const QByteArray exported = ReadTestFile(path);
    EXPECT_EQ(exported.size(), TProjectDocument::MaxFileBytes);
    ui.AnswerFile(path);
    Run(mainMenu, Command::ImportMenu);
    EXPECT_TRUE(ui.Boxes.isEmpty());
    ASSERT_EQ(Captions(mainMenu), "Pumps,Fans,Reset,Fans");
    EXPECT_EQ(SaveMenuExportFile(*mainMenu->GetChild(3), {}), exported);

    // One character more: refused with the reason, and nothing written.
    SetDescription(fans, {QString(2 + room / 2, QLatin1Char('x'))});
    ui.AnswerFile(dir.filePath("more.mzm"));
    Run(fans, Command::ExportMenu);
    EXPECT_EQ(ui.BoxTexts(),
              QStringList{"The project takes 67108866 bytes, more than the 67108864 bytes a "
                          "project file may hold; it was not saved."});
    EXPECT_FALSE(QFile::exists(dir.filePath("more.mzm")));
}

TEST_F(NodeEditingTest, MovesAndDropsWithinTheLimits)
{
    TwNode *three = AddSubMenu(mainMenu, "Three");
    for (const char *caption : {"A", "B", "C"})
        AddValue(three, caption, "R1");
    TwNode *stop = AddAction(fans, "Stop", 1, "Y1");
    TwNode *level6 = MenuChain(fans, 5);
    TwNode *full = AddSubMenu(mainMenu, "Full");
    for (int i = 0; i < 10; ++i)
        AddValue(full, QStringLiteral("F%1").arg(i), "R2");
    TwNode *empty = AddSubMenu(mainMenu, "Empty");
    form->RebuildTree();

    // Moves keep the items and their expansion.
    TTreeBinder::ItemOf(fans)->setExpanded(true);
    Run(fans, Command::MoveUp);
    Run(pumps, Command::MoveDown);
    EXPECT_EQ(Captions(mainMenu), "Fans,Reset,Pumps,Three,Full,Empty");
    EXPECT_EQ(form->SelectedNode(), pumps);
    EXPECT_TRUE(Expanded(fans));
    EXPECT_TRUE(Consistent());

    auto drop = [this](TwNode *dragged, TwNode *target, const QObject *source = nullptr) {
        form->SelectNode(dragged);
        form->SetModified(false);
        return form->tvProjectDragDrop(source ? source : form->tvProject, TTreeBinder::ItemOf(target));
    };
    EXPECT_TRUE(drop(three->GetChild(0), three->GetChild(2)));
    EXPECT_EQ(Captions(three), "B,A,C");
    EXPECT_TRUE(drop(three->GetChild(2), three->GetChild(0)));
    EXPECT_EQ(Captions(three), "C,B,A");
    // Onto itself: the same order, yet the project counts as changed.
    EXPECT_TRUE(drop(three->GetChild(1), three->GetChild(1)));
    EXPECT_EQ(Captions(three), "C,B,A");
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(drop(flow, three->GetChild(0)));
    EXPECT_EQ(Captions(three), "Flow,C,B,A");
    EXPECT_EQ(Captions(pumps), "Speed");
    EXPECT_TRUE(drop(pumps, stop));
    EXPECT_EQ(Captions(fans), "Inner,Pumps,Stop,L0");
    EXPECT_EQ(form->SelectedNode(), pumps);
    EXPECT_TRUE(drop(empty, level6));  // an empty sub-menu may go to the last level
    EXPECT_TRUE(Consistent());

    const QByteArray before = Saved();
    const struct {
        TwNode *dragged;
        TwNode *target;
        const QObject *source;
        const char *why;
    } refused[] = {
        {flow, pumps, nullptr, "a value onto a sub-menu"},
        {fans, stop, nullptr, "into its own subtree"},
        {mainMenu, fans, nullptr, "a fixed node"},
        {reset, fans, form->lbSearchResult, "from outside the tree"},
        {three->GetChild(0), full->GetChild(3), nullptr, "into a menu of 10"},
        {three, level6, nullptr, "its values below the last level kept"},
    };
    for (const auto &r : refused) {
        EXPECT_FALSE(drop(r.dragged, r.target, r.source)) << r.why;
        EXPECT_FALSE(
            form->tvProjectDragOver(r.source ? r.source : form->tvProject, TTreeBinder::ItemOf(r.target)))
            << r.why;
    }
    EXPECT_EQ(Saved(), before);
}

TEST_F(NodeEditingTest, ASlowUpwardDragMovesThePressedItem)
{
    form->RebuildTree();
    form->show();
    TTreeBinder::ItemOf(mainMenu)->setExpanded(true);
    QWidget *viewport = form->tvProject->viewport();
    // Pressed near the top of its row, so that the pointer is over the row
    // above before it has moved the drag distance.
    const QRect row = form->tvProject->visualItemRect(TTreeBinder::ItemOf(reset));
    const QPoint start(row.left() + 20, row.top() + 2);
    const int distance = QApplication::startDragDistance();
    QTest::mousePress(viewport, Qt::LeftButton, {}, start);
    ASSERT_EQ(form->SelectedNode(), reset);
    ui.AnswerDrag([&](QDrag &drag) {
        EXPECT_EQ(form->SelectedNode(), reset);
        // The user goes on up to Pumps and drops there.
        return form->tvProjectDragDrop(drag.source(), TTreeBinder::ItemOf(pumps)) ? Qt::MoveAction
                                                                                  : Qt::IgnoreAction;
    });
    for (int up = 1; up <= distance + 3; ++up) {
        QTest::mouseMove(viewport, start - QPoint(0, up));
        if (up < distance) {
            EXPECT_EQ(form->SelectedNode(), reset) << up;
        }
    }
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, start - QPoint(0, distance + 3));
    EXPECT_EQ(Captions(mainMenu), "Reset,Pumps,Fans");
    EXPECT_EQ(form->SelectedNode(), reset);
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(Consistent());
}

TEST_F(NodeEditingTest, DeleteLeafAsksAndDeleteNodePutsTheChildrenInPlace)
{
    ui.AnswerBox(mrNo);
    Run(pumps, Command::DeleteLeaf);
    EXPECT_EQ(ui.Boxes.last().id, "WarnDeleteLeafId");
    EXPECT_EQ(Captions(pumps), "Flow,Speed");
    ui.AnswerBox(mrYes);
    Run(pumps, Command::DeleteLeaf);
    EXPECT_EQ(Captions(pumps), "");
    EXPECT_EQ(form->SelectedNode(), pumps);

    // X, M(A, B), Y gives X, A, B, Y with A selected, and no question.
    TwNode *hall = AddSubMenu(mainMenu, "Hall");
    AddSubMenu(hall, "X");
    TwNode *m = AddSubMenu(hall, "M");
    TwNode *a = AddSubMenu(m, "A");
    AddAction(a, "A1", 1, "Y2");
    AddAction(m, "B", 1, "Y3");
    AddAction(hall, "Y", 1, "Y4");
    form->RebuildTree();
    Run(m, Command::DeleteChar);
    EXPECT_EQ(Captions(hall), "X,A,B,Y");
    EXPECT_EQ(form->SelectedNode(), a);
    EXPECT_EQ(ui.Boxes.size(), 2);
    EXPECT_TRUE(Consistent());
}

TEST_F(NodeEditingTest, WorkersRefuseWhatTheirRulesForbid)
{
    // Below a sub-menu at the last level a project file keeps nothing.
    TwNode *level6 = MenuChain(fans, 5);
    form->RebuildTree();
    Run(flow, Command::Copy);
    form->SelectNode(level6);
    EXPECT_FALSE(form->Action(Command::AddValue)->isEnabled());
    EXPECT_FALSE(form->EditValueNode(true));
    EXPECT_FALSE(form->EditListNode(true));
    EXPECT_FALSE(form->PasteNode(TFormMain::PasteUnder));
    // The fixed nodes are never cut, deleted or dissolved.
    form->SelectNode(mainMenu);
    EXPECT_FALSE(form->CutNode());
    EXPECT_FALSE(form->DeleteNode(false));
    EXPECT_FALSE(form->atDeleteCharExecute());
    // A menu of values takes no imported menu: no file is asked for.
    form->SelectNode(pumps);
    EXPECT_FALSE(form->ImportMenu());
    EXPECT_TRUE(ui.Dialogs.isEmpty());
    EXPECT_TRUE(ui.Files.isEmpty());
    EXPECT_FALSE(form->Modified());

    // A search line whose node was freed names none, even when a new node
    // takes the freed node's memory.
    form->AddSearchResultLine("0.0.0     Flow", flow);
    form->lbSearchResultClick(form->lbSearchResult->item(0));
    EXPECT_EQ(form->SelectedNode(), flow);
    ui.AnswerBox(mrYes);
    Run(flow, Command::Delete);
    ui.AnswerDialog([](QDialog &) { return int(mrOk); });
    Run(pumps, Command::AddValue);
    form->lbSearchResultDblClick(form->lbSearchResult->item(0));
    EXPECT_EQ(form->SelectedNode(), pumps);
    EXPECT_EQ(form->SearchResultNode(form->lbSearchResult->item(0)), nullptr);
}
