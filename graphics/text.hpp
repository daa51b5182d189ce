#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One rasterised character of the text font.
struct Glyph {
    uint32_t textureId = 0; // one red channel, rows unpadded
    int32_t sizeX = 0;
    int32_t sizeY = 0;
    int32_t bearingX = 0; // pen to the bitmap's left edge, pixels
    int32_t bearingY = 0; // baseline up to the bitmap's top edge, pixels
    uint32_t advance = 0; // pen advance in 1/64 pixel
};

// Characters that failed to load, or were never asked for, read as an empty glyph.
using GlyphTable = std::map<char, Glyph>;

// Where the text font lives, and the size it is rasterised at.
inline const std::string kFontPath = "../Resources/COOPBL.ttf";
constexpr uint32_t kFontPixelHeight = 48;
// Local units of the owner per pixel of the raster.
constexpr float kTextUnitsPerPixel = 0.015f;

// Rasterises codes 0 to 127 of the font into one texture each. Failures print FreeType's
// messages and leave those codes out; the OpenGL context must be current.
void LoadGlyphs(const std::string& fontPath, GlyphTable& glyphs);
// Deletes the glyph textures and empties the table.
void ReleaseGlyphs(GlyphTable& glyphs);

// One character's quad: six vertices of (x, y, u, v) in raster pixels around the text's centre.
struct GlyphQuad {
    uint32_t textureId = 0;
    std::array<float, 24> vertices{};
};

// Lays a string out on one line, centred horizontally on the sum of the advances and vertically
// on half the height of 'A' above the baseline. Characters with an empty bitmap move the pen but
// get no quad. The quads replace what out held.
void LayoutText(GlyphTable& glyphs, const std::string& text, std::vector<GlyphQuad>& out);
