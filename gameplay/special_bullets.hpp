#pragma once

// The four shots a pick-up gives. Each flies a short while and lands when it touches a
// "Platform", when its flight time runs out, or when its owner triggers it; landing hides the
// shot and starts its effect on the spot.

#include "gameplay/bullet.hpp"

class ParticleEmitter;
class ShaderLogic;
class SpriteRenderer;

// Opens a swirling hole for 10 s that pulls tanks and bullets in on a spiral and hurts the tanks
// inside it.
class BlackHoleBullet : public Bullet {
  public:
    explicit BlackHoleBullet(GameObject* ownerObject);
    void Update() override;
    void Trigger() override; // lands
    void hashState(WorldHasher& hasher) const override;
    void carryState(StateArchive& archive) override;

    float radius = 15.0f;
    float activeTime = 10.0f;
    float timer = 0.4f; // flight time, then time left open
    bool landed = false;
    GameObject* circleRender = nullptr;
    GameObject* particleObject = nullptr;
    ParticleEmitter* emitter = nullptr;

  private:
    void pull(float dt);
};

// Sends an outward pulse every second for 11 s, with a shock wave on screen.
class ExpulsionBullet : public Bullet {
  public:
    explicit ExpulsionBullet(GameObject* ownerObject);
    void Update() override;
    void Trigger() override;
    void hashState(WorldHasher& hasher) const override;
    void carryState(StateArchive& archive) override;

    float radius = 10.0f;
    float activeTime = 11.0f;
    float pulseInterval = 1.0f;
    float waveSize = 0.15f * 30.0f;
    float pulseTimer = 0.0f;
    float timer = 0.75f; // flight time, then time left
    bool landed = false;
    ShaderLogic* frameBufferEffect = nullptr; // the whole-screen shock waves
    GameObject* circleRender = nullptr;
    GameObject* particleObject = nullptr;
    ParticleEmitter* emitter = nullptr;

  private:
    void pulse();
};

// Shows a warning strip along its line of flight, then sends a slow, almost immovable wall that
// sweeps tanks along that line.
class RocketBullet : public Bullet {
  public:
    explicit RocketBullet(GameObject* ownerObject);
    void Update() override;
    void Trigger() override;
    void hashState(WorldHasher& hasher) const override;
    void carryState(StateArchive& archive) override;

    bool landed = false;
    bool fired = false;
    float flightTime = 0.4f;
    float warningTime = 1.5f;
    float burnTime = 15.0f;
    float angle = 0.0f;      // degrees, of the line of flight
    float thrust = 50000.0f; // the push of a 60 fps frame; frames push in proportion to their game time
    vec2 direction;
    GameObject* warning = nullptr;    // "Rocket Warning"
    GameObject* rocketRoot = nullptr; // "Rocket Root", not part of the bullet: it drifts on after
    RigidBody2D* rocketBody = nullptr;
};

// Marks a zone and, after a two-second warning, rains up to 75 exploding shells on it from the
// top of the arena for the rest of 15 s.
class ArtilleryBullet : public Bullet {
  public:
    explicit ArtilleryBullet(GameObject* ownerObject);
    void Update() override;
    void Trigger() override;
    void hashState(WorldHasher& hasher) const override;
    void carryState(StateArchive& archive) override;

    uint32_t maxShells = 75;
    float zoneGrowTime = 2.0f;
    uint32_t shellsFired = 0;
    float maxShellInterval = 0.15f;
    float shellTimer = 2.0f; // the warning, then time to the next shell
    float zoneHalfWidth = 5.0f;
    float dropHeight = 0.0f;
    float timer = 0.75f; // flight time, then barrage time left
    bool landed = false;
    bool warningDone = false;
    GameObject* zone = nullptr;    // "Artillery Zone"
    GameObject* warning = nullptr; // "Artillery Warning"
    ShaderLogic* frameBufferEffect = nullptr;

  private:
    void barrage(float dt);
};
