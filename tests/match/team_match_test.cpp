// Team matches without a window: teammates' hits, the end by the last side standing or by the
// sides' lives at time-up, and the podium that keeps a side together.
#include "tests/match/match_scene.hpp"

#include "gameplay/explosion.hpp"
#include "gameplay/object_factory.hpp"
#include "gameplay/teams.hpp"
#include "graphics/renderer.hpp"
#include "physics/rigid_body.hpp"

#include <optional>
#include <string>
#include <vector>

using namespace match_test;

namespace {

class TeamMatch : public MatchScene {
  protected:
    // A team match of as many players as letters ("RBRB"), each side as its letter says.
    void startTeams(const std::string& letters, int lives = 3, bool hits = false) {
        QuickMatch quick{"Meadow", static_cast<int>(letters.size()), lives, 180};
        quick.teams.on = true;
        quick.teams.hits = hits;
        quick.teams.seat = *ParseTeamLetters(letters);
        WriteQuickMatchSettings(quick);
        for (int n = 3; n <= quick.players; ++n) {
            harness.pads.connect(static_cast<uint32_t>(n - 3), true);
        }
        startWithCurrentSettings();
    }
    // Ends the match at time-up with each player on the lives given, to its podium.
    void podiumAtTimeUp(const std::vector<uint32_t>& lives) {
        endAtTimeUp(lives);
        ASSERT_TRUE(runUntilPhase(MatchPhase::Podium, 400));
    }
    std::string banner() {
        GameObject* text = match()->end.teamBanner;
        return text != nullptr ? text->getComponent<TextRenderer>()->text : "";
    }
    std::string title() { return match()->end.victoryText->getComponent<SpriteRenderer>()->textureName; }
    float columnX(int n) { return match()->end.podiums[static_cast<size_t>(n - 1)].x; }

    // An explosion of player `from`'s shot over players 1 and 2; their multipliers and pushes after it.
    struct Hit {
        float damage1, damage2;
        vec2 push1;
    };
    Hit blast(uint32_t from) {
        player(1)->tank.rigidBody->SetPosition(-1.0f, 0.0f);
        player(2)->tank.rigidBody->SetPosition(1.0f, 0.0f);
        run(1);
        for (int n : {1, 2}) {
            player(n)->knockbackMultiplier = 1.0f;
            player(n)->tank.rigidBody->force = {};
        }
        Explosion* explosion =
            MakeExplosion({0.0f, -0.5f}, {6.0f, 6.0f}, "Player " + std::to_string(from), 500.0f, 20.0f);
        explosion->Update();
        return {player(1)->knockbackMultiplier - 1.0f, player(2)->knockbackMultiplier - 1.0f,
                player(1)->tank.rigidBody->force};
    }
};

} // namespace

TEST(Teams, LettersGiveEachSeatItsSideAndOnlyDifferentPlayersOfOneSideAreTeammates) {
    EXPECT_EQ(ParseTeamLetters("RRbB"), (std::array<uint8_t, 4>{kTeamRed, kTeamRed, kTeamBlue, kTeamBlue}));
    EXPECT_EQ(ParseTeamLetters("BR"), (std::array<uint8_t, 4>{kTeamBlue, kTeamRed, kTeamRed, kTeamBlue}))
        << "seats without a letter keep the side they start on";
    for (const char* bad : {"", "RBG", "RBRBR", "R B"}) {
        EXPECT_FALSE(ParseTeamLetters(bad).has_value()) << bad;
    }
    Teams teams;
    teams.seat = *ParseTeamLetters("RRBR");
    EXPECT_FALSE(teams.Teammates(1, 2)) << "a free-for-all has no teammates";
    teams.on = true;
    EXPECT_TRUE(teams.Teammates(1, 2) && teams.Teammates(4, 1) && teams.Spares(2, 4));
    EXPECT_FALSE(teams.Teammates(1, 3) || teams.Teammates(3, 3) || teams.Teammates(1, 0) ||
                 teams.Teammates(5, 1));
    EXPECT_FALSE(teams.Spares(1, 1)) << "a player's own shot hurts as always";
    teams.hits = true;
    EXPECT_FALSE(teams.Spares(2, 4));
    EXPECT_TRUE(teams.BothSidesSeated(3));
    EXPECT_FALSE(teams.BothSidesSeated(2));
}

