// The shipped maps are playable: every platform can be reached by driving and jumping, and the
// arena fits the camera; and each map's preview shows that map. That their tanks start on
// platforms is the editor's checks' to say (MapChecks drops a tank from every spawn point).
#include "drawing/canvas.hpp"
#include "tools/asset_gen/manifest.hpp"
#include "tools/asset_gen/map_data.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

} // namespace

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

// The game shows a map with the preview its own file names, whatever the list order.
TEST(AssetGenManifest, EachPreviewShowsTheMapThatNamesIt) {
    using namespace assetgen;
    MapData left, right;
    left.loaded = right.loaded = true;
    left.cameraZoom = right.cameraZoom = 30;
    left.previewName = "Second";
    left.platforms.push_back({-12, 0, 8, 2, 0});
    right.previewName = "First";
    right.platforms.push_back({12, 0, 8, 2, 0});
    MapSet set;
    set.maps = {left, right};
    set.previews = {{"First", "First"}, {"Second", "Second"}};
    auto darkAt = [](const Canvas& c, float fx) {
        Rgba p = c.at(static_cast<int>(c.width() * fx), c.height() / 2);
        return p.r + p.g + p.b < 0.6f;
    };
    for (const PictureEntry& entry : mapPictures(set)) {
        Canvas c(entry.width, entry.height);
        entry.draw(c);
        bool first = entry.path.find("First") != std::string::npos;
        // A platform's dark rim crosses the middle row where that map has its platform.
        bool rimLeft = false, rimRight = false;
        for (float fx = 0.2f; fx < 0.35f; fx += 0.002f) {
            rimLeft = rimLeft || darkAt(c, fx);
            rimRight = rimRight || darkAt(c, 1.0f - fx);
        }
        EXPECT_EQ(rimRight, first) << entry.path;
        EXPECT_EQ(rimLeft, !first) << entry.path;
    }
}
