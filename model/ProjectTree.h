// The project tree: TwNode with its kinds, properties and tree operations.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

class TwNode;

// The caption a project's Device Information node is made with, spelled as
// projects have always stored it.
inline const QString kDeviceInfoCaption = QStringLiteral("Device Infomation");

// Node kind codes, stored in project files and read by the compiler.
enum TwNodeKind : int32_t {
    nkReading = 0,  // only while a node is being read from a stream
    nkProject = 1,
    nkMainMenu = 100,
    nkSubMenu = 101,
    nkValue = 102,
    nkList = 103,
    nkAction = 104,
    nkAlarms = 200,
    nkAlarm = 201,
    nkStartupScreen = 300,
    nkScreen = 301,
    nkScreenSaver = 400,
    nkConfiguration = 500,
    nkDeviceInfo = 600,
    nkMenuFileHeader = 700,
};

// The tree-view item bound to a node. The window that shows the tree
// implements it; the node owns its item and destroys it first when it is
// destroyed itself, which must take the item out of the view.
class TwTreeItem {
public:
    virtual ~TwTreeItem() = default;
    virtual void SetText(const QString &text) = 0;
    // Sets both the image and the selected-image index.
    virtual void SetImageIndex(int index) = 0;
    // The node changed its place: it was inserted under a parent, moved among
    // its siblings, or taken out of its parent's list. The item follows it,
    // with the items of its subtree.
    virtual void NodeMoved(TwNode &node) { (void)node; }
};

// The tree view's item collection: creates an item under a parent item (null
// for the top level) with the node as the item's data.
class TwTreeItems {
public:
    virtual ~TwTreeItems() = default;
    virtual TwTreeItem *AddItem(TwTreeItem *parent, const QString &text, TwNode *data) = 0;
};

// One entry of a search result list: location, five blanks, caption; and the node.
struct TwSearchHit {
    QString Text;
    TwNode *Node = nullptr;
};

class TwNode {
public:
    // Creates a node under parent (may be null); sets "Caption" when caption
    // is not empty.
    TwNode(TwNode *parent, const QString &caption, int32_t kind);
    // Destroys its item, detaches the node from its parent and destroys its
    // subtree.
    ~TwNode();

    TwNode(const TwNode &) = delete;
    TwNode &operator=(const TwNode &) = delete;

    // A number no other node of this run gets: it names a node that may
    // have been freed since (a search result line).
    const uint64_t Serial;
    TwNode *Parent = nullptr;
    int32_t Kind = nkReading;
    std::unique_ptr<TwTreeItem> TreeNode;
    QStringList Props;
    QStringList CompileProps;
    // Ordered children; null until the first child is added.
    std::unique_ptr<std::vector<TwNode *>> Children;

    // Properties (names without regard to case; the empty text removes a line).
    QString GetProp(const QString &name) const;
    void SetProp(const QString &name, const QString &value);
    // A decimal property, or defaultValue when absent or not a number.
    int GetPropInt(const QString &name, int defaultValue = 0) const;
    // A flag property: set when its number is greater than 0.
    bool GetPropFlag(const QString &name) const;
    void SetCaption(const QString &caption);
    QString Caption() const;

    int GetChildCount() const;
    TwNode *GetChild(int index) const;
    void AddChild(TwNode *child);
    void InsertChild(int index, TwNode *child);
    void RemoveChild(TwNode *child);
    void MoveChild(int from, int to);
    int IndexOfChild(const TwNode *child) const;
    void ClearChildren();
    TwNode *FindChildOfKind(int32_t kind) const;
    void MoveLastChildFirst();

    int GetLevel() const;
    QString GetLocation() const;
    int GetHeight() const;
    QString GetDisplayCaption() const;
    int GetImageIndex() const;

    void RefreshTreeNode();
    void BuildTreeNodes(TwTreeItems &items);
    // Destroys the tree-view items of the whole subtree, children first; the
    // window calls this instead of clearing its view behind the nodes' backs.
    void ReleaseTreeNodes();
    void ClearScratch();

    int SearchByReference(QList<TwSearchHit> &result, uint32_t flag, int32_t number);
    int SearchByCaption(QList<TwSearchHit> &result, const QString &text);

    // Natural range of the operand type, then "Max"/"Min" when they are
    // constants. Other flags leave max and min as the caller set them.
    void GetValueLimits(uint32_t flag, bool isSigned, int32_t &max, int32_t &min) const;

private:
    void AddHit(QList<TwSearchHit> &result);
    // Tells the bound item that the node changed its place.
    void ItemFollows();
};

// Icon index of a node kind, -1 for none.
int ImageIndexOfKind(int32_t kind);

// Copies the description of the root's Device Information child into dest;
// without one, dest is cleared and holds "Description.Count=0".
void LoadDescription(const TwNode *root, QStringList &dest);
// The same for the header node of an exported menu file.
void LoadMenuFileDescription(const TwNode *header, QStringList &dest);
