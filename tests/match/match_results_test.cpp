// The results a match counts for its podium, and the podium's ways on: the title, the same
// match again, and the level select with the same players.
#include "tests/match/match_scene.hpp"

#include "gameplay/object_factory.hpp"
#include "graphics/renderer.hpp"
#include "match/match_run.hpp"
#include "physics/rigid_body.hpp"

#include <map>
#include <string>
#include <vector>

using namespace match_test;

namespace {

class MatchResults : public MatchScene {
  protected:
    // A hit of that damage on a player's tank from an explosion of a player's group.
    void blast(int target, int from, float damage) {
        const vec2 at = player(target)->tank.rigidBody->position;
        MakeExplosion(at, {2.0f, 2.0f}, "Player " + std::to_string(from), 0.0f, damage);
        run(2);
    }
    const SeatTally& tally(int n) { return match()->stats.seats[static_cast<size_t>(n - 1)]; }

    // Ends the match by its clock and waits for the columns to grow.
    void toGrownPodium() {
        match()->timeLeft = 0.01f;
        ASSERT_TRUE(runUntilPhase(MatchPhase::Podium, 600));
        ASSERT_TRUE(runUntilGrown());
    }
    bool runUntilGrown() {
        for (int i = 0; i < 600 && match()->end.resultsStrip == nullptr; ++i) {
            run(1);
        }
        return match()->end.resultsStrip != nullptr;
    }
    // The strip's player lines, top to bottom.
    std::vector<std::string> stripRows() {
        std::vector<std::string> rows;
        for (const Transform* child : match()->end.resultsStrip->transform.children) {
            if (child->owner->name == "ResultsRow") {
                rows.push_back(child->owner->getComponent<TextRenderer>()->text);
            }
        }
        return rows;
    }
};

} // namespace

// Player 2 knocks player 1 out; player 3 throws itself off with its own shot; player 1, hit by
// player 3 long before, falls again on its own. Damage counts only on opponents.
TEST_F(MatchResults, KnockOutsFallsDamageAndLongestLifeAreCountedAsTheMatchPlays) {
    startMatch(3, 3, 120);
    runToPlay();
    run(60); // a second alive for everyone

    blast(1, 2, 20.0f);
    fall(1, 3);
    EXPECT_EQ(tally(2).knockOuts, 1u);
    EXPECT_EQ(tally(1).falls, 1u);
    EXPECT_EQ(tally(1).selfFalls, 0u);
    EXPECT_NEAR(tally(2).damageDealt, 20.0f * player(1)->damageScale, 0.01f);
    EXPECT_GT(tally(1).longestLife, 1.0f);
    EXPECT_LT(tally(1).longestLife, 1.3f);

    blast(3, 3, 30.0f);
    fall(3, 3);
    EXPECT_EQ(tally(3).falls, 1u);
    EXPECT_EQ(tally(3).selfFalls, 1u) << "its own shot: no knock-out for anyone";
    EXPECT_EQ(tally(3).knockOuts, 0u);
    EXPECT_EQ(tally(3).damageDealt, 0.0f) << "damage to itself is not dealt";

    run(200); // player 1 back from the beam
    ASSERT_EQ(player(1)->respawning, 0u);
    blast(1, 3, 10.0f);
    run(static_cast<int>((kKnockOutCredit + 1.0f) * 60.0f));
    fall(1, 3);
    EXPECT_EQ(tally(3).knockOuts, 0u) << "a hit that long ago knocks nobody out";
    EXPECT_EQ(tally(1).falls, 2u);
    EXPECT_EQ(tally(1).selfFalls, 1u);
    EXPECT_NEAR(tally(3).damageDealt, 10.0f * player(1)->damageScale, 0.01f);
    EXPECT_GT(tally(1).longestLife, kKnockOutCredit + 1.0f) << "its second life was its longest";
    EXPECT_GT(tally(2).longestLife, tally(1).longestLife) << "alive all along";

    // Lives 3, 2, 1: the strip lists players 2, 3 and 1 under the grown columns.
    toGrownPodium();
    const std::vector<std::string> rows = stripRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], "1st   Player 2   " + ResultsRow(tally(2)));
    EXPECT_EQ(rows[1], "2nd   Player 3   " + ResultsRow(tally(3)));
    EXPECT_EQ(rows[2], "3rd   Player 1   " + ResultsRow(tally(1)));
    EXPECT_NE(rows[2].find("falls 2 (1 self)"), std::string::npos) << rows[2];
}

