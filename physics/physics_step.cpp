#include "physics/physics_step.hpp"

#include "objects/game_object.hpp"
#include "physics/collision_world.hpp"
#include "physics/contact_response.hpp"
#include "physics/live_set.hpp"
#include "physics/rigid_body.hpp"

#include <algorithm>

namespace {

bool responds(const ContactPair& pair) {
    return (pair.bodyA != nullptr && pair.bodyA->respondsToCollisions) ||
           (pair.bodyB != nullptr && pair.bodyB->respondsToCollisions);
}

// Runs stage on every manifold of every pair in which some body responds to collisions.
template <class Stage> void forRespondingManifolds(Stage stage) {
    for (ContactPair& pair : CollisionWorld::instance().pairs) {
        if (!responds(pair)) {
            continue;
        }
        float count = static_cast<float>(pair.pointCount);
        for (Manifold* m : pair.manifolds) {
            stage(*m, count);
        }
    }
}

} // namespace

void PhysicsStep(float dt) {
    ResetCollisionWorld();
    ClearContactLists();
    DetectCollisions();
    LiveSet& live = LiveSet::instance();
    for (RigidBody2D* body : live.bodies) {
        body->IntegrateVelocity(dt);
    }
    forRespondingManifolds([](Manifold& m, float) { MixMaterials(m); });
    forRespondingManifolds([](Manifold& m, float count) { ApplyImpulse(m, count); });
    for (RigidBody2D* body : live.bodies) {
        body->IntegratePosition(dt);
    }
    forRespondingManifolds([](Manifold& m, float count) { CorrectPosition(m, count); });
    live.clearForces();
}

void RefreshBodyTransforms() {
    // Only bodies move during a step; a body below another body's object is recomputed again
    // by its ancestor's update, whichever comes first, so the order does not matter.
    for (RigidBody2D* body : LiveSet::instance().bodies) {
        if (body->owner != nullptr) {
            body->owner->transform.updateWorld();
        }
    }
}

void CreatePhysicsWorld() {
    PhysicsBodies();
    CollisionWorld::instance();
    LiveSet::instance();
}

void DestroyRemainingColliders() {
    auto& colliders = CollisionWorld::instance().colliders;
    while (!colliders.empty()) {
        Collider2D* collider = colliders.front();
        // Its object must not delete it a second time.
        if (collider->owner != nullptr) {
            std::erase(collider->owner->components, static_cast<Component*>(collider));
        }
        delete collider; // leaves the list
    }
}
