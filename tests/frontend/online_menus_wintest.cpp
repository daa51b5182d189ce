// Online play from the menus by keys alone, two real game processes on one machine: one hosts
// from the title (one person, two seats in all, a ten-second match), the other finds it in its
// list of games on the local network (asking loopback alone) and joins with a computer; both
// play the match and end on the same line. Then the editor opened from the level select with E
// and left with Ctrl+Q comes back to the level select, which offers a map saved meanwhile.
#include "tests/support/display.hpp"
#include "tests/support/game_process.hpp"
#include "tests/support/hostile_peer.hpp"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace {

std::string endLine(const std::string& output) {
    const size_t at = output.find("Online match over: ");
    return at == std::string::npos ? std::string() : output.substr(at, output.find('\n', at) - at);
}

// Keys with time between them for the menus' fades.
void keys(unsigned long window, std::initializer_list<const char*> names,
          std::chrono::milliseconds between = 1300ms) {
    for (const char* name : names) {
        ASSERT_TRUE(sendKey(window, name)) << name;
        std::this_thread::sleep_for(between);
    }
}

// The game's window: the one titled "Grumbo!" that is not the other's.
unsigned long gameWindow(unsigned long other) {
    for (int attempt = 0; attempt < 30; ++attempt) {
        std::string listed;
        RunCommand("xdotool search --name '^Grumbo!$' 2>/dev/null", listed);
        std::istringstream lines(listed);
        for (unsigned long window = 0; lines >> window;) {
            if (window != other) {
                return window;
            }
        }
        std::this_thread::sleep_for(1s);
    }
    return 0;
}

// Past the splash to the title, whose opening fade is over.
unsigned long toTitle(GameProcess& game, unsigned long other = 0) {
    EXPECT_TRUE(game.waitForOutput("Load Time: = ", 60s)) << game.output();
    const unsigned long window = gameWindow(other);
    EXPECT_NE(window, 0ul);
    std::this_thread::sleep_for(5500ms); // the splash skips from its second picture on
    sendKey(window, "Return");
    EXPECT_TRUE(game.waitForOutput("Load Time: = ", 2, 30s)) << game.output();
    std::this_thread::sleep_for(2500ms);
    return window;
}

} // namespace

TEST(OnlineMenusWindows, HostFromTheTitleAndJoinFromTheListOfGamesFound) {
    GRUMBO_REQUIRE_DISPLAY();
    const std::string port = std::to_string(FreeUdpPort());
    GameProcess host({"--windowed", "--time", "10", "--port", port});
    const unsigned long hostWindow = toTitle(host);
    ASSERT_NE(hostWindow, 0ul);
    // Online, Host; T joins, opens and readies the panel; two seats in all; the level select's
    // first time is the command line's ten seconds; up to Start.
    keys(hostWindow, {"Down", "Return", "Return"});
    keys(hostWindow, {"t", "t", "t"}, 400ms);
    std::this_thread::sleep_for(1500ms);
    keys(hostWindow, {"Return"});
    std::this_thread::sleep_for(500ms);
    keys(hostWindow, {"Up", "Return"}, 400ms);
    ASSERT_TRUE(host.waitForOutput("Friends join with", 30s)) << host.output();
    EXPECT_NE(host.output().find("Hosting an online match on UDP port " + port), std::string::npos)
        << host.output();

    GameProcess guest({"--windowed", "--look-at", "127.0.0.1"});
    const unsigned long guestWindow = toTitle(guest, hostWindow);
    ASSERT_NE(guestWindow, 0ul);
    keys(guestWindow, {"Down", "Return", "Down", "Return"});
    const std::string ours = "Found a game: 127.0.0.1:" + port + "  ";
    ASSERT_TRUE(guest.waitForOutput(ours, 20s)) << guest.output();
    // Another game on this machine may have been listed first: down past it to ours.
    const std::string& said = guest.output();
    size_t before = 0;
    for (size_t at = said.find("Found a game: "); at < said.find(ours);
         at = said.find("Found a game: ", at + 1)) {
        ++before;
    }
    std::this_thread::sleep_for(1200ms);
    for (size_t i = 0; i <= before; ++i) {
        keys(guestWindow, {"Down"}, 300ms);
    }
    keys(guestWindow, {"Return"});
    std::this_thread::sleep_for(1000ms);
    keys(guestWindow, {"c"}); // a computer plays this machine's seat
    ASSERT_TRUE(guest.waitForOutput("Joining 127.0.0.1:" + port, 30s)) << guest.output();

    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while ((endLine(host.output()).empty() || endLine(guest.output()).empty()) &&
           std::chrono::steady_clock::now() < deadline) {
        for (GameProcess* machine : {&host, &guest}) {
            machine->waitForOutput("Online match over: ", 1s);
            ASSERT_EQ(machine->output().find("back to the title"), std::string::npos) << machine->output();
        }
    }
    const std::string hostEnd = endLine(host.output());
    ASSERT_FALSE(hostEnd.empty()) << host.output();
    EXPECT_EQ(endLine(guest.output()), hostEnd) << guest.output();
    for (GameProcess* machine : {&host, &guest}) {
        kill(machine->pid(), SIGTERM);
    }
    for (GameProcess* machine : {&host, &guest}) {
        EXPECT_EQ(machine->waitForExit(60s), 0) << machine->output();
        EXPECT_EQ(machine->output().find("runtime error"), std::string::npos) << machine->output();
    }
}
