// The main window's editing of the project tree: adding and editing items
// through their dialogs, menu import and export, the clipboard, delete, moves,
// drag and drop, Delete Leaf and Delete Node; run headless through scripted
// UI services. After each edit the view shows the node tree and the project
// reads back byte for byte.
#include "MainWindowFixture.h"

#include "Alarmfrm.h"
#include "ApOpenLite.h"
#include "Configfm.h"
#include "Deviceinfofm.h"
#include "Listform.h"
#include "Mainform.h"
#include "Menuform.h"
#include "NodeStream.h"
#include "PanelLcdDriver.h"
#include "PictureData.h"
#include "ProjectBuilder.h"
#include "Projectpropfrm.h"
#include "Screenfrm.h"
#include "Strscrfm.h"
#include "TestFiles.h"
#include "TreeViewCheck.h"
#include "Ufmaction.h"
#include "Valuefrm.h"

#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace {

QStringList Captions(const TwNode *parent)
{
    QStringList captions;
    for (int i = 0; i < parent->GetChildCount(); ++i)
        captions.append(parent->GetChild(i)->GetDisplayCaption());
    return captions;
}

QStringList Split(const char *captions)
{
    return QString::fromUtf8(captions).split(QLatin1Char(','));
}

// A chain of sub-menus below parent; the last one.
TwNode *MenuChain(TwNode *parent, int depth)
{
    for (int i = 0; i < depth; ++i)
        parent = AddSubMenu(parent, QStringLiteral("L%1").arg(i));
    return parent;
}

// A project with the Main Menu holding Pumps (values Flow, Speed), Fans
// (sub-menu Inner) and the action Reset; two alarms and two screens.
class NodeEditingTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        form = std::make_unique<TFormMain>();
        TestProject p = NewTestProject();
        mainMenu = p.MainMenu;
        pumps = AddSubMenu(mainMenu, QStringLiteral("Pumps"));
        flow = AddValue(pumps, QStringLiteral("Flow"), QStringLiteral("R100"));
        AddValue(pumps, QStringLiteral("Speed"), QStringLiteral("R101"));
        fans = AddSubMenu(mainMenu, QStringLiteral("Fans"));
        AddSubMenu(fans, QStringLiteral("Inner"));
        reset = AddAction(mainMenu, QStringLiteral("Reset"), 1, QStringLiteral("Y0"));
        alarms = p.Alarms;
        AddAlarm(alarms, 1, {QStringLiteral("Oil low")});
        AddAlarm(alarms, 7, {QStringLiteral("Door open")});
        startup = p.StartupScreen;
        AddStartupPicture(startup, PictureHex(0, 0x0F));
        AddStartupPicture(startup, PictureHex(0, 0xF0));
        saver = p.ScreenSaver;
        saver->SetProp(QStringLiteral("ImageData"), PictureHex(0, 0x81));
        configuration = p.Configuration;
        device = p.DeviceInfo;
        form->Document.ReplaceRoot(std::move(p.Root));
    }

    void TearDown() override
    {
        form.reset();
        for (QWidget *dialog :
             QList<QWidget *>{FormMenu, FormValue, FormList, fmAction, FormAlarm, FormScreen,
                              FormStartupScreen, FormConfig, FormDeviceInfo, FormDescription})
            delete dialog;
        FormMenu = nullptr;
        FormValue = nullptr;
        FormList = nullptr;
        fmAction = nullptr;
        FormAlarm = nullptr;
        FormScreen = nullptr;
        FormStartupScreen = nullptr;
        FormConfig = nullptr;
        FormDeviceInfo = nullptr;
        FormDescription = nullptr;
        SelectPanelModel(0);
        MainWindowTest::TearDown();
    }

    // Runs a command on node as the user would (nothing when it is off).
    void Run(TwNode *node, Command command)
    {
        form->SelectNode(node);
        form->Action(command)->trigger();
    }

    QByteArray Saved() const { return SaveProjectFile(*form->Root()); }

    // The view shows the node tree, and the project reads back as it was saved.
    ::testing::AssertionResult Consistent() const
    {
        if (::testing::AssertionResult view = TreeMatchesView(form->Root(), form->tvProject); !view)
            return view;
        bool truncated = false;
        const QByteArray saved = Saved();
        const std::unique_ptr<TwNode> loaded = LoadProjectFile(saved, truncated);
        if (truncated || SaveProjectFile(*loaded) != saved)
            return ::testing::AssertionFailure() << "the project does not read back as saved";
        return ::testing::AssertionSuccess();
    }

    bool Expanded(const TwNode *node) const { return TTreeBinder::ItemOf(node)->isExpanded(); }

    std::unique_ptr<TFormMain> form;
    TwNode *mainMenu, *pumps, *flow, *fans, *reset, *alarms, *startup, *saver, *configuration, *device;
};

}  // namespace

