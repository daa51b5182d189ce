// The pause menu in the real window: the match darkens behind it, the highlighted item is the
// orange one, the pages load when first shown, and a missing pad is named under the title.
#include "graphics/renderer.hpp"
#include "match/play_game_state.hpp"
#include "match/quick_match.hpp"
#include "objects/resource_manager.hpp"
#include "tests/support/gl_fixture.hpp"
#include "tests/support/key_events.hpp"

#include <gtest/gtest.h>

namespace {

class PausePicture : public GlFixture {
  protected:
    PausePicture() {
        gameStates = true;
        pads.connect(0, true);
        WriteQuickMatchSettings({"Meadow", 3, 3, 180}); // player 3 on pad 0
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
    // Yellow pixels in the gap under the title, where a missing pad is named.
    int noticeInk() const {
        int count = 0;
        const sf::Vector2i from = pictureToWindow(-0.4f, 0.32f);
        const sf::Vector2i to = pictureToWindow(0.4f, 0.24f);
        for (int y = from.y; y <= to.y; ++y) {
            for (int x = from.x; x <= to.x; ++x) {
                const sf::Color c = pixel(x, y);
                count += c.r > 90 && c.g > 90 && c.b + 50 < c.g ? 1 : 0;
            }
        }
        return count;
    }
};

} // namespace

// One match for everything: each match takes half a minute of software drawing to reach its play.
TEST_F(PausePicture, TheMatchDimsBehindTheListTheHighlightFollowsPagesLoadWhenShownAndAMissingPadIsNamed) {
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
    const int plain = noticeInk();
    tap(sf::Keyboard::Down);
    drawFrame();
    EXPECT_TRUE(purple(button(0.1f)) && orange(button(-0.1f))) << buttons();

    // Pages a player may never open are decoded when first shown, and shown at once.
    ResourceManager& resources = ResourceManager::instance();
    for (const char* page : {"Tutorial_1", "Tutorial_2", "Tutorial_3", "CreditsPanel"}) {
        EXPECT_EQ(resources.getTexture(page), nullptr) << page << " waits until it is shown";
    }
    testing::internal::CaptureStdout();
    tap(sf::Keyboard::Enter); // the first page
    EXPECT_NE(resources.getTexture("Tutorial_1"), nullptr);
    EXPECT_EQ(resources.getTexture("Tutorial_2"), nullptr);
    EXPECT_EQ(match()->pause.tutorialPanel->texture, resources.getTexture("Tutorial_1"));
    tap(sf::Keyboard::Enter);
    EXPECT_EQ(match()->pause.tutorialPanel->texture, resources.getTexture("Tutorial_2"));
    for (sf::Keyboard::Key key : {sf::Keyboard::Enter, sf::Keyboard::Enter, sf::Keyboard::Down,
                                  sf::Keyboard::Down, sf::Keyboard::Enter}) {
        tap(key); // back on the list at the tutorial item, then into the credits
    }
    ASSERT_EQ(match()->pause.screen, PauseScreen::Credits);
    EXPECT_NE(match()->pause.creditsPanel->texture, nullptr);
    EXPECT_EQ(match()->pause.creditsPanel->texture, resources.getTexture("CreditsPanel"));
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("CAN'T FIND TEXTURE"), std::string::npos);

    // Yellow lettering in the gap under the title once player 3's pad goes.
    tap(sf::Keyboard::Enter);
    tap(sf::Keyboard::Escape);
    pads.connect(0, false);
    runFrames(1, 16);
    ASSERT_EQ(match()->phase, MatchPhase::Paused);
    drawFrame();
    EXPECT_GT(noticeInk(), plain + 200) << "no notice drawn (" << plain << " yellow pixels without it)";
}
