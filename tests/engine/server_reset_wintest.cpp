// An X server with no other client (a bare Xvfb, a kiosk session) resets itself whenever its last
// connection closes. The game must start there every time.
#include "tests/support/game_process.hpp"

#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>

#include <atomic>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Starts a fresh Xvfb of our own, without -noreset, on a display number it picks itself and
// writes, alone on its line, once it takes connections; that display's name, or "" on failure.
std::string startXServer(GameProcess& server) {
    for (size_t at = 0; server.waitForOutput("\n", 1 + at, 10s); ++at) {
        std::istringstream lines(server.output());
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos) {
                return ":" + line;
            }
        }
    }
    return "";
}

// While it lives, a busy machine as the server sees it: the server shares one processor with a
// thread of ours that spins, and runs only when that thread pauses.
class BusyServer {
  public:
    explicit BusyServer(pid_t busyServer) : server(busyServer) {
        sched_getaffinity(server, sizeof usual, &usual);
        cpu_set_t one;
        CPU_ZERO(&one);
        for (int cpu = 0; cpu < CPU_SETSIZE && CPU_COUNT(&one) == 0; ++cpu) {
            if (CPU_ISSET(cpu, &usual)) {
                CPU_SET(cpu, &one);
            }
        }
        sched_param priority{};
        sched_setaffinity(server, sizeof one, &one);
        sched_setscheduler(server, SCHED_IDLE, &priority);
        spinner = std::thread([this, one] {
            sched_setaffinity(0, sizeof one, &one);
            while (!done) {
                for (auto pause = std::chrono::steady_clock::now() + 5ms;
                     std::chrono::steady_clock::now() < pause;) {
                }
                std::this_thread::sleep_for(200us);
            }
        });
    }
    ~BusyServer() {
        done = true;
        spinner.join();
        sched_param priority{};
        sched_setscheduler(server, SCHED_OTHER, &priority);
        sched_setaffinity(server, sizeof usual, &usual);
    }

  private:
    pid_t server;
    cpu_set_t usual{};
    std::atomic<bool> done{false};
    std::thread spinner;
};

} // namespace

// Each start gets a fresh server: the game is its first client, and nothing of the test's own
// connects before the game has its window. A connection made before the server has seen the
// one before it close is dropped by the reset that follows; on a busy machine (as here, until
// the first screen has loaded) nearly every time.
TEST(ServerReset, StartsOnAServerThatResetsEachOpenTheirWindowAndCloseCleanly) {
    constexpr int kStarts = 6;
    int windows = 0;
    for (int start = 0; start < kStarts; ++start) {
        GameProcess server("/usr/bin/Xvfb", "/", {"-displayfd", "1", "-screen", "0", "1280x800x24"});
        const std::string display = startXServer(server);
        ASSERT_FALSE(display.empty()) << "Xvfb did not start: " << server.output();
        setenv("DISPLAY", display.c_str(), 1);
        GameProcess game;
        bool loaded = false;
        {
            BusyServer busy(server.pid());
            loaded = game.waitForOutput("Load Time: = ", 60s);
        }
        if (loaded && findWindowByTitle("Grumbo!", 10s) != 0) {
            ++windows;
        }
        // SIGTERM closes the game as its close button does.
        kill(game.pid(), SIGTERM);
        EXPECT_EQ(game.waitForExit(30s), 0) << "start " << start << ":\n" << game.output();
        kill(server.pid(), SIGTERM); // so it removes its lock file and socket
        server.waitForExit(30s);
    }
    EXPECT_EQ(windows, kStarts);
}
