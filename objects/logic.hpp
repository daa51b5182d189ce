#pragma once

#include "objects/component.hpp"

#include <cstdint>
#include <vector>

class StateArchive;
class WorldHasher;

// Behaviour component. Every Logic registers itself on construction and is updated once
// per frame by the engine while it is enabled and its owner is active. There are no
// collision callbacks: behaviour polls its collider and body for contacts.
class Logic : public Component {
  public:
    Logic(std::string kindName, GameObject* ownerObject);
    ~Logic() override;

    virtual void Update() = 0;

    // Adds what this behaviour carries from one frame to the next to the world's hash, which
    // online machines compare to find out whether they still agree. Behaviour that only shows or
    // sounds (particles, screen effects) adds nothing; behaviour that plays a part adds
    // hashPresence() and every field it reads again in a later frame.
    virtual void hashState(WorldHasher& /*hasher*/) const {}

    // Carries the same fields into a saved state of the match and back (a rollback), with
    // CARRY_STATE (objects/state_archive.hpp). The object's switches and pose are saved with the
    // object; this adds the fields of the behaviour's own.
    virtual void carryState(StateArchive& /*archive*/) {}
    // Done for good: its object is switched off and nothing in the match switches it on or
    // changes it again (a spent bullet, a finished explosion, an opened crate). Saved states stop
    // copying such an object once its body has settled; only a rollback brings it back.
    virtual bool finished() const { return false; }

  protected:
    // Whether it runs (enabled, its object active) and where its object stands.
    void hashPresence(WorldHasher& hasher) const;

  private:
    friend class LiveLogics;
    uint64_t sequence = 0; // construction order, which is registry order
    bool listed = false;   // in the live list the update pass walks
};

// The process-wide registry, in order of construction. It does not own the components.
std::vector<Logic*>& LogicRegistry();

// Updates every enabled Logic of an active object, in registry order, once. Components created
// during the pass are updated in the same pass, and one switched on during the pass runs in it
// when it comes later in the registry than the one running, just as a walk of the registry by
// index would do. The pass walks only what can be in play: the spent bullets and explosions a
// long match leaves behind cost nothing.
void UpdateLogics();
