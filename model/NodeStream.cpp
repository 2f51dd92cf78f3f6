#include "NodeStream.h"

#include "Operands.h"

#include <QtEndian>

namespace {

// Deepest nesting of records one read accepts. The editor never builds a tree
// near this; a stream nested deeper is damaged.
constexpr int kMaxNesting = 64;
constexpr int32_t kRecordMark = 100;

void AppendInt32(QByteArray &out, int32_t value)
{
    char bytes[4];
    qToLittleEndian<int32_t>(value, bytes);
    out.append(bytes, 4);
}

bool ReadNodeRecord(TwNode *node, NodeStreamReader &in, int nesting);

// Reads the records of count children under node. Every child record needs
// at least a header, which bounds the count by the bytes that remain.
bool ReadChildren(TwNode *node, NodeStreamReader &in, int32_t count, int nesting)
{
    if (count < 0 || count > in.Remaining() / kNodeRecordHeader)
        throw NodeStreamError("The file is damaged: a child count does not fit the file.");
    bool truncated = false;
    if (count > 0) {
        if (!node->Children)
            node->Children = std::make_unique<std::vector<TwNode *>>();
        node->Children->reserve(node->Children->size() + static_cast<size_t>(count));
    }
    for (int32_t i = 0; i < count; ++i) {
        TwNode *child = new TwNode(node, QString(), nkReading);
        if (ReadNodeRecord(child, in, nesting + 1))
            truncated = true;
    }
    return truncated;
}

bool ReadNodeRecord(TwNode *node, NodeStreamReader &in, int nesting)
{
    if (nesting > kMaxNesting)
        throw NodeStreamError("The file is damaged: its nodes are nested too deeply.");
    const int32_t kind = in.ReadInt32();
    in.ReadInt32();  // the record mark, never checked
    const int32_t childCount = in.ReadInt32();
    const int32_t textLength = in.ReadInt32();
    node->Kind = kind;
    if (textLength < 0 || textLength > in.Remaining() / 2)
        throw NodeStreamError("The file is damaged: a text length does not fit the file.");
    node->Props = SplitPropertyText(in.ReadUtf16(textLength));

    bool truncated = ReadChildren(node, in, childCount, nesting);

    // Depth rule: nothing below a sub-menu at level 7 is kept, and anything
    // that deep is reported.
    const int depth = node->GetLevel() + (node->Kind == nkSubMenu ? 1 : 0);
    if (depth > 8)
        truncated = true;
    if (depth > 7 && node->GetChildCount() > 0) {
        node->ClearChildren();
        truncated = true;
    }
    return truncated;
}

}  // namespace

int32_t NodeStreamReader::ReadInt32()
{
    if (Remaining() < 4)
        throw NodeStreamError("The file ends inside a record.");
    const int32_t value = qFromLittleEndian<int32_t>(m_bytes.constData() + m_pos);
    m_pos += 4;
    return value;
}

QString NodeStreamReader::ReadUtf16(qsizetype units)
{
    if (units < 0 || units > Remaining() / 2)
        throw NodeStreamError("The file ends inside a record.");
    QString text(units, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(m_bytes.constData() + m_pos, units, text.data());
    m_pos += units * 2;
    return text;
}

QString NodePropertyText(const QStringList &props)
{
    QString text;
    for (const QString &line : props) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}

QStringList SplitPropertyText(const QString &text)
{
    QStringList lines;
    const QChar *units = text.constData();
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = units[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(QString(units + start, i - start));
        if (c == u'\r' && i + 1 < size && units[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(QString(units + start, size - start));
    return lines;
}

void WriteNodeRecord(const TwNode &node, QByteArray &out, int32_t kindOverride)
{
    const QString text = NodePropertyText(node.Props);
    AppendInt32(out, kindOverride ? kindOverride : node.Kind);
    AppendInt32(out, kRecordMark);
    AppendInt32(out, node.GetChildCount());
    AppendInt32(out, static_cast<int32_t>(text.size()));
    for (QChar c : text) {
        const char16_t unit = c.unicode();
        out.append(static_cast<char>(unit & 0xFF));
        out.append(static_cast<char>(unit >> 8));
    }
    for (int i = 0; i < node.GetChildCount(); ++i)
        WriteNodeRecord(*node.GetChild(i), out);
}

std::unique_ptr<TwNode> ReadScratchNode(NodeStreamReader &in, bool &truncated)
{
    auto node = std::make_unique<TwNode>(nullptr, QString(), nkReading);
    truncated = ReadNodeRecord(node.get(), in, 0);
    return node;
}

TwNode *ReadNodeUnder(TwNode *parent, NodeStreamReader &in, bool &truncated)
{
    // Read in place, so that the depth rule sees where the subtree lands.
    std::unique_ptr<TwNode> node(new TwNode(parent, QString(), nkReading));
    truncated = ReadNodeRecord(node.get(), in, 0);
    return node.release();
}

QByteArray SaveProjectFile(const TwNode &root)
{
    QByteArray out;
    WriteNodeRecord(root, out);
    return out;
}

std::unique_ptr<TwNode> LoadProjectFile(const QByteArray &bytes, bool &truncated)
{
    NodeStreamReader in(bytes);
    return ReadScratchNode(in, truncated);
}

namespace {
int32_t ExportKind(const TwNode &node)
{
    return node.Kind == nkMainMenu ? nkSubMenu : 0;
}
}  // namespace

QByteArray SaveMenuExportFile(const TwNode &menu, const QStringList &description)
{
    TwNode header(nullptr, QString(), nkMenuFileHeader);
    SaveStringsProp(header.Props, description, QStringLiteral("Description"));
    QByteArray out;
    WriteNodeRecord(header, out);
    WriteNodeRecord(menu, out, ExportKind(menu));
    return out;
}

std::unique_ptr<TwNode> LoadMenuFileHeader(const QByteArray &bytes)
{
    NodeStreamReader in(bytes);
    bool truncated = false;
    return ReadScratchNode(in, truncated);
}

TwNode *LoadMenuExportFile(const QByteArray &bytes, TwNode *target, bool &truncated)
{
    NodeStreamReader in(bytes);
    bool headerTruncated = false;
    if (ReadScratchNode(in, headerTruncated)->Kind != nkMenuFileHeader)
        throw NodeStreamError("It is no menu file: it does not begin with the header of one.");
    NodeStreamReader menuKind = in;
    if (in.Remaining() == 0)
        throw NodeStreamError("It is no menu file: it holds no menu after its header.");
    const int32_t kind = menuKind.ReadInt32();
    if (kind != nkMainMenu && kind != nkSubMenu)
        throw NodeStreamError("It is no menu file: the record after its header is no menu.");
    TwNode *menu = ReadNodeUnder(target, in, truncated);
    // A Main Menu comes in as a sub-menu of the menu it lands in.
    menu->Kind = nkSubMenu;
    return menu;
}

QByteArray MakeClipboardBlock(const TwNode &node)
{
    QByteArray record;
    WriteNodeRecord(node, record, ExportKind(node));
    QByteArray block;
    block.reserve(record.size() + 4);
    char count[4];
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(record.size()), count);
    block.append(count, 4);
    block.append(record);
    return block;
}

bool ClipboardBlockBody(const QByteArray &block, QByteArray &body)
{
    if (block.size() <= 8)
        return false;
    const uint64_t n = qFromLittleEndian<uint32_t>(block.constData());
    if (n + 4 > static_cast<uint64_t>(block.size()))
        return false;
    body = block.mid(4, static_cast<qsizetype>(n));
    return true;
}
