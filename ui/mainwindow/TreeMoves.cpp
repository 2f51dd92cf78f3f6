// The main window's tree moves: up and down among the siblings, drag and
// drop inside the tree view, deleting a menu's children and dissolving a
// sub-menu; and the search result lines that name nodes.
#include "MainWindow.h"

#include "Application.h"
#include "MessageBox.h"
#include "ModalResult.h"
#include "ProjectTree.h"
#include "UiServices.h"

#include <QApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QTreeWidget>

namespace {

// The format of a drag that starts on a tree item; only the tree view
// itself takes such a drop.
const QString kTreeDragFormat = QStringLiteral("application/x-zeld-tree-item");

bool IsDraggable(const TwNode *node)
{
    return node && node->Kind >= nkSubMenu && node->Kind <= nkAction;
}

}  // namespace

void TFormMain::RefreshChildren(TwNode *parent)
{
    for (int i = 0; parent && i < parent->GetChildCount(); ++i)
        TreeBinder->Refresh(parent->GetChild(i));
}

// ---- Move up and down -------------------------------------------------------

bool TFormMain::MoveSelectedNode(Command rule, int step)
{
    if (!RuleAllowsNow(rule))
        return false;
    TwNode *node = SelectedNode();
    TwNode *parent = node->Parent;
    const int index = parent->IndexOfChild(node);
    parent->MoveChild(index, index + step);
    RefreshChildren(parent);
    ShowEditedNode(node);
    return true;
}

bool TFormMain::atMoveUpExecute()
{
    return MoveSelectedNode(Command::MoveUp, -1);
}

bool TFormMain::atMoveDownExecute()
{
    return MoveSelectedNode(Command::MoveDown, 1);
}

// ---- Drag and drop ----------------------------------------------------------

void TFormMain::SetUpTreeDrag()
{
    // The view's own drag and drop stays off: items move through the model.
    tvProject->viewport()->setAcceptDrops(true);
}

bool TFormMain::tvProjectDragOver(const QObject *source, QTreeWidgetItem *target) const
{
    if (!Root() || source != tvProject)
        return false;
    const TwNode *dragged = SelectedNode();
    const TwNode *onto = TTreeBinder::NodeOf(target);
    return dragged && onto && TreeDropAllowed(*dragged, *onto);
}

bool TFormMain::tvProjectDragDrop(const QObject *source, QTreeWidgetItem *target)
{
    if (!tvProjectDragOver(source, target))
        return false;
    TwNode *dragged = SelectedNode();
    TwNode *onto = TTreeBinder::NodeOf(target);
    TwNode *from = dragged->Parent;
    TwNode *menu = onto->Parent;
    const int index = from->IndexOfChild(dragged);
    int ontoIndex = menu->IndexOfChild(onto);
    if (index < 0 || ontoIndex < 0)
        return false;
    // Just before target, once the dragged node is out of the list.
    if (from == menu && ontoIndex > index)
        --ontoIndex;
    from->RemoveChild(dragged);
    menu->InsertChild(ontoIndex, dragged);
    RebuildTree();
    ShowEditedNode(menu, dragged);
    return true;
}

void TFormMain::StartTreeDrag(TwNode *node)
{
    if (!IsDraggable(node))
        return;
    // The dragged node is the selected one.
    if (SelectedNode() != node)
        SelectNode(node);
    auto *data = new QMimeData;
    data->setData(kTreeDragFormat, QByteArray::number(qulonglong(node->Serial)));
    auto *drag = new QDrag(tvProject);
    drag->setMimeData(data);
    UiServices().RunDrag(*drag, Qt::MoveAction);
}