TEST_F(NodeEditingTest, AddMakesTheNodeBeforeItsDialogAndCancelTakesItAway)
{
    struct Row {
        TwNode *parent;
        Command command;
        int32_t kind;
        const char *title;
        const char *startKey;
        const char *startValue;
    };
    const Row rows[] = {
        {mainMenu, Command::AddMenu, nkSubMenu, "Add Menu", nullptr, nullptr},
        {mainMenu, Command::AddAction, nkAction, "Add Action", nullptr, nullptr},
        {pumps, Command::AddValue, nkValue, "Add Value", "DecimalPoint", "0"},
        {pumps, Command::AddList, nkList, "Add List", "Max", "2"},
        {alarms, Command::AddAlarm, nkAlarm, "Add Alarm", nullptr, nullptr},
        {startup, Command::AddScreen, nkScreen, "Add Screen", nullptr, nullptr},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.title);
        const QByteArray before = Saved();
        const int count = row.parent->GetChildCount();
        // The dialog works on the parent's new last child, with its start values.
        ui.AnswerDialog([&](QDialog &dialog) {
            const TwNode *node = static_cast<TItemDialog &>(dialog).Node();
            EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(row.title));
            EXPECT_EQ(row.parent->GetChild(count), node);
            EXPECT_EQ(node->Kind, row.kind);
            if (row.startKey) {
                EXPECT_EQ(node->GetProp(QLatin1String(row.startKey)), QLatin1String(row.startValue));
            }
            return int(mrCancel);
        });
        Run(row.parent, row.command);
        EXPECT_EQ(Saved(), before);
        EXPECT_FALSE(form->Modified());
        EXPECT_TRUE(Consistent());

        ui.AnswerDialog([](QDialog &) { return int(mrOk); });
        Run(row.parent, row.command);
        ASSERT_EQ(row.parent->GetChildCount(), count + 1);
        EXPECT_EQ(row.parent->GetChild(count)->Kind, row.kind);
        // The selection stays on the parent, now expanded.
        EXPECT_EQ(form->SelectedNode(), row.parent);
        EXPECT_TRUE(Expanded(row.parent));
        EXPECT_TRUE(form->Modified());
        EXPECT_TRUE(Consistent());
        form->SetModified(false);
    }
}

