// Drawing primitives against hand-derived pixels: numbers and big digits, glyphs,
// clipped and centred texts, the two dots of a cut caption and the two line rules
// of long texts.
#include "RuntimeTestImages.h"

#include "PanelLcdDriver.h"
#include "RuntimeDraw.h"
#include "RuntimeImage.h"

#include <climits>

using namespace runtime;

namespace {

// The pattern font with 'W' 8 pixels and 'i' 1 pixel wide.
class VariableGlyphSource : public PatternGlyphSource {
public:
    static int WidthOf(char16_t c) { return c == 'W' ? 8 : c == 'i' ? 1 : 5; }
    TwGlyphCell CharacterCell(char16_t unit) override
    {
        return PatternGlyphSource(WidthOf(unit), Height).CharacterCell(unit);
    }
    int TextWidth(const QString &text) override
    {
        int w = 0;
        for (QChar c : text)
            w += WidthOf(c.unicode());
        return w;
    }
};

std::string Format(uint8_t kind, uint32_t value, uint8_t decimals, bool strip)
{
    char out[kNumberTextMax + 1];
    const int length = FormatNumber(out, kind, value, decimals, strip);
    EXPECT_EQ(length, static_cast<int>(std::string(out).size()));
    return out;
}

class RuntimeDrawTest : public ::testing::Test {
protected:
    // Loads an image whose root holds the captions, the first with a description.
    void Load(const QStringList &captions, const QStringList &description = {})
    {
        TestProject project = NewTestProject(0);
        for (const QString &caption : captions)
            AddSubMenu(project.MainMenu, caption);
        if (!description.isEmpty())
            SetDescription(project.MainMenu->GetChild(0), description);
        VariableGlyphSource font;
        ASSERT_EQ(script.Start(CompileForRuntime(project, 0, font), 0), LoadOk);
        script.Run("p p");
        CurrentModel.ClearFrame();
    }

    RuntimeScript script;
};

}  // namespace

TEST(RuntimeNumberTest, FormatNumberWritesDigitsSignAndPoint)
{
    EXPECT_EQ(Format(NumU16, 12345, 2, false), "123.45");
    EXPECT_EQ(Format(NumU16, 5, 2, false), "000.05");
    EXPECT_EQ(Format(NumU16, 5, 2, true), "0.05");
    EXPECT_EQ(Format(NumS16, 0xFFD6, 0, false), "-00042");
    EXPECT_EQ(Format(NumS16, 0xFFD6, 0, true), "-42");
    EXPECT_EQ(Format(NumS16, 0x8000, 0, false), "-32768");
    EXPECT_EQ(Format(NumS16, 0, 0, true), "+0");
    EXPECT_EQ(Format(NumU16, 0, 0, true), "0");
    EXPECT_EQ(Format(NumU16, 0x12345, 0, false), "09029") << "16-bit kinds take the low 16 bits";
    EXPECT_EQ(Format(NumU32, 0xFFFFFFFF, 0, false), "4294967295");
    EXPECT_EQ(Format(NumS32, 0x80000000, 3, false), "-2147483.648");
    EXPECT_EQ(Format(NumU32, 1234, 3, true), "1.234");
    EXPECT_EQ(Format(NumU16, 7, 5, false), "00007") << "no point outside the digits";
}

TEST(RuntimeNumberTest, NumberFieldWidthByKind)
{
    EXPECT_EQ(NumberFieldWidth(NumU16, 1, 0, false), 40);
    EXPECT_EQ(NumberFieldWidth(NumS16, 1, 0, false), 48);
    EXPECT_EQ(NumberFieldWidth(NumU32, 1, 0, false), 80);
    EXPECT_EQ(NumberFieldWidth(NumS32, 1, 2, false), 91);
    EXPECT_EQ(NumberFieldWidth(NumU16, 5, 2, true), 32) << "8 per character of 0.05";
    EXPECT_EQ(NumberFieldWidth(NumS16, 0xFFD6, 0, true), 24);
}

TEST_F(RuntimeDrawTest, BigCharsPaintTheirWholeCellUnclipped)
{
    Load({QStringLiteral("A")});
    for (int y = 20; y < 31; ++y)
        DrawHLine(0, y, 30, 1);
    SetClipColumns(50, 60);  // big digits ignore the clip columns
    EXPECT_EQ(DrawBigChar(10, 20, '1'), 8);
    EXPECT_EQ(DrawBigChar(18, 20, '.'), 3);
    EXPECT_EQ(DrawBigChar(21, 20, 'x'), 0);
    ResetClipColumns();
    EXPECT_EQ(script.Area(10, 20, 8, 3), "........\n...##...\n..###...\n");
    EXPECT_EQ(script.Area(10, 30, 8, 1), ".######.\n");
    EXPECT_EQ(script.Area(18, 28, 4, 3), "...#\n##.#\n##.#\n") << "'.' is 3 wide; x 21 untouched";
    EXPECT_EQ(DrawBigNumber(0, 40, NumU16, 5, 2, true), 3 * 8 + 3);
}

