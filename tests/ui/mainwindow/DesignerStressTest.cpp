// The designer under a long random session: commands, tree clicks and
// double-clicks, drags and every question, file choice and dialog answered at
// random, starting from the demo project. After each step the tree view
// shows the node tree and the tree keeps its rules; at the end the project
// reads back byte for byte, through a file and the main window.
//
// ZEL_STRESS_STEPS (default 20000, about 11000 of them commands) and
// ZEL_STRESS_SEED (default fixed) allow
// longer or other runs: ZEL_STRESS_STEPS=200000 build/tests/test_ui
// --gtest_filter='DesignerStress*'.
#include "MainWindowFixture.h"

#include "DemoProject.h"
#include "NodeStream.h"
#include "PanelLcdDriver.h"
#include "TestFiles.h"
#include "TreeRules.h"
#include "TreeViewCheck.h"
#include "dialogs/ActionDialog.h"
#include "dialogs/AlarmDialog.h"
#include "dialogs/CompileResultDialog.h"
#include "dialogs/ConfigurationDialog.h"
#include "dialogs/DescriptionForm.h"
#include "dialogs/DeviceInfoDialog.h"
#include "dialogs/ListDialog.h"
#include "dialogs/MenuDialog.h"
#include "dialogs/PictureDialog.h"
#include "dialogs/SearchDialog.h"
#include "dialogs/StartupScreenDialog.h"
#include "dialogs/ValueDialog.h"
#include "mainwindow/MainWindow.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <random>

