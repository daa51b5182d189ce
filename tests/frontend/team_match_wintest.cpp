// The real executable driven by key presses through its window, as a player would: a team match
// set up by keys alone, from the splash through player selection, starts from the level select.
#include "tests/support/display.hpp"
#include "tests/support/game_process.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace {

// The empty bottom-left panel's deep purple, which nothing on the title shows at that spot.
bool panelPurple(unsigned long window) {
    unsigned char rgb[3] = {};
    return windowPixel(window, 80, 640, rgb) && rgb[1] < 90 && rgb[2] > 120 && rgb[0] < 170;
}

} // namespace

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
        std::this_thread::sleep_for(5500ms);
        ASSERT_TRUE(sendKey(window, "Return"));
        ASSERT_TRUE(game.waitForOutput("Load Time: = ", 2, 30s)) << game.output();
        for (int attempt = 0; attempt < 10 && !panelPurple(window); ++attempt) {
            std::this_thread::sleep_for(1000ms);
            ASSERT_TRUE(sendKey(window, "Return"));
            std::this_thread::sleep_for(1500ms);
        }
        ASSERT_TRUE(panelPurple(window));
        for (const char* key : {"t", "t", "KP_8", "KP_8"}) { // join and ready, each half
            ASSERT_TRUE(sendKey(window, key));
            std::this_thread::sleep_for(700ms);
        }
        std::this_thread::sleep_for(2000ms); // on to the level select
        // Down to Teams, On, then down past Team hits to the start button.
        for (const char* key : {"Down", "Down", "Down", "Right", "Down", "Down", "Return"}) {
            ASSERT_TRUE(sendKey(window, key));
            std::this_thread::sleep_for(700ms);
        }
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
