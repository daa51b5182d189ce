#include "gameplay/special_bullets.hpp"

#include "audio/sound_events.hpp"
#include "audio/sound_manager.hpp"
#include "gameplay/object_factory.hpp"
#include "gameplay/player.hpp"
#include "graphics/particle_emitter.hpp"
#include "graphics/renderer.hpp"
#include "graphics/scene_builders.hpp"
#include "graphics/shader_logic.hpp"
#include "objects/game_object_list.hpp"
#include "objects/portable_math.hpp"
#include "objects/random.hpp"
#include "objects/resource_manager.hpp"
#include "objects/state_archive.hpp"
#include "objects/world_hasher.hpp"
#include "physics/collider.hpp"
#include "physics/physics_step.hpp"
#include "physics/rigid_body.hpp"

#include <algorithm>
#include <cmath>

namespace {

// Flight phase shared by the four: a shot lands on touching a "Platform" (its first such
// contact) and when its flight time runs out.
void fly(Bullet& bullet, float& flightTimer) {
    for (const ContactRecord& contact : bullet.rigidBody->contacts) {
        if (contact.other->owner->name == "Platform") {
            bullet.Trigger();
            break;
        }
    }
    flightTimer -= GameDt();
    if (flightTimer <= 0.0f) {
        bullet.Trigger();
    }
}

// A landed shot keeps its object (its effect runs from there) but no longer flies, touches or shows.
void hideShot(Bullet& bullet) {
    bullet.rigidBody->enabled = false;
    if (CircleCollider* c = bullet.collider()) {
        c->enabled = false;
    }
    if (auto* s = bullet.owner->getComponent<SpriteRenderer>()) {
        s->enabled = false;
    }
}

// An object hung below the bullet at the bullet's own place.
GameObject* makeChild(GameObject* parent, const std::string& name) {
    GameObject* child = GameObjectList::instance().create(name);
    parent->transform.setParent(child);
    child->transform.setPosition(0.0f, 0.0f, 0.0f);
    child->transform.setScale(1.0f, 1.0f, 1.0f);
    return child;
}

ParticleEmitter* makeEmitter(GameObject* object) {
    return object->attach(new ParticleEmitter(object));
}

// Emitters spawn at their object's own position values, so the particle object is given the
// world position of the spot.
void burstAt(GameObject* particleObject, ParticleEmitter* emitter, vec3 at) {
    particleObject->transform.setPosition(at.x, at.y, at.z);
    emitter->start();
}

ShaderLogic* effectOf(const std::string& objectName) {
    GameObject* object = GameObjectList::instance().find(objectName);
    return object != nullptr ? object->getComponent<ShaderLogic>() : nullptr;
}

} // namespace

// ---- Black hole ----

BlackHoleBullet::BlackHoleBullet(GameObject* ownerObject) : Bullet("BlackHoleBullet", ownerObject) {
    circleRender = makeChild(owner, "Circle Render");
    circleRender->transform.setScale(2.0f * radius, 2.0f * radius, 1.0f);
    particleObject = makeChild(owner, "BlackHoleParticles");
    emitter = makeEmitter(particleObject);
    SetupBlackHoleSwirl(*emitter);
}

void BlackHoleBullet::hashState(WorldHasher& hasher) const {
    Bullet::hashState(hasher);
    hasher.addAll(radius, activeTime, timer, landed);
}

void BlackHoleBullet::carryState(StateArchive& archive) {
    Bullet::carryState(archive);
    CARRY_STATE(archive, radius, activeTime, timer, landed);
}

void BlackHoleBullet::Trigger() {
    if (landed) {
        return;
    }
    SoundManager::instance().playEvent(kEventImpact, true);
    SoundManager::instance().playEvent(kEventBlackHole, false);
    hideShot(*this);
    landed = true;
    timer = activeTime;
    // The background swirls around the hole, unless a swirl is running already.
    if (ShaderLogic* background = effectOf("Background")) {
        background->StartSwirl(radius, rigidBody->position);
    }
    burstAt(particleObject, emitter, owner->transform.position);
}

