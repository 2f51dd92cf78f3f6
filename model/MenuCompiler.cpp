#include "MenuCompiler.h"

#include "Operands.h"
#include "PictureData.h"
#include "ProjectTree.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>

const uint8_t kPictureGlyphRows[kPictureGlyphCount][16] = {
    // triangle pointing left
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x18, 0x78, 0xF8, 0x78, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    // triangle pointing right
    {0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0xF0, 0xF8, 0xF0, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    // triangle pointing up
    {0x00, 0x20, 0x70, 0x70, 0xF8, 0xF8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    // triangle pointing down
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF8, 0xF8, 0x70, 0x70, 0x20, 0x00, 0x00, 0x00, 0x00},
    // up and down triangles
    {0x00, 0x20, 0x70, 0x70, 0xF8, 0xF8, 0x00, 0xF8, 0xF8, 0x70, 0x70, 0x20, 0x00, 0x00, 0x00, 0x00},
    // down triangle over a bar
    {0x00, 0x00, 0x00, 0xF8, 0xF8, 0x70, 0x70, 0x20, 0x00, 0xF8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    // exclamation mark
    {0x00, 0x18, 0x3C, 0x3C, 0x3C, 0x3C, 0x3C, 0x3C, 0x18, 0x18, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00},
    // padlock
    {0x00, 0x00, 0x00, 0x78, 0x84, 0x84, 0x84, 0xFC, 0xFC, 0xCC, 0xFC, 0xFC, 0x00, 0x00, 0x00, 0x00},
};

namespace {

const QString kMenuNodeLoc = QStringLiteral("MenuNodeLoc");
constexpr int kMaxPixels = 255;  // widths and the font height are bytes
constexpr uint32_t kMaxPatternOffset = 0xFFFFFF;

// Item type of a menu entry by the child's kind; -1 for a kind that has no
// place in a menu.
int MenuItemType(int32_t kind)
{
    switch (kind) {
    case nkMainMenu:
    case nkSubMenu: return 0;
    case nkValue: return 1;
    case nkList: return 2;
    case nkAction: return 3;
    default: return -1;
    }
}

// The operand's record fields: its number and type code; 0 and 0 for a text
// that does not parse. The record holds the number in 16 bits.
struct OperandFields {
    uint32_t flag = opNone;
    int64_t number = 0;
    uint8_t type = otNone;
};

OperandFields ParseOperandFields(const QString &text)
{
    OperandFields fields;
    int32_t number = 0;
    fields.flag = ParseOperand(text, number);
    if (fields.flag != opNone) {
        fields.number = fields.flag == opConstUnsigned ? int64_t(uint32_t(number)) : int64_t(number);
        fields.type = OperandTypeCode(fields.flag);
    }
    return fields;
}

// True for a decimal number, signed or not, with blanks around it: a text
// that reads as a number, whatever its size.
bool IsDecimalText(const QString &text)
{
    const QString trimmed = text.trimmed();
    qsizetype i = trimmed.startsWith(QLatin1Char('+')) || trimmed.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (i >= trimmed.size())
        return false;
    for (; i < trimmed.size(); ++i) {
        if (trimmed[i] < QLatin1Char('0') || trimmed[i] > QLatin1Char('9'))
            return false;
    }
    return true;
}

void PutU32(QByteArray &bytes, int offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

}  // namespace

void TwSection::WriteU16(uint32_t value)
{
    m_bytes.push_back(static_cast<uint8_t>(value));
    m_bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void TwSection::WriteU32(uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        m_bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void TwSection::WriteBytes(const uint8_t *data, size_t length)
{
    m_bytes.insert(m_bytes.end(), data, data + length);
}

void TwSection::PatchU16(uint32_t offset, uint16_t value)
{
    const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    PatchBytes(offset, bytes, 2);
}

void TwSection::PatchBytes(uint32_t offset, const uint8_t *data, size_t length)
{
    if (offset > m_bytes.size() || length > m_bytes.size() - offset)
        throw std::out_of_range("patch beyond the end of a section");
    std::copy(data, data + length, m_bytes.begin() + offset);
}

uint32_t ImageU32(const QByteArray &image, qsizetype offset)
{
    if (offset < 0 || offset > image.size() - 4)
        return 0;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(image[offset + i]);
    return value;
}

int PictureBytesOfModel(uint32_t panelModelId)
{
    return panelModelId == 1 ? kPictureBytes96 : kPictureBytes64;
}

bool IsSystemMenuProject(const QString &projectFileName)
{
    if (projectFileName.isEmpty())
        return false;
    return QFileInfo(projectFileName).fileName() == QLatin1String("System.mze");
}

QByteArray MenuCodeSource(const QByteArray &image)
{
    QByteArray out("const char MenuCode[] = {\r\n");
    if (image.isEmpty())
        return out + "};\r\n";
    const qsizetype body = image.size() - 1;  // all bytes but the last
    out.reserve(32 + body * 6 + (body / 16 + 1) * 20);
    char text[64];
    for (qsizetype start = 0; start < body; start += 16) {
        const qsizetype end = std::min<qsizetype>(start + 16, body);
        for (qsizetype i = start; i < end; ++i) {
            snprintf(text, sizeof text, " 0x%02x,", static_cast<uint8_t>(image[i]));
            out += text;
        }
        snprintf(text, sizeof text, "  //%lld ~%lld\r\n", static_cast<long long>(start),
                 static_cast<long long>(end - 1));
        out += text;
    }
    snprintf(text, sizeof text, " 0x%02x};\r\n", static_cast<uint8_t>(image[body]));
    out += text;
    return out;
}

bool WriteFileSafely(const QString &path, const QByteArray &bytes, QString &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("The file \"%1\" cannot be created: %2").arg(path, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        error = QStringLiteral("The file \"%1\" cannot be written: %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

TwRes::TwRes(TwGlyphSource &font, const TwCompileSettings &settings)
    : m_font(font), m_settings(settings), m_glyphIndex(0x10000, -1)
{
    // Index 0 and index 1 both hold U+0001; a text only ever finds index 0.
    m_glyphs.reserve(1024);
    m_glyphs.push_back(1);
    for (char16_t c = 1; c < kBaseGlyphCount; ++c) {
        m_glyphs.push_back(c);
        if (m_glyphIndex[c] < 0)
            m_glyphIndex[c] = c == 1 ? 0 : c;
    }
    for (AlarmEntry &entry : m_alarms) {
        std::fill(std::begin(entry.stringLoc), std::end(entry.stringLoc), kLocNone);
        std::fill(std::begin(entry.attributeLoc), std::end(entry.attributeLoc), kLocNone);
    }
    // The screen header's place; its fields are written by BuildFont.
    for (int i = 0; i < kScreenHeaderSize; ++i)
        m_sections[rsScreenInfo].WriteU8(0);
    if (settings.PanelModelId > 1)
        m_error = QStringLiteral("The panel model %1 is unknown.").arg(settings.PanelModelId);
}

QString TwRes::ItemName(const TwNode *node) const
{
    if (!node)
        return QStringLiteral("the project");
    const QString location = node->GetLocation();
    const QString caption = node->GetDisplayCaption();
    if (location.isEmpty())
        return QStringLiteral("\"%1\"").arg(caption);
    return QStringLiteral("item %1 \"%2\"").arg(location, caption);
}

uint16_t TwRes::TakeLocation(const TwSection &section, const char *what)
{
    const uint32_t location = section.Size();
    if (location > kLocLast) {
        throw TwCompileError(
            QStringLiteral("The %1 of the menu image is full at %2: its locations are 16 bits and "
                           "cannot reach beyond %3 bytes. Remove or shorten items, then compile "
                           "again.")
                .arg(QLatin1String(what), ItemName(m_currentItem))
                .arg(kLocLast));
    }
    return static_cast<uint16_t>(location);
}

void TwRes::RefuseNumber(const TwNode *node, const QString &what, const QString &value, int64_t low,
                         int64_t high) const
{
    throw TwCompileError(QStringLiteral("The %1 of %2 is %3, which does not fit the menu image (%4 to %5). "
                                        "Correct it, then compile again.")
                             .arg(what, ItemName(node), value)
                             .arg(low)
                             .arg(high));
}

int64_t TwRes::FieldNumber(const TwNode *node, const char *key, int64_t defaultValue, int64_t low,
                           int64_t high) const
{
    const QString text = node->GetProp(QLatin1String(key));
    bool ok = false;
    const int64_t value = text.toLongLong(&ok, 10);
    if (!ok && !IsDecimalText(text))
        return defaultValue;
    if (!ok || value < low || value > high)
        RefuseNumber(node, QStringLiteral("property \"%1\"").arg(QLatin1String(key)), text.trimmed(), low,
                     high);
    return value;
}

uint16_t TwRes::OperandNumber(const TwNode *node, const QString &key, const QString &text,
                              int64_t number) const
{
    if (number < 0 || number > 0xFFFF)
        RefuseNumber(node, QStringLiteral("property \"%1\"").arg(key), text, 0, 0xFFFF);
    return static_cast<uint16_t>(number);
}

void TwRes::AddGlyphs(const QString &text)
{
    for (QChar c : text) {
        const char16_t unit = c.unicode();
        if (m_glyphIndex[unit] >= 0)
            continue;
        if (m_glyphs.size() >= static_cast<size_t>(kMaxGlyphCount)) {
            throw TwCompileError(
                QStringLiteral("The texts of the project use more than %1 different characters "
                               "(first one too many in %2).")
                    .arg(kMaxGlyphCount)
                    .arg(ItemName(m_currentItem)));
        }
        m_glyphIndex[unit] = static_cast<int32_t>(m_glyphs.size());
        m_glyphs.push_back(unit);
    }
}

int TwRes::EncodeText(const QString &text, uint16_t *buffer, int capacity) const
{
    if (text.size() > capacity)
        return 0;
    int count = 0;
    for (QChar c : text) {
        const int32_t index = m_glyphIndex[c.unicode()];
        if (index < 0)
            return 0;
        buffer[count++] = static_cast<uint16_t>(index);
    }
    return count;
}

uint16_t TwRes::AddString(const QString &text, TwSection *out)
{
    if (text.isEmpty()) {
        if (out)
            out->WriteU16(kLocNone);
        return kLocNone;
    }
    if (text.size() > kEncodeBufferUnits) {
        throw TwCompileError(
            QStringLiteral("The %1 of %2 is %3 characters long; a text may have at most %4.")
                .arg(m_currentProperty.isEmpty() ? QStringLiteral("text") : m_currentProperty,
                     ItemName(m_currentItem))
                .arg(text.size())
                .arg(kEncodeBufferUnits));
    }
    TwSection &pool = m_sections[rsStringPool];
    const uint16_t location = TakeLocation(pool, "string pool");
    if (out)
        out->WriteU16(location);
    AddGlyphs(text);
    uint16_t buffer[kEncodeBufferUnits];
    const int count = EncodeText(text, buffer, kEncodeBufferUnits);
    pool.WriteU16(static_cast<uint32_t>(count));
    for (int i = 0; i < count; ++i)
        pool.WriteU16(buffer[i]);
    return location;
}

uint16_t TwRes::AddOperand(const QString &text, const TwNode *node, const QString &key)
{
    if (text.isEmpty())
        return kLocNone;
    TwSection &pool = m_sections[rsAttributePool];
    const uint16_t location = TakeLocation(pool, "attribute pool");
    const OperandFields operand = ParseOperandFields(text);
    pool.WriteU16(OperandNumber(node ? node : m_currentItem, key, text, operand.number));
    pool.WriteU8(operand.type);
    pool.WriteU8(0);
    return location;
}

void TwRes::AddItemAttribute(const TwNode *item, TwSection &out)
{
    TwSection &pool = m_sections[rsAttributePool];
    out.WriteU16(TakeLocation(pool, "attribute pool"));
    const QString reference = item->GetProp(QStringLiteral("Reference"));
    const OperandFields operand = ParseOperandFields(reference);
    const uint16_t refNumber = OperandNumber(item, QStringLiteral("Reference"), reference, operand.number);
    const bool readOnly = item->GetPropFlag(QStringLiteral("ReadOnly"));
    const bool isSigned = item->GetPropFlag(QStringLiteral("Signed"));

    switch (item->Kind) {
    case nkValue: {
        m_currentProperty = QStringLiteral("unit");
        const uint16_t unit = AddString(item->GetProp(QStringLiteral("Unit")));
        // Limits of operands without a natural range stay 0 unless "Max" or
        // "Min" is a constant.
        int32_t max = 0;
        int32_t min = 0;
        item->GetValueLimits(operand.flag, isSigned, max, min);
        const int64_t decimalPoint = FieldNumber(item, "DecimalPoint", 0, 0, 255);
        pool.WriteU16(unit);
        pool.WriteU16(refNumber);
        pool.WriteU8(operand.type);
        pool.WriteU8((readOnly ? 1u : 0u) | (isSigned ? 2u : 0u));
        pool.WriteU8(static_cast<uint32_t>(decimalPoint));
        pool.WriteU8(0);
        pool.WriteU32(static_cast<uint32_t>(min));
        pool.WriteU32(static_cast<uint32_t>(max));
        break;
    }
    case nkList: {
        // The count is a byte: exactly that many entry locations follow.
        const int count = static_cast<int>(FieldNumber(item, "Max", 0, 0, 255));
        pool.WriteU16(refNumber);
        pool.WriteU8(operand.type);
        pool.WriteU8(readOnly ? 1u : 0u);
        pool.WriteU8(static_cast<uint32_t>(count));
        pool.WriteU8(0);
        for (int i = 0; i < count; ++i) {
            const QString key = QStringLiteral("Line%1").arg(i);
            m_currentProperty = QStringLiteral("entry \"%1\"").arg(key);
            AddString(item->GetProp(key), &pool);
        }
        break;
    }
    case nkAction: {
        // No type (-1) is stored as 255.
        const int actionType = static_cast<int>(FieldNumber(item, "ActionType", -1, -1, 255));
        uint16_t text = kLocNone;
        if (actionType == 0) {
            m_currentProperty = QStringLiteral("off text");
            text = AddString(item->GetProp(QStringLiteral("StringOff")));
        }
        const bool ranged = actionType >= 5 && actionType <= 7;
        int32_t max = 0;
        int32_t min = 0;
        if (ranged)
            item->GetValueLimits(operand.flag, isSigned, max, min);
        const bool stepped = actionType == 6 || actionType == 7;
        // A step of 32 bits, signed or unsigned.
        const int64_t step = stepped ? FieldNumber(item, "StepSize", 0, INT32_MIN, UINT32_MAX) : 0;
        pool.WriteU16(text);
        pool.WriteU16(refNumber);
        pool.WriteU8(operand.type);
        pool.WriteU8(ranged && isSigned ? 2u : 0u);
        pool.WriteU8(static_cast<uint32_t>(actionType));
        pool.WriteU8(0);
        pool.WriteU32(static_cast<uint32_t>(min));
        pool.WriteU32(static_cast<uint32_t>(max));
        pool.WriteU32(static_cast<uint32_t>(step));
        break;
    }
    default:
        throw TwCompileError(QStringLiteral("%1 is not a value, list or action item.").arg(ItemName(item)));
    }
}

void TwRes::AddHexData(TwSection &section, const QString &text)
{
    const QByteArray bytes = PictureBytesFromText(text, PictureTextByteCount(text));
    section.WriteBytes(reinterpret_cast<const uint8_t *>(bytes.constData()),
                       static_cast<size_t>(bytes.size()));
}

void TwRes::AppendPicture(TwSection &section, const TwNode *picture)
{
    // Exactly one display's bytes, so that a damaged picture text never
    // shifts the pictures after it: short texts are padded with 0, long ones cut.
    const QByteArray bytes = PictureBytesFromText(picture->GetProp(QStringLiteral("ImageData")),
                                                  PictureBytesOfModel(m_settings.PanelModelId));
    section.WriteBytes(reinterpret_cast<const uint8_t *>(bytes.constData()),
                       static_cast<size_t>(bytes.size()));
}

void TwRes::EnterAlarm(const TwNode *alarm)
{
    const int slot = alarm->GetPropInt(QStringLiteral("Index")) - 1;
    if (slot < 0 || slot >= kAlarmCount)
        return;
    AlarmEntry &entry = m_alarms[slot];
    for (int i = 0; i < 3; ++i) {
        const QString key = QStringLiteral("Line%1").arg(i + 1);
        m_currentProperty = QStringLiteral("line \"%1\"").arg(key);
        entry.stringLoc[i] = AddString(alarm->GetProp(key));
    }
    for (int i = 0; i < 3; ++i) {
        const QString key = QStringLiteral("Reference%1").arg(i + 1);
        entry.attributeLoc[i] = AddOperand(alarm->GetProp(key), alarm, key);
    }
    if (m_alarmsUsed == 0xFFFF)
        RefuseNumber(alarm, QStringLiteral("number of alarms"), QString::number(m_alarmsUsed + 1), 0, 0xFFFF);
    ++m_alarmsUsed;
}

void TwRes::EmitConfiguration(const TwNode *config)
{
    TwSection &section = m_sections[rsConfiguration];
    static const char *const kPairs[] = {"AlarmIndex", "Password", "ScreenSaverActiveTime", "WorkingSpace"};
    for (const char *key : kPairs) {
        int32_t number = 0;
        const uint32_t flag = ParseOperand(config->GetProp(QLatin1String(key)), number);
        section.WriteU32(ConfigTypeCode(flag));
        section.WriteU32(flag == opNone ? 0u : static_cast<uint32_t>(number));
    }
    static const char *const kWords[] = {"Level1IsTop", "ProtectType", "SaverEffect"};
    for (const char *key : kWords)
        section.WriteU16(static_cast<uint32_t>(FieldNumber(config, key, 0, 0, 0xFFFF)));
}

void TwRes::EmitMenuPage(TwNode *node)
{
    TwSection &pages = m_sections[rsMenuPages];
    const int placeholder = PropInt(node->CompileProps, kMenuNodeLoc, -1);
    if (placeholder >= 0) {
        m_currentItem = node;
        pages.PatchU16(static_cast<uint32_t>(placeholder), TakeLocation(pages, "menu-page section"));
    }
    const int count = node->GetChildCount();
    if (count > 0xFFFF)
        RefuseNumber(node, QStringLiteral("number of entries"), QString::number(count), 0, 0xFFFF);
    pages.WriteU16(static_cast<uint32_t>(count));
    QStringList description;
    for (int i = 0; i < count; ++i) {
        TwNode *child = node->GetChild(i);
        m_currentItem = child;
        const int type = MenuItemType(child->Kind);
        if (type < 0) {
            throw TwCompileError(QStringLiteral("%1 holds a node of kind %2, which has no place in a menu.")
                                     .arg(ItemName(node))
                                     .arg(child->Kind));
        }
        pages.WriteU8(static_cast<uint32_t>(type));
        pages.WriteU8(0);
        m_currentProperty = QStringLiteral("caption");
        AddString(child->Caption(), &pages);
        LoadStringsProp(description, child->Props, QStringLiteral("Description"));
        QString text;
        for (const QString &line : description)
            text += line + QLatin1String("\r\n");
        m_currentProperty = QStringLiteral("description");
        AddString(text, &pages);
        if (type == 0)
            pages.WriteU16(kLocNone);
        else
            AddItemAttribute(child, pages);
        if (child->GetChildCount() == 0) {
            pages.WriteU16(kLocNone);
        } else {
            // Overwritten when the child's own page is emitted.
            SetPropValue(child->CompileProps, kMenuNodeLoc, QString::number(pages.Size()));
            pages.WriteU16(kLocPlaceholder);
        }
    }
}

void TwRes::CheckFixedNodes(const TwNode *root)
{
    static const struct {
        int32_t kind;
        const char *name;
    } kNeeded[] = {
        {nkMainMenu, "Main Menu"},
        {nkStartupScreen, "Startup Screen"},
        {nkConfiguration, "Configuration"},
    };
    for (const auto &needed : kNeeded) {
        if (!root->FindChildOfKind(needed.kind)) {
            throw TwCompileError(
                QStringLiteral("The project has no \"%1\" node, so no menu image can be made from it.")
                    .arg(QLatin1String(needed.name)));
        }
    }
}

void TwRes::CompileNode(TwNode *node)
{
    switch (node->Kind) {
    case nkProject: node->ClearScratch(); break;
    case nkMainMenu:
    case nkSubMenu:
    case nkValue:
    case nkList:
    case nkAction: EmitMenuPage(node); break;
    case nkAlarm:
        m_currentItem = node;
        EnterAlarm(node);
        break;
    case nkStartupScreen:
        if (node->GetChildCount() > 255) {
            RefuseNumber(node, QStringLiteral("number of startup pictures"),
                         QString::number(node->GetChildCount()), 0, 255);
        }
        m_screenHeader.startupCount = static_cast<uint8_t>(node->GetChildCount());
        m_screenHeader.endCondition = static_cast<uint8_t>(FieldNumber(node, "EndCondition", 0, 0, 255));
        m_screenHeader.flipTime = static_cast<uint16_t>(FieldNumber(node, "FlipTime", 0, 0, 0xFFFF));
        m_screenHeader.cycleCount = static_cast<uint16_t>(FieldNumber(node, "CycleCount", 0, 0, 0xFFFF));
        break;
    case nkScreen: AppendPicture(m_sections[rsScreenInfo], node); break;
    case nkScreenSaver:
        if (!node->GetProp(QStringLiteral("ImageData")).isEmpty()) {
            m_saverPicture.Clear();
            AppendPicture(m_saverPicture, node);
            m_screenHeader.saverCount = 1;
        }
        break;
    case nkConfiguration: EmitConfiguration(node); break;
    default: break;
    }
    for (int i = 0; i < node->GetChildCount(); ++i)
        CompileNode(node->GetChild(i));
}

bool TwRes::Compile(TwNode *node)
{
    if (!m_error.isEmpty())
        return false;
    if (!node) {
        m_error = QStringLiteral("There is no project to compile.");
        return false;
    }
    // Placeholder positions of an earlier compile must never be patched.
    node->ClearScratch();
    try {
        if (node->Kind == nkProject)
            CheckFixedNodes(node);
        CompileNode(node);
    } catch (const TwCompileError &error) {
        m_error = error.Message;
        return false;
    }
    return true;
}

void TwRes::RenderGlyph(int index)
{
    TwSection &directory = m_sections[rsDirectory];
    TwSection &patterns = m_sections[rsFontPatterns];
    const int height = m_fontHeight;
    int width = kPictureGlyphWidth;
    TwGlyphCell cell;
    if (index >= kPictureGlyphCount) {
        cell = m_font.CharacterCell(m_glyphs[static_cast<size_t>(index)]);
        width = std::min(cell.Width, kMaxPixels);
    }
    const uint32_t offset = patterns.Size();
    if (offset > kMaxPatternOffset) {
        throw TwCompileError(QStringLiteral("The glyph patterns of the project's characters exceed %1 bytes.")
                                 .arg(kMaxPatternOffset + 1));
    }
    directory.WriteU32(offset | static_cast<uint32_t>(width) << 24);

    // Every glyph is fontHeight rows high, the height the panel reads; cell
    // rows beyond it are cut, missing ones are ground.
    const int columnBytes = (height + 7) / 8;
    uint8_t column[(kMaxPixels + 7) / 8];
    for (int x = 0; x < width; ++x) {
        std::fill(column, column + columnBytes, 0);
        for (int y = 0; y < height; ++y) {
            bool ink;
            if (index < kPictureGlyphCount)
                ink = y < 16 && (kPictureGlyphRows[index][y] >> (7 - x)) & 1;
            else
                ink = y < cell.Height && cell.InkAt(x, y);
            if (ink)
                column[y >> 3] |= static_cast<uint8_t>(1u << (y & 7));
        }
        patterns.WriteBytes(column, static_cast<size_t>(columnBytes));
    }
}

void TwRes::RenderGlyphs()
{
    if (!m_font.IsValid()) {
        throw TwCompileError(QStringLiteral("The output font cannot be used: %1").arg(m_font.ErrorText()));
    }
    TwSection &directory = m_sections[rsDirectory];
    TwSection &patterns = m_sections[rsFontPatterns];
    directory.Clear();
    patterns.Clear();
    // The height of a text extent, the same for every text ("iWg").
    m_fontHeight = std::clamp(m_font.LineHeight(), 0, kMaxPixels);
    directory.Reserve(4 + 4 * m_glyphs.size());
    patterns.Reserve(m_glyphs.size() * 8 * ((m_fontHeight + 7) / 8));
    directory.WriteU8(static_cast<uint32_t>(m_fontHeight));
    directory.WriteU8(0);
    directory.WriteU16(static_cast<uint32_t>(m_glyphs.size()));
    for (int i = 0; i < GlyphCount(); ++i)
        RenderGlyph(i);
}

void TwRes::WriteScreenHeader()
{
    TwSection header;
    header.WriteU8(m_screenHeader.startupCount);
    header.WriteU8(m_screenHeader.saverCount);
    header.WriteU8(m_screenHeader.endCondition);
    header.WriteU8(0);
    header.WriteU16(m_screenHeader.flipTime);
    header.WriteU16(m_screenHeader.cycleCount);
    m_sections[rsScreenInfo].PatchBytes(0, header.Bytes().data(), header.Size());
}

void TwRes::WriteAlarmTable()
{
    TwSection &table = m_sections[rsAlarmPages];
    table.Clear();
    table.WriteU16(kAlarmCount);
    table.WriteU16(m_alarmsUsed);
    for (const AlarmEntry &entry : m_alarms) {
        for (uint16_t loc : entry.stringLoc)
            table.WriteU16(loc);
        for (uint16_t loc : entry.attributeLoc)
            table.WriteU16(loc);
    }
}

bool TwRes::BuildFont()
{
    if (!m_error.isEmpty())
        return false;
    try {
        RenderGlyphs();
    } catch (const TwCompileError &error) {
        m_error = error.Message;
        return false;
    }
    WriteScreenHeader();
    WriteAlarmTable();
    if (m_saverPicture.Size() > 0) {
        m_sections[rsScreenInfo].WriteBytes(m_saverPicture.Bytes().data(), m_saverPicture.Size());
        m_saverPicture.Clear();
    }
    m_fontBuilt = true;
    return true;
}

void TwRes::AssembleImage(QByteArray &out)
{
    size_t total = kImageHeaderSize + 2;
    for (const TwSection &section : m_sections)
        total += section.Size();
    out.clear();
    out.reserve(static_cast<qsizetype>(total));
    out.append("ZEL", 3);
    out.append(static_cast<char>(m_settings.PanelModelId * 32 + 1));
    out.append(kImageHeaderSize - 4, '\0');
    uint32_t bases[rsSectionCount];
    for (int i = 0; i < rsSectionCount; ++i) {
        bases[i] = static_cast<uint32_t>(out.size());
        const std::vector<uint8_t> &bytes = m_sections[i].Bytes();
        out.append(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    }
    const uint32_t size = static_cast<uint32_t>(out.size());
    PutU32(out, 4, size);
    for (int i = 0; i < rsSectionCount; ++i)
        PutU32(out, 8 + 4 * i, bases[i]);
    const uint8_t sum = ByteSum(reinterpret_cast<const uint8_t *>(out.constData()), size, 0);
    out.append(static_cast<char>(static_cast<uint8_t>(0u - sum)));
    out.append('\0');
    m_codeSize = static_cast<uint32_t>(out.size());
}

bool TwRes::SaveImage(const QString &fileName)
{
    if (!m_error.isEmpty())
        return false;
    if (!m_fontBuilt) {
        m_error = QStringLiteral("The glyph set was not rendered before the image was saved.");
        return false;
    }
    QByteArray image;
    AssembleImage(image);
    if (!WriteFileSafely(fileName, image, m_error))
        return false;
    if (IsSystemMenuProject(m_settings.ProjectFileName)) {
        const QString source = QDir(m_settings.ProgramFolder).filePath(QStringLiteral("Menu_code.c"));
        if (!WriteFileSafely(source, MenuCodeSource(image), m_error))
            return false;
    }
    return true;
}
