// The editor's checks: each one fails on a map made to break it, and every shipped map passes
// them all.
#include "editor/map_checks.hpp"
#include "tests/editor/editor_maps.hpp"

#include <gtest/gtest.h>

#include <functional>

using editor_test::smallMap;
using Kind = MapProblem::Kind;

TEST(MapChecks, EachCheckFailsOnAMapMadeToBreakIt) {
    struct Broken {
        const char* what;
        std::function<void(MapData&)> breakIt;
        Kind expected;
        EditorSelection target;
    };
    const EditorSelection spawn3{EditorSelection::Kind::SpawnPoint, 3};
    const Broken cases[] = {
        {"three spawn points", [](MapData& m) { m.spawnPoints.pop_back(); }, Kind::FewSpawnPoints, {}},
        {"a spawn point over nothing",
         [](MapData& m) {
             m.spawnPoints[3] = {20.0f, 0.0f, 0.0f};
         },
         Kind::NoGround, spawn3},
        {"a spawn point under the floor",
         [](MapData& m) {
             m.spawnPoints[3] = {10.5f, -11.0f, 0.0f};
         },
         Kind::NoGround, spawn3},
        {"a spawn point above a steep plate over the void: its tank touches and slides off",
         [](MapData& m) {
             m.platforms.push_back({{20.0f, 0.0f, kPlatformZ}, {0, 0, 75.0f}, {8.0f, 0.8f, 1.0f}});
             m.spawnPoints[3] = {20.0f, 6.0f, 0.0f};
         },
         Kind::NoGround, spawn3},
        {"a spawn point in the death border",
         [](MapData& m) {
             m.spawnPoints[3] = {10.5f, 24.0f, 0.0f};
         },
         Kind::OutsideArena, spawn3},
        {"a platform reaching into the border",
         [](MapData& m) { m.platforms[1].position.x = -30.0f; },
         Kind::OutsideArena,
         {EditorSelection::Kind::Platform, 1}},
        {"a platform turned into the border",
         [](MapData& m) {
             m.platforms[1] = {{20.0f, 10.0f, kPlatformZ}, {0, 0, 80.0f}, {30.0f, 0.8f, 1.0f}};
         },
         Kind::OutsideArena,
         {EditorSelection::Kind::Platform, 1}},
        {"two spawn points in one place",
         [](MapData& m) {
             m.spawnPoints[3] = {2.0f, -5.5f, 0.0f};
         },
         Kind::SpawnPointsOverlap, spawn3},
        {"a name that is a path", [](MapData& m) { m.name = "../Maps"; }, Kind::BadName, {}},
        {"no name", [](MapData& m) { m.name.clear(); }, Kind::BadName, {}},
    };
    ASSERT_TRUE(CheckMap(smallMap()).empty());
    for (const Broken& c : cases) {
        SCOPED_TRACE(c.what);
        MapData map = smallMap();
        c.breakIt(map);
        std::vector<MapProblem> problems = CheckMap(map);
        std::string texts;
        for (const MapProblem& p : problems) {
            texts += p.text + "\n";
        }
        ASSERT_EQ(problems.size(), 1u) << texts;
        EXPECT_EQ(problems[0].kind, c.expected) << problems[0].text;
        EXPECT_EQ(problems[0].target, c.target) << problems[0].text;
    }
    EXPECT_TRUE(IsPlainMapName("Stepping_Stones-2"));
}

TEST(MapChecks, EveryShippedMapPassesThemAll) {
    const std::vector<std::string> maps = readMapList(loadJson("MapSetting"));
    ASSERT_GE(maps.size(), 9u) << "the three first maps and the pack of six";
    for (const std::string& name : maps) {
        SCOPED_TRACE(name);
        for (const MapProblem& problem : CheckMap(readMapData(loadJson(name)))) {
            ADD_FAILURE() << problem.text;
        }
    }
}
