// The output font and the width of panel texts.
#include "OutputFont.h"

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

namespace {

// The rasteriser of the output font as it is now named.
TwGlyphRaster &PanelRaster()
{
    const QString face = PanelFontName();
    if (!gRaster || face != gRasterFace) {
        gRaster = std::make_unique<TwGlyphRaster>(face, OutputFontSize);
        if (!gRaster->IsValid())
            gRaster = std::make_unique<TwGlyphRaster>(face, OutputFontSize, TwFontChoice::Substitute);
        gRasterFace = face;
    }
    return *gRaster;
}

}  // namespace

int PanelTextWidth(const QString &text)
{
    return PanelRaster().TextWidth(text);
}

bool PanelFontLoaded()
{
    return PanelRaster().IsValid();
}
