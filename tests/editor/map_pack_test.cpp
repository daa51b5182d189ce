// The map pack in play, measured rather than asserted (it takes minutes): five seeded matches of
// four computers on every shipped map, as `--match MAP --bots 4 --players 4` plays them. For each
// map it prints how many ended by knock-out and how many on the clock, and counts tanks that went
// into the death zone from a spawn point or a respawn drop before ever touching a platform.
// Run it on purpose:
//   unit_tests --gtest_also_run_disabled_tests --gtest_filter='MapPack.*'
#include "match/game_over.hpp"
#include "match/match_run.hpp"
#include "tests/match/match_scene.hpp"

#include "objects/game_object.hpp"
#include "objects/json_data.hpp"
#include "physics/collider.hpp"
#include "physics/rigid_body.hpp"

#include <cstdio>

using namespace match_test;

namespace {

class MapPack : public MatchScene {
  protected:
    struct Outcome {
        bool knockOut = false;
        float seconds = 0.0f;
        int deaths = 0;
        int spawnedIntoDeath = 0;
    };

    Outcome play(const std::string& map, uint32_t seed) {
        MatchRun::instance().fixedSeed = seed;
        QuickMatch quick;
        quick.map = map;
        quick.players = 4;
        quick.bots = 4;
        WriteQuickMatchSettings(quick);
        startWithCurrentSettings();
        Outcome out;
        // Whether each tank has touched a platform since it last came into the arena.
        bool landed[4] = {};
        uint32_t lives[4] = {};
        uint32_t respawning[4] = {};
        for (int n = 0; n < 4; ++n) {
            lives[n] = player(n + 1)->lives;
        }
        int frames = 0;
        for (; frames < 60 * 200 && match()->phase < MatchPhase::GameSet; ++frames) {
            run(1);
            for (int n = 0; n < 4; ++n) {
                Player* p = player(n + 1);
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
        leaveMatch();
        return out;
    }
};

} // namespace

TEST_F(MapPack, DISABLED_FiveSeededComputerMatchesOnEveryMap) {
    harness.engine().freshStepsOnSwitch = true;
    std::printf("%-14s %9s %8s %15s %s\n", "map", "knock-out", "time-up", "into the zone",
                "each match: seconds/lives lost");
    for (const std::string& map : readMapList(loadJson("MapSetting"))) {
        int knockOuts = 0, spawnDeaths = 0;
        std::string times;
        for (uint32_t seed = 1; seed <= 5; ++seed) {
            Outcome o = play(map, seed * 7919u);
            knockOuts += o.knockOut ? 1 : 0;
            spawnDeaths += o.spawnedIntoDeath;
            char t[32];
            std::snprintf(t, sizeof t, " %.0f s/%d", o.seconds, o.deaths);
            times += t;
        }
        std::printf("%-14s %9d %8d %15d%s\n", map.c_str(), knockOuts, 5 - knockOuts, spawnDeaths,
                    times.c_str());
        std::fflush(stdout);
        EXPECT_EQ(spawnDeaths, 0) << map;
        EXPECT_GE(knockOuts, 3) << map;
    }
}
