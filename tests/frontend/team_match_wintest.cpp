// The real executable driven by key presses through its window, as a player would: a team match
// set up by keys alone, from the splash through player selection, starts from the level select.
#include "tests/support/display.hpp"
#include "tests/support/game_process.hpp"
#include "tests/support/menu_walk.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

// Both keyboard halves join and ready, the level select's Teams row goes On and the match starts:
// its recording says it is red against blue.
TEST(MenuKeys, ATeamMatchStartsFromTheLevelSelectsTeamsRow) {
    GRUMBO_REQUIRE_DISPLAY();
    const std::string recording = testing::TempDir() + "grumbo-teams-" + std::to_string(getpid()) + ".rec";
    {
        GameProcess game(std::vector<std::string>{"--record", recording});
        ASSERT_TRUE(game.waitForOutput("Load Time: = ", 60s)) << game.output();
        unsigned long window = findWindowByTitle("Grumbo!", 30s);
        ASSERT_NE(window, 0ul);
        ASSERT_TRUE(WalkToLevelSelect(game, window));
        // Down to Teams, On, then down past Team hits to the start button.
        ASSERT_TRUE(PressKeys(window, {"Down", "Down", "Down", "Right", "Down", "Down", "Return"}));
        ASSERT_TRUE(game.waitForOutput("Load Time: = ", 3, 30s)) << game.output(); // the match
        std::this_thread::sleep_for(2s);
        ASSERT_TRUE(requestWindowClose(window));
        EXPECT_EQ(game.waitForExit(60s), 0) << game.output();
    }
    const std::string text = FileText(recording);
    for (const char* line : {"\nsetting Teams=1\n", "\nsetting TeamHits=0\n", "\nsetting PlayerTeam1=Red\n",
                             "\nsetting PlayerTeam2=Blue\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << text.substr(0, 600);
    }
    std::remove(recording.c_str());
}
