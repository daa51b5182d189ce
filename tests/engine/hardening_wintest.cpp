// The real executable where a player might trip it up: started from another folder, stopped
// with a signal.
#include "tests/support/display.hpp"
#include "tests/support/game_process.hpp"

#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <thread>

using namespace std::chrono_literals;

TEST(Hardening, StartedFromAnotherFolderTheGameFindsItsFilesBesideItself) {
    GRUMBO_REQUIRE_DISPLAY();
    GameProcess game(GRUMBO_GAME_EXE, std::filesystem::temp_directory_path().string());
    ASSERT_TRUE(game.waitForOutput("Load Time: = ", 60s)) << game.output();
    std::this_thread::sleep_for(500ms);
    ASSERT_EQ(kill(game.pid(), SIGTERM), 0);
    EXPECT_EQ(game.waitForExit(30s), 0) << game.output();
    EXPECT_EQ(game.output().find("CAN'T FIND TEXTURE"), std::string::npos) << game.output();
    EXPECT_EQ(game.output().find("ERROR::"), std::string::npos) << game.output();
}

TEST(Hardening, WithoutItsFilesAnywhereItSaysSoOnceAndRuns) {
    GRUMBO_REQUIRE_DISPLAY();
    namespace fs = std::filesystem;
    fs::path lonely = fs::temp_directory_path() / ("grumbo-lonely-" + std::to_string(getpid()));
    fs::create_directories(lonely);
    fs::copy_file(GRUMBO_GAME_EXE, lonely / "Grumbo", fs::copy_options::overwrite_existing);
    {
        GameProcess game((lonely / "Grumbo").string(), lonely.string());
        ASSERT_TRUE(game.waitForOutput("Load Time: = ", 60s)) << game.output();
        std::this_thread::sleep_for(1s);
        ASSERT_EQ(kill(game.pid(), SIGINT), 0);
        EXPECT_EQ(game.waitForExit(30s), 0) << game.output();
        EXPECT_NE(game.output().find("neither in " + lonely.string()), std::string::npos) << game.output();
    }
    fs::remove_all(lonely);
}

// The terminal that started the game closing (SIGHUP) closes it as its close button does; a
// session ending (SIGTERM) is the stop of the cases above.
TEST(Hardening, AHangUpClosesTheGameCleanly) {
    GRUMBO_REQUIRE_DISPLAY();
    GameProcess game;
    ASSERT_TRUE(game.waitForOutput("Load Time: = ", 60s)) << game.output();
    ASSERT_EQ(kill(game.pid(), SIGHUP), 0);
    EXPECT_EQ(game.waitForExit(30s), 0) << game.output();
}
