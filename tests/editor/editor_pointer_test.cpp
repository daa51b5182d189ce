// What the mouse does in the editor, fed one frame at a time without a window: clicks select and
// move nothing, drags move and stretch onto the grid, a group keeps its shape, a box selects, the
// middle button and Space pan, and Ctrl+wheel zooms without touching the map.
#include "editor/editor_pointer.hpp"
#include "editor/map_file.hpp"
#include "tests/editor/editor_maps.hpp"

#include <gtest/gtest.h>

#include <cmath>

using editor_test::smallMap;
using Kind = EditorSelection::Kind;

namespace {

bool onHalves(float v) {
    return std::fabs(v * 2.0f - std::round(v * 2.0f)) < 1e-4f;
}

class Pointer : public ::testing::Test {
  protected:
    EditorView view() const {
        EditorView v;
        v.zoom = doc.map().cameraZoom * framing.scale;
        v.centre = framing.centre;
        v.viewport = computeViewport(1280, 800);
        v.windowHeight = 800.0f;
        return v;
    }
    vec2 pixel(vec2 world) const { return view().toScreen(world); }
    void run(PointerFrame f) {
        f.shift = shift;
        f.ctrl = ctrl;
        f.alt = alt;
        f.space = space;
        pointer.update(f, doc, view(), framing, grid);
    }
    void press(vec2 at) { run({.mouse = at, .pressed = true, .held = true, .pressedAt = at}); }
    void moveTo(vec2 at) { run({.mouse = at, .held = true}); }
    void release(vec2 at) { run({.mouse = at, .released = true}); }
    // Pressed and let go between two frames.
    void click(vec2 at) { run({.mouse = at, .pressed = true, .released = true, .pressedAt = at}); }
    void drag(vec2 from, vec2 to) {
        press(from);
        for (int i = 1; i <= 6; ++i) {
            moveTo(from + (to - from) * (static_cast<float>(i) / 6.0f));
        }
        release(to);
    }
    void wheel(vec2 at, float notches) { run({.mouse = at, .wheel = notches}); }

    MapData offGrid() const {
        MapData map = smallMap();
        map.platforms[1].position = {-9.13f, -1.07f, kPlatformZ};
        return map;
    }

    MapDocument doc{offGrid(), "meadow"};
    EditorPointer pointer;
    EditorFraming framing;
    EditorGrid grid;
    bool shift = false, ctrl = false, alt = false, space = false;
};

} // namespace

TEST_F(Pointer, AClickSelectsAndMovesNothingEvenOffTheGrid) {
    const MapData start = doc.map();
    click(pixel({-9.0f, -1.0f}));
    EXPECT_EQ(doc.selection(), (EditorSelection{Kind::Platform, 1}));
    press(pixel({-3.5f, -5.5f}));
    moveTo(pixel({-3.5f, -5.5f}) + vec2{2.0f, 1.0f}); // a hand's tremble
    release(pixel({-3.5f, -5.5f}) + vec2{2.0f, 1.0f});
    EXPECT_EQ(doc.selection(), (EditorSelection{Kind::SpawnPoint, 1}));
    EXPECT_EQ(doc.map(), start);
    EXPECT_FALSE(doc.canUndo());
    click(pixel({5.0f, 10.0f}));
    EXPECT_TRUE(doc.selected().empty()) << "a click on empty ground selects nothing";
    EXPECT_EQ(pointer.drag(), EditorPointer::Drag::None);
}

