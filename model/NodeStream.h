// The node stream: little-endian pre-order records of a node and its subtree,
// and the three containers built on it (project file, exported menu file and
// clipboard block).
//
// Record: i32 kind, i32 100, i32 child count, i32 text length n in UTF-16
// units, n UTF-16LE units of property text (every line followed by CR LF),
// then the children's records.
#pragma once

#include "ProjectTree.h"

#include <QByteArray>
#include <QStringList>
#include <memory>
#include <stdexcept>

// A stream that is damaged or ends inside a record.
class NodeStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Bounded reader over a byte buffer.
class NodeStreamReader {
public:
    explicit NodeStreamReader(const QByteArray &bytes) : m_bytes(bytes) { }
    qsizetype Remaining() const { return m_bytes.size() - m_pos; }
    qsizetype Position() const { return m_pos; }
    int32_t ReadInt32();
    // Reads n UTF-16LE code units; n must fit the bytes that remain.
    QString ReadUtf16(qsizetype units);

private:
    QByteArray m_bytes;
    qsizetype m_pos = 0;
};

// Size of the smallest record (a node without text and children).
constexpr qsizetype kNodeRecordHeader = 16;

// Largest clipboard block, and largest file previewed in an open dialog, that
// is read at all: those reads run on every clipboard change and every click
// on a file, so they must stay quick whatever lies there.
constexpr qsizetype kPreviewByteLimit = 4 * 1024 * 1024;
// Largest clipboard block (count and record) a paste takes; a copy puts no
// larger one on the clipboard.
constexpr qsizetype kMaxClipboardBlockBytes = kPreviewByteLimit;

// Appends the record of node and its subtree. kindOverride, when not 0, is
// written in place of the node's own kind (a Main Menu leaves as a sub-menu).
void WriteNodeRecord(const TwNode &node, QByteArray &out, int32_t kindOverride = 0);

// Property text of a node: every line followed by CR LF.
QString NodePropertyText(const QStringList &props);
// Splits a property text at CR LF, lone CR or lone LF; a final line break
// adds no empty line.
QStringList SplitPropertyText(const QString &text);

// Reads a new node with its subtree from bytes as the last child of parent
// (parent may be null: a scratch node). On a damaged stream the new node is
// removed again and NodeStreamError is raised, so parent is left as it was.
// truncated is set when the depth rule discarded anything.
std::unique_ptr<TwNode> ReadScratchNode(NodeStreamReader &in, bool &truncated);
TwNode *ReadNodeUnder(TwNode *parent, NodeStreamReader &in, bool &truncated);

// Project file (".zel", ".mze"): the root's record alone.
QByteArray SaveProjectFile(const TwNode &root);
// Reads a project into a fresh root; raises NodeStreamError on a damaged file.
std::unique_ptr<TwNode> LoadProjectFile(const QByteArray &bytes, bool &truncated);

// Exported menu file (".mzm"): a kind-700 header with the description, then
// the menu's record (a Main Menu written as a sub-menu).
QByteArray SaveMenuExportFile(const TwNode &menu, const QStringList &description);
// The header record of a menu file, for a description preview.
std::unique_ptr<TwNode> LoadMenuFileHeader(const QByteArray &bytes);
// Reads the menu of a menu file as the last child of target and returns it,
// a sub-menu (a Main Menu comes in as one). A file that is no menu file (its
// first record no header, its second no menu) or is damaged raises
// NodeStreamError and leaves target as it was.
TwNode *LoadMenuExportFile(const QByteArray &bytes, TwNode *target, bool &truncated);

// Clipboard block ("CF_MZELMenuRes"): u32 byte count n, then n bytes of one
// record (a Main Menu written as a sub-menu).
QByteArray MakeClipboardBlock(const TwNode &node);
// The record bytes of a block; false when the block fails the size test.
bool ClipboardBlockBody(const QByteArray &block, QByteArray &body);
