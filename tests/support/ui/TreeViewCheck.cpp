// Whether the project tree view shows exactly the node tree.
#include "TreeViewCheck.h"

#include "ProjectTree.h"
#include "mainwindow/TreeBinder.h"
#include "mainwindow/WindowImages.h"

#include <QTreeWidget>

namespace {

std::string Where(const TwNode *node)
{
    return QStringLiteral("node \"%1\" (kind %2, location \"%3\")")
        .arg(node->Caption())
        .arg(node->Kind)
        .arg(node->GetLocation())
        .toStdString();
}

// Compares the children of parent with the items under parentItem (the top
// level when null).
::testing::AssertionResult Compare(const TwNode *parent, const QTreeWidgetItem *parentItem,
                                   const QTreeWidget *view)
{
    const int items = parentItem ? parentItem->childCount() : view->topLevelItemCount();
    if (items != parent->GetChildCount())
        return ::testing::AssertionFailure()
            << (parentItem ? Where(parent) : std::string("the root")) << " has " << parent->GetChildCount()
            << " children but " << items << " items";
    for (int i = 0; i < items; ++i) {
        const TwNode *child = parent->GetChild(i);
        const QTreeWidgetItem *item = parentItem ? parentItem->child(i) : view->topLevelItem(i);
        if (TTreeBinder::NodeOf(item) != child)
            return ::testing::AssertionFailure()
                << "item " << i << " under " << Where(parent) << " is not bound to " << Where(child);
        if (TTreeBinder::ItemOf(child) != item)
            return ::testing::AssertionFailure() << Where(child) << " does not know its item";
        if (item->text(0) != child->GetDisplayCaption())
            return ::testing::AssertionFailure()
                << Where(child) << " shows \"" << item->text(0).toStdString() << "\" instead of \""
                << child->GetDisplayCaption().toStdString() << "\"";
        if (item->icon(0).cacheKey() != TreeImage(child->GetImageIndex()).cacheKey())
            return ::testing::AssertionFailure() << Where(child) << " shows another icon";
        if (::testing::AssertionResult below = Compare(child, item, view); !below)
            return below;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

::testing::AssertionResult TreeMatchesView(const TwNode *root, const QTreeWidget *view)
{
    if (!root) {
        if (view->topLevelItemCount() != 0)
            return ::testing::AssertionFailure()
                << "no project, but the view shows " << view->topLevelItemCount() << " items";
        return ::testing::AssertionSuccess();
    }
    return Compare(root, nullptr, view);
}