TEST_F(Pointer, ADraggedGroupLandsItsGrabbedPieceOnTheGridAndKeepsItsShape) {
    click(pixel({-9.0f, -1.0f}));
    shift = true;
    click(pixel({-10.5f, -5.5f}));
    click(pixel({10.5f, -5.5f}));
    click(pixel({10.5f, -5.5f})); // and out again
    shift = false;
    ASSERT_EQ(doc.selected(), (std::vector<EditorSelection>{{Kind::Platform, 1}, {Kind::SpawnPoint, 0}}));
    const MapData start = doc.map();
    const vec2 apart = doc.placeOf({Kind::SpawnPoint, 0}) - doc.placeOf({Kind::Platform, 1});

    // The spawn point is grabbed: it lands on the grid, and the ledge (off the grid) keeps its
    // place beside it.
    drag(pixel({-10.5f, -5.5f}), pixel({-7.2f, -3.3f}));
    const vec2 spawn = doc.placeOf({Kind::SpawnPoint, 0});
    EXPECT_TRUE(onHalves(spawn.x) && onHalves(spawn.y)) << spawn.x << ", " << spawn.y;
    EXPECT_NEAR(spawn.x, -7.2f, 0.26f) << "where the mouse took it, on the nearest grid point";
    EXPECT_NEAR(spawn.y, -3.3f, 0.26f);
    const vec2 nowApart = spawn - doc.placeOf({Kind::Platform, 1});
    EXPECT_NEAR(nowApart.x, apart.x, 0.001f);
    EXPECT_NEAR(nowApart.y, apart.y, 0.001f);
    EXPECT_EQ(doc.map().spawnPoints[1], start.spawnPoints[1]) << "what is not selected stays";
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.map(), start) << "the drag was one step";
    EXPECT_FALSE(doc.canUndo());

    // Without the grid the piece follows the mouse to the hundredth.
    grid.on = false;
    const vec2 from = pixel({-9.0f, -1.0f}), to = from + vec2{73.0f, -41.0f};
    drag(from, to);
    const vec2 moved = doc.placeOf({Kind::Platform, 1}) - vec2{-9.13f, -1.07f};
    const vec2 expected = view().toWorld(to) - view().toWorld(from);
    EXPECT_NEAR(moved.x, expected.x, 0.011f);
    EXPECT_NEAR(moved.y, expected.y, 0.011f);
}

TEST_F(Pointer, HandlesStretchByGridStepsAndShiftHeldSnapsTheTurn) {
    doc = MapDocument(smallMap(), "meadow");
    click(pixel({-9.0f, -1.0f}));
    const PlatformEntry ledge = doc.map().platforms[1];
    PlatformHandles h = HandlesOf(ledge, view());
    drag(h.width, h.width + vec2{37.0f, -3.0f});
    const float width = doc.map().platforms[1].scale.x;
    EXPECT_GT(width, ledge.scale.x);
    EXPECT_TRUE(onHalves(width)) << width;
    EXPECT_EQ(doc.map().platforms[1].scale.y, ledge.scale.y) << "the other side stays";

    const vec2 centre = pixel({-9.0f, -1.0f});
    h = HandlesOf(doc.map().platforms[1], view());
    auto towards = [&](float degrees) {
        return centre + vec2{std::cos(degrees * kDegToRad), -std::sin(degrees * kDegToRad)} * 150.0f;
    };
    drag(h.turn, towards(37.0f));
    EXPECT_NEAR(doc.map().platforms[1].rotation.z, 37.0f, 0.5f);
    shift = true;
    h = HandlesOf(doc.map().platforms[1], view());
    drag(h.turn, towards(52.0f));
    EXPECT_FLOAT_EQ(doc.map().platforms[1].rotation.z, 45.0f) << "15 degree steps";
    shift = false;

    // The wheel turns 5 degrees a notch (Alt: 1), and with Shift stretches.
    wheel(centre, 1.0f);
    EXPECT_FLOAT_EQ(doc.map().platforms[1].rotation.z, 50.0f);
    alt = true;
    wheel(centre, -2.0f);
    EXPECT_FLOAT_EQ(doc.map().platforms[1].rotation.z, 48.0f);
    alt = false;
    shift = true;
    const float before = doc.map().platforms[1].scale.x;
    wheel(centre, 2.0f);
    EXPECT_FLOAT_EQ(doc.map().platforms[1].scale.x, before + 1.0f);
}

TEST_F(Pointer, ABoxSelectsTheCentresItHoldsAndShiftAddsToThem) {
    drag(pixel({-12.0f, -4.0f}), pixel({0.0f, -7.0f}));
    EXPECT_EQ(doc.selected(), (std::vector<EditorSelection>{{Kind::SpawnPoint, 0}, {Kind::SpawnPoint, 1}}));
    EXPECT_EQ(doc.map(), offGrid()) << "from empty ground the drag moves nothing";
    shift = true;
    drag(pixel({-10.0f, 0.0f}), pixel({-8.0f, -2.0f}));
    EXPECT_EQ(doc.selected(), (std::vector<EditorSelection>{
                                  {Kind::Platform, 1}, {Kind::SpawnPoint, 0}, {Kind::SpawnPoint, 1}}));
    shift = false;
    drag(pixel({20.0f, 10.0f}), pixel({22.0f, 12.0f}));
    EXPECT_TRUE(doc.selected().empty()) << "a box over nothing selects nothing";
}

