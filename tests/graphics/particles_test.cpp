#include "graphics/camera.hpp"
#include "graphics/particle_emitter.hpp"
#include "graphics/particle_pool.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/random.hpp"

#include <gtest/gtest.h>

namespace {

ParticleEmitter* makeEmitter(float rate, float duration) {
    GameObject* object = GameObjectList::instance().create("Emitter");
    object->transform.setPosition(3, 4, 1);
    auto* emitter = object->attach(new ParticleEmitter(object));
    emitter->rate = rate;
    emitter->duration = duration;
    emitter->start();
    return emitter;
}

void frame(float dt, float timeScale = 1.0f) {
    FrameTimer::instance().dt = dt;
    FrameTimer::instance().timeScale = timeScale;
    UpdateLogics();
}

} // namespace

TEST(Particles, BurstSpawnsRateTimesStepThenSwitchesOffAndItsParticlesOutliveIt) {
    ParticleEmitter* burst = makeEmitter(1000, 0.01f);
    frame(0.016f);
    EXPECT_EQ(ParticlePool::instance().aliveCount(), 16u) << "the count follows the frame length";
    EXPECT_FALSE(burst->enabled);
    frame(0.016f);
    EXPECT_EQ(ParticlePool::instance().aliveCount(), 16u);

    EXPECT_FLOAT_EQ(ParticlePool::instance().particles[0].position.z, 3.0f) << "in front of the emitter";

    // The particles outlive their emitter, but not a clear.
    GameObjectList::instance().destroyAll();
    frame(0.016f);
    ParticlePool::instance().advance(0.016f);
    EXPECT_EQ(ParticlePool::instance().aliveCount(), 16u);
    ParticlePool::instance().clear();
    EXPECT_EQ(ParticlePool::instance().aliveCount(), 0u);
}

// Online rollback: while frames are simulated again an emitter's time runs but it makes nothing
// (those frames' particles came with their first simulation); on the frames after, it goes on
// with what is left of its time.
TEST(Particles, FramesSimulatedAgainMakeNoParticlesYetTheirTimeRuns) {
    ParticleEmitter* burst = makeEmitter(1000, 0.04f);
    frame(0.016f);
    ASSERT_EQ(ParticlePool::instance().aliveCount(), 16u);
    ParticlePool::instance().holdNew = true;
    frame(0.016f);
    EXPECT_EQ(ParticlePool::instance().aliveCount(), 16u) << "a frame simulated again bursts no more";
    ParticlePool::instance().holdNew = false;
    frame(0.016f);
    EXPECT_EQ(ParticlePool::instance().aliveCount(), 32u) << "the present frame makes its own";
    EXPECT_FALSE(burst->enabled) << "the held frame counted in the emitter's time";
}

TEST(Particles, FractionsOfAParticleCarryOver) {
    ParticleEmitter* smoke = makeEmitter(20, 10);
    int frames = 0;
    while (ParticlePool::instance().aliveCount() == 0 && frames < 10) {
        frame(0.016f);
        ++frames;
    }
    EXPECT_EQ(frames, 4) << "20 per second is one particle every 50 ms";
    EXPECT_NEAR(smoke->accumulator, 4 * 0.016f * 20 - 1, 1e-4f);
}

TEST(Particles, TimeScaleZeroFreezesEverything) {
    ParticleEmitter* emitter = makeEmitter(100, 5);
    frame(0.1f);
    size_t alive = ParticlePool::instance().aliveCount();
    Particle before = ParticlePool::instance().particles[0];
    for (int i = 0; i < 10; ++i) {
        frame(0.1f, 0.0f);
        ParticlePool::instance().advance(FrameTimer::instance().scaledDt());
    }
    const Particle& after = ParticlePool::instance().particles[0];
    EXPECT_EQ(ParticlePool::instance().aliveCount(), alive);
    EXPECT_EQ(after.lifeLeft, before.lifeLeft);
    EXPECT_EQ(after.position.y, before.position.y);
    EXPECT_FLOAT_EQ(emitter->timeLeft, 4.9f) << "the emitter's clock stops too";
}

TEST(Particles, AdvanceMovesThenFadesAndKills) {
    ParticlePool& pool = ParticlePool::instance();
    Particle& p = pool.particles[7];
    p.alive = true;
    p.lifeLeft = 1.0f;
    p.useGravity = true;
    p.gravityScale = 10.0f;
    p.scale = {1, 1};
    p.scaleRate = {-3, -3};
    p.color = {1, 1, 1, 0.1f};
    p.fadeRate = 1.0f;
    pool.advance(0.5f);
    EXPECT_TRUE(p.alive) << "a particle faded below zero lives until its time is up";
    EXPECT_FLOAT_EQ(p.position.y, -24.5f) << "velocity changes before the particle moves";
    EXPECT_EQ(p.scale.x, 0.0f) << "sizes stop at zero";
    pool.advance(0.5f);
    EXPECT_FALSE(p.alive);
    EXPECT_FLOAT_EQ(p.position.y, -24.5f) << "a dying particle does not move";
}

// What only shows draws from the effects' generator: a frame simulated again after a rollback, or
// on a machine that draws other particles, leaves the game's generator where the simulation put it.
TEST(Particles, BurstsAndAShakeDrawFromTheEffectsGeneratorAndNeverTheGames) {
    seedRandom(7);
    const RandomState game = GameRandom().state();
    const RandomState effects = EffectsRandom().state();
    makeEmitter(1000, 0.05f);
    for (int i = 0; i < 5; ++i) {
        frame(0.016f);
    }
    Camera camera;
    camera.StartShake();
    for (int i = 0; i < 30; ++i) {
        camera.UpdateShake(0.02f);
    }
    EXPECT_GT(ParticlePool::instance().aliveCount(), 40u);
    EXPECT_TRUE(GameRandom().state() == game);
    EXPECT_FALSE(EffectsRandom().state() == effects);
}