TEST_F(NodeEditingTest, EditRunsTheDialogOfTheKindAndMarksModifiedOnOk)
{
    // A caption typed and confirmed shows in the tree.
    ui.AnswerDialog([](QDialog &dialog) {
        auto &menu = static_cast<TFormMenu &>(dialog);
        menu.edtCaption->setText(QStringLiteral("Pumps of hall 2"));
        menu.btOKClick();
        return menu.result();
    });
    Run(pumps, Command::Edit);
    EXPECT_EQ(TTreeBinder::ItemOf(pumps)->text(0), QStringLiteral("Pumps of hall 2"));
    EXPECT_TRUE(Consistent());

    struct Row {
        TwNode *node;
        const char *dialog;
        const char *title;
    };
    const Row rows[] = {
        {flow, "FormValue", "Edit Value"},
        {reset, "fmAction", "Edit Button"},
        {alarms->GetChild(1), "FormAlarm", "Edit Alarm"},
        {startup->GetChild(0), "FormScreen", "Edit Screen"},
        {startup, "FormStartupScreen", "Startup Screen"},
        {saver, "FormScreen", "Screen saver"},
        {configuration, "FormConfig", "Configuration"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.dialog);
        const QByteArray before = Saved();
        form->SetModified(false);
        // Cancel leaves the node and the mark; OK without a change marks it.
        ui.AnswerDialog([](QDialog &) { return int(mrCancel); });
        Run(row.node, Command::Edit);
        EXPECT_FALSE(form->Modified());
        ui.AnswerDialog([&](QDialog &dialog) {
            EXPECT_EQ(dialog.objectName(), QLatin1String(row.dialog));
            EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(row.title));
            return int(mrOk);
        });
        Run(row.node, Command::Edit);
        EXPECT_TRUE(form->Modified());
        EXPECT_EQ(form->SelectedNode(), row.node);
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
    const QString picture = startup->GetChild(1)->GetProp(QStringLiteral("ImageData"));
    const QString saverPicture = saver->GetProp(QStringLiteral("ImageData"));

    chooseModel(1);
    EXPECT_EQ(startup->GetChild(1)->GetProp(QStringLiteral("ImageData")), ExpandPicture64To96(picture));
    EXPECT_EQ(saver->GetProp(QStringLiteral("ImageData")), ExpandPicture64To96(saverPicture));
    EXPECT_EQ(PanelModelId, 1u);
    EXPECT_TRUE(form->Modified());

    // The same model again converts nothing; back to 128 x 64 gives the
    // pictures back.
    const QByteArray converted = Saved();
    chooseModel(1);
    EXPECT_EQ(Saved(), converted);
    chooseModel(0);
    EXPECT_EQ(startup->GetChild(1)->GetProp(QStringLiteral("ImageData")), picture);
    EXPECT_EQ(PanelModelId, 0u);

    // A model number no panel has stands for the first model: confirming it
    // as that model is no change.
    device->SetProp(QStringLiteral("DeviceID"), QStringLiteral("7"));
    const QByteArray before = Saved();
    chooseModel(0);
    EXPECT_EQ(startup->GetChild(1)->GetProp(QStringLiteral("ImageData")), picture);
    EXPECT_NE(Saved(), before);  // only "DeviceID" was rewritten
    EXPECT_TRUE(Consistent());
}

TEST_F(NodeEditingTest, CopyAndPasteBeforeAfterAndUnder)
{
    // The Main Menu comes back as a sub-menu with its caption and subtree.
    Run(mainMenu, Command::Copy);
    EXPECT_EQ(form->GetClipboardNodeKind(), nkSubMenu);
    QByteArray original;
    WriteNodeRecord(*mainMenu, original, nkSubMenu);
    Run(fans, Command::PasteUnder);
    TwNode *pasted = fans->GetChild(1);
    QByteArray copy;
    WriteNodeRecord(*pasted, copy);
    EXPECT_EQ(copy, original);
    EXPECT_EQ(form->SelectedNode(), pasted);
    EXPECT_TRUE(Expanded(fans));
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(Consistent());

    // A value before the first and after the last value.
    Run(flow, Command::Copy);
    Run(flow, Command::PasteBefore);
    Run(pumps->GetChild(2), Command::PasteAfter);
    EXPECT_EQ(Captions(pumps), Split("Flow,Flow,Speed,Flow"));
    EXPECT_EQ(form->SelectedNode(), pumps->GetChild(3));
    EXPECT_TRUE(Consistent());
}

