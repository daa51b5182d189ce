#include "objects/component.hpp"

#include <utility>
#include <vector>

Component::Component(std::string kindName, GameObject* ownerObject)
    : name(std::move(kindName)), owner(ownerObject) {}

namespace {
std::vector<ActivationObserver>& observers() {
    static auto* list = new std::vector<ActivationObserver>();
    return *list;
}
} // namespace

void Component::reportFlip(void* component) {
    auto* c = static_cast<Component*>(component);
    NotifyActivation(c->owner, c);
}

void AddActivationObserver(ActivationObserver observer) {
    observers().push_back(observer);
}

void NotifyActivation(GameObject* object, Component* component) {
    for (ActivationObserver observer : observers()) {
        observer(object, component);
    }
}
