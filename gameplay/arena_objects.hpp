#pragma once

#include "objects/logic.hpp"

#include <cstdint>

class RigidBody2D;

// Marks an object as a platform; platforms never move, break or take damage.
class Platform : public Logic {
  public:
    explicit Platform(GameObject* ownerObject) : Logic("Platform", ownerObject) {}
    void Update() override {}
    void hashState(WorldHasher& hasher) const override { hashPresence(hasher); }
};

// Falls in during a match; the first bullet to touch it opens it into a pick-up.
class Crate : public Logic {
  public:
    explicit Crate(GameObject* ownerObject) : Logic("Crate", ownerObject) {}
    void Update() override;
    void hashState(WorldHasher& hasher) const override;
    void carryState(StateArchive& archive) override;
    // Opened, or taken: it never comes back.
    bool finished() const override;

    RigidBody2D* rigidBody = nullptr;
    uint32_t pickUpKind = 0;
};

// Arms the next shot of the first tank that touches it.
class PickUp : public Logic {
  public:
    explicit PickUp(GameObject* ownerObject) : Logic("PickUp", ownerObject) {}
    void Update() override;
    void hashState(WorldHasher& hasher) const override;
    void carryState(StateArchive& archive) override;
    // Opened, or taken: it never comes back.
    bool finished() const override;

    RigidBody2D* rigidBody = nullptr;
    uint32_t pickUpKind = 0;
};