TEST_F(NodeEditingTest, APasteTheReaderCutsAsksFirst)
{
    TwNode *level5 = MenuChain(mainMenu, 5);
    TwNode *deep = MenuChain(mainMenu, 2);
    AddValue(deep, QStringLiteral("Level"), QStringLiteral("R1"));
    form->RebuildTree();
    Run(deep->Parent, Command::Copy);

    const QByteArray before = Saved();
    ui.AnswerBox(mrNo);
    Run(level5, Command::PasteUnder);
    EXPECT_EQ(ui.Boxes.last().id, QStringLiteral("warn_too_depth"));
    EXPECT_EQ(Saved(), before);
    EXPECT_FALSE(form->Modified());

    ui.AnswerBox(mrYes);
    Run(level5, Command::PasteUnder);
    ASSERT_EQ(level5->GetChildCount(), 1);
    EXPECT_EQ(level5->GetChild(0)->GetChildCount(), 0);
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(Consistent());

    // A damaged block is no block: nothing to paste.
    ui.SetClipboardData(form->ClipboardFormat, QByteArray::fromHex("0d00000066000000640000000500000041"));
    EXPECT_EQ(form->GetClipboardNodeKind(), 0);
    EXPECT_FALSE(form->Action(Command::PasteUnder)->isEnabled());
    form->SelectNode(pumps);
    EXPECT_FALSE(form->PasteNode(TFormMain::PasteUnder));
}

TEST_F(NodeEditingTest, CutDeletesOnlyWhatReachedTheClipboard)
{
    ui.ClipboardRefuses = true;
    const QByteArray before = Saved();
    Run(flow, Command::Cut);
    EXPECT_EQ(Saved(), before);
    ASSERT_EQ(ui.Boxes.size(), 1);
    EXPECT_EQ(ui.Boxes[0].text, QStringLiteral("The clipboard did not take the copy; nothing was changed."));
    EXPECT_FALSE(form->Modified());

    // A cut asks nothing.
    ui.ClipboardRefuses = false;
    Run(flow, Command::Cut);
    EXPECT_EQ(ui.Boxes.size(), 1);
    EXPECT_EQ(Captions(pumps), Split("Speed"));
    EXPECT_EQ(form->SelectedNode(), pumps);
    EXPECT_EQ(form->GetClipboardNodeKind(), nkValue);
    EXPECT_TRUE(Consistent());
}

TEST_F(NodeEditingTest, DeleteAsksByChildren)
{
    const QByteArray before = Saved();
    ui.AnswerBox(mrNo);
    Run(pumps, Command::Delete);
    EXPECT_EQ(ui.Boxes.last().text,
              QStringLiteral("The child nodes will be also deleted\nConfirm to delete ?"));
    EXPECT_EQ(Saved(), before);

    // The screens after a deleted one move up a number.
    ui.AnswerBox(mrYes);
    Run(startup->GetChild(0), Command::Delete);
    EXPECT_EQ(ui.Boxes.last().text, QStringLiteral("Confirm to delete ?"));
    EXPECT_EQ(Captions(startup), Split("Screen - 0"));
    EXPECT_EQ(form->SelectedNode(), startup);
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(Consistent());
}

TEST_F(NodeEditingTest, ImportTakesOnlyMenuFiles)
{
    TestProject other = NewTestProject();
    AddValue(AddSubMenu(other.MainMenu, QStringLiteral("Hall")), QStringLiteral("Heat"),
             QStringLiteral("D7"));
    const QByteArray menuFile = SaveMenuExportFile(*other.MainMenu, {QStringLiteral("Hall 2")});
    const QString menuPath = WriteTestFile(dir.filePath(QStringLiteral("hall.mzm")), menuFile);

    ui.AnswerFile(menuPath);
    Run(fans, Command::ImportMenu);
    EXPECT_EQ(ui.Files.last().component, form->odImportMenu1);
    EXPECT_TRUE(DescriptionForm()->mmDescription->isReadOnly());
    TwNode *imported = fans->GetChild(1);
    ASSERT_NE(imported, nullptr);
    EXPECT_EQ(imported->Kind, nkSubMenu);
    EXPECT_EQ(imported->Caption(), QStringLiteral("Main Menu"));
    EXPECT_EQ(Captions(imported->GetChild(0)), Split("Heat"));
    EXPECT_EQ(form->SelectedNode(), imported);
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(Consistent());

    // A project file, a cut menu file and a missing file add nothing.
    form->SetModified(false);
    const QByteArray before = Saved();
    const QString refused[] = {
        WriteTestFile(dir.filePath(QStringLiteral("plant.mzm")), SaveProjectFile(*other.Root)),
        WriteTestFile(dir.filePath(QStringLiteral("cut.mzm")), menuFile.left(menuFile.size() - 3)),
        dir.filePath(QStringLiteral("missing.mzm")),
    };
    for (const QString &path : refused) {
        const qsizetype boxes = ui.Boxes.size();
        ui.AnswerFile(path);
        Run(fans, Command::ImportMenu);
        ASSERT_EQ(ui.Boxes.size(), boxes + 1) << path.toStdString();
        EXPECT_EQ(ui.Boxes.last().kind, TBoxRequest::Error);
        EXPECT_TRUE(ui.Boxes.last().text.contains(path)) << ui.Boxes.last().text.toStdString();
        EXPECT_EQ(Saved(), before);
        EXPECT_FALSE(form->Modified());
    }
    EXPECT_TRUE(Consistent());

    // A menu the reader cuts asks; No adds nothing.
    TwNode *level5 = MenuChain(mainMenu, 5);
    form->RebuildTree();
    ui.AnswerFile(menuPath);
    ui.AnswerBox(mrNo);
    Run(level5, Command::ImportMenu);
    EXPECT_EQ(level5->GetChildCount(), 0);
    EXPECT_EQ(ui.Boxes.last().id, QStringLiteral("TruncateId"));
    EXPECT_FALSE(form->Modified());
}

