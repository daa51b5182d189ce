#pragma once

// The list of pictures the game loads: path, size and how each is drawn. The generator writes
// them and the tests read the same list, so the two cannot drift apart.

#include "drawing/canvas.hpp"
#include "tools/asset_gen/map_data.hpp"

#include <functional>
#include <string>
#include <vector>

namespace assetgen {

// The pictures are drawn with the game's drawing library.
using namespace drawing;

struct PictureEntry {
    std::string path; // relative to the Resources/ folder
    int width = 0;
    int height = 0;
    int columns = 1;      // sprite-sheet cells in one row
    float quadAspect = 0; // width / height of one cell as the game draws it; 0 when it varies
    bool words = false;   // carries text that must not touch the picture's border
    std::function<void(Canvas&)> draw;
};

// Every picture at a fixed path.
std::vector<PictureEntry> fixedPictures();
// Each map's background and level-select preview, from the data files.
std::vector<PictureEntry> mapPictures(const MapSet& maps);
// Both lists; a map picture replaces a fixed one at the same path.
std::vector<PictureEntry> allPictures(const MapSet& maps);

} // namespace assetgen