TEST(ResultsRows, ReadTheLongestLifeInMinutesAndSecondsAndNameOnlySelfFallsThereAre) {
    SeatTally tally;
    tally.knockOuts = 2;
    tally.falls = 1;
    tally.damageDealt = 139.6f;
    tally.longestLife = 65.9f;
    EXPECT_EQ(ResultsRow(tally), "KOs 2   falls 1   damage 140%   longest life 1:05");
    tally.selfFalls = 1;
    tally.longestLife = 600.0f;
    EXPECT_EQ(ResultsRow(tally), "KOs 2   falls 1 (1 self)   damage 140%   longest life 10:00");
}

// R from the left keyboard half: the same match again, every seat and setting kept.
TEST_F(MatchResults, ARematchPlaysTheSameSeatsLooksComputersMapLivesAndTime) {
    WriteQuickMatchSettings({"Canyon", 3, 4, 95, 1, "hard"});
    MatchSettings::instance().set("PlayerFace1", "FaceSprite_Pexie");
    MatchSettings::instance().set("PlayerTurret2", "BarrelSprite_Sniper");
    harness.pads.connect(0, true);
    startWithCurrentSettings();
    const std::map<std::string, std::string> settings = MatchSettings::instance().all();
    struct Seat {
        uint32_t character, turret, track, lives;
        bool computer;
        uint32_t pad;
    };
    auto seatsNow = [this] {
        std::vector<Seat> seats;
        for (Player* p : match()->MatchPlayers()) {
            seats.push_back(
                {p->character, p->turretKind, p->trackKind, p->lives, p->computer, p->controls.padIndex});
        }
        return seats;
    };
    const std::vector<Seat> first = seatsNow();
    runToPlay();
    player(1)->lives = 1; // a ranking, not a draw
    toGrownPodium();
    tap(sf::Keyboard::R);
    EXPECT_EQ(match()->phase, MatchPhase::FadeOut);
    EXPECT_EQ(match()->end.leaveTo, AfterPodium::Rematch);
    ASSERT_TRUE(runUntilPhase(MatchPhase::FadeIn, 60)) << "the match starts again";
    EXPECT_EQ(harness.engine().states->current, GameStateId::Play);
    EXPECT_EQ(match()->mapName, "Canyon");
    EXPECT_FLOAT_EQ(match()->timeLeft, 95.0f);
    EXPECT_EQ(match()->stats.seats[0].falls, 0u) << "a fresh count";
    const std::vector<Seat> again = seatsNow();
    ASSERT_EQ(again.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(again[i].character, first[i].character) << "seat " << i + 1;
        EXPECT_EQ(again[i].turret, first[i].turret) << "seat " << i + 1;
        EXPECT_EQ(again[i].track, first[i].track) << "seat " << i + 1;
        EXPECT_EQ(again[i].lives, 4u) << "seat " << i + 1;
        EXPECT_EQ(again[i].computer, first[i].computer) << "seat " << i + 1;
        EXPECT_EQ(again[i].pad, first[i].pad) << "seat " << i + 1;
    }
    EXPECT_EQ(MatchSettings::instance().all(), settings);
}

// Every player's keys on the grown podium: a rematch from either keyboard half or a pad's Y,
// the level select from Backspace or a pad's X; before the columns have grown, nothing.
TEST_F(MatchResults, ThePodiumKeysOfEveryControlSchemeChooseWhereTheMatchGoes) {
    struct Case {
        sf::Keyboard::Key key;
        uint16_t padButtons;
        uint32_t leaveTo;
    };
    const Case cases[] = {{sf::Keyboard::R, 0, AfterPodium::Rematch},
                          {sf::Keyboard::Numpad9, 0, AfterPodium::Rematch},
                          {sf::Keyboard::Unknown, kPadY, AfterPodium::Rematch},
                          {sf::Keyboard::BackSpace, 0, AfterPodium::LevelSelect},
                          {sf::Keyboard::Unknown, kPadX, AfterPodium::LevelSelect}};
    for (const Case& c : cases) {
        startMatch(3, 2, 60);
        runToPlay();
        player(2)->lives = 1;
        match()->timeLeft = 0.01f;
        ASSERT_TRUE(runUntilPhase(MatchPhase::Podium, 600));
        const auto press = [&] {
            if (c.padButtons != 0) {
                padTap(0, c.padButtons);
            } else {
                tap(c.key);
            }
        };
        press();
        EXPECT_EQ(match()->phase, MatchPhase::Podium) << "ignored while the columns grow";
        ASSERT_TRUE(runUntilGrown());
        press();
        EXPECT_EQ(match()->phase, MatchPhase::FadeOut);
        EXPECT_EQ(match()->end.leaveTo, c.leaveTo);
        run(40);
        EXPECT_EQ(MatchRun::instance().seatedAtLevelSelect, c.leaveTo == AfterPodium::LevelSelect);
        if (match() != nullptr) {
            leaveMatch();
        }
        MatchRun::instance() = MatchRun{};
    }
}
