// The output font: the face the panel's texts are drawn in. The compiler
// renders the menu image's glyphs with it, the item dialogs measure their
// captions with it, and the special-character command hands it on.
//
// OutputFontName is the one process-wide setting; the output-font dialog
// reads it from the designer's settings ("OutFont") when it is made and
// writes it back when the program ends. Until then it holds "Tahoma".
#pragma once

#include <QString>

// Face name of the output font.
extern QString OutputFontName;

// The size in points the panel's texts are drawn at.
constexpr int OutputFontSize = 9;

// OutputFontName, or "Tahoma" when it is empty.
QString PanelFontName();

// Width in pixels of the whole text in one run, in the output font at its
// size, measured by the compiler's glyph rasteriser: what the panel shows.
// An output font that cannot be loaded is measured in the font fontconfig
// substitutes for it; when there is none either, no width is known
// (PanelFontLoaded false) and this gives 0. The rasteriser is kept and made
// anew when OutputFontName changes.
int PanelTextWidth(const QString &text);
// Whether panel texts can be measured: the output font, or a font standing
// in for it, was loaded.
bool PanelFontLoaded();
