#include "engine/engine.hpp"

#include <gtest/gtest.h>

TEST(Viewport, LetterboxesToSixteenByTen) {
    Viewport exact = computeViewport(1280, 800);
    EXPECT_EQ(exact.x, 0);
    EXPECT_EQ(exact.y, 0);
    EXPECT_EQ(exact.width, 1280);
    EXPECT_EQ(exact.height, 800);

    Viewport wide = computeViewport(1920, 1080); // bars left and right
    EXPECT_EQ(wide.width, 1728);
    EXPECT_EQ(wide.height, 1080);
    EXPECT_EQ(wide.x, 96);
    EXPECT_EQ(wide.y, 0);

    Viewport tall = computeViewport(1280, 1024); // bars top and bottom
    EXPECT_EQ(tall.width, 1280);
    EXPECT_EQ(tall.height, 800);
    EXPECT_EQ(tall.x, 0);
    EXPECT_EQ(tall.y, 112);
}

TEST(Viewport, ZeroHeightWindowGivesOnePixel) {
    Viewport v = computeViewport(1280, 0);
    EXPECT_EQ(v.width, 1);
    EXPECT_EQ(v.height, 1);
    EXPECT_EQ(v.x, 639);

    Viewport none = computeViewport(0, 0);
    EXPECT_GE(none.width, 0);
    EXPECT_GE(none.height, 0);
}

TEST(Viewport, EngineKeepsAspectsFiniteForAMinimisedWindow) {
    Engine& e = Engine::instance();
    e.headless = true;
    e.width = 0;
    e.height = 0;
    e.updateViewport();
    EXPECT_TRUE(std::isfinite(e.viewportAspect));
    EXPECT_TRUE(std::isfinite(e.viewportAspectInv));
    e.width = 1920;
    e.height = 1080;
    e.updateViewport();
    EXPECT_EQ(e.viewportX, 96);
    EXPECT_EQ(e.viewportY, 0);
    EXPECT_FLOAT_EQ(e.viewportAspect, 1.6f);
}
