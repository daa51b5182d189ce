#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class Collider2D;
class Component;
class GameObject;
class RigidBody2D;

// The colliders and bodies that take part in a step: owner active and component enabled, in
// registry order. Bullets and explosions are only switched off during a match, never destroyed,
// so the registries fill with thousands of dead members; the step walks these lists instead.
//
// The lists are kept up to date cheaply: members switched off are dropped by a pass over the
// lists themselves, new members are read from the registries' tails, and only switching
// something on (which the activation observers report) or destroying a member makes the next
// refresh rescan the registries.
class LiveSet {
  public:
    static LiveSet& instance();

    // Brings the lists up to date with the registries and the flags.
    void refresh();
    // The next refresh rescans the registries (a member was destroyed or switched on).
    void invalidate() { rescan = true; }
    // A body is being destroyed.
    void forget(RigidBody2D* body);

    // Zeroes force and torque of every body whose force the step consumes or must drop: live
    // bodies, disabled bodies of active objects, and bodies whose object was switched off
    // since the last step. Bodies asleep longer drop what is older than the last step when
    // they are pushed or come back. Counts the step.
    void clearForces();

    uint64_t stepsRun = 0;

    std::vector<Collider2D*> colliders;
    std::vector<RigidBody2D*> bodies;

  private:
    LiveSet();
    void rebuild();
    void file(RigidBody2D* body);
    void dropSwitchedOff();
    static void onActivation(GameObject* object, Component* component);

    std::vector<RigidBody2D*> dormant;  // disabled on an active object: not integrated
    std::vector<RigidBody2D*> settling; // switched off since the last step
    size_t scannedColliders = 0;
    size_t scannedBodies = 0;
    bool rescan = true;
};
