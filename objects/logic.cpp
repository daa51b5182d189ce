#include "objects/logic.hpp"

#include "objects/game_object.hpp"
#include "objects/registry.hpp"
#include "objects/world_hasher.hpp"

#include <algorithm>
#include <cstddef>

std::vector<Logic*>& LogicRegistry() {
    // Never destroyed: components may still unregister during static destruction.
    static auto* registry = new std::vector<Logic*>();
    return *registry;
}

namespace {

bool inPlay(const Logic* logic) {
    return logic->enabled && logic->owner != nullptr && logic->owner->active;
}

} // namespace

// The registry entries that may be in play, in registry order. Entries switched off are dropped
// at the start of the next pass; entries switched on are put back at their registry place as
// soon as the flip is reported; new entries are picked up from the registry's end.
class LiveLogics {
  public:
    static LiveLogics& instance() {
        static auto* live = new LiveLogics();
        return *live;
    }

    uint64_t nextSequence() { return ++sequenceCounter; }

    // A logic is being destroyed; registryIndex is where it stood in the registry.
    void forget(Logic* logic, size_t registryIndex) {
        if (registryIndex < scanned) {
            --scanned;
        }
        if (!logic->listed) {
            return;
        }
        auto it = std::find(list.begin(), list.end(), logic);
        if (it == list.end()) {
            return;
        }
        auto index = static_cast<std::ptrdiff_t>(it - list.begin());
        list.erase(it);
        if (cursor >= 0 && index <= cursor) {
            --cursor;
        }
    }

    bool passRunning() const { return cursor >= 0; }

    // After a teardown: the survivors are unlisted and the list is rebuilt at the next pass.
    void forgetGone() {
        for (Logic* logic : list) {
            if (!RegistryTeardown::gone(logic)) {
                logic->listed = false;
            }
        }
        list.clear();
        scanned = 0;
        rescan = true;
    }

    void run() {
        refresh();
        for (cursor = 0; cursor < static_cast<std::ptrdiff_t>(list.size()); ++cursor) {
            Logic* logic = list[static_cast<size_t>(cursor)];
            if (inPlay(logic)) {
                logic->Update();
            }
            pickUpNew();
        }
        cursor = -1;
    }

  private:
    LiveLogics() { AddActivationObserver(&LiveLogics::onActivation); }

    void refresh() {
        if (rescan) {
            for (Logic* logic : list) {
                logic->listed = false;
            }
            list.clear();
            scanned = 0;
            rescan = false;
        } else {
            size_t kept = 0;
            for (Logic* logic : list) {
                if (inPlay(logic)) {
                    list[kept++] = logic;
                } else {
                    logic->listed = false;
                }
            }
            list.resize(kept);
        }
        const auto& registry = LogicRegistry();
        for (; scanned < registry.size(); ++scanned) {
            if (inPlay(registry[scanned])) {
                add(registry[scanned]);
            }
        }
    }

    // Entries built since the last look sit at the registry's end, after everything listed.
    void pickUpNew() {
        const auto& registry = LogicRegistry();
        for (; scanned < registry.size(); ++scanned) {
            add(registry[scanned]);
        }
    }

    void add(Logic* logic) {
        logic->listed = true;
        list.push_back(logic);
    }

    // Puts a logic switched back on into its registry place. When that place is at or before
    // the entry running now, the pass has gone by it, as a walk by index would have.
    void insert(Logic* logic) {
        if (logic->listed || rescan || !inPlay(logic)) {
            return;
        }
        const auto& registry = LogicRegistry();
        if (scanned == 0 || logic->sequence > registry[scanned - 1]->sequence) {
            return; // not seen yet: the scan of the registry's end picks it up
        }
        auto at = std::lower_bound(list.begin(), list.end(), logic,
                                   [](const Logic* a, const Logic* b) { return a->sequence < b->sequence; });
        auto index = static_cast<std::ptrdiff_t>(at - list.begin());
        list.insert(at, logic);
        logic->listed = true;
        if (cursor >= 0 && index <= cursor) {
            ++cursor;
        }
    }

    static void onActivation(GameObject* object, Component* component) {
        LiveLogics& live = instance();
        if (component != nullptr) {
            if (auto* logic = dynamic_cast<Logic*>(component); logic != nullptr && logic->enabled) {
                live.insert(logic);
            }
            return;
        }
        if (object == nullptr || !object->active) {
            return;
        }
        for (Component* c : object->components) {
            if (auto* logic = dynamic_cast<Logic*>(c); logic != nullptr) {
                live.insert(logic);
            }
        }
    }

    std::vector<Logic*> list;
    size_t scanned = 0;
    bool rescan = true;
    std::ptrdiff_t cursor = -1; // the entry the running pass is at; -1 between passes
    uint64_t sequenceCounter = 0;
};

Logic::Logic(std::string kindName, GameObject* ownerObject) : Component(std::move(kindName), ownerObject) {
    sequence = LiveLogics::instance().nextSequence();
    LogicRegistry().push_back(this);
}

Logic::~Logic() {
    auto& registry = LogicRegistry();
    LiveLogics& live = LiveLogics::instance();
    if (RegistryTeardown::running() && !live.passRunning()) {
        // The live list is rebuilt from the registry after the teardown, before the registry
        // drops the leavers.
        RegistryTeardown::whenDone(&live, [&live] { live.forgetGone(); });
        RegistryTeardown::leave(registry, static_cast<const Logic*>(this));
        return;
    }
    auto it = std::find(registry.begin(), registry.end(), this);
    if (it != registry.end()) {
        live.forget(this, static_cast<size_t>(it - registry.begin()));
        registry.erase(it);
    }
}

void Logic::hashPresence(WorldHasher& hasher) const {
    hasher.addAll(static_cast<bool>(enabled), owner != nullptr && owner->active);
    if (owner != nullptr) {
        const Transform& t = owner->transform;
        hasher.addAll(t.position, t.rotation, t.scale, t.worldPosition);
    }
}

void UpdateLogics() {
    LiveLogics::instance().run();
}
