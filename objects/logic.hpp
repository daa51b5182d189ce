#pragma once

#include "objects/component.hpp"

#include <vector>

// Behaviour component. Every Logic registers itself on construction and is updated once
// per frame by the engine while it is enabled and its owner is active. There are no
// collision callbacks: behaviour polls its collider and body for contacts.
class Logic : public Component {
  public:
    Logic(std::string kindName, GameObject* ownerObject);
    ~Logic() override;

    virtual void Update() = 0;
};

// The process-wide registry, in order of construction. It does not own the components.
std::vector<Logic*>& LogicRegistry();

// Updates every enabled Logic of an active object, by index, re-reading the registry size
// after every call so components created during the pass are updated in the same pass.
void UpdateLogics();
