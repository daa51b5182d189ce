#include "objects/game_object_list.hpp"

#include "objects/registry.hpp"
#include "objects/world_update.hpp"

GameObjectList& GameObjectList::instance() {
    static auto* objects = new GameObjectList();
    return *objects;
}

GameObject* GameObjectList::adopt(GameObject* object) {
    // Hang it under the root directly: a full setParent would recompute the whole tree for
    // every bullet fired, and a fresh object has no pose to keep.
    Transform& root = WorldRoot().transform;
    object->transform.parent = &root;
    root.children.push_back(&object->transform);
    object->transform.updateWorld();
    list.push_back(object);
    return object;
}

GameObject* GameObjectList::create() {
    return adopt(new GameObject());
}

GameObject* GameObjectList::create(const std::string& name) {
    return adopt(new GameObject(name));
}

GameObject* GameObjectList::create(const std::string& name, const std::string& group) {
    return adopt(new GameObject(name, group));
}

GameObject* GameObjectList::find(const std::string& name) const {
    for (GameObject* object : list) {
        if (object->name == name && object->id != WorldRoot().id) {
            return object;
        }
    }
    return nullptr;
}

std::vector<GameObject*> GameObjectList::rootObjects() const {
    std::vector<GameObject*> roots;
    const Transform* root = &WorldRoot().transform;
    for (GameObject* object : list) {
        if (object->transform.parent == root) {
            roots.push_back(object);
        }
    }
    return roots;
}

void GameObjectList::destroyNewest(size_t keep) {
    if (keep >= list.size()) {
        return;
    }
    RegistryTeardown::Scope teardown;
    while (list.size() > keep) {
        GameObject* object = list.back();
        list.pop_back();
        if (Transform* parent = object->transform.parent) {
            UnlistFromBack(parent->children, &object->transform);
        }
        // Its children are newer and gone already; one hung below it against that rule is let go
        // of rather than left pointing at nothing.
        for (Transform* child : object->transform.children) {
            child->parent = nullptr;
        }
        delete object;
    }
    InvalidateWorldUpdate();
}

void GameObjectList::destroyAll() {
    // Newest first, and the registries' lists compacted once at the end: a teardown costs in
    // proportion to the objects it destroys (objects/registry.hpp).
    RegistryTeardown::Scope teardown;
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        delete *it;
    }
    list.clear();
    WorldRoot().transform.children.clear();
    InvalidateWorldUpdate();
}
