// The real executable's podium driven by keys, as players would: R plays the same match again,
// and Backspace on the next podium goes back to the menu (at the level select); closing the
// window then ends the game cleanly.
#include "tests/support/display.hpp"
#include "tests/support/game_process.hpp"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace {

// Presses the key once a second until the game has loaded its next state (said by its count
// of "Load Time" lines), or the time runs out.
bool pressUntilLoaded(GameProcess& game, unsigned long window, const char* key, int loads) {
    for (int attempt = 0; attempt < 40; ++attempt) {
        if (!sendKey(window, key)) {
            return false;
        }
        if (game.waitForOutput("Load Time: = ", loads, 1s)) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(PodiumKeys, RPlaysTheMatchAgainAndBackspaceLeavesForTheMenu) {
    GRUMBO_REQUIRE_DISPLAY();
    GameProcess game({"--match", "Meadow", "--players", "2", "--time", "2"});
    ASSERT_TRUE(game.waitForOutput("Load Time: = ", 60s)) << game.output();
    unsigned long window = findWindowByTitle("Grumbo!", 30s);
    ASSERT_NE(window, 0ul);
    // Keys before the columns have grown change nothing; once they have, R starts the match again.
    ASSERT_TRUE(pressUntilLoaded(game, window, "r", 2)) << game.output();
    ASSERT_TRUE(pressUntilLoaded(game, window, "BackSpace", 3)) << game.output();
    EXPECT_EQ(game.output().find("no players of the last match"), std::string::npos) << game.output();
    std::this_thread::sleep_for(1000ms);
    ASSERT_TRUE(requestWindowClose(window));
    EXPECT_EQ(game.waitForExit(60s), 0) << game.output();
}
