// The table of map pictures and previews.
#include "objects/json_data.hpp"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    BackgroundTable table = readBackgroundTable(parseJsonText(text, "fuzz"));
    MapData map;
    for (const MapBackground& background : table.backgrounds) {
        map.name = background.mapName;
        backgroundPathFor(map, table);
    }
    return 0;
}
