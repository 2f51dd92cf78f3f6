#include "NodeStream.h"
#include "Operands.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QByteArray Int32(int32_t v)
{
    char b[4];
    qToLittleEndian<int32_t>(v, b);
    return QByteArray(b, 4);
}

QByteArray Utf16(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

QByteArray Record(int32_t kind, int32_t children, const QString &text)
{
    return Int32(kind) + Int32(100) + Int32(children) + Int32(int32_t(text.size())) + Utf16(text);
}

// The six fixed nodes of a new project under a root.
std::unique_ptr<TwNode> FixedProject()
{
    auto root = std::make_unique<TwNode>(nullptr, QString(), nkProject);
    auto *device = new TwNode(root.get(), "Device Infomation", nkDeviceInfo);
    device->SetProp("DeviceID", "1");
    new TwNode(root.get(), "Main Menu", nkMainMenu);
    new TwNode(root.get(), "Alarms", nkAlarms);
    auto *startup = new TwNode(root.get(), "Startup Screen", nkStartupScreen);
    startup->SetProp("EndCondition", "0");
    startup->SetProp("FlipTime", "10");
    startup->SetProp("CycleCount", "0");
    new TwNode(root.get(), "Screen Saver", nkScreenSaver);
    auto *config = new TwNode(root.get(), "Configuration", nkConfiguration);
    config->SetProp("ScreenSaverActiveTime", "10");
    config->SetProp("SaverEffect", "1");
    return root;
}

// A chain of sub-menus, depth sub-menus deep below the Main Menu.
QByteArray SubMenuChain(int depth, bool itemAtBottom)
{
    QByteArray tail = itemAtBottom ? Record(nkValue, 0, "Caption=V\r\n") : QByteArray();
    for (int i = depth; i >= 1; --i) {
        const bool hasChild = i < depth || itemAtBottom;
        tail = Record(nkSubMenu, hasChild ? 1 : 0, QString("Caption=S%1\r\n").arg(i)) + tail;
    }
    return tail;
}

TEST(NodeStream, RecordBytes)
{
    TwNode empty(nullptr, QString(), nkSubMenu);
    QByteArray out;
    WriteNodeRecord(empty, out);
    EXPECT_EQ(out, Int32(101) + Int32(100) + Int32(0) + Int32(0));

    TwNode node(nullptr, "A", nkSubMenu);
    out.clear();
    WriteNodeRecord(node, out);
    ASSERT_EQ(out.size(), 16 + 22);
    EXPECT_EQ(qFromLittleEndian<int32_t>(out.constData() + 12), 11);
    EXPECT_EQ(out.mid(16), Utf16("Caption=A\r\n"));
}

TEST(NodeStream, FixedProjectIsOneRootRecord)
{
    auto root = FixedProject();
    const QByteArray expected = Record(nkProject, 6, "")
        + Record(nkDeviceInfo, 0, "Caption=Device Infomation\r\nDeviceID=1\r\n")
        + Record(nkMainMenu, 0, "Caption=Main Menu\r\n") + Record(nkAlarms, 0, "Caption=Alarms\r\n")
        + Record(nkStartupScreen, 0,
                 "Caption=Startup Screen\r\nEndCondition=0\r\nFlipTime=10\r\nCycleCount=0\r\n")
        + Record(nkScreenSaver, 0, "Caption=Screen Saver\r\n")
        + Record(nkConfiguration, 0,
                 "Caption=Configuration\r\nScreenSaverActiveTime=10\r\nSaverEffect=1\r\n");
    EXPECT_EQ(SaveProjectFile(*root), expected);
}

TEST(NodeStream, ProjectRoundTripIsByteIdentical)
{
    auto root = FixedProject();
    TwNode *menu = root->GetChild(1);
    auto *sub = new TwNode(menu, QString::fromUtf8("Pumpen ü €"), nkSubMenu);
    SaveStringsProp(sub->Props, {"first", "", QString::fromUtf8("drittes 😀")}, "Description");
    auto *value = new TwNode(sub, "Speed", nkValue);
    value->SetProp("Reference", "DR5000");
    value->SetProp("Signed", "1");
    value->CompileProps.append("MenuNodeLoc=12");  // scratch: never written
    const QByteArray bytes = SaveProjectFile(*root);

    bool truncated = true;
    auto loaded = LoadProjectFile(bytes, truncated);
    EXPECT_FALSE(truncated);
    EXPECT_EQ(SaveProjectFile(*loaded), bytes);
    const TwNode *loadedSub = loaded->GetChild(1)->GetChild(0);
    EXPECT_EQ(loadedSub->Caption(), QString::fromUtf8("Pumpen ü €"));
    EXPECT_EQ(loadedSub->GetChild(0)->Parent, loadedSub);
    EXPECT_TRUE(loadedSub->GetChild(0)->CompileProps.isEmpty());
    EXPECT_EQ(loaded->Parent, nullptr);
}

TEST(NodeStream, LineBreaksOfEveryKind)
{
    EXPECT_EQ(SplitPropertyText("a=1\r\nb=2\rc=3\nd=4"), (QStringList{"a=1", "b=2", "c=3", "d=4"}));
    EXPECT_EQ(SplitPropertyText("a=1\r\n"), QStringList{"a=1"});
    EXPECT_EQ(SplitPropertyText("a=1\r\n\r\n"), (QStringList{"a=1", ""}));
    EXPECT_EQ(SplitPropertyText(""), QStringList{});
}

TEST(NodeStream, MenuExportWritesMainMenuAsSubMenu)
{
    auto root = FixedProject();
    TwNode *menu = root->GetChild(1);
    new TwNode(menu, "Item", nkValue);
    const QByteArray file = SaveMenuExportFile(*menu, {"Pumps of hall 2"});
    EXPECT_EQ(menu->Kind, nkMainMenu);

    const QByteArray header =
        Record(nkMenuFileHeader, 0, "Description.Count=1\r\nDescription.Strings[0]=Pumps of hall 2\r\n");
    ASSERT_TRUE(file.startsWith(header));
    EXPECT_EQ(qFromLittleEndian<int32_t>(file.constData() + header.size()), nkSubMenu);

    QStringList description;
    LoadMenuFileDescription(LoadMenuFileHeader(file).get(), description);
    EXPECT_EQ(description, QStringList{"Pumps of hall 2"});

    // Imported under another menu: a sub-menu with the Main Menu's caption.
    auto other = FixedProject();
    bool truncated = true;
    TwNode *imported = LoadMenuExportFile(file, other->GetChild(1), truncated);
    EXPECT_FALSE(truncated);
    EXPECT_EQ(imported->Kind, nkSubMenu);
    EXPECT_EQ(imported->Caption(), "Main Menu");
    EXPECT_EQ(imported->Parent, other->GetChild(1));
    EXPECT_EQ(imported->GetChildCount(), 1);
}

TEST(NodeStream, ClipboardBlock)
{
    TwNode menu(nullptr, "Main Menu", nkMainMenu);
    const QByteArray block = MakeClipboardBlock(menu);
    const QByteArray record = Record(nkSubMenu, 0, "Caption=Main Menu\r\n");
    EXPECT_EQ(block, Int32(int32_t(record.size())) + record);

    QByteArray body;
    ASSERT_TRUE(ClipboardBlockBody(block, body));
    EXPECT_EQ(body, record);
    // Extra bytes after the record are allowed; a count beyond the block is not.
    EXPECT_TRUE(ClipboardBlockBody(block + "xx", body));
    EXPECT_FALSE(ClipboardBlockBody(block.left(block.size() - 1), body));
    EXPECT_FALSE(ClipboardBlockBody(Int32(4) + Int32(0), body));  // 8 bytes: too small
    // A count near 2^32 must not wrap round to a small size.
    EXPECT_FALSE(ClipboardBlockBody(Int32(-2) + record, body));
    EXPECT_FALSE(ClipboardBlockBody(Int32(-4) + record, body));
}

TEST(NodeStream, DepthRuleCutsAndAlwaysReports)
{
    // Main Menu at level 1; S1 at level 2, ..., S6 at level 7 keeps itself but
    // loses its item, and the read says so.
    TwNode root(nullptr, QString(), nkProject);
    auto *menu = new TwNode(&root, "Main Menu", nkMainMenu);
    bool truncated = false;
    NodeStreamReader in6(SubMenuChain(6, true));
    TwNode *top = ReadNodeUnder(menu, in6, truncated);
    EXPECT_TRUE(truncated);
    const TwNode *deepest = top;
    while (deepest->GetChildCount() > 0)
        deepest = deepest->GetChild(0);
    EXPECT_EQ(deepest->Caption(), "S6");
    EXPECT_EQ(deepest->GetLevel(), 7);

    // Five sub-menus with an item: nothing is lost.
    NodeStreamReader in5(SubMenuChain(5, true));
    ReadNodeUnder(menu, in5, truncated);
    EXPECT_FALSE(truncated);

    // A cut stream written back and read again stays as it is.
    bool again = true;
    auto reloaded = LoadProjectFile(SaveProjectFile(root), again);
    EXPECT_FALSE(again);
    EXPECT_EQ(SaveProjectFile(*reloaded), SaveProjectFile(root));
}

TEST(NodeStream, DamagedStreamsLeaveTheTargetAlone)
{
    TwNode root(nullptr, QString(), nkProject);
    auto *menu = new TwNode(&root, "Main Menu", nkMainMenu);
    const QByteArray good = Record(nkSubMenu, 1, "Caption=S\r\n") + Record(nkValue, 0, "Caption=V\r\n");

    const QByteArray damaged[] = {
        good.left(good.size() - 1),                                    // ends inside the text
        good.left(20),                                                 // ends inside the header
        Record(nkSubMenu, 5, "Caption=S\r\n"),                         // children missing
        Record(nkSubMenu, -1, ""),                                     // negative count
        Int32(nkSubMenu) + Int32(100) + Int32(0) + Int32(1000000),     // text beyond the end
        Int32(nkSubMenu) + Int32(100) + Int32(0) + Int32(-3),          // negative length
        Int32(nkSubMenu) + Int32(100) + Int32(0x7FFFFFFF) + Int32(0),  // absurd count
        QByteArray(),
    };
    for (const QByteArray &bytes : damaged) {
        NodeStreamReader in(bytes);
        bool truncated = false;
        EXPECT_THROW(ReadNodeUnder(menu, in, truncated), NodeStreamError);
        EXPECT_EQ(menu->GetChildCount(), 0);
        bool t = false;
        EXPECT_THROW(LoadProjectFile(bytes, t), NodeStreamError);
    }

    // Deep nesting is refused without exhausting the stack.
    QByteArray deep;
    for (int i = 0; i < 100000; ++i)
        deep += Record(nkSubMenu, 1, "");
    NodeStreamReader in(deep);
    bool truncated = false;
    EXPECT_THROW(ReadNodeUnder(menu, in, truncated), NodeStreamError);
    EXPECT_EQ(menu->GetChildCount(), 0);

    // A menu file holding a single record has no menu to import.
    bool t = false;
    EXPECT_THROW(LoadMenuExportFile(Record(nkMenuFileHeader, 0, ""), menu, t), NodeStreamError);
    EXPECT_EQ(menu->GetChildCount(), 0);
}

TEST(NodeStream, UnknownKindsAndMarksAreTakenOver)
{
    QByteArray bytes = Int32(4242) + Int32(7) + Int32(0) + Int32(0);
    bool truncated = false;
    auto node = LoadProjectFile(bytes, truncated);
    EXPECT_EQ(node->Kind, 4242);
    EXPECT_EQ(node->GetImageIndex(), -1);
}

}  // namespace
