// Whole matches through the real phase machine: fade-in, "Go", play, the end banner, the podium
// and the way back to the main menu.
#include "tests/match/match_scene.hpp"

#include "gameplay/arena_objects.hpp"
#include "graphics/renderer.hpp"
#include "match/match_run.hpp"
#include "objects/game_object_list.hpp"
#include "physics/rigid_body.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gmock/gmock.h>

#include <array>
#include <set>
#include <vector>

using namespace match_test;
using testing::FloatNear;
using testing::UnorderedElementsAre;

namespace {

class MatchFlow : public MatchScene {
  protected:
    // The pick-up kinds of the crates in the arena.
    static std::multiset<uint32_t> crates() {
        std::multiset<uint32_t> kinds;
        for (GameObject* o : GameObjectList::instance().objects()) {
            if (o->name == "Crate") {
                kinds.insert(o->getComponent<Crate>()->pickUpKind);
            }
        }
        return kinds;
    }
};

// A match ended by its clock.
class MatchEnd : public MatchScene {
  protected:
    const GameOver& end() { return match()->end; }
    float heartX() { return end().heartLeft->owner->transform.position.x; }
    std::string victoryText() { return end().victoryText->getComponent<SpriteRenderer>()->textureName; }
};

} // namespace

TEST_F(MatchFlow, FadeInAndGoSignFreezeTimeThenPlayersAreReleased) {
    startMatch();
    float startY = player(1)->tank.rigidBody->position.y;
    ASSERT_TRUE(runUntilPhase(MatchPhase::GoSign, 60));
    run(20);
    EXPECT_FALSE(player(1)->enabled) << "frozen until the sign has passed";
    EXPECT_EQ(player(1)->tank.rigidBody->position.y, startY) << "nothing falls while time is frozen";
    runToPlay();
    EXPECT_TRUE(player(1)->enabled && player(2)->enabled);
    run(60);
    EXPECT_LT(match()->timeLeft, 179.0f);
}

// Player 1 holds left the whole match: off the edge, the beam pushed to the far left, and off
// again until the lives run out.
TEST_F(MatchFlow, AKnockOutEndsTheMatchAndAConfirmOnTheGrownPodiumLeaves) {
    startMatch(2, 3);
    // Spawn points are drawn at random: put player 2 where player 1's drive cannot reach it.
    player(1)->tank.rigidBody->SetPosition(-8.0f, -7.5f);
    player(2)->tank.rigidBody->SetPosition(12.0f, -4.0f);
    runToPlay();
    key(sf::Keyboard::A, true);
    float sinceOut = 0.0f; // game time
    for (int i = 0; i < 3000 && match()->phase == MatchPhase::Playing; ++i) {
        run(1);
        sinceOut += player(1)->lives == 0 ? 0.017f * FrameTimer::instance().timeScale : 0.0f;
    }
    ASSERT_EQ(match()->phase, MatchPhase::GameSet);
    EXPECT_EQ(match()->end.endReason, EndReason::KnockOut);
    EXPECT_EQ(match()->end.bannerTextLeft->textureName, "GameSetGame");
    EXPECT_EQ(match()->end.bannerTextRight->textureName, "GameSetSet");
    EXPECT_LE(sinceOut, 0.1f + 0.017f) << "the knock-out check runs ten times a second";
    EXPECT_FALSE(player(1)->tank.tankRoot->active) << "a player who is out leaves the arena";

    key(sf::Keyboard::A, false);
    ASSERT_TRUE(runUntilPhase(MatchPhase::Podium, 400));
    const Podium& winner = match()->end.podiums[1];
    if (winner.height < winner.targetHeight) {
        tap(sf::Keyboard::T);
        EXPECT_EQ(match()->phase, MatchPhase::Podium) << "a confirm while a column grows is ignored";
    }
    run(120);
    EXPECT_FLOAT_EQ(winner.height, 9.0f);
    EXPECT_NEAR(player(2)->tank.tankRoot->transform.position.y, 9.0f - 13.0f, 1e-4f) << "on its column";
    tap(sf::Keyboard::Numpad8);
    EXPECT_EQ(match()->phase, MatchPhase::FadeOut);
}

TEST_F(MatchFlow, SlowFramesStillEndOnTime) {
    startMatch(2, 3, 1);
    runToPlay();
    for (int i = 0; i < 30 && match()->phase == MatchPhase::Playing; ++i) {
        run(1, 120); // every frame runs the knock-out check
    }
    EXPECT_EQ(match()->phase, MatchPhase::GameSet);
    EXPECT_EQ(match()->end.endReason, EndReason::TimeUp);
}

