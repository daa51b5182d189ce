#include "graphics/particle_emitter.hpp"

#include "graphics/particle_pool.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object.hpp"
#include "objects/random.hpp"
#include "objects/resource_manager.hpp"

#include <cmath>

namespace {

// min + r * (max - min) with a fresh r in [0, 1]; a reversed range is sampled the same way.
// Particles only show, so they draw from the effects' generator, never the game's.
float sample(float min, float max) {
    return min + static_cast<float>(effectsRand()) / 32767.0f * (max - min);
}

// Particles sit two units in front of the object that emits them.
constexpr float kParticleDepthOffset = 2.0f;

} // namespace

ParticleEmitter::ParticleEmitter(GameObject* ownerObject) : Logic("Particle Emitter", ownerObject) {}

void ParticleEmitter::Update() {
    float step = FrameTimer::instance().scaledDt();
    ParticlePool& pool = ParticlePool::instance();
    accumulator += step * rate;
    if (pool.holdNew) {
        accumulator -= std::floor(accumulator); // these particles came with the first simulation
    }
    ShaderProgram* sprite = accumulator >= 1.0f ? ResourceManager::instance().getShader("Sprite") : nullptr;
    while (accumulator >= 1.0f) {
        Particle* p = pool.claimFreeSlot();
        if (p == nullptr) {
            break; // the pool is full: the debt waits for next frame
        }
        p->useGravity = useGravity;
        vec3 at = owner->transform.position;
        p->position = {at.x, at.y, at.z + kParticleDepthOffset};
        // The draw order of values is fixed so a seeded run spawns the same particles.
        p->lifeLeft = sample(lifeMin, lifeMax);
        p->color = {color.x, color.y, color.z, sample(alphaMin, alphaMax)};
        p->fadeRate = sample(fadeMin, fadeMax);
        p->acceleration = acceleration;
        p->gravityScale = gravityScale;
        float size = sample(scaleMin, scaleMax);
        p->scale = {size, size};
        float grow = sample(growMin, growMax);
        p->scaleRate = {grow, grow};
        p->rotation = sample(rotationMin, rotationMax);
        p->spin = sample(spinMin, spinMax);
        p->shader = sprite;
        p->texture = texture;
        p->textureName = textureName;
        float direction = sample(angleMin, angleMax) + baseAngle;
        float speed = sample(speedMin, speedMax);
        p->velocity = {std::cos(direction) * speed, std::sin(direction) * speed};
        accumulator -= 1.0f;
    }
    timeLeft -= step;
    if (timeLeft <= 0.0f) {
        enabled = false;
    }
}

namespace {

struct EmitterPreset {
    const char* texture;
    float duration, rate;
    float lifeMin, lifeMax, alpha, fadeMin, fadeMax;
    float rotationMin, rotationMax, spinMin, spinMax;
    float scaleMin, scaleMax, growMin, growMax, speedMin, speedMax;
    float angleMin, angleMax;
    vec3 color;
    vec2 acceleration;
    bool useGravity;
    float gravityScale;
};

// The game's emitters, one row each (ranges as min, max).
constexpr EmitterPreset kKnockoutStars = {
    "StarParticle", 0.01f, 1000, 2, 4,  1,  1.5f,        2,          0,         360,    500,  700,
    0.5f,           2,     0,    0, 40, 60, -0.5235988f, 0.5235988f, {1, 1, 1}, {0, 0}, true, 10.0f};
constexpr EmitterPreset kTrackSmoke = {
    "SmokeParticle", 0.1f,      20,      1,     2,   1, 1.5f, 2, 0, 360, 500, 700, 0, 0, 2, 4, 2, 4, 0,
    0.0873f,         {1, 1, 1}, {0, 30}, false, 1.0f};
constexpr EmitterPreset kBlackHoleSwirl = {"BlackholeParticle",
                                           10,
                                           200,
                                           0.8f,
                                           0.8f,
                                           0.8f,
                                           2,
                                           2,
                                           0,
                                           360,
                                           700,
                                           1000,
                                           0.5f,
                                           2,
                                           1,
                                           3,
                                           5,
                                           30,
                                           0,
                                           360,
                                           {0.5f, 0, 0.8f},
                                           {0, 0},
                                           false,
                                           1.0f};
constexpr EmitterPreset kExpulsionBurst = {"ExpulsionParticle",
                                           0.01f,
                                           2000,
                                           0.8f,
                                           0.8f,
                                           1,
                                           1.1f,
                                           1.1f,
                                           0,
                                           360,
                                           700,
                                           3000,
                                           0.7f,
                                           0.7f,
                                           0,
                                           0,
                                           15,
                                           15,
                                           0,
                                           360,
                                           {1, 0, 1},
                                           {0, 0},
                                           false,
                                           1.0f};

constexpr vec3 kPlayerStarColors[4] = {{0.8f, 0, 0}, {0, 0, 0.8f}, {0, 0.8f, 0}, {0.8f, 0.8f, 0}};

void apply(ParticleEmitter& e, const EmitterPreset& p) {
    e.texture = ResourceManager::instance().getTexture(p.texture);
    e.textureName = p.texture;
    e.timeLeft = p.duration;
    e.duration = p.duration;
    e.rate = p.rate;
    e.lifeMin = p.lifeMin;
    e.lifeMax = p.lifeMax;
    e.alphaMin = e.alphaMax = p.alpha;
    e.fadeMin = p.fadeMin;
    e.fadeMax = p.fadeMax;
    e.rotationMin = p.rotationMin;
    e.rotationMax = p.rotationMax;
    e.spinMin = p.spinMin;
    e.spinMax = p.spinMax;
    e.scaleMin = p.scaleMin;
    e.scaleMax = p.scaleMax;
    e.growMin = p.growMin;
    e.growMax = p.growMax;
    e.speedMin = p.speedMin;
    e.speedMax = p.speedMax;
    e.angleMin = p.angleMin;
    e.angleMax = p.angleMax;
    e.color = p.color;
    e.acceleration = p.acceleration;
    e.useGravity = p.useGravity;
    e.gravityScale = p.gravityScale;
    e.enabled = false;
}

} // namespace

void SetupKnockoutStars(ParticleEmitter& emitter, int player) {
    apply(emitter, kKnockoutStars);
    if (player >= 1 && player <= 4) {
        emitter.color = kPlayerStarColors[player - 1];
    }
}

void SetupTrackSmoke(ParticleEmitter& emitter, bool rightHandEmitter) {
    apply(emitter, kTrackSmoke);
    if (!rightHandEmitter) {
        // The left-hand puffs fan out the other way.
        emitter.angleMin = -0.0873f;
        emitter.angleMax = 0.0f;
    }
}

void SetupBlackHoleSwirl(ParticleEmitter& emitter) {
    apply(emitter, kBlackHoleSwirl);
}

void SetupExpulsionBurst(ParticleEmitter& emitter) {
    apply(emitter, kExpulsionBurst);
}
