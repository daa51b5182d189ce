#include "gameplay/player.hpp"

#include "audio/sound_events.hpp"
#include "audio/sound_manager.hpp"
#include "engine/input_manager.hpp"
#include "gameplay/bullet.hpp"
#include "gameplay/object_factory.hpp"
#include "gameplay/rumble.hpp"
#include "gameplay/teams.hpp"
#include "graphics/particle_emitter.hpp"
#include "graphics/renderer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/state_archive.hpp"
#include "objects/world_hasher.hpp"
#include "physics/collider.hpp"
#include "physics/rigid_body.hpp"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr float kMaxSpin = 500.0f; // degrees per second, either way
constexpr float kAuraFrameTime = 0.1f;
constexpr int32_t kAuraColumns = 4;
constexpr int32_t kTrackColumns = 3;
constexpr int32_t kEyesAhead = 1, kEyesLeft = 2, kEyesRight = 3, kEyesDizzy = 4;
constexpr float kChargeBarLength = 2.56f;
constexpr float kChargeBarHeight = 0.7f;
constexpr float kChargeBarAbove = 2.8f;
constexpr float kBeamSpeed = 10.0f;
constexpr float kRespawnDropSpeed = -100.0f;
// The whole recoil is -15 k d: a third of it turns the tank, all of it pushes.
constexpr float kRecoilTurning = 5.0f;
constexpr float kRecoilPush = 10.0f;

constexpr std::array<const char*, 4> kFaces = {"FaceSprite_Vantu", "FaceSprite_Quolle", "FaceSprite_Kibbit",
                                               "FaceSprite_Pexie"};

struct TrackStats {
    const char* name;
    uint32_t kind;
    float drive, jump, jumpCooldown, damage;
};
constexpr std::array<TrackStats, 4> kTracks = {{
    {"TrackSprite_Vantu", 1, 1.0f, 1.0f, 1.0f, 0.9f},
    {"TrackSprite_Quolle", 2, 1.25f, 0.8f, 1.2f, 1.0f},
    {"TrackSprite_Kibbit", 3, 0.8f, 0.8f, 1.2f, 0.8f},
    {"TrackSprite_Pexie", 4, 1.5f, 1.0f, 1.0f, 1.5f},
}};

struct TurretStats {
    const char* name;
    uint32_t kind;
    float chargeRate, shotSpeed, fireCooldown;
};
// The bouncing barrel fires sticky bullets; no name selects the ricochet turret (kind 4).
constexpr std::array<TurretStats, 4> kTurrets = {{
    {"BarrelSprite_Explosion", 1, 1.0f, 1.0f, 1.0f},
    {"BarrelSprite_Splitting", 2, 2.0f, 0.75f, 0.5f},
    {"BarrelSprite_Sniper", 3, 0.5f, 0.75f, 2.0f},
    {"BarrelSprite_Bouncing", 5, 1.0f, 0.5f, 1.0f},
}};

// Aura colours of pick-up kinds 1 to 3; the rocket (4) leaves the colour as it was.
constexpr std::array<vec4, 3> kAuraColours = {
    {{1.0f, 0.65f, 0.0f, 1.0f}, {0.86f, 0.62f, 0.65f, 1.0f}, {0.5f, 0.0f, 0.5f, 1.0f}}};

// Names of the bullets that have a trigger; basic and ricochet bullets have none.
constexpr std::array<const char*, 8> kTriggerable = {"BlackHoleBullet", "RocketBullet",    "ArtilleryBullet",
                                                     "ExpulsionBullet", "ExplodingBullet", "SplittingBullet",
                                                     "SniperBullet",    "StickyBullet"};

SpriteRenderer* sprite(const GameObject* object) {
    return object != nullptr ? object->getComponent<SpriteRenderer>() : nullptr;
}

void setColumn(GameObject* object, int32_t column) {
    if (SpriteRenderer* s = sprite(object)) {
        s->column = column;
        s->row = 1;
    }
}

// Shows one track sprite in place of the other, at the same animation frame.
void swapTrack(GameObject* show, GameObject* hide) {
    SpriteRenderer* shown = sprite(show);
    SpriteRenderer* hidden = sprite(hide);
    if (shown == nullptr || hidden == nullptr) {
        return;
    }
    shown->column = hidden->column;
    shown->enabled = true;
    hidden->enabled = false;
}

