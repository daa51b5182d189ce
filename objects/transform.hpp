#pragma once

#include "objects/component.hpp"
#include "objects/math_types.hpp"

#include <vector>

// Local pose of an object and its place in the tree. Embedded in every GameObject.
// World values are derived by updateWorld(), which the engine runs once per frame.
class Transform : public Component {
  public:
    explicit Transform(GameObject* ownerObject);

    // Writes to the World Root's transform are ignored: it stays the identity.
    void setPosition(float x, float y, float z);
    void setRotation(float x, float y, float z);
    void setScale(float x, float y, float z);
    vec3 getPosition() const { return position; }

    // Called on the new parent's transform. The child keeps its world pose: its new local values
    // are its pose seen from the new parent, and it is listed in the new parent's children only.
    void setParent(GameObject* child);

    // Recomputes the world values of this transform and everything below it.
    void updateWorld();

    bool isWorldRoot() const;
    // The local matrix T * Ry * Rx * Rz * S.
    mat4 localMatrix() const;
    // The world matrix the current local values give under the parent's last world matrix.
    mat4 currentWorld() const;

    Transform* parent = nullptr;
    std::vector<Transform*> children;
    vec3 position;
    vec3 rotation; // degrees
    vec3 scale{1, 1, 1};
    vec3 worldPosition;
    vec3 worldRotation; // degrees
    vec3 worldScale{1, 1, 1};
    mat4 world; // all zero until the first update
};
