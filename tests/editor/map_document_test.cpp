// The editor's document without a window: every change and its undo, drags as one step, and
// what a click picks.
#include "editor/map_document.hpp"
#include "editor/map_file.hpp"
#include "tests/editor/editor_maps.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>

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

TEST(MapDocument, APlaceOutsideTheRangeOrAValueNotFiniteIsRefusedWhole) {
    const float far = kMaxMapCoordinate;
    const float refused[] = {far + 0.01f,
                             -far - 0.5f,
                             1.4e37f,
                             -FLT_MAX,
                             FLT_MAX,
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(),
                             std::numeric_limits<float>::quiet_NaN()};
    for (float v : refused) {
        SCOPED_TRACE(v);
        for (vec2 at : {vec2{v, 0.0f}, vec2{0.0f, v}}) {
            MapDocument doc(smallMap(), "meadow");
            const MapData start = doc.map();
            doc.addPlatform(at);
            doc.addSpawnPoint(at);
            doc.select({Kind::SpawnPoint, 1});
            doc.moveSelectionTo(at);
            doc.nudgeSelection(at * 2.0f);
            doc.select({Kind::Platform, 1});
            doc.moveSelectionTo(at);
            if (!std::isfinite(v)) {
                doc.setSelectionRotation(v);
                doc.rotateSelection(v);
            }
            EXPECT_EQ(doc.map(), start);
            EXPECT_FALSE(doc.canUndo()) << "no step either";
        }
    }
    // The edges themselves are kept, and a size past its range is clamped, not refused.
    MapDocument doc(smallMap(), "meadow");
    doc.addSpawnPoint({-far, far});
    EXPECT_EQ(doc.map().spawnPoints.back(), (vec3{-far, far, 0.0f}));
    doc.select({Kind::Platform, 1});
    doc.resizeSelection(std::numeric_limits<float>::quiet_NaN(), 1.0f);
    EXPECT_EQ(doc.map().platforms[1].scale, smallMap().platforms[1].scale) << "a NaN size is refused";
    doc.resizeSelection(std::numeric_limits<float>::infinity(), 1e30f);
    EXPECT_EQ(doc.map().platforms[1].scale, (vec3{kMaxPlatformSide, kMaxPlatformSide, 1.0f}));
    doc.setCameraZoom(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(doc.map().cameraZoom, smallMap().cameraZoom);

    // A group move that would take one piece out of range moves none of them.
    doc.select({Kind::SpawnPoint, 0});
    doc.toggleSelected({Kind::SpawnPoint, 4});
    const MapData before = doc.map();
    doc.moveSelectionBy({-1.0f, 0.0f});
    EXPECT_EQ(doc.map(), before);
    doc.moveSelectionBy({1.0f, 0.0f});
    EXPECT_FLOAT_EQ(doc.map().spawnPoints[0].x, -9.5f);

    // A piece a hand-written file put out of range stays editable around it.
    MapData odd = smallMap();
    odd.spawnPoints[0].x = 500.0f;
    MapDocument oddDoc(odd, "meadow");
    oddDoc.select({Kind::Platform, 0});
    oddDoc.nudgeSelection({0.0f, 1.0f});
    EXPECT_FLOAT_EQ(oddDoc.map().platforms[0].position.y, -7.0f);
}

TEST(MapDocument, UndoInTheMiddleOfADragTakesTheDragBackAndTheRestOfItChangesNothing) {
    MapDocument doc(smallMap(), "meadow");
    doc.select({Kind::SpawnPoint, 0});
    doc.nudgeSelection({0.0f, 1.0f});
    const MapData beforeDrag = doc.map();
    doc.beginGesture();
    for (int i = 1; i <= 5; ++i) {
        doc.moveSelectionTo({-10.5f + i, -4.5f + i});
    }
    const MapData midDrag = doc.map();
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.map(), beforeDrag) << "the drag so far was one step";
    for (int i = 6; i <= 10; ++i) {
        doc.moveSelectionTo({-10.5f + i, -4.5f + i});
        doc.rotateSelection(5.0f);
    }
    doc.endGesture();
    EXPECT_EQ(doc.map(), beforeDrag) << "the rest of the drag changed nothing";
    ASSERT_TRUE(doc.undo()) << "the nudge before it is the next step back";
    EXPECT_EQ(doc.map(), smallMap());
    EXPECT_FALSE(doc.canUndo());
    ASSERT_TRUE(doc.redo());
    ASSERT_TRUE(doc.redo());
    EXPECT_EQ(doc.map(), midDrag);

    // Redo in a gesture stops it the same way, and the next gesture works as ever.
    ASSERT_TRUE(doc.undo());
    doc.beginGesture();
    ASSERT_TRUE(doc.redo());
    doc.moveSelectionTo({3.0f, 3.0f});
    doc.endGesture();
    EXPECT_EQ(doc.map(), midDrag);
    doc.beginGesture();
    doc.moveSelectionTo({3.0f, 3.0f});
    doc.moveSelectionTo({4.0f, 3.0f});
    doc.endGesture();
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.map(), midDrag);
}

