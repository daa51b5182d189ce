// The shipped maps are playable: tanks start on platforms, every platform can be reached by
// driving and jumping, and the arena fits the camera. Also the map reader's handling of bad files.
#include "tools/asset_gen/map_data.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace {

using assetgen::MapData;
using assetgen::PlatformData;

// A jump sets the vertical speed to 20 (16 on the slowest tracks, x 0.8); gravity 9.8 x 2 with
// the tank's damping (30 % of the speed survives a second) tops out about 5.8 units above the
// start, 4.0 on those tracks. Leave some room for the tank's own height at the edge.
constexpr float kClimb = 3.6f;
// Sideways the tank drives up to 21 units per second and a jump lasts over a second.
constexpr float kJumpReach = 9.0f;
constexpr float kDropReach = 12.0f;

struct Top {
    float x, y;
};

// Points along a platform's upper face, every quarter unit.
std::vector<Top> topOf(const PlatformData& p) {
    std::vector<Top> pts;
    float half = p.width * 0.5f + p.height;
    for (float x = p.x - half; x <= p.x + half; x += 0.25f) {
        assetgen::Surface s = assetgen::surfaceAt(p, x);
        if (s.over) {
            pts.push_back({x, s.top});
        }
    }
    return pts;
}

bool canGo(const std::vector<Top>& from, const std::vector<Top>& to) {
    for (Top a : from) {
        for (Top b : to) {
            float dx = std::fabs(b.x - a.x), rise = b.y - a.y;
            if ((rise <= kClimb && rise > 0 && dx <= kJumpReach) || (rise <= 0 && dx <= kDropReach)) {
                return true;
            }
        }
    }
    return false;
}

std::vector<MapData> shippedMaps() {
    assetgen::MapSet set = assetgen::loadMapSet(std::string(GRUMBO_RESOURCES_DIR) + "/JsonData");
    return set.maps;
}

void write(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file) << text;
}

} // namespace

TEST(ShippedMaps, EverySpawnPointIsJustAbovePlatform) {
    for (const MapData& map : shippedMaps()) {
        SCOPED_TRACE(map.file);
        EXPECT_GE(map.spawns.size(), 4u) << "four players need four spawn points";
        for (const assetgen::SpawnData& s : map.spawns) {
            bool above = std::any_of(map.platforms.begin(), map.platforms.end(), [&](const PlatformData& p) {
                assetgen::Surface surface = assetgen::surfaceAt(p, s.x);
                // The tank's wheels hang half a unit below its root; it should drop a little, not far.
                return surface.over && s.y - 0.5f > surface.top && s.y - surface.top < 4.0f;
            });
            EXPECT_TRUE(above) << "spawn point (" << s.x << ", " << s.y << ")";
        }
    }
}

TEST(ShippedMaps, EveryPlatformCanBeReachedFromEveryOther) {
    for (const MapData& map : shippedMaps()) {
        SCOPED_TRACE(map.file);
        size_t n = map.platforms.size();
        std::vector<std::vector<Top>> tops;
        for (const PlatformData& p : map.platforms) {
            tops.push_back(topOf(p));
        }
        for (size_t start = 0; start < n; ++start) {
            std::vector<bool> seen(n, false);
            std::vector<size_t> todo{start};
            seen[start] = true;
            while (!todo.empty()) {
                size_t a = todo.back();
                todo.pop_back();
                for (size_t b = 0; b < n; ++b) {
                    if (!seen[b] && canGo(tops[a], tops[b])) {
                        seen[b] = true;
                        todo.push_back(b);
                    }
                }
            }
            for (size_t b = 0; b < n; ++b) {
                EXPECT_TRUE(seen[b]) << "platform " << b << " cannot be reached from platform " << start;
            }
        }
    }
}

