// The main menu through the real frames: the title, the simple screens, and the way each of them
// leads back to the title.
#include "tests/frontend/menu_scene.hpp"

#include "audio/sound_manager.hpp"
#include "graphics/renderer.hpp"
#include "graphics/shader_logic.hpp"
#include "objects/game_object.hpp"

#include <algorithm>

using namespace menu_test;

namespace {

class MainMenu : public MenuScene {
  protected:
    void SetUp() override { start(); }
    uint32_t selection() { return menu().title->selection; }
    static std::string pictureOf(GameObject* o) { return o->getComponent<SpriteRenderer>()->textureName; }
    std::string volumeShown() { return menu().option->volumeText->getComponent<TextRenderer>()->text; }
    // Moves the title's selection to an item, confirms it and waits out the fade.
    void choose(uint32_t item, float wait = 0.7f) {
        for (int i = 0; i < 50 && selection() != item; ++i) { // ignored while a fade runs
            tap(sf::Keyboard::Down);
        }
        tap(sf::Keyboard::Return);
        runSeconds(wait);
    }
    bool fadeOpen() {
        const FadeEffect* f = menu().fade->fade();
        return !f->running && f->direction > 0.0f && f->radius > 0.0f;
    }
};

} // namespace

// Every screen that returns to the title must leave all six items reachable again.
TEST_F(MainMenu, TheTitleWrapsAndEveryWayBackToItOffersEveryItemAgain) {
    tap(sf::Keyboard::Return); // while the picture opens
    runSeconds(0.7f);
    EXPECT_EQ(screen(), MenuScreen::Title) << "confirm during the opening fade is ignored";
    tap(sf::Keyboard::Up);
    EXPECT_EQ(pictureOf(menu().title->buttons[5]), "QuitHL") << "up on Play selects Quit";
    tap(sf::Keyboard::S);
    EXPECT_EQ(selection(), TitleItem::Play) << "down on Quit selects Play";

    choose(TitleItem::Options);
    ASSERT_EQ(screen(), MenuScreen::OptionsScreen);
    tap(sf::Keyboard::Up); // the back row
    press(sf::Keyboard::Return);
    ASSERT_EQ(screen(), MenuScreen::Title);

    choose(TitleItem::Tutorial);
    for (int page = 0; page < 3; ++page) {
        tap(sf::Keyboard::Return);
    }
    runSeconds(0.7f);
    ASSERT_EQ(screen(), MenuScreen::Title);

    choose(TitleItem::Credits);
    ASSERT_EQ(screen(), MenuScreen::CreditsScreen);
    press(sf::Keyboard::Space);
    ASSERT_EQ(screen(), MenuScreen::Title);

    choose(TitleItem::Quit, 0.0f);
    ASSERT_EQ(screen(), MenuScreen::QuitConfirm) << "at once, with no fade";
    EXPECT_EQ(pictureOf(menu().quit->noButton), "NoHL");
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
    SoundManager& sound = SoundManager::instance();
    sound.setVolume(0.6999999f); // seven tenths, as a float that just misses them
    runSeconds(0.5f);
    choose(TitleItem::Options);
    EXPECT_EQ(volumeShown(), "07");
    // Up to full and down to nothing, a tenth a step, stopping at either end.
    auto shown = [](int tenths) { return (tenths < 10 ? "0" : "") + std::to_string(tenths); };
    for (int tenths = 8; tenths <= 11; ++tenths) {
        tap(sf::Keyboard::D);
        EXPECT_EQ(volumeShown(), shown(std::min(tenths, 10)));
    }
    for (int tenths = 9; tenths >= -1; --tenths) {
        tap(sf::Keyboard::Left);
        EXPECT_EQ(volumeShown(), shown(std::max(tenths, 0)));
    }
    EXPECT_EQ(sound.volume, 0.0f);

    tap(sf::Keyboard::Down);
    tap(sf::Keyboard::Right);
    EXPECT_TRUE(sound.muted);
    EXPECT_EQ(pictureOf(menu().option->muteBox), "CheckboxTick");
    tap(sf::Keyboard::Down);
    const bool fullscreen = Engine::instance().fullscreen;
    tap(sf::Keyboard::Left);
    EXPECT_NE(Engine::instance().fullscreen, fullscreen);
    EXPECT_EQ(pictureOf(menu().option->windowBox), fullscreen ? "CheckboxTick" : "Checkbox");
    tap(sf::Keyboard::Down); // back row: left and right do nothing there
    tap(sf::Keyboard::Left);
    tap(sf::Keyboard::Right);
    EXPECT_EQ(sound.volume, 0.0f);
    EXPECT_TRUE(sound.muted);
    EXPECT_FALSE(menu().option->selectionPanel->active);
    EXPECT_EQ(pictureOf(menu().option->backButton), "BackHL");
}

// Player selection's start closes the fade; if the start check stops passing inside the half
// second, the change is called off cleanly, and the next start takes its whole half second.
TEST_F(MainMenu, AStartCutShortIsCalledOffAndTheNextOneTakesItsFullTime) {
    for (bool padLost : {false, true}) {
        SCOPED_TRACE(padLost ? "a pad lost" : "a ready cancelled");
        runSeconds(0.7f); // the title opens
        choose(TitleItem::Play, 1.0f);
        ASSERT_EQ(screen(), MenuScreen::PlayerSelect);
        tap(sf::Keyboard::T);
        tap(sf::Keyboard::T);
        padTap(0, kPadA);
        padTap(0, kPadA); // both ready: the fade closes
        runSeconds(0.2f);
        ASSERT_LT(menu().fade->fade()->direction, 0.0f);
        if (padLost) {
            harness->pads.connect(0, false);
        } else {
            tap(sf::Keyboard::G);
        }
        runSeconds(0.7f);
        EXPECT_EQ(screen(), MenuScreen::PlayerSelect);
        EXPECT_TRUE(fadeOpen());
        EXPECT_FLOAT_EQ(menu().transitionTimer, menu().transitionTime);

        if (padLost) {
            padTap(0, kPadA);
        }
        padLost ? padTap(0, kPadA) : tap(sf::Keyboard::T);
        runSeconds(0.4f);
        EXPECT_EQ(screen(), MenuScreen::PlayerSelect) << "the change still has time to run";
        runSeconds(0.2f);
        EXPECT_EQ(screen(), MenuScreen::LevelSelectScreen);
        press(sf::Keyboard::Escape); // back to player selection, and on to the title
        press(sf::Keyboard::Escape);
        ASSERT_EQ(screen(), MenuScreen::Title);
    }
}
