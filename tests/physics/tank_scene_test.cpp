// A tank dropped on a platform through the real frame loop: world transforms are updated once
// per frame and the fixed steps follow, so detection sees where things stood at frame start.
#include "tests/physics/physics_scene.hpp"
#include "tests/support/engine_harness.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace physics_test;

// Dropped 2 units onto the platform, the tank settles within two seconds and then stays: its
// lower circles (radius 0.5) on the top face at 0.5, with what the one impulse pass and each
// step's correction leave (about 0.01 low, rocking by under a degree: less than a pixel). Several
// steps in one frame (a slow machine, a stall) give what the same steps give one per frame.
TEST(TankOnPlatform, ComesToRestOnTopAtTheSameHeightAtSixtyAndAtTwentyFramesASecond) {
    EngineHarness h;
    h.step();
    std::vector<float> resting;
    for (uint32_t frameMs : {17u, 50u}) {
        GameObjectList::instance().destroyAll();
        makePlatform({0.0f, 0.0f}, {12.0f, 1.0f});
        Tank tank = makeTank({0.0f, 3.0f});
        float low = 1e9f, high = -1e9f, tilt = 0.0f;
        bool touching = true;
        for (uint32_t ms = 0; ms < 8000; ms += frameMs) {
            h.step(frameMs);
            if (ms >= 2000) {
                low = std::min(low, tank.body->position.y);
                high = std::max(high, tank.body->position.y);
                tilt = std::max(tilt, std::abs(tank.body->rotation));
                touching = touching && (h.engine().lastFrameSteps == 0 || !tank.body->contacts.empty());
            }
        }
        EXPECT_GT(low, 1.0f - 0.02f) << frameMs << " ms frames: it does not sink into the platform";
        EXPECT_LT(high, 1.0f + 0.01f) << frameMs << " ms frames: nor hop off it";
        EXPECT_LT(tilt, 1.0f) << "it stays level";
        EXPECT_NEAR(tank.body->position.x, 0.0f, 0.001f) << "no creeping sideways";
        EXPECT_TRUE(touching);
        resting.push_back(tank.body->position.y);
    }
    EXPECT_NEAR(resting[0], resting[1], 0.01f);
}