std::vector<Player*>& players() {
    static auto* list = new std::vector<Player*>();
    return *list;
}

} // namespace

std::vector<Player*> TankRootPlayers() {
    std::vector<Player*> tanks;
    for (Player* player : players()) {
        const GameObject* root = player->owner;
        if (root != nullptr && root->tag == "Tank" && root->transform.parent == &WorldRoot().transform) {
            tanks.push_back(player);
        }
    }
    return tanks;
}

namespace {
constexpr size_t kMaxHitsUnread = 256;
} // namespace

uint32_t PlayerOfGroup(const std::string& group) {
    constexpr std::string_view kPrefix = "Player ";
    if (group.size() != kPrefix.size() + 1 || group.compare(0, kPrefix.size(), kPrefix) != 0) {
        return 0;
    }
    const char digit = group.back();
    return digit >= '1' && digit <= '4' ? static_cast<uint32_t>(digit - '0') : 0;
}

Player::Player(GameObject* ownerObject) : Logic("Player", ownerObject) {
    players().push_back(this);
}

Player::~Player() {
    std::erase(players(), this);
}

namespace {
ActionObserver* actionObserver = nullptr;
}

void SetActionObserver(ActionObserver* observer) {
    actionObserver = observer;
}

ActionObserver* CurrentActionObserver() {
    return actionObserver;
}

PlayerActions Player::readThisFrame() const {
    PlayerActions in = actionSource != nullptr ? actionSource->actionsFor(*this)
                                               : readActions(controls, InputManager::instance());
    if (actionObserver != nullptr) {
        actionObserver->onActions(*this, in);
    }
    return in;
}

void Player::Update() {
    if (respawning == 0) {
        aliveUpdate();
    } else if (respawning == 1) {
        respawnUpdate();
    }
}

// The tank's animation (tracks, eyes, aura) and its pad only show or belong to this machine.
void Player::hashState(WorldHasher& hasher) const {
    hashPresence(hasher);
    hasher.addAll(knockbackMultiplier, damageScale, lives, stunTimer);
    hasher.addAll(character, trackKind, turretKind, playerNumber, driveForce, jumpSpeed, turretTurnSpeed);
    hasher.addAll(jumpCooldown, jumpCooldownTime, fireCooldown, fireCooldownTime, firedThisFrame);
    hasher.addAll(charging, charge, maxCharge, chargeRate, shotSpeedFactor, pickUpKind, dropHeight);
    hasher.addAll(respawning, respawnTime, respawnTimeLeft, beamWidth, beamHeight, beamMinX, beamMaxX);
    // The turret's angle aims the next shot; the beam is where the tank drops back in.
    if (tank.barrelRoot != nullptr) {
        hasher.add(tank.barrelRoot->transform.rotation);
    }
    if (respawner != nullptr) {
        hasher.addAll(static_cast<bool>(respawner->active), respawner->transform.position,
                      respawner->transform.scale);
    }
    // Hits taken after the match counted this frame's are counted in the next.
    hasher.add(static_cast<uint64_t>(hitsTaken.size()));
    for (const HitTaken& hit : hitsTaken) {
        hasher.addAll(hit.from, hit.percent);
    }
}

// The controls belong to this machine and stay out; the tank's animation is carried so a
// rollback shows the tracks and the aura as the frames it goes back to had them.
void Player::carryState(StateArchive& archive) {
    CARRY_STATE(archive, knockbackMultiplier, damageScale, lives, stunTimer);
    CARRY_STATE(archive, character, trackKind, turretKind, playerNumber, driveForce, jumpSpeed,
                turretTurnSpeed);
    CARRY_STATE(archive, jumpCooldown, jumpCooldownTime, fireCooldown, fireCooldownTime, firedThisFrame);
    CARRY_STATE(archive, charging, charge, maxCharge, chargeRate, shotSpeedFactor, pickUpKind, dropHeight);
    CARRY_STATE(archive, respawning, respawnTime, respawnTimeLeft, beamWidth, beamHeight, beamMinX, beamMaxX);
    CARRY_STATE(archive, tank.airborne, tank.trackAnimTimer, tank.auraAnimTimer);
    archive.carryList("hitsTaken", hitsTaken);
}

