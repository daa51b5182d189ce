// The real executable driven by key presses through its window, as a player would: past the
// splash, Play on the title, and the player-selection panels are on screen; closing the window
// then ends the game cleanly.
#include "tests/support/display.hpp"
#include "tests/support/game_process.hpp"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace {

// The empty bottom-left panel's deep purple, which nothing on the title shows at that spot.
bool panelPurple(unsigned long window) {
    unsigned char rgb[3] = {};
    return windowPixel(window, 80, 640, rgb) && rgb[1] < 90 && rgb[2] > 120 && rgb[0] < 170;
}

} // namespace

TEST(MenuKeys, ReachPlayerSelectionAndCloseCleanly) {
    GRUMBO_REQUIRE_DISPLAY();
    GameProcess game;
    ASSERT_TRUE(game.waitForOutput("Load Time: = ", 60s)) << game.output();
    unsigned long window = findWindowByTitle("Grumbo!", 30s);
    ASSERT_NE(window, 0ul);
    // The splash can be skipped from its second picture on, five seconds in.
    std::this_thread::sleep_for(5500ms);
    ASSERT_TRUE(sendKey(window, "Return"));
    ASSERT_TRUE(game.waitForOutput("Load Time: = ", 2, 30s)) << game.output(); // the main menu
    EXPECT_FALSE(panelPurple(window)) << "the title is showing";
    bool reached = false;
    for (int attempt = 0; attempt < 10 && !reached; ++attempt) {
        std::this_thread::sleep_for(1000ms); // the menu's fade
        ASSERT_TRUE(sendKey(window, "Return"));
        std::this_thread::sleep_for(1500ms);
        reached = panelPurple(window);
    }
    EXPECT_TRUE(reached) << "the player-selection panels are on screen";
    ASSERT_TRUE(requestWindowClose(window));
    EXPECT_EQ(game.waitForExit(60s), 0) << game.output();
}
