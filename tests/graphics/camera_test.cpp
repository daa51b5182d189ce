// The camera's matrices and its shake, which must leave the eye exactly where it was.
#include "graphics/camera.hpp"
#include "objects/random.hpp"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool bitwiseEqual(vec3 a, vec3 b) {
    return std::memcmp(&a, &b, sizeof(vec3)) == 0;
}

// Applies a column-major matrix to a point.
vec4 transform(const mat4& m, vec4 p) {
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12] * p.w,
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13] * p.w,
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14] * p.w,
            m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15] * p.w};
}

} // namespace

TEST(Camera, DefaultViewShowsFortyEightByThirtyWithLargerZNearer) {
    Camera camera;
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(camera.view[i], mat4::identity()[i]) << i;
    }
    vec4 corner = transform(camera.projection, transform(camera.view, {24, 15, 0, 1}));
    EXPECT_FLOAT_EQ(corner.x, 1.0f);
    EXPECT_FLOAT_EQ(corner.y, 1.0f);
    vec4 nearer = transform(camera.projection, {0, 0, 50, 1});
    vec4 farther = transform(camera.projection, {0, 0, -50, 1});
    EXPECT_LT(nearer.z, farther.z); // smaller depth wins the depth test
    EXPECT_FLOAT_EQ(transform(camera.projection, {0, 0, 100, 1}).z, -1.0f);

    camera.zoom = 60.0f;
    camera.position = {3, 2, 0};
    camera.Recompute();
    vec4 moved = transform(camera.projection, transform(camera.view, {3 + 48, 2 - 30, 0, 1}));
    EXPECT_FLOAT_EQ(moved.x, 1.0f);
    EXPECT_FLOAT_EQ(moved.y, -1.0f);
}

TEST(Camera, ShakeEndsExactlyWhereItBegan) {
    seedRandom();
    for (float step : {0.016f, 0.0033f, 0.05f, 0.0071f}) {
        Camera camera({1.3f, -2.7f, 0.5f});
        const vec3 before = camera.position;
        camera.StartShake();
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

TEST(Camera, RunningShakeIsNotRestartedAndPauseFreezesIt) {
    Camera camera;
    camera.StartShake();
    camera.UpdateShake(0.1f);
    const vec3 eye = camera.position;
    const float left = camera.shakeTime;
    camera.StartShake(); // a second knock-out while shaking
    EXPECT_EQ(camera.shakeTime, left);
    EXPECT_TRUE(bitwiseEqual(camera.shakeBase, {0, 0, 0}));

    for (int i = 0; i < 100; ++i) {
        camera.UpdateShake(0.0f); // paused game
    }
    EXPECT_EQ(camera.shakeTime, left);
    EXPECT_TRUE(bitwiseEqual(camera.position, eye));

    while (camera.Shaking()) {
        camera.UpdateShake(0.016f);
    }
    camera.position = {5, 0, 0};
    camera.StartShake(); // after the end a new one starts from the current eye
    EXPECT_FLOAT_EQ(camera.shakeTime, 0.4f);
    EXPECT_TRUE(bitwiseEqual(camera.shakeBase, {5, 0, 0}));
}