void Player::aliveUpdate() {
    const float dt = GameDt();
    const PlayerActions in = readThisFrame();
    RigidBody2D* body = tank.rigidBody;

    firedThisFrame = false;
    body->angularVelocity = std::clamp(body->angularVelocity, -kMaxSpin, kMaxSpin);
    for (float* countdown : {&jumpCooldown, &stunTimer, &fireCooldown}) {
        if (*countdown > 0.0f) {
            *countdown -= dt;
        }
    }
    setColumn(tank.eyes, stunTimer > 0.0f ? kEyesDizzy : kEyesAhead);

    // Landing: the jump's track gives way to the driving track at the same frame.
    if (tank.airborne != 0 && body->velocity.y < 0.0f) {
        swapTrack(tank.track, tank.trackJump);
        tank.airborne = 0;
    }

    if (SpriteRenderer* aura = sprite(tank.pickUpAura); aura != nullptr && aura->enabled) {
        tank.auraAnimTimer += dt;
        if (tank.auraAnimTimer > kAuraFrameTime) {
            aura->column = aura->column >= kAuraColumns ? 1 : aura->column + 1;
            tank.auraAnimTimer = 0.0f;
        }
    }

    if (stunTimer <= 0.0f) {
        // Smoke puffs out behind the tank for as long as it drives.
        if (in.moveLeft) {
            if (emitterLeft != nullptr) {
                vec3 spot = tank.emitterSpot2->transform.worldPosition;
                emitterLeft->owner->transform.setPosition(spot.x, spot.y, spot.z);
                emitterLeft->baseAngle = body->rotation * kDegToRad;
                emitterLeft->start();
            }
            Drive(tank, -driveForce);
        }
        if (in.moveRight) {
            if (emitterRight != nullptr) {
                vec3 spot = tank.emitterSpot1->transform.worldPosition;
                emitterRight->owner->transform.setPosition(spot.x, spot.y, spot.z);
                emitterRight->baseAngle = body->rotation * kDegToRad + kPi;
                emitterRight->start();
            }
            Drive(tank, driveForce);
        }

        if (in.jump && jumpCooldown <= 0.0f) {
            body->velocity.y = jumpSpeed;
            swapTrack(tank.trackJump, tank.track);
            tank.airborne = 1;
            jumpCooldown = jumpCooldownTime;
        }

        // The key and the stick each add their own turn.
        for (bool turn : {in.turnPlus, in.padTurnPlus}) {
            if (turn) {
                RotateTurret(tank, turretTurnSpeed);
            }
        }
        for (bool turn : {in.turnMinus, in.padTurnMinus}) {
            if (turn) {
                RotateTurret(tank, -turretTurnSpeed);
            }
        }

        if (in.shootHeld) {
            if (fireCooldown <= 0.0f) {
                charge = std::min(charge + dt * chargeRate, maxCharge);
                charging = true;
            }
        } else if (charging) {
            Fire();
            charge = 0.0f;
            fireCooldown = fireCooldownTime;
            charging = false;
            firedThisFrame = true;
        }

        if (in.special && !firedThisFrame) {
            triggerOwnBullets();
        }
    }

    // The charge bar grows from a fixed left end above the tank, stunned or not.
    if (tank.shootChargeBar != nullptr) {
        float r = maxCharge > 0.0f ? charge / maxCharge : 0.0f;
        vec3 at = tank.tankRoot->transform.worldPosition;
        tank.shootChargeBar->transform.setPosition(
            at.x + r * kChargeBarLength / 2.0f - kChargeBarLength / 2.0f, at.y + kChargeBarAbove, at.z);
        tank.shootChargeBar->transform.setScale(r * kChargeBarLength, kChargeBarHeight, 1.0f);
    }

    showPickUpAura();
}

