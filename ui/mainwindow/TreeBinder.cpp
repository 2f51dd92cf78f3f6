// The project tree in a QTreeWidget.
#include "TreeBinder.h"

#include "WindowImages.h"

#include <QSignalBlocker>
#include <QTreeWidgetItem>
#include <QTreeWidgetItemIterator>

namespace {
constexpr int kNodeItemType = QTreeWidgetItem::UserType + 1;
}

// A view item that tells its node's handle when it is freed, whoever frees
// it (the handle, a parent item, or the view itself).
class TNodeItem final : public QTreeWidgetItem {
public:
    explicit TNodeItem(TwNode *node) : QTreeWidgetItem(kNodeItemType), node_(node) { }
    ~TNodeItem() override;
    TwNode *Node() const { return node_; }
    TNodeItemHandle *handle = nullptr;

private:
    TwNode *node_;
};

// The node's side of the binding (TwNode::TreeNode).
class TNodeItemHandle final : public TwTreeItem {
public:
    TNodeItemHandle(TTreeBinder *binder, TNodeItem *item) : binder_(binder), item_(item)
    {
        item_->handle = this;
        binder_->handles_.insert(this);
    }
    ~TNodeItemHandle() override
    {
        if (binder_)
            binder_->handles_.remove(this);
        if (!item_)
            return;
        // The node is still whole here: whatever the view tells about its
        // new current item may read the model.
        item_->handle = nullptr;
        delete item_;
    }
    TNodeItemHandle(const TNodeItemHandle &) = delete;
    TNodeItemHandle &operator=(const TNodeItemHandle &) = delete;

    void SetText(const QString &text) override
    {
        if (item_)
            item_->setText(0, text);
    }
    void SetImageIndex(int index) override
    {
        if (item_)
            item_->setIcon(0, TreeImage(index));
    }
    void NodeMoved(TwNode &node) override
    {
        if (item_ && binder_)
            binder_->MoveItem(node, item_);
    }

    TTreeBinder *binder_;
    TNodeItem *item_;
};

TNodeItem::~TNodeItem()
{
    if (handle)
        handle->item_ = nullptr;
}

namespace {

// The items of a subtree, the top one first.
void CollectSubtree(QTreeWidgetItem *item, QList<QTreeWidgetItem *> &items)
{
    items.append(item);
    for (int i = 0; i < item->childCount(); ++i)
        CollectSubtree(item->child(i), items);
}

}  // namespace

TTreeBinder::TTreeBinder(QTreeWidget *view) : view_(view)
{
    // Items move only through the binder.
    view_->setDragDropMode(QAbstractItemView::NoDragDrop);
}

TTreeBinder::~TTreeBinder()
{
    if (view_)
        DropItems();
    else if (root_)
        root_->ReleaseTreeNodes();
    // Handles of nodes outside the bound tree keep their items but forget
    // the binder.
    for (TNodeItemHandle *handle : std::as_const(handles_))
        handle->binder_ = nullptr;
}

void TTreeBinder::Bind(TwNode *root)
{
    const QSignalBlocker block(view_);
    DropItems();
    root_ = root;
    if (root_)
        BuildItems(root_, nullptr);
}

void TTreeBinder::Rebuild()
{
    Bind(root_);
}

void TTreeBinder::DropItems()
{
    const QSignalBlocker block(view_);
    view_->clear();
    if (root_)
        root_->ReleaseTreeNodes();
}

QTreeWidgetItem *TTreeBinder::MakeItem(TwNode *node, QTreeWidgetItem *parentItem, int index)
{
    auto *item = new TNodeItem(node);
    item->setText(0, node->GetDisplayCaption());
    if (parentItem)
        parentItem->insertChild(index < 0 ? parentItem->childCount() : index, item);
    else
        view_->insertTopLevelItem(index < 0 ? view_->topLevelItemCount() : index, item);
    node->TreeNode = std::make_unique<TNodeItemHandle>(this, item);
    node->RefreshTreeNode();
    return item;
}

void TTreeBinder::BuildItems(TwNode *parent, QTreeWidgetItem *parentItem)
{
    for (int i = 0; i < parent->GetChildCount(); ++i) {
        TwNode *child = parent->GetChild(i);
        BuildItems(child, MakeItem(child, parentItem, -1));
    }
}

