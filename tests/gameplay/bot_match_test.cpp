// Computers in whole matches from fixed seeds, on every shipped map: none camps on one ledge while
// others are still in the match, and a normal computer beats a person who does nothing.
#include "tests/match/match_scene.hpp"

#include "match/match_run.hpp"
#include "objects/json_data.hpp"
#include "physics/collider.hpp"
#include "physics/rigid_body.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

using namespace match_test;

namespace {

// The longest a computer may stay on one platform while anyone else is still in the match. A
// computer means to move on after 3 to 5 s and most leave within 8; hits that throw it back
// across its ground, and jumps knocked short, stretch a stay to 10 or so now and then (these
// seeds stay under 9). A camper stays the whole match.
constexpr float kLongestStay = 12.0f;
// Off a platform for longer than this, it has left it.
constexpr float kAwayFor = 1.5f;

class BotMatches : public MatchScene, public ::testing::WithParamInterface<std::string> {
  protected:
    static constexpr int kSeconds = 40;

    void longestStays(uint32_t seed);

    // The platform a tank's wheels or body rest on this frame, if any.
    const GameObject* platformUnder(int n) {
        for (const ContactRecord& c : match()->tanks[static_cast<size_t>(n - 1)]->rigidBody->contacts) {
            if (c.other != nullptr && c.other->owner->name == "Platform") {
                return c.other->owner;
            }
        }
        return nullptr;
    }

    // Which stretch of a platform x lies on: how many walls standing on the platform (other
    // platforms whose bottom sits on its top, within its ends) lie left of x.
    static int stretchOf(const GameObject* platform, float x) {
        const vec3 at = platform->transform.position;
        const vec3 size = platform->transform.scale;
        int walls = 0;
        for (const GameObject* o : GameObjectList::instance().objects()) {
            if (o == platform || !o->active || o->name != "Platform") {
                continue;
            }
            const vec3 wallAt = o->transform.position;
            const vec3 wallSize = o->transform.scale;
            const bool standsOn = std::abs((wallAt.y - wallSize.y / 2) - (at.y + size.y / 2)) < 0.3f &&
                                  std::abs(wallAt.x - at.x) < size.x / 2;
            walls += standsOn && wallAt.x < x ? 1 : 0;
        }
        return walls;
    }
};

using BotMatchesIdle = MatchScene;

std::vector<std::string> shippedMaps() {
    return readMapList(loadJson("MapSetting")); // the tests run from the run folder, as the game does
}

} // namespace

// Four computers of every level, for kSeconds from a fixed seed; the maps take turns between two
// seeds, so both play across the list at the cost of one match a map. A place is a platform, or the
// stretch of one between walls standing on it (Bunker's bunkers). A stay on a place lasts from
// touching it until touching another or being off it for more than a second and a half (thrown
// off, or gone by a jump that did not come back down on it), and counts only while someone else
// still has lives.
TEST_P(BotMatches, NoComputerStaysOnOneLedgeForLong) {
    const std::vector<std::string> maps = shippedMaps();
    const auto at = std::find(maps.begin(), maps.end(), GetParam()) - maps.begin();
    longestStays(at % 2 == 0 ? 4242u : 77u);
}

