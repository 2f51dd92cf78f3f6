#include "ProjectTree.h"

#include "Operands.h"

#include <algorithm>
#include <atomic>
#include <iterator>

namespace {
const QString kCaption = QStringLiteral("Caption");
std::atomic<uint64_t> gLastSerial{0};
}  // namespace

TwNode::TwNode(TwNode *parent, const QString &caption, int32_t kind) : Serial(++gLastSerial), Kind(kind)
{
    if (!caption.isEmpty())
        SetCaption(caption);
    if (parent) {
        // A node being made is in no list yet: appended without a look for
        // itself, so that a reader builds a list of n children in linear time.
        if (!parent->Children)
            parent->Children = std::make_unique<std::vector<TwNode *>>();
        parent->Children->push_back(this);
        Parent = parent;
    }
}

TwNode::~TwNode()
{
    // The item goes first: the view never shows an item whose node is being
    // torn down.
    TreeNode.reset();
    if (Parent)
        Parent->RemoveChild(this);
    if (Children) {
        // A child removes itself from the list when destroyed. A child that
        // belongs to another parent is only taken out of this list.
        while (!Children->empty()) {
            TwNode *child = Children->back();
            if (child->Parent == this) {
                delete child;
            } else {
                Children->pop_back();
            }
        }
    }
}

QString TwNode::GetProp(const QString &name) const
{
    return PropValue(Props, name);
}

void TwNode::SetProp(const QString &name, const QString &value)
{
    SetPropValue(Props, name, value);
}

int TwNode::GetPropInt(const QString &name, int defaultValue) const
{
    return PropInt(Props, name, defaultValue);
}

bool TwNode::GetPropFlag(const QString &name) const
{
    return GetPropInt(name) > 0;
}

void TwNode::SetCaption(const QString &caption)
{
    SetProp(kCaption, caption);
}

QString TwNode::Caption() const
{
    return GetProp(kCaption);
}

int TwNode::GetChildCount() const
{
    return Children ? static_cast<int>(Children->size()) : 0;
}

TwNode *TwNode::GetChild(int index) const
{
    if (!Children || index < 0 || index >= GetChildCount())
        return nullptr;
    return (*Children)[index];
}

void TwNode::AddChild(TwNode *child)
{
    if (!Children)
        Children = std::make_unique<std::vector<TwNode *>>();
    if (IndexOfChild(child) >= 0)
        return;
    Children->push_back(child);
    child->Parent = this;
    child->ItemFollows();
}

void TwNode::InsertChild(int index, TwNode *child)
{
    if (!Children || IndexOfChild(child) >= 0)
        return;
    index = std::clamp(index, 0, GetChildCount());
    Children->insert(Children->begin() + index, child);
    child->Parent = this;
    child->ItemFollows();
}

void TwNode::RemoveChild(TwNode *child)
{
    if (!Children)
        return;
    // Searched from the back: a node's children are destroyed from the last
    // one, so freeing a list of n children stays linear.
    auto it = std::find(Children->rbegin(), Children->rend(), child);
    if (it != Children->rend()) {
        Children->erase(std::next(it).base());
        child->ItemFollows();
    }
}

void TwNode::MoveChild(int from, int to)
{
    const int count = GetChildCount();
    if (from < 0 || from >= count || to < 0 || to >= count || from == to)
        return;
    TwNode *child = (*Children)[from];
    Children->erase(Children->begin() + from);
    Children->insert(Children->begin() + to, child);
    child->ItemFollows();
}

int TwNode::IndexOfChild(const TwNode *child) const
{
    if (!Children)
        return -1;
    auto it = std::find(Children->begin(), Children->end(), child);
    return it == Children->end() ? -1 : static_cast<int>(it - Children->begin());
}

void TwNode::ClearChildren()
{
    for (int i = GetChildCount() - 1; i >= 0; --i) {
        if (i >= GetChildCount())
            continue;
        TwNode *child = (*Children)[i];
        if (child->Parent == this)
            delete child;
    }
}

TwNode *TwNode::FindChildOfKind(int32_t kind) const
{
    for (int i = 0; i < GetChildCount(); ++i) {
        if ((*Children)[i]->Kind == kind)
            return (*Children)[i];
    }
    return nullptr;
}

void TwNode::MoveLastChildFirst()
{
    if (GetChildCount() > 1) {
        std::rotate(Children->rbegin(), Children->rbegin() + 1, Children->rend());
        (*Children)[0]->ItemFollows();
    }
}

int TwNode::GetLevel() const
{
    int level = 0;
    for (const TwNode *p = Parent; p && level < 256; p = p->Parent)
        ++level;
    return level;
}

QString TwNode::GetLocation() const
{
    if (!Parent || GetLevel() <= 1)
        return QString();
    const QString parentLocation = Parent->GetLocation();
    const QString index = QString::number(Parent->IndexOfChild(this));
    return parentLocation.isEmpty() ? index : parentLocation + QLatin1Char('.') + index;
}

