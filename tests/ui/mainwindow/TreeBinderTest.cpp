// The project tree view follows the node tree through every change: building,
// rebuilding, clearing, deleting, moving; and an error raised while a
// question is open is shown beside it.
#include "MainWindowFixture.h"

#include "TreeViewCheck.h"
#include "mainwindow/Application.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/TreeBinder.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <stdexcept>

namespace {

bool InTree(const TwNode *root, const TwNode *node)
{
    for (const TwNode *p = node; p; p = p->Parent) {
        if (p == root)
            return true;
    }
    return false;
}

}  // namespace

TEST_F(MainWindowTest, ViewFollowsBuildRebuildAddAndClear)
{
    TFormMain form;
    EXPECT_TRUE(TreeMatchesView(form.Root(), form.tvProject));
    form.Document.ReplaceRoot(MakeSampleProject());
    EXPECT_TRUE(TreeMatchesView(form.Root(), form.tvProject));
    form.RebuildTree();
    form.RebuildTree();
    EXPECT_TRUE(TreeMatchesView(form.Root(), form.tvProject));

    // A node made in the model is shown at its place once handed over.
    TwNode *mainMenu = form.Root()->GetChild(1);
    auto *levels = new TwNode(nullptr, QStringLiteral("Levels"), nkSubMenu);
    new TwNode(levels, QStringLiteral("Tank"), nkValue);
    mainMenu->InsertChild(1, levels);
    form.TreeBinder->AddNode(levels);
    EXPECT_TRUE(TreeMatchesView(form.Root(), form.tvProject));
    EXPECT_EQ(TTreeBinder::ItemOf(levels)->parent()->indexOfChild(TTreeBinder::ItemOf(levels)), 1);

    // Another project replaces the whole view; closing empties it.
    form.Document.ReplaceRoot(MakeSampleProject());
    EXPECT_TRUE(TreeMatchesView(form.Root(), form.tvProject));
    form.SelectNode(form.Root()->GetChild(2)->GetChild(1));
    form.ClearProject();
    EXPECT_TRUE(TreeMatchesView(nullptr, form.tvProject));
    EXPECT_EQ(form.SelectedNode(), nullptr);
}

TEST_F(MainWindowTest, DeletingAnAncestorOfTheSelectionLeavesAShownNodeSelected)
{
    TFormMain form;
    form.Document.ReplaceRoot(MakeSampleProject());
    form.tvProject->expandAll();
    TwNode *pumps = form.Root()->GetChild(1)->GetChild(0);
    form.SelectNode(pumps->GetChild(0));
    delete pumps;
    form.UpdateActions();
    EXPECT_TRUE(TreeMatchesView(form.Root(), form.tvProject));
    EXPECT_TRUE(form.SelectedNode() == nullptr || InTree(form.Root(), form.SelectedNode()));

    // Deleting a whole top-level branch with the selection in it.
    form.SelectNode(form.Root()->GetChild(2)->GetChild(1));
    delete form.Root()->GetChild(2);
    form.UpdateActions();
    EXPECT_TRUE(TreeMatchesView(form.Root(), form.tvProject));
    EXPECT_TRUE(form.SelectedNode() == nullptr || InTree(form.Root(), form.SelectedNode()));
}

TEST_F(MainWindowTest, ModelSideMovesTakeTheItemsAlong)
{
    TFormMain form;
    form.Document.ReplaceRoot(MakeSampleProject());
    form.tvProject->expandAll();
    TwNode *mainMenu = form.Root()->GetChild(1);
    TwNode *pumps = mainMenu->GetChild(0);
    TwNode *reset = mainMenu->GetChild(1);
    TwNode *flow = pumps->GetChild(0);
    form.SelectNode(flow);

    // Among siblings: the subtree, its expansion and the selection come along.
    mainMenu->MoveChild(0, 1);
    EXPECT_TRUE(TreeMatchesView(form.Root(), form.tvProject));
    EXPECT_EQ(form.SelectedNode(), flow);
    EXPECT_TRUE(TTreeBinder::ItemOf(pumps)->isExpanded());

    // To another parent: out of the tree, then in again.
    mainMenu->RemoveChild(reset);
    EXPECT_TRUE(TreeMatchesView(form.Root(), form.tvProject));
    EXPECT_EQ(TTreeBinder::ItemOf(reset)->treeWidget(), nullptr);
    pumps->InsertChild(0, reset);
    EXPECT_TRUE(TreeMatchesView(form.Root(), form.tvProject));

    // The fixed nodes reordered.
    form.Root()->MoveLastChildFirst();
    EXPECT_TRUE(TreeMatchesView(form.Root(), form.tvProject));
    EXPECT_EQ(form.tvProject->topLevelItem(0), TTreeBinder::ItemOf(form.Root()->GetChild(0)));
}

TEST_F(MainWindowTest, ItemsFreedByTheViewAreNeverTouchedAgain)
{
    // The view cleared behind the binder's back, then the project freed.
    {
        TFormMain form;
        form.Document.ReplaceRoot(MakeSampleProject());
        TwNode *flow = form.Root()->GetChild(1)->GetChild(0)->GetChild(0);
        form.tvProject->clear();
        EXPECT_EQ(TTreeBinder::ItemOf(flow), nullptr);
        flow->RefreshTreeNode();
        form.Root()->GetChild(1)->MoveChild(0, 1);
        form.ClearProject();
        form.Document.ReplaceRoot(MakeSampleProject());
        EXPECT_TRUE(TreeMatchesView(form.Root(), form.tvProject));
    }
    // The view destroyed before the binder and the nodes.
    std::unique_ptr<TwNode> root = MakeSampleProject();
    auto view = std::make_unique<QTreeWidget>();
    {
        TTreeBinder binder(view.get());
        binder.Bind(root.get());
        EXPECT_TRUE(TreeMatchesView(root.get(), view.get()));
        view.reset();
        root->GetChild(1)->MoveChild(0, 1);
    }
    root.reset();
}

TEST_F(MainWindowTest, AnErrorRaisedDuringAQuestionIsShownBesideItAndKeepsItsAnswer)
{
    TUiServicesScope real(nullptr);
    const QString deleteText = QStringLiteral("The child nodes will be also deleted\nConfirm to delete ?");
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto *question = qobject_cast<TfmYesNo *>(QApplication::activeModalWidget());
        ASSERT_NE(question, nullptr);
        QTimer::singleShot(0, [&, question] {
            auto *error = qobject_cast<TfmYesNo *>(QApplication::activeModalWidget());
            ASSERT_NE(error, nullptr);
            EXPECT_NE(error, question);
            EXPECT_TRUE(question->isVisible());
            EXPECT_EQ(error->Message(), QStringLiteral("Stream read error"));
            EXPECT_EQ(error->windowTitle(), QStringLiteral("Zel Designer"));
            EXPECT_TRUE(error->bbNo->isHidden());
            // The question as it was asked.
            EXPECT_EQ(question->Message(), deleteText);
            EXPECT_EQ(question->windowTitle(), QStringLiteral("Delete"));
            EXPECT_FALSE(question->bbNo->isHidden());
            EXPECT_TRUE(question->bbCancel->isHidden());
            checked = true;
            error->bbYes->click();
        });
        RunGuarded([] { throw std::runtime_error("Stream read error"); });
        EXPECT_EQ(QApplication::activeModalWidget(), question);
        EXPECT_EQ(question->Message(), deleteText);
        question->bbNo->click();
    });
    EXPECT_EQ(ShowYesNo(fmYesNo, YesNoQuestions::DeleteWithChildren), mrNo);
    EXPECT_TRUE(checked);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
