// Player selection in the real window with four players joined, so each panel shows another
// turret's stats, the longest lines among them: every line stays inside its panel's frame.
#include "frontend/menu_controller.hpp"
#include "tests/support/gl_fixture.hpp"
#include "tests/support/key_events.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// Where the main menu puts the four panels, and their size, in world units.
constexpr float kPanelX[4] = {-12.0f, 12.0f, -12.0f, 12.0f};
constexpr float kPanelY[4] = {8.0f, 8.0f, -5.5f, -5.5f};
constexpr float kPanelWidth = 23.04f;
constexpr float kPanelHeight = 12.0f;

class PlayerSelectPicture : public GlFixture {
  protected:
    PlayerSelectPicture() {
        gameStates = true;
        Engine::instance().firstState = GameStateId::MainMenu;
    }
    void tap(sf::Keyboard::Key code) {
        for (bool down : {true, false}) {
            QueueKey(code, down);
            runFrames(1, 16);
        }
    }
    void padTap(uint32_t pad) {
        pads.connect(pad, true);
        for (uint16_t held : {uint16_t{kPadA}, uint16_t{0}}) {
            pads.setButtons(pad, held);
            runFrames(1, 16);
        }
    }
    // The window pixel of a point given in a panel's own units (-0.5..0.5 across it).
    sf::Vector2i onPanel(int panel, float x, float y) const {
        return pictureToWindow((kPanelX[panel] + x * kPanelWidth) / 24.0f,
                               (kPanelY[panel] + y * kPanelHeight) / 15.0f);
    }
    // The first big step in colour right of the values' column, on a line between two stats
    // lines: where the panel's inner field meets its frame.
    int innerRightEdge(int panel) const {
        const sf::Vector2i from = onPanel(panel, 0.3f, -0.055f);
        const sf::Vector2i to = onPanel(panel, 0.5f, -0.055f);
        for (int x = from.x; x < to.x; ++x) {
            const sf::Color a = pixel(x, from.y), b = pixel(x + 1, from.y);
            if (std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 60) {
                return x;
            }
        }
        return to.x;
    }
    // The right end of the yellow lettering of the stats lines, looking across the panel's right
    // half up to its outer edge; -1 when there is none.
    int statsInkRight(int panel) const {
        const sf::Vector2i topLeft = onPanel(panel, 0.0f, 0.06f);
        const sf::Vector2i bottomRight = onPanel(panel, 0.5f, -0.36f);
        int right = -1;
        for (int y = topLeft.y; y <= bottomRight.y; ++y) {
            for (int x = topLeft.x; x <= bottomRight.x; ++x) {
                const sf::Color c = pixel(x, y);
                if (c.r > 200 && c.g > 200 && c.b < 80) {
                    right = std::max(right, x);
                }
            }
        }
        return right;
    }
};

} // namespace

TEST_F(PlayerSelectPicture, TheLongestStatsLinesStayInsideTheirPanels) {
    if (IsSkipped()) {
        return;
    }
    runFrames(50);
    tap(sf::Keyboard::Return); // "Play"
    runFrames(60);
    ASSERT_EQ(MenuController::instance().screen, MenuScreen::PlayerSelect);
    // Panels 1 to 4 start on turrets 0 to 3: "Bigger Explosion", "Quick Charge Rate", "Sticks to
    // Walls", "Powerful but Slow" and the other long lines of each.
    tap(sf::Keyboard::T);
    tap(sf::Keyboard::Numpad8);
    padTap(0);
    padTap(1);
    ASSERT_EQ(MenuController::instance().joinedCount, 4u);
    drawFrame();
    ASSERT_EQ(width, 1280u);
    ASSERT_EQ(height, 800u);

    for (int panel = 0; panel < 4; ++panel) {
        SCOPED_TRACE("panel " + std::to_string(panel + 1));
        const int ink = statsInkRight(panel);
        ASSERT_GE(ink, 0) << "no stats drawn";
        const int edge = innerRightEdge(panel);
        EXPECT_GT(edge, onPanel(panel, 0.4f, 0.0f).x) << "the frame was not found";
        EXPECT_LT(ink, edge);
        // The long lines are still wide: shrunk to the room there is, not further.
        EXPECT_GT(ink, onPanel(panel, 0.38f, 0.0f).x);
    }
}
