// Drawing primitives: clipped pixels, glyphs, texts, big digits and numbers.
#include "RuntimeDraw.h"

#include <algorithm>

#include "PanelLcdDriver.h"
#include "RuntimeImage.h"

namespace runtime {

namespace {

// Big-digit font: '+', '-', '.', '0'..'9'; 11 rows, bit 7 the leftmost pixel.
constexpr int kBigRows = 11;
constexpr std::uint8_t kBigFont[13][kBigRows] = {
    {0x00, 0x00, 0x00, 0x00, 0x18, 0x18, 0x7e, 0x7e, 0x18, 0x18, 0x00},  // +
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xfe, 0x00, 0x00, 0x00, 0x00},  // -
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xc0, 0xc0},  // .
    {0x00, 0x38, 0x6c, 0xc6, 0xc6, 0xc6, 0xc6, 0xc6, 0xc6, 0x6c, 0x38},  // 0
    {0x00, 0x18, 0x38, 0x78, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x7e},  // 1
    {0x00, 0x7c, 0xc6, 0x06, 0x0c, 0x18, 0x30, 0x60, 0xc0, 0xc6, 0xfe},  // 2
    {0x00, 0x7c, 0xc6, 0x06, 0x06, 0x3c, 0x06, 0x06, 0x06, 0xc6, 0x7c},  // 3
    {0x00, 0x0c, 0x1c, 0x3c, 0x6c, 0xcc, 0xfe, 0x0c, 0x0c, 0x0c, 0x1e},  // 4
    {0x00, 0xfe, 0xc0, 0xc0, 0xc0, 0xfc, 0x06, 0x06, 0x06, 0xc6, 0x7c},  // 5
    {0x00, 0x38, 0x60, 0xc0, 0xc0, 0xfc, 0xc6, 0xc6, 0xc6, 0xc6, 0x7c},  // 6
    {0x00, 0xfe, 0xc6, 0x06, 0x06, 0x0c, 0x18, 0x30, 0x30, 0x30, 0x30},  // 7
    {0x00, 0x7c, 0xc6, 0xc6, 0xc6, 0x7c, 0xc6, 0xc6, 0xc6, 0xc6, 0x7c},  // 8
    {0x00, 0x7c, 0xc6, 0xc6, 0xc6, 0x7e, 0x06, 0x06, 0x06, 0x0c, 0x78},  // 9
};

int Width()
{
    return CurrentModel.Width;
}

// Draws the glyphs of a text from x while each fits before limit; returns the x
// after the last one drawn.
int DrawGlyphRun(const EngineText &text, int x, int y, std::uint8_t on, int limit)
{
    for (std::uint16_t i = 0; i < text.length; ++i) {
        std::uint32_t entry = GlyphEntry(text.glyphs[i]);
        int w = static_cast<int>(entry >> 24);
        if (x + w > limit) {
            break;
        }
        x += DrawGlyph(entry, x, y, on);
    }
    return x;
}

// Digits of a number kind.
int KindDigits(std::uint8_t kind)
{
    return kind == NumU32 || kind == NumS32 ? 10 : 5;
}

bool KindSigned(std::uint8_t kind)
{
    return kind == NumS16 || kind == NumS32;
}

}  // namespace

bool NumberHasPoint(std::uint8_t kind, std::uint8_t decimals)
{
    return decimals > 0 && decimals < KindDigits(kind);
}

void SetClipColumns(std::uint16_t left, std::uint16_t right)
{
    gEngine.clipLeft = left;
    gEngine.clipRight = right;
}

void ResetClipColumns()
{
    SetClipColumns(0, static_cast<std::uint16_t>(Width() - 1));
}

void EngineSetPixelClipped(int x, int y, std::uint8_t on)
{
    if (x < gEngine.clipLeft || x > gEngine.clipRight || y < 0 || y > 0xFFFF) {
        return;
    }
    CurrentModel.SetPixel(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y), on);
}

void DrawHLine(int x, int y, int length, std::uint8_t on)
{
    for (int i = 0; i < length; ++i) {
        EngineSetPixelClipped(x + i, y, on);
    }
}

void DrawVLine(int x, int y, int length, std::uint8_t on)
{
    for (int i = 0; i < length; ++i) {
        EngineSetPixelClipped(x, y + i, on);
    }
}

void DrawFrame()
{
    int w = Width();
    int h = CurrentModel.Height;
    for (int y : {0, 1, h - 2, h - 1}) {
        DrawHLine(0, y, w, 1);
    }
    for (int x : {0, 1, w - 2, w - 1}) {
        DrawVLine(x, 0, h, 1);
    }
}

