// Pads that come and go in a real match, and the seats that wait for them.
#include "tests/match/match_scene.hpp"

#include "graphics/renderer.hpp"
#include "objects/game_object.hpp"
#include "physics/rigid_body.hpp"

using namespace match_test;

namespace {

class PadLoss : public MatchScene {
  protected:
    PauseMenu& menu() { return match()->pause; }
    bool noticeShown() { return menu().noticeText->active; }
    std::string notice() { return menu().noticeText->getComponent<TextRenderer>()->text; }
    PlayerActions actionsOf(int n) { return readActions(player(n)->controls, InputManager::instance()); }
};

} // namespace

TEST_F(PadLoss, ALostPadPausesAtOnceAndANewPadTakesTheSeatWithEverythingItHad) {
    startMatch(3); // player 3 on pad 0
    runToPlay();
    harness.pads.pad(0).sThumbLX = 32767;
    harness.pads.pad(0).bRightTrigger = 255;
    run(10);
    Player* p = player(3);
    ASSERT_TRUE(actionsOf(3).moveRight && p->charging);
    p->knockbackMultiplier = 1.75f;
    p->lives = 2;
    testing::internal::CaptureStdout();

    harness.pads.connect(0, false);
    run(1);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Player 3's pad stopped answering\n"),
              std::string::npos);
    EXPECT_EQ(match()->phase, MatchPhase::Paused);
    EXPECT_EQ(notice(), "Player 3's pad is missing");
    EXPECT_FALSE(p->charging || p->charge > 0.0f) << "the shot being charged goes with the pad";

    // The others may play on without it; the seat then reads nothing and the pause is not asked
    // again.
    tap(sf::Keyboard::Escape);
    run(5);
    EXPECT_EQ(match()->phase, MatchPhase::Playing);
    EXPECT_FALSE(actionsOf(3).moveRight || actionsOf(3).shootHeld);
    EXPECT_FALSE(p->charging) << "no shot was fired or charged by a pad that is gone";
    EXPECT_FALSE(noticeShown());

    // Back in the pause, a pad nobody plays with arrives and takes the seat.
    tap(sf::Keyboard::Escape);
    ASSERT_EQ(match()->phase, MatchPhase::Paused);
    EXPECT_TRUE(noticeShown());
    harness.pads.pad(2).sThumbLX = -32768;
    harness.pads.connect(2, true);
    run(1);
    EXPECT_EQ(p->controls.padIndex, 2u);
    EXPECT_FALSE(noticeShown());
    EXPECT_EQ(p->lives, 2u);
    EXPECT_FLOAT_EQ(p->knockbackMultiplier, 1.75f);

    padTap(2, kPadStart); // the new pad answers the menu as the seat's own
    EXPECT_EQ(match()->phase, MatchPhase::Playing);
    EXPECT_TRUE(actionsOf(3).moveLeft);
}

TEST_F(PadLoss, APadLostBeforeGoPausesOnceTheMatchPlaysAndOneLostAtTheEndPausesNothing) {
    startMatch(3);
    run(3); // the fade-in
    ASSERT_EQ(match()->phase, MatchPhase::FadeIn);
    harness.pads.connect(0, false);
    ASSERT_TRUE(runUntilPhase(MatchPhase::Paused, 400));
    EXPECT_GT(match()->timeLeft, 179.9f) << "paused as play began";
    EXPECT_EQ(notice(), "Player 3's pad is missing");

    // Its own pad back in the pause: the seat has it again and the notice goes.
    harness.pads.connect(0, true);
    run(1);
    EXPECT_FALSE(noticeShown());
    padTap(0, kPadStart);
    EXPECT_EQ(match()->phase, MatchPhase::Playing);

    // At the end nothing is left to pause.
    match()->timeLeft = 0.05f;
    ASSERT_TRUE(runUntilPhase(MatchPhase::GameSet, 30));
    harness.pads.connect(0, false);
    run(2);
    EXPECT_EQ(match()->phase, MatchPhase::GameSet);
}

// A player who is out is neither waited for nor named; seats on the keyboard or played by
// computers never pause the match for pads, whether none is there at the start or one is lost.
TEST_F(PadLoss, OnlyPlayersStillInOnPadsAreWaitedFor) {
    WriteQuickMatchSettings({"Meadow", 4, 3, 180, 2, "easy"}); // two on the keyboard, two computers
    startWithCurrentSettings();
    runToPlay();
    for (bool connected : {true, false}) {
        for (uint32_t pad = 0; pad < kMaxPads; ++pad) {
            harness.pads.connect(pad, connected);
        }
        run(3);
    }
    EXPECT_EQ(match()->phase, MatchPhase::Playing);

    leaveMatch();
    startMatch(4, 1); // players 3 and 4 on pads 0 and 1, one life each
    runToPlay();
    fall(3, 3);
    ASSERT_EQ(player(3)->lives, 0u);
    harness.pads.connect(0, false);
    run(3);
    EXPECT_EQ(match()->phase, MatchPhase::Playing);

    harness.pads.connect(1, false);
    run(1);
    EXPECT_EQ(match()->phase, MatchPhase::Paused);
    EXPECT_EQ(notice(), "Player 4's pad is missing");
}
