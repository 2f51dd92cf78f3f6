#include "GlyphRaster.h"

#include <QFile>
#include <QFileInfo>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <mutex>

namespace {

const char kTahomaFile[] = "/usr/share/wine/fonts/tahoma.ttf";

// The fontconfig configuration, loaded once for the process.
FcConfig *FontConfig()
{
    static std::once_flag once;
    static FcConfig *config = nullptr;
    std::call_once(once, [] { config = FcInitLoadConfigAndFonts(); });
    return config;
}

// value * numerator / denominator, rounded half up; for positive values.
int ScaleRounded(long value, long numerator, long denominator)
{
    return static_cast<int>((2 * value * numerator + denominator) / (2 * denominator));
}

}  // namespace

int PointsToPixels(int pointSize)
{
    return (pointSize * 96 + 36) / 72;
}

QString ResolveFontFile(const QString &faceName, int &faceIndex)
{
    faceIndex = 0;
    // fontconfig does not index the fonts-wine folder; that file is taken
    // by name.
    if (faceName.compare(QLatin1String("Tahoma"), Qt::CaseInsensitive) == 0
        && QFileInfo::exists(QString::fromLatin1(kTahomaFile)))
        return QString::fromLatin1(kTahomaFile);

    FcConfig *config = FontConfig();
    if (!config)
        return QString();
    FcPattern *pattern = FcPatternCreate();
    if (!pattern)
        return QString();
    const QByteArray family = faceName.toUtf8();
    if (!family.isEmpty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.constData()));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    QString path;
    if (match) {
        FcChar8 *file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            path = QString::fromUtf8(reinterpret_cast<const char *>(file));
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
            faceIndex = index;
        FcPatternDestroy(match);
    }
    return path;
}

QStringList OutputFontFamilies()
{
    QStringList families{QStringLiteral("Tahoma")};
    if (FcConfig *config = FontConfig()) {
        FcPattern *pattern = FcPatternCreate();
        FcObjectSet *objects = FcObjectSetBuild(FC_FAMILY, nullptr);
        if (pattern && objects) {
            FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
            if (FcFontSet *fonts = FcFontList(config, pattern, objects)) {
                for (int i = 0; i < fonts->nfont; ++i) {
                    FcChar8 *family = nullptr;
                    if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family)
                        families.append(QString::fromUtf8(reinterpret_cast<const char *>(family)));
                }
                FcFontSetDestroy(fonts);
            }
        }
        if (objects)
            FcObjectSetDestroy(objects);
        if (pattern)
            FcPatternDestroy(pattern);
    }
    std::sort(families.begin(), families.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    families.erase(std::unique(families.begin(), families.end(),
                               [](const QString &a, const QString &b) {
                                   return a.compare(b, Qt::CaseInsensitive) == 0;
                               }),
                   families.end());
    return families;
}

namespace {

// The fonts fontconfig tries for a face name, best first, the language fixed
// so that the order depends on the installed fonts alone, not on the user's
// locale. The font fontconfig picks to draw a character is the first of them
// that has it (the same as its best match when the character is asked for).
// Null without fontconfig; freed with FcFontSetSortDestroy.
FcFontSet *FallbackFonts(const QString &faceName)
{
    FcConfig *config = FontConfig();
    FcPattern *pattern = config ? FcPatternCreate() : nullptr;
    if (!pattern)
        return nullptr;
    const QByteArray family = faceName.toUtf8();
    if (!family.isEmpty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.constData()));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    if (FcLangSet *language = FcLangSetCreate()) {
        FcLangSetAdd(language, reinterpret_cast<const FcChar8 *>("en"));
        FcPatternAddLangSet(pattern, FC_LANG, language);
        FcLangSetDestroy(language);
    }
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcFontSet *fonts = FcFontSort(config, pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);
    return fonts;
}

// Font file and face index of the first of fonts that has the character;
// empty when none has it.
QString FontFileWithChar(const FcFontSet *fonts, char16_t unit, int &faceIndex)
{
    faceIndex = 0;
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcCharSet *has = nullptr;
        FcChar8 *file = nullptr;
        if (FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &has) != FcResultMatch || !has
            || !FcCharSetHasChar(has, unit)
            || FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch || !file)
            continue;
        int index = 0;
        if (FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &index) == FcResultMatch)
            faceIndex = index;
        return QString::fromUtf8(reinterpret_cast<const char *>(file));
    }
    return QString();
}