int DrawGlyph(std::uint32_t entry, int x, int y, std::uint8_t on)
{
    int width = static_cast<int>(entry >> 24);
    std::uint32_t offset = entry & 0xFFFFFF;
    int height = gImage.fontHeight;
    int columnBytes = (height + 7) / 8;
    if (width == 0 || columnBytes == 0) {
        return width;
    }
    // Only the columns inside the clip and the rows on the display can change: the
    // rest of an oversize glyph is passed over, not set pixel by pixel.
    int rowFirst = std::max(0, -y);
    int rowEnd = std::min(height, static_cast<int>(CurrentModel.Height) - y);
    // The pattern is read through the glyph buffer, as many whole columns at a time
    // as it holds.
    int perChunk = kGlyphBufferBytes / columnBytes;
    for (int first = 0; first < width && x + first <= gEngine.clipRight; first += perChunk) {
        int columns = std::min(perChunk, width - first);
        std::uint32_t loc = offset + static_cast<std::uint32_t>(first * columnBytes);
        if (!SectionRead(SecFontPatterns, loc, gEngine.glyphBuffer,
                         static_cast<std::uint32_t>(columns * columnBytes))) {
            return width;  // a pattern outside the image draws nothing
        }
        for (int c = 0; c < columns; ++c) {
            int px = x + first + c;
            if (px < gEngine.clipLeft || px > gEngine.clipRight) {
                continue;
            }
            const std::uint8_t *column = gEngine.glyphBuffer + c * columnBytes;
            for (int r = rowFirst; r < rowEnd; ++r) {
                bool ink = (column[r >> 3] >> (r & 7)) & 1;
                if (ink || on == 0) {
                    EngineSetPixelClipped(px, y + r, ink == (on != 0) ? 1 : 0);
                }
            }
        }
    }
    return width;
}

int DrawGlyphIndex(std::uint32_t glyph, int x, int y, std::uint8_t on)
{
    return DrawGlyph(GlyphEntry(glyph), x, y, on);
}

int GlyphWidth(std::uint32_t glyph)
{
    return static_cast<int>(GlyphEntry(glyph) >> 24);
}

int TextWidth(const EngineText &text)
{
    int width = 0;
    for (std::uint16_t i = 0; i < text.length; ++i) {
        width += GlyphWidth(text.glyphs[i]);
    }
    return width;
}

int CStringWidth(const char *s)
{
    int width = 0;
    for (; *s != '\0'; ++s) {
        width += GlyphWidth(static_cast<std::uint8_t>(*s));
    }
    return width;
}

int DrawCString(const char *s, int x, int y, std::uint8_t on)
{
    int start = x;
    for (; *s != '\0'; ++s) {
        x += DrawGlyphIndex(static_cast<std::uint8_t>(*s), x, y, on);
    }
    return x - start;
}

int DrawCStringCentred(const char *s, int x, int y, std::uint8_t on)
{
    return DrawCString(s, (2 * x - CStringWidth(s)) / 2, y, on);
}

int DrawTextClipped(const EngineText &text, int x, int y, std::uint8_t on, int width)
{
    if (gEngine.marqueeRow && gEngine.marqueeOffset != 0) {
        int end = x;
        for (std::uint16_t i = 0; i < text.length; ++i) {
            end += DrawGlyphIndex(text.glyphs[i], end, y, on);
        }
        return end - x;
    }
    bool dots = width > Width() - 16;
    int limit = dots ? gEngine.clipRight - 8 : gEngine.clipRight;
    int end = DrawGlyphRun(text, x, y, on, limit);
    if (dots) {
        DrawGlyphIndex(GlyphDot, end + 3, y, 1);
        DrawGlyphIndex(GlyphDot, end + 6, y, 1);
    }
    return end - x;
}

int DrawTextById(std::uint16_t loc, int x, int y, std::uint8_t on, std::uint8_t align)
{
    if (loc == kNoLoc) {
        return 0;
    }
    ReadText(loc, gEngine.text);
    int width = TextWidth(gEngine.text);
    int start = x;
    if (align == AlignCentre) {
        start = x - width / 2;
        if (start < gEngine.clipLeft) {
            start = gEngine.clipLeft;
        }
    } else if (align == AlignRight) {
        start = x - width;
    }
    DrawTextClipped(gEngine.text, start, y, on, width);
    return width;
}

int DrawTextCentred(const EngineText &text, int x, int y, std::uint8_t on)
{
    int width = TextWidth(text);
    DrawGlyphRun(text, std::max(x - width / 2, 0), y, on, gEngine.clipRight);
    return width;
}

