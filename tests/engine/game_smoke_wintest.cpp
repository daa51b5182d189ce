// The real executable, started as a player starts it: it loads its first state, and closing
// its window ends it cleanly.
#include "tests/support/display.hpp"
#include "tests/support/game_process.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace std::chrono_literals;

TEST(GameSmoke, WithoutADisplaySaysSoAndExitsWithOne) {
    const char* display = std::getenv("DISPLAY");
    std::string saved = display != nullptr ? display : "";
    unsetenv("DISPLAY");
    GameProcess game;
    if (!saved.empty()) {
        setenv("DISPLAY", saved.c_str(), 1);
    }
    EXPECT_EQ(game.waitForExit(30s), 1) << game.output();
    EXPECT_NE(game.output().find("No X display found"), std::string::npos) << game.output();
}
