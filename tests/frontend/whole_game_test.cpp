// The whole game as a newcomer plays it, keys only: past the splash, two players join on the
// keyboard, pick the second map and 3:00, play until player 1 has driven off the arena three
// times, stand on the podium, come back to the title, play a second match and quit.
#include "tests/frontend/menu_scene.hpp"

#include "gameplay/player.hpp"
#include "match/match_settings.hpp"
#include "objects/game_object_list.hpp"

using namespace menu_test;

namespace {

class WholeGame : public MenuScene {
  protected:
    PlayGameState* match() { return dynamic_cast<PlayGameState*>(harness->engine().states->state); }

    // Title → player selection → both keyboard halves join and get ready → level select.
    void joinTwoPlayers() {
        ASSERT_EQ(screen(), MenuScreen::Title);
        press(sf::Keyboard::Return);
        ASSERT_EQ(screen(), MenuScreen::PlayerSelect);
        runSeconds(0.3f);           // nobody joins while the picture opens
        tap(sf::Keyboard::T);       // joins and opens panel 1
        tap(sf::Keyboard::Numpad8); // panel 2
        EXPECT_EQ(menu().joinedCount, 2u);
        tap(sf::Keyboard::T); // ready
        tap(sf::Keyboard::Numpad8);
        runSeconds(0.7f);
        ASSERT_EQ(screen(), MenuScreen::LevelSelectScreen);
    }
    void startFromLevelSelect() {
        for (int i = 0; i < 3; ++i) {
            tap(sf::Keyboard::Down);
        }
        tap(sf::Keyboard::Return);
        for (int i = 0; i < 60 && current() != GameStateId::Play; ++i) {
            run(1);
        }
        ASSERT_EQ(current(), GameStateId::Play);
    }
    // Player 1 (left half) holds left until out of lives; the match ends on the knock-out.
    void playToTheKnockOut() {
        for (int i = 0; i < 300 && match()->phase != MatchPhase::Playing; ++i) {
            run(1);
        }
        ASSERT_EQ(match()->phase, MatchPhase::Playing);
        key(sf::Keyboard::A, true);
        for (int i = 0; i < 4000 && match()->phase == MatchPhase::Playing; ++i) {
            run(1);
        }
        key(sf::Keyboard::A, false);
        ASSERT_EQ(match()->phase, MatchPhase::GameSet);
        EXPECT_EQ(match()->players[0]->lives, 0u);
        for (int i = 0; i < 400 && match()->phase != MatchPhase::Podium; ++i) {
            run(1);
        }
        ASSERT_EQ(match()->phase, MatchPhase::Podium);
        runSeconds(1.5f); // the columns grow
        tap(sf::Keyboard::T);
        EXPECT_EQ(match()->phase, MatchPhase::FadeOut);
        for (int i = 0; i < 60 && current() != GameStateId::MainMenu; ++i) {
            run(1);
        }
        ASSERT_EQ(current(), GameStateId::MainMenu);
    }
};

} // namespace

TEST_F(WholeGame, FromTheSplashThroughTwoMatchesToQuitting) {
    start(GameStateId::Splash);
    runSeconds(5.5f);
    tap(sf::Keyboard::Return); // skippable from the second picture on
    ASSERT_EQ(current(), GameStateId::MainMenu);
    runSeconds(0.5f);

    joinTwoPlayers();
    tap(sf::Keyboard::Right); // the second map
    EXPECT_EQ(menu().levelSelect->mapIndex, 1u);
    startFromLevelSelect();
    MatchSettings& settings = MatchSettings::instance();
    EXPECT_EQ(settings.get("TotalPlayer"), "2");
    EXPECT_EQ(settings.get("MapName"), "Canyon");
    EXPECT_EQ(settings.get("Time"), "180");
    EXPECT_EQ(settings.get("Lives"), "3");
    EXPECT_EQ(settings.get("PlayerControl1"), "4");
    EXPECT_EQ(settings.get("PlayerControl2"), "5");
    EXPECT_EQ(settings.get("PlayerControl3"), "-1");
    EXPECT_EQ(match()->mapName, "Canyon");
    EXPECT_NE(GameObjectList::instance().find("TankRoot"), nullptr);

    playToTheKnockOut();
    runSeconds(0.7f);
    EXPECT_EQ(screen(), MenuScreen::Title) << "back on the title";
    EXPECT_NE(GameObjectList::instance().find("TitleRoot"), nullptr);

    // A second match in the same run, on the first map.
    joinTwoPlayers();
    startFromLevelSelect();
    EXPECT_EQ(match()->mapName, "Meadow");
    playToTheKnockOut();
    runSeconds(0.7f);

    tap(sf::Keyboard::Up); // Quit
    tap(sf::Keyboard::Return);
    tap(sf::Keyboard::Right); // "Yes"
    tap(sf::Keyboard::Return);
    run(3);
    EXPECT_FALSE(running) << "the program ends from the quit confirmation";
}