void BlackHoleBullet::Update() {
    if (!landed) {
        fly(*this, timer);
        return;
    }
    float dt = GameDt();
    timer -= dt;
    if (timer <= 0.0f) {
        SoundManager::instance().stopEvent(kEventBlackHole);
        setActive(owner, false); // the pull still runs in this frame
    }
    pull(dt);
}

// A pull towards the hole bent sideways by a fixed-length term, so objects spiral in; it is
// strongest within a unit of the centre and scaled by the frame time.
void BlackHoleBullet::pull(float dt) {
    vec2 hole = WorldPosition2(owner);
    for (GameObject* object : AffectedObjects(owner)) {
        vec2 d = hole - WorldPosition2(object);
        float l2 = lengthSquared(d);
        if (l2 > radius * radius) {
            continue;
        }
        float falloff = 1.0f / std::min(radius / 2.0f, std::max(1.0f, l2));
        float l = std::sqrt(l2);
        vec2 u{-d.x, d.y};
        if (l > 0.0f) {
            u = u / l;
        }
        vec2 w = NormalisedOrZero(vec2{d.x + 2.0f * u.y, d.y + 2.0f * u.x});
        object->getComponent<RigidBody2D>()->AddForce(w * (28000.0f * falloff * dt));
        if (object->tag == "Tank" && l2 <= 225.0f) {
            // A tenth of damage a second inside the hole, and constant stun.
            if (auto* player = object->getComponent<Player>(); player != nullptr && player->respawning == 0) {
                player->ApplyKnockback({}, 0.0f, dt * 0.1f, 0.5f, PlayerOfGroup(owner->group));
            }
        }
    }
}

// ---- Expulsion ----

ExpulsionBullet::ExpulsionBullet(GameObject* ownerObject) : Bullet("ExpulsionBullet", ownerObject) {
    frameBufferEffect = effectOf("FrameBuffer");
    circleRender = makeChild(owner, "Circle Render");
    circleRender->transform.setScale(2.0f * radius, 2.0f * radius, 1.0f);
    particleObject = makeChild(owner, "ExpulsionParticles");
    emitter = makeEmitter(particleObject);
    SetupExpulsionBurst(*emitter);
}

// The size of the shock wave only shows.
void ExpulsionBullet::hashState(WorldHasher& hasher) const {
    Bullet::hashState(hasher);
    hasher.addAll(radius, activeTime, pulseInterval, pulseTimer, timer, landed);
}

void ExpulsionBullet::carryState(StateArchive& archive) {
    Bullet::carryState(archive);
    CARRY_STATE(archive, radius, activeTime, pulseInterval, waveSize, pulseTimer, timer, landed);
}

void ExpulsionBullet::Trigger() {
    if (landed) {
        return;
    }
    SoundManager::instance().playEvent(kEventImpact, true);
    hideShot(*this);
    landed = true;
    timer = activeTime;
    burstAt(particleObject, emitter, owner->transform.position);
}

void ExpulsionBullet::Update() {
    if (!landed) {
        fly(*this, timer);
        return;
    }
    float dt = GameDt();
    timer -= dt;
    if (timer <= 0.0f) {
        SoundManager::instance().stopEvent(kEventPulse);
        setActive(owner, false); // this frame still runs
    }
    // The first pulse comes in the first active frame, then one every interval.
    pulseTimer -= dt;
    if (pulseTimer > 0.0f) {
        return;
    }
    pulse();
}

