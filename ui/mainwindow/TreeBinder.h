// The project tree in a QTreeWidget: the one place that creates, removes,
// moves and rebuilds the view's items for nodes.
//
// Each shown node owns a handle to its item (TwNode::TreeNode). Because of
// that, the model can be edited directly and the view follows:
//   delete node;                        // its item (and its subtree's) goes first
//   parent->RemoveChild(node);          // its item leaves the view, kept for its return
//   parent->InsertChild(i, node);       // a bound node's item moves along
//   parent->MoveChild(from, to);        // the same among siblings
//   new TwNode(parent, caption, kind);  // then binder.AddNode(node) shows it
//   node->SetProp(...);                 // then binder.Refresh(node)
// Bind a root to show a project, Bind(nullptr) before its root is freed (the
// project document does this through its root-changed hook). Never clear the
// view or let it move items by itself (the binder turns the view's own drag
// and drop off; dropping nodes goes through the model): a view cleared behind
// the binder's back leaves the nodes without items (safely), but out of step.
// While the binder builds or moves items the view's signals are held back;
// callers that follow the current item update after such a change. An item
// freed with its node goes with the view's usual signals, the model still
// whole.
#pragma once

#include "ProjectTree.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QTreeWidget>

class QTreeWidgetItem;
class TNodeItem;
class TNodeItemHandle;

class TTreeBinder final {
public:
    explicit TTreeBinder(QTreeWidget *view);
    // Lets go of every item.
    ~TTreeBinder();
    TTreeBinder(const TTreeBinder &) = delete;
    TTreeBinder &operator=(const TTreeBinder &) = delete;

    QTreeWidget *View() const { return view_; }
    TwNode *Root() const { return root_; }

    // Shows root's tree, its children at the top level (null: nothing). The
    // items of the tree shown before are let go first, so its root must
    // still be alive.
    void Bind(TwNode *root);
    // Drops every item and builds them anew from the bound root.
    void Rebuild();
    // Gives node, just added under a shown parent (or the root), its item at
    // its place among its siblings, and items to its subtree. Nothing when
    // its parent is not shown or node has an item already.
    void AddNode(TwNode *node);
    // Text and icon of node's item from the model; with its subtree's items
    // when asked.
    void Refresh(TwNode *node, bool subtree = false);

    // The node of an item, the item of a node; null for none.
    static TwNode *NodeOf(const QTreeWidgetItem *item);
    static QTreeWidgetItem *ItemOf(const TwNode *node);
    // The node of the view's current item, and making a node's item current
    // (scrolled into view; null: no current item).
    TwNode *CurrentNode() const;
    void SetCurrentNode(TwNode *node);
    // Expands node's item, one level (its descendants stay as they are).
    void Expand(TwNode *node);
    // The nodes of the selected items, in the view's order.
    QList<TwNode *> SelectedNodes() const;

private:
    friend class TNodeItemHandle;

    // Binds node to a new item at index under parentItem (null: the top
    // level; -1: appended), text and icon from the model.
    QTreeWidgetItem *MakeItem(TwNode *node, QTreeWidgetItem *parentItem, int index);
    // Items for the children of parent and their subtrees, under parentItem.
    void BuildItems(TwNode *parent, QTreeWidgetItem *parentItem);
    // The item under which node's item belongs (null: the top level), and
    // its index there; false when node belongs nowhere in the view.
    bool PlaceOf(const TwNode &node, QTreeWidgetItem *&parentItem, int &index) const;
    // Puts node's item where the node now is (NodeMoved of its handle).
    void MoveItem(TwNode &node, TNodeItem *item);
    // Every item out of the view; the nodes keep no item.
    void DropItems();

    QPointer<QTreeWidget> view_;
    TwNode *root_ = nullptr;
    // Every handle made here, told when the binder goes.
    QSet<TNodeItemHandle *> handles_;
};
