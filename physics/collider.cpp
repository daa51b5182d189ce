#include "physics/collider.hpp"

#include "objects/game_object.hpp"
#include "objects/portable_math.hpp"
#include "physics/collision_world.hpp"
#include "physics/rigid_body.hpp"

#include <algorithm>
#include <limits>

namespace {

// The first body on the object or up its parent chain.
RigidBody2D* findBody(GameObject* object) {
    for (GameObject* o = object; o != nullptr;) {
        if (auto* body = o->getComponent<RigidBody2D>()) {
            return body;
        }
        Transform* parent = o->transform.parent;
        o = parent != nullptr ? parent->owner : nullptr;
    }
    return nullptr;
}

vec2 worldPosition2(const GameObject* object) {
    return {object->transform.worldPosition.x, object->transform.worldPosition.y};
}

} // namespace

vec2 rotateDegrees(vec2 v, float degrees) {
    float radians = degrees * kDegToRad;
    float c = portable::cos(radians);
    float s = portable::sin(radians);
    return {c * v.x - s * v.y, s * v.x + c * v.y};
}

Collider2D::Collider2D(std::string kindName, GameObject* ownerObject, uint32_t shape)
    : Component(std::move(kindName), ownerObject), rigidBody(findBody(ownerObject)), shapeType(shape) {
    CollisionWorld::instance().add(this);
}

Collider2D::~Collider2D() {
    CollisionWorld::instance().remove(this);
}

vec2 Collider2D::worldCentre() const {
    return owner->transform.world.transformPoint(offset);
}

CircleCollider::CircleCollider(GameObject* ownerObject)
    : Collider2D("CircleCollider", ownerObject, kCircleShape) {}

void CircleCollider::UpdateBounds() {
    // The offset turns with the body, not with the owner's own rotation.
    float turn = rigidBody != nullptr ? rigidBody->rotation : 0.0f;
    vec2 centre = worldPosition2(owner) + rotateDegrees(offset, turn);
    bounds = {centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius};
}

OBBCollider::OBBCollider(GameObject* ownerObject) : Collider2D("OBBCollider", ownerObject, kBoxShape) {}

void OBBCollider::UpdateBounds() {
    vec2 centre = worldPosition2(owner) + offset;
    float hw = width / 2.0f;
    float hh = height / 2.0f;
    float turn = owner->transform.rotation.z;
    const vec2 corners[4] = {upAxis * hh + rightAxis * hw, upAxis * hh - rightAxis * hw,
                             upAxis * -hh - rightAxis * hw, upAxis * -hh + rightAxis * hw};
    bounds = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
              std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest()};
    for (vec2 corner : corners) {
        vec2 p = centre + rotateDegrees(corner, turn);
        bounds.minX = std::min(bounds.minX, p.x);
        bounds.minY = std::min(bounds.minY, p.y);
        bounds.maxX = std::max(bounds.maxX, p.x);
        bounds.maxY = std::max(bounds.maxY, p.y);
    }
}
