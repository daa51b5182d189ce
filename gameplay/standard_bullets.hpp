#pragma once

// The six bullets the turrets fire. Each goes off on its own terms and makes an explosion of its
// own size / force / damage:
//   basic      anything, or time                          3 / 500 / 0.1        no trigger
//   exploding  anything but bullets, or time              6 / 1000 / 0.2       trigger: explode now
//   splitting  anything, or time                          3.5 / 900 / 0.15     trigger: split in three
//   sticky     sticks to platforms, anything else; time   flying 4 / 1000 / 0.2, stuck 6 / 1500 / 0.4;
//                                                         trigger (stuck only) 5 / 1500 / 0.4
//   ricochet   anything but platforms and ricochets; time 2 / 500 / 0.15       no trigger
//   sniper     anything (bullets only before its trigger) 3 / 1000 / 0.5       trigger: fly straight

#include "gameplay/bullet.hpp"

class BasicBullet : public Bullet {
  public:
    explicit BasicBullet(GameObject* ownerObject) : Bullet("BasicBullet", ownerObject) {}
    void Update() override;
    void Trigger() override {}
};

class ExplodingBullet : public Bullet {
  public:
    explicit ExplodingBullet(GameObject* ownerObject) : Bullet("ExplodingBullet", ownerObject) {}
    void Update() override;
    void Trigger() override;
};

class SplittingBullet : public Bullet {
  public:
    explicit SplittingBullet(GameObject* ownerObject) : Bullet("SplittingBullet", ownerObject) {}
    void Update() override;
    // Three basic bullets at the same speed, straight on and 10 degrees either side.
    void Trigger() override;
};

class StickyBullet : public Bullet {
  public:
    explicit StickyBullet(GameObject* ownerObject) : Bullet("StickyBullet", ownerObject) {}
    void Update() override;
    // Only a bullet stuck to a platform (a landmine) can be set off.
    void Trigger() override;
    bool stuck() const;
};

// Flies straight (no gravity, never pushed) and bounces off platforms and other ricochets.
class RicochetBullet : public Bullet {
  public:
    explicit RicochetBullet(GameObject* ownerObject) : Bullet("RicochetBullet", ownerObject) {}
    void Update() override;
    void Trigger() override {}
};

class SniperBullet : public Bullet {
  public:
    explicit SniperBullet(GameObject* ownerObject) : Bullet("SniperBullet", ownerObject) {}
    void Update() override;
    // From now on straight at straightSpeed, without gravity.
    void Trigger() override;
    void hashState(WorldHasher& hasher) const override;
    void carryState(StateArchive& archive) override;

    float straightSpeed = 50.0f;
};