TEST_F(RuntimeDrawTest, GlyphsAreDrawnLitOrInverted)
{
    Load({QStringLiteral("A")});
    EXPECT_EQ(DrawGlyphIndex('A', 20, 20, 1), 5);
    EXPECT_EQ(script.Area(20, 20, 5, 12), PatternCell('A'));
    EXPECT_EQ(DrawGlyphIndex('A', 40, 20, 0), 5);
    EXPECT_EQ(script.Area(40, 20, 5, 12), PatternCell('A', 5, 12, true));
    SetClipColumns(0, 42);
    CurrentModel.ClearFrame();
    DrawGlyphIndex('A', 40, 20, 0);
    EXPECT_EQ(script.LitCount(43, 20, 2, 12), 0) << "pixels right of clip right stay dark";
    ResetClipColumns();
    EXPECT_EQ(DrawGlyphIndex(60000, 0, 0, 1), 0) << "a glyph the set lacks";
}

TEST_F(RuntimeDrawTest, CaptionOfWidthMinus16FitsOneMorePixelGetsDots)
{
    const QString fits = QString(14, QLatin1Char('W'));  // 112 = W - 16
    Load({fits, fits + QLatin1Char('i')});
    script.Run("6t p");
    EXPECT_EQ(gEngine.marqueeOn, 0);
    // Centred on 67: from 11 to 123, the last W whole, no dots.
    EXPECT_EQ(script.Area(115, 17, 8, 12), PatternCell('W', 8));
    script.Run("d p");
    EXPECT_EQ(gEngine.marqueeOn, 1);
    EXPECT_EQ(gEngine.marqueeSteps, 113 - 112 + 32);
    // Left-aligned from 11; the limit is 123 - 8: 13 W up to 115, then dots at 118, 121.
    EXPECT_EQ(script.Area(107, 33, 8, 12), PatternCell('W', 8));
    EXPECT_EQ(script.LitCount(115, 33, 3, 12), 0);
    EXPECT_EQ(script.Area(118, 33, 3, 12), PatternCell('.', 3));
    EXPECT_EQ(script.LitCount(124, 33, 4, 12) > 0, true) << "the closing bracket";
}

TEST_F(RuntimeDrawTest, TextsAlignAndClip)
{
    Load({QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ")});  // 133 pixels (W is 8)
    const uint16_t caption = gEngine.items[0].captionLoc;
    EXPECT_EQ(DrawTextById(kNoLoc, 10, 10, 1, AlignLeft), 0);
    EXPECT_EQ(script.LitCount(0, 0, 128, 64), 0);

    SetClipColumns(8, 114);
    EXPECT_EQ(DrawTextById(caption, 62, 20, 1, AlignCentre), 133);
    ResetClipColumns();
    EXPECT_EQ(script.Area(8, 20, 5, 12), PatternCell('A'))
        << "a centred text wider than the clip starts at clip left";
    EXPECT_EQ(script.LitCount(0, 20, 8, 12), 0);

    CurrentModel.ClearFrame();
    ReadText(caption, gEngine.text);
    gEngine.text.length = 4;  // "ABCD", 20 pixels
    EXPECT_EQ(DrawTextCentred(gEngine.text, 5, 30, 1), 20);
    EXPECT_EQ(script.Area(0, 30, 5, 12), PatternCell('A')) << "not left of 0";
    DrawTextById(caption, 60, 45, 1, AlignRight);
    EXPECT_EQ(DrawCStringCentred("AB", 0, 0, 1), 10);
    EXPECT_EQ(script.Area(0, 0, 5, 12), PatternCell('B')) << "from (0 - 10) / 2 = -5";
}

TEST_F(RuntimeDrawTest, WrappedTextAndLineCountKeepTheirOwnRules)
{
    Load({QStringLiteral("ABCDEFGH")});
    const uint16_t caption = gEngine.items[0].captionLoc;
    // 8 glyphs of 5 pixels at width 20: the count ends a line when the run reaches 20
    // (4 + 4), the drawing moves a glyph that would reach it (3 + 3 + 2).
    EXPECT_EQ(CountTextLines(caption, 20), 2u);
    DrawWrappedText(caption, 20, 0, 17, 0, 1);
    EXPECT_EQ(script.Area(10, 17, 5, 12), PatternCell('C'));
    EXPECT_EQ(script.Area(0, 33, 5, 12), PatternCell('D'));
    EXPECT_EQ(script.Area(0, 49, 5, 12), PatternCell('G'));
    CurrentModel.ClearFrame();
    DrawWrappedText(caption, 20, 0, 17, 1, 1);
    EXPECT_EQ(script.Area(0, 17, 5, 12), PatternCell('D')) << "from the second line";
    EXPECT_EQ(script.Area(5, 33, 5, 12), PatternCell('H'));
}

TEST_F(RuntimeDrawTest, LineFeedsEndLinesAndReturnsAreSkipped)
{
    Load({QStringLiteral("X")}, {QStringLiteral("AB"), QStringLiteral(""), QStringLiteral("C")});
    const uint16_t description = gEngine.items[0].descriptionLoc;
    EXPECT_EQ(CountTextLines(description, 128), 3u);
    DrawWrappedText(description, 128, 0, 17, 0, 1);
    EXPECT_EQ(script.Area(5, 17, 5, 12), PatternCell('B'));
    EXPECT_EQ(script.Area(0, 49, 5, 12), PatternCell('C'));
}

TEST_F(RuntimeDrawTest, FrameIsTwoPixelsAroundTheDisplay)
{
    Load({QStringLiteral("A")});
    DrawFrame();
    EXPECT_EQ(script.LitCount(0, 0, 128, 64), 128 * 64 - 124 * 60);
}
