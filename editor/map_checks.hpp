#pragma once

// What keeps a map out of the level select. Each problem names what is wrong in one line and
// the platform or spawn point it is about, so the editor can select it.

#include "editor/map_document.hpp"
#include "objects/json_data.hpp"
#include "objects/map_names.hpp"

#include <string>
#include <vector>

// Four players need four places to start.
constexpr size_t kMinSpawnPoints = 4;
// A tank dropped from a spawn point must come to a platform within this time, and then come to
// rest on one (editor/drop_test.hpp) before the second: a touch alone is no landing. The second
// leaves room for a tank that slides down a gentle slope onto the ground below (Canyon's ledges
// take about 5.5 s).
constexpr float kLandingSeconds = 3.0f;
constexpr float kSettleSeconds = 8.0f;
// Two spawn points closer than this put two tanks into each other (a tank is about 2.6 wide).
constexpr float kSpawnSpacing = 3.0f;

struct MapProblem {
    enum class Kind { FewSpawnPoints, NoGround, OutsideArena, SpawnPointsOverlap, BadName };
    Kind kind;
    std::string text;
    EditorSelection target; // None when it is about the whole map
};

// Every problem of the map, in a fixed order; none means it can go in the level select. Drops
// real tanks (editor/drop_test.hpp), so the object world must be empty when it runs.
std::vector<MapProblem> CheckMap(const MapData& map);
