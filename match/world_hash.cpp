#include "match/world_hash.hpp"

#include "engine/engine.hpp"
#include "match/play_game_state.hpp"
#include "objects/frame_timer.hpp"
#include "objects/logic.hpp"
#include "objects/random.hpp"
#include "objects/world_hasher.hpp"
#include "physics/body_hash.hpp"

uint64_t HashWorld() {
    WorldHasher hasher(HashBodies());
    HashPhysicsState(hasher);
    for (const Logic* logic : LogicRegistry()) {
        logic->hashState(hasher);
    }
    Engine& engine = Engine::instance();
    const GameState* state = engine.states != nullptr ? engine.states->state : nullptr;
    if (const auto* match = dynamic_cast<const PlayGameState*>(state)) {
        match->hashState(hasher);
    }
    const RandomState& random = GameRandom().state();
    for (uint32_t word : random.words) {
        hasher.add(word);
    }
    hasher.addAll(random.front, engine.accumulator, FrameTimer::instance().timeScale);
    return hasher.value();
}
