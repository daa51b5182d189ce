// The camera's shake, which must leave the eye exactly where it was and stand still in a pause.
#include "graphics/camera.hpp"
#include "objects/random.hpp"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool bitwiseEqual(vec3 a, vec3 b) {
    return std::memcmp(&a, &b, sizeof(vec3)) == 0;
}

} // namespace

TEST(Camera, ShakeEndsExactlyWhereItBeganAndAPauseHoldsIt) {
    seedRandom();
    for (float step : {0.016f, 0.0033f, 0.05f, 0.0071f}) {
        Camera camera({1.3f, -2.7f, 0.5f});
        const vec3 before = camera.position;
        camera.StartShake();
        const float full = camera.shakeTime;
        camera.UpdateShake(0.0f); // a paused game holds the shake where it is
        EXPECT_EQ(camera.shakeTime, full);
        EXPECT_TRUE(bitwiseEqual(camera.position, before));
        bool moved = false;
        int frames = 0;
        while (camera.Shaking() && frames < 10000) {
            vec3 offset = camera.UpdateShake(step);
            moved = moved || offset.x != 0.0f || offset.y != 0.0f;
            EXPECT_EQ(offset.z, 0.0f);
            EXPECT_LE(std::abs(offset.x), 1.5f);
            EXPECT_LE(std::abs(offset.y), 1.5f);
            ++frames;
        }
        EXPECT_TRUE(moved) << step;
        EXPECT_TRUE(bitwiseEqual(camera.position, before)) << step;
        EXPECT_NEAR(frames * step, 0.4f, step + 1e-4f);
        // The matrices follow the eye back too.
        Camera still({1.3f, -2.7f, 0.5f});
        EXPECT_EQ(std::memcmp(camera.view.data(), still.view.data(), sizeof(float) * 16), 0);
    }
}
