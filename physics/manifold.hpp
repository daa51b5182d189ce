#pragma once

#include "objects/math_types.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class RigidBody2D;
class Collider2D;

// Contact points of one manifold. An exact test finds one point, or two when a circle's centre
// lies inside a box, so the list lives inline and copying a manifold into the contact records
// of both bodies allocates nothing.
class ContactPoints {
  public:
    static constexpr size_t kCapacity = 2;

    void push_back(vec2 p) {
        if (count < kCapacity) {
            items[count++] = p;
        }
    }
    size_t size() const { return count; }
    bool empty() const { return count == 0; }
    vec2 operator[](size_t i) const { return items[i]; }
    const vec2* begin() const { return items.data(); }
    const vec2* end() const { return items.data() + count; }

  private:
    std::array<vec2, kCapacity> items{};
    size_t count = 0;
};

// Material values a fresh manifold starts with; the material mix overwrites them before use.
constexpr float kManifoldStaticFriction = 0.3f;
constexpr float kManifoldDynamicFriction = 0.2f;
constexpr float kManifoldRestitution = 0.3f;

// The result of one successful exact test. The normal points from bodyB towards bodyA.
struct Manifold {
    RigidBody2D* bodyA = nullptr;
    RigidBody2D* bodyB = nullptr;
    ContactPoints points; // world space
    vec2 normal;          // unit length
    float penetration = 0.0f;
    float staticFriction = kManifoldStaticFriction;
    float dynamicFriction = kManifoldDynamicFriction;
    float restitution = kManifoldRestitution;
};

// The manifolds of one unordered pair of bodies in one step. The impulse and the correction
// of each manifold are divided by pointCount, so a body resting on several shapes at once is
// not pushed several times over.
struct ContactPair {
    std::vector<Manifold*> manifolds;
    uint64_t pointCount = 0;
    RigidBody2D* bodyA = nullptr; // as in the manifold that opened the pair
    RigidBody2D* bodyB = nullptr;
};

// One entry of a body's contact list: what gameplay polls. self is this body's collider in
// the test, other the collider it touched.
struct ContactRecord {
    Manifold manifold;
    Collider2D* self = nullptr;
    Collider2D* other = nullptr;
};
