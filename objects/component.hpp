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

    void setEnabled(bool value) { enabled = value; }

    bool enabled = true;
    std::string name;
    GameObject* owner = nullptr;
};
