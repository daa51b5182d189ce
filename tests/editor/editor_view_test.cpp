// The editor's view without a window: where a placing key puts a piece, and the player's own pan
// and zoom, which leave the map's camera alone.
#include "editor/editor_view.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

EditorView viewOf(EditorFraming framing, uint32_t width = 1280, uint32_t height = 800) {
    EditorView view;
    view.zoom = 34.0f * framing.scale;
    view.centre = framing.centre;
    view.viewport = computeViewport(width, height);
    view.windowHeight = static_cast<float>(height);
    return view;
}

} // namespace

TEST(EditorView, APlacingKeyPlacesUnderTheMouseOverThePictureElseInTheMiddleOfTheView) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    for (EditorFraming framing : {EditorFraming{}, EditorFraming{{3.0f, -2.0f}, 0.5f}}) {
        // 1280 x 1000: the picture is 1280 x 800 with bars of 100 above and below.
        const EditorView view = viewOf(framing, 1280, 1000);
        const vec2 outside[] = {{-FLT_MAX, -FLT_MAX}, {nan, 500.0f},    {640.0f, nan},     {inf, 500.0f},
                                {640.0f, 50.0f},      {640.0f, 950.0f}, {1280.0f, 500.0f}, {-1.0f, 500.0f}};
        EXPECT_EQ(PlacingPoint(view, std::nullopt), framing.centre) << "the mouse never came in";
        for (vec2 mouse : outside) {
            EXPECT_EQ(PlacingPoint(view, mouse), framing.centre) << mouse.x << ", " << mouse.y;
        }
        const vec2 middle = PlacingPoint(view, vec2{640.0f, 500.0f});
        EXPECT_NEAR(middle.x, framing.centre.x, 1e-4f);
        EXPECT_NEAR(middle.y, framing.centre.y, 1e-4f);
        const vec2 corner = PlacingPoint(view, vec2{0.0f, 100.0f});
        EXPECT_NEAR(corner.x, framing.centre.x - view.zoom * 0.8f, 1e-3f) << "the picture's top-left";
        EXPECT_NEAR(corner.y, framing.centre.y + view.zoom * 0.5f, 1e-3f);
        const vec2 back = view.toScreen(view.toWorld({321.0f, 654.0f}));
        EXPECT_NEAR(back.x, 321.0f, 1e-3f);
        EXPECT_NEAR(back.y, 654.0f, 1e-3f);
    }
}

TEST(EditorView, ZoomKeepsThePointUnderTheMouseAndPanFollowsTheDrag) {
    EditorFraming framing{{2.0f, 1.0f}, 1.0f};
    const vec2 mouse{200.0f, 150.0f};
    const vec2 under = viewOf(framing).toWorld(mouse);
    for (float notches : {1.0f, 3.0f, -2.0f}) {
        const EditorFraming zoomed = ZoomFraming(framing, viewOf(framing), mouse, notches);
        EXPECT_EQ(zoomed.scale<framing.scale, notches> 0.0f) << "up is closer";
        const vec2 still = viewOf(zoomed).toWorld(mouse);
        EXPECT_NEAR(still.x, under.x, 1e-3f) << notches;
        EXPECT_NEAR(still.y, under.y, 1e-3f) << notches;
    }
    EXPECT_EQ(ZoomFraming(framing, viewOf(framing), mouse, 100.0f).scale, kMinFramingScale);
    EXPECT_EQ(ZoomFraming(framing, viewOf(framing), mouse, -100.0f).scale, kMaxFramingScale);
    for (float odd : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        EXPECT_EQ(ZoomFraming(framing, viewOf(framing), mouse, odd).scale, 1.0f);
    }
    EXPECT_EQ(ZoomFraming(framing, viewOf(framing), {-FLT_MAX, -FLT_MAX}, 1.0f).scale, 1.0f);

    // The world follows the mouse: dragged right and up, the view looks further left and down.
    const EditorView view = viewOf(framing);
    const EditorFraming panned = PanFraming(framing, view, {100.0f, -50.0f});
    EXPECT_NEAR(panned.centre.x, 2.0f - 100.0f * view.unitsPerPixel(), 1e-4f);
    EXPECT_NEAR(panned.centre.y, 1.0f - 50.0f * view.unitsPerPixel(), 1e-4f);
    EXPECT_EQ(panned.scale, 1.0f);
    const EditorFraming far = PanFraming(framing, view, {-1e9f, 1e9f});
    EXPECT_LE(far.centre.x, 200.0f) << "no further than pieces may go";
    EXPECT_GE(far.centre.y, -200.0f);
}
