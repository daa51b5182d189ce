#pragma once

#include "physics/collider.hpp"
#include "physics/manifold.hpp"

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

    std::vector<Collider2D*> colliders;
    std::vector<Manifold> manifolds; // this step's
    std::vector<ContactPair> pairs;  // this step's, one per pair of bodies that touched

  private:
    friend void ResetCollisionWorld();
    friend void ClearContactLists();
    friend void DetectCollisions();

    // A live collider's data for the all-pairs loop, packed so that loop reads one array.
    struct Candidate {
        Bounds bounds;
        uint32_t groupMask;
        RigidBody2D* body;
        Collider2D* collider;
    };
    std::vector<Candidate> candidates;
    // Bodies whose contact lists are not empty: the only ones clearing has to visit.
    std::vector<RigidBody2D*> bodiesWithContacts;
};

// Clears collided on every active, enabled collider and discards last step's manifolds and pairs.
void ResetCollisionWorld();
// Empties the contact list of every body (only those that hold contacts are visited).
void ClearContactLists();
// Refreshes bounds, tests every pair of active colliders in list order, records manifolds and
// contact records, and groups the manifolds by pair of bodies.
void DetectCollisions();
