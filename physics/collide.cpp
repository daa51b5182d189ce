#include "physics/collide.hpp"

#include "objects/game_object.hpp"

#include <limits>

namespace {

// Below this a distance or separation counts as zero.
constexpr float kContactEpsilon = 1e-5f;

} // namespace

float BoxTurn(const OBBCollider& box) {
    return box.owner->transform.rotation.z;
}

// Normal convention for every test below: the normal points from bodyB towards bodyA.

// Circle 1 is bodyB, circle 2 bodyA; the point lies on circle 1's rim.
bool CollideCircles(const CircleCollider& first, const CircleCollider& second, Manifold& m) {
    vec2 c1 = first.worldCentre();
    vec2 c2 = second.worldCentre();
    vec2 d = c2 - c1;
    float r = first.radius + second.radius;
    float dist2 = lengthSquared(d);
    if (dist2 >= r * r) {
        return false;
    }
    float dist = std::sqrt(dist2);
    m.bodyA = second.rigidBody;
    m.bodyB = first.rigidBody;
    if (dist <= kContactEpsilon) {
        m.normal = {1.0f, 0.0f};
        m.penetration = first.radius;
        m.points.push_back(c1);
    } else {
        m.normal = d / dist;
        m.penetration = r - dist;
        m.points.push_back(c1 + m.normal * first.radius);
    }
    return true;
}

// In the box's frame: find the face the circle's centre is farthest outside of (a tie keeps
// the earlier face). A centre inside the box records an extra point pushed out through that
// face. Then the centre is either beyond one of the face's two corners (contact with the
// corner) or over the face itself.
//
//   P0 = hh*up + hw*right   P1 = hh*up - hw*right   P2 = -hh*up - hw*right   P3 = hw*right - hh*up
//   face i runs Pi -> P(i+1); outward normals N0 = up, N1 = -right, N2 = -up, N3 = right
bool CollideBoxAndCircle(const OBBCollider& box, const CircleCollider& circle, Manifold& m) {
    vec2 boxCentre = box.worldCentre();
    vec2 circleCentre = circle.worldCentre();
    float r = circle.radius;
    float turn = BoxTurn(box);
    vec2 q = rotateDegrees(circleCentre - boxCentre, -turn);

    float hw = box.width / 2.0f;
    float hh = box.height / 2.0f;
    const vec2 up = box.upAxis;
    const vec2 right = box.rightAxis;
    const vec2 vertices[4] = {up * hh + right * hw, up * hh - right * hw, up * -hh - right * hw,
                              right * hw - up * hh};
    const vec2 normals[4] = {up, -right, -up, right};

    float separation = std::numeric_limits<float>::lowest();
    int face = 0;
    for (int i = 0; i < 4; ++i) {
        float s = dot(normals[i], q - vertices[i]);
        if (s > r) {
            return false;
        }
        if (s > separation) {
            separation = s;
            face = i;
        }
    }

    m.bodyA = box.rigidBody;
    m.bodyB = circle.rigidBody;
    vec2 faceNormal = rotateDegrees(normals[face], turn);
    if (separation < kContactEpsilon) {
        // Centre inside: this point comes first; the depth is the one worked out below.
        m.normal = -faceNormal;
        m.points.push_back(circleCentre + m.normal * r);
    }

    m.penetration = r - separation;
    vec2 a = vertices[face];
    vec2 b = vertices[(face + 1) % 4];
    auto corner = [&](vec2 v) {
        if (lengthSquared(q - v) > r * r) {
            return false;
        }
        vec2 n = rotateDegrees(v - q, turn);
        float len = length(n);
        m.normal = len > 0.0f ? n / len : n;
        m.points.push_back(rotateDegrees(v, turn) + boxCentre);
        return true;
    };
    if (dot(q - a, b - a) <= 0.0f) {
        return corner(a);
    }
    if (dot(q - b, a - b) <= 0.0f) {
        return corner(b);
    }
    if (dot(q - a, normals[face]) > r) {
        return false;
    }
    m.normal = -faceNormal;
    m.points.push_back(circleCentre + m.normal * r);
    return true;
}

namespace {

using ShapeTest = bool (*)(Collider2D&, Collider2D&, Manifold&);

bool circleCircle(Collider2D& a, Collider2D& b, Manifold& m) {
    return CollideCircles(static_cast<CircleCollider&>(a), static_cast<CircleCollider&>(b), m);
}
bool boxCircle(Collider2D& a, Collider2D& b, Manifold& m) {
    return CollideBoxAndCircle(static_cast<OBBCollider&>(a), static_cast<CircleCollider&>(b), m);
}
bool circleBox(Collider2D& a, Collider2D& b, Manifold& m) {
    return CollideBoxAndCircle(static_cast<OBBCollider&>(b), static_cast<CircleCollider&>(a), m);
}
bool never(Collider2D&, Collider2D&, Manifold&) {
    return false;
}

// Indexed by [first shape][second shape]; slot 0 is no shape at all.
constexpr ShapeTest kShapeTests[3][3] = {
    {never, never, never},
    {never, circleCircle, circleBox},
    {never, boxCircle, never},
};

} // namespace

bool Collide(Collider2D& first, Collider2D& second, Manifold& m) {
    if (first.shapeType > kBoxShape || second.shapeType > kBoxShape) {
        return false;
    }
    return kShapeTests[first.shapeType][second.shapeType](first, second, m);
}
