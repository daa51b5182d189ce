// The pause menu inside a real match: who can open it and when, what each screen shows, the
// options it changes and the way out of the match.
#include "tests/match/match_scene.hpp"

#include "audio/sound_manager.hpp"
#include "graphics/renderer.hpp"
#include "graphics/shader_logic.hpp"
#include "objects/game_object.hpp"

#include <initializer_list>
#include <iterator>
#include <string>

using namespace match_test;
using K = sf::Keyboard;

namespace {

class PauseMenuTest : public MatchScene {
  protected:
    PauseMenu& menu() { return match()->pause; }
    static bool shown(const GameUIRenderer* image) { return image->owner->active; }
    static const std::string& picture(const GameUIRenderer* image) { return image->textureName; }
    // The indices of the highlighted items of the main list.
    std::string highlighted() {
        const GameUIRenderer* items[] = {menu().resumeItem, menu().tutorialItem, menu().optionsItem,
                                         menu().creditsItem, menu().quitItem};
        std::string lit;
        for (int i = 0; i < 5; ++i) {
            lit += picture(items[i]).ends_with("_HL") ? std::to_string(i) : "";
        }
        return lit;
    }
    int volumeShown() {
        return (menu().volumeDigits[0]->column - 1) * 10 + menu().volumeDigits[1]->column - 1;
    }
    void press(std::initializer_list<K::Key> keys) {
        for (K::Key k : keys) {
            tap(k);
        }
    }
    void pauseMatch() {
        startMatch();
        runToPlay();
        tap(K::Escape);
        ASSERT_EQ(menu().screen, PauseScreen::Main);
    }
};

} // namespace

TEST_F(PauseMenuTest, OpensOnlyFromPlay) {
    startMatch(2, 3, 1);
    for (uint32_t phase : {MatchPhase::FadeIn, MatchPhase::GoSign, MatchPhase::GameSet, MatchPhase::Podium}) {
        ASSERT_TRUE(runUntilPhase(phase, 400));
        tap(K::Escape);
        EXPECT_EQ(match()->phase, phase);
    }
}

TEST_F(PauseMenuTest, PadsActOnReleaseAndOnlyPadsOfTheMatchCount) {
    harness.pads.connect(0, true);
    harness.pads.connect(1, true);
    startMatch(3); // player 3 on pad 0; pad 1 plays no part
    runToPlay();
    padTap(1, kPadStart);
    EXPECT_EQ(match()->phase, MatchPhase::Playing);
    harness.pads.setButtons(0, kPadStart);
    run(5);
    EXPECT_EQ(match()->phase, MatchPhase::Playing) << "held, not yet released";
    harness.pads.setButtons(0, kPadDpadDown);
    run(1);
    EXPECT_EQ(match()->phase, MatchPhase::Paused);
    EXPECT_EQ(menu().cursor, 0);
    harness.pads.setButtons(0, 0);
    run(1);
    EXPECT_EQ(menu().cursor, 1);
    padTap(0, kPadA);
    EXPECT_EQ(menu().screen, PauseScreen::Tutorial);
    padTap(0, kPadStart);
    EXPECT_EQ(match()->phase, MatchPhase::Playing);
}

