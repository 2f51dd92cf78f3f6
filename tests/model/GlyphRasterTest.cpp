// The glyph set, text encoding, glyph directory and column patterns, and the
// rasteriser pinned on the real output font file.
#include "GlyphRaster.h"
#include "MenuCompiler.h"
#include "ProjectBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t DirectoryEntry(const TwRes &res, int glyph)
{
    const Bytes &d = res.Section(rsDirectory).Bytes();
    const size_t at = 4 + 4 * static_cast<size_t>(glyph);
    return d.at(at) | d.at(at + 1) << 8 | d.at(at + 2) << 16 | static_cast<uint32_t>(d.at(at + 3)) << 24;
}

Bytes PatternBytes(const TwRes &res, int glyph, size_t length)
{
    const Bytes &p = res.Section(rsFontPatterns).Bytes();
    const size_t at = DirectoryEntry(res, glyph) & 0xFFFFFF;
    return Bytes(p.begin() + static_cast<long>(at), p.begin() + static_cast<long>(at + length));
}

TEST(GlyphSet, BaseEntriesAndEncoding)
{
    PatternGlyphSource font;
    TwRes res(font, {});
    ASSERT_EQ(res.GlyphCount(), 128);
    EXPECT_EQ(res.Glyphs()[0], 1);
    EXPECT_EQ(res.Glyphs()[1], 1);
    EXPECT_EQ(res.Glyphs()[2], 2);
    EXPECT_EQ(res.Glyphs()[127], 127);

    uint16_t buffer[8];
    EXPECT_EQ(res.EncodeText(QString::fromUtf16(u"\u0001\u0002abc"), buffer, 8), 5);
    EXPECT_EQ(std::vector<uint16_t>(buffer, buffer + 5), (std::vector<uint16_t>{0, 2, 97, 98, 99}));
    EXPECT_EQ(res.EncodeText(QString::fromUtf16(u"a\u00e9"), buffer, 8), 0);  // not a glyph yet
    EXPECT_EQ(res.EncodeText("abcdefghi", buffer, 8), 0);                     // too long for the buffer

    res.AddGlyphs(QString::fromUtf16(u"\u00e9x\u4e2d\u00e9"));
    res.AddGlyphs(QString(QChar(0)));  // NUL is not among the base entries
    EXPECT_EQ(res.GlyphCount(), 131);
    EXPECT_EQ(res.Glyphs()[128], u'\u00e9');
    EXPECT_EQ(res.Glyphs()[129], u'\u4e2d');
    EXPECT_EQ(res.Glyphs()[130], 0);
    EXPECT_EQ(res.EncodeText(QString::fromUtf16(u"\u4e2d\u00e9"), buffer, 8), 2);
    EXPECT_EQ(buffer[0], 129);
    EXPECT_EQ(buffer[1], 128);
}

TEST(GlyphSet, StringPoolLocationsAndCountLimit)
{
    PatternGlyphSource font;
    TwRes res(font, {});
    TwSection out;
    EXPECT_EQ(res.AddString(QString(), &out), 0xFFFF);
    EXPECT_EQ(res.AddString("abc", &out), 0);
    EXPECT_EQ(res.AddString("abc"), 8);  // texts are not shared
    EXPECT_EQ(out.Bytes(), (Bytes{0xFF, 0xFF, 0, 0}));
    EXPECT_EQ(res.Section(rsStringPool).Bytes(),
              (Bytes{3, 0, 97, 0, 98, 0, 99, 0, 3, 0, 97, 0, 98, 0, 99, 0}));

    // Every UTF-16 unit but the base ones fits up to the count limit of 65535.
    QString all;
    for (int u = 0; u < 0x10000; ++u)
        all.append(QChar(static_cast<char16_t>(u)));
    EXPECT_THROW(res.AddGlyphs(all), TwCompileError);
    EXPECT_EQ(res.GlyphCount(), 65535);
}

