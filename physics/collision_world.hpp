#pragma once

#include "physics/collider.hpp"
#include "physics/manifold.hpp"

#include <cstdint>
#include <unordered_map>
#include <vector>

// The colliders of the running game and what the last step found between them.
class CollisionWorld {
  public:
    static CollisionWorld& instance();

    // Colliders join in creation order and leave from wherever they are, order kept.
    void add(Collider2D* collider);
    void remove(Collider2D* collider);
    // A body is being destroyed: it no longer has contacts to clear.
    void forgetBody(RigidBody2D* body);
    // Bodies' contact lists were put back from a saved state: those holding contacts are listed
    // anew for the next clearing, and this step's manifolds and pairs are dropped.
    void contactsRestored();

    std::vector<Collider2D*> colliders;
    std::vector<Manifold> manifolds; // this step's
    std::vector<ContactPair> pairs;  // this step's, one per pair of bodies that touched

    // A live collider's data for detection, packed so the broad phase reads one array.
    struct Candidate {
        Bounds bounds;
        uint32_t groupMask;
        RigidBody2D* body;
        Collider2D* collider;
    };

  private:
    friend void ResetCollisionWorld();
    friend void ClearContactLists();
    friend void DetectCollisions();

    std::vector<Candidate> candidates;
    // Scratch of the broad phase, kept between steps so a step allocates nothing once warm.
    std::vector<uint32_t> sweepOrder;  // candidates with ordinary bounds, by left edge
    std::vector<uint32_t> wild;        // candidates whose bounds hold a NaN
    std::vector<uint64_t> overlapping; // pairs of candidate indices (lower << 32 | higher)
    // Pair of bodies -> its index in pairs, for grouping manifolds in one pass.
    std::unordered_map<uint64_t, size_t> pairIndex;
    // Bodies whose contact lists are not empty: the only ones clearing has to visit.
    std::vector<RigidBody2D*> bodiesWithContacts;
};

// Clears collided on every active, enabled collider and discards last step's manifolds and pairs.
void ResetCollisionWorld();
// Empties the contact list of every body (only those that hold contacts are visited).
void ClearContactLists();
// Refreshes bounds, tests every pair of active colliders in list order, records manifolds and
// contact records, and groups the manifolds by pair of bodies. Only pairs whose boxes overlap
// are tested, found by a sweep along x; they are tested in the order of the all-pairs loop, so
// manifolds, contact lists and pairs come out in that order.
void DetectCollisions();
