// The editor's document without a window: every change and its undo, drags as one step, and
// what a click picks.
#include "editor/map_document.hpp"
#include "tests/editor/editor_maps.hpp"

#include <gtest/gtest.h>

#include <functional>

using editor_test::smallMap;
using Kind = EditorSelection::Kind;

namespace {

struct Change {
    const char* what;
    EditorSelection selected;
    std::function<void(MapDocument&)> apply;
    std::function<void(const MapData& before, const MapDocument& after)> expect;
};

} // namespace

TEST(MapDocument, EveryChangeIsOneStepThatUndoTakesBackAndRedoBrings) {
    const EditorSelection floor{Kind::Platform, 0}, ledge{Kind::Platform, 1}, spawn{Kind::SpawnPoint, 2};
    const Change changes[] = {
        {"add a platform",
         {},
         [](MapDocument& d) {
             d.addPlatform({3.333f, 4.0f});
         },
         [](const MapData& b, const MapDocument& d) {
             ASSERT_EQ(d.map().platforms.size(), b.platforms.size() + 1);
             EXPECT_FLOAT_EQ(d.map().platforms.back().position.x, 3.33f) << "on the 0.01 grid";
             EXPECT_EQ(d.selection(), (EditorSelection{Kind::Platform, b.platforms.size()}));
         }},
        {"add a spawn point",
         {},
         [](MapDocument& d) {
             d.addSpawnPoint({1, 2});
         },
         [](const MapData& b, const MapDocument& d) {
             EXPECT_EQ(d.map().spawnPoints.size(), b.spawnPoints.size() + 1);
             EXPECT_EQ(d.selection().kind, Kind::SpawnPoint);
         }},
        {"duplicate a platform", ledge, [](MapDocument& d) { d.duplicateSelection(); },
         [](const MapData& b, const MapDocument& d) {
             ASSERT_EQ(d.map().platforms.size(), 3u);
             EXPECT_EQ(d.map().platforms[2].scale, b.platforms[1].scale);
             EXPECT_EQ(d.map().platforms[2].rotation, b.platforms[1].rotation);
             EXPECT_NE(d.map().platforms[2].position, b.platforms[1].position) << "both can be seen";
             EXPECT_EQ(d.selection(), (EditorSelection{Kind::Platform, 2}));
         }},
        {"duplicate a spawn point", spawn, [](MapDocument& d) { d.duplicateSelection(); },
         [](const MapData&, const MapDocument& d) { EXPECT_EQ(d.map().spawnPoints.size(), 5u); }},
        {"delete a platform", floor, [](MapDocument& d) { d.deleteSelection(); },
         [](const MapData& b, const MapDocument& d) {
             ASSERT_EQ(d.map().platforms.size(), 1u);
             EXPECT_EQ(d.map().platforms[0], b.platforms[1]);
             EXPECT_EQ(d.selection().kind, Kind::None);
         }},
        {"delete a spawn point", spawn, [](MapDocument& d) { d.deleteSelection(); },
         [](const MapData& b, const MapDocument& d) {
             ASSERT_EQ(d.map().spawnPoints.size(), 3u);
             EXPECT_EQ(d.map().spawnPoints[2], b.spawnPoints[3]);
         }},
        {"move a spawn point", spawn,
         [](MapDocument& d) {
             d.moveSelectionTo({7.126f, -2.0f});
         },
         [](const MapData&, const MapDocument& d) {
             EXPECT_EQ(d.map().spawnPoints[2], (vec3{7.13f, -2.0f, 0.0f}));
         }},
        {"nudge a platform", ledge,
         [](MapDocument& d) {
             d.nudgeSelection({0.1f, -1.0f});
         },
         [](const MapData&, const MapDocument& d) {
             EXPECT_FLOAT_EQ(d.map().platforms[1].position.x, -8.9f);
             EXPECT_FLOAT_EQ(d.map().platforms[1].position.y, -2.0f);
         }},
        {"turn a platform past half a turn", ledge, [](MapDocument& d) { d.rotateSelection(175.0f); },
         [](const MapData&, const MapDocument& d) {
             EXPECT_FLOAT_EQ(d.map().platforms[1].rotation.z, -175.0f);
         }},
        {"stretch a platform", ledge, [](MapDocument& d) { d.resizeSelection(12.0f, 0.01f); },
         [](const MapData&, const MapDocument& d) {
             EXPECT_FLOAT_EQ(d.map().platforms[1].scale.x, 12.0f);
             EXPECT_GT(d.map().platforms[1].scale.y, 0.5f) << "the inner plate keeps a size";
         }},
        {"rename the map",
         {},
         [](MapDocument& d) { d.setName("Other"); },
         [](const MapData&, const MapDocument& d) { EXPECT_EQ(d.map().name, "Other"); }},
        {"change the theme",
         {},
         [](MapDocument& d) { d.setTheme("canyon"); },
         [](const MapData&, const MapDocument& d) { EXPECT_EQ(d.theme(), "canyon"); }},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        MapDocument doc(smallMap(), "meadow");
        doc.select(c.selected);
        const MapData before = doc.map();
        const uint64_t revision = doc.revision();
        c.apply(doc);
        c.expect(before, doc);
        EXPECT_GT(doc.revision(), revision);
        const MapData after = doc.map();
        const std::string themeAfter = doc.theme();
        ASSERT_TRUE(doc.undo());
        EXPECT_EQ(doc.map(), before);
        EXPECT_EQ(doc.theme(), "meadow");
        EXPECT_FALSE(doc.canUndo()) << "one step";
        ASSERT_TRUE(doc.redo());
        EXPECT_EQ(doc.map(), after);
        EXPECT_EQ(doc.theme(), themeAfter);
    }
}