void TTreeBinder::AddNode(TwNode *node)
{
    if (!node || ItemOf(node))
        return;
    QTreeWidgetItem *parentItem = nullptr;
    int index = 0;
    if (!PlaceOf(*node, parentItem, index))
        return;
    const QSignalBlocker block(view_);
    BuildItems(node, MakeItem(node, parentItem, index));
}

void TTreeBinder::Refresh(TwNode *node, bool subtree)
{
    if (!node)
        return;
    node->RefreshTreeNode();
    if (subtree) {
        for (int i = 0; i < node->GetChildCount(); ++i)
            Refresh(node->GetChild(i), true);
    }
}

bool TTreeBinder::PlaceOf(const TwNode &node, QTreeWidgetItem *&parentItem, int &index) const
{
    const TwNode *parent = node.Parent;
    const int position = parent ? parent->IndexOfChild(&node) : -1;
    if (position < 0)
        return false;
    if (parent == root_) {
        parentItem = nullptr;
    } else {
        parentItem = ItemOf(parent);
        if (!parentItem)
            return false;
    }
    // Among the items of the siblings before it.
    index = 0;
    for (int i = 0; i < position; ++i) {
        const QTreeWidgetItem *sibling = ItemOf(parent->GetChild(i));
        if (sibling && sibling->parent() == parentItem && (parentItem || sibling->treeWidget() == view_))
            ++index;
    }
    return true;
}

void TTreeBinder::MoveItem(TwNode &node, TNodeItem *item)
{
    const QSignalBlocker block(view_);
    // What the view shows of the subtree comes along.
    QList<QTreeWidgetItem *> subtree;
    CollectSubtree(item, subtree);
    QList<QTreeWidgetItem *> expanded, selected;
    for (QTreeWidgetItem *each : std::as_const(subtree)) {
        if (each->isExpanded())
            expanded.append(each);
        if (each->isSelected())
            selected.append(each);
    }
    QTreeWidgetItem *current = view_->currentItem();
    if (!subtree.contains(current))
        current = nullptr;

    if (QTreeWidgetItem *parentItem = item->parent())
        parentItem->removeChild(item);
    else if (item->treeWidget() == view_)
        view_->takeTopLevelItem(view_->indexOfTopLevelItem(item));

    QTreeWidgetItem *parentItem = nullptr;
    int index = 0;
    // A node taken out of the tree keeps its item out of the view until it
    // is put back or freed.
    if (!PlaceOf(node, parentItem, index))
        return;
    if (parentItem)
        parentItem->insertChild(index, item);
    else
        view_->insertTopLevelItem(index, item);
    if (item->treeWidget() != view_)
        return;
    for (QTreeWidgetItem *each : std::as_const(expanded))
        each->setExpanded(true);
    if (current)
        view_->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem *each : std::as_const(selected))
        each->setSelected(true);
}

TwNode *TTreeBinder::NodeOf(const QTreeWidgetItem *item)
{
    return item && item->type() == kNodeItemType ? static_cast<const TNodeItem *>(item)->Node() : nullptr;
}

QTreeWidgetItem *TTreeBinder::ItemOf(const TwNode *node)
{
    const auto *handle = node ? dynamic_cast<const TNodeItemHandle *>(node->TreeNode.get()) : nullptr;
    return handle ? handle->item_ : nullptr;
}

TwNode *TTreeBinder::CurrentNode() const
{
    return NodeOf(view_->currentItem());
}

void TTreeBinder::SetCurrentNode(TwNode *node)
{
    QTreeWidgetItem *item = ItemOf(node);
    if (item && item->treeWidget() != view_)
        item = nullptr;
    if (!item) {
        view_->clearSelection();
        view_->setCurrentItem(nullptr);
        return;
    }
    view_->setCurrentItem(item);
    view_->scrollToItem(item);
}

void TTreeBinder::Expand(TwNode *node)
{
    QTreeWidgetItem *item = ItemOf(node);
    if (item && item->treeWidget() == view_)
        item->setExpanded(true);
}

QList<TwNode *> TTreeBinder::SelectedNodes() const
{
    QList<TwNode *> nodes;
    for (QTreeWidgetItemIterator it(view_, QTreeWidgetItemIterator::Selected); *it; ++it) {
        if (TwNode *node = NodeOf(*it))
            nodes.append(node);
    }
    return nodes;
}
