#include "graphics/shader_logic.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "tests/physics/physics_scene.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace {

ShaderLogic* makeEffect(int mode) {
    GameObject* object = GameObjectList::instance().create("Effect");
    return object->attach(new ShaderLogic(nullptr, object, mode));
}

// Runs frames of dt seconds at a time scale through the logic pass.
void run(ShaderLogic* effect, int frames, float dt, float timeScale = 1.0f) {
    FrameTimer::instance().dt = dt;
    FrameTimer::instance().timeScale = timeScale;
    for (int i = 0; i < frames; ++i) {
        effect->Update();
    }
}

} // namespace

TEST(ShaderEffects, EleventhWaveWithinTheirLifetimeIsDropped) {
    ShaderLogic* shock = makeEffect(ShaderMode::Waves);
    for (int i = 0; i < 11; ++i) {
        shock->AddWave(1.5f, 30.0f, {static_cast<float>(i), 0}, 3.0f);
        run(shock, 8, 0.016f); // one knock-out every 128 ms
    }
    WaveEffect* w = shock->waves();
    EXPECT_EQ(std::count(std::begin(w->slotActive), std::end(w->slotActive), true), 10);
    EXPECT_FLOAT_EQ(w->center[9].x, 9.0f) << "the eleventh never took a slot";

    // Once a ring runs out its slot is free for the next.
    run(shock, 100, 0.016f);
    shock->AddWave(1.0f, 1.0f, {5, 5}, 9.0f);
    EXPECT_TRUE(w->slotActive[0]);
    EXPECT_FLOAT_EQ(w->growth[0], 9.0f);
}

TEST(ShaderEffects, SwirlOpensHoldsAndCloses) {
    ShaderLogic* background = makeEffect(ShaderMode::Swirl);
    background->StartSwirl(15.0f, {2, -3});
    SwirlEffect* s = background->swirl();
    run(background, 125, 0.01f); // 1.25 s: half open
    EXPECT_NEAR(s->radius, 7.5f, 0.05f);
    run(background, 626, 0.01f); // 5 s of holding keeps the last opening size
    EXPECT_NEAR(s->radius, 15.0f, 0.1f);
    background->StartSwirl(3.0f, {0, 0});
    EXPECT_FLOAT_EQ(s->maxRadius, 15.0f) << "a second black hole adds nothing";
    run(background, 124, 0.01f);
    EXPECT_NEAR(s->radius, 7.5f, 0.1f);
    run(background, 130, 0.01f);
    EXPECT_FALSE(s->active);
}

TEST(ShaderEffects, FadeRunsInRealTimeToExactEnds) {
    ShaderLogic* overlay = makeEffect(ShaderMode::Fade);
    overlay->StartFade(1.5f, +1.0f, 0.0f);
    FadeEffect* f = overlay->fade();
    run(overlay, 10, 0.02f, 0.0f); // paused game: the fade still moves
    EXPECT_NEAR(f->radius, 0.3f, 1e-5f);
    run(overlay, 20, 0.02f, 0.0f);
    EXPECT_EQ(f->radius, 0.5f);
    EXPECT_FALSE(f->running) << "fully open after a third of a second";

    overlay->StartFade(9.0f, -1.0f, 0.0f);
    EXPECT_FLOAT_EQ(f->speed, 1.5f) << "a second start changes nothing";
    overlay->RestartFade(-1.0f);
    run(overlay, 30, 0.02f);
    EXPECT_EQ(f->radius, 0.0f);
    EXPECT_FALSE(f->running);
    EXPECT_TRUE(f->active);
}

TEST(ShaderEffects, TimeScaleZeroFreezesGameEffectsButNotScrollOrFade) {
    ShaderLogic* background = makeEffect(ShaderMode::Swirl);
    ShaderLogic* shock = makeEffect(ShaderMode::Waves);
    ShaderLogic* platform = makeEffect(ShaderMode::Cracks);
    ShaderLogic* menu = makeEffect(ShaderMode::Scroll);
    background->StartSwirl(15.0f, {0, 0});
    shock->AddWave(1.5f, 30.0f, {0, 0}, 3.0f);
    platform->StartCracks(2.0f, 1.5f, 5.0f);
    menu->StartScroll(0.05f);
    CrackEffect* c = platform->cracks();
    c->slotActive[3] = true;
    c->hitterId[3] = 77;
    c->timeLeft[3] = 1.0f;
    c->count = 1;
    for (ShaderLogic* e : {background, shock, platform, menu}) {
        run(e, 50, 0.02f, 0.0f);
    }
    EXPECT_FLOAT_EQ(background->swirl()->timeLeft, 10.0f);
    EXPECT_FLOAT_EQ(shock->waves()->radius[0], 0.0f);
    EXPECT_FLOAT_EQ(c->timeLeft[3], 1.0f);
    EXPECT_NEAR(menu->scroll()->scrollTime, 1.0f, 1e-4f);
}

TEST(ShaderEffects, CracksFadeAfterTheFirstFifthAndFreeTheirSlot) {
    ShaderLogic* platform = makeEffect(ShaderMode::Cracks);
    platform->StartCracks(2.0f, 1.5f, 5.0f);
    CrackEffect* c = platform->cracks();
    c->slotActive[0] = true;
    c->hitterId[0] = 12;
    c->timeLeft[0] = 2.0f;
    c->alpha[0] = 1.0f;
    c->count = 1;
    run(platform, 39, 0.01f);
    EXPECT_FLOAT_EQ(c->radius[0], 1.5f);
    EXPECT_FLOAT_EQ(c->alpha[0], 1.0f) << "full strength for 0.4 s";
    run(platform, 81, 0.01f);
    EXPECT_NEAR(c->alpha[0], 0.5f, 0.01f) << "half faded 0.8 s into the 1.6 s fade";
    run(platform, 85, 0.01f);
    EXPECT_FALSE(c->slotActive[0]);
    EXPECT_EQ(c->hitterId[0], 0u);
    EXPECT_EQ(c->count, 0.0f);
}

// A bullet lodged in a platform's top face (it does not respond, so it keeps touching): each
// frame's contacts open cracks, one a frame, until twenty are live.
TEST(ShaderEffects, BulletContactsOpenCracksUpToTwenty) {
    using namespace physics_test;
    Block platform = makePlatform({0.0f, 0.0f}, {10.0f, 1.0f});
    auto* cracks = platform.object->attach(new ShaderLogic(nullptr, platform.object, ShaderMode::Cracks));
    cracks->StartCracks(2.0f, 1.5f, 5.0f);
    Ball bullet = makeBall({2.0f, 0.6f}, 0.3f, 0, "Bullet");
    Ball tank = makeBall({-3.0f, 0.6f}, 0.3f, 0, "Tank"); // touches, but is no bullet
    for (Ball b : {bullet, tank}) {
        b.object->setTag(b.object->name);
        b.body->respondsToCollisions = false;
    }
    CrackEffect* c = cracks->cracks();
    auto step = [&] {
        frame();
        run(cracks, 1, kStep);
    };
    step();
    EXPECT_EQ(c->count, 1.0f);
    EXPECT_EQ(c->hitterId[0], bullet.object->id);
    EXPECT_NEAR(c->contactPoint[0].x, 2.0f, 0.05f);
    for (int i = 0; i < 30; ++i) {
        step();
    }
    EXPECT_EQ(c->count, 20.0f);
    EXPECT_EQ(std::count(std::begin(c->slotActive), std::end(c->slotActive), true), 20)
        << "the count never runs ahead of the live slots";
}
