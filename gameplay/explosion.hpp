#pragma once

#include "objects/logic.hpp"

// Through this every bullet hurts: in its first frame it throws every tank whose root lies
// within half its size plus half a unit, and it vanishes after half a second.
class Explosion : public Logic {
  public:
    explicit Explosion(GameObject* ownerObject) : Logic("Explosion", ownerObject) {}
    void Update() override;
    void hashState(WorldHasher& hasher) const override;
    void carryState(StateArchive& archive) override;
    bool finished() const override;

    float timeLeft = 0.5f;
    bool done = false; // the push has been given
    float force = 0.0f;
    float damage = 0.0f;
};
