// The match HUD in the real window with the game's pictures: the clock in the top middle, and a
// player's damage numerals at the bottom in the colour they should be read in.
#include "gameplay/object_factory.hpp"
#include "gameplay/player.hpp"
#include "match/hud.hpp"
#include "objects/frame_timer.hpp"
#include "objects/resource_manager.hpp"
#include "tests/support/gl_fixture.hpp"

#include <gtest/gtest.h>

namespace {

class HudPicture : public GlFixture {
  protected:
    void SetUp() override {
        GlFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        ResourceManager& resources = ResourceManager::instance();
        resources.loadTexture("UI_Font", "../Resources/Texture/UI_Font.png");
        resources.loadTexture("PanelBackground", "../Resources/Texture/StatsPanelBG.png");
        resources.loadTexture("PlayerNumber_1",
                              "../Resources/Texture/Player/PlayerNumbers/PlayerNumber_1.png");
        resources.loadTexture("PanelVantu", "../Resources/Texture/MainMenu/FaceSelect/Full_Face_Vantu.png");
    }
};

bool white(sf::Color c) {
    return c.r > 230 && c.g > 230 && c.b > 230;
}
bool pureRed(sf::Color c) {
    return c.r > 180 && c.g < 30 && c.b < 30;
}

} // namespace

TEST_F(HudPicture, ClockDigitsSitInTheTopMiddleAndRedden) {
    std::unique_ptr<GameTimer> timer = BuildGameTimer({0, 0.9f, 0.1f}, {0.05f, 0.08f, 1});
    SetGameTimer(*timer, 185);
    drawFrame();
    auto ink = boundsOf(white);
    ASSERT_GE(ink[0], 0) << "no clock on screen";
    EXPECT_NEAR((ink[0] + ink[2]) / 2, pictureToWindow(0, 0).x, 8);
    EXPECT_NEAR((ink[1] + ink[3]) / 2, pictureToWindow(0, 0.9f).y, 8);
    SetGameTimer(*timer, 9);
    drawFrame();
    EXPECT_LT(boundsOf(white)[0], 0);
    EXPECT_NEAR(boundsOf(pureRed)[1], ink[1], 3);
}

TEST_F(HudPicture, DamageNumeralsShowAtTheBottomInTheirColour) {
    Player* player = nullptr;
    MakeTank(player, 1, {0, 40, 0}); // above the picture, out of the way
    player->character = 1;
    std::unique_ptr<StatsPanel> panel = BuildStatsPanel(player, 1, 2);
    FrameTimer::instance().dt = 0.05f;
    player->knockbackMultiplier = 1.5f;
    UpdateStatsPanel(*panel); // a hit: "50%" shaking in red
    drawFrame();
    const int bottomQuarter = pictureToWindow(0, -0.6f).y;
    auto red = boundsOf(pureRed, bottomQuarter);
    ASSERT_GE(red[0], 0) << "no red numerals at the bottom";
    EXPECT_LT(red[2], pictureToWindow(0, 0).x); // player 1 of 2: the left half

    FrameTimer::instance().dt = 1.0f;
    player->knockbackMultiplier = 2.75f;
    UpdateStatsPanel(*panel); // 175 %, once settled: (1.25, 0.25, -0.75), saturated
    drawFrame();
    EXPECT_LT(boundsOf(pureRed)[0], 0);
    EXPECT_GE(boundsOf([](sf::Color c) { return sameColor(c, {255, 64, 0}, 12); }, bottomQuarter)[0], 0);

    HideStatsPanelParts(*panel);
    drawFrame();
    EXPECT_LT(boundsOf([](sf::Color c) { return c.r + c.g + c.b > 30; }, bottomQuarter)[0], 0);
}
