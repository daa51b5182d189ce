#pragma once

#include "engine/control_scheme.hpp"
#include "gameplay/action_source.hpp"
#include "gameplay/tank_parts.hpp"
#include "objects/logic.hpp"
#include "objects/math_types.hpp"

#include <cstdint>
#include <string>
#include <vector>

class ParticleEmitter;

// The behaviour of one tank ("TankRoot"). Each frame it reads its player's controls, drives by
// force, jumps, turns the turret, charges and fires, sets off its own bullets early, and shows
// the charge bar and the pick-up aura; while the player is dead it runs the respawn beam. Lives
// are counted by the match, which also switches the player between alive and respawning.
class Player : public Logic {
  public:
    explicit Player(GameObject* ownerObject);
    ~Player() override;
    void Update() override;
    void hashState(WorldHasher& hasher) const override;
    void carryState(StateArchive& archive) override;

    // Face, track and turret by their texture names ("FaceSprite_Quolle", "TrackSprite_Pexie",
    // "BarrelSprite_Sniper"): sets the sprites and scales the stats. Unknown names give the
    // rainbow track and the basic turret; an unknown face changes nothing.
    void SetChoices(const std::string& face, const std::string& track, const std::string& turret);
    // 0..3 a pad, 4 and 5 the keyboard halves; any other number is kept and reads nothing.
    void SetControlScheme(int scheme);
    // A push from an explosion or a special bullet, scaled by the damage taken so far; then the
    // damage (10 and 0.1 both mean a tenth) raises the multiplier, up to 10.9.
    // The hit is noted for the match's results: from is the player number of the tank whose
    // shot it was (0 for none). A teammate's hit pushes only, unless team hits are on.
    void ApplyKnockback(vec2 direction, float force, float damage, float stun, uint32_t from = 0);
    // One shot of the held pick-up or the turret's bullet, with the tank's recoil.
    void Fire();

    TankParts tank;
    GameObject* respawner = nullptr;
    uint32_t character = 0;  // 1 Vantu, 2 Quolle, 3 Kibbit, 4 Pexie
    uint32_t trackKind = 0;  // 0 rainbow, 1..4 the characters' tracks
    uint32_t turretKind = 0; // 0 basic, 1 exploding, 2 splitting, 3 sniper, 4 ricochet, 5 sticky
    ControlScheme controls = controlSchemeFor(kSchemeKeyboardLeft);
    float knockbackMultiplier = 1.0f; // 1 + the damage taken; the HUD shows (this - 1) x 100 %
    float damageScale = 1.0f;
    uint32_t lives = 3;
    float stunTimer = 0.0f;
    float jumpSpeed = 20.0f;
    float jumpCooldown = 0.0f;
    float jumpCooldownTime = 0.5f;
    float driveForce = 1500.0f;
    float turretTurnSpeed = 360.0f; // degrees per second
    bool charging = false;
    float charge = 0.0f;
    float maxCharge = 100.0f;
    float chargeRate = 150.0f; // per second
    float shotSpeedFactor = 0.4f;
    float fireCooldown = 0.0f;
    float fireCooldownTime = 0.5f;
    bool firedThisFrame = false;
    ParticleEmitter* emitterRight = nullptr; // smoke while driving right
    ParticleEmitter* emitterLeft = nullptr;
    uint32_t playerNumber = 0;
    float respawnTime = 0.0f;
    float respawnTimeLeft = 0.0f;
    float beamWidth = 0.0f;
    float beamHeight = 0.0f;
    float beamMinX = 0.0f;
    float beamMaxX = 0.0f;
    float dropHeight = 0.0f; // top of the arena, where artillery shells start
    uint32_t respawning = 0; // 0 alive, 1 respawning
    uint32_t pickUpKind = 0; // the held pick-up (PickUpKind)
    // Null for a person, who plays through the input; a computer player or a replay otherwise.
    // Not owned.
    ActionSource* actionSource = nullptr;
    // A computer plays this seat (its badge and marker say so).
    bool computer = false;
    // Hits taken since the match last read them, for its results: whose shot (player number, 0
    // for none) and how much it added to the multiplier, in percent.
    struct HitTaken {
        uint32_t from = 0;
        float percent = 0.0f;
    };
    std::vector<HitTaken> hitsTaken;

    // This frame's actions, from the source or the input, as observers see them.
    PlayerActions readThisFrame() const;

  private:
    void aliveUpdate();
    void respawnUpdate();
    // Sets off every active bullet this tank fired that has a trigger.
    void triggerOwnBullets();
    // The aura shows, in the pick-up's colour, while a pick-up is held.
    void showPickUpAura();
};

// Pushes the tank sideways (the push lasts one physics step, so it is scaled by the frame time)
// and animates the eyes and the visible track.
void Drive(TankParts& tank, float force);
// Turns the turret, which stops at +-90 degrees: it covers the upper half circle.
void RotateTurret(TankParts& tank, float degreesPerSecond);

// The Player of every root object tagged "Tank" (every tank), in the order they were made.
std::vector<Player*> TankRootPlayers();
// The player number of a tank's group and of everything it fires ("Player 3" gives 3), 0 for
// any other group.
uint32_t PlayerOfGroup(const std::string& group);

// The multiplier never grows past this, however many hits are taken.
constexpr float kMaxKnockbackMultiplier = 10.9f;