TEST_F(MatchFlow, ThreePlayersGoOnAfterTheFirstIsOutAndThePodiumRanksByLives) {
    startMatch(3, 1);
    runToPlay();
    fall(1, 40);
    EXPECT_EQ(player(1)->lives, 0u);
    EXPECT_EQ(match()->phase, MatchPhase::Playing);
    fall(2, 15);
    EXPECT_EQ(match()->phase, MatchPhase::GameSet);
    ASSERT_TRUE(runUntilPhase(MatchPhase::Podium, 400));
    for (size_t i : {0u, 1u, 2u}) { // equal lives share a rank, and the last stands on the ground
        EXPECT_EQ(match()->end.podiums[i].rank, i == 2 ? 1 : 2);
        EXPECT_FLOAT_EQ(match()->end.podiums[i].targetHeight, i == 2 ? 9.0f : 0.0f);
    }
}

TEST_F(MatchFlow, ADeathTakesALifeOnceAndAShakeKeepsItsBase) {
    startMatch(2, 3);
    runToPlay();
    Player* p = player(1);
    key(sf::Keyboard::T, true); // charging a shot
    run(10);
    ASSERT_TRUE(p->charging);
    p->tank.rigidBody->SetPosition(-5.0f, -40.0f); // touches the bottom border
    run(8, 5); // short frames: some run no physics step and see the touch again
    key(sf::Keyboard::T, false);
    EXPECT_EQ(p->lives, 2u) << "one life however many frames it touches";
    EXPECT_EQ(p->respawning, 1u);
    EXPECT_FALSE(p->charging) << "a death clears the charge";
    EXPECT_EQ(p->charge, 0.0f);
    Camera& camera = match()->camera;
    ASSERT_GT(camera.shakeTime, 0.0f);
    vec3 base = camera.shakeBase;
    player(2)->tank.rigidBody->SetPosition(5.0f, -40.0f);
    run(3);
    EXPECT_EQ(player(2)->lives, 2u);
    EXPECT_EQ(camera.shakeBase.x, base.x);
    EXPECT_EQ(camera.shakeBase.y, base.y);
    run(60);
    EXPECT_EQ(camera.position.x, base.x) << "the eye comes back when the shake ends";

    // The respawn: 2.5 s of beam, then the tank is back with its controls and no old shot.
    run(150);
    EXPECT_EQ(p->respawning, 0u);
    EXPECT_TRUE(p->tank.rigidBody->enabled);
    EXPECT_EQ(GameObjectList::instance().find("Bullet"), nullptr)
        << "no shot left over from before the death";
}

TEST_F(MatchFlow, TheFirstCrateFallsThirtySecondsInThenOneEveryTwentyAndTheFirstThreeCarryEachKindOnce) {
    // A seed whose free draws would repeat a kind among the first three crates.
    MatchRun::instance().fixedSeed = 1;
    startMatch(2, 3, 600);
    runToPlay();
    run(298, 100); // 29.8 s of play
    EXPECT_EQ(crates().size(), 0u);
    run(4, 100);
    EXPECT_EQ(crates().size(), 1u);
    run(196, 100); // 49.8 s
    EXPECT_EQ(crates().size(), 1u);
    run(4, 100);
    EXPECT_EQ(crates().size(), 2u);

    // The third at once: with the two before it, one of each kind.
    match()->crateTimer = 0.0f;
    run(1);
    EXPECT_EQ(crates(), (std::multiset<uint32_t>{1, 2, 3}));
    player(2)->pickUpKind = PickUpKind::BlackHole;
    for (int i = 0; i < 40; ++i) {
        match()->crateTimer = 0.0f;
        run(1);
    }
    EXPECT_EQ(crates().count(PickUpKind::BlackHole), 1u) << "never a second black hole while one is held";
}

