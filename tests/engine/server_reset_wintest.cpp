// An X server with no other client (a bare Xvfb, a kiosk session) resets itself whenever its last
// connection closes. The game must start there every time.
#include "tests/support/game_process.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace {

// A fresh Xvfb of our own on a display number it picks itself, started without -noreset.
class PrivateXServer {
  public:
    PrivateXServer() {
        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        server = fork();
        if (server == 0) {
            dup2(fds[1], 3); // for -displayfd; the pipe itself may already sit there
            int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1280x800x24",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // Xvfb writes its display number and a line end once it takes connections.
        std::string number;
        for (char c = 0; read(fds[0], &c, 1) == 1 && c != '\n';) {
            number += c;
        }
        close(fds[0]);
        display = number.empty() ? "" : ":" + number;
    }
    ~PrivateXServer() {
        if (server > 0) {
            kill(server, SIGTERM);
            waitpid(server, nullptr, 0);
        }
    }

    std::string display; // empty when the server did not start
    pid_t server = -1;
};

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
        PrivateXServer server;
        ASSERT_FALSE(server.display.empty()) << "Xvfb did not start";
        setenv("DISPLAY", server.display.c_str(), 1);
        GameProcess game;
        bool loaded = false;
        {
            BusyServer busy(server.server);
            loaded = game.waitForOutput("Load Time: = ", 60s);
        }
        if (loaded && findWindowByTitle("Grumbo!", 10s) != 0) {
            ++windows;
        }
        // SIGTERM closes the game as its close button does.
        kill(game.pid(), SIGTERM);
        EXPECT_EQ(game.waitForExit(30s), 0) << "start " << start << ":\n" << game.output();
    }
    EXPECT_EQ(windows, kStarts);
}
