// The sync test as a player or a maintainer runs it: the real game with its window, a short
// match of computers going back every eight frames, one line at the podium and the exit status.
#include "tests/support/display.hpp"
#include "tests/support/game_process.hpp"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(SyncTestGame, AShortComputerMatchChecksEveryFrameAndQuitsAtThePodiumWithOneLine) {
    GRUMBO_REQUIRE_DISPLAY();
    GameProcess game({"--match", "Canyon", "--players", "3", "--bots", "3", "--time", "3", "--sync-test", "8",
                      "--windowed"});
    EXPECT_EQ(game.waitForExit(150s), 0) << game.output();
    const std::string& out = game.output();
    const size_t line = out.find("Sync test: ");
    ASSERT_NE(line, std::string::npos) << out;
    EXPECT_NE(out.find("rollbacks of 8 frames", line), std::string::npos) << out;
    EXPECT_NE(out.find("every one the same as the first time", line), std::string::npos) << out;
}
