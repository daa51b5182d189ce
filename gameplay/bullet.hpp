#pragma once

#include "objects/logic.hpp"
#include "objects/math_types.hpp"

#include <string>
#include <string_view>
#include <vector>

class RigidBody2D;
class CircleCollider;

// Every projectile: a "Bullet"-tagged object with a sprite, a body, a circle and one of these.
// Bullets do no damage themselves; when they go off they make an Explosion, which pushes and
// damages the tanks around it. The bullet's group is that of the tank that fired it.
class Bullet : public Logic {
  public:
    Bullet(std::string kindName, GameObject* ownerObject);

    // The player's early detonation.
    virtual void Trigger() = 0;
    // The kinds with fields of their own add them after these.
    void hashState(WorldHasher& hasher) const override;
    void carryState(StateArchive& archive) override;
    // A bullet switched off is spent: nothing switches it on again.
    bool finished() const override;

    // Spins the sprite by speed: clockwise while moving right, at speed squared degrees a second.
    void SpinByVelocity();
    // The shared ending: an explosion where the bullet is, its sound, and the bullet switched off.
    void Detonate(float size, float force, float damage, std::string_view sound);
    // The bullet's own circle (the factory sets it with the body).
    CircleCollider* collider() const;

    RigidBody2D* rigidBody = nullptr;
    float lifetime = 0.0f; // seconds left
};

// The explosion and bullet sounds.

// x and y of an object's world position.
vec2 WorldPosition2(const GameObject* object);
// The direction of v, or v itself when it has no length.
vec2 NormalisedOrZero(vec2 v);
// Game time of this frame.
float GameDt();
// The Bullet logic on an object, if it has one.
Bullet* FindBullet(const GameObject* object);

// What a special bullet pulls or pushes: root objects in play that are tanks of another group
// than the bullet's, or bullets of any group (the bullet itself included). A player's own tank
// never feels their special bullet; bullets of every player do.
std::vector<GameObject*> AffectedObjects(const GameObject* bullet);
