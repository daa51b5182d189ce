#include "physics/contact_response.hpp"

#include "physics/rigid_body.hpp"

#include <algorithm>

namespace {

// Below this a sum of inverse masses or a depth counts as zero.
constexpr float kResponseEpsilon = 1e-5f;
// Contacts slower than a fifth of gravity's pull per second do not bounce.
constexpr float kRestingSpeedFactor = 0.2f;

float invMass(const RigidBody2D* body) {
    return body != nullptr ? body->inverseMass : 0.0f;
}

vec2 pointVelocity(const RigidBody2D* body, vec2 r) {
    return body != nullptr ? body->velocity + cross(body->angularVelocity, r) : vec2{};
}

vec2 bodyPosition(const RigidBody2D* body) {
    return body != nullptr ? body->position : vec2{};
}

} // namespace

void MixMaterials(Manifold& m) {
    RigidBody2D* a = m.bodyA;
    RigidBody2D* b = m.bodyB;
    if (a == nullptr || b == nullptr) {
        return;
    }
    m.staticFriction = (a->staticFriction + b->staticFriction) / 2.0f;
    m.dynamicFriction = (a->dynamicFriction + b->dynamicFriction) / 2.0f;
    m.restitution = std::min(a->restitution, b->restitution);
    const float restingSpeed2 = lengthSquared(kGravity * kRestingSpeedFactor) + kResponseEpsilon;
    for (vec2 p : m.points) {
        vec2 rA = p - a->position;
        vec2 rB = p - b->position;
        vec2 rv = pointVelocity(b, rB) - pointVelocity(a, rA);
        if (lengthSquared(rv) < restingSpeed2) {
            m.restitution = 0.0f;
        }
    }
}

void ApplyImpulse(Manifold& m, float count) {
    RigidBody2D* a = m.bodyA;
    RigidBody2D* b = m.bodyB;
    float invMassA = invMass(a);
    float invMassB = invMass(b);
    if (invMassA + invMassB <= kResponseEpsilon) {
        return;
    }
    float invInertiaA = a != nullptr ? a->inverseInertia : 0.0f;
    float invInertiaB = b != nullptr ? b->inverseInertia : 0.0f;
    for (vec2 p : m.points) {
        vec2 rA = p - bodyPosition(a);
        vec2 rB = p - bodyPosition(b);
        vec2 rv = pointVelocity(b, rB) - pointVelocity(a, rA);
        float vn = dot(rv, m.normal);
        if (vn < 0.0f) {
            return; // separating already
        }
        float rAn = cross(rA, m.normal);
        float rBn = cross(rB, m.normal);
        float k = invMassA + invMassB + rAn * rAn * invInertiaA + rBn * rBn * invInertiaB;
        float j = -(1.0f + m.restitution) * vn / k / count;
        vec2 impulse = m.normal * j;
        if (a != nullptr && a->respondsToCollisions) {
            a->velocity -= impulse * invMassA;
            a->angularVelocity += invInertiaA * cross(rA, -impulse);
        }
        if (b != nullptr && b->respondsToCollisions) {
            b->velocity += impulse * invMassB;
            b->angularVelocity += invInertiaB * cross(rB, impulse);
        }
    }
}

void CorrectPosition(Manifold& m, float count) {
    RigidBody2D* a = m.bodyA;
    RigidBody2D* b = m.bodyB;
    if (std::abs(m.penetration) <= kResponseEpsilon) {
        return;
    }
    float invMassA = invMass(a);
    float invMassB = invMass(b);
    float massSum = invMassA + invMassB;
    if (massSum <= kResponseEpsilon) {
        return;
    }
    vec2 correction = m.normal * (m.penetration / massSum) / count;
    if (a != nullptr && a->respondsToCollisions) {
        vec2 p = a->position + correction * invMassA;
        a->SetPosition(p.x, p.y);
    }
    if (b != nullptr && b->respondsToCollisions) {
        vec2 p = b->position - correction * invMassB;
        b->SetPosition(p.x, p.y);
    }
}
