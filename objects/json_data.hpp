#pragma once

// The game's data files: the map list, the table of map pictures, and one file per map.
// They are read whenever a screen needs them; nothing is cached and nothing is written.

#include "objects/math_types.hpp"

#include <json/json.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The bounds every reader of the game's data files keeps to. Hand-written data files are a few
// kilobytes; anything this big is not ours. World coordinates, zooms and scales never come near
// kMaxDataMagnitude; beyond it a value is garbage. A map holds tens of platforms and spawn points; a
// file with more is broken.
constexpr size_t kMaxDataFileBytes = 4 * 1024 * 1024;
constexpr double kMaxDataMagnitude = 1.0e6;
constexpr size_t kMaxMapPlatforms = 1000;
constexpr size_t kMaxMapSpawnPoints = 64;

// Reads "../Resources/JsonData/<baseName>.json". A missing file gives a null document without a
// message; a syntax error (text after the root value included) prints the reader's messages and
// a line naming the file, and gives what was parsed. Only regular files are read, and files that
// are too large or too deeply nested, or a name that is a path, are refused with a line.
Json::Value loadJson(const std::string& baseName);
// The parsing half of loadJson, for text that is already read; label names it in messages.
Json::Value parseJsonText(const std::string& text, const std::string& label);
// Parses quietly, as deep as the game's readers allow, with no text after the root value:
// whether the whole text read, what was parsed, and the reader's messages. Strict also refuses
// comments and what JSON itself does not allow.
bool parseJsonQuietly(const std::string& text, bool strict, Json::Value& root, std::string& errors);

// Reads values the way the game expects: a missing or unusable value reads as 0 or "".
// Values of the wrong type, non-finite or absurdly large numbers also read as 0; each reader
// below ends with one line per file counting them, so a hand-edited map can never take the
// game down nor flood the console.
float jsonFloat(const Json::Value& object, const char* key);
float jsonFloatAt(const Json::Value& array, unsigned index, const char* what);
std::string jsonString(const Json::Value& object, const char* key);
// The entries of an array, or the members of an object in key order; nothing otherwise.
std::vector<Json::Value> jsonEntries(const Json::Value& value);

// The map list: each playable map's data-file base name, in level-select order.
std::vector<std::string> readMapList(const Json::Value& document);

struct MapPreview {
    std::string path; // file name under Texture/MainMenu/LevelSelection/, no extension
    std::string name; // texture name it is registered under
};
struct MapBackground {
    std::string mapName; // the "MapName" of the map file it belongs to
    std::string path;    // file name under Texture/BG/, no extension
    std::string theme;   // the scenery it shows ("meadow", ...), "" when the table says none
};
struct BackgroundTable {
    std::vector<MapPreview> previews;
    std::vector<MapBackground> backgrounds;
};
BackgroundTable readBackgroundTable(const Json::Value& document);

struct PlatformEntry {
    vec3 position; // z is always -0.9: platforms sit just behind the tanks
    vec3 rotation;
    vec3 scale;
    bool operator==(const PlatformEntry&) const = default;
};
// The zoom a map gets when its own is missing or unusable.
constexpr float kDefaultCameraZoom = 30.0f;

struct MapData {
    std::string name;
    std::string previewName;
    float cameraZoom = kDefaultCameraZoom;
    std::vector<PlatformEntry> platforms;
    std::vector<vec3> spawnPoints; // in file order
    bool operator==(const MapData&) const = default;
};
MapData readMapData(const Json::Value& document);

constexpr float kPlatformZ = -0.9f;

// The background picture of a map: the path of the first table entry whose map name matches,
// or "" when none matches (then the match shows no background).
std::string backgroundPathFor(const MapData& map, const BackgroundTable& table);
// The background picture of a theme: that of the first table entry of the theme, or "".
std::string backgroundPathForTheme(const std::string& theme, const BackgroundTable& table);
constexpr const char* kFallbackBackgroundPath = "../Resources/Texture/BG/Background.png";

// The level select's preview names, one for each map of mapNames in its order: the
// "MapPreviewName" its file names, when the pictures table has a preview of that name and
// loadPreview loads it (registering its texture; each preview is tried once), and "" otherwise.
// Each map is paired with its own picture by name, so a missing or bad picture shows the
// placeholder for its own map and for no other.
std::vector<std::string> levelSelectPreviewNames(const std::vector<std::string>& mapNames,
                                                 const BackgroundTable& table,
                                                 const std::function<bool(const MapPreview&)>& loadPreview);
