#include "objects/world_update.hpp"

#include "objects/game_object.hpp"

#include <vector>

namespace {

struct AwakeRoots {
    std::vector<Transform*> list; // roots to recompute, in the World Root's child order
    size_t scanned = 0;           // World Root children already looked at
    bool rescan = true;
};

bool needsUpdate(const Transform* t) {
    return t->owner->active || !t->children.empty();
}

void onActivation(GameObject* object, Component* component);

AwakeRoots& awake() {
    static auto* roots = [] {
        AddActivationObserver(&onActivation);
        return new AwakeRoots();
    }();
    return *roots;
}

void onActivation(GameObject* object, Component* component) {
    if (component == nullptr && object != nullptr && object->active &&
        object->transform.parent == &WorldRoot().transform) {
        awake().rescan = true;
    }
}

} // namespace

void InvalidateWorldUpdate() {
    awake().rescan = true;
}

void UpdateWorldTransforms() {
    AwakeRoots& a = awake();
    const auto& roots = WorldRoot().transform.children;
    if (a.rescan || a.scanned > roots.size()) {
        a.list.clear();
        a.scanned = 0;
        a.rescan = false;
    }
    for (; a.scanned < roots.size(); ++a.scanned) {
        if (needsUpdate(roots[a.scanned])) {
            a.list.push_back(roots[a.scanned]);
        }
    }
    // Updating a root may switch nothing on or off, so dropping and updating share one walk.
    size_t kept = 0;
    for (size_t i = 0; i < a.list.size(); ++i) {
        Transform* t = a.list[i];
        if (!needsUpdate(t)) {
            continue;
        }
        a.list[kept++] = t;
        t->updateWorld();
    }
    a.list.resize(kept);
}