// Characters no font is asked for: controls, lone surrogates and the two
// non-characters at the end of the plane keep the output font's box.
bool TakesFallback(char16_t unit)
{
    return unit >= 0x20 && !(unit >= 0x7F && unit <= 0x9F) && !(unit >= 0xD800 && unit <= 0xDFFF)
        && unit < 0xFFFE;
}

}  // namespace

struct TwGlyphRaster::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    QString faceName;
    QString file;
    QString error;
    int pixels = 0;
    int ascent = 0;
    int descent = 0;
    // Advance widths by UTF-16 unit, -1 until measured.
    std::vector<int16_t> advances;
    // The fonts tried for characters the output font lacks (read on first
    // need), and the faces opened from them at its pixel size, with their file
    // and face index ("file#index").
    FcFontSet *fallbackOrder = nullptr;
    bool fallbackOrderRead = false;
    std::vector<FT_Face> fallbacks;
    std::vector<QString> fallbackKeys;
    // By UTF-16 unit: -1 not yet looked at, 0 the output font, k the
    // fallback face k - 1.
    std::vector<int16_t> faceOf;

    ~Impl()
    {
        for (FT_Face f : fallbacks)
            FT_Done_Face(f);
        if (fallbackOrder)
            FcFontSetSortDestroy(fallbackOrder);
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }

    void Load(const QString &faceName, int pointSize, TwFontChoice choice);
    // Opens the face at index in fontFile at the pixel size; false, with the
    // error, when it cannot be.
    bool Open(const QString &fontFile, int faceIndex);
    // The face that draws the unit: the output font when it has the
    // character, else the font fontconfig picks for it, else the output font
    // (its missing-character glyph).
    FT_Face FaceFor(char16_t unit);
    int Advance(char16_t unit);
};

bool TwGlyphRaster::Impl::Open(const QString &fontFile, int faceIndex)
{
    const QByteArray path = QFile::encodeName(fontFile);
    if (FT_New_Face(library, path.constData(), faceIndex, &face) != 0) {
        face = nullptr;
        error = QStringLiteral("The font file \"%1\" could not be read.").arg(fontFile);
        return false;
    }
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0) {
        error = QStringLiteral("The font \"%1\" has no size of %2 pixels.").arg(fontFile).arg(pixels);
        FT_Done_Face(face);
        face = nullptr;
        return false;
    }
    file = fontFile;
    return true;
}

void TwGlyphRaster::Impl::Load(const QString &name, int pointSize, TwFontChoice choice)
{
    faceName = name;
    int faceIndex = 0;
    const QString named = choice == TwFontChoice::Named ? ResolveFontFile(name, faceIndex) : QString();
    if (choice == TwFontChoice::Named && named.isEmpty()) {
        error = QStringLiteral("No font file was found for the font \"%1\".").arg(name);
        return;
    }
    if (FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        error = QStringLiteral("The font engine could not be started.");
        return;
    }
    pixels = std::max(1, PointsToPixels(pointSize));
    if (choice == TwFontChoice::Named) {
        if (!Open(named, faceIndex))
            return;
    } else {
        FcFontSet *fonts = FallbackFonts(name);
        for (int i = 0; fonts && i < fonts->nfont && !face; ++i) {
            FcChar8 *other = nullptr;
            int index = 0;
            if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &other) != FcResultMatch || !other)
                continue;
            if (FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &index) != FcResultMatch)
                index = 0;
            Open(QString::fromUtf8(reinterpret_cast<const char *>(other)), index);
        }
        if (fonts)
            FcFontSetSortDestroy(fonts);
        if (!face) {
            error = QStringLiteral("No font can stand in for the font \"%1\".").arg(name);
            return;
        }
        error.clear();
    }
    // The line is the font's clipping ascent and descent (OS/2 table) scaled
    // to the em and rounded, as a text extent is measured; fonts without that
    // table use the scaled ascender and descender.
    const auto *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && face->units_per_EM > 0 && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = ScaleRounded(os2->usWinAscent, pixels, face->units_per_EM);
        descent = ScaleRounded(os2->usWinDescent, pixels, face->units_per_EM);
    } else {
        ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
        descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    }
    ascent = std::max(ascent, 0);
    descent = std::max(descent, 0);
    advances.assign(0x10000, -1);
    faceOf.assign(0x10000, -1);
}