void Player::showPickUpAura() {
    if (SpriteRenderer* aura = sprite(tank.pickUpAura)) {
        aura->enabled = pickUpKind != PickUpKind::None;
        if (pickUpKind >= PickUpKind::Artillery && pickUpKind <= PickUpKind::BlackHole) {
            aura->color = kAuraColours[pickUpKind - 1];
        }
    }
}

void Player::triggerOwnBullets() {
    const std::string& group = tank.tankRoot->group;
    const auto& objects = GameObjectList::instance().objects();
    // By index: a split adds bullets to the list while it is walked.
    for (size_t i = 0; i < objects.size(); ++i) {
        GameObject* object = objects[i];
        if (!object->active || object->group != group ||
            std::find(kTriggerable.begin(), kTriggerable.end(), object->name) == kTriggerable.end()) {
            continue;
        }
        if (Bullet* bullet = FindBullet(object)) {
            bullet->Trigger();
        }
    }
}

void Player::Fire() {
    vec2 out = WorldPosition2(tank.bulletOut);
    vec2 d = out - WorldPosition2(tank.barrelRoot);
    float speed = shotSpeedFactor * charge;
    const std::string group = tank.tankRoot->group;
    uint32_t mask = tank.bodyCollider != nullptr ? tank.bodyCollider->groupMask : 0;
    SoundManager& sound = SoundManager::instance();

    bool special = pickUpKind >= PickUpKind::Artillery && pickUpKind <= PickUpKind::Rocket;
    if (special) {
        sound.playEvent(kEventShot, true);
        switch (pickUpKind) {
        case PickUpKind::Artillery:
            MakeArtilleryBullet(out, d, speed, dropHeight, group, mask);
            break;
        case PickUpKind::Expulsion:
            MakeExpulsionBullet(out, d, speed, group);
            break;
        case PickUpKind::BlackHole:
            MakeBlackHoleBullet(out, d, speed, group);
            break;
        default:
            MakeRocketBullet(out, d, speed, group);
            break;
        }
    } else if (turretKind == 1) {
        MakeExplodingBullet(out, d, speed, group, mask);
        sound.playEvent(kEventShot, true);
    } else {
        sound.playEvent(kEventShot, true);
        switch (turretKind) {
        case 2:
            MakeSplittingBullet(out, d, speed, group, mask);
            break;
        case 3:
            MakeSniperBullet(out, d, speed, group, mask);
            break;
        case 4:
            MakeRicochetBullet(out, d, speed, group, mask);
            break;
        case 5:
            MakeStickyBullet(out, d, speed, group, mask);
            break;
        default:
            MakeBasicBullet(out, d, speed, group, mask);
            break;
        }
    }
    pickUpKind = PickUpKind::None; // a pick-up lasts one shot

    RigidBody2D* body = tank.rigidBody;
    float k = shotSpeedFactor * charge;
    vec2 turning = d * (-kRecoilTurning * k);
    body->AddForce(turning);
    body->AddTorque(cross(out - body->position, turning));
    body->AddForce(d * (-kRecoilPush * k));
}

void Player::ApplyKnockback(vec2 direction, float force, float damage, float stun, uint32_t from) {
    // The push uses the multiplier from before this hit.
    const float before = knockbackMultiplier;
    tank.rigidBody->AddForce(NormalisedOrZero(direction) * (force * before));
    // A teammate's hit only pushes: no damage, no stun, and no credit for a fall that follows.
    if (Teams::current().Spares(playerNumber, from)) {
        return;
    }
    float fraction = (damage >= 1.0f ? damage / 100.0f : damage) * damageScale;
    stunTimer = stun;
    knockbackMultiplier = std::min(knockbackMultiplier + fraction, kMaxKnockbackMultiplier);
    if (hitsTaken.size() < kMaxHitsUnread) { // nobody reads them outside a match
        hitsTaken.push_back({from, (knockbackMultiplier - before) * 100.0f});
    }
    RumbleFor(*this, HitRumble(knockbackMultiplier - before));
}

