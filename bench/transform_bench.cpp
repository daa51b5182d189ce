// World-transform update of a scene shaped like a match: a few hundred objects in small trees.
#include "objects/game_object_list.hpp"

#include <benchmark/benchmark.h>

static void BM_WorldUpdate(benchmark::State& state) {
    GameObjectList& list = GameObjectList::instance();
    for (int tank = 0; tank < state.range(0); ++tank) {
        GameObject* root = list.create("TankRoot");
        for (int part = 0; part < 12; ++part) {
            GameObject* child = list.create("Part");
            root->transform.setParent(child);
        }
    }
    for (auto _ : state) {
        for (Transform* child : WorldRoot().transform.children) {
            child->updateWorld();
        }
    }
    list.destroyAll();
}
BENCHMARK(BM_WorldUpdate)->Arg(4)->Arg(40);
