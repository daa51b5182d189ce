#pragma once

// Small builders for physics tests: objects with bodies and colliders hung under the World Root,
// and frames that update world transforms before stepping, as the engine's frame does.

#include "gameplay/object_factory.hpp"
#include "gameplay/player.hpp"
#include "objects/game_object_list.hpp"
#include "objects/world_update.hpp"
#include "physics/collider.hpp"
#include "physics/collision_world.hpp"
#include "physics/physics_step.hpp"
#include "physics/rigid_body.hpp"

#include <string>

namespace physics_test {

constexpr float kStep = 0.01666f;

// One frame that runs one step.
inline void frame() {
    UpdateWorldTransforms();
    PhysicsStep(kStep);
}

inline void frames(int count) {
    for (int i = 0; i < count; ++i) {
        frame();
    }
}

// Only the detection half of a step: last step's results dropped, this step's found.
inline void detect() {
    UpdateWorldTransforms();
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

// A tank from the game's own factory, in player 1's group: the body on the root and four
// circles on child objects (body, left wheel, right wheel, top).
inline Tank makeTank(vec2 at) {
    Player* player = nullptr;
    TankParts t = *MakeTank(player, 1, {at.x, at.y, 0.0f});
    UpdateWorldTransforms();
    return {t.tankRoot, t.rigidBody, {t.bodyCollider, t.leftCollider, t.rightCollider, t.topCollider}};
}

} // namespace physics_test