void BotMatches::longestStays(uint32_t seed) {
    MatchRun::instance().fixedSeed = seed;
    WriteQuickMatchSettings({GetParam(), 4, 3, kSeconds, 4, "hard"});
    MatchSettings::instance().set("PlayerBot2", "normal");
    MatchSettings::instance().set("PlayerBot3", "easy");
    startWithCurrentSettings();
    runToPlay();
    struct Stay {
        const GameObject* platform = nullptr;
        int stretch = 0;
        float since = 0.0f;
        float lastTouch = 0.0f;
    };
    std::array<Stay, 4> stays{};
    std::array<float, 4> longest{};
    float clock = 0.0f;
    for (int frame = 0; frame < 60 * (kSeconds + 5) && match()->phase == MatchPhase::Playing; ++frame) {
        run(1);
        clock += 1.0f / 60.0f;
        for (int n = 1; n <= 4; ++n) {
            const Player* p = player(n);
            Stay& stay = stays[static_cast<size_t>(n - 1)];
            int othersIn = 0;
            for (int k = 1; k <= 4; ++k) {
                othersIn += k != n && player(k)->lives > 0 ? 1 : 0;
            }
            if (p->lives == 0 || p->respawning != 0 || othersIn == 0) {
                stay = {};
                continue;
            }
            if (const GameObject* under = platformUnder(n)) {
                const int stretch = stretchOf(under, p->tank.rigidBody->position.x);
                if (under != stay.platform || stretch != stay.stretch || clock - stay.lastTouch > kAwayFor) {
                    stay = {under, stretch, clock, clock};
                }
                stay.lastTouch = clock;
            }
            if (stay.platform != nullptr && clock - stay.lastTouch <= kAwayFor) {
                longest[static_cast<size_t>(n - 1)] =
                    std::max(longest[static_cast<size_t>(n - 1)], stay.lastTouch - stay.since);
            }
        }
    }
    for (int n = 1; n <= 4; ++n) {
        EXPECT_LE(longest[static_cast<size_t>(n - 1)], kLongestStay)
            << GetParam() << ": the "
            << MatchSettings::instance().get(MatchSettings::playerKey("PlayerBot", n)) << " computer of seat "
            << n << " stayed " << longest[static_cast<size_t>(n - 1)] << " s in one place (seed " << seed
            << ")";
    }
}

// One normal computer against a seat nobody plays: the computer finds its way to shots at it,
// wherever they start, and knocks out all its lives before the time is up.
TEST_F(BotMatchesIdle, ANormalComputerBeatsAPlayerWhoDoesNothing) {
    for (const std::string map : {"Meadow", "Spire"}) {
        SCOPED_TRACE(map);
        MatchRun::instance().fixedSeed = 31;
        WriteQuickMatchSettings({map, 2, 3, 120, 1, "normal"});
        startWithCurrentSettings();
        runToPlay();
        for (int frame = 0; frame < 60 * 125 && match()->phase == MatchPhase::Playing; ++frame) {
            run(1);
        }
        EXPECT_EQ(player(1)->lives, 0) << "the idle seat still has lives";
        EXPECT_GT(player(2)->lives, 0) << "the computer lost every life";
        leaveMatch();
    }
}

// Four computers, two against two, play a short match to the podium by themselves: teammates
// share a rank, and both sides never do.
TEST_F(BotMatchesIdle, FourComputersInTeamsPlayToThePodium) {
    MatchRun::instance().fixedSeed = 12;
    QuickMatch quick{"Meadow", 4, 2, 45, 4, "hard"};
    quick.teams = Teams{true, false, *ParseTeamLetters("RRBB")};
    WriteQuickMatchSettings(quick);
    startWithCurrentSettings();
    ASSERT_TRUE(runUntilPhase(MatchPhase::Podium, 60 * 60));
    const std::vector<int32_t> ranks = match()->Ranks();
    EXPECT_EQ(ranks[0], ranks[1]);
    EXPECT_EQ(ranks[2], ranks[3]);
    EXPECT_TRUE(ranks[0] == 0 || ranks[0] != ranks[2]) << "one side won, or it was a draw";
    int fighters = 0;
    for (const SeatTally& tally : match()->stats.seats) {
        fighters += tally.damageDealt > 0.0f ? 1 : 0;
    }
    EXPECT_GT(fighters, 0) << "they fought";
    run(60 * 4);
    EXPECT_TRUE(inMainMenu()) << "the podium moved on by itself";
}

INSTANTIATE_TEST_SUITE_P(EveryMap, BotMatches, ::testing::ValuesIn(shippedMaps()),
                         [](const ::testing::TestParamInfo<std::string>& map) { return map.param; });
