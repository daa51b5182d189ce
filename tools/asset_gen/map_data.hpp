#pragma once

// The hand-written map data as the generator (and the tests) read it: the map list, the
// pictures table and every map file it names.

#include <string>
#include <vector>

namespace assetgen {

struct PlatformData {
    float x = 0, y = 0;          // centre
    float width = 0, height = 0; // the "Scale" x and y
    float degrees = 0;           // rotation about z, counter-clockwise
};

struct SpawnData {
    float x = 0, y = 0, z = 0;
};

struct MapData {
    std::string file;        // base name in the map list
    bool loaded = false;     // the file existed and parsed
    std::string name;        // "MapName"
    std::string previewName; // "MapPreviewName"
    float cameraZoom = 0;
    std::vector<PlatformData> platforms;
    std::vector<SpawnData> spawns;
};

struct BackgroundEntry {
    std::string mapName; // "MapName"
    std::string path;    // "MapPath": Texture/BG/<path>.png
    std::string theme;   // our own key: which scenery the generator paints
};

struct PreviewEntry {
    std::string path; // "MapPreviewPath": Texture/MainMenu/LevelSelection/<path>.png
    std::string name; // "MapPreviewName"
};

struct MapSet {
    std::vector<MapData> maps; // in map-list order
    std::vector<BackgroundEntry> backgrounds;
    std::vector<PreviewEntry> previews;
    std::vector<std::string> problems; // one line each, for standard output
};

// Reads MapSetting.json, BackgroundSetting.json and the map files from a JsonData folder.
MapSet loadMapSet(const std::string& jsonDir);

// Height of a platform's upper face at x, and whether x lies over that face.
struct Surface {
    bool over = false;
    float top = 0;
};
Surface surfaceAt(const PlatformData& platform, float x);

} // namespace assetgen