TEST_F(PauseMenuTest, EscapeFreezesTheMatchTheListWrapsAndResumingLetsNoKeyThrough) {
    pauseMatch();
    EXPECT_EQ(FrameTimer::instance().timeScale, 0.0f);
    EXPECT_TRUE(SoundManager::instance().paused);
    EXPECT_TRUE(shown(menu().dimPanel) && shown(menu().creditsItem));

    // The right half steers with the arrow keys only.
    press({K::Numpad4, K::Numpad6, K::Numpad5, K::Numpad2});
    EXPECT_EQ(highlighted(), "0");
    for (int step = 1; step <= 6; ++step) {
        tap(step % 2 == 1 ? K::S : K::Down);
        EXPECT_EQ(highlighted(), std::to_string(step % 5));
    }
    press({K::W, K::Up});
    EXPECT_EQ(highlighted(), "4");
    press({K::Up, K::Up, K::Up, K::Numpad8}); // player 2's fire key confirms

    for (const char* page : {"Tutorial_1", "Tutorial_2", "Tutorial_3"}) {
        tap(K::Down); // pages only turn forward, on confirm
        EXPECT_EQ(picture(menu().tutorialPanel), page);
        EXPECT_TRUE(shown(menu().tutorialPanel) && !shown(menu().tutorialItem));
        tap(K::T);
    }
    EXPECT_EQ(highlighted(), "1") << "back on the tutorial item";
    EXPECT_FALSE(shown(menu().tutorialPanel));
    press({K::S, K::S, K::T});
    EXPECT_TRUE(shown(menu().creditsPanel) && !shown(menu().creditsItem));
    tap(K::T);
    EXPECT_EQ(highlighted(), "0");

    // T is player 1's fire key as well as a confirm: resuming with it must not start a shot.
    key(K::T, true);
    run(3);
    EXPECT_EQ(match()->phase, MatchPhase::Playing);
    EXPECT_EQ(FrameTimer::instance().timeScale, 1.0f);
    EXPECT_FALSE(SoundManager::instance().paused);
    EXPECT_FALSE(player(1)->charging);
    EXPECT_FALSE(shown(menu().dimPanel));
}

TEST_F(PauseMenuTest, OptionsStepTheVolumeByTenthsAndToggleMuteAndWindow) {
    pauseMatch();
    SoundManager& sound = SoundManager::instance();
    sound.setVolume(0.6999999f); // seven tenths, as a float that just misses them
    press({K::Down, K::Down, K::Enter});
    ASSERT_TRUE(shown(menu().muteCheckbox));
    EXPECT_EQ(volumeShown(), 7);
    // Down to nothing and up to full, a tenth a step, stopping at either end.
    const int tenths[] = {6, 5, 4, 3, 2, 1, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10};
    for (size_t i = 0; i < std::size(tenths); ++i) {
        tap(i < 8 ? K::A : K::Right);
        EXPECT_EQ(volumeShown(), tenths[i]);
        EXPECT_EQ(sound.volume, static_cast<float>(tenths[i]) / 10.0f);
    }

    press({K::S, K::A});
    EXPECT_TRUE(sound.muted);
    EXPECT_EQ(picture(menu().muteCheckbox), "CheckBoxTick");
    EXPECT_EQ(volumeShown(), 10) << "the mute row leaves the volume alone";
    ASSERT_TRUE(Engine::instance().fullscreen);
    press({K::S, K::Left});
    EXPECT_FALSE(Engine::instance().fullscreen);
    EXPECT_EQ(picture(menu().windowedCheckbox), "CheckBoxTick");

    tap(K::S);
    EXPECT_FALSE(menu().selectionBox->active);
    EXPECT_EQ(picture(menu().optionsBack), "PauseBack_HL");
    press({K::S, K::W, K::Space}); // the rows wrap both ways
    EXPECT_FALSE(menu().optionsRoot->active);
    EXPECT_EQ(highlighted(), "0");
}

TEST_F(PauseMenuTest, QuittingAsksFirstThenSilencesAndFadesToTheMainMenu) {
    pauseMatch();
    press({K::W, K::T});
    EXPECT_EQ(picture(menu().titleSprite), "Confirmation");
    EXPECT_TRUE(shown(menu().yesItem) && !shown(menu().quitItem));
    tap(K::T);
    EXPECT_EQ(highlighted(), "0") << "No keeps the match";

    press({K::W, K::T, K::S});
    EXPECT_EQ(picture(menu().yesItem), "Yes_HL");
    SoundManager& sound = SoundManager::instance();
    ASSERT_GT(sound.studioSystem->voiceCount(), 0) << "the match music holds its voice while paused";
    tap(K::T);
    EXPECT_EQ(match()->phase, MatchPhase::FadeOut);
    EXPECT_EQ(sound.studioSystem->voiceCount(), 0);
    run(20);
    EXPECT_FALSE(inMainMenu());
    run(12);
    EXPECT_TRUE(inMainMenu());
    EXPECT_FALSE(sound.paused);
}
