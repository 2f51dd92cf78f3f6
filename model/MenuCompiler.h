// The menu compiler: turns a project tree into the panel's menu image, the
// byte image the panel runtime interprets without ever seeing the tree.
//
// Menu image (little-endian, packed, no padding anywhere):
//
//   offset size  field
//   0      3     "ZEL"
//   3      1     model byte: panel model id * 32 + 1 (0x01 128 x 64, 0x21 128 x 96)
//   4      4     size: bytes from offset 0 up to the checksum
//   8      4     menuPagesBase (always 40)
//   12     4     alarmPagesBase
//   16     4     directoryBase
//   20     4     stringPoolBase
//   24     4     attributePoolBase
//   28     4     screenInfoBase
//   32     4     fontPatternBase
//   36     4     configurationBase
//   40           the eight sections in the order of the bases, each directly
//                after the previous one
//   size   1     checksum: the 8-bit sum of bytes 0 .. size is 0
//   size+1 1     0
//
// A location is an unsigned 16-bit offset from the start of the section that
// holds its target; 0xFFFF means none. Locations never exceed 0xFFFE: a
// project whose menu pages, string pool or attribute pool would place a
// record beyond that is refused.
//
// Menu pages: MenuPage = u16 count, then count MenuItemRecords of 10 bytes:
//   u8 type (0 sub-menu, 1 value, 2 list, 3 action), u8 0, u16 captionLoc,
//   u16 descriptionLoc (string pool), u16 attributeLoc (attribute pool, 0xFFFF
//   for a sub-menu), u16 menuNodeLoc (the child's own page, 0xFFFF when the
//   child has no children). The Main Menu's page lies at location 0. Every
//   value, list and action item is followed by an empty page of its own
//   (count 0) that nothing refers to.
//
// Alarm pages: AlarmTable, 772 bytes: u16 maxCount (64), u16 used, then 64
//   entries of six u16: stringLoc[3] (the alarm's three lines) and
//   attributeLoc[3] (OperandRecords of its three references); entry i is the
//   alarm numbered i + 1, every field of an unused entry 0xFFFF.
//
// Glyph directory: u8 fontHeight, u8 0, u16 count, then count u32 entries:
//   bits 0-23 the glyph's pattern offset in the font-pattern section, bits
//   24-31 its width in pixels. Glyphs 0-7 are the picture glyphs (see
//   kPictureGlyphRows), 8-127 the characters of the same code, 128 on the
//   characters the texts use in the order the walk first met them.
//
// String pool: PoolString = u16 length n, then n u16 glyph indices. Texts are
//   not shared. A description is its lines, each followed by CR LF.
//
// Attribute pool:
//   ValueItemRecord, 16 bytes: u16 unitStrLoc, u16 refNumber, u8 refType,
//     u8 flag (bit 0 read-only, bit 1 signed), u8 decimalPoint, u8 0,
//     i32 min, i32 max.
//   ListItemRecord, 6 bytes: u16 refNumber, u8 refType, u8 flag (bit 0
//     read-only), u8 count, u8 0; then count u16 string locations of the
//     entry texts.
//   ActionItemRecord, 20 bytes: u16 textLoc (type 0 only, else 0xFFFF),
//     u16 refNumber, u8 refType, u8 flag (types 5-7: bit 1 signed),
//     u8 actionType (255 for none), u8 0, i32 min, i32 max (types 5-7),
//     i32 step (types 6 and 7); fields a type does not use are 0.
//   OperandRecord, 4 bytes: u16 number, u8 type, u8 0.
//   refNumber is the operand's number and refType its OperandType code; an
//   operand that does not parse gives 0 and 0.
//
// Every number taken from a property must fit its field: one that does not (a
// constant reference beyond 0 .. 65535, a decimal point or list count beyond
// a byte, an action type outside -1 .. 255, a flip time beyond 16 bits, ...)
// refuses the compile with a message naming the item and the property. A
// property that is no number at all counts as its default.
//
// Screen info: ScreenHeader, 8 bytes: u8 startupCount, u8 saverCount (0 or 1),
//   u8 endCondition, u8 0, u16 flipTime, u16 cycleCount; then one picture per
//   startup screen in tree order, then the screen-saver picture when it has
//   one. A picture is a 1-bit page picture of exactly one display: 1024 bytes
//   for the 128 x 64 model, 1536 for the 128 x 96 model.
//
// Font patterns: per glyph in glyph order, its columns from the left, each
//   ceil(fontHeight / 8) bytes, byte k holding rows 8k .. 8k+7 with the upper
//   row in bit 0; a set bit is ink.
//
// Configuration: RuntimeConfigBlock, 38 bytes: four pairs u32 type, u32 value
//   (alarm index, password, screen-saver time, working space), then u16
//   level1IsTop, u16 protectType, u16 saverEffect.
#pragma once

