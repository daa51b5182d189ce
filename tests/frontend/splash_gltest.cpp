// The splash screens in the real game's window: each picture in turn with the copyright line
// under the first, then the main menu, with pictures or without.
#include "frontend/main_menu_game_state.hpp"
#include "frontend/splash_game_state.hpp"
#include "graphics/graphics_manager.hpp"
#include "objects/resource_manager.hpp"
#include "tests/support/gl_fixture.hpp"

#include <gtest/gtest.h>

namespace {

class SplashScreens : public GlFixture {
  protected:
    SplashScreens() { gameStates = true; }
    // Each test starts the engine itself, once it has said what to find in place.
    void SetUp() override {}
    void start() { GlFixture::SetUp(); }

    void runUntil(float seconds) {
        while (elapsed < seconds && engine().states->current == GameStateId::Splash) {
            runFrames(1, 16);
            elapsed += 0.016f;
        }
    }
    sf::Color atWorld(float x, float y) const {
        sf::Vector2i p = pictureToWindow(x / 24.0f, y / 15.0f);
        return pixel(p.x, p.y);
    }
    // White-ish pixels of the copyright line, below the first picture.
    std::array<int, 4> noticeInk() const {
        sf::Vector2i below = pictureToWindow(0.0f, -6.0f / 15.0f);
        return boundsOf([](sf::Color c) { return c.r > 150 && c.g > 150 && c.b > 150; }, below.y);
    }

    float elapsed = 0.0f;
};

} // namespace

TEST_F(SplashScreens, ShowEachPictureInTurnThenTheMainMenu) {
    // Stand-ins registered under the splash's names before it starts: the engine's own loading
    // then finds them in place.
    beforeFirstFrame = [this] {
        addTexture("QuorvelLogo", solidImage(sf::Color::Red, 64, 20));
        addTexture("TeamLogo", solidImage(sf::Color::Green, 64, 32));
        addTexture("ControllerSplash", solidImage(sf::Color::Blue, 50, 30));
    };
    start();
    if (IsSkipped()) {
        return;
    }
    ASSERT_NE(dynamic_cast<SplashGameState*>(state()), nullptr);

    runUntil(0.5f);
    drawFrame();
    sf::Color fading = atWorld(0.0f, 0.0f);
    EXPECT_GT(fading.r, 90);
    EXPECT_LT(fading.r, 170);

    runUntil(2.5f);
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(0.0f, 0.0f), sf::Color::Red, 4));
    EXPECT_TRUE(colorNear(atWorld(15.0f, 4.5f), sf::Color::Red, 4)); // 32 x 10 units
    EXPECT_TRUE(colorNear(atWorld(0.0f, 6.0f), sf::Color::Black));
    auto notice = noticeInk();
    ASSERT_GE(notice[0], 0) << "no copyright line";
    sf::Vector2i noticeCentre = pictureToWindow(0.0f, -8.0f / 15.0f);
    EXPECT_NEAR((notice[0] + notice[2]) / 2, noticeCentre.x, 4);
    EXPECT_NEAR((notice[1] + notice[3]) / 2, noticeCentre.y, 6);

    runUntil(7.5f);
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(0.0f, 0.0f), sf::Color::Green, 4));
    EXPECT_TRUE(colorNear(atWorld(9.5f, 4.5f), sf::Color::Green, 4)); // 20.48 x 10.24 units
    EXPECT_TRUE(colorNear(atWorld(11.0f, 0.0f), sf::Color::Black));
    EXPECT_LT(noticeInk()[0], 0); // the line went with the first picture

    runUntil(12.5f);
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(0.0f, 0.0f), sf::Color::Blue, 4));
    EXPECT_TRUE(colorNear(atWorld(15.0f, 9.0f), sf::Color::Blue, 4)); // 32 x 19.2 units

    runUntil(16.0f);
    EXPECT_EQ(engine().states->current, GameStateId::MainMenu);
    EXPECT_NEAR(elapsed, 15.0f, 0.1f);
    runFrames(1);
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(20.0f, 12.0f), sf::Color::Black)) << "the menu opens out of black";
    // The splash let go of its pictures.
    EXPECT_EQ(ResourceManager::instance().getTexture("QuorvelLogo"), nullptr);
    EXPECT_EQ(ResourceManager::instance().getTexture("TeamLogo"), nullptr);
    EXPECT_EQ(ResourceManager::instance().getTexture("ControllerSplash"), nullptr);
}

TEST_F(SplashScreens, WithoutPicturesTheMessageShowsAndTheFlowGoesOn) {
    // The game's states, built without the pictures the engine would have found on disk: what a
    // run with the picture files missing looks like.
    gameStates = false;
    stateFactory = [](uint32_t id) -> GameState* {
        if (id == GameStateId::Splash) {
            return new SplashGameState();
        }
        return new MainMenuGameState();
    };
    start();
    if (IsSkipped()) {
        return;
    }
    testing::internal::CaptureStdout();
    for (int frame = 0; frame < 200 && engine().states->current == GameStateId::Splash; ++frame) {
        runFrames(1, 100);
    }
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(engine().states->current, GameStateId::MainMenu);
    EXPECT_NE(out.find("CAN'T FIND TEXTURE\n"), std::string::npos);
}