FT_Face TwGlyphRaster::Impl::FaceFor(char16_t unit)
{
    int16_t &which = faceOf[unit];
    if (which < 0) {
        which = 0;
        int index = 0;
        QString other;
        if (FT_Get_Char_Index(face, unit) == 0 && TakesFallback(unit)) {
            if (!fallbackOrderRead) {
                fallbackOrder = FallbackFonts(faceName);
                fallbackOrderRead = true;
            }
            other = FontFileWithChar(fallbackOrder, unit, index);
        }
        if (!other.isEmpty()) {
            const QString key = other + QLatin1Char('#') + QString::number(index);
            const auto known = std::find(fallbackKeys.begin(), fallbackKeys.end(), key);
            if (known != fallbackKeys.end()) {
                which = static_cast<int16_t>(known - fallbackKeys.begin() + 1);
            } else {
                FT_Face opened = nullptr;
                const QByteArray path = QFile::encodeName(other);
                if (FT_New_Face(library, path.constData(), index, &opened) == 0) {
                    if (FT_Set_Pixel_Sizes(opened, 0, static_cast<FT_UInt>(pixels)) == 0) {
                        fallbacks.push_back(opened);
                        fallbackKeys.push_back(key);
                        which = static_cast<int16_t>(fallbacks.size());
                    } else {
                        FT_Done_Face(opened);
                    }
                }
            }
        }
        if (which > 0 && FT_Get_Char_Index(fallbacks[static_cast<size_t>(which - 1)], unit) == 0)
            which = 0;
    }
    return which == 0 ? face : fallbacks[static_cast<size_t>(which - 1)];
}

int TwGlyphRaster::Impl::Advance(char16_t unit)
{
    int16_t &cached = advances[unit];
    if (cached < 0) {
        int width = 0;
        const FT_Face f = FaceFor(unit);
        if (FT_Load_Glyph(f, FT_Get_Char_Index(f, unit), FT_LOAD_TARGET_MONO) == 0)
            width = static_cast<int>((f->glyph->advance.x + 32) >> 6);
        cached = static_cast<int16_t>(std::clamp(width, 0, 0x7FFF));
    }
    return cached;
}

TwGlyphRaster::TwGlyphRaster(const QString &faceName, int pointSize, TwFontChoice choice)
    : d(std::make_unique<Impl>())
{
    d->Load(faceName, pointSize, choice);
}

TwGlyphRaster::~TwGlyphRaster() = default;

bool TwGlyphRaster::IsValid() const
{
    return d->face != nullptr;
}

QString TwGlyphRaster::ErrorText() const
{
    return d->error;
}

int TwGlyphRaster::LineHeight() const
{
    return IsValid() ? d->ascent + d->descent : 0;
}

int TwGlyphRaster::PixelSize() const
{
    return d->pixels;
}

QString TwGlyphRaster::FontFile() const
{
    return d->file;
}

int TwGlyphRaster::TextWidth(const QString &text)
{
    if (!IsValid())
        return 0;
    int width = 0;
    for (QChar c : text)
        width += d->Advance(c.unicode());
    return width;
}

TwGlyphCell TwGlyphRaster::CharacterCell(char16_t unit)
{
    TwGlyphCell cell;
    if (!IsValid())
        return cell;
    cell.Width = d->Advance(unit);
    cell.Height = LineHeight();
    cell.Ink.assign(static_cast<size_t>(cell.Width) * cell.Height, 0);
    if (cell.Ink.empty())
        return cell;
    // A character from another font sits on the output font's baseline.
    const FT_Face face = d->FaceFor(unit);
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, unit), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
        return cell;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap &bitmap = slot->bitmap;
    if (bitmap.pitch <= 0 || !bitmap.buffer)
        return cell;
    // The pen starts at (0, ascent): the bitmap's origin lies bitmap_left to
    // the right of it and bitmap_top above the baseline.
    const int left = slot->bitmap_left;
    const int top = d->ascent - slot->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const int y = top + static_cast<int>(row);
        if (y < 0 || y >= cell.Height)
            continue;
        const unsigned char *line = bitmap.buffer + static_cast<size_t>(row) * bitmap.pitch;
        for (unsigned col = 0; col < bitmap.width; ++col) {
            const int x = left + static_cast<int>(col);
            if (x < 0 || x >= cell.Width)
                continue;
            bool ink = false;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                ink = (line[col >> 3] >> (7 - (col & 7))) & 1;
            else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                ink = line[col] == 0xFF;  // only full ink counts; grey is ground
            if (ink)
                cell.Ink[static_cast<size_t>(y) * cell.Width + x] = 1;
        }
    }
    return cell;
}
