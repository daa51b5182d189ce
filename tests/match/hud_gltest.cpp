// The match HUD in the real window with the game's pictures: the clock in the top middle and a
// computer's "CPU" tag inside its panel. What the numerals show is in hud_test.
#include "gameplay/object_factory.hpp"
#include "gameplay/player.hpp"
#include "graphics/graphics_manager.hpp"
#include "match/hud.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object.hpp"
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
        resources.loadTexture("ComputerTag", "../Resources/Texture/Player/PlayerNumbers/ComputerTag.png");
        resources.loadTexture("PanelVantu", "../Resources/Texture/MainMenu/FaceSelect/Full_Face_Vantu.png");
        GraphicsManager::instance().EnableDepthAndBlending(); // as the match draws
    }
};

bool white(sf::Color c) {
    return c.r > 230 && c.g > 230 && c.b > 230;
}
// Player 1's panel of two, for a person or a computer.
std::unique_ptr<StatsPanel> panelFor(bool computer) {
    Player* player = nullptr;
    MakeTank(player, computer ? 2 : 1, {0, 40, 0}); // above the picture, out of the way
    player->character = 1;
    player->computer = computer;
    std::unique_ptr<StatsPanel> panel = BuildStatsPanel(player, 1, 2);
    UpdateStatsPanel(*panel);
    return panel;
}

} // namespace

TEST_F(HudPicture, ClockDigitsSitInTheTopMiddle) {
    std::unique_ptr<GameTimer> timer = BuildGameTimer({0, 0.9f, 0.1f}, {0.05f, 0.08f, 1});
    SetGameTimer(*timer, 185);
    drawFrame();
    auto ink = boundsOf(white);
    ASSERT_GE(ink[0], 0) << "no clock on screen";
    EXPECT_NEAR((ink[0] + ink[2]) / 2, pictureToWindow(0, 0).x, 8);
    EXPECT_NEAR((ink[1] + ink[3]) / 2, pictureToWindow(0, 0.9f).y, 8);
}

TEST_F(HudPicture, AComputersTagIsDrawnInsideItsPanel) {
    std::unique_ptr<StatsPanel> person = panelFor(false);
    drawFrame();
    const std::vector<uint8_t> personPixels = pixels;
    HideStatsPanelParts(*person);
    std::unique_ptr<StatsPanel> computer = panelFor(true);
    drawFrame();

    // The panel's frame on screen, from the background's world size.
    const Transform& frame = computer->background->transform;
    const sf::Vector2i topLeft = pictureToWindow(frame.worldPosition.x - 0.5f * frame.worldScale.x,
                                                 frame.worldPosition.y + 0.5f * frame.worldScale.y);
    const sf::Vector2i bottomRight = pictureToWindow(frame.worldPosition.x + 0.5f * frame.worldScale.x,
                                                     frame.worldPosition.y - 0.5f * frame.worldScale.y);
    // The same panel drawn for a person differs only by the tag.
    std::array<int, 4> tag{-1, -1, -1, -1};
    for (size_t i = 0; i + 2 < pixels.size(); i += 3) {
        int change = 0;
        for (size_t c = 0; c < 3; ++c) {
            change += std::abs(static_cast<int>(pixels[i + c]) - static_cast<int>(personPixels[i + c]));
        }
        if (change > 60) {
            const int x = static_cast<int>(i / 3 % width);
            const int y = static_cast<int>(height - 1 - i / 3 / width);
            tag = tag[0] < 0 ? std::array<int, 4>{x, y, x, y}
                             : std::array<int, 4>{std::min(tag[0], x), std::min(tag[1], y),
                                                  std::max(tag[2], x), std::max(tag[3], y)};
        }
    }

    ASSERT_GE(tag[2] - tag[0], 24) << "no readable tag drawn";
    EXPECT_NEAR((tag[0] + tag[2]) / 2, pictureToWindow(computer->numberBadge->transform.worldPosition.x, 0).x,
                4)
        << "under the badge";
    EXPECT_GE(tag[0], topLeft.x);
    EXPECT_GE(tag[1], topLeft.y) << "the tag pokes out over the arena";
    EXPECT_LE(tag[2], bottomRight.x);
    EXPECT_LE(tag[3], bottomRight.y);
}
