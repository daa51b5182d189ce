#pragma once

// The scenery behind an arena, painted by theme: the asset generator draws each map's background
// with it, and every level-select preview (the generator's and the editor's) is drawn on it.

#include "drawing/canvas.hpp"

#include <string>

namespace drawing {

// "meadow", "canyon", "starfall", "lagoon", "glacier", "ember", "cloudtop"; anything else the
// plain one.
void makeArenaBackground(Canvas& c, const std::string& theme);

} // namespace drawing
