// The main menu through the real frames: the title, the simple screens, and the way each of them
// leads back to the title.
#include "tests/frontend/menu_scene.hpp"

#include "audio/sound_manager.hpp"
#include "graphics/renderer.hpp"
#include "objects/game_object.hpp"

using namespace menu_test;

namespace {

class MainMenu : public MenuScene {
  protected:
    void SetUp() override { start(); }
    uint32_t selection() { return menu().title->selection; }
    static std::string pictureOf(GameObject* o) { return o->getComponent<SpriteRenderer>()->textureName; }
    std::string volumeShown() { return menu().option->volumeText->getComponent<TextRenderer>()->text; }
};

} // namespace

TEST_F(MainMenu, TitleIgnoresTheOpeningFadeThenWrapsOnePressAtATime) {
    EXPECT_EQ(current(), GameStateId::MainMenu);
    tap(sf::Keyboard::Return); // while the picture opens
    runSeconds(0.7f);
    EXPECT_EQ(screen(), MenuScreen::Title) << "confirm during the opening fade is ignored";

    tap(sf::Keyboard::Up);
    EXPECT_EQ(selection(), TitleItem::Quit) << "up on Play selects Quit";
    EXPECT_EQ(pictureOf(menu().title->buttons[4]), "QuitHL");
    EXPECT_EQ(pictureOf(menu().title->buttons[0]), "PlayButton");
    tap(sf::Keyboard::S);
    EXPECT_EQ(selection(), TitleItem::Play) << "down on Quit selects Play";

    key(sf::Keyboard::Down, true); // held: the system's repeat sends more presses
    for (int i = 0; i < 20; ++i) {
        key(sf::Keyboard::Down, true);
        run(1);
    }
    key(sf::Keyboard::Down, false);
    run(1);
    EXPECT_EQ(selection(), TitleItem::Tutorial) << "a held key counts once";
}

// Every screen that returns to the title must leave all five items reachable again.
TEST_F(MainMenu, EveryWayBackToTheTitleOffersEveryItemAgain) {
    runSeconds(0.5f);
    auto choose = [&](uint32_t item) {
        while (selection() != item) {
            tap(sf::Keyboard::Down);
        }
        press(sf::Keyboard::Return);
    };
    choose(TitleItem::Options);
    ASSERT_EQ(screen(), MenuScreen::OptionsScreen);
    tap(sf::Keyboard::Up); // the back row
    press(sf::Keyboard::Return);
    ASSERT_EQ(screen(), MenuScreen::Title);

    choose(TitleItem::Tutorial);
    ASSERT_EQ(screen(), MenuScreen::TutorialScreen);
    for (int page = 0; page < 3; ++page) {
        tap(sf::Keyboard::Return);
    }
    runSeconds(0.7f);
    ASSERT_EQ(screen(), MenuScreen::Title);

    choose(TitleItem::Credits);
    ASSERT_EQ(screen(), MenuScreen::CreditsScreen);
    press(sf::Keyboard::Space);
    ASSERT_EQ(screen(), MenuScreen::Title);

    choose(TitleItem::Quit);
    ASSERT_EQ(screen(), MenuScreen::QuitConfirm);
    tap(sf::Keyboard::Return); // "No"
    run(1);
    ASSERT_EQ(screen(), MenuScreen::Title);

    choose(TitleItem::Play);
    ASSERT_EQ(screen(), MenuScreen::PlayerSelect);
    press(sf::Keyboard::Escape);
    ASSERT_EQ(screen(), MenuScreen::Title);
    EXPECT_EQ(selection(), TitleItem::Play);
    choose(TitleItem::Credits);
    EXPECT_EQ(screen(), MenuScreen::CreditsScreen) << "and the title still goes wherever it is asked";
}

TEST_F(MainMenu, OptionsStepTheVolumeInTenthsAndToggleMuteAndWindow) {
    runSeconds(0.5f);
    for (int i = 0; i < 2; ++i) {
        tap(sf::Keyboard::Down);
    }
    press(sf::Keyboard::Return);
    ASSERT_EQ(screen(), MenuScreen::OptionsScreen);
    SoundManager& sound = SoundManager::instance();
    sound.setVolume(0.1f);
    tap(sf::Keyboard::Left);
    EXPECT_EQ(volumeShown(), "00");
    EXPECT_EQ(sound.volume, 0.0f) << "from 0.1 one step down is 0";
    tap(sf::Keyboard::Left);
    EXPECT_EQ(volumeShown(), "00");
    tap(sf::Keyboard::Right);
    EXPECT_EQ(volumeShown(), "01");
    for (int i = 0; i < 12; ++i) {
        tap(sf::Keyboard::D);
    }
    EXPECT_EQ(volumeShown(), "10");
    EXPECT_FLOAT_EQ(sound.volume, 1.0f);
    for (int i = 10; i > 0; --i) {
        tap(sf::Keyboard::A);
        EXPECT_EQ(volumeShown(), (i - 1 == 10 ? "10" : "0" + std::to_string(i - 1))) << "every step shows";
    }

    tap(sf::Keyboard::Down);
    bool muted = sound.muted;
    tap(sf::Keyboard::Right);
    EXPECT_NE(sound.muted, muted);
    EXPECT_EQ(pictureOf(menu().option->muteBox), sound.muted ? "CheckboxTick" : "Checkbox");
    tap(sf::Keyboard::Down);
    bool fullscreen = Engine::instance().fullscreen;
    tap(sf::Keyboard::Left);
    EXPECT_NE(Engine::instance().fullscreen, fullscreen);
    EXPECT_EQ(pictureOf(menu().option->windowBox),
              Engine::instance().fullscreen ? "Checkbox" : "CheckboxTick");
    tap(sf::Keyboard::Down); // back row: left and right do nothing there
    float volume = sound.volume;
    muted = sound.muted;
    tap(sf::Keyboard::Left);
    tap(sf::Keyboard::Right);
    EXPECT_EQ(sound.volume, volume);
    EXPECT_EQ(sound.muted, muted);
    EXPECT_FALSE(menu().option->selectionPanel->active);
    EXPECT_EQ(pictureOf(menu().option->backButton), "BackHL");
}

TEST_F(MainMenu, QuitAsksFirstOpeningOnNoAndQuitsOnYes) {
    runSeconds(0.5f);
    tap(sf::Keyboard::Up);
    tap(sf::Keyboard::Return);
    run(1);
    EXPECT_EQ(screen(), MenuScreen::QuitConfirm) << "at once, with no fade";
    EXPECT_EQ(pictureOf(menu().quit->noButton), "NoHL");
    EXPECT_EQ(pictureOf(menu().quit->yesButton), "Yes");
    tap(sf::Keyboard::Right);
    EXPECT_EQ(pictureOf(menu().quit->yesButton), "YesHL");
    tap(sf::Keyboard::Return);
    run(2);
    EXPECT_FALSE(running) << "the program ends";
}
