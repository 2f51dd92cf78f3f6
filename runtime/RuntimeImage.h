// Bounded access to the menu image behind ReadImageHook.
//
// ImageLoadHeader checks the image once and fills gImage; every read after that
// names the section it belongs to and is refused (the destination zero-filled,
// false returned) when it does not lie wholly inside that section. Records are
// decoded field by field from little-endian bytes.
#pragma once

#include <cstdint>

#include "PanelRuntime.h"
#include "PanelRuntimeState.h"

namespace runtime {

// Largest image accepted when the host does not tell the image's length.
constexpr std::uint32_t kMaxImageBytes = 32u * 1024 * 1024;
constexpr std::uint32_t kHeaderBytes = 40;
constexpr std::uint32_t kConfigBlockBytes = 38;
constexpr std::uint32_t kScreenHeaderBytes = 8;
constexpr std::uint32_t kMenuItemBytes = 10;
constexpr std::uint32_t kValueRecordBytes = 16;
constexpr std::uint32_t kListRecordBytes = 6;
constexpr std::uint32_t kActionRecordBytes = 20;
constexpr std::uint32_t kAlarmEntryBytes = 12;

// Checks the image (id, model byte, size, checksum, section order and the sizes of
// the fixed sections) and reads its header, glyph set size, configuration block,
// screen header and alarm table into gImage. imageBytes 0: the length is unknown.
EngineLoadResult ImageLoadHeader(std::uint32_t imageBytes);

// Reads length bytes at loc of the section into destination. False (destination
// zero-filled) when no image is loaded or the bytes do not lie inside the section.
bool SectionRead(ImageSection section, std::uint32_t loc, void *destination, std::uint32_t length);
// The u16 at loc of the section; 0 when outside.
std::uint16_t SectionU16(ImageSection section, std::uint32_t loc);

// Reads the MenuPage at the absolute image offset: its count (0 when the page lies
// outside the menu-page section) and at most kMaxPageItems items, fewer when the
// section ends first. Returns the number of items read.
std::uint16_t ReadMenuPage(std::uint32_t pageOffset, MenuItemRecord *items, std::uint16_t *count);
// Records of the attribute pool at loc; false (record left at its defaults) when
// loc is 0xFFFF or the record does not lie in the pool.
bool ReadValueRecord(std::uint16_t loc, ValueItemRecord &record);
bool ReadActionRecord(std::uint16_t loc, ActionItemRecord &record);
// A list record and its entry locs (at most maxEntries; entries beyond the pool
// read as hidden, 0xFFFF).
bool ReadListRecord(std::uint16_t loc, ListItemRecord &record, std::uint16_t *entries, int maxEntries);
// An OperandRecord (u16 number, u8 type) of the attribute pool; false when outside.
bool ReadOperandRecord(std::uint16_t loc, std::uint16_t &number, std::uint8_t &type);

// Reads the PoolString at loc into text, at most kTextReadLimit glyphs, fewer when
// the pool ends first; length 0 for 0xFFFF or a string outside the pool.
void ReadText(std::uint16_t loc, EngineText &text);

// The directory entry of a glyph (pattern offset in bits 0-23, width in bits
// 24-31); 0 (no pixels, no width) for a glyph the directory does not hold.
std::uint32_t GlyphEntry(std::uint32_t glyph);

// Copies startup or saver picture index (pictureBytes each, after the screen
// header) into destination; bytes beyond the section read as 0. False when no byte
// of it lies in the section.
bool ReadPicture(std::uint32_t index, std::uint8_t *destination, std::uint32_t pictureBytes);

// The operand type of a configuration entry as the link takes it (a type no
// operand has becomes 0xFF, which the link refuses to poll or write).
inline std::uint8_t ConfigType(const ConfigOperand &operand)
{
    return operand.type <= 14 ? static_cast<std::uint8_t>(operand.type) : 0xFF;
}
inline std::uint16_t ConfigAddress(const ConfigOperand &operand)
{
    return static_cast<std::uint16_t>(operand.value);
}

// Little-endian field decoding.
inline std::uint16_t LeU16(const std::uint8_t *p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LeU32(const std::uint8_t *p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
        | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace runtime