int TwNode::GetHeight() const
{
    int deepest = 0;
    for (int i = 0; i < GetChildCount(); ++i)
        deepest = std::max(deepest, (*Children)[i]->GetHeight());
    return deepest + 1;
}

QString TwNode::GetDisplayCaption() const
{
    switch (Kind) {
    case nkAlarm: return QStringLiteral("Alarm - %1").arg(GetProp(QStringLiteral("Index")));
    case nkScreen: return QStringLiteral("Screen - %1").arg(Parent ? Parent->IndexOfChild(this) : -1);
    default: return Caption();
    }
}

int ImageIndexOfKind(int32_t kind)
{
    switch (kind) {
    case nkMainMenu:
    case nkSubMenu: return 0;
    case nkValue: return 1;
    case nkList: return 2;
    case nkAction: return 7;
    case nkAlarms:
    case nkAlarm: return 3;
    case nkStartupScreen:
    case nkScreen: return 4;
    case nkScreenSaver: return 5;
    case nkConfiguration: return 6;
    case nkDeviceInfo: return 9;
    default: return -1;
    }
}

int TwNode::GetImageIndex() const
{
    return ImageIndexOfKind(Kind);
}

void TwNode::RefreshTreeNode()
{
    if (!TreeNode)
        return;
    // The Main Menu's text follows the language only.
    if (Kind != nkMainMenu)
        TreeNode->SetText(GetDisplayCaption());
    TreeNode->SetImageIndex(GetImageIndex());
}

void TwNode::BuildTreeNodes(TwTreeItems &items)
{
    for (int i = 0; i < GetChildCount(); ++i) {
        TwNode *child = (*Children)[i];
        child->TreeNode.reset(items.AddItem(TreeNode.get(), child->GetDisplayCaption(), child));
        child->RefreshTreeNode();
        child->BuildTreeNodes(items);
    }
}

void TwNode::ItemFollows()
{
    if (TreeNode)
        TreeNode->NodeMoved(*this);
}

void TwNode::ReleaseTreeNodes()
{
    for (int i = 0; i < GetChildCount(); ++i)
        (*Children)[i]->ReleaseTreeNodes();
    TreeNode.reset();
}

void TwNode::ClearScratch()
{
    CompileProps.clear();
    for (int i = 0; i < GetChildCount(); ++i)
        (*Children)[i]->ClearScratch();
}

void TwNode::AddHit(QList<TwSearchHit> &result)
{
    result.append({GetLocation() + QStringLiteral("     ") + Caption(), this});
}

int TwNode::SearchByReference(QList<TwSearchHit> &result, uint32_t flag, int32_t number)
{
    int hits = 0;
    if (Kind == nkValue || Kind == nkList || Kind == nkAction) {
        int32_t found = 0;
        if (ParseOperand(GetProp(QStringLiteral("Reference")), found) == flag && flag != opNone
            && found == number) {
            AddHit(result);
            ++hits;
        }
    }
    for (int i = 0; i < GetChildCount(); ++i)
        hits += (*Children)[i]->SearchByReference(result, flag, number);
    return hits;
}

int TwNode::SearchByCaption(QList<TwSearchHit> &result, const QString &text)
{
    int hits = 0;
    if (Caption().contains(text, Qt::CaseSensitive)) {
        AddHit(result);
        ++hits;
    }
    for (int i = 0; i < GetChildCount(); ++i)
        hits += (*Children)[i]->SearchByCaption(result, text);
    return hits;
}

void TwNode::GetValueLimits(uint32_t flag, bool isSigned, int32_t &max, int32_t &min) const
{
    if (flag & opWord) {
        max = isSigned ? 32767 : 65535;
        min = isSigned ? -32768 : 0;
    } else if (flag & opDWord) {
        max = isSigned ? INT32_MAX : static_cast<int32_t>(0xFFFFFFFFu);
        min = isSigned ? INT32_MIN : 0;
    }
    int32_t number = 0;
    const QString maxText = GetProp(QStringLiteral("Max"));
    if (!maxText.isEmpty() && (ParseOperand(maxText, number) & opAnyConst))
        max = number;
    const QString minText = GetProp(QStringLiteral("Min"));
    if (!minText.isEmpty() && (ParseOperand(minText, number) & opAnyConst))
        min = number;
}

namespace {

void LoadDescriptionFrom(const TwNode *source, QStringList &dest)
{
    const QString name = QStringLiteral("Description");
    if (source) {
        LoadStringsProp(dest, source->Props, name);
        return;
    }
    // A clean destination, so that a preview never shows an earlier file's lines.
    dest.clear();
    SetPropValue(dest, name + QStringLiteral(".Count"), QStringLiteral("0"));
}

}  // namespace

void LoadDescription(const TwNode *root, QStringList &dest)
{
    LoadDescriptionFrom(root ? root->FindChildOfKind(nkDeviceInfo) : nullptr, dest);
}

void LoadMenuFileDescription(const TwNode *header, QStringList &dest)
{
    LoadDescriptionFrom(header && header->Kind == nkMenuFileHeader ? header : nullptr, dest);
}