TEST(GlyphRender, DirectoryAndPictureGlyphs)
{
    PatternGlyphSource font(5, 12);
    TwRes res(font, {});
    res.RenderGlyphs();
    const Bytes &d = res.Section(rsDirectory).Bytes();
    ASSERT_EQ(d.size(), 4u + 4 * 128);
    EXPECT_EQ(Bytes(d.begin(), d.begin() + 4), (Bytes{12, 0, 128, 0}));
    EXPECT_EQ(DirectoryEntry(res, 0), 0x06000000u);
    EXPECT_EQ(DirectoryEntry(res, 1), 0x0600000Cu);  // glyph 1 is a picture like the others
    EXPECT_EQ(DirectoryEntry(res, 8), 0x05000060u);
    EXPECT_EQ(DirectoryEntry(res, 9), 0x0500006Au);
    EXPECT_EQ(res.Section(rsFontPatterns).Size(), 8u * 12 + 120 * 10);

    EXPECT_EQ(PatternBytes(res, 2, 12), (Bytes{0x30, 0, 0x3C, 0, 0x3E, 0, 0x3C, 0, 0x30, 0, 0, 0}));
    // Rows 8 to 11 lie in bits 0 to 3 of a column's second byte.
    EXPECT_EQ(PatternBytes(res, 3, 12),
              (Bytes{0x80, 0x01, 0x80, 0x07, 0x80, 0x0F, 0x80, 0x07, 0x80, 0x01, 0, 0}));
    // 'A' (65): column 0 rows 3, 7, 11; column 1 rows 0, 4, 8.
    EXPECT_EQ(PatternBytes(res, 65, 4), (Bytes{0x88, 0x08, 0x11, 0x01}));
    // Control characters are rendered as text too.
    EXPECT_EQ(DirectoryEntry(res, 10) >> 24, 5u);
}

TEST(GlyphRender, ZeroWideHugeAndTallGlyphs)
{
    {
        PatternGlyphSource font(0, 12);
        TwRes res(font, {});
        res.RenderGlyphs();
        EXPECT_EQ(DirectoryEntry(res, 8), 96u);
        EXPECT_EQ(DirectoryEntry(res, 9), 96u);
        EXPECT_EQ(res.Section(rsFontPatterns).Size(), 96u);
    }
    {
        PatternGlyphSource font(300, 12);  // clipped to the byte of the width
        TwRes res(font, {});
        res.RenderGlyphs();
        EXPECT_EQ(DirectoryEntry(res, 8), 0xFF000060u);
        EXPECT_EQ(DirectoryEntry(res, 9), 0xFF000060u + 255 * 2);
    }
    {
        PatternGlyphSource font(5, 300);  // clipped to the byte of the height
        TwRes res(font, {});
        res.RenderGlyphs();
        EXPECT_EQ(res.Section(rsDirectory).Bytes()[0], 255);
        EXPECT_EQ(DirectoryEntry(res, 9) & 0xFFFFFF, 8u * 6 * 32 + 5 * 32);
        EXPECT_EQ(res.Section(rsFontPatterns).Size(), 8u * 6 * 32 + 120 * 5 * 32);
    }
}

class BrokenFont : public PatternGlyphSource {
public:
    bool IsValid() const override { return false; }
    QString ErrorText() const override { return "no such font"; }
};

TEST(GlyphRender, UnusableFontRefusesTheBuild)
{
    TestProject p = NewTestProject();
    BrokenFont font;
    TwRes res(font, {});
    ASSERT_TRUE(res.Compile(p.Root.get()));
    EXPECT_FALSE(res.BuildFont());
    EXPECT_TRUE(res.ErrorText().contains("no such font"));
    EXPECT_FALSE(res.SaveImage("/tmp/never-written.mda"));
}

TEST(GlyphRaster, ResolvesTahomaAndOtherFaces)
{
    int index = -1;
    EXPECT_EQ(ResolveFontFile("Tahoma", index), "/usr/share/wine/fonts/tahoma.ttf");
    EXPECT_EQ(ResolveFontFile("tahoma", index), "/usr/share/wine/fonts/tahoma.ttf");
    EXPECT_EQ(index, 0);
    EXPECT_TRUE(ResolveFontFile("DejaVu Sans", index).contains("DejaVuSans"));
    EXPECT_FALSE(ResolveFontFile("No Such Face Anywhere", index).isEmpty());  // substituted
    EXPECT_EQ(PointsToPixels(9), 12);
    // In a face's place: the first font fontconfig offers for it that loads.
    const TwGlyphRaster substitute("Tahoma", 9, TwFontChoice::Substitute);
    EXPECT_TRUE(substitute.IsValid()) << substitute.ErrorText().toStdString();
    EXPECT_NE(substitute.FontFile(), "/usr/share/wine/fonts/tahoma.ttf");
}

