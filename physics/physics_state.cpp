#include "physics/physics_state.hpp"

#include "objects/state_archive.hpp"
#include "physics/collider.hpp"
#include "physics/collision_world.hpp"
#include "physics/live_set.hpp"
#include "physics/rigid_body.hpp"

namespace {

void carryContact(StateArchive& archive, ContactRecord& contact) {
    Manifold& m = contact.manifold;
    archive.carryLink("manifold.bodyA", m.bodyA);
    archive.carryLink("manifold.bodyB", m.bodyB);
    CARRY_STATE(archive, m.points, m.normal, m.penetration, m.staticFriction, m.dynamicFriction,
                m.restitution);
    archive.carryLink("self", contact.self);
    archive.carryLink("other", contact.other);
}

} // namespace

void CarryBodyState(StateArchive& archive, RigidBody2D& body) {
    RigidBody2D& b = body;
    CARRY_STATE(archive, b.position, b.velocity, b.rotation, b.angularVelocity, b.force, b.torque,
                b.acceleration);
    CARRY_STATE(archive, b.inverseMass, b.inverseInertia, b.linearDamping, b.angularDamping, b.gravityScale);
    CARRY_STATE(archive, b.staticFriction, b.dynamicFriction, b.restitution, b.simulated,
                b.respondsToCollisions);
    CARRY_STATE(archive, b.standing, b.forceStep);
    auto count = static_cast<uint32_t>(b.contacts.size());
    if (!archive.carryCount("contacts", count)) {
        return;
    }
    if (archive.loading()) {
        b.contacts.resize(count);
    }
    for (ContactRecord& contact : b.contacts) {
        carryContact(archive, contact);
    }
}

void CarryColliderState(StateArchive& archive, Collider2D& collider) {
    CARRY_STATE(archive, collider.collided, collider.groupMask, collider.offset);
}

bool BodySettled(const RigidBody2D& body) {
    return body.standing == RigidBody2D::Standing::Asleep && body.contacts.empty();
}

uint64_t PhysicsStepsRun() {
    return LiveSet::instance().stepsRun;
}

void PhysicsStateRestored(uint64_t stepsRun) {
    LiveSet& live = LiveSet::instance();
    live.stepsRun = stepsRun;
    live.invalidate();
    CollisionWorld::instance().contactsRestored();
}
