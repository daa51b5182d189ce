#pragma once

// A map's level-select preview: the arena as the match camera frames it, on its theme's
// scenery, with the platforms as the game draws them and the spawn points in the players'
// colours. The asset generator draws the shipped maps' previews with it and the map editor the
// preview of each map it saves, so both look alike.

#include "drawing/canvas.hpp"
#include "drawing/shapes.hpp"

#include <string>
#include <vector>

namespace drawing {

struct PreviewPlatform {
    float x = 0, y = 0;          // centre, in world units
    float width = 0, height = 0; // the "Scale" x and y
    float degrees = 0;           // rotation about z, counter-clockwise
};

struct PreviewMap {
    float cameraZoom = 0; // at or below zero: the default zoom
    std::vector<PreviewPlatform> platforms;
    std::vector<Vec2> spawns; // in world units, in the map file's order
};

constexpr int kMapPreviewWidth = 500;
constexpr int kMapPreviewHeight = 300;

// Draws the preview over the whole canvas.
void drawMapPreview(Canvas& c, const PreviewMap& map, const std::string& theme);
// The preview at the level select's picture size.
Canvas mapPreview(const PreviewMap& map, const std::string& theme);

} // namespace drawing
