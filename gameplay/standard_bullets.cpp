#include "gameplay/standard_bullets.hpp"

#include "audio/sound_events.hpp"
#include "gameplay/object_factory.hpp"
#include "objects/game_object.hpp"
#include "objects/portable_math.hpp"
#include "objects/state_archive.hpp"
#include "objects/world_hasher.hpp"
#include "physics/collider.hpp"
#include "physics/rigid_body.hpp"

#include <cmath>

namespace {

bool collided(const Bullet& bullet) {
    const CircleCollider* c = bullet.collider();
    return c != nullptr && c->collided;
}

const std::string& otherTag(const ContactRecord& contact) {
    return contact.other->owner->tag;
}

vec2 turned(vec2 v, float radians) {
    float c = portable::cos(radians);
    float s = portable::sin(radians);
    return {c * v.x - s * v.y, s * v.x + c * v.y};
}

// The split fans out 10 degrees either side of straight on.
constexpr float kSplitTurn = 0.174533f;
constexpr float kSplitBack = -0.349066f;

} // namespace

void BasicBullet::Update() {
    lifetime -= GameDt();
    if (lifetime > 0.0f && !collided(*this)) {
        return;
    }
    // Anything sets it off, another player's bullet included.
    Detonate(3.0f, 500.0f, 0.1f, kEventImpact);
}

void ExplodingBullet::Update() {
    SpinByVelocity();
    lifetime -= GameDt();
    if (lifetime <= 0.0f) {
        Trigger();
        return;
    }
    if (!collided(*this)) {
        return;
    }
    // Touching only other bullets does not set it off.
    for (const ContactRecord& contact : rigidBody->contacts) {
        if (otherTag(contact) != "Bullet") {
            Trigger();
            return;
        }
    }
}

void ExplodingBullet::Trigger() {
    Detonate(6.0f, 1000.0f, 0.2f, kEventBigExplosion);
}

void SplittingBullet::Update() {
    SpinByVelocity();
    lifetime -= GameDt();
    if (lifetime > 0.0f && !collided(*this)) {
        return;
    }
    Detonate(3.5f, 900.0f, 0.15f, kEventImpact);
}

void SplittingBullet::Trigger() {
    vec2 v = rigidBody->velocity;
    vec2 u = NormalisedOrZero(v);
    float speed = length(v);
    vec2 at = WorldPosition2(owner);
    const CircleCollider* c = collider();
    uint32_t mask = c != nullptr ? c->groupMask : 0;
    vec2 left = turned(u, kSplitTurn);
    vec2 right = turned(left, kSplitBack);
    for (vec2 direction : {u, left, right}) {
        MakeBasicBullet(at, direction, speed, owner->group, mask);
    }
    setActive(owner, false); // no explosion, no sound
}

bool StickyBullet::stuck() const {
    return rigidBody->gravityScale == 0.0f;
}

void StickyBullet::Update() {
    SpinByVelocity();
    lifetime -= GameDt();
    if (lifetime <= 0.0f) {
        Detonate(4.0f, 1000.0f, 0.2f, kEventImpact);
    }
    if (!collided(*this)) {
        return;
    }
    for (const ContactRecord& contact : rigidBody->contacts) {
        if (otherTag(contact) == "Platform") {
            rigidBody->velocity = {};
            rigidBody->gravityScale = 0.0f;
        } else if (!stuck()) {
            Detonate(4.0f, 1000.0f, 0.2f, kEventImpact);
            return;
        } else {
            // A stuck bullet is a landmine.
            Detonate(6.0f, 1500.0f, 0.4f, kEventBigExplosion);
            return;
        }
    }
}

void StickyBullet::Trigger() {
    if (stuck()) {
        Detonate(5.0f, 1500.0f, 0.4f, kEventBigExplosion);
    }
}

void RicochetBullet::Update() {
    SpinByVelocity();
    lifetime -= GameDt();
    if (lifetime <= 0.0f) {
        Detonate(2.0f, 500.0f, 0.15f, kEventImpact);
        return;
    }
    for (const ContactRecord& contact : rigidBody->contacts) {
        const std::string& name = contact.other->owner->name;
        if (name == "Platform" || name == "RicochetBullet") {
            vec2 v = rigidBody->velocity;
            // Whether it is coming at the other is judged along the contact normal, which points
            // from the manifold's second body to its first. Between two ricochets that is their
            // centre line; against a wide platform the centre line would be wrong for a bullet
            // landing far from the middle, which would then fall straight through.
            vec2 n = contact.manifold.normal;
            vec2 towardsOther = contact.manifold.bodyB == rigidBody ? n : -n;
            if (dot(v, towardsOther) < 0.0f) {
                continue; // already moving away from it
            }
            float nn = dot(n, n);
            if (nn > 0.0f) {
                rigidBody->velocity = v - n * (2.0f * dot(v, n) / nn);
            }
            return; // at most one bounce a frame
        }
        Detonate(2.0f, 500.0f, 0.15f, kEventImpact);
    }
}

void SniperBullet::Update() {
    SpinByVelocity();
    lifetime -= GameDt();
    // Once its time is up it looks at its contacts every frame: it never ends by time alone.
    if (lifetime > 0.0f && !collided(*this)) {
        return;
    }
    for (const ContactRecord& contact : rigidBody->contacts) {
        // A straight shot passes other bullets.
        if (otherTag(contact) == "Bullet" && rigidBody->gravityScale == 0.0f) {
            continue;
        }
        Detonate(3.0f, 1000.0f, 0.5f, kEventImpact);
    }
}

void SniperBullet::hashState(WorldHasher& hasher) const {
    Bullet::hashState(hasher);
    hasher.add(straightSpeed);
}

void SniperBullet::carryState(StateArchive& archive) {
    Bullet::carryState(archive);
    CARRY_STATE(archive, straightSpeed);
}

void SniperBullet::Trigger() {
    // A shot released at no charge has no direction to keep: it stays where it is.
    rigidBody->velocity = NormalisedOrZero(rigidBody->velocity) * straightSpeed;
    rigidBody->gravityScale = 0.0f;
}
