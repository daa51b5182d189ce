#pragma once

// The prefab factory: free functions that assemble every gameplay object from game objects and
// components with fixed settings. The match builds the arena and the tanks with them, the
// player fires with them, and bullets and crates spawn explosions, smaller bullets and pick-ups.
//
// Objects hang from their parents before their local values are set (attaching keeps the world
// pose), and bodies go on before colliders (a collider finds its body once, when it is made).

#include "gameplay/tank_parts.hpp"
#include "objects/math_types.hpp"

#include <cstdint>
#include <optional>
#include <string>

class Player;
class Explosion;
class Crate;
class BasicBullet;
class ExplodingBullet;
class SplittingBullet;
class StickyBullet;
class RicochetBullet;
class SniperBullet;
class BlackHoleBullet;
class RocketBullet;
class ExpulsionBullet;
class ArtilleryBullet;

// Collision group bits: a player's tank and bullets share the player's bit, so they never touch.
constexpr uint32_t kPlatformMask = 16;
constexpr uint32_t kDeathZoneMask = 32;
constexpr uint32_t kCrateMask = 64;
constexpr uint32_t kPickUpMask = 128;
// 1, 2, 4, 8 for players 1 to 4; 0 for any other number.
uint32_t PlayerBit(uint32_t playerNumber);

// Pick-up kinds a crate carries and a player holds.
namespace PickUpKind {
constexpr uint32_t None = 0;
constexpr uint32_t Artillery = 1;
constexpr uint32_t Expulsion = 2;
constexpr uint32_t BlackHole = 3;
constexpr uint32_t Rocket = 4;
} // namespace PickUpKind

// A tank for player 1..4 at a spawn point, with its Player logic put into slot. Nothing is made
// when the slot already holds a player.
std::optional<TankParts> MakeTank(Player*& slot, uint32_t playerNumber, vec3 spawn);

// Standard bullets. The velocity is the direction normalised (a zero direction is left as it
// is, so the bullet just drops) times the speed.
BasicBullet* MakeBasicBullet(vec2 position, vec2 direction, float speed, const std::string& group,
                             uint32_t mask);
ExplodingBullet* MakeExplodingBullet(vec2 position, vec2 direction, float speed, const std::string& group,
                                     uint32_t mask);
SplittingBullet* MakeSplittingBullet(vec2 position, vec2 direction, float speed, const std::string& group,
                                     uint32_t mask);
StickyBullet* MakeStickyBullet(vec2 position, vec2 direction, float speed, const std::string& group,
                               uint32_t mask);
RicochetBullet* MakeRicochetBullet(vec2 position, vec2 direction, float speed, const std::string& group,
                                   uint32_t mask);
SniperBullet* MakeSniperBullet(vec2 position, vec2 direction, float speed, const std::string& group,
                               uint32_t mask);

// Special bullets from pick-ups. The first three touch everything (mask 0).
BlackHoleBullet* MakeBlackHoleBullet(vec2 position, vec2 direction, float speed, const std::string& group);
RocketBullet* MakeRocketBullet(vec2 position, vec2 direction, float speed, const std::string& group);
ExpulsionBullet* MakeExpulsionBullet(vec2 position, vec2 direction, float speed, const std::string& group);
ArtilleryBullet* MakeArtilleryBullet(vec2 position, vec2 direction, float speed, float dropHeight,
                                     const std::string& group, uint32_t mask);

Explosion* MakeExplosion(vec2 position, vec2 size, const std::string& group, float force, float damage);

// A platform: an immovable black box (the rim) with cracks, and an inner plate 0.5 smaller in
// front of it. Returns the outer object, which carries the body and the collider.
GameObject* MakePlatform(vec3 position, vec4 colour, vec3 size, vec3 rotation);

// Four red "DeathZone" boxes just outside the arena bounds, under one "DeathBorder" root.
struct DeathBorder {
    GameObject* root = nullptr;
    GameObject* last = nullptr; // the last border made (the bottom one)
};
DeathBorder MakeDeathBorder(float left, float right, float top, float bottom, vec3 rotation, float margin,
                            float thickness);

Crate* MakeCrate(vec3 position, vec3 size, uint32_t pickUpKind);
// A falling pick-up; kinds other than 1..3 have no picture but work all the same.
void MakePickUp(vec3 position, uint32_t pickUpKind);

// Part sprites: the "Sprite" shader, the texture by name, white, and the sheet's cells.
void SetBarrelSprite(const TankParts& tank, const std::string& texture);
void SetTrackSprite(const TankParts& tank, const std::string& texture);     // 3 columns
void SetTrackJumpSprite(const TankParts& tank, const std::string& texture); // 3 columns
void SetFaceSprite(const TankParts& tank, const std::string& texture);
// The body ("BodySprite") and the eyes ("EyeSprite", 4 columns), which the match gives every tank.
void SetBodySprite(const TankParts& tank, const std::string& texture);
void SetEyesSprite(const TankParts& tank, const std::string& texture);

// The group the tank's bullets carry: given to the root and the visible parts; the collider
// objects, the aura, the arrow and the charge bar keep theirs.
void SetTankGroup(const TankParts& tank, const std::string& group);
// Switches the tank in or out of play: body and colliders, and the visible parts with the
// aiming arrow and the pick-up aura (whose sprites keep their own switches for when it returns).
void SetTankEnabled(const TankParts& tank, bool enabled);
