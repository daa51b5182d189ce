#include "objects/game_object.hpp"

#include <utility>

namespace {

// Ids are never reused within a run; the World Root takes 0.
uint32_t nextObjectId = 1;

// Build the root during static initialisation, as the first object of the run.
[[maybe_unused]] GameObject& rootAtStart = WorldRoot();

} // namespace

GameObject::GameObject(std::string objectName, std::string objectGroup)
    : name(std::move(objectName)), id(nextObjectId++), group(std::move(objectGroup)), transform(this) {}

void GameObject::reportFlip(void* object) {
    NotifyActivation(static_cast<GameObject*>(object), nullptr);
}

GameObject::GameObject(RootTag) : name("World Root"), id(0), group("None"), transform(this) {
    // Objects hang from the root from their first moment, so its frame must be valid at once.
    transform.updateWorld();
}

GameObject::~GameObject() {
    for (Component* c : components) {
        delete c;
    }
    components.clear();
}

GameObject& WorldRoot() {
    // Never destroyed, so late static destructors can still compare against it.
    static GameObject* root = new GameObject(GameObject::RootTag{});
    return *root;
}

uint32_t NextObjectId() {
    return nextObjectId;
}

void SetNextObjectId(uint32_t id) {
    nextObjectId = id;
}

void setActive(GameObject* object, bool value) {
    if (object == nullptr) {
        return;
    }
    object->active = value;
    auto& children = object->transform.children;
    for (size_t i = 0; i < children.size(); ++i) {
        setActive(children[i]->owner, value);
    }
}
