#pragma once

#include "objects/component.hpp"
#include "objects/math_types.hpp"
#include "physics/manifold.hpp"

#include <cstdint>
#include <vector>

class StateArchive;

// World gravity, shared by every body and never changed at run time.
constexpr vec2 kGravity{0.0f, -9.8f};

// Mass, velocity and spin of an object, moved in fixed steps. The body's position is the
// authority during a step and is mirrored into the owner's transform after every change, so
// code that moves an object with a body goes through SetPosition.
class RigidBody2D : public Component {
  public:
    // Takes position and rotation from the owner's transform and joins PhysicsBodies.
    explicit RigidBody2D(GameObject* ownerObject);
    // Leaves PhysicsBodies and drops its contacts.
    ~RigidBody2D() override;

    // Moves the body and its owner's transform (z kept).
    void SetPosition(float x, float y);
    // Forces and gravity into velocity; damping first, so this step's force is not damped.
    void IntegrateVelocity(float dt);
    // Velocity into position and rotation, then into the owner's transform.
    void IntegratePosition(float dt);
    void ClearContacts();
    // Adds a push for the next step. Every step drops the force of every body, in play or
    // not; for a body whose object is switched off that happens lazily, so pushes given to it
    // after the last step still count when it comes back in the same frame. Gameplay pushes
    // go through these; a plain write to force works the same for bodies in play.
    void AddForce(vec2 push);
    void AddTorque(float turn);

    vec2 position;
    vec2 velocity;
    float inverseMass = 1.0f; // 0 is immovable
    float rotation = 0.0f;    // degrees
    float angularVelocity = 0.0f;
    float inverseInertia = 1.0f;
    float linearDamping = 1.0f; // fraction of velocity that survives one second
    float angularDamping = 0.95f;
    float gravityScale = 1.0f;
    float staticFriction = 0.155f;
    float dynamicFriction = 0.1f;
    float restitution = 0.2f;
    vec2 acceleration;
    vec2 force; // gameplay adds to it; zeroed after every step
    float torque = 0.0f;
    bool simulated = true;               // false: neither integrated nor moved
    bool respondsToCollisions = true;    // false: impulses and corrections leave it alone
    std::vector<ContactRecord> contacts; // contacts of the last step

  private:
    friend class LiveSet;
    friend void CarryBodyState(StateArchive& archive, RigidBody2D& body);
    friend bool BodySettled(const RigidBody2D& body);
    // Where the live set filed this body at its last refresh. A body whose object was switched
    // off is asleep: its force is left alone until the object comes back.
    enum class Standing : uint8_t { Unseen, Live, Dormant, Asleep, Woken };
    Standing standing = Standing::Unseen;
    // The number of steps run when force was last pushed through AddForce or AddTorque.
    uint64_t forceStep = 0;
    // An asleep body's force from before the last step is stale: drop it.
    void dropStaleForce();

    // A damping value raised to the step length, kept because neither changes between steps
    // and pow is the dearest part of integrating a body.
    struct DampingFactor {
        float of(float damping, float dt);
        float damping = 0.0f;
        float dt = 0.0f;
        float factor = 1.0f;
        bool valid = false;
    };
    DampingFactor linearFactor;
    DampingFactor angularFactor;
};

// Every live body, in order of creation. It does not own them.
std::vector<RigidBody2D*>& PhysicsBodies();