TEST(ShippedMaps, ArenaFitsTheCameraAndVariesItsLayout) {
    bool tilted = false;
    for (const MapData& map : shippedMaps()) {
        SCOPED_TRACE(map.file);
        // The match camera shows 1.6 x zoom by zoom units around the origin.
        float halfW = map.cameraZoom * 0.8f, halfH = map.cameraZoom * 0.5f;
        for (const PlatformData& p : map.platforms) {
            float a = p.degrees * 3.14159265f / 180.0f;
            float ex = 0.5f * (p.width * std::fabs(std::cos(a)) + p.height * std::fabs(std::sin(a)));
            float ey = 0.5f * (p.width * std::fabs(std::sin(a)) + p.height * std::fabs(std::cos(a)));
            EXPECT_LT(std::fabs(p.x) + ex, halfW) << "platform at x " << p.x;
            EXPECT_LT(std::fabs(p.y) + ey, halfH) << "platform at y " << p.y;
            tilted = tilted || std::fabs(p.degrees) > 1.0f;
        }
        float widest = 0;
        for (const PlatformData& p : map.platforms) {
            widest = std::max(widest, p.width);
        }
        EXPECT_GE(widest, 9.0f) << "room for a brawl somewhere";
    }
    EXPECT_TRUE(tilted) << "at least one map has a tilted platform";
}

TEST(AssetGenMapReader, BrokenAndMissingFilesBecomeOneLineProblems) {
    auto dir = std::filesystem::temp_directory_path() / ("grumbo_maps_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    write(dir / "MapSetting.json",
          R"({"Map": [{"MapName": "Good"}, 7, {"MapName": "Broken"}, {"MapName": "Gone"}]})");
    write(dir / "BackgroundSetting.json", "{ \"MapArray\": [ ");
    // "Object" may also be an object, walked in key order.
    write(dir / "Good.json", R"({"MapName": "Good", "CameraZoom": 33, "Object": {
        "a": {"ObjName": "Platform", "Position": [1, 2, 99], "Rotation": [0, 0, 15], "Scale": [8, 1, 1]},
        "b": {"ObjName": "SpawnPoint", "Position": [1, 4, 0]},
        "c": {"ObjName": "Tree", "Position": [0, 0]}}})");
    write(dir / "Broken.json", "{\"MapName\": ");

    assetgen::MapSet set = assetgen::loadMapSet(dir.string());
    ASSERT_EQ(set.maps.size(), 3u);
    EXPECT_TRUE(set.maps[0].loaded);
    ASSERT_EQ(set.maps[0].platforms.size(), 1u);
    EXPECT_FLOAT_EQ(set.maps[0].platforms[0].degrees, 15.0f);
    EXPECT_FLOAT_EQ(set.maps[0].platforms[0].width, 8.0f);
    EXPECT_EQ(set.maps[0].spawns.size(), 1u);
    EXPECT_FALSE(set.maps[1].loaded);
    EXPECT_FALSE(set.maps[2].loaded);
    EXPECT_TRUE(set.backgrounds.empty());
    ASSERT_EQ(set.problems.size(), 4u);
    for (const std::string& line : set.problems) {
        EXPECT_EQ(line.find('\n'), std::string::npos);
    }
    EXPECT_NE(set.problems[0].find("not an object"), std::string::npos) << "a stray entry is skipped";
    EXPECT_NE(set.problems[1].find("Broken.json"), std::string::npos);
    EXPECT_NE(set.problems[2].find("Gone.json"), std::string::npos);
    EXPECT_NE(set.problems[3].find("BackgroundSetting.json"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(AssetGenMapReader, SurfaceFollowsATiltedPlatform) {
    PlatformData flat{0, 0, 10, 2, 0};
    EXPECT_TRUE(assetgen::surfaceAt(flat, 4.9f).over);
    EXPECT_FLOAT_EQ(assetgen::surfaceAt(flat, 4.9f).top, 1.0f);
    EXPECT_FALSE(assetgen::surfaceAt(flat, 5.1f).over);
    // Turned counter-clockwise, the right end rises.
    PlatformData tilted{0, 0, 10, 0, 30};
    EXPECT_NEAR(assetgen::surfaceAt(tilted, 4.0f).top, 4.0f * std::tan(30 * 3.14159265f / 180), 1e-4f);
    EXPECT_LT(assetgen::surfaceAt(tilted, -4.0f).top, 0.0f);
}
