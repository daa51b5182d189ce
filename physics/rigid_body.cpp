#include "physics/rigid_body.hpp"

#include "objects/game_object.hpp"
#include "objects/portable_math.hpp"
#include "objects/registry.hpp"
#include "physics/collision_world.hpp"
#include "physics/live_set.hpp"

#include <algorithm>
#include <cmath>

std::vector<RigidBody2D*>& PhysicsBodies() {
    // Never destroyed: bodies may still unregister during static destruction.
    static auto* bodies = new std::vector<RigidBody2D*>();
    return *bodies;
}

RigidBody2D::RigidBody2D(GameObject* ownerObject) : Component("RigidBody2D", ownerObject) {
    if (owner != nullptr) {
        const Transform& t = owner->transform;
        position = {t.position.x, t.position.y};
        rotation = t.rotation.z;
    }
    PhysicsBodies().push_back(this);
}

RigidBody2D::~RigidBody2D() {
    UnlistFromBack(PhysicsBodies(), this);
    ClearContacts();
    CollisionWorld::instance().forgetBody(this);
}

void RigidBody2D::SetPosition(float x, float y) {
    position = {x, y};
    if (owner != nullptr) {
        Transform& t = owner->transform;
        t.setPosition(x, y, t.position.z);
    }
}

float RigidBody2D::DampingFactor::of(float value, float step) {
    if (!valid || value != damping || step != dt) {
        damping = value;
        dt = step;
        factor = portable::pow(value, step);
        valid = true;
    }
    return factor;
}

void RigidBody2D::IntegrateVelocity(float dt) {
    if (!simulated) {
        return;
    }
    acceleration = force * inverseMass;
    float angularAcceleration = torque * inverseInertia;
    acceleration += kGravity * gravityScale;
    velocity = velocity * linearFactor.of(linearDamping, dt);
    angularVelocity *= angularFactor.of(angularDamping, dt);
    velocity += acceleration * dt;
    angularVelocity += angularAcceleration * dt;
}

void RigidBody2D::IntegratePosition(float dt) {
    if (!simulated) {
        return;
    }
    position += velocity * dt;
    rotation += angularVelocity * dt;
    if (owner != nullptr) {
        Transform& t = owner->transform;
        t.setPosition(position.x, position.y, t.position.z);
        t.setRotation(0.0f, 0.0f, rotation);
    }
}

void RigidBody2D::ClearContacts() {
    contacts.clear();
}

void RigidBody2D::dropStaleForce() {
    if (standing == Standing::Asleep && forceStep != LiveSet::instance().stepsRun) {
        force = {};
        torque = 0.0f;
    }
}

void RigidBody2D::AddForce(vec2 push) {
    dropStaleForce();
    forceStep = LiveSet::instance().stepsRun;
    force += push;
}

void RigidBody2D::AddTorque(float turn) {
    dropStaleForce();
    forceStep = LiveSet::instance().stepsRun;
    torque += turn;
}
