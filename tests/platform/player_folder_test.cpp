// Where the player's maps live, by the XDG rules: XDG_DATA_HOME when it is an absolute path,
// else ~/.local/share; nowhere without a usable home.
#include "platform/player_folder.hpp"

#include <gtest/gtest.h>

#include <tuple>

TEST(PlayerFolder, FollowsTheXdgRulesAndIgnoresEmptyOrRelativePaths) {
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"/data", "/home/ann", "/data/grumbo/maps/"},
        {"/data/", "/home/ann", "/data/grumbo/maps/"},
        {nullptr, "/home/ann", "/home/ann/.local/share/grumbo/maps/"},
        {"", "/home/ann/", "/home/ann/.local/share/grumbo/maps/"},
        {"data", "/home/ann", "/home/ann/.local/share/grumbo/maps/"},
        {"./data", "/", "/.local/share/grumbo/maps/"},
        {"/data", nullptr, "/data/grumbo/maps/"},
        {nullptr, nullptr, ""},
        {"", "", ""},
        {"relative", "home/ann", ""},
    };
    for (const auto& [xdg, home, folder] : cases) {
        EXPECT_EQ(PlayerMapsFolderFrom(xdg, home), folder)
            << (xdg ? xdg : "(unset)") << ", " << (home ? home : "(unset)");
    }
}
