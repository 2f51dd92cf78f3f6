// Drawing primitives of the panel runtime: clipped pixels and lines, glyphs of the
// image's glyph set, texts (clipped, centred, scrolling, wrapped), the built-in
// big-digit font and number formatting. Everything draws into the framebuffer of
// CurrentModel. Coordinates are pixels from the top-left; x may be negative (a
// scrolling caption starts left of the screen), and pixels outside the clip columns
// or the display are not set.
#pragma once

#include <cstdint>

#include "PanelRuntimeState.h"

namespace runtime {

// Text alignments of DrawTextById.
enum TextAlign : std::uint8_t { AlignLeft = 0, AlignCentre = 2, AlignRight = 3 };

// Fixed glyphs.
enum FixedGlyph : std::uint16_t {
    GlyphLongTextMark = 0,
    GlyphSubMenuMark = 1,
    GlyphArrowUp = 2,
    GlyphArrowDown = 3,
    GlyphArrowUpDown = 4,
    GlyphActionMark = 5,
    GlyphAlarmMark = 6,
    GlyphLockMark = 7,
    GlyphLineFeed = 10,
    GlyphReturn = 13,
    GlyphDot = 46,
    GlyphOpenBracket = 91,
    GlyphCloseBracket = 93,
};

// Longest FormatNumber result: sign, 10 digits, point.
constexpr int kNumberTextMax = 12;

// Sets the clip columns (inclusive); ResetClipColumns restores 0 .. Width - 1.
void SetClipColumns(std::uint16_t left, std::uint16_t right);
void ResetClipColumns();

// Sets (on != 0) or clears pixel (x, y) when x lies within the clip columns.
void EngineSetPixelClipped(int x, int y, std::uint8_t on);
// length pixels to the right / downwards, each clipped.
void DrawHLine(int x, int y, int length, std::uint8_t on);
void DrawVLine(int x, int y, int length, std::uint8_t on);
// A 2-pixel border around the whole display.
void DrawFrame();

// Draws the glyph of a directory entry at (x, y) and returns its width. on 1: set
// bits light their pixels; on 0: the cell is drawn inverted.
int DrawGlyph(std::uint32_t entry, int x, int y, std::uint8_t on);
// DrawGlyph of a glyph index.
int DrawGlyphIndex(std::uint32_t glyph, int x, int y, std::uint8_t on);
// Width of one glyph and of a whole text.
int GlyphWidth(std::uint32_t glyph);
int TextWidth(const EngineText &text);

// Draws an 8-bit string (glyph index = character code) from x; returns its width.
int DrawCString(const char *s, int x, int y, std::uint8_t on);
// Draws it centred on x: from (2x - width) / 2.
int DrawCStringCentred(const char *s, int x, int y, std::uint8_t on);
int CStringWidth(const char *s);

// Draws a loaded text from x; width is its full width. Returns the width drawn.
// The scrolling caption (gEngine.marqueeRow with a non-zero offset) is drawn whole,
// cut by the clip columns; other texts stop at the first glyph that passes the limit
// (clip right, or clip right - 8 followed by two dots when the text is wider than
// Width - 16).
int DrawTextClipped(const EngineText &text, int x, int y, std::uint8_t on, int width);
// Reads the text at loc into gEngine.text and draws it aligned on x; returns its
// width (0 and nothing drawn for 0xFFFF). A centred text that would start left of
// the clip columns starts at clip left.
int DrawTextById(std::uint16_t loc, int x, int y, std::uint8_t on, std::uint8_t align);
// Draws a loaded text centred on x (not left of 0), cut at clip right without dots.
int DrawTextCentred(const EngineText &text, int x, int y, std::uint8_t on);

// Lines of the text at loc when wrapped at width: a line ends at glyph 10 and
// after the glyph whose run reaches the width; glyph 13 is skipped.
std::uint32_t CountTextLines(std::uint16_t loc, int width);
// Draws the text at loc wrapped at width from (x0, y0), lines firstLine ..
// firstLine + RowsPerPage - 1, 16 pixels apart; a glyph that would reach the
// width moves to the next line.
void DrawWrappedText(std::uint16_t loc, int width, int x0, int y0, std::uint32_t firstLine, std::uint8_t on);

// Draws one big-digit character ('+', '-', '.', '0'..'9') as its whole cell, lit and
// dark pixels, unclipped; returns 8, or 3 for '.'. Other characters draw nothing and
// return 0.
int DrawBigChar(int x, int y, char c);
// The value as a number of the kind holds it: the low 16 bits for 16-bit kinds,
// read as two's complement for the signed kinds.
std::int64_t NumberKindValue(std::uint8_t kind, std::uint32_t value);
// Formats the value (kind NumberKind; the low 16 bits for 16-bit kinds) with its
// digits, leading zeros, sign for signed kinds and a point after the decimals-th
// digit from the right; strip drops leading zeros (keeping one before the point).
// Writes at most kNumberTextMax characters and a terminating zero; returns the length.
int FormatNumber(char *out, std::uint8_t kind, std::uint32_t value, std::uint8_t decimals, bool strip);
// Draws FormatNumber's characters with DrawBigChar; returns the x after the last.
int DrawBigNumber(int x, int y, std::uint8_t kind, std::uint32_t value, std::uint8_t decimals, bool strip);
// True when a number of the kind shows a point: decimals between 1 and digits - 1.
bool NumberHasPoint(std::uint8_t kind, std::uint8_t decimals);
// Width of the number field: 8 per character of the stripped text when strip is
// set, else 40, 48, 80 or 88 by kind, + 3 with a decimal point.
int NumberFieldWidth(std::uint8_t kind, std::uint32_t value, std::uint8_t decimals, bool strip);

}  // namespace runtime
