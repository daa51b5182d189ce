// The splash screens in the real game's window: each picture in turn with the copyright line
// under the first, then the main menu.
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
            runFrames(1, 48); // every frame is drawn in software: long ones (the fades end a step short)
            elapsed += 0.048f;
        }
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
    runUntil(2.5f);
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(15.0f, 4.5f), sf::Color::Red, 12)); // 32 x 10 units
    EXPECT_TRUE(colorNear(atWorld(0.0f, 6.0f), sf::Color::Black));
    auto notice = noticeInk();
    ASSERT_GE(notice[0], 0) << "no copyright line";
    sf::Vector2i noticeCentre = pictureToWindow(0.0f, -8.0f / 15.0f);
    EXPECT_NEAR((notice[0] + notice[2]) / 2, noticeCentre.x, 4);
    EXPECT_NEAR((notice[1] + notice[3]) / 2, noticeCentre.y, 6);

    runUntil(7.5f);
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(9.5f, 4.5f), sf::Color::Green, 12)); // 20.48 x 10.24 units
    EXPECT_TRUE(colorNear(atWorld(11.0f, 0.0f), sf::Color::Black));
    EXPECT_LT(noticeInk()[0], 0); // the line went with the first picture

    runUntil(12.5f);
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(15.0f, 9.0f), sf::Color::Blue, 12)); // 32 x 19.2 units

    runUntil(16.0f);
    EXPECT_EQ(engine().states->current, GameStateId::MainMenu);
    runFrames(1);
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(20.0f, 12.0f), sf::Color::Black)) << "the menu opens out of black";
    EXPECT_EQ(ResourceManager::instance().getTexture("QuorvelLogo"), nullptr) << "the splash let go of it";
}
