// The splash screens driven frame by frame through the real engine (no window): three pictures
// of five seconds each, skippable from the second on, then the main menu.
#include "engine/input_manager.hpp"
#include "frontend/splash_game_state.hpp"
#include "graphics/renderer.hpp"
#include "objects/game_object_list.hpp"
#include "tests/support/engine_harness.hpp"
#include "tests/support/key_events.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class SplashFlow : public ::testing::Test {
  protected:
    void SetUp() override {
        harness.engine().stateFactory = [this](uint32_t id) -> GameState* {
            if (id == GameStateId::Splash) {
                return new SplashGameState();
            }
            return new RecordingState("S" + std::to_string(id), harness.log);
        };
        harness.step(); // switches the splash in
    }

    SplashGameState* splash() { return dynamic_cast<SplashGameState*>(harness.engine().states->state); }
    bool inMainMenu() const { return Engine::instance().states->current == GameStateId::MainMenu; }
    float seconds() const { return static_cast<float>(frames) * 0.016f; }

    // Frames of 16 ms until the time (seconds since the splash appeared) is reached.
    void runUntil(float time) {
        while (seconds() < time && !inMainMenu()) {
            harness.step();
            ++frames;
        }
    }
    void pressKey(sf::Keyboard::Key key) {
        harness.tapKey(key);
        frames += 2;
    }
    int mainMenuLoads() const {
        return static_cast<int>(std::count(harness.log.begin(), harness.log.end(), "Load S2"));
    }

    EngineHarness harness;
    int frames = 0;
};

} // namespace

// What each picture looks like on screen is checked in splash_gltest.
TEST_F(SplashFlow, ThreePicturesOfFiveSecondsThenTheMainMenu) {
    SplashGameState* state = splash();
    ASSERT_NE(state, nullptr);
    GameObject* image = GameObjectList::instance().find("QuorvelLogo");
    GameObject* notice = GameObjectList::instance().find("Copyright");
    SpriteRenderer* sprite = image->getComponent<SpriteRenderer>();
    TextRenderer* text = notice->getComponent<TextRenderer>();

    runUntil(0.5f);
    EXPECT_NEAR(sprite->color.w, 0.5f, 0.02f); // fading in
    EXPECT_EQ(text->color.w, sprite->color.w); // the notice fades with the logo
    runUntil(2.5f);
    EXPECT_GT(sprite->color.w, 0.98f); // fully shown (up to the last frame of the fade)
    runUntil(4.5f);
    EXPECT_NEAR(sprite->color.w, 0.5f, 0.02f); // fading out
    EXPECT_EQ(state->stage, 0u);

    runUntil(5.1f);
    EXPECT_EQ(state->stage, 1u);
    EXPECT_FALSE(notice->active); // only with the first picture
    EXPECT_LT(sprite->color.w, 0.2f);
    runUntil(10.1f);
    EXPECT_EQ(state->stage, 2u);

    runUntil(20.0f);
    ASSERT_TRUE(inMainMenu());
    EXPECT_NEAR(seconds(), 15.0f, 0.1f);
    EXPECT_EQ(mainMenuLoads(), 1);
    EXPECT_TRUE(GameObjectList::instance().objects().empty()); // the splash's Exit destroyed its objects
}

class SplashSkipKey : public SplashFlow, public ::testing::WithParamInterface<sf::Keyboard::Key> {};

TEST_P(SplashSkipKey, DoesNothingDuringTheFirstPictureAndSkipsTheNext) {
    runUntil(1.0f);
    pressKey(GetParam());
    runUntil(4.9f);
    pressKey(GetParam());
    EXPECT_EQ(splash()->stage, 0u);
    runUntil(6.0f);
    pressKey(GetParam());
    EXPECT_TRUE(inMainMenu());
    EXPECT_EQ(mainMenuLoads(), 1);
}

INSTANTIATE_TEST_SUITE_P(Keys, SplashSkipKey,
                         ::testing::Values(sf::Keyboard::Enter, sf::Keyboard::Space, sf::Keyboard::Escape,
                                           sf::Keyboard::T));

// Other keys, other buttons and a button held down since the first picture do not skip; a
// fresh Start on any pad does.
TEST_F(SplashFlow, OnlyAFreshPressOfASkipButtonSkips) {
    harness.pads.connect(3, true);
    runUntil(4.0f);
    harness.pads.setButtons(3, kPadA);
    runUntil(6.0f);
    for (sf::Keyboard::Key key : {sf::Keyboard::A, sf::Keyboard::Left, sf::Keyboard::Numpad8}) {
        pressKey(key);
    }
    harness.pads.setButtons(3, kPadB | kPadX | kPadBack);
    runUntil(6.4f);
    EXPECT_FALSE(inMainMenu());
    EXPECT_EQ(splash()->stage, 1u);
    harness.pads.setButtons(3, kPadStart);
    harness.step();
    harness.step();
    EXPECT_TRUE(inMainMenu());
}

TEST_F(SplashFlow, SkipInTheLastFrameRequestsTheMainMenuOnce) {
    runUntil(14.9f);
    ASSERT_EQ(splash()->stage, 2u);
    // Press on the very frame the controls picture runs out.
    while (splash()->timer - 0.016f >= 0.0f) {
        harness.step();
        ++frames;
    }
    QueueKey(sf::Keyboard::Enter, true);
    harness.step();
    harness.step();
    EXPECT_TRUE(inMainMenu());
    EXPECT_EQ(mainMenuLoads(), 1);
}