// The right point stands near the right end of a small platform: the tank that shares it
// starts to its left, where the platform goes on.
TEST_F(MatchFlow, FourPlayersOnATwoPointMapStartSideBySideOnThePlatforms) {
    TempRunDir dir;
    dir.writeResource("JsonData/Pair.json", R"({"MapName": "Pair", "CameraZoom": 30, "Object": [
        {"ObjName": "Platform", "Position": [-6, -5], "Rotation": [0, 0, 0], "Scale": [12, 1, 1]},
        {"ObjName": "Platform", "Position": [4.5, -5], "Rotation": [0, 0, 0], "Scale": [6, 1, 1]},
        {"ObjName": "SpawnPoint", "Position": [-6, -3, 0]},
        {"ObjName": "SpawnPoint", "Position": [6, -3, 0]}]})");
    testing::internal::CaptureStdout();
    startMatch(4, 3, 180, "Pair");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Map \"Pair\" has 2 spawn points for 4 players"), std::string::npos) << out;
    std::array<float, 4> starts{};
    for (int n = 1; n <= 4; ++n) {
        ASSERT_NE(player(n), nullptr);
        starts[static_cast<size_t>(n - 1)] = player(n)->tank.tankRoot->transform.position.x;
    }
    // A tank's width beside the one on each point.
    EXPECT_THAT(starts, UnorderedElementsAre(FloatNear(-6.0f, 1e-4f), FloatNear(-6.0f + 2.6f, 1e-4f),
                                             FloatNear(6.0f - 2.6f, 1e-4f), FloatNear(6.0f, 1e-4f)));

    runToPlay();
    run(60);
    for (int n = 1; n <= 4; ++n) {
        const vec2 at = player(n)->tank.rigidBody->position;
        EXPECT_NEAR(at.x, starts[static_cast<size_t>(n - 1)], 0.3f) << "player " << n << " was pushed away";
        EXPECT_GT(at.y, -4.5f) << "player " << n << " stands on a platform";
    }
}

TEST_F(MatchFlow, AnEmptyRecordGivesAnEmptyArenaThatLeavesAfterTheSign) {
    startWithCurrentSettings();
    EXPECT_EQ(match()->playerCount, 0);
    ASSERT_NE(match()->gameTimer, nullptr) << "the clock exists without a map";
    // With nobody to play, the match goes back to the menu after the sign, through the fade.
    ASSERT_TRUE(runUntilPhase(MatchPhase::FadeOut, 200));
    run(20);
    EXPECT_FALSE(inMainMenu()) << "the fade takes half a second";
    run(12);
    EXPECT_TRUE(inMainMenu());
}

TEST_F(MatchEnd, TheBannerSaysTimeUpTimeSlowsToAHaltAndTheVictoryScreenComesAsTheHeartsMeet) {
    startMatch(2);
    endAtTimeUp({3, 3});
    EXPECT_EQ(end().endReason, EndReason::TimeUp);
    EXPECT_EQ(end().bannerTextLeft->textureName, "TimeUpTime");
    EXPECT_EQ(end().bannerTextRight->textureName, "TimeUpUp");
    run(30); // half a second
    EXPECT_NEAR(FrameTimer::instance().timeScale, 0.5f, 0.05f);
    EXPECT_FALSE(end().heartLeft->owner->active) << "the hearts wait for time to stop";
    run(30);
    EXPECT_EQ(FrameTimer::instance().timeScale, 0.0f);
    EXPECT_TRUE(end().heartLeft->owner->active && end().heartRight->owner->active);
    float before = heartX();
    for (int i = 0; i < 200 && match()->victoryBackground == nullptr; ++i) {
        before = heartX();
        run(1);
    }
    ASSERT_NE(match()->victoryBackground, nullptr);
    EXPECT_LT(before, -0.5f) << "apart the frame before";
    EXPECT_EQ(heartX(), -0.5f) << "built in the frame the hearts meet";
    EXPECT_EQ(end().heartRight->owner->transform.position.x, 0.5f);
}

// Equal lives at time-up are a draw, every column growing to the top at ten units a second;
// three, three and one put the two leaders on top, growing at eight, and the last on the ground.
TEST_F(MatchEnd, AtTimeUpLivesRankThePodiumAndEqualLivesShareARankOrDraw) {
    startMatch(3);
    endAtTimeUp({3, 3, 3});
    ASSERT_TRUE(runUntilPhase(MatchPhase::Podium, 400));
    EXPECT_EQ(victoryText(), "DrawText");
    run(30); // 0.51 s
    for (const Podium& column : {end().podiums[0], end().podiums[1], end().podiums[2]}) {
        EXPECT_EQ(column.rank, 0);
        EXPECT_EQ(column.targetHeight, 9.0f);
        EXPECT_NEAR(column.height, 5.1f, 0.05f);
    }

    leaveMatch();
    startMatch(3);
    endAtTimeUp({3, 3, 1});
    ASSERT_TRUE(runUntilPhase(MatchPhase::Podium, 400));
    EXPECT_EQ(victoryText(), "VictoryText");
    run(30);
    for (const Podium& leader : {end().podiums[0], end().podiums[1]}) {
        EXPECT_EQ(leader.rank, 1);
        EXPECT_EQ(leader.targetHeight, 9.0f);
        EXPECT_NEAR(leader.height, 0.51f * 8.0f, 0.05f) << "the winners' columns grow at 8 units a second";
    }
    EXPECT_EQ(end().podiums[2].rank, 2);
    EXPECT_EQ(end().podiums[2].height, 0.0f);
}
