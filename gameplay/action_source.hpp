#pragma once

// Where a tank's actions come from each frame. A person's come from the input through the
// control scheme; a computer player or a recorded match supplies the same record instead, so
// every rule of the match applies to them unchanged.

#include "engine/control_scheme.hpp"

class Player;

class ActionSource {
  public:
    virtual ~ActionSource() = default;
    // This frame's actions of the player; called once per frame while the player runs.
    virtual PlayerActions actionsFor(const Player& player) = 0;
};

// Watches every player's actions as they are used (a recording of the match). At most one.
class ActionObserver {
  public:
    virtual ~ActionObserver() = default;
    virtual void onActions(const Player& player, const PlayerActions& actions) = 0;
};
void SetActionObserver(ActionObserver* observer);
ActionObserver* CurrentActionObserver();
