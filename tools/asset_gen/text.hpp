#pragma once

// Text for the pictures: DejaVu Sans Bold through FreeType, with an outline from FreeType's
// stroker, a two-tone fill, a drop shadow and a glow. When the font file is missing a plain
// built-in block font stands in, so every picture still carries its words.

#include "drawing/canvas.hpp"
#include "drawing/paint.hpp"
#include "drawing/shapes.hpp"

#include <functional>
#include <string>

namespace assetgen {

// The pictures are drawn with the game's drawing library.
using namespace drawing;

inline constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

struct TextStyle {
    Rgba fill = rgb(0xffffff);
    Rgba shade;              // lower part of the letters; none when transparent
    float shadeFrom = 0.55f; // where the shade starts, as a fraction of the capital height from its top
    float outline = 0;       // pixels
    Rgba ink = kInk;
    float shadow = 0; // pixels the soft copy drops below the letters
    Rgba shadowColour = withAlpha(kInk, 0.5f);
    int glow = 0; // blur radius of a halo around the outline
    Rgba glowColour;
};

// Left, Centre and Right place the inked letters (outline included); Pen puts the start of
// the line's baseline at the anchor, for setting letters one by one.
enum class Align { Left, Centre, Right, Pen };

struct TextSize {
    float width = 0;      // of the letters alone
    float capHeight = 0;  // height of a capital letter
    float lineHeight = 0; // distance between baselines
};

// True when the TrueType font could be opened.
bool fontAvailable();
TextSize measureText(const std::string& text, float pixelSize);

// One line whose capitals are centred on anchor.y and which is aligned on anchor.x. When
// maxWidth is given the size shrinks until the line with its outline fits. Returns the size used.
float drawText(Canvas& canvas, const std::string& text, Vec2 anchor, float pixelSize, const TextStyle& style,
               float maxWidth = 0, Align align = Align::Centre);

// Words wrapped to the box's width, the first capitals starting at box.y0. Returns the y of
// the bottom of the last line.
float drawParagraph(Canvas& canvas, const std::string& text, Bounds box, float pixelSize,
                    const TextStyle& style, float lineSpacing = 1.25f, Align align = Align::Left);

// The largest size (up to maxSize) at which the text with its outline fits in width x height.
float fitTextSize(const std::string& text, float width, float height, float maxSize, float outline);

// One line as drawText set it: the letters' coverage (outline left out) with the start of the
// pen on its baseline, and where the mask's top-left corner landed on a canvas of what size.
struct SetLine {
    std::string text;
    float pixelSize = 0;
    Mask fill;
    int penX = 0;
    int baselineY = 0;
    int canvasX = 0;
    int canvasY = 0;
    int canvasWidth = 0;
    int canvasHeight = 0;
};
// Every line drawText sets on this thread goes to the watcher too, until it is cleared with an
// empty one; the checks of the lettering read the generator's words this way.
void watchSetLines(std::function<void(const SetLine&)> watcher);

} // namespace assetgen