TEST(MapDocument, ADragIsOneStepAndNothingChangedIsNoStep) {
    MapDocument doc(smallMap(), "meadow");
    const MapData start = doc.map();
    doc.select({Kind::Platform, 1});
    doc.nudgeSelection({0, 0});
    doc.select({Kind::SpawnPoint, 0});
    EXPECT_FALSE(doc.canUndo()) << "selecting and a change to the same values are no steps";

    doc.select({Kind::Platform, 1});
    doc.beginGesture();
    for (int i = 1; i <= 10; ++i) {
        doc.moveSelectionTo({-9.0f + i, -1.0f + i * 0.5f});
    }
    doc.endGesture();
    doc.nudgeSelection({1, 0});
    ASSERT_TRUE(doc.undo());
    EXPECT_FLOAT_EQ(doc.map().platforms[1].position.x, 1.0f) << "the nudge was a step of its own";
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.map(), start) << "the whole drag went back at once";
    EXPECT_FALSE(doc.undo());

    doc.setCameraZoom(40.0f);
    EXPECT_FALSE(doc.canRedo()) << "a new change drops what could be redone";
}

TEST(MapDocument, AClickPicksASpawnPointOverItsPlatformAndFollowsATurnedPlatform) {
    MapData map = smallMap();
    map.platforms[1] = {{0.0f, 5.0f, kPlatformZ}, {0, 0, 90.0f}, {8.0f, 1.0f, 1.0f}}; // standing up
    MapDocument doc(map, "meadow");
    EXPECT_EQ(doc.pick({-3.3f, -5.4f}), (EditorSelection{Kind::SpawnPoint, 1}));
    EXPECT_EQ(doc.pick({-3.3f, -8.0f}), (EditorSelection{Kind::Platform, 0}));
    EXPECT_EQ(doc.pick({0.2f, 8.5f}), (EditorSelection{Kind::Platform, 1}));
    EXPECT_EQ(doc.pick({3.0f, 5.0f}).kind, Kind::None) << "beside the standing platform";
}