TEST(Teams, SettingsRoundTripAndRefuseWhatNoTeamMatchCanBe) {
    MatchSettings& settings = MatchSettings::instance();
    Teams teams;
    teams.on = true;
    teams.seat = *ParseTeamLetters("BBRR");
    WriteTeams(settings, teams);
    EXPECT_EQ(ReadTeams(settings), teams);
    EXPECT_EQ(TeamSettingsProblem(settings.all(), 4), "");
    EXPECT_EQ(TeamSettingsProblem(settings.all(), 2), "a team match needs a player on each side");
    EXPECT_EQ(TeamSettingsProblem({}, 2), "") << "no team keys: a free-for-all (recordings before teams)";
    EXPECT_EQ(TeamSettingsProblem({{"Teams", "yes"}}, 2), "the setting Teams is not 0 or 1");
    EXPECT_EQ(TeamSettingsProblem({{"PlayerTeam3", "Green"}}, 4),
              "the setting PlayerTeam3 is not Red or Blue");
    WriteTeams(settings, Teams{});
    EXPECT_FALSE(ReadTeams(settings).on) << "a free-for-all after a team match leaves no teams behind";
}

// A teammate's blast pushes without damage unless team hits are on; an opponent's always hurts.
TEST_F(TeamMatch, ATeammatesBlastPushesWithoutDamageAndAnOpponentsHurts) {
    startTeams("RBRB");
    runToPlay();
    const float fourBefore = player(4)->knockbackMultiplier;
    Hit hit = blast(3); // player 3 plays with player 1, against players 2 and 4
    EXPECT_EQ(hit.damage1, 0.0f);
    EXPECT_GT(lengthSquared(hit.push1), 1.0f) << "but the blast still pushes";
    EXPECT_NEAR(hit.damage2, 0.2f * player(2)->damageScale, 1e-5f);
    // The pulses of special bullets take the same way: a teammate's pushes only.
    player(1)->ApplyKnockback({}, 0.0f, 10.0f, 0.5f, 3);
    EXPECT_EQ(player(1)->knockbackMultiplier, 1.0f);
    EXPECT_EQ(player(1)->stunTimer, 0.0f);
    player(1)->ApplyKnockback({}, 0.0f, 10.0f, 0.5f, 1);
    EXPECT_NEAR(player(1)->knockbackMultiplier, 1.0f + 0.1f * player(1)->damageScale, 1e-5f)
        << "a player's own blast hurts";
    run(1); // the blast lasts: whoever it reaches on this frame, wherever the spawns put them
    const float opponents =
        (player(2)->knockbackMultiplier - 1.0f) + (player(4)->knockbackMultiplier - fourBefore);
    EXPECT_GE(opponents, hit.damage2);
    EXPECT_NEAR(match()->stats.seats[2].damageDealt, opponents * 100.0f, 0.01f)
        << "the opponents' damage alone counts as dealt";

    leaveMatch();
    startTeams("RBRB", 3, true);
    runToPlay();
    hit = blast(3);
    EXPECT_NEAR(hit.damage1, 0.2f * player(1)->damageScale, 1e-5f) << "team hits on";
    EXPECT_NEAR(hit.damage2, 0.2f * player(2)->damageScale, 1e-5f);
}