TEST(MapDocument, UnsavedChangesAreThoseSinceTheLastSaveOrTheOpening) {
    MapDocument doc(smallMap(), "meadow");
    EXPECT_FALSE(doc.unsaved());
    doc.select({Kind::Platform, 1});
    EXPECT_FALSE(doc.unsaved()) << "selecting changes nothing";
    doc.nudgeSelection({1.0f, 0.0f});
    EXPECT_TRUE(doc.unsaved());
    doc.undo();
    EXPECT_FALSE(doc.unsaved()) << "undone back to what was opened";
    doc.setTheme("canyon");
    EXPECT_TRUE(doc.unsaved());
    doc.markSaved();
    EXPECT_FALSE(doc.unsaved());
    doc.undo();
    EXPECT_TRUE(doc.unsaved()) << "undone away from what was saved";
    doc.redo();
    EXPECT_FALSE(doc.unsaved());
}

TEST(MapDocument, SeveralPiecesMoveTurnDuplicateAndDeleteTogetherInOneStepEach) {
    MapDocument doc(smallMap(), "meadow");
    doc.selectWithin({-12.0f, -6.0f}, {-2.0f, 0.0f}, false); // the ledge and the first two spawns
    ASSERT_EQ(doc.selected(), (std::vector<EditorSelection>{
                                  {Kind::Platform, 1}, {Kind::SpawnPoint, 0}, {Kind::SpawnPoint, 1}}));
    EXPECT_EQ(doc.selection().kind, Kind::None) << "no single piece";
    doc.toggleSelected({Kind::SpawnPoint, 0});
    doc.toggleSelected({Kind::SpawnPoint, 3});
    doc.selectWithin({2.0f, -6.0f}, {4.0f, -5.0f}, true);
    const std::vector<EditorSelection> group{
        {Kind::Platform, 1}, {Kind::SpawnPoint, 1}, {Kind::SpawnPoint, 2}, {Kind::SpawnPoint, 3}};
    ASSERT_EQ(doc.selected(), group);

    auto places = [&] {
        std::vector<vec2> at;
        for (EditorSelection piece : group) {
            at.push_back(doc.placeOf(piece));
        }
        return at;
    };
    struct GroupChange {
        const char* what;
        std::function<void()> apply;
        std::function<void(const std::vector<vec2>& before, const std::vector<vec2>& after)> expect;
    };
    const GroupChange changes[] = {
        {"move",
         [&] {
             doc.moveSelectionBy({1.25f, -0.5f});
         },
         [](const std::vector<vec2>& b, const std::vector<vec2>& a) {
             for (size_t i = 0; i < b.size(); ++i) {
                 EXPECT_EQ(a[i], (vec2{OnMapGrid(b[i].x + 1.25f), OnMapGrid(b[i].y - 0.5f)})) << i;
             }
         }},
        {"turn a quarter", [&] { doc.rotateSelection(90.0f); },
         [&](const std::vector<vec2>& b, const std::vector<vec2>& a) {
             // About the middle of the box around them.
             const vec2 middle{0.75f, -3.25f};
             for (size_t i = 0; i < b.size(); ++i) {
                 const vec2 d = b[i] - middle;
                 EXPECT_NEAR(a[i].x, middle.x - d.y, 0.006f) << i;
                 EXPECT_NEAR(a[i].y, middle.y + d.x, 0.006f) << i;
             }
             EXPECT_FLOAT_EQ(doc.map().platforms[1].rotation.z, 100.0f) << "and the ledge turns as much";
         }},
        {"duplicate", [&] { doc.duplicateSelection(); },
         [&](const std::vector<vec2>& b, const std::vector<vec2>& a) {
             EXPECT_EQ(a, b);
             ASSERT_EQ(doc.map().platforms.size(), 3u);
             ASSERT_EQ(doc.map().spawnPoints.size(), 7u);
             EXPECT_EQ(doc.selected().size(), 4u) << "the copies are selected";
             EXPECT_EQ(doc.placeOf(doc.selected()[0]), (b[0] + vec2{1.0f, -1.0f}));
             EXPECT_EQ(doc.placeOf(doc.selected()[3]), (b[3] + vec2{1.0f, -1.0f}));
         }},
        {"delete", [&] { doc.deleteSelection(); },
         [&](const std::vector<vec2>&, const std::vector<vec2>&) {
             EXPECT_EQ(doc.map().platforms.size(), 1u);
             ASSERT_EQ(doc.map().spawnPoints.size(), 1u);
             EXPECT_EQ(doc.map().spawnPoints[0], smallMap().spawnPoints[0]);
         }},
    };
    for (const GroupChange& c : changes) {
        SCOPED_TRACE(c.what);
        const MapData before = doc.map();
        const std::vector<vec2> at = places();
        c.apply();
        c.expect(at, places());
        ASSERT_TRUE(doc.undo());
        EXPECT_EQ(doc.map(), before) << "one step";
        EXPECT_EQ(doc.selected(), group);
    }
}

