// The pause menu in the real window: the match darkens behind it and the highlighted item is the
// orange one.
#include "match/play_game_state.hpp"
#include "match/quick_match.hpp"
#include "tests/support/gl_fixture.hpp"
#include "tests/support/key_events.hpp"

#include <gtest/gtest.h>

namespace {

class PausePicture : public GlFixture {
  protected:
    PausePicture() {
        gameStates = true;
        WriteQuickMatchSettings({"Meadow", 2, 3, 180});
        Engine::instance().firstState = GameStateId::Play;
    }
    PlayGameState* match() { return dynamic_cast<PlayGameState*>(state()); }
    void tap(sf::Keyboard::Key code) {
        for (bool down : {true, false}) {
            QueueKey(code, down);
            runFrames(1, 16);
        }
    }
    // Interface units are the picture's clip coordinates.
    sf::Color at(float x, float y) const {
        sf::Vector2i p = pictureToWindow(x, y);
        return pixel(p.x, p.y);
    }
    // Inside the left end of a main-list button, clear of its lettering.
    sf::Color button(float y) const { return at(-0.15f, y); }
    static bool orange(sf::Color c) { return c.r > 200 && c.r > c.b + 100; }
    static bool purple(sf::Color c) { return c.b > c.r + 20 && c.b > c.g + 20; }
    std::string buttons() const { return describe(button(0.1f)) + ", " + describe(button(-0.1f)); }
};

} // namespace

TEST_F(PausePicture, TheMatchDimsBehindTheListAndTheHighlightFollowsTheCursor) {
    if (IsSkipped()) {
        return;
    }
    ASSERT_NE(match(), nullptr);
    for (int i = 0; i < 400 && match()->phase != MatchPhase::Playing; ++i) {
        runFrames(1, 16);
    }
    ASSERT_EQ(match()->phase, MatchPhase::Playing);
    drawFrame();
    const sf::Color corner = at(0.9f, -0.9f);
    tap(sf::Keyboard::Escape);
    drawFrame();
    const sf::Color dimmed = at(0.9f, -0.9f);
    EXPECT_NEAR(dimmed.r, corner.r / 2, 3) << describe(corner) << " -> " << describe(dimmed);
    EXPECT_NEAR(dimmed.b, corner.b / 2, 3) << describe(corner) << " -> " << describe(dimmed);
    EXPECT_TRUE(orange(button(0.1f)) && purple(button(-0.1f))) << buttons();
    tap(sf::Keyboard::Down);
    drawFrame();
    EXPECT_TRUE(purple(button(0.1f)) && orange(button(-0.1f))) << buttons();
}
