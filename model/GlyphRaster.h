// Glyph rasteriser of the panel text: the font the compiler renders the menu
// image's glyph set with, and the one the item dialogs measure captions with,
// so that what a dialog accepts is what the panel shows.
//
// A font is asked for by face name and size in points at 96 dpi (size 9 gives
// 12 pixels an em). Glyphs are rendered in monochrome: a pixel is ink or it is
// not, there is no grey. The face "Tahoma" is the font file of the fonts-wine
// package; any other face is looked up through fontconfig, which substitutes
// its best match for a face it does not know. With the same font packages the
// result is the same on every machine.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

// One character cell: the pixels of a character drawn at (0, 0) into a cell
// of its text extent (advance width x line height), clipped to the cell.
struct TwGlyphCell {
    int Width = 0;
    int Height = 0;
    // Width * Height entries, row by row from the top; 1 for ink.
    std::vector<uint8_t> Ink;

    bool InkAt(int x, int y) const { return Ink[static_cast<size_t>(y) * Width + x] != 0; }
};

// What the compiler needs of a font. TwGlyphRaster is the real one; tests may
// hand the compiler a font of their own.
class TwGlyphSource {
public:
    virtual ~TwGlyphSource() = default;
    // True when a font was loaded; ErrorText says why not.
    virtual bool IsValid() const = 0;
    virtual QString ErrorText() const = 0;
    // Height in pixels of a text extent: the same for every text.
    virtual int LineHeight() const = 0;
    // The cell of one UTF-16 unit (a lone surrogate gives the font's
    // missing-character glyph).
    virtual TwGlyphCell CharacterCell(char16_t unit) = 0;
    // Width in pixels of the whole text in one run: the sum of the advances of
    // all of its UTF-16 units, without kerning.
    virtual int TextWidth(const QString &text) = 0;
};

// Which font a face name gives.
enum class TwFontChoice {
    // The face itself: ResolveFontFile's file.
    Named,
    // The first of the fonts fontconfig offers in the face's place, best
    // first, that can be loaded: for a face whose own file cannot be.
    Substitute,
};

class TwGlyphRaster : public TwGlyphSource {
public:
    // Loads the face at the size in points (96 dpi). Check IsValid after.
    TwGlyphRaster(const QString &faceName, int pointSize, TwFontChoice choice = TwFontChoice::Named);
    ~TwGlyphRaster() override;

    TwGlyphRaster(const TwGlyphRaster &) = delete;
    TwGlyphRaster &operator=(const TwGlyphRaster &) = delete;

    bool IsValid() const override;
    QString ErrorText() const override;
    int LineHeight() const override;
    TwGlyphCell CharacterCell(char16_t unit) override;
    int TextWidth(const QString &text) override;

    // Size of a text extent: TextWidth and LineHeight.
    int PixelSize() const;
    // Path of the font file in use (empty when none was found).
    QString FontFile() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Font file for a face name: the fonts-wine file for "Tahoma" (any case) when
// it is installed, else fontconfig's best match; empty when there is none.
// faceIndex is the face within the file.
QString ResolveFontFile(const QString &faceName, int &faceIndex);

// The faces the output font may be chosen from: the first family name of
// every scalable font fontconfig lists, and "Tahoma" (the panel's default
// face, resolved as ResolveFontFile says), sorted without regard to case,
// each name once.
QStringList OutputFontFamilies();

// Pixels an em of a size in points at 96 dpi, rounded (9 gives 12).
int PointsToPixels(int pointSize);
