#include "objects/component.hpp"

#include <utility>

Component::Component(std::string kindName, GameObject* ownerObject)
    : name(std::move(kindName)), owner(ownerObject) {}
