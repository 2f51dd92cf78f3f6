// Shared by the runtime engine tests: compiling test projects with the pattern font
// and reading glyph cells back from the framebuffer.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PanelRuntime.h"
#include "PanelRuntimeState.h"
#include "ProjectBuilder.h"
#include "ProjectTree.h"
#include "RuntimeScript.h"

// Compiles the project for the model with the font (5 x 12 pattern glyphs by default).
inline std::vector<uint8_t> CompileForRuntime(TestProject &project, int model, TwGlyphSource &font)
{
    QString error;
    const QByteArray image = CompileTestImage(project.Root.get(), font, static_cast<uint32_t>(model), &error);
    EXPECT_FALSE(image.isEmpty()) << error.toStdString();
    return ImageBytes(image);
}

inline std::vector<uint8_t> CompileForRuntime(TestProject &project, int model = 0)
{
    PatternGlyphSource font;
    return CompileForRuntime(project, model, font);
}

// The cell of a pattern-font character as RuntimeScript::Area shows it, the first
// columns columns only (a cell cut by the display's edge).
inline std::string PatternCell(char16_t c, int columns = 5, int height = 12, bool inverted = false)
{
    std::string out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < columns; ++x)
            out += PatternGlyphSource::InkOf(c, x, y) != inverted ? '#' : '.';
        out += '\n';
    }
    return out;
}

// Configuration properties of a project.
inline void Configure(TestProject &project, PropList props)
{
    for (const auto &[name, value] : props)
        project.Configuration->SetProp(QLatin1String(name), value);
}