#include "GlyphRaster.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

class TwNode;

constexpr uint16_t kLocNone = 0xFFFF;
constexpr uint16_t kLocPlaceholder = 0xAA55;
constexpr uint16_t kLocLast = 0xFFFE;
constexpr int kEncodeBufferUnits = 1024;
constexpr int kMaxGlyphCount = 65535;
constexpr int kBaseGlyphCount = 128;
constexpr int kImageHeaderSize = 40;
constexpr int kAlarmCount = 64;
constexpr int kAlarmTableSize = 4 + kAlarmCount * 12;
constexpr int kScreenHeaderSize = 8;
constexpr int kConfigBlockSize = 38;
// The image size the panel can hold; larger images are still written.
constexpr uint32_t kImageSizeLimit = 131072;

// The eight picture glyphs: 8 x 16 pixels, rows from the top, bit 7 the
// leftmost pixel, 1 for ink. Only the left 6 columns and the top fontHeight
// rows reach the image.
constexpr int kPictureGlyphCount = 8;
constexpr int kPictureGlyphWidth = 6;
extern const uint8_t kPictureGlyphRows[kPictureGlyphCount][16];

// Sections in image order.
enum TwSectionId : int {
    rsMenuPages = 0,
    rsAlarmPages,
    rsDirectory,
    rsStringPool,
    rsAttributePool,
    rsScreenInfo,
    rsFontPatterns,
    rsConfiguration,
    rsSectionCount
};

// A growable little-endian byte section.
class TwSection {
public:
    uint32_t Size() const { return static_cast<uint32_t>(m_bytes.size()); }
    const std::vector<uint8_t> &Bytes() const { return m_bytes; }
    void Clear() { m_bytes.clear(); }
    void WriteU8(uint32_t value) { m_bytes.push_back(static_cast<uint8_t>(value)); }
    void WriteU16(uint32_t value);
    void WriteU32(uint32_t value);
    void WriteBytes(const uint8_t *data, size_t length);
    // Overwrites the u16 at offset; the offset must lie inside the section.
    void PatchU16(uint32_t offset, uint16_t value);
    void PatchBytes(uint32_t offset, const uint8_t *data, size_t length);
    void Reserve(size_t bytes) { m_bytes.reserve(bytes); }

private:
    std::vector<uint8_t> m_bytes;
};

// A compile that cannot give a sound image. Raised by the helpers below and
// turned into a false result with ErrorText by the public steps.
class TwCompileError : public std::runtime_error {
public:
    explicit TwCompileError(const QString &message)
        : std::runtime_error(message.toStdString()), Message(message)
    {
    }
    QString Message;
};

// What a compile needs beyond the tree; the caller fills it from the window.
struct TwCompileSettings {
    // 0 the 128 x 64 model, 1 the 128 x 96 model.
    uint32_t PanelModelId = 0;
    // Folder of the program: "Menu_code.c" is written there.
    QString ProgramFolder;
    // The current project file (path or bare name); empty for a project that
    // was never saved.
    QString ProjectFileName;
};

// The little-endian u32 at offset of an image (a header field or base); 0
// when the image is too short to hold it.
uint32_t ImageU32(const QByteArray &image, qsizetype offset);

// Bytes of one startup or saver picture of a panel model.
int PictureBytesOfModel(uint32_t panelModelId);

// True when the project file is the panel's system-menu project: its name
// without the folder is "System.mze" exactly, case included.
bool IsSystemMenuProject(const QString &projectFileName);

// The C source "Menu_code.c" of an image (CR LF line ends): the array
// MenuCode with 16 bytes a line, each line ending with the indices of its
// first and last byte, and the last byte alone on the closing line.
QByteArray MenuCodeSource(const QByteArray &image);

// Writes bytes to path through a temporary file renamed into place; on
// failure error holds why and the old file is left as it was.
bool WriteFileSafely(const QString &path, const QByteArray &bytes, QString &error);

class TwRes {
public:
    // The font is borrowed; it must outlive the compiler.
    TwRes(TwGlyphSource &font, const TwCompileSettings &settings);

    TwRes(const TwRes &) = delete;
    TwRes &operator=(const TwRes &) = delete;

