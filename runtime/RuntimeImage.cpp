// Bounded access to the menu image: the load-time checks and the section reads.
#include "RuntimeImage.h"

#include <algorithm>
#include <cstring>

#include "PanelLcdDriver.h"

namespace runtime {

namespace {

// Smallest sizes of the sections: the root page's count, the alarm table's two
// words, the glyph directory's header, the screen header and the configuration.
constexpr std::uint32_t kMinSectionBytes[SecCount] = {
    2, 4, 4, 0, 0, kScreenHeaderBytes, 0, kConfigBlockBytes};
constexpr std::uint32_t kChecksumChunk = 1024;

void RawRead(std::uint32_t offset, void *destination, std::uint32_t length)
{
    if (length != 0) {
        ReadImageHook(destination, offset, length);
    }
}

// Sum of the bytes 0 .. size (the checksum included), modulo 256.
std::uint8_t ImageByteSum(std::uint32_t size)
{
    std::uint8_t chunk[kChecksumChunk];
    std::uint8_t sum = 0;
    std::uint32_t total = size + 1;
    for (std::uint32_t at = 0; at < total; at += kChecksumChunk) {
        std::uint32_t n = std::min(kChecksumChunk, total - at);
        RawRead(at, chunk, n);
        for (std::uint32_t i = 0; i < n; ++i) {
            sum = static_cast<std::uint8_t>(sum + chunk[i]);
        }
    }
    return sum;
}

// Section bases and sizes from the header; false when a base lies outside the image,
// out of order, or leaves a fixed section too short.
bool TakeSections(const std::uint8_t *header, std::uint32_t size, RuntimeImage &image)
{
    for (int i = 0; i < SecCount; ++i) {
        image.base[i] = LeU32(header + 8 + 4 * i);
    }
    if (image.base[SecMenuPages] != kHeaderBytes) {
        return false;
    }
    for (int i = 0; i < SecCount; ++i) {
        std::uint32_t end = i + 1 < SecCount ? image.base[i + 1] : size;
        if (end < image.base[i] || end > size) {
            return false;
        }
        image.sectionSize[i] = end - image.base[i];
        if (image.sectionSize[i] < kMinSectionBytes[i]) {
            return false;
        }
    }
    return true;
}

void ReadConfiguration()
{
    std::uint8_t c[kConfigBlockBytes];
    SectionRead(SecConfiguration, 0, c, kConfigBlockBytes);
    ConfigOperand *pairs[4] = {&gImage.alarmIndex, &gImage.password, &gImage.saverTime, &gImage.workingSpace};
    for (int i = 0; i < 4; ++i) {
        pairs[i]->type = LeU32(c + 8 * i);
        pairs[i]->value = LeU32(c + 8 * i + 4);
    }
    gImage.level1IsTop = LeU16(c + 32);
    gImage.protectType = LeU16(c + 34);
    gImage.saverEffect = LeU16(c + 36);
}

void ReadScreenHeader()
{
    std::uint8_t s[kScreenHeaderBytes];
    SectionRead(SecScreenInfo, 0, s, kScreenHeaderBytes);
    gImage.startupCount = s[0];
    gImage.saverCount = s[1];
    gImage.endCondition = s[2];
    gImage.flipTime = LeU16(s + 4);
    gImage.cycleCount = LeU16(s + 6);
}

// The alarm table: its first word names the slots (64 as compiled), capped by the
// engine's 64 and by the section; its second word is the number of alarms.
void ReadAlarmTable()
{
    std::uint16_t slots = SectionU16(SecAlarmPages, 0);
    AlarmTableCount = SectionU16(SecAlarmPages, 2);
    std::uint32_t fit = (gImage.sectionSize[SecAlarmPages] - 4) / kAlarmEntryBytes;
    gImage.alarmSlots = static_cast<std::uint16_t>(std::min<std::uint32_t>({slots, kMaxAlarms, fit}));
    for (std::uint16_t a = 0; a < gImage.alarmSlots; ++a) {
        std::uint8_t e[kAlarmEntryBytes];
        SectionRead(SecAlarmPages, 4 + a * kAlarmEntryBytes, e, kAlarmEntryBytes);
        for (int i = 0; i < 3; ++i) {
            gImage.alarms[a].stringLoc[i] = LeU16(e + 2 * i);
            gImage.alarms[a].attributeLoc[i] = LeU16(e + 6 + 2 * i);
        }
    }
}

// The bytes of a record of the attribute pool; false for 0xFFFF or a record that
// does not lie in the pool.
bool ReadAttribute(std::uint16_t loc, std::uint8_t *bytes, std::uint32_t length)
{
    return loc != kNoLoc && SectionRead(SecAttributePool, loc, bytes, length);
}

}  // namespace

EngineLoadResult ImageLoadHeader(std::uint32_t imageBytes)
{
    gImage = RuntimeImage{};
    AlarmTableCount = 0;
    if (ReadImageHook == nullptr) {
        return LoadNoReadHook;
    }
    if (imageBytes != 0 && imageBytes < kHeaderBytes + 2) {
        return LoadTooShort;
    }
    std::uint8_t header[kHeaderBytes];
    RawRead(0, header, kHeaderBytes);
    if (header[0] != 'Z' || header[1] != 'E' || header[2] != 'L') {
        return LoadBadId;
    }
    if (header[3] != static_cast<std::uint8_t>(CurrentModel.ModelId * 32 + 1)) {
        return LoadWrongModel;
    }
    std::uint32_t size = LeU32(header + 4);
    std::uint32_t smallest = kHeaderBytes;
    for (std::uint32_t bytes : kMinSectionBytes) {
        smallest += bytes;
    }
    if (size < smallest || size > kMaxImageBytes - 2) {
        return LoadBadSize;
    }
    if (imageBytes != 0 && size + 2 > imageBytes) {
        return LoadTooShort;
    }
    if (ImageByteSum(size) != 0) {
        return LoadBadChecksum;
    }
    RuntimeImage image;
    if (!TakeSections(header, size, image)) {
        return LoadBadSections;
    }
    image.size = size;
    image.loaded = true;
    gImage = image;

    std::uint8_t directory[4];
    SectionRead(SecDirectory, 0, directory, 4);
    gImage.fontHeight = directory[0];
    std::uint32_t fit = (gImage.sectionSize[SecDirectory] - 4) / 4;
    gImage.glyphCount = static_cast<std::uint16_t>(std::min<std::uint32_t>(LeU16(directory + 2), fit));
    ReadConfiguration();
    ReadScreenHeader();
    ReadAlarmTable();
    return LoadOk;
}

bool SectionRead(ImageSection section, std::uint32_t loc, void *destination, std::uint32_t length)
{
    if (!gImage.loaded || section >= SecCount || loc > gImage.sectionSize[section]
        || length > gImage.sectionSize[section] - loc) {
        std::memset(destination, 0, length);
        return false;
    }
    RawRead(gImage.base[section] + loc, destination, length);
    return true;
}

std::uint16_t SectionU16(ImageSection section, std::uint32_t loc)
{
    std::uint8_t b[2];
    SectionRead(section, loc, b, 2);
    return LeU16(b);
}

std::uint16_t ReadMenuPage(std::uint32_t pageOffset, MenuItemRecord *items, std::uint16_t *count)
{
    *count = 0;
    std::uint32_t base = gImage.base[SecMenuPages];
    if (pageOffset < base) {
        return 0;
    }
    std::uint32_t loc = pageOffset - base;
    std::uint8_t b[2];
    if (!SectionRead(SecMenuPages, loc, b, 2)) {
        return 0;
    }
    *count = LeU16(b);
    std::uint32_t room = (gImage.sectionSize[SecMenuPages] - loc - 2) / kMenuItemBytes;
    std::uint16_t n = static_cast<std::uint16_t>(std::min<std::uint32_t>({*count, kMaxPageItems, room}));
    for (std::uint16_t i = 0; i < n; ++i) {
        std::uint8_t r[kMenuItemBytes];
        SectionRead(SecMenuPages, loc + 2 + i * kMenuItemBytes, r, kMenuItemBytes);
        items[i].type = r[0];
        items[i].captionLoc = LeU16(r + 2);
        items[i].descriptionLoc = LeU16(r + 4);
        items[i].attributeLoc = LeU16(r + 6);
        items[i].menuNodeLoc = LeU16(r + 8);
    }
    return n;
}

bool ReadValueRecord(std::uint16_t loc, ValueItemRecord &record)
{
    std::uint8_t r[kValueRecordBytes];
    if (!ReadAttribute(loc, r, kValueRecordBytes)) {
        return false;
    }
    record.unitStrLoc = LeU16(r);
    record.refNumber = LeU16(r + 2);
    record.refType = r[4];
    record.flags = r[5];
    record.decimals = r[6];
    record.low = static_cast<std::int32_t>(LeU32(r + 8));
    record.high = static_cast<std::int32_t>(LeU32(r + 12));
    return true;
}

bool ReadActionRecord(std::uint16_t loc, ActionItemRecord &record)
{
    std::uint8_t r[kActionRecordBytes];
    if (!ReadAttribute(loc, r, kActionRecordBytes)) {
        return false;
    }
    record.offTextLoc = LeU16(r);
    record.refNumber = LeU16(r + 2);
    record.refType = r[4];
    record.flags = r[5];
    record.actionType = r[6];
    record.low = static_cast<std::int32_t>(LeU32(r + 8));
    record.high = static_cast<std::int32_t>(LeU32(r + 12));
    record.step = static_cast<std::int32_t>(LeU32(r + 16));
    return true;
}

bool ReadListRecord(std::uint16_t loc, ListItemRecord &record, std::uint16_t *entries, int maxEntries)
{
    std::uint8_t r[kListRecordBytes];
    if (!ReadAttribute(loc, r, kListRecordBytes)) {
        return false;
    }
    record.refNumber = LeU16(r);
    record.refType = r[2];
    record.flags = r[3];
    record.count = static_cast<std::uint8_t>(std::min<int>(r[4], maxEntries));
    for (int i = 0; i < record.count; ++i) {
        std::uint8_t e[2];
        entries[i] = SectionRead(SecAttributePool, loc + kListRecordBytes + 2u * i, e, 2) ? LeU16(e) : kNoLoc;
    }
    return true;
}

bool ReadOperandRecord(std::uint16_t loc, std::uint16_t &number, std::uint8_t &type)
{
    std::uint8_t r[4];
    if (!ReadAttribute(loc, r, 4)) {
        return false;
    }
    number = LeU16(r);
    type = r[2];
    return true;
}

void ReadText(std::uint16_t loc, EngineText &text)
{
    text.length = 0;
    std::uint8_t b[2];
    if (loc == kNoLoc || !SectionRead(SecStringPool, loc, b, 2)) {
        return;
    }
    std::uint32_t room = (gImage.sectionSize[SecStringPool] - loc - 2) / 2;
    std::uint32_t n = std::min<std::uint32_t>({LeU16(b), kTextReadLimit, room});
    std::uint8_t raw[2 * kTextReadLimit];
    SectionRead(SecStringPool, loc + 2u, raw, 2 * n);
    for (std::uint32_t i = 0; i < n; ++i) {
        text.glyphs[i] = LeU16(raw + 2 * i);
    }
    text.length = static_cast<std::uint16_t>(n);
}

std::uint32_t GlyphEntry(std::uint32_t glyph)
{
    if (glyph >= gImage.glyphCount) {
        return 0;
    }
    std::uint8_t e[4];
    SectionRead(SecDirectory, 4 + 4 * glyph, e, 4);
    return LeU32(e);
}

bool ReadPicture(std::uint32_t index, std::uint8_t *destination, std::uint32_t pictureBytes)
{
    std::memset(destination, 0, pictureBytes);
    std::uint64_t start = kScreenHeaderBytes + static_cast<std::uint64_t>(index) * pictureBytes;
    std::uint32_t size = gImage.sectionSize[SecScreenInfo];
    if (!gImage.loaded || start >= size) {
        return false;
    }
    std::uint32_t n = std::min<std::uint32_t>(pictureBytes, size - static_cast<std::uint32_t>(start));
    return SectionRead(SecScreenInfo, static_cast<std::uint32_t>(start), destination, n);
}

}  // namespace runtime