// Pins the rendering of the real output font: any change of rasteriser,
// hinting or font file shows here.
TEST(GlyphRaster, TahomaAtNinePoints)
{
    TwGlyphRaster raster("Tahoma", 9);
    ASSERT_TRUE(raster.IsValid()) << raster.ErrorText().toStdString();
    EXPECT_EQ(raster.PixelSize(), 12);
    EXPECT_EQ(raster.LineHeight(), 14);
    EXPECT_EQ(raster.TextWidth("iWg"), 21);
    EXPECT_EQ(raster.TextWidth("i"), 2);
    EXPECT_EQ(raster.TextWidth("W"), 12);
    EXPECT_EQ(raster.TextWidth("A"), 8);
    EXPECT_EQ(raster.TextWidth(" "), 4);

    const TwGlyphCell a = raster.CharacterCell(u'A');
    const char *const kA[] = {"........", "........", "........", "...#....", "..#.#...",
                              "..#.#...", "..#.#...", ".#...#..", ".#...#..", ".#####..",
                              "#.....#.", "#.....#.", "........", "........"};
    ASSERT_EQ(a.Width, 8);
    ASSERT_EQ(a.Height, 14);
    for (int y = 0; y < 14; ++y) {
        std::string row;
        for (int x = 0; x < 8; ++x)
            row += a.InkAt(x, y) ? '#' : '.';
        EXPECT_EQ(row, kA[y]) << "row " << y;
    }

    TestProject p = NewTestProject();
    TwRes res(raster, {});
    ASSERT_TRUE(res.Compile(p.Root.get()));
    ASSERT_TRUE(res.BuildFont());
    EXPECT_EQ(res.Section(rsDirectory).Bytes()[0], 14);
    EXPECT_EQ(DirectoryEntry(res, 'i') >> 24, 2u);
    EXPECT_EQ(PatternBytes(res, 'i', 4), (Bytes{0xE8, 0x0F, 0, 0}));
    EXPECT_EQ(PatternBytes(res, 'A', 16),
              (Bytes{0x00, 0x0C, 0x80, 0x03, 0x70, 0x02, 0x08, 0x02, 0x70, 0x02, 0x80, 0x03, 0x00, 0x0C, 0x00,
                     0x00}));
}

std::vector<std::string> CellRows(const TwGlyphCell &cell)
{
    std::vector<std::string> rows;
    for (int y = 0; y < cell.Height; ++y) {
        std::string row;
        for (int x = 0; x < cell.Width; ++x)
            row += cell.InkAt(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// Characters the output font lacks are drawn from the font fontconfig picks
// for them (DejaVu Sans for Greek, WenQuanYi Micro Hei for Chinese), on the
// output font's baseline and line, and measured the same way; control
// characters keep the output font's box.
TEST(GlyphRaster, MissingCharactersFromTheFallbackFonts)
{
    TwGlyphRaster raster("Tahoma", 9);
    ASSERT_TRUE(raster.IsValid()) << raster.ErrorText().toStdString();
    const std::vector<std::string> alpha = {".........", ".........", ".........", ".........", ".........",
                                            "..###..#.", ".##..#.#.", ".#....#..", ".#....#..", ".#....#..",
                                            ".##..##..", "..###.##.", ".........", "........."};
    EXPECT_EQ(CellRows(raster.CharacterCell(u'\u03B1')), alpha);
    const std::vector<std::string> middle = {"............", "............", ".....#......", ".....#......",
                                             ".##########.", ".#...#....#.", ".#...#....#.", ".#...#....#.",
                                             ".##########.", ".#...#....#.", ".....#......", ".....#......",
                                             ".....#......", "............"};
    EXPECT_EQ(CellRows(raster.CharacterCell(u'\u4E2D')), middle);
    EXPECT_EQ(raster.TextWidth(QString::fromUtf16(u"A\u03B1\u4E2D")), 8 + 9 + 12);
    EXPECT_EQ(CellRows(raster.CharacterCell(u'\x07')), CellRows(raster.CharacterCell(u'\x08')));
}

}  // namespace