std::uint32_t CountTextLines(std::uint16_t loc, int width)
{
    EngineText &text = gEngine.text;
    ReadText(loc, text);
    std::uint32_t lines = 0;
    int run = 0;
    for (std::uint16_t i = 0; i < text.length; ++i) {
        std::uint16_t g = text.glyphs[i];
        if (g == GlyphLineFeed) {
            ++lines;
            run = 0;
        } else if (g != GlyphReturn) {
            run += GlyphWidth(g);
            if (run >= width) {
                ++lines;
                run = 0;
            }
        }
    }
    return run > 0 ? lines + 1 : lines;
}

void DrawWrappedText(std::uint16_t loc, int width, int x0, int y0, std::uint32_t firstLine, std::uint8_t on)
{
    EngineText &text = gEngine.text;
    ReadText(loc, text);
    std::uint32_t stopLine = firstLine + RowsPerPage();
    std::uint32_t line = 0;
    int x = x0;
    int y = y0;
    auto newLine = [&] {
        ++line;
        x = x0;
        if (line > firstLine) {
            y += 16;
        }
    };
    for (std::uint16_t i = 0; i < text.length; ++i) {
        if (line >= stopLine) {
            return;
        }
        std::uint16_t g = text.glyphs[i];
        if (g == GlyphLineFeed) {
            newLine();
            continue;
        }
        if (g == GlyphReturn) {
            continue;
        }
        std::uint32_t entry = GlyphEntry(g);
        int w = static_cast<int>(entry >> 24);
        if (x + w >= width) {
            newLine();
            if (line >= stopLine) {
                return;
            }
        }
        if (line >= firstLine) {
            DrawGlyph(entry, x, y, on);
        }
        x += w;
    }
}

int DrawBigChar(int x, int y, char c)
{
    int index;
    if (c == '+') {
        index = 0;
    } else if (c == '-') {
        index = 1;
    } else if (c == '.') {
        index = 2;
    } else if (c >= '0' && c <= '9') {
        index = 3 + (c - '0');
    } else {
        return 0;
    }
    int width = c == '.' ? 3 : 8;
    for (int r = 0; r < kBigRows; ++r) {
        for (int col = 0; col < width; ++col) {
            int px = x + col;
            int py = y + r;
            if (px >= 0 && py >= 0 && px <= 0xFFFF && py <= 0xFFFF) {
                std::uint8_t lit = (kBigFont[index][r] >> (7 - col)) & 1;
                CurrentModel.SetPixel(static_cast<std::uint16_t>(px), static_cast<std::uint16_t>(py), lit);
            }
        }
    }
    return width;
}

std::int64_t NumberKindValue(std::uint8_t kind, std::uint32_t value)
{
    switch (kind) {
    case NumS16: return static_cast<std::int16_t>(value & 0xFFFF);
    case NumS32: return static_cast<std::int32_t>(value);
    case NumU32: return value;
    default: return value & 0xFFFF;
    }
}

int FormatNumber(char *out, std::uint8_t kind, std::uint32_t value, std::uint8_t decimals, bool strip)
{
    std::int64_t v = NumberKindValue(kind, value);
    std::uint32_t magnitude = static_cast<std::uint32_t>(v < 0 ? -v : v);
    char sign = 0;
    if (KindSigned(kind)) {
        sign = v < 0 ? '-' : '+';
    }
    // Digits from the right, the point after the decimals-th.
    int digits = KindDigits(kind);
    bool point = NumberHasPoint(kind, decimals);
    char reversed[kNumberTextMax];
    int n = 0;
    for (int i = 0; i < digits; ++i) {
        if (point && i == decimals) {
            reversed[n++] = '.';
        }
        reversed[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    int length = 0;
    if (sign != 0) {
        out[length++] = sign;
    }
    int from = n - 1;
    if (strip) {
        // Leading zeros go, but not the one before the point nor the last digit.
        while (from > 0 && reversed[from] == '0' && reversed[from - 1] != '.') {
            --from;
        }
    }
    for (int i = from; i >= 0; --i) {
        out[length++] = reversed[i];
    }
    out[length] = '\0';
    return length;
}

int DrawBigNumber(int x, int y, std::uint8_t kind, std::uint32_t value, std::uint8_t decimals, bool strip)
{
    char text[kNumberTextMax + 1];
    int length = FormatNumber(text, kind, value, decimals, strip);
    for (int i = 0; i < length; ++i) {
        x += DrawBigChar(x, y, text[i]);
    }
    return x;
}

int NumberFieldWidth(std::uint8_t kind, std::uint32_t value, std::uint8_t decimals, bool strip)
{
    if (strip) {
        char text[kNumberTextMax + 1];
        return 8 * FormatNumber(text, kind, value, decimals, true);
    }
    static constexpr int kFieldWidths[4] = {40, 48, 80, 88};
    return kFieldWidths[kind & 3] + (NumberHasPoint(kind, decimals) ? 3 : 0);
}

}  // namespace runtime
