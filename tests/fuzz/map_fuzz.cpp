// A map file, as the match and the level select read it.
#include "objects/json_data.hpp"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    MapData map = readMapData(parseJsonText(text, "fuzz"));
    // What the match relies on: a camera that shows something, bounded counts, sane sizes.
    if (!(map.cameraZoom > 0.0f) || map.platforms.size() > 1000 || map.spawnPoints.size() > 64) {
        __builtin_trap();
    }
    for (const PlatformEntry& p : map.platforms) {
        if (!(p.scale.x > 0.0f && p.scale.y > 0.0f && p.scale.z > 0.0f)) {
            __builtin_trap();
        }
    }
    return 0;
}
