#include "ProjectTree.h"
#include "Operands.h"

#include <gtest/gtest.h>

namespace {

TEST(TwNode, ChildListOperations)
{
    TwNode root(nullptr, QString(), nkProject);
    EXPECT_EQ(root.GetChildCount(), 0);
    EXPECT_EQ(root.GetChild(0), nullptr);
    EXPECT_EQ(root.IndexOfChild(&root), -1);

    auto *loose = new TwNode(nullptr, "loose", nkValue);
    root.InsertChild(0, loose);  // no child list yet: nothing happens
    EXPECT_EQ(root.GetChildCount(), 0);
    EXPECT_EQ(loose->Parent, nullptr);

    auto *a = new TwNode(&root, "a", nkSubMenu);
    auto *b = new TwNode(&root, "b", nkSubMenu);
    root.AddChild(a);  // already there
    EXPECT_EQ(root.GetChildCount(), 2);
    EXPECT_EQ(root.GetChild(-1), nullptr);
    EXPECT_EQ(root.GetChild(2), nullptr);

    root.InsertChild(0, loose);
    EXPECT_EQ(root.IndexOfChild(loose), 0);
    EXPECT_EQ(loose->Parent, &root);

    root.MoveChild(0, 2);
    EXPECT_EQ(root.GetChild(2), loose);
    root.MoveLastChildFirst();
    EXPECT_EQ(root.GetChild(0), loose);
    EXPECT_EQ(root.GetChild(1), a);
    EXPECT_EQ(root.GetChild(2), b);

    root.RemoveChild(a);
    EXPECT_EQ(root.GetChildCount(), 2);
    EXPECT_EQ(a->Parent, &root);  // left as it was
    a->Parent = nullptr;
    delete a;

    EXPECT_EQ(root.FindChildOfKind(nkSubMenu), b);
    EXPECT_EQ(root.FindChildOfKind(nkAlarm), nullptr);

    delete b;  // leaves the parent's list
    EXPECT_EQ(root.GetChildCount(), 1);
    root.ClearChildren();
    EXPECT_EQ(root.GetChildCount(), 0);
}

TEST(TwNode, CaptionsLevelsAndLocations)
{
    TwNode root(nullptr, QString(), nkProject);
    new TwNode(&root, "Device Infomation", nkDeviceInfo);
    auto *menu = new TwNode(&root, "Main Menu", nkMainMenu);
    auto *first = new TwNode(menu, "Pumps", nkSubMenu);
    new TwNode(first, "P1", nkValue);
    auto *second = new TwNode(first, "P2", nkValue);
    auto *startup = new TwNode(&root, "Startup Screen", nkStartupScreen);
    new TwNode(startup, "", nkScreen);
    new TwNode(startup, "", nkScreen);
    auto *third = new TwNode(startup, "", nkScreen);
    auto *alarms = new TwNode(&root, "Alarms", nkAlarms);
    auto *alarm = new TwNode(alarms, "", nkAlarm);
    alarm->SetProp("Index", "07");

    EXPECT_EQ(root.GetLevel(), 0);
    EXPECT_EQ(menu->GetLevel(), 1);
    EXPECT_EQ(second->GetLevel(), 3);
    EXPECT_EQ(menu->GetLocation(), "");
    EXPECT_EQ(first->GetLocation(), "0");
    EXPECT_EQ(second->GetLocation(), "0.1");
    EXPECT_EQ(alarm->GetDisplayCaption(), "Alarm - 07");
    EXPECT_EQ(third->GetDisplayCaption(), "Screen - 2");
    EXPECT_EQ(second->GetHeight(), 1);
    EXPECT_EQ(first->GetHeight(), 2);
    EXPECT_EQ(root.GetHeight(), 4);

    first->SetCaption("");
    EXPECT_EQ(first->GetDisplayCaption(), "");
    EXPECT_EQ(first->Props.size(), 0);

    EXPECT_EQ(menu->GetImageIndex(), 0);
    EXPECT_EQ(second->GetImageIndex(), 1);
    EXPECT_EQ(ImageIndexOfKind(nkAction), 7);
    EXPECT_EQ(ImageIndexOfKind(nkDeviceInfo), 9);
    EXPECT_EQ(ImageIndexOfKind(nkProject), -1);
    EXPECT_EQ(ImageIndexOfKind(nkMenuFileHeader), -1);
}

TEST(TwNode, PropertyDefaults)
{
    TwNode node(nullptr, QString(), nkAction);
    EXPECT_EQ(node.GetPropInt("ActionType", -1), -1);
    node.SetProp("ActionType", "abc");
    EXPECT_EQ(node.GetPropInt("ActionType", -1), -1);
    node.SetProp("ReadOnly", "0");
    EXPECT_FALSE(node.GetPropFlag("ReadOnly"));
    node.SetProp("ReadOnly", "2");
    EXPECT_TRUE(node.GetPropFlag("readonly"));
}

TEST(TwNode, Searches)
{
    TwNode root(nullptr, QString(), nkProject);
    auto *menu = new TwNode(&root, "Main Menu", nkMainMenu);
    auto *sub = new TwNode(menu, "Tanks", nkSubMenu);
    const char *refs[] = {"R100", "R0100", "D100", "R5000"};
    for (const char *ref : refs) {
        auto *value = new TwNode(sub, QString("Tank %1").arg(ref), nkValue);
        value->SetProp("Reference", ref);
    }
    auto *alarm = new TwNode(&root, "tank", nkAlarm);
    alarm->SetProp("Reference", "R100");  // alarms are not searched by reference

    QList<TwSearchHit> hits;
    EXPECT_EQ(root.SearchByReference(hits, opR, 100), 2);
    ASSERT_EQ(hits.size(), 2);
    EXPECT_EQ(hits[0].Text, "0.0     Tank R100");
    EXPECT_EQ(hits[1].Node, sub->GetChild(1));

    hits.clear();
    EXPECT_EQ(root.SearchByReference(hits, opRHigh, 5000), 1);

    hits.clear();
    EXPECT_EQ(root.SearchByCaption(hits, "Tank"), 5);  // the menu and its four values
    hits.clear();
    EXPECT_EQ(root.SearchByCaption(hits, "tank"), 1);
    hits.clear();
    EXPECT_EQ(root.SearchByCaption(hits, ""), 8);  // every node, the root included
}

TEST(TwNode, ValueLimits)
{
    TwNode node(nullptr, QString(), nkValue);
    int32_t max = 1, min = 2;
    node.GetValueLimits(opR, true, max, min);
    EXPECT_EQ(max, 32767);
    EXPECT_EQ(min, -32768);
    node.GetValueLimits(opD, false, max, min);
    EXPECT_EQ(max, 65535);
    EXPECT_EQ(min, 0);
    node.GetValueLimits(opDD, false, max, min);
    EXPECT_EQ(static_cast<uint32_t>(max), 0xFFFFFFFFu);

    max = 1;
    min = 2;
    node.GetValueLimits(opM, true, max, min);  // other kinds leave them alone
    EXPECT_EQ(max, 1);
    EXPECT_EQ(min, 2);

    node.SetProp("Min", "-5");
    node.SetProp("Max", "R10");
    node.GetValueLimits(opDR, true, max, min);
    EXPECT_EQ(max, INT32_MAX);
    EXPECT_EQ(min, -5);
    node.SetProp("Max", "3000000000");
    node.GetValueLimits(opDR, false, max, min);
    EXPECT_EQ(static_cast<uint32_t>(max), 3000000000u);
}

// Records what the tree view was asked to do.
class FakeItem : public TwTreeItem {
public:
    FakeItem(QStringList *log, QString name) : m_log(log), Name(std::move(name)) { }
    ~FakeItem() override { m_log->append("free " + Name); }
    void SetText(const QString &text) override { Text = text; }
    void SetImageIndex(int index) override { Image = index; }
    QStringList *m_log;
    QString Name;
    QString Text;
    int Image = -2;
};

class FakeItems : public TwTreeItems {
public:
    TwTreeItem *AddItem(TwTreeItem *parent, const QString &text, TwNode *) override
    {
        const QString parentName = parent ? static_cast<FakeItem *>(parent)->Name : "top";
        Log.append(parentName + " > " + text);
        return new FakeItem(&Log, text);
    }
    QStringList Log;
};

TEST(TwNode, TreeViewBinding)
{
    FakeItems items;
    {
        TwNode root(nullptr, QString(), nkProject);
        auto *menu = new TwNode(&root, "Main Menu", nkMainMenu);
        auto *value = new TwNode(menu, "Speed", nkValue);
        root.BuildTreeNodes(items);
        EXPECT_EQ(items.Log, (QStringList{"top > Main Menu", "Main Menu > Speed"}));
        auto *valueItem = static_cast<FakeItem *>(value->TreeNode.get());
        EXPECT_EQ(valueItem->Text, "Speed");
        EXPECT_EQ(valueItem->Image, 1);

        // The Main Menu's text is left to the language; other texts follow the caption.
        menu->SetCaption("Hauptmenü");
        menu->RefreshTreeNode();
        EXPECT_EQ(static_cast<FakeItem *>(menu->TreeNode.get())->Text, "");
        value->SetCaption("Speed 2");
        value->RefreshTreeNode();
        EXPECT_EQ(valueItem->Text, "Speed 2");
        items.Log.clear();
    }
    // A node's item goes before its subtree: no view shows an item whose
    // node is being torn down.
    EXPECT_EQ(items.Log, (QStringList{"free Main Menu", "free Speed"}));
}

TEST(Descriptions, PreviewAlwaysStartsClean)
{
    QStringList dest{"left over"};
    TwNode root(nullptr, QString(), nkProject);
    LoadDescription(&root, dest);
    EXPECT_EQ(dest, QStringList{"Description.Count=0"});

    auto *device = new TwNode(&root, "Device Infomation", nkDeviceInfo);
    SaveStringsProp(device->Props, {"Line 1", "Line 2"}, "Description");
    LoadDescription(&root, dest);
    EXPECT_EQ(dest, (QStringList{"Line 1", "Line 2"}));

    TwNode header(nullptr, QString(), nkMenuFileHeader);
    SaveStringsProp(header.Props, {"Exported"}, "Description");
    LoadMenuFileDescription(&header, dest);
    EXPECT_EQ(dest, QStringList{"Exported"});
    header.Kind = nkSubMenu;
    LoadMenuFileDescription(&header, dest);
    EXPECT_EQ(dest, QStringList{"Description.Count=0"});
}

}  // namespace
