#pragma once

// Small builders for physics tests: objects with bodies and colliders hung under the World Root,
// and frames that update world transforms before stepping, as the engine's frame does.

#include "objects/game_object_list.hpp"
#include "physics/collider.hpp"
#include "physics/collision_world.hpp"
#include "physics/physics_step.hpp"
#include "physics/rigid_body.hpp"

#include <string>

namespace physics_test {

constexpr float kStep = 0.01666f;

inline void updateTransforms() {
    auto& children = WorldRoot().transform.children;
    for (size_t i = 0; i < children.size(); ++i) {
        children[i]->updateWorld();
    }
}

// One frame that runs one step.
inline void frame() {
    updateTransforms();
    PhysicsStep(kStep);
}

inline void frames(int count) {
    for (int i = 0; i < count; ++i) {
        frame();
    }
}

// Only the detection half of a step: last step's results dropped, this step's found.
inline void detect() {
    updateTransforms();
    ResetCollisionWorld();
    ClearContactLists();
    DetectCollisions();
}

struct Ball {
    GameObject* object;
    RigidBody2D* body;
    CircleCollider* collider;
};

// A circle with its own body, floating (no gravity) unless the test says otherwise.
inline Ball makeBall(vec2 at, float radius, uint32_t mask = 0, const std::string& name = "Ball") {
    GameObject* o = GameObjectList::instance().create(name);
    o->transform.setPosition(at.x, at.y, 0.0f);
    auto* body = o->addComponent<RigidBody2D>();
    body->gravityScale = 0.0f;
    auto* collider = o->addComponent<CircleCollider>();
    collider->radius = radius;
    collider->groupMask = mask;
    return {o, body, collider};
}

struct Block {
    GameObject* object;
    RigidBody2D* body;
    OBBCollider* collider;
};

// A platform as the game builds one: immovable, unrotatable, no gravity, restitution 0.5,
// group 16, and a box as large as the object's scale.
inline Block makePlatform(vec2 at, vec2 size, float turnDegrees = 0.0f) {
    GameObject* o = GameObjectList::instance().create("Platform");
    o->setTag("Platform");
    o->transform.setPosition(at.x, at.y, 0.0f);
    o->transform.setRotation(0.0f, 0.0f, turnDegrees);
    o->transform.setScale(size.x, size.y, 1.0f);
    auto* body = o->addComponent<RigidBody2D>();
    body->inverseMass = 0.0f;
    body->inverseInertia = 0.0f;
    body->gravityScale = 0.0f;
    body->restitution = 0.5f;
    auto* box = o->addComponent<OBBCollider>();
    box->width = size.x;
    box->height = size.y;
    box->groupMask = 16;
    return {o, body, box};
}

// A child object of parent at a local offset, carrying a circle (found body: the parent's).
inline CircleCollider* addChildCircle(GameObject* parent, vec2 local, float radius, uint32_t mask) {
    GameObject* child = GameObjectList::instance().create("Body");
    parent->transform.setParent(child);
    child->transform.setPosition(local.x, local.y, 0.0f);
    auto* c = child->addComponent<CircleCollider>();
    c->radius = radius;
    c->groupMask = mask;
    return c;
}

struct Tank {
    GameObject* root;
    RigidBody2D* body;
    CircleCollider* circles[4];
};

// A tank as the game builds one: the body on the root, four circles on child objects.
inline Tank makeTank(vec2 at, uint32_t mask) {
    GameObject* root = GameObjectList::instance().create("TankRoot");
    root->setTag("Tank");
    root->transform.setPosition(at.x, at.y, 0.0f);
    auto* body = root->addComponent<RigidBody2D>();
    body->gravityScale = 2.0f;
    body->linearDamping = 0.3f;
    body->restitution = 0.3f;
    body->inverseInertia = 100.0f;
    Tank tank{root, body, {}};
    const struct {
        vec2 at;
        float radius;
    } kCircles[4] = {{{0.0f, 0.0f}, 0.5f}, {{-0.8f, 0.0f}, 0.5f}, {{0.8f, 0.0f}, 0.5f}, {{0.0f, 1.2f}, 0.6f}};
    for (int i = 0; i < 4; ++i) {
        tank.circles[i] = addChildCircle(root, kCircles[i].at, kCircles[i].radius, mask);
    }
    updateTransforms();
    return tank;
}

} // namespace physics_test
