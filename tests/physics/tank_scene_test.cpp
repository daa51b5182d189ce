// A tank dropped on a platform through the real frame loop: world transforms are updated once
// per frame and the fixed steps follow, so detection sees where things stood at frame start.
#include "tests/physics/physics_scene.hpp"
#include "tests/support/engine_harness.hpp"

#include <gtest/gtest.h>

#include <algorithm>

using namespace physics_test;

namespace {

struct Range {
    float low = 1e9f;
    float high = -1e9f;
    void add(float v) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    float spread() const { return high - low; }
};

struct Settled {
    Range height;
    Range turn;
    Range drift;
    bool touchingEveryStep = true;
};

// Drops the tank from 2.5 units above the platform's top, lets it land for two seconds, then
// watches it for ten seconds of frames of the given length.
Settled dropTank(uint32_t frameMs) {
    EngineHarness h;
    Tank tank{};
    h.configure = [&](RecordingState& s) {
        s.onLoad = [&] {
            makePlatform({0.0f, 0.0f}, {12.0f, 1.0f});
            tank = makeTank({0.0f, 3.0f}, 1);
        };
    };
    h.step(frameMs);
    const int settleFrames = static_cast<int>(2000 / frameMs);
    for (int i = 0; i < settleFrames; ++i) {
        h.step(frameMs);
    }
    Settled out;
    const int watchFrames = static_cast<int>(10000 / frameMs);
    for (int i = 0; i < watchFrames; ++i) {
        h.step(frameMs);
        out.height.add(tank.body->position.y);
        out.turn.add(tank.body->rotation);
        out.drift.add(tank.body->position.x);
        if (h.engine().lastFrameSteps > 0 && tank.body->contacts.empty()) {
            out.touchingEveryStep = false;
        }
    }
    return out;
}

// Resting height: the lower circles (radius 0.5) on the top face at 0.5. The one impulse pass
// and each step's correction leave it about 0.01 low and rocking by under a degree: less than
// a pixel.
void expectResting(const Settled& s) {
    EXPECT_GT(s.height.low, 1.0f - 0.02f) << "it does not sink into the platform";
    EXPECT_LT(s.height.high, 1.0f + 0.01f) << "nor hop off it";
    EXPECT_LT(s.height.spread(), 0.025f);
    EXPECT_LT(std::max(std::abs(s.turn.low), std::abs(s.turn.high)), 1.0f) << "it stays level";
    EXPECT_LT(s.drift.spread(), 0.001f) << "no creeping sideways";
    EXPECT_TRUE(s.touchingEveryStep);
}

} // namespace

TEST(TankOnPlatform, ComesToRestOnTopAndStaysThereForTenSeconds) {
    expectResting(dropTank(16));
}

// Several steps in one frame (a slow machine, a stall) must give what the same steps give one
// per frame: detection between them sees where the bodies went.
TEST(TankOnPlatform, RestsAtTheSameHeightAtSixtyAndAtTwentyFramesASecond) {
    EngineHarness h;
    h.step();
    auto restingHeight = [&](uint32_t frameMs, int frameCount) {
        GameObjectList::instance().destroyAll();
        makePlatform({0.0f, 0.0f}, {12.0f, 1.0f});
        Tank tank = makeTank({0.0f, 1.0f}, 1); // already resting on the top face
        for (int i = 0; i < frameCount; ++i) {
            h.step(frameMs);
        }
        return tank.body->position.y;
    };
    float sixty = restingHeight(17, 60);
    float twenty = restingHeight(50, 20);
    EXPECT_NEAR(sixty, twenty, 0.01f);
    EXPECT_NEAR(twenty, 1.0f, 0.02f) << "no hop";
}