// A one-step outward kick, largest at mid range and nothing at the centre or the edge.
void ExpulsionBullet::pulse() {
    SoundManager::instance().playEvent(kEventPulse, true);
    vec2 centre = WorldPosition2(owner);
    float r2 = radius * radius;
    for (GameObject* object : AffectedObjects(owner)) {
        vec2 d = WorldPosition2(object) - centre;
        float l2 = lengthSquared(d);
        if (l2 > r2) {
            continue;
        }
        float t = std::clamp(l2 / r2, 0.0f, 1.0f);
        object->getComponent<RigidBody2D>()->AddForce(d * (3.0f * r2 * (1.0f - t)));
        if (object->tag == "Tank" && l2 <= 225.0f) {
            if (auto* player = object->getComponent<Player>()) {
                player->ApplyKnockback({}, 0.0f, 10.0f, 0.5f, PlayerOfGroup(owner->group));
            }
        }
    }
    burstAt(particleObject, emitter, particleObject->transform.position);
    if (frameBufferEffect != nullptr) {
        frameBufferEffect->AddWave(1.0f, 1.0f, centre, 2.0f * waveSize);
    }
    pulseTimer = pulseInterval;
}

// ---- Rocket ----

RocketBullet::RocketBullet(GameObject* ownerObject) : Bullet("RocketBullet", ownerObject) {
    GameObjectList& list = GameObjectList::instance();
    warning = list.create("Rocket Warning");
    warning->transform.setScale(50.0f, 10.0f, 1.0f);
    AddSprite(warning, "RocketWarning", {1.0f, 1.0f, 1.0f, 0.5f});
    setActive(warning, false);

    // Tagged as a platform, so other code treats the rocket as one.
    rocketRoot = list.create("Rocket Root", "PlatformTouch");
    rocketRoot->setTag("Platform");
    rocketBody = rocketRoot->addComponent<RigidBody2D>();
    rocketBody->gravityScale = 0.0f;
    rocketBody->inverseInertia = 0.0f;
    rocketBody->restitution = 0.5f;
    rocketBody->inverseMass = 0.00001f;
    GameObject* body = makeChild(rocketRoot, "Rocket Body");
    body->transform.setPosition(0.0f, 0.0f, 1.0f);
    body->transform.setScale(5.0f, 5.0f, 1.0f);
    AddSprite(body, "RocketBody", {1.0f, 1.0f, 1.0f, 1.0f});
    auto* box = body->addComponent<OBBCollider>();
    box->width = 5.0f;
    box->height = 5.0f;
    box->groupMask = 0;
    makeChild(rocketRoot, "Rocket Head");
    setActive(rocketRoot, false);
}

// The rocket's own body is among the bodies; its warning strip only shows.
void RocketBullet::hashState(WorldHasher& hasher) const {
    Bullet::hashState(hasher);
    hasher.addAll(landed, fired, flightTime, warningTime, burnTime, angle, thrust, direction);
}

void RocketBullet::carryState(StateArchive& archive) {
    Bullet::carryState(archive);
    CARRY_STATE(archive, landed, fired, flightTime, warningTime, burnTime, angle, thrust, direction);
}

void RocketBullet::Trigger() {
    if (landed) {
        return;
    }
    hideShot(*this);
    landed = true;
    vec3 at = owner->transform.position;
    warning->transform.setPosition(at.x, at.y, at.z);
    setActive(warning, true);
    vec2 v = rigidBody->velocity;
    // The angle keeps its sign, so the strip lies along the line the rocket will travel
    // whichever way the shot was going.
    angle = portable::atan2(v.y, v.x) * kRadToDeg;
    warning->transform.setRotation(0.0f, 0.0f, angle);
    direction = NormalisedOrZero(v);
}

void RocketBullet::Update() {
    float dt = GameDt();
    if (!landed) {
        fly(*this, flightTime);
    } else if (!fired) {
        warningTime -= dt;
        if (warningTime <= 0.0f) {
            fired = true;
            setActive(warning, false);
            setActive(rocketRoot, true);
            vec3 at = owner->transform.position;
            // It comes from 30 units back along the line and points the way it goes.
            rocketBody->SetPosition(at.x - 30.0f * direction.x, at.y - 30.0f * direction.y);
            rocketBody->rotation = angle;
            rocketRoot->transform.setRotation(0.0f, 0.0f, rocketBody->rotation);
        }
    } else {
        burnTime -= dt;
        if (burnTime >= 0.0f) {
            // With its tiny inverse mass this is a slow, almost immovable wall.
            // A push given in a frame lasts the next physics step, so the frame's share of a
            // steady push is its game time against that step: frames of three steps, one or none
            // add up to the same push per game second (at 60 fps the share is whole).
            rocketBody->AddForce(direction * (thrust * dt / kFixedStep));
        } else {
            setActive(owner, false); // the rocket itself drifts on with the speed it reached
        }
    }
}