TEST_F(NodeEditingTest, ExportWritesTheHeaderWithTheTypedDescriptionThenTheMenu)
{
    // The memo is emptied and made editable for the export; the user types.
    const QStringList typed{QStringLiteral("Hall 2"), QStringLiteral("Pumps only")};
    QPlainTextEdit *memo = DescriptionForm()->mmDescription;
    memo->setPlainText(QStringLiteral("shown before"));
    ui.OnFileChoice = [&](const TFileRequest &request) {
        EXPECT_FALSE(memo->isReadOnly());
        EXPECT_EQ(request.attachedForm, DescriptionForm());
        if (memo->toPlainText().isEmpty())
            memo->setPlainText(typed.join(QLatin1Char('\n')));
    };
    const QString path = dir.filePath(QStringLiteral("pumps.mzm"));
    ui.AnswerFile(path);
    Run(pumps, Command::ExportMenu);
    EXPECT_EQ(ui.Files[0].component, form->sdExportMenu1);
    EXPECT_EQ(ui.Files[0].fileName, QStringLiteral("Pumps.mzm"));
    const QByteArray pumpsFile = ReadTestFile(path);
    EXPECT_EQ(pumpsFile, SaveMenuExportFile(*pumps, typed));
    EXPECT_FALSE(form->Modified());

    // The caption made safe for a file name; an existing file is replaced
    // only after Yes (No chooses again).
    fans->SetCaption(QStringLiteral("Fans/Hall: 2?"));
    ui.AnswerFile(path);
    ui.AnswerBox(mrNo);
    ui.AnswerFile(QString());
    Run(fans, Command::ExportMenu);
    EXPECT_EQ(ui.Files[1].fileName, QStringLiteral("Fans_Hall_ 2_.mzm"));
    EXPECT_EQ(ui.Boxes.last().id, QStringLiteral("WarnOverWrite"));
    EXPECT_EQ(ReadTestFile(path), pumpsFile);
    ui.AnswerFile(path);
    ui.AnswerBox(mrYes);
    Run(mainMenu, Command::ExportMenu);
    EXPECT_EQ(ui.Files.last().fileName, QStringLiteral("Main Menu.mzm"));
    EXPECT_EQ(ReadTestFile(path), SaveMenuExportFile(*mainMenu, typed));
}

