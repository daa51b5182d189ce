#pragma once

#include "objects/component.hpp"
#include "objects/math_types.hpp"

#include <cstdint>
#include <string>

class RigidBody2D;

// Shape kinds, which pick the exact test.
constexpr uint32_t kCircleShape = 1;
constexpr uint32_t kBoxShape = 2;

// World-space bounding box, refreshed every step.
struct Bounds {
    float minX = 0.0f;
    float minY = 0.0f;
    float maxX = 0.0f;
    float maxY = 0.0f;
};

// Collision shape of an object. Its body is found once, at creation: the first RigidBody2D on
// the owner or, failing that, up the parent chain. So a body goes on before its colliders, and
// the object already hangs in its final place. A collider without a body anywhere takes no
// part in detection.
class Collider2D : public Component {
  public:
    Collider2D(std::string kindName, GameObject* ownerObject, uint32_t shape);
    // Leaves the collision world.
    ~Collider2D() override;

    // Recomputes bounds from the owner's world pose.
    virtual void UpdateBounds() = 0;

    // Where the shape's centre sits in the world: the owner's world matrix applied to offset.
    vec2 worldCentre() const;

    RigidBody2D* rigidBody = nullptr;
    vec2 offset; // in the owner's local frame
    Bounds bounds;
    uint32_t shapeType;
    uint32_t groupMask = 0; // colliders whose masks share a bit never touch
    bool collided = false;  // some exact test of this collider found contact in the last step
};

class CircleCollider : public Collider2D {
  public:
    explicit CircleCollider(GameObject* ownerObject);
    void UpdateBounds() override;

    float radius = 1.0f; // not scaled by the owner
};

// Oriented box. The axes are its directions before the owner's rotation.
class OBBCollider : public Collider2D {
  public:
    explicit OBBCollider(GameObject* ownerObject);
    void UpdateBounds() override;

    float width = 1.0f;
    float height = 1.0f;
    vec2 upAxis{0.0f, 1.0f};
    vec2 rightAxis{1.0f, 0.0f};
};

// Rotates v by the given angle in degrees, counter-clockwise.
vec2 rotateDegrees(vec2 v, float degrees);
