// A map file as the editor and the player's map list read it, strictly: whatever the bytes, it
// either names its problems or gives a map the editor can build and save.
#include "objects/map_file_reader.hpp"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const MapFileReading reading = ReadMapText(std::string(reinterpret_cast<const char*>(data), size));
    if (!reading.clean()) {
        return 0;
    }
    const MapData& map = reading.map;
    if (!(map.cameraZoom > 0.0f) || map.platforms.size() > 1000 || map.spawnPoints.size() > 64) {
        __builtin_trap();
    }
    for (const PlatformEntry& p : map.platforms) {
        if (!(p.scale.x > 0.0f && p.scale.y > 0.0f && p.scale.z > 0.0f) || !std::isfinite(p.position.x) ||
            !std::isfinite(p.position.y) || !std::isfinite(p.rotation.z)) {
            __builtin_trap();
        }
    }
    return 0;
}