TEST_F(NodeEditingTest, MovesKeepTheItemsAndTheirExpansion)
{
    TTreeBinder::ItemOf(fans)->setExpanded(true);
    Run(fans, Command::MoveUp);
    EXPECT_EQ(Captions(mainMenu), Split("Fans,Pumps,Reset"));
    EXPECT_EQ(form->SelectedNode(), fans);
    EXPECT_TRUE(Expanded(fans));
    EXPECT_TRUE(form->Modified());
    Run(pumps, Command::MoveDown);
    EXPECT_EQ(Captions(mainMenu), Split("Fans,Reset,Pumps"));
    // Nothing moves past the ends.
    form->SelectNode(pumps);
    EXPECT_FALSE(form->atMoveDownExecute());
    form->SelectNode(mainMenu);
    EXPECT_FALSE(form->atMoveUpExecute());

    // Screens keep their numbers by place.
    const QString first = startup->GetChild(0)->GetProp(QStringLiteral("ImageData"));
    Run(startup->GetChild(0), Command::MoveDown);
    EXPECT_EQ(startup->GetChild(1)->GetProp(QStringLiteral("ImageData")), first);
    EXPECT_TRUE(Consistent());
}

TEST_F(NodeEditingTest, DropLandsBeforeTheTargetWithinTheLimits)
{
    TwNode *three = AddSubMenu(mainMenu, QStringLiteral("Three"));
    for (const char *caption : {"A", "B", "C"})
        AddValue(three, QString::fromUtf8(caption), QStringLiteral("R1"));
    TwNode *stop = AddAction(fans, QStringLiteral("Stop"), 1, QStringLiteral("Y1"));
    TwNode *level6 = MenuChain(fans, 5);
    TwNode *full = AddSubMenu(mainMenu, QStringLiteral("Full"));
    for (int i = 0; i < 10; ++i)
        AddValue(full, QStringLiteral("F%1").arg(i), QStringLiteral("R2"));
    TwNode *empty = AddSubMenu(mainMenu, QStringLiteral("Empty"));
    form->RebuildTree();

    auto drop = [this](TwNode *dragged, TwNode *target, const QObject *source = nullptr) {
        form->SelectNode(dragged);
        form->SetModified(false);
        return form->tvProjectDragDrop(source ? source : form->tvProject, TTreeBinder::ItemOf(target));
    };
    EXPECT_TRUE(drop(three->GetChild(0), three->GetChild(2)));
    EXPECT_EQ(Captions(three), Split("B,A,C"));
    EXPECT_TRUE(drop(three->GetChild(2), three->GetChild(0)));
    EXPECT_EQ(Captions(three), Split("C,B,A"));
    // Onto itself: no change of order, yet the project counts as changed.
    EXPECT_TRUE(drop(three->GetChild(1), three->GetChild(1)));
    EXPECT_EQ(Captions(three), Split("C,B,A"));
    EXPECT_TRUE(form->Modified());
    // Into another menu, before the target.
    EXPECT_TRUE(drop(flow, three->GetChild(0)));
    EXPECT_EQ(Captions(three), Split("Flow,C,B,A"));
    EXPECT_EQ(Captions(pumps), Split("Speed"));
    EXPECT_TRUE(drop(pumps, stop));
    EXPECT_EQ(Captions(fans), Split("Inner,Pumps,Stop,L0"));
    EXPECT_EQ(form->SelectedNode(), pumps);
    EXPECT_TRUE(Expanded(fans));
    EXPECT_TRUE(Consistent());

    const QByteArray before = Saved();
    struct Refused {
        TwNode *dragged;
        TwNode *target;
        const QObject *source;
        const char *why;
    };
    const Refused refused[] = {
        {flow, pumps, nullptr, "a value onto a sub-menu"},
        {fans, stop, nullptr, "into its own subtree"},
        {mainMenu, fans, nullptr, "a fixed node"},
        {reset, fans, form->lbSearchResult, "from outside the tree"},
        {three->GetChild(0), full->GetChild(3), nullptr, "into a menu of 10"},
        {three, level6, nullptr, "its values below the last level kept"},
    };
    for (const Refused &r : refused) {
        form->SelectNode(r.dragged);
        EXPECT_FALSE(
            form->tvProjectDragOver(r.source ? r.source : form->tvProject, TTreeBinder::ItemOf(r.target)))
            << r.why;
        EXPECT_FALSE(drop(r.dragged, r.target, r.source)) << r.why;
        EXPECT_EQ(Saved(), before) << r.why;
    }
    // An empty sub-menu may go to the last level.
    EXPECT_TRUE(drop(empty, level6));

    // A drop of something dragged from elsewhere changes nothing.
    const QByteArray now = Saved();
    QMimeData data;
    data.setData(QStringLiteral("application/x-zeld-tree-item"), QByteArray("1"));
    QDropEvent event(form->tvProject->visualItemRect(TTreeBinder::ItemOf(mainMenu)).center(), Qt::MoveAction,
                     &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->tvProject->viewport(), &event);
    EXPECT_EQ(Saved(), now);
    EXPECT_TRUE(Consistent());
}

