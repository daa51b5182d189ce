#pragma once

#include "objects/logic.hpp"
#include "objects/math_types.hpp"

namespace sf {
class Texture;
}

// Spawns particles into the shared pool at a rate while it is switched on, then switches
// itself off when its time runs out. Ranges are sampled afresh for every value.
class ParticleEmitter : public Logic {
  public:
    explicit ParticleEmitter(GameObject* ownerObject);
    void Update() override;

    // Starts (or restarts) emission for duration seconds.
    void start() {
        enabled = true;
        timeLeft = duration;
    }

    float timeLeft = 0.0f;
    float duration = 0.0f;
    float rate = 0.0f;
    float accumulator = 0.0f;
    float gravityScale = 1.0f;
    vec3 color{1, 1, 1};
    float lifeMin = 1.0f, lifeMax = 3.0f;
    float alphaMin = 1.0f, alphaMax = 1.0f;
    float fadeMin = 0.0f, fadeMax = 0.0f;
    float rotationMin = 0.0f, rotationMax = 0.0f;
    float spinMin = 0.0f, spinMax = 0.0f;
    float scaleMin = 1.0f, scaleMax = 1.0f;
    float growMin = 0.0f, growMax = 0.0f;
    float speedMin = 1.0f, speedMax = 1.0f;
    float angleMin = kPi / 2.0f, angleMax = kPi / 2.0f;
    float baseAngle = 0.0f;
    vec2 acceleration;
    sf::Texture* texture = nullptr;
    const char* textureName = ""; // for reporting a missing picture; the presets' names live for the run
    bool useGravity = false;
};

// The game's emitters, configured on an emitter already built; each leaves it disabled.
// Textures are looked up by name ("StarParticle", "SmokeParticle", "BlackholeParticle",
// "ExpulsionParticle") and may be missing.
void SetupKnockoutStars(ParticleEmitter& emitter, int player); // player 1..4 picks the colour
void SetupTrackSmoke(ParticleEmitter& emitter, bool rightHandEmitter);
void SetupBlackHoleSwirl(ParticleEmitter& emitter);
void SetupExpulsionBurst(ParticleEmitter& emitter);
