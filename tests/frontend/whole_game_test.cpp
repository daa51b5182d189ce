// The whole game as a newcomer plays it, keys only: past the splash, two players join on the
// keyboard, pick the second map, play until player 1 has driven off the arena three times, stand
// on the podium, come back to the title, play a second match and quit.
#include "tests/frontend/menu_scene.hpp"

#include "gameplay/player.hpp"

using namespace menu_test;

namespace {

class WholeGame : public MenuScene {
  protected:
    PlayGameState* match() { return dynamic_cast<PlayGameState*>(harness->engine().states->state); }
    bool inPhase(uint32_t phase) { return match()->phase == phase; }

    // Title, player selection (both keyboard halves join and get ready), level select, a map,
    // the start row and into the match.
    void startMatch(int mapSteps) {
        ASSERT_EQ(screen(), MenuScreen::Title);
        press(sf::Keyboard::Return);
        runSeconds(0.3f); // nobody joins while the picture opens
        for (auto k : {sf::Keyboard::T, sf::Keyboard::Numpad8, sf::Keyboard::T, sf::Keyboard::Numpad8}) {
            tap(k); // join, then ready
        }
        runSeconds(0.7f);
        ASSERT_EQ(screen(), MenuScreen::LevelSelectScreen);
        for (int i = 0; i < mapSteps; ++i) {
            tap(sf::Keyboard::Right);
        }
        for (auto k : {sf::Keyboard::Up, sf::Keyboard::Return}) {
            tap(k);
        }
        ASSERT_TRUE(runUntil([&] { return current() == GameStateId::Play; }, 60));
    }
    // Player 1 (left half) holds left until out of lives; the podium's confirm leads to the title.
    void playToTheKnockOut() {
        ASSERT_TRUE(runUntil([&] { return inPhase(MatchPhase::Playing); }, 300));
        key(sf::Keyboard::A, true);
        ASSERT_TRUE(runUntil([&] { return !inPhase(MatchPhase::Playing); }, 4000));
        key(sf::Keyboard::A, false);
        EXPECT_EQ(match()->players[0]->lives, 0u);
        ASSERT_TRUE(runUntil([&] { return inPhase(MatchPhase::Podium); }, 400));
        runSeconds(1.5f); // the columns grow
        tap(sf::Keyboard::T);
        ASSERT_TRUE(runUntil([&] { return current() == GameStateId::MainMenu; }, 60));
        runSeconds(0.7f);
        EXPECT_EQ(screen(), MenuScreen::Title);
    }
};

} // namespace

TEST_F(WholeGame, FromTheSplashThroughTwoMatchesToQuitting) {
    start(GameStateId::Splash);
    runSeconds(5.5f);
    tap(sf::Keyboard::Return); // skippable from the second picture on
    ASSERT_EQ(current(), GameStateId::MainMenu);
    runSeconds(0.5f);

    startMatch(1);
    EXPECT_EQ(match()->mapName, "Canyon");
    playToTheKnockOut();
    startMatch(0); // a second match in the same run, on the first map
    EXPECT_EQ(match()->mapName, "Meadow");
    playToTheKnockOut();

    for (auto k : {sf::Keyboard::Up, sf::Keyboard::Return, sf::Keyboard::Right, sf::Keyboard::Return}) {
        tap(k); // Quit, then "Yes"
    }
    run(3);
    EXPECT_FALSE(running) << "the program ends from the quit confirmation";
}