    // Compiles the node and its subtree (pre-order); called once with the
    // project root, which must hold the Main Menu, Startup Screen and
    // Configuration nodes. Only the scratch properties of the tree change.
    // False when the project is refused; ErrorText says why.
    bool Compile(TwNode *node);
    // Renders the glyph set, then puts the screen header and alarm table in
    // their sections. False when the font is unusable or a glyph limit is hit.
    bool BuildFont();
    // Assembles the image and writes it to fileName, and "Menu_code.c" into
    // the program folder for the system-menu project. False on any failure,
    // with ErrorText; a failed write leaves no half-written file.
    bool SaveImage(const QString &fileName);
    // Writes the whole image into out and sets CodeSize.
    void AssembleImage(QByteArray &out);

    uint32_t CodeSize() const { return m_codeSize; }
    QString ErrorText() const { return m_error; }

    // Glyph set and string pool. The helpers below raise TwCompileError when
    // a limit of the image is hit (65535 glyphs, a text beyond the encoding
    // buffer, a location beyond 0xFFFE); Compile and BuildFont turn that into
    // their false result.
    int GlyphCount() const { return static_cast<int>(m_glyphs.size()); }
    const std::vector<char16_t> &Glyphs() const { return m_glyphs; }
    // Appends each character of the text that is not yet a glyph.
    void AddGlyphs(const QString &text);
    // Glyph index of each unit into buffer; the number written, or 0 when a
    // unit is not a glyph or the text does not fit capacity.
    int EncodeText(const QString &text, uint16_t *buffer, int capacity) const;
    // String-pool location of a new copy of the text (0xFFFF for the empty
    // text), also written as u16 to out when given.
    uint16_t AddString(const QString &text, TwSection *out = nullptr);
    // Fills the glyph directory and the font patterns: glyphs 0-7 from the
    // picture glyphs, the others from the font, every one fontHeight rows
    // high and at most 255 pixels wide.
    void RenderGlyphs();

    // Attribute pool.
    // Location of a new OperandRecord of the text; 0xFFFF for the empty text.
    // node and key name the property in a refusal (a number beyond 16 bits).
    uint16_t AddOperand(const QString &text, const TwNode *node = nullptr, const QString &key = QString());
    // Writes the attribute pool's position to out, then appends the item's
    // value, list or action record.
    void AddItemAttribute(const TwNode *item, TwSection &out);
    // Appends the bytes of a picture text, read as every picture text is
    // (see PictureData.h).
    static void AddHexData(TwSection &section, const QString &text);

    const TwSection &Section(int id) const { return m_sections[id]; }

private:
    void CompileNode(TwNode *node);
    void EmitMenuPage(TwNode *node);
    void EnterAlarm(const TwNode *alarm);
    void AppendPicture(TwSection &section, const TwNode *picture);
    void EmitConfiguration(const TwNode *config);
    void CheckFixedNodes(const TwNode *root);
    uint16_t TakeLocation(const TwSection &section, const char *what);
    void WriteScreenHeader();
    void WriteAlarmTable();
    void RenderGlyph(int index);
    QString ItemName(const TwNode *node) const;
    // Refuses the compile: what of node is value, outside low .. high.
    [[noreturn]] void RefuseNumber(const TwNode *node, const QString &what, const QString &value, int64_t low,
                                   int64_t high) const;
    // The number of a property for a field of the image: defaultValue when the
    // text is no number; a number outside low .. high refuses the compile.
    int64_t FieldNumber(const TwNode *node, const char *key, int64_t defaultValue, int64_t low,
                        int64_t high) const;
    // The 16-bit field of the number parsed from an operand property's text;
    // a constant outside 0 .. 65535 refuses the compile.
    uint16_t OperandNumber(const TwNode *node, const QString &key, const QString &text, int64_t number) const;

    TwGlyphSource &m_font;
    TwCompileSettings m_settings;
    std::vector<char16_t> m_glyphs;
    // Glyph index by UTF-16 unit, -1 when the unit is not a glyph yet.
    std::vector<int32_t> m_glyphIndex;
    std::array<TwSection, rsSectionCount> m_sections;
    uint32_t m_codeSize = 0;
    bool m_fontBuilt = false;
    QString m_error;
    // The node whose texts are being encoded, for messages.
    const TwNode *m_currentItem = nullptr;
    QString m_currentProperty;
    int m_fontHeight = 0;

    struct ScreenHeader {
        uint8_t startupCount = 0;
        uint8_t saverCount = 0;
        uint8_t endCondition = 0;
        uint16_t flipTime = 0;
        uint16_t cycleCount = 0;
    } m_screenHeader;
    // The saver picture, kept aside so it follows every startup picture
    // whatever the order of the fixed nodes.
    TwSection m_saverPicture;

    struct AlarmEntry {
        uint16_t stringLoc[3];
        uint16_t attributeLoc[3];
    };
    uint16_t m_alarmsUsed = 0;
    std::array<AlarmEntry, kAlarmCount> m_alarms;
};