TEST_F(NodeEditingTest, DeleteLeafAsksAndDeleteNodePutsTheChildrenInPlace)
{
    const QByteArray before = Saved();
    ui.AnswerBox(mrNo);
    Run(pumps, Command::DeleteLeaf);
    EXPECT_EQ(ui.Boxes.last().id, QStringLiteral("WarnDeleteLeafId"));
    EXPECT_EQ(Saved(), before);
    ui.AnswerBox(mrYes);
    Run(pumps, Command::DeleteLeaf);
    EXPECT_EQ(pumps->GetChildCount(), 0);
    EXPECT_EQ(form->SelectedNode(), pumps);
    EXPECT_TRUE(form->Modified());

    // X, M(A, B), Y gives X, A, B, Y with A selected, and no question.
    TwNode *hall = AddSubMenu(mainMenu, QStringLiteral("Hall"));
    AddSubMenu(hall, QStringLiteral("X"));
    TwNode *m = AddSubMenu(hall, QStringLiteral("M"));
    TwNode *a = AddSubMenu(m, QStringLiteral("A"));
    AddAction(a, QStringLiteral("A1"), 1, QStringLiteral("Y2"));
    AddAction(m, QStringLiteral("B"), 1, QStringLiteral("Y3"));
    AddAction(hall, QStringLiteral("Y"), 1, QStringLiteral("Y4"));
    form->RebuildTree();
    TTreeBinder::ItemOf(a)->setExpanded(true);
    const qsizetype boxes = ui.Boxes.size();
    Run(m, Command::DeleteChar);
    EXPECT_EQ(Captions(hall), Split("X,A,B,Y"));
    EXPECT_EQ(form->SelectedNode(), a);
    EXPECT_TRUE(Expanded(a));
    EXPECT_EQ(ui.Boxes.size(), boxes);
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
    // The fixed nodes are never cut, deleted or moved.
    form->SelectNode(mainMenu);
    EXPECT_FALSE(form->CutNode());
    EXPECT_FALSE(form->DeleteNode(false));
    EXPECT_FALSE(form->atDeleteCharExecute());
    // A menu of values takes no imported menu: no file is asked for.
    form->SelectNode(pumps);
    EXPECT_FALSE(form->ImportMenu());
    EXPECT_EQ(level6->GetChildCount(), 0);
    EXPECT_TRUE(ui.Dialogs.isEmpty());
    EXPECT_TRUE(ui.Files.isEmpty());
    EXPECT_FALSE(form->Modified());
}

TEST_F(NodeEditingTest, ASearchLineWhoseNodeWasDeletedDoesNothing)
{
    form->AddSearchResultLine(QStringLiteral("0.0.0     Flow"), flow);
    form->AddSearchResultLine(QStringLiteral("Total 1 search result(s) found"), nullptr);
    QListWidget *lines = form->lbSearchResult;
    form->lbSearchResultClick(lines->item(0));
    EXPECT_EQ(form->SelectedNode(), flow);

    ui.AnswerBox(mrYes);
    Run(flow, Command::Delete);
    // A new node may well take the freed node's memory.
    ui.AnswerDialog([](QDialog &) { return int(mrOk); });
    Run(pumps, Command::AddValue);
    form->SelectNode(reset);
    form->lbSearchResultDblClick(lines->item(0));
    form->lbSearchResultClick(lines->item(1));
    EXPECT_EQ(form->SelectedNode(), reset);
    EXPECT_EQ(form->SearchResultNode(lines->item(0)), nullptr);
}
