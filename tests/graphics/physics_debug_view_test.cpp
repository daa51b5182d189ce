#include "graphics/camera.hpp"
#include "graphics/physics_debug_view.hpp"

#include <gtest/gtest.h>

// The physics view draws in window pixels (origin top left) over the letterboxed picture.
TEST(PhysicsDebugView, MapsTheCameraViewOntoTheLetterboxedPicture) {
    Camera camera; // 48 x 30 units around the origin
    // A 1280 x 1000 window: the 1280 x 800 picture sits 100 pixels up from the bottom.
    ViewRect viewport{0.0f, 100.0f, 1280.0f, 800.0f, 1000.0f};
    auto expectPixel = [&](vec2 world, float x, float y) {
        vec2 p = WorldToWindow(camera, viewport, world);
        EXPECT_NEAR(p.x, x, 1e-3f) << world.x << ", " << world.y;
        EXPECT_NEAR(p.y, y, 1e-3f) << world.x << ", " << world.y;
    };
    expectPixel({0.0f, 0.0f}, 640.0f, 500.0f);
    expectPixel({-24.0f, 15.0f}, 0.0f, 100.0f);
    expectPixel({24.0f, -15.0f}, 1280.0f, 900.0f);

    // The view follows the camera when it moves or zooms.
    camera.position = {12.0f, 0.0f, 0.0f};
    camera.zoom = 15.0f;
    camera.Recompute();
    expectPixel({12.0f, 0.0f}, 640.0f, 500.0f);
    expectPixel({24.0f, 7.5f}, 1280.0f, 100.0f);
}