TEST(MapDocument, MirroringTheWholeMapTurnsEveryXAndEveryTurnToItsOpposite) {
    const auto opposite = [](float degrees) { return degrees == 180.0f ? 180.0f : -degrees; };
    const std::vector<std::string> maps = readMapList(loadJson("MapSetting"));
    ASSERT_GE(maps.size(), 9u);
    for (const std::string& name : maps) {
        SCOPED_TRACE(name);
        MapDocument doc(readMapData(loadJson(name)), "meadow");
        const MapData shipped = doc.map();
        doc.mirrorSelection();
        const MapData mirrored = doc.map();
        ASSERT_EQ(mirrored.platforms.size(), shipped.platforms.size());
        for (size_t i = 0; i < shipped.platforms.size(); ++i) {
            const PlatformEntry &a = shipped.platforms[i], &b = mirrored.platforms[i];
            EXPECT_EQ(b.position, (vec3{-a.position.x, a.position.y, a.position.z})) << i;
            EXPECT_EQ(b.rotation.z, opposite(a.rotation.z)) << i;
            EXPECT_EQ(b.scale, a.scale) << i;
        }
        for (size_t i = 0; i < shipped.spawnPoints.size(); ++i) {
            const vec3& a = shipped.spawnPoints[i];
            EXPECT_EQ(mirrored.spawnPoints[i], (vec3{-a.x, a.y, a.z})) << i;
        }
        // The shipped maps are symmetric: every mirrored piece off the middle has its twin there
        // (Starfall's middle platform leans a little).
        for (const PlatformEntry& p : mirrored.platforms) {
            const bool twin = std::any_of(shipped.platforms.begin(), shipped.platforms.end(),
                                          [&](const PlatformEntry& q) { return q == p; });
            EXPECT_TRUE(twin || p.position.x == 0.0f) << p.position.x << ", " << p.position.y;
        }
        for (const vec3& spawn : mirrored.spawnPoints) {
            EXPECT_NE(std::find(shipped.spawnPoints.begin(), shipped.spawnPoints.end(), spawn),
                      shipped.spawnPoints.end())
                << spawn.x << ", " << spawn.y;
        }
        doc.mirrorSelection();
        EXPECT_EQ(doc.map(), shipped) << "twice is the map again";
        ASSERT_TRUE(doc.undo());
        ASSERT_TRUE(doc.undo());
        EXPECT_FALSE(doc.canUndo()) << "one step each";
    }
}

TEST(MapDocument, AMirroredCopyOfOneHalfMakesTheOtherHalfExactly) {
    MapData half = smallMap();
    half.spawnPoints = {{-10.48f, -5.5f, 0}, {-3.5f, -5.5f, 0}};
    half.platforms.push_back({{0.0f, 4.0f, kPlatformZ}, {0, 0, 0}, {6.0f, 0.8f, 1.0f}}); // its own mirror
    MapDocument doc(half, "meadow");
    doc.selectWithin({-30.0f, -30.0f}, {0.5f, 30.0f}, false);
    doc.mirrorCopySelection();
    const MapData& map = doc.map();
    ASSERT_EQ(map.platforms.size(), 4u) << "the floor and the middle platform get no copy";
    EXPECT_EQ(map.platforms[3].position, (vec3{9.0f, -1.0f, kPlatformZ}));
    EXPECT_EQ(map.platforms[3].rotation.z, -10.0f);
    ASSERT_EQ(map.spawnPoints.size(), 4u);
    EXPECT_EQ(map.spawnPoints[2], (vec3{10.48f, -5.5f, 0}));
    EXPECT_EQ(map.spawnPoints[3], (vec3{3.5f, -5.5f, 0}));
    EXPECT_EQ(doc.selected().size(), 3u) << "the copies";
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.map(), MapDocument(half, "meadow").map());
}
