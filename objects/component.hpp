#pragma once

#include "objects/activation_flag.hpp"

#include <string>

class GameObject;

// Base of everything an object holds. Components are owned by their object and
// destroyed with it; registries that walk a kind of component keep plain pointers.
class Component {
  public:
    Component(std::string kindName, GameObject* ownerObject);
    virtual ~Component() = default;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    void setEnabled(bool value) { enabled = value; }

    // Every real flip is reported to the activation observers, however it is written.
    ActivationFlag enabled{true, this, &Component::reportFlip};
    std::string name;
    GameObject* owner = nullptr;

  private:
    static void reportFlip(void* component);
};

// Told whenever a component's enabled flag or an object's active flag actually flips: with the
// component (object = its owner) or with the object alone (component null). Registries that keep
// compact lists of what is in play (the physics world) follow switches through this instead of
// scanning all their members every step.
using ActivationObserver = void (*)(GameObject* object, Component* component);
void AddActivationObserver(ActivationObserver observer);
void NotifyActivation(GameObject* object, Component* component);