// ---- Artillery ----

ArtilleryBullet::ArtilleryBullet(GameObject* ownerObject) : Bullet("ArtilleryBullet", ownerObject) {
    lifetime = 15.0f; // the barrage time
    GameObjectList& list = GameObjectList::instance();
    zone = list.create("Artillery Zone");
    AddSprite(zone, "BoxSprite", {1.0f, 0.5f, 0.0f, 0.6f});
    zone->transform.setScale(0.0f, 300.0f, 1.0f);
    setActive(zone, false);
    warning = list.create("Artillery Warning");
    warning->transform.setScale(3.0f, 3.0f, 1.0f);
    AddSprite(warning, "ArtilleryWarning", {1.0f, 1.0f, 1.0f, 1.0f});
    setActive(warning, false);
    frameBufferEffect = effectOf("FrameBuffer");
}

// The zone and the warning only show.
void ArtilleryBullet::hashState(WorldHasher& hasher) const {
    Bullet::hashState(hasher);
    hasher.addAll(landed, warningDone, timer, zoneGrowTime, zoneHalfWidth, dropHeight);
    hasher.addAll(maxShells, shellsFired, shellTimer, maxShellInterval);
}

void ArtilleryBullet::carryState(StateArchive& archive) {
    Bullet::carryState(archive);
    CARRY_STATE(archive, landed, warningDone, timer, zoneGrowTime, zoneHalfWidth, dropHeight);
    CARRY_STATE(archive, maxShells, shellsFired, shellTimer, maxShellInterval);
}

void ArtilleryBullet::Trigger() {
    if (landed) {
        return;
    }
    SoundManager::instance().playEvent(kEventImpact, true);
    hideShot(*this);
    landed = true;
    timer = lifetime;
    vec3 at = owner->transform.position;
    zone->transform.setPosition(at.x, at.y, -1.9f);
    setActive(zone, true);
    warning->transform.setPosition(at.x, dropHeight - 5.0f, -1.0f);
    setActive(warning, true);
}

void ArtilleryBullet::Update() {
    if (!landed) {
        fly(*this, timer);
        return;
    }
    barrage(GameDt());
}

void ArtilleryBullet::barrage(float dt) {
    timer -= dt;
    if (timer <= 0.0f || shellsFired >= maxShells) {
        setActive(zone, false);
        setActive(owner, false); // the rest of this frame still runs
    }
    shellTimer -= dt;
    if (!warningDone) {
        if (shellTimer <= 0.0f) {
            warningDone = true;
            setActive(warning, false);
        } else {
            // The zone opens from nothing to full width during the second half of the warning.
            float width = 2.0f * (zoneHalfWidth + 0.5f);
            float s = std::clamp(shellTimer - zoneGrowTime / 2.0f, 0.0f, 1.0f);
            zone->transform.setScale(width * (1.0f - s), 100.0f, 1.0f);
        }
    }
    if (shellTimer <= 0.0f && shellsFired < maxShells) {
        // Shells pass through the shooter's tank (same mask) but their explosions throw every
        // tank in reach; the group "None" keeps the shooter from setting them off.
        const CircleCollider* c = collider();
        float x = owner->transform.position.x + randomRange(-zoneHalfWidth, zoneHalfWidth);
        MakeExplodingBullet({x, dropHeight}, {0.0f, -1.0f}, 50.0f, "None", c != nullptr ? c->groupMask : 0);
        shellTimer = 0.1f + static_cast<float>(gameRand()) / static_cast<float>(kRandomMax) *
                                (maxShellInterval - 0.1f);
        ++shellsFired;
    }
}