bool TFormMain::TreeDragEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *press = static_cast<QMouseEvent *>(event);
        dragStart_ = press->position().toPoint();
        itemHeld_ = press->button() == Qt::LeftButton && tvProject->itemAt(dragStart_);
        dragArmed_ = itemHeld_;
        return false;
    }
    case QEvent::MouseButtonRelease: itemHeld_ = dragArmed_ = false; return false;
    case QEvent::MouseMove: {
        // While the button holds the pressed item the selection stays on it;
        // once the pointer has moved the drag distance, whichever way and
        // however slowly, the item is dragged.
        const auto *move = static_cast<QMouseEvent *>(event);
        if (!itemHeld_ || !(move->buttons() & Qt::LeftButton))
            return false;
        if (dragArmed_
            && (move->position().toPoint() - dragStart_).manhattanLength()
                >= QApplication::startDragDistance()) {
            dragArmed_ = false;
            StartTreeDrag(TTreeBinder::NodeOf(tvProject->itemAt(dragStart_)));
        }
        return true;
    }
    case QEvent::DragEnter: {
        auto *enter = static_cast<QDragEnterEvent *>(event);
        if (enter->source() == tvProject && enter->mimeData()->hasFormat(kTreeDragFormat))
            enter->acceptProposedAction();
        else
            enter->ignore();
        return true;
    }
    case QEvent::DragMove: {
        auto *move = static_cast<QDragMoveEvent *>(event);
        if (tvProjectDragOver(move->source(), tvProject->itemAt(move->position().toPoint())))
            move->acceptProposedAction();
        else
            move->ignore();
        return true;
    }
    case QEvent::DragLeave: return true;
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        bool dropped = false;
        RunGuarded([&] {
            dropped = tvProjectDragDrop(drop->source(), tvProject->itemAt(drop->position().toPoint()));
        });
        if (dropped)
            drop->acceptProposedAction();
        else
            drop->ignore();
        UpdateActions();
        return true;
    }
    default: return false;
    }
}

// ---- Delete Leaf and Delete Node --------------------------------------------

bool TFormMain::atDeleteLeafExecute()
{
    if (!RuleAllowsNow(Command::DeleteLeaf))
        return false;
    TwNode *menu = SelectedNode();
    if (ShowYesNo(fmYesNo, YesNoQuestions::DeleteChildren) != mrYes)
        return false;
    menu->ClearChildren();
    TreeBinder->Refresh(menu);
    ShowEditedNode(menu);
    return true;
}

bool TFormMain::atDeleteCharExecute()
{
    if (!RuleAllowsNow(Command::DeleteChar))
        return false;
    TwNode *menu = SelectedNode();
    TwNode *parent = menu->Parent;
    const int index = parent->IndexOfChild(menu);
    if (index < 0)
        return false;
    // The children take the sub-menu's place in their order; their items
    // move along, expanded as they were.
    for (int moved = 0; menu->GetChildCount() > 0; ++moved) {
        TwNode *child = menu->GetChild(0);
        parent->InsertChild(index + moved, child);
        menu->RemoveChild(child);
    }
    delete menu;
    TreeBinder->Expand(parent);
    ShowEditedNode(parent->GetChild(index));
    return true;
}

// ---- Search result lines ----------------------------------------------------

void TFormMain::AddSearchResultLine(const QString &text, const TwNode *node)
{
    auto *line = new QListWidgetItem(text, lbSearchResult);
    if (node)
        line->setData(Qt::UserRole, QVariant::fromValue(qulonglong(node->Serial)));
}

TwNode *TFormMain::SearchResultNode(const QListWidgetItem *line) const
{
    const QVariant serial = line ? line->data(Qt::UserRole) : QVariant();
    if (!serial.isValid() || !Root())
        return nullptr;
    const qulonglong wanted = serial.toULongLong();
    QList<TwNode *> pending{Root()};
    while (!pending.isEmpty()) {
        TwNode *node = pending.takeLast();
        if (node->Serial == wanted)
            return node;
        for (int i = 0; i < node->GetChildCount(); ++i)
            pending.append(node->GetChild(i));
    }
    return nullptr;
}

void TFormMain::lbSearchResultClick(QListWidgetItem *line)
{
    TwNode *node = SearchResultNode(line);
    if (!node)
        return;
    SelectNode(node);
    tvProject->setFocus();
}

void TFormMain::lbSearchResultDblClick(QListWidgetItem *line)
{
    if (!SearchResultNode(line))
        return;
    lbSearchResultClick(line);
    Execute(Command::Edit);
}
