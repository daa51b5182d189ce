#include "objects/registry.hpp"

#include <algorithm>
#include <utility>

namespace {

struct TeardownState {
    int depth = 0;
    std::vector<const void*> gone; // sorted once the teardown ends
    std::vector<std::pair<const void*, std::function<void()>>> actions;
};

TeardownState& state() {
    // Never destroyed: components may still leave their lists during static destruction.
    static auto* s = new TeardownState();
    return *s;
}

} // namespace

RegistryTeardown::Scope::Scope() {
    ++state().depth;
}

RegistryTeardown::Scope::~Scope() {
    TeardownState& s = state();
    if (--s.depth > 0) {
        return; // an outer teardown finishes the work
    }
    std::sort(s.gone.begin(), s.gone.end());
    // Actions registered while others run are run too.
    for (size_t i = 0; i < s.actions.size(); ++i) {
        auto action = std::move(s.actions[i].second);
        action();
    }
    s.actions.clear();
    s.gone.clear();
}

bool RegistryTeardown::running() {
    return state().depth > 0;
}

bool RegistryTeardown::gone(const void* member) {
    const auto& gone = state().gone;
    return std::binary_search(gone.begin(), gone.end(), member);
}

void RegistryTeardown::whenDone(const void* key, std::function<void()> action) {
    auto& actions = state().actions;
    if (std::none_of(actions.begin(), actions.end(), [&](const auto& a) { return a.first == key; })) {
        actions.emplace_back(key, std::move(action));
    }
}

void RegistryTeardown::gather(const void* member) {
    state().gone.push_back(member);
}
