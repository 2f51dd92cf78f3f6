// The project tree's items in a QTreeWidget: the view side of TwTreeItem and
// TwTreeItems. Each node owns its item handle; destroying the handle takes
// the item out of the view.
#pragma once

#include "Wobject.h"

#include <QPointer>

class QTreeWidget;
class QTreeWidgetItem;

class TTreeWidgetItem final : public TwTreeItem {
public:
    TTreeWidgetItem(QTreeWidget *tree, QTreeWidgetItem *item) : tree_(tree), item_(item) { }
    ~TTreeWidgetItem() override;
    TTreeWidgetItem(const TTreeWidgetItem &) = delete;
    TTreeWidgetItem &operator=(const TTreeWidgetItem &) = delete;

    void SetText(const QString &text) override;
    void SetImageIndex(int index) override;

    QTreeWidgetItem *Item() const { return item_; }

private:
    QPointer<QTreeWidget> tree_;
    QTreeWidgetItem *item_;
};

class TTreeWidgetItems final : public TwTreeItems {
public:
    explicit TTreeWidgetItems(QTreeWidget *tree) : tree_(tree) { }
    TwTreeItem *AddItem(TwTreeItem *parent, const QString &text, TwNode *data) override;

private:
    QTreeWidget *tree_;
};

// The node bound to a view item, null for none.
TwNode *NodeOfItem(const QTreeWidgetItem *item);
// The view item of a node, null when it has none.
QTreeWidgetItem *ItemOfNode(const TwNode *node);
