#include "physics/collision_world.hpp"

#include "physics/collide.hpp"
#include "physics/live_set.hpp"
#include "physics/rigid_body.hpp"

#include <algorithm>

CollisionWorld& CollisionWorld::instance() {
    // Never destroyed: colliders may still leave it during static destruction.
    static auto* world = new CollisionWorld();
    return *world;
}

void CollisionWorld::add(Collider2D* collider) {
    colliders.push_back(collider);
}

void CollisionWorld::remove(Collider2D* collider) {
    if (auto it = std::find(colliders.begin(), colliders.end(), collider); it != colliders.end()) {
        colliders.erase(it);
    }
    LiveSet::instance().invalidate();
}

void CollisionWorld::forgetBody(RigidBody2D* body) {
    std::erase(bodiesWithContacts, body);
    LiveSet::instance().forget(body);
}

void ResetCollisionWorld() {
    LiveSet& live = LiveSet::instance();
    live.refresh();
    for (Collider2D* c : live.colliders) {
        c->collided = false;
    }
    CollisionWorld& world = CollisionWorld::instance();
    world.manifolds.clear();
    world.pairs.clear();
}

void ClearContactLists() {
    CollisionWorld& world = CollisionWorld::instance();
    for (RigidBody2D* body : world.bodiesWithContacts) {
        body->ClearContacts();
    }
    world.bodiesWithContacts.clear();
}

namespace {

// Touching edges count as overlap.
bool overlap(const Bounds& a, const Bounds& b) {
    return !(b.minX > a.maxX || a.minX > b.maxX || b.minY > a.maxY || a.minY > b.maxY);
}

void groupIntoPairs(CollisionWorld& world) {
    for (Manifold& m : world.manifolds) {
        auto it = std::find_if(world.pairs.begin(), world.pairs.end(), [&](const ContactPair& p) {
            return (p.bodyA == m.bodyA && p.bodyB == m.bodyB) || (p.bodyA == m.bodyB && p.bodyB == m.bodyA);
        });
        if (it != world.pairs.end()) {
            it->pointCount += m.points.size();
            it->manifolds.push_back(&m);
        } else {
            world.pairs.push_back(ContactPair{{&m}, 1, m.bodyA, m.bodyB});
        }
    }
}

} // namespace

void DetectCollisions() {
    CollisionWorld& world = CollisionWorld::instance();
    LiveSet& live = LiveSet::instance();
    live.refresh();

    // Colliders of switched-off objects are neither refreshed nor tested: when they come back,
    // their bounds are recomputed here before any test reads them.
    auto& candidates = world.candidates;
    candidates.clear();
    for (Collider2D* c : live.colliders) {
        if (c->rigidBody == nullptr) {
            continue; // nothing to move it or to hold its contacts
        }
        c->UpdateBounds();
        candidates.push_back({c->bounds, c->groupMask, c->rigidBody, c});
    }

    const size_t n = candidates.size();
    for (size_t i = 0; i < n; ++i) {
        const CollisionWorld::Candidate& first = candidates[i];
        for (size_t j = i + 1; j < n; ++j) {
            const CollisionWorld::Candidate& second = candidates[j];
            // Boxes first: they reject almost every pair, and the order of the checks is not seen.
            if (!overlap(first.bounds, second.bounds) || first.body == second.body ||
                (first.groupMask & second.groupMask) != 0) {
                continue;
            }
            Manifold m;
            bool hit = Collide(*first.collider, *second.collider, m);
            if (hit) {
                world.manifolds.push_back(m);
                for (RigidBody2D* body : {first.body, second.body}) {
                    if (body->contacts.empty()) {
                        world.bodiesWithContacts.push_back(body);
                    }
                }
                first.body->contacts.push_back({m, first.collider, second.collider});
                second.body->contacts.push_back({m, second.collider, first.collider});
            }
            if (!first.collider->collided) {
                first.collider->collided = hit;
            }
            if (!second.collider->collided) {
                second.collider->collided = hit;
            }
        }
    }

    groupIntoPairs(world);
}
