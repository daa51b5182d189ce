#include "physics/live_set.hpp"

#include "objects/game_object.hpp"
#include "physics/collider.hpp"
#include "physics/collision_world.hpp"
#include "physics/rigid_body.hpp"

#include <algorithm>

namespace {

bool inPlay(const Component* c) {
    return c->enabled && c->owner != nullptr && c->owner->active;
}

bool isPhysics(Component* c) {
    return dynamic_cast<Collider2D*>(c) != nullptr || dynamic_cast<RigidBody2D*>(c) != nullptr;
}

void zeroForce(RigidBody2D* body) {
    body->force = {};
    body->torque = 0.0f;
}

} // namespace

LiveSet& LiveSet::instance() {
    static auto* set = new LiveSet();
    return *set;
}

LiveSet::LiveSet() {
    AddActivationObserver(&LiveSet::onActivation);
}

void LiveSet::onActivation(GameObject* object, Component* component) {
    LiveSet& set = instance();
    if (component != nullptr) {
        // A member switched off is dropped by the next refresh's pass over the lists; one
        // switched on has to be found in the registry in its place.
        if (component->enabled && isPhysics(component)) {
            set.invalidate();
        }
        return;
    }
    if (object == nullptr || !object->active) {
        return;
    }
    for (Component* c : object->components) {
        if (!isPhysics(c)) {
            continue;
        }
        set.invalidate();
        // Force from before the last step would have been dropped by it; pushes since then
        // count, as they would for a body that had been in play all along.
        if (auto* body = dynamic_cast<RigidBody2D*>(c);
            body != nullptr && body->standing == RigidBody2D::Standing::Asleep) {
            body->dropStaleForce();
            body->standing = RigidBody2D::Standing::Woken;
        }
    }
}

void LiveSet::file(RigidBody2D* body) {
    using Standing = RigidBody2D::Standing;
    if (inPlay(body)) {
        bodies.push_back(body);
        body->standing = Standing::Live;
    } else if (body->owner == nullptr || body->owner->active) {
        dormant.push_back(body);
        body->standing = Standing::Dormant;
    } else if (body->standing != Standing::Asleep) {
        // The step that follows still clears what was added before the switch-off.
        settling.push_back(body);
        body->standing = Standing::Asleep;
    }
}

void LiveSet::rebuild() {
    const auto& registered = CollisionWorld::instance().colliders;
    colliders.clear();
    for (Collider2D* c : registered) {
        if (inPlay(c)) {
            colliders.push_back(c);
        }
    }
    scannedColliders = registered.size();

    const auto& all = PhysicsBodies();
    bodies.clear();
    dormant.clear();
    for (RigidBody2D* body : all) {
        file(body);
    }
    scannedBodies = all.size();
    rescan = false;
}

void LiveSet::dropSwitchedOff() {
    std::erase_if(colliders, [](Collider2D* c) { return !inPlay(c); });

    size_t kept = 0;
    for (RigidBody2D* body : bodies) {
        if (inPlay(body)) {
            bodies[kept++] = body;
        } else {
            file(body);
        }
    }
    bodies.resize(kept);

    kept = 0;
    for (size_t i = 0; i < dormant.size(); ++i) {
        RigidBody2D* body = dormant[i];
        if (inPlay(body)) {
            // Switched back on: its place among the live bodies is in the registry.
            rescan = true;
        } else if (body->owner != nullptr && !body->owner->active) {
            file(body);
        } else {
            dormant[kept++] = body;
        }
    }
    dormant.resize(kept);
}

void LiveSet::refresh() {
    if (rescan) {
        rebuild();
        return;
    }
    // Members created since the last refresh sit at the registries' ends, after every member
    // already listed, so appending keeps registry order.
    const auto& registered = CollisionWorld::instance().colliders;
    for (; scannedColliders < registered.size(); ++scannedColliders) {
        if (inPlay(registered[scannedColliders])) {
            colliders.push_back(registered[scannedColliders]);
        }
    }
    const auto& all = PhysicsBodies();
    for (; scannedBodies < all.size(); ++scannedBodies) {
        file(all[scannedBodies]);
    }
    dropSwitchedOff();
    if (rescan) {
        rebuild();
    }
}

void LiveSet::forget(RigidBody2D* body) {
    std::erase(settling, body);
    rescan = true;
}

void LiveSet::clearForces() {
    for (RigidBody2D* body : bodies) {
        zeroForce(body);
    }
    for (RigidBody2D* body : dormant) {
        zeroForce(body);
    }
    for (RigidBody2D* body : settling) {
        zeroForce(body);
    }
    settling.clear();
    ++stepsRun;
}
