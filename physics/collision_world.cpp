#include "physics/collision_world.hpp"

#include "objects/registry.hpp"
#include "physics/collide.hpp"
#include "physics/live_set.hpp"
#include "physics/rigid_body.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

CollisionWorld& CollisionWorld::instance() {
    // Never destroyed: colliders may still leave it during static destruction.
    static auto* world = new CollisionWorld();
    return *world;
}

void CollisionWorld::add(Collider2D* collider) {
    colliders.push_back(collider);
}

void CollisionWorld::remove(Collider2D* collider) {
    UnlistFromBack(colliders, collider);
    LiveSet::instance().invalidate();
}

void CollisionWorld::forgetBody(RigidBody2D* body) {
    std::erase(bodiesWithContacts, body);
    LiveSet::instance().forget(body);
}

void CollisionWorld::contactsRestored() {
    bodiesWithContacts.clear();
    for (RigidBody2D* body : PhysicsBodies()) {
        if (!body->contacts.empty()) {
            bodiesWithContacts.push_back(body);
        }
    }
    manifolds.clear();
    pairs.clear();
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

// The same key for a pair of bodies whichever comes first. Bodies of one step are distinct
// live objects, so their addresses tell them apart; the key only finds the pair, the pair
// itself keeps its bodies in the order of the manifold that opened it.
struct BodyPairKey {
    uint64_t operator()(const RigidBody2D* a, const RigidBody2D* b) const {
        auto x = reinterpret_cast<uintptr_t>(a);
        auto y = reinterpret_cast<uintptr_t>(b);
        if (x > y) {
            std::swap(x, y);
        }
        // Mixed so that the low bits of neighbouring addresses spread over the table.
        uint64_t h = static_cast<uint64_t>(x) * 0x9E3779B97F4A7C15ull;
        return h ^ (static_cast<uint64_t>(y) + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2));
    }
};

void groupIntoPairs(CollisionWorld& world, std::unordered_map<uint64_t, size_t>& index) {
    index.clear();
    for (Manifold& m : world.manifolds) {
        const uint64_t key = BodyPairKey{}(m.bodyA, m.bodyB);
        // A collision of keys between two different pairs is checked for, and falls back to
        // a search, so grouping never merges pairs that differ.
        auto found = index.find(key);
        ContactPair* pair = nullptr;
        if (found != index.end()) {
            ContactPair& p = world.pairs[found->second];
            if ((p.bodyA == m.bodyA && p.bodyB == m.bodyB) || (p.bodyA == m.bodyB && p.bodyB == m.bodyA)) {
                pair = &p;
            } else {
                auto it = std::find_if(world.pairs.begin(), world.pairs.end(), [&](const ContactPair& q) {
                    return (q.bodyA == m.bodyA && q.bodyB == m.bodyB) ||
                           (q.bodyA == m.bodyB && q.bodyB == m.bodyA);
                });
                pair = it != world.pairs.end() ? &*it : nullptr;
            }
        }
        if (pair != nullptr) {
            pair->pointCount += m.points.size();
            pair->manifolds.push_back(&m);
        } else {
            index.emplace(key, world.pairs.size());
            world.pairs.push_back(ContactPair{{&m}, 1, m.bodyA, m.bodyB});
        }
    }
}

uint64_t pairOf(uint32_t i, uint32_t j) {
    return i < j ? (static_cast<uint64_t>(i) << 32) | j : (static_cast<uint64_t>(j) << 32) | i;
}

bool hasNaN(const Bounds& b) {
    return std::isnan(b.minX) || std::isnan(b.minY) || std::isnan(b.maxX) || std::isnan(b.maxY);
}

// Every pair of candidates whose boxes overlap, as the all-pairs loop would find them, sorted
// into that loop's order. Sorted by left edge, a candidate can only overlap those after it
// whose left edge is not past its right edge; the full box test then decides. A box holding a
// NaN compares unlike any other, so those few are tested against everything.
void findOverlaps(const std::vector<CollisionWorld::Candidate>& candidates, std::vector<uint32_t>& order,
                  std::vector<uint32_t>& wild, std::vector<uint64_t>& overlapping) {
    order.clear();
    wild.clear();
    overlapping.clear();
    const auto n = static_cast<uint32_t>(candidates.size());
    for (uint32_t i = 0; i < n; ++i) {
        (hasNaN(candidates[i].bounds) ? wild : order).push_back(i);
    }
    std::sort(order.begin(), order.end(),
              [&](uint32_t a, uint32_t b) { return candidates[a].bounds.minX < candidates[b].bounds.minX; });
    for (size_t a = 0; a < order.size(); ++a) {
        const Bounds& first = candidates[order[a]].bounds;
        for (size_t b = a + 1; b < order.size(); ++b) {
            const Bounds& second = candidates[order[b]].bounds;
            if (second.minX > first.maxX) {
                break; // and so is every later one's
            }
            if (overlap(first, second)) {
                overlapping.push_back(pairOf(order[a], order[b]));
            }
        }
    }
    for (uint32_t w : wild) {
        for (uint32_t i = 0; i < n; ++i) {
            // Two wild ones meet once, from the lower index.
            bool seen = hasNaN(candidates[i].bounds) && i < w;
            if (i != w && !seen && overlap(candidates[w].bounds, candidates[i].bounds)) {
                overlapping.push_back(pairOf(w, i));
            }
        }
    }
    std::sort(overlapping.begin(), overlapping.end());
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

    findOverlaps(candidates, world.sweepOrder, world.wild, world.overlapping);
    for (uint64_t key : world.overlapping) {
        const CollisionWorld::Candidate& first = candidates[static_cast<size_t>(key >> 32)];
        const CollisionWorld::Candidate& second = candidates[static_cast<size_t>(key & 0xffffffffu)];
        if (first.body == second.body || (first.groupMask & second.groupMask) != 0) {
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

    groupIntoPairs(world, world.pairIndex);
}
