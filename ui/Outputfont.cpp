// The output font and the width of panel texts.
#include "Outputfont.h"

#include "GlyphRaster.h"

#include <memory>

QString OutputFontName = QStringLiteral("Tahoma");

namespace {

std::unique_ptr<TwGlyphRaster> gRaster;
QString gRasterFace;

}  // namespace

QString PanelFontName()
{
    return OutputFontName.isEmpty() ? QStringLiteral("Tahoma") : OutputFontName;
}

int PanelTextWidth(const QString &text)
{
    const QString face = PanelFontName();
    if (!gRaster || face != gRasterFace) {
        gRaster = std::make_unique<TwGlyphRaster>(face, OutputFontSize);
        gRasterFace = face;
    }
    return gRaster->TextWidth(text);
}