TEST_F(Pointer, PanAndZoomMoveTheViewAndLeaveTheMapAlone) {
    click(pixel({-9.0f, -1.0f}));
    const float unit = view().unitsPerPixel();
    run({.mouse = vec2{600.0f, 400.0f}, .middlePressed = true, .middleHeld = true});
    run({.mouse = vec2{700.0f, 350.0f}, .middleHeld = true});
    run({.mouse = vec2{700.0f, 350.0f}});
    EXPECT_NEAR(framing.centre.x, -100.0f * unit, 1e-4f);
    EXPECT_NEAR(framing.centre.y, -50.0f * unit, 1e-4f);
    run({.mouse = vec2{800.0f, 350.0f}});
    EXPECT_NEAR(framing.centre.x, -100.0f * unit, 1e-4f) << "the pan ended with the button";

    space = true;
    drag(pixel({-9.0f, -1.0f}), pixel({-9.0f, -1.0f}) + vec2{0.0f, 80.0f});
    space = false;
    EXPECT_NEAR(framing.centre.y, (-50.0f + 80.0f) * unit, 1e-4f);

    ctrl = true;
    const vec2 mouse{300.0f, 200.0f};
    const vec2 under = view().toWorld(mouse);
    wheel(mouse, 2.0f);
    EXPECT_LT(framing.scale, 1.0f);
    EXPECT_NEAR(view().toWorld(mouse).x, under.x, 1e-3f);
    EXPECT_NEAR(view().toWorld(mouse).y, under.y, 1e-3f);
    EXPECT_EQ(doc.map(), offGrid()) << "the map, its camera zoom and the ledge's turn stay";
    EXPECT_FALSE(doc.canUndo());
    EXPECT_EQ(doc.selection(), (EditorSelection{Kind::Platform, 1}));
}

TEST_F(Pointer, StoppedInTheMiddleADragChangesNothingMoreUntilItsButtonIsLetGo) {
    const vec2 from = pixel({-10.5f, -5.5f});
    press(from);
    for (int i = 1; i <= 4; ++i) {
        moveTo(from + vec2{20.0f * i, -10.0f * i});
    }
    pointer.stop(doc);
    ASSERT_TRUE(doc.undo());
    for (int i = 5; i <= 8; ++i) {
        moveTo(from + vec2{20.0f * i, -10.0f * i});
    }
    release(from + vec2{160.0f, -80.0f});
    EXPECT_EQ(doc.map(), offGrid());
    EXPECT_FALSE(doc.canUndo());
    drag(from, from + vec2{50.0f, 0.0f});
    EXPECT_NE(doc.map(), offGrid()) << "the next drag works as ever";
}

TEST(EditorGrid, SnapsToTheNearestHalfUnitAcrossTheMapAndNotWhenOff) {
    const EditorGrid grid;
    const std::pair<float, float> cases[] = {{0.24f, 0.0f},    {0.26f, 0.5f},      {-0.26f, -0.5f},
                                             {-0.74f, -0.5f},  {15.98f, 16.0f},    {-16.02f, -16.0f},
                                             {199.8f, 200.0f}, {-199.76f, -200.0f}};
    for (auto [v, snapped] : cases) {
        EXPECT_EQ(grid.snap({v, -v}), (vec2{snapped, -snapped})) << v;
    }
    EXPECT_EQ(grid.snapLength(0.1f), 0.5f) << "never below a step";
    EXPECT_EQ(grid.snapLength(7.8f), 8.0f);
    const EditorGrid off{.on = false};
    EXPECT_EQ(off.snap({0.26f, -3.33f}), (vec2{0.26f, -3.33f}));
    EXPECT_EQ(off.snapLength(0.1f), 0.1f);
}
