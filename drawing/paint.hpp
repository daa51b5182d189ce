#pragma once

// The cartoon look: a flat fill, a darker second tone along the lower side, a light rim along
// the upper side and a dark outline, all from one shape's distance function.

#include "drawing/canvas.hpp"
#include "drawing/shapes.hpp"

#include <array>
#include <functional>

namespace drawing {

// The dark ink of every outline in the game.
inline const Rgba kInk = rgb(0x2b1e3f);
inline const Rgba kWhite = rgb(0xffffff);
// Player 1 red, 2 blue, 3 green, 4 yellow, everywhere.
inline const std::array<Rgba, 4> kPlayerColours = {rgb(0xee4b3e), rgb(0x3e7fea), rgb(0x43c15a),
                                                   rgb(0xf6c736)};

struct Look {
    Rgba fill;
    // Optional fill by position (gradients, stripes); overrides fill.
    std::function<Rgba(Vec2)> fillAt;
    Rgba shade;           // the second tone; none when transparent
    float shadeDepth = 0; // how far the shaded band reaches in, pixels
    Rgba light;           // a thin bright rim at the top
    float lightDepth = 0;
    float outline = 0; // pixels
    Rgba ink = kInk;
    float opacity = 1;
};

// The usual look for a sprite part: fill, 22 % darker shade, light rim and an ink outline.
Look toon(Rgba fill, float outline, float shadeDepth);

void paint(Canvas& canvas, const Shape& shape, const Look& look);
// A plain anti-aliased fill.
void fillShape(Canvas& canvas, const Shape& shape, Rgba colour);
// Removes what lies under the shape (holes, windows).
void cutShape(Canvas& canvas, const Shape& shape);
// The shape's coverage on a canvas-sized mask, for glows and shadows.
Mask shapeMask(int width, int height, const Shape& shape);
// A soft glow: the shape blurred by radius pixels and painted under what follows.
void glow(Canvas& canvas, const Shape& shape, Rgba colour, int radius);
void glowMask(Canvas& canvas, Mask mask, Rgba colour, int radius);

// Vertical gradient between two colours over the pixel rows y0..y1.
std::function<Rgba(Vec2)> verticalGradient(Rgba top, Rgba bottom, float y0, float y1);
std::function<Rgba(Vec2)> radialGradient(Vec2 centre, float radius, Rgba inner, Rgba outer);
// Fills the whole canvas with a vertical gradient over the pixel rows y0..y1 (y1 < 0: the
// bottom), with a whisper of fixed noise so wide, slow gradients show no 8-bit bands.
void gradientFill(Canvas& c, Rgba top, Rgba bottom, float y0 = 0, float y1 = -1);

} // namespace drawing