namespace {

int EnvironmentNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

class DesignerStress : public DesignerWindowTest {
protected:
    int Random(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    bool Chance(int percent) { return Random(100) < percent; }
    QString Word()
    {
        static const char *const kWords[] = {"Pump",  "Fan",   "Valve", "Tank", "Oil",
                                             "Level", "Speed", "Heat",  "Door", "Belt",
                                             "Mix",   "Dose",  "Flow",  "Step", "Line"};
        return QLatin1String(kWords[Random(int(std::size(kWords)))]) + QString::number(Random(100));
    }

    // Every node of the project in pre-order.
    QList<TwNode *> Nodes() const
    {
        QList<TwNode *> nodes;
        QList<TwNode *> pending{form->Root()};
        while (!pending.isEmpty()) {
            TwNode *node = pending.takeLast();
            if (node != form->Root())
                nodes.append(node);
            for (int i = node->GetChildCount() - 1; i >= 0; --i)
                pending.append(node->GetChild(i));
        }
        return nodes;
    }
    TwNode *AnyNode()
    {
        const QList<TwNode *> nodes = Nodes();
        return nodes.isEmpty() ? nullptr : nodes[Random(int(nodes.size()))];
    }

    // A click with the mouse on a node's item: on its text, or beside it.
    void ClickItem(TwNode *node, bool twice)
    {
        QTreeWidgetItem *item = TTreeBinder::ItemOf(node);
        for (QTreeWidgetItem *p = item->parent(); p; p = p->parent())
            p->setExpanded(true);
        form->tvProject->scrollToItem(item);
        const QRect row = form->tvProject->visualItemRect(item);
        const QPoint at(Chance(80) ? row.left() + 24 : row.right() - 2, row.center().y());
        if (twice)
            QTest::mouseDClick(form->tvProject->viewport(), Qt::LeftButton, {}, at);
        else
            QTest::mouseClick(form->tvProject->viewport(), Qt::LeftButton, {}, at);
    }

    int AnswerBox(const TBoxRequest &request)
    {
        const int answers[] = {mrYes, mrNo, mrCancel};
        return answers[Random(request.mode == 1 ? 3 : 2)];
    }

    QString AnswerFile(const TFileRequest &request)
    {
        if (Chance(15))
            return QString();
        if (request.kind == TFileRequest::Save) {
            const QString suffix =
                request.defaultSuffix.isEmpty() ? QStringLiteral("zel") : request.defaultSuffix;
            return dir.filePath(QStringLiteral("file%1.%2").arg(Random(6)).arg(suffix));
        }
        // An exported menu, a project file or a file that is not there.
        const QStringList files =
            QDir(dir.path()).entryList({QStringLiteral("*.mzm"), QStringLiteral("*.zel")});
        return files.isEmpty() || Chance(10) ? dir.filePath(QStringLiteral("missing.mzm"))
                                             : dir.filePath(files[Random(int(files.size()))]);
    }

    int AnswerDialog(QDialog &dialog)
    {
        const QString name = dialog.objectName();
        if (Chance(25))
            return mrCancel;
        if (Chance(10))
            return mrOk;  // confirmed as loaded
        if (name == QLatin1String("FormMenu")) {
            static_cast<TFormMenu &>(dialog).edtCaption->setText(Word());
        } else if (name == QLatin1String("FormValue")) {
            auto &value = static_cast<TFormValue &>(dialog);
            value.edtCaption->setText(Word());
            value.edtReference->setText(QStringLiteral("R%1").arg(Random(4000)));
        } else if (name == QLatin1String("FormList")) {
            auto &list = static_cast<TFormList &>(dialog);
            list.edtCaption->setText(Word());
            list.edtReference->setText(QStringLiteral("D%1").arg(Random(3000)));
        } else if (name == QLatin1String("fmAction")) {
            auto &action = static_cast<TfmAction &>(dialog);
            action.edStringOn->setText(Word());
            action.cbActionType->setCurrentIndex(Random(5));
            action.edtReference->setText(QStringLiteral("M%1").arg(Random(2000)));
        } else if (name == QLatin1String("FormAlarm")) {
            static_cast<TFormAlarm &>(dialog).edtLines[0]->setText(Word());
        } else if (name == QLatin1String("FormDeviceInfo")) {
            static_cast<TFormDeviceInfo &>(dialog).cbDevice->setCurrentIndex(Random(2));
        } else if (name == QLatin1String("fmSearch")) {
            auto &search = static_cast<TfmSearch &>(dialog);
            const bool byReference = Chance(50);
            (byReference ? search.rbRefNo : search.rbString)->click();
            (byReference ? search.edtReference : search.edtFindString)
                ->setText(byReference ? QStringLiteral("R%1").arg(Random(200)) : Word().left(3));
            search.btOKClick();
            return search.result();
        } else if (auto *item = qobject_cast<TItemDialog *>(&dialog); !item) {
            return Chance(50) ? mrOk : mrCancel;  // compile result and the like
        }
        auto &item = static_cast<TItemDialog &>(dialog);
        item.btOKClick();
        return item.result();
    }

    std::mt19937 rng;
};

// The commands of a session, by how often a user gives them.
const std::pair<Command, int> kCommandWeights[] = {
    {Command::AddMenu, 6},    {Command::AddAction, 5},  {Command::AddValue, 6},    {Command::AddList, 4},
    {Command::AddAlarm, 2},   {Command::AddScreen, 1},  {Command::Edit, 6},        {Command::Delete, 3},
    {Command::MoveUp, 4},     {Command::MoveDown, 4},   {Command::ImportMenu, 2},  {Command::ExportMenu, 2},
    {Command::Cut, 4},        {Command::Copy, 5},       {Command::PasteBefore, 4}, {Command::PasteAfter, 4},
    {Command::PasteUnder, 5}, {Command::DeleteLeaf, 1}, {Command::DeleteChar, 3},  {Command::Search, 2},
    {Command::Save, 1},       {Command::Compile, 1},    {Command::SaveAs, 1},
};

}  // namespace

TEST_F(DesignerStress, ARandomSessionNeverBreaksTheTree)
{
    const int steps = EnvironmentNumber("ZEL_STRESS_STEPS", 20000);
    const int seed = EnvironmentNumber("ZEL_STRESS_SEED", 24);
    rng.seed(uint32_t(seed));
    SCOPED_TRACE(QStringLiteral("seed %1").arg(seed).toStdString());

    ui.SetDialogHandler([this](QDialog &dialog) { return AnswerDialog(dialog); });
    ui.SetQuestionHandler([this](const TBoxRequest &request) { return AnswerBox(request); });
    ui.SetFileHandler([this](const TFileRequest &request) { return AnswerFile(request); });

    form->show();
    const QString start = WriteTestFile(dir.filePath(QStringLiteral("demo.zel")), DemoProjectFile());
    ASSERT_TRUE(form->LoadProject(start));

    int totalWeight = 0;
    for (const auto &[command, weight] : kCommandWeights)
        totalWeight += weight;
    for (int step = 0; step < steps; ++step) {
        const int what = Random(100);
        if (what < 35) {
            if (TwNode *node = AnyNode())
                ClickItem(node, Chance(5));
        } else if (what < 90) {
            int pick = Random(totalWeight);
            Command command = kCommandWeights[0].first;
            for (const auto &[c, weight] : kCommandWeights) {
                if ((pick -= weight) < 0) {
                    command = c;
                    break;
                }
            }
            form->Execute(command);
        } else if (what < 97) {
            // A drag from the selected node onto another one.
            TwNode *dragged = AnyNode();
            TwNode *target = AnyNode();
            if (dragged && target) {
                form->SelectNode(dragged);
                form->tvProjectDragDrop(form->tvProject, TTreeBinder::ItemOf(target));
            }
        } else if (form->lbSearchResult->count() > 0) {
            QListWidgetItem *line = form->lbSearchResult->item(Random(form->lbSearchResult->count()));
            Chance(80) ? form->lbSearchResultClick(line) : form->lbSearchResultDblClick(line);
        }

        ASSERT_NE(form->Root(), nullptr) << "step " << step;
        ASSERT_TRUE(TreeMatchesView(form->Root(), form->tvProject)) << "step " << step;
        ASSERT_TRUE(TreeKeepsItsRules(form->Root())) << "step " << step;
        // The only failures of this session are those of the files it
        // chose: anything else is an exception that reached a handler.
        for (const TBoxRequest &box : ui.Boxes) {
            if (box.kind == TBoxRequest::Error) {
                ASSERT_TRUE(box.text.contains(dir.path()))
                    << "step " << step << ": " << box.text.toStdString();
            }
        }
        ui.Boxes.clear();
        ui.Dialogs.clear();
        ui.Files.clear();
    }

    // The project reads back as it was, in memory and through its file.
    const QByteArray saved = SaveProjectFile(*form->Root());
    bool truncated = true;
    const std::unique_ptr<TwNode> again = LoadProjectFile(saved, truncated);
    ASSERT_TRUE(again);
    EXPECT_FALSE(truncated);
    EXPECT_EQ(SaveProjectFile(*again), saved);
    const QString path = dir.filePath(QStringLiteral("end.zel"));
    ASSERT_TRUE(form->WriteProjectFile(path));
    ASSERT_TRUE(form->LoadProject(path));
    EXPECT_EQ(SaveProjectFile(*form->Root()), saved);
    EXPECT_EQ(ReadTestFile(path), saved);
}
