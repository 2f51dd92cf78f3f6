// The pixels a text of the pattern font (PatternGlyphSource) leaves on the panel, in
// the form RuntimeScript::Area gives them: the glyph cells one after the other.
#pragma once

#include <string>

#include "ProjectBuilder.h"

inline std::string PatternText(const std::string &text, int width = 5, int height = 12)
{
    std::string out;
    for (int y = 0; y < height; ++y) {
        for (char c : text) {
            for (int x = 0; x < width; ++x)
                out += PatternGlyphSource::InkOf(static_cast<char16_t>(static_cast<unsigned char>(c)), x, y)
                    ? '#'
                    : '.';
        }
        out += '\n';
    }
    return out;
}