void Player::respawnUpdate() {
    const float dt = GameDt();
    const PlayerActions in = readThisFrame();
    Transform& beam = respawner->transform;
    vec3 at = beam.position;
    if (in.moveLeft) {
        at.x = std::max(at.x - kBeamSpeed * dt, beamMinX);
    }
    if (in.moveRight) {
        at.x = std::min(at.x + kBeamSpeed * dt, beamMaxX);
    }
    beam.setPosition(at.x, at.y, at.z);

    respawnTimeLeft -= dt;
    if (respawnTimeLeft <= 0.0f) {
        respawnTimeLeft = 0.0f;
        respawning = 0;
        SetTankEnabled(tank, true);
        pickUpKind = PickUpKind::None;
        showPickUpAura(); // the lost pick-up's aura does not come back with the tank
        RigidBody2D* body = tank.rigidBody;
        body->rotation = 0.0f;
        tank.tankRoot->transform.setRotation(0.0f, 0.0f, 0.0f);
        // Drops fast from the top of the beam.
        body->SetPosition(at.x, at.y + beamHeight / 2.0f);
        body->velocity = {0.0f, kRespawnDropSpeed};
        body->angularVelocity = 0.0f;
        SoundManager::instance().playEvent(kEventRespawn, true);
    }
    // The beam narrows to nothing as the countdown runs out.
    float width = respawnTime > 0.0f ? respawnTimeLeft / respawnTime * beamWidth : 0.0f;
    beam.setScale(width, beamHeight, 1.0f);
}

void Player::SetControlScheme(int scheme) {
    controls = controlSchemeFor(scheme);
}

void Player::SetChoices(const std::string& face, const std::string& trackName, const std::string& turret) {
    for (size_t i = 0; i < kFaces.size(); ++i) {
        if (face == kFaces[i]) {
            character = static_cast<uint32_t>(i + 1);
            SetFaceSprite(tank, face);
        }
    }

    auto track = std::find_if(kTracks.begin(), kTracks.end(),
                              [&](const TrackStats& t) { return trackName == t.name; });
    if (track != kTracks.end()) {
        trackKind = track->kind;
        driveForce *= track->drive;
        jumpSpeed *= track->jump;
        jumpCooldownTime *= track->jumpCooldown;
        damageScale *= track->damage;
        SetTrackSprite(tank, track->name);
        SetTrackJumpSprite(tank, std::string(track->name) + "_Jump");
    } else {
        trackKind = 0;
        SetTrackSprite(tank, "TrackSprite_Rainbow");
        SetTrackJumpSprite(tank, "TrackSprite_Rainbow_Jump");
    }

    auto barrel = std::find_if(kTurrets.begin(), kTurrets.end(),
                               [&](const TurretStats& t) { return turret == t.name; });
    if (barrel != kTurrets.end()) {
        turretKind = barrel->kind;
        chargeRate *= barrel->chargeRate;
        shotSpeedFactor *= barrel->shotSpeed;
        fireCooldownTime *= barrel->fireCooldown;
        SetBarrelSprite(tank, barrel->name);
    } else {
        turretKind = 0;
        SetBarrelSprite(tank, "BarrelSprite_Explosion");
    }
}

void Drive(TankParts& tank, float force) {
    const float dt = GameDt();
    tank.rigidBody->AddForce({dt * force, 0.0f});
    tank.trackAnimTimer += dt;
    SpriteRenderer* visible = sprite(tank.airborne != 0 ? tank.trackJump : tank.track);
    bool step = tank.trackAnimTimer > tank.trackFrameTime;
    if (force < 0.0f) {
        setColumn(tank.eyes, kEyesLeft);
        if (step) {
            if (visible != nullptr) {
                visible->column = visible->column >= kTrackColumns ? 1 : visible->column + 1;
            }
            tank.trackAnimTimer = 0.0f;
        }
    } else if (force > 0.0f) {
        setColumn(tank.eyes, kEyesRight);
        if (step) {
            if (visible != nullptr) {
                visible->column = visible->column <= 1 ? kTrackColumns : visible->column - 1;
            }
            tank.trackAnimTimer = 0.0f;
        }
    }
}

void RotateTurret(TankParts& tank, float degreesPerSecond) {
    Transform& t = tank.barrelRoot->transform;
    float angle = std::clamp(t.rotation.z + GameDt() * degreesPerSecond, -90.0f, 90.0f);
    t.setRotation(0.0f, 0.0f, angle);
}
