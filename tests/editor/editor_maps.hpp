#pragma once

// A small map the editor's tests start from: a floor, a ledge and four spawn points over the
// floor, on the meadow theme. It passes every check.

#include "objects/json_data.hpp"

namespace editor_test {

inline MapData smallMap() {
    MapData map;
    map.name = "Small";
    map.previewName = "";
    map.cameraZoom = 34.0f;
    map.platforms = {{{0.0f, -8.0f, kPlatformZ}, {0, 0, 0}, {30.0f, 1.5f, 1.0f}},
                     {{-9.0f, -1.0f, kPlatformZ}, {0, 0, 10.0f}, {8.0f, 0.8f, 1.0f}}};
    map.spawnPoints = {{-10.5f, -5.5f, 0}, {-3.5f, -5.5f, 0}, {3.5f, -5.5f, 0}, {10.5f, -5.5f, 0}};
    return map;
}

} // namespace editor_test
