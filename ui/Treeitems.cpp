// The project tree's items in a QTreeWidget.
#include "Treeitems.h"

#include "Mainimages.h"

#include <QTreeWidget>
#include <QTreeWidgetItem>

namespace {
constexpr int kNodeRole = Qt::UserRole;
}

TTreeWidgetItem::~TTreeWidgetItem()
{
    // A destroyed view has taken its items with it.
    if (!tree_)
        return;
    // Child items belong to the children's nodes: only this one goes. A child
    // item still attached here is left to its own handle.
    const QList<QTreeWidgetItem *> orphans = item_->takeChildren();
    (void)orphans;
    delete item_;
}

void TTreeWidgetItem::SetText(const QString &text)
{
    item_->setText(0, text);
}

void TTreeWidgetItem::SetImageIndex(int index)
{
    item_->setIcon(0, TreeImage(index));
}

TwTreeItem *TTreeWidgetItems::AddItem(TwTreeItem *parent, const QString &text, TwNode *data)
{
    auto *item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kNodeRole, QVariant::fromValue(static_cast<void *>(data)));
    auto *parentHandle = dynamic_cast<TTreeWidgetItem *>(parent);
    if (parentHandle)
        parentHandle->Item()->addChild(item);
    else
        tree_->addTopLevelItem(item);
    return new TTreeWidgetItem(tree_, item);
}

TwNode *NodeOfItem(const QTreeWidgetItem *item)
{
    return item ? static_cast<TwNode *>(item->data(0, kNodeRole).value<void *>()) : nullptr;
}

QTreeWidgetItem *ItemOfNode(const TwNode *node)
{
    if (!node)
        return nullptr;
    auto *handle = dynamic_cast<TTreeWidgetItem *>(node->TreeNode.get());
    return handle ? handle->Item() : nullptr;
}
