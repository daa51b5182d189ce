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

void Component::setEnabled(bool value) {
    if (enabled == value) {
        return;
    }
    enabled = value;
    NotifyActivation(owner, this);
}

void AddActivationObserver(ActivationObserver observer) {
    observers().push_back(observer);
}

void NotifyActivation(GameObject* object, Component* component) {
    for (ActivationObserver observer : observers()) {
        observer(object, component);
    }
}
