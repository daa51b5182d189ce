#include "objects/logic.hpp"

#include "objects/game_object.hpp"

#include <algorithm>

std::vector<Logic*>& LogicRegistry() {
    // Never destroyed: components may still unregister during static destruction.
    static auto* registry = new std::vector<Logic*>();
    return *registry;
}

Logic::Logic(std::string kindName, GameObject* ownerObject) : Component(std::move(kindName), ownerObject) {
    LogicRegistry().push_back(this);
}

Logic::~Logic() {
    auto& registry = LogicRegistry();
    registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
}

void UpdateLogics() {
    auto& registry = LogicRegistry();
    for (size_t i = 0; i < registry.size(); ++i) {
        Logic* logic = registry[i];
        if (logic->enabled && logic->owner != nullptr && logic->owner->active) {
            logic->Update();
        }
    }
}
