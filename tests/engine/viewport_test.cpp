#include "engine/engine.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

TEST(Viewport, LetterboxesToSixteenByTenAndNeverDividesByZero) {
    struct Case {
        uint32_t width, height;
        Viewport expected;
    };
    const Case cases[] = {
        {1920, 1080, {96, 0, 1728, 1080}}, // bars left and right
        {1280, 1024, {0, 112, 1280, 800}}, // bars top and bottom
        {1280, 0, {639, 0, 1, 1}},         // a minimised window
    };
    for (const Case& c : cases) {
        const Viewport v = computeViewport(c.width, c.height);
        EXPECT_EQ((std::array{v.x, v.y, v.width, v.height}),
                  (std::array{c.expected.x, c.expected.y, c.expected.width, c.expected.height}))
            << c.width << " x " << c.height;
    }

    Engine& e = Engine::instance();
    e.headless = true;
    e.width = 0;
    e.height = 0;
    e.updateViewport();
    EXPECT_TRUE(std::isfinite(e.viewportAspect) && std::isfinite(e.viewportAspectInv));
}