TEST_F(TeamMatch, TheLastSideWithLivesWinsThoughOneOfItsPlayersIsOut) {
    startTeams("RBRB", 1);
    runToPlay();
    fall(1);
    fall(2);
    EXPECT_EQ(player(1)->lives + player(2)->lives, 0u);
    EXPECT_EQ(match()->phase, MatchPhase::Playing) << "each side still has a player";
    fall(4);
    ASSERT_EQ(match()->phase, MatchPhase::GameSet);
    EXPECT_EQ(match()->end.endReason, EndReason::KnockOut);
    ASSERT_TRUE(runUntilPhase(MatchPhase::Podium, 400));
    EXPECT_EQ(match()->Ranks(), (std::vector<int32_t>{1, 2, 1, 2})) << "player 1, out, wins with player 3";
    EXPECT_EQ(title(), "VictoryText");
    EXPECT_EQ(banner(), "Red team wins!");
    // The winners stand side by side on the left, at the top.
    EXPECT_EQ(std::vector<float>({columnX(1), columnX(3), columnX(2), columnX(4)}),
              std::vector<float>({-15.0f, -5.0f, 5.0f, 15.0f}));
    EXPECT_EQ(match()->end.podiums[0].targetHeight, 9.0f);
}

// At time-up the side with more lives in all wins, however many players each has; equal lives
// on both sides are a draw.
TEST_F(TeamMatch, AtTimeUpTheSideWithMoreLivesInAllWinsAndEqualLivesDraw) {
    startTeams("RRB"); // two against one
    podiumAtTimeUp({2, 2, 3});
    EXPECT_EQ(match()->Ranks(), (std::vector<int32_t>{1, 1, 2})) << "4 lives in all beat 3";
    EXPECT_EQ(banner(), "Red team wins!");
    leaveMatch();
    startTeams("BRR");
    podiumAtTimeUp({3, 1, 1});
    EXPECT_EQ(match()->Ranks(), (std::vector<int32_t>{1, 2, 2}));
    EXPECT_EQ(banner(), "Blue team wins!");
    EXPECT_EQ(columnX(1), -10.0f) << "the winner on the left";
    leaveMatch();
    startTeams("RBRB");
    podiumAtTimeUp({1, 2, 2, 1});
    EXPECT_EQ(match()->Ranks(), (std::vector<int32_t>{0, 0, 0, 0}));
    EXPECT_EQ(title(), "DrawText");
    EXPECT_EQ(banner(), "Draw!");
    EXPECT_EQ(match()->end.podiums[3].targetHeight, 9.0f);
}

TEST_F(TeamMatch, TanksMarkersAndPanelsWearTheirSidesRim) {
    startTeams("RBB");
    runToPlay();
    auto rimOf = [](GameObject* parent) -> GameObject* {
        for (Transform* child : parent->transform.children) {
            if (child->owner->name == "TeamRim") {
                return child->owner;
            }
        }
        return nullptr;
    };
    for (int n = 1; n <= 3; ++n) {
        const float blue = n == 1 ? TeamColour(kTeamRed).z : TeamColour(kTeamBlue).z;
        GameObject* glow = player(n)->tank.teamRim;
        ASSERT_NE(glow, nullptr);
        EXPECT_EQ(glow->getComponent<SpriteRenderer>()->color.z, blue) << n;
        GameObject* marker = rimOf(match()->indicators[static_cast<size_t>(n - 1)]);
        ASSERT_NE(marker, nullptr);
        EXPECT_EQ(marker->getComponent<SpriteRenderer>()->color.z, blue);
        GameObject* panel = rimOf(match()->statsPanels[static_cast<size_t>(n - 1)]->root);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->getComponent<GameUIRenderer>()->color.z, blue);
    }
    // The glow goes with the tank when it falls, and comes back with it.
    fall(2);
    EXPECT_FALSE(player(2)->tank.teamRim->active);
    run(200);
    EXPECT_TRUE(player(2)->tank.teamRim->active);
    leaveMatch();
    startMatch(2);
    EXPECT_EQ(player(1)->tank.teamRim, nullptr) << "a free-for-all has no sides";
}
