#include "objects/transform.hpp"

#include "objects/game_object.hpp"
#include "objects/world_update.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>

Transform::Transform(GameObject* ownerObject) : Component("Transform", ownerObject) {}

bool Transform::isWorldRoot() const {
    return this == &WorldRoot().transform;
}

void Transform::setPosition(float x, float y, float z) {
    if (!isWorldRoot()) {
        position = {x, y, z};
    }
}

void Transform::setRotation(float x, float y, float z) {
    if (!isWorldRoot()) {
        rotation = {x, y, z};
    }
}

void Transform::setScale(float x, float y, float z) {
    if (!isWorldRoot()) {
        scale = {x, y, z};
    }
}

mat4 Transform::localMatrix() const {
    return mat4::translation(position) * mat4::rotationY(rotation.y * kDegToRad) *
           mat4::rotationX(rotation.x * kDegToRad) * mat4::rotationZ(rotation.z * kDegToRad) *
           mat4::scaling(scale);
}

void Transform::updateWorld() {
    mat4 local = localMatrix();
    if (parent != nullptr) {
        world = parent->world * local;
        decompose(world, worldPosition, worldRotation, worldScale);
    } else {
        world = local;
        worldPosition = position;
        worldRotation = rotation;
        worldScale = scale;
    }
    for (size_t i = 0; i < children.size(); ++i) {
        children[i]->updateWorld();
    }
}

mat4 Transform::currentWorld() const {
    return parent != nullptr ? parent->world * localMatrix() : localMatrix();
}

void Transform::setParent(GameObject* childObject) {
    if (childObject == nullptr || childObject->id == WorldRoot().id) {
        return;
    }
    Transform& child = childObject->transform;
    for (const Transform* up = this; up != nullptr; up = up->parent) {
        if (up == &child) {
            // Hanging an object below itself would loop the tree for ever.
            std::cout << "Cannot make \"" << childObject->name
                      << "\" a child of itself or of its own descendant" << std::endl;
            return;
        }
    }
    // The pose to keep is the one the child's current local values give it, so values set
    // since the last frame's update count too.
    mat4 childWorld = child.currentWorld();
    if (child.parent != nullptr) {
        auto& siblings = child.parent->children;
        auto it = std::find_if(siblings.begin(), siblings.end(),
                               [&](Transform* t) { return t->owner->id == childObject->id; });
        if (it != siblings.end()) {
            siblings.erase(it);
        }
        if (child.parent->isWorldRoot()) {
            InvalidateWorldUpdate();
        }
    }
    mat4 local = inverseAffine(currentWorld()) * childWorld;
    decompose(local, child.position, child.rotation, child.scale);
    child.parent = this;
    children.push_back(&child);
    updateWorld();
}
