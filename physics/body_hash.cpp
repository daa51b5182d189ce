#include "physics/body_hash.hpp"

#include "objects/game_object.hpp"
#include "objects/world_hasher.hpp"
#include "physics/collider.hpp"
#include "physics/collision_world.hpp"
#include "physics/rigid_body.hpp"

namespace {

bool inPlay(const Component& component) {
    return component.enabled && component.owner != nullptr && component.owner->active;
}

} // namespace

uint64_t HashValue(uint64_t hash, float value) {
    WorldHasher hasher(hash);
    hasher.add(value);
    return hasher.value();
}

uint64_t HashBodies() {
    WorldHasher hasher;
    for (const RigidBody2D* body : PhysicsBodies()) {
        for (float value : {body->position.x, body->position.y, body->velocity.x, body->velocity.y,
                            body->rotation, body->angularVelocity}) {
            hasher.add(value);
        }
    }
    return hasher.value();
}

void HashPhysicsState(WorldHasher& hasher) {
    for (const RigidBody2D* body : PhysicsBodies()) {
        hasher.addAll(inPlay(*body), static_cast<bool>(body->enabled), body->simulated,
                      body->respondsToCollisions);
        hasher.addAll(body->inverseMass, body->inverseInertia, body->linearDamping, body->angularDamping);
        hasher.addAll(body->gravityScale, body->staticFriction, body->dynamicFriction, body->restitution);
        hasher.addAll(body->acceleration, body->force, body->torque);
        hasher.add(static_cast<uint64_t>(body->contacts.size()));
        for (const ContactRecord& contact : body->contacts) {
            hasher.addAll(contact.manifold.normal, contact.manifold.penetration);
        }
    }
    for (const Collider2D* collider : CollisionWorld::instance().colliders) {
        hasher.addAll(inPlay(*collider), static_cast<bool>(collider->enabled), collider->collided);
        hasher.addAll(collider->groupMask, collider->offset);
    }
}
