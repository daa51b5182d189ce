// Tries the map pack in play, measured rather than asserted (it takes minutes): five seeded
// matches of four computers on every shipped map, or on the maps named, as
// `--match MAP --bots 4 --players 4` plays them, without a window and on a clock of its own. For
// each map it prints how many ended by knock-out and how many on the clock, and counts tanks that
// went into the death zone from a spawn point or a respawn drop before ever touching a platform.
// A map meets the pack's goals when no tank did and at least three of its matches end by
// knock-out; the exit status is 1 when one does not. Run it from the run folder, like the game,
// when the pack or the computers change:
//   cmake --build build --target try_map_pack && (cd build/run && ../tools/try_map_pack [MAP...])
#include "engine/engine.hpp"
#include "gameplay/player.hpp"
#include "match/game_over.hpp"
#include "match/match_run.hpp"
#include "match/play_game_state.hpp"
#include "match/quick_match.hpp"
#include "objects/game_object.hpp"
#include "objects/game_object_list.hpp"
#include "objects/json_data.hpp"
#include "objects/logic.hpp"
#include "physics/collider.hpp"
#include "physics/rigid_body.hpp"
#include "platform/clock.hpp"
#include "platform/gamepad.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Between two matches: asks for the next one during a frame, as the menus do.
class Between : public GameState {
  public:
    void Load() override {}
    void Update() override { requestState(GameStateId::Play); }
    void Exit() override { DestroyStateObjects(); }
};

// Asks for a state during the next frame, as the game does, so that the running one is
// switched out and deleted at that frame's end.
void ask(uint32_t id) {
    struct Ask : Logic {
        Ask(GameObject* owner, uint32_t wanted) : Logic("Ask", owner), id(wanted) {}
        void Update() override { requestState(id); }
        uint32_t id;
    };
    GameObject* asker = GameObjectList::instance().create("Ask");
    asker->attach(new Ask(asker, id));
}

struct Outcome {
    bool knockOut = false;
    float seconds = 0.0f;
    int deaths = 0;
    int spawnedIntoDeath = 0;
};

ManualClock frameClock;

void step() {
    frameClock.advance(17);
    Engine::instance().frame();
}

PlayGameState* match() {
    return dynamic_cast<PlayGameState*>(Engine::instance().states->state);
}

Outcome play(const std::string& map, uint32_t seed) {
    MatchRun::instance().fixedSeed = seed;
    QuickMatch quick;
    quick.map = map;
    quick.players = 4;
    quick.bots = 4;
    WriteQuickMatchSettings(quick);
    // Out of the last match, if any, and into this one.
    if (match() != nullptr) {
        ask(GameStateId::MainMenu);
    }
    while (match() != nullptr) {
        step();
    }
    while (match() == nullptr) {
        step();
    }
    Outcome out;
    // Whether each tank has touched a platform since it last came into the arena.
    bool landed[4] = {};
    uint32_t lives[4] = {};
    uint32_t respawning[4] = {};
    for (int n = 0; n < 4; ++n) {
        lives[n] = match()->players[n]->lives;
    }
    for (int frames = 0; frames < 60 * 200 && match()->phase < MatchPhase::GameSet; ++frames) {
        step();
        for (int n = 0; n < 4; ++n) {
            Player* p = match()->players[n];
            if (respawning[n] != 0 && p->respawning == 0) {
                landed[n] = false; // dropped back in
            }
            respawning[n] = p->respawning;
            for (const ContactRecord& c : match()->tanks[static_cast<size_t>(n)]->rigidBody->contacts) {
                landed[n] = landed[n] || c.other->owner->name == "Platform";
            }
            if (p->lives < lives[n]) {
                ++out.deaths;
                // Unhit and never on a platform: it was put where it could only fall out.
                if (!landed[n] && p->knockbackMultiplier <= 1.0f) {
                    ++out.spawnedIntoDeath;
                }
                lives[n] = p->lives;
            }
        }
    }
    out.knockOut = match()->end.endReason == EndReason::KnockOut;
    out.seconds = 180.0f - match()->timeLeft;
    return out;
}

} // namespace

int main(int argc, char** argv) {
    setenv("ALSOFT_DRIVERS", "null", 0); // silent, as the tests are
    const std::vector<std::string> shipped = readMapList(loadJson("MapSetting"));
    std::vector<std::string> maps(argv + 1, argv + argc);
    for (const std::string& map : maps) {
        if (std::find(shipped.begin(), shipped.end(), map) == shipped.end()) {
            std::printf("No map is called \"%s\" (run from the run folder; MapSetting.json lists the maps)\n",
                        map.c_str());
            return 2;
        }
    }
    if (maps.empty()) {
        maps = shipped;
    }
    TestGamepadBackend noPads;
    setFrameClock(&frameClock);
    setGamepadBackend(&noPads);
    Engine& engine = Engine::instance();
    engine.headless = true;
    engine.freshStepsOnSwitch = true; // as a recording run starts its matches
    engine.stateFactory = [](uint32_t id) -> GameState* {
        return id == GameStateId::Play ? static_cast<GameState*>(new PlayGameState()) : new Between();
    };
    engine.firstState = GameStateId::MainMenu;
    engine.initialise();

    bool met = true;
    std::printf("%-14s %9s %8s %15s %s\n", "map", "knock-out", "time-up", "into the zone",
                "each match: seconds/lives lost");
    for (const std::string& map : maps) {
        int knockOuts = 0, spawnDeaths = 0;
        std::string times;
        for (uint32_t seed = 1; seed <= 5; ++seed) {
            const Outcome o = play(map, seed * 7919u);
            knockOuts += o.knockOut ? 1 : 0;
            spawnDeaths += o.spawnedIntoDeath;
            char t[32];
            std::snprintf(t, sizeof t, " %.0f s/%d", o.seconds, o.deaths);
            times += t;
        }
        std::printf("%-14s %9d %8d %15d%s\n", map.c_str(), knockOuts, 5 - knockOuts, spawnDeaths,
                    times.c_str());
        std::fflush(stdout);
        met = met && spawnDeaths == 0 && knockOuts >= 3;
    }
    ask(GameStateId::Quit);
    step();
    setGamepadBackend(nullptr);
    setFrameClock(nullptr);
    return met ? 0 : 1;
}
