#pragma once

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

    // Tells the activation observers when the flag actually flips.
    void setEnabled(bool value);

    bool enabled = true;
    std::string name;
    GameObject* owner = nullptr;
};

// Told when setEnabled or setActive actually flips a flag: with the component (object = its
// owner) or with the object alone (component null). Registries that keep compact lists of what
// is in play (the physics world) follow switches through this instead of scanning all their
// members every step. Flags written directly are not reported.
using ActivationObserver = void (*)(GameObject* object, Component* component);
void AddActivationObserver(ActivationObserver observer);
void NotifyActivation(GameObject* object, Component* component);
