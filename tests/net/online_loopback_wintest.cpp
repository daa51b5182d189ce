// The real thing on one machine: three game processes under one X server, a host (which --find
// lists) and two clients joined over UDP on loopback, every seat a computer, play a short match
// to its podium; each prints the same line of its end. (scripts/online-loopback.sh plays a whole minute, also
// through a lossy relay and with a client killed mid-match.)
#include "tests/support/display.hpp"
#include "tests/support/game_process.hpp"
#include "tests/support/hostile_peer.hpp"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <string>

using namespace std::chrono_literals;

namespace {

std::string endLine(const std::string& output) {
    const size_t at = output.find("Online match over: ");
    return at == std::string::npos ? std::string() : output.substr(at, output.find('\n', at) - at);
}

} // namespace

TEST(OnlineLoopback, ThreeMachinesPlayAMatchToTheSameEnd) {
    GRUMBO_REQUIRE_DISPLAY();
    const std::string port = std::to_string(FreeUdpPort());
    GameProcess host(
        {"--host", "--port", port, "--players", "3", "--bots", "1", "--time", "10", "--windowed"});
    ASSERT_TRUE(host.waitForOutput("Friends join with", 90s)) << host.output();
    // Listed by --find as a game on this machine, with its seats.
    std::string found;
    EXPECT_EQ(RunCommand(std::string(GRUMBO_GAME_EXE) + " --find 127.0.0.1 2>/dev/null", found), 0) << found;
    EXPECT_EQ(found.rfind("127.0.0.1:" + port + "  ", 0), 0u) << found;
    EXPECT_NE(found.find("  2/3\n"), std::string::npos) << found;
    GameProcess first({"--join", "127.0.0.1:" + port, "--bots", "1", "--windowed"});
    GameProcess second({"--join", "127.0.0.1:" + port, "--bots", "1", "--windowed"});
    std::vector<GameProcess*> machines{&host, &first, &second};
    // Read every machine's output in turn, so none blocks on a full pipe, and stop at the first
    // machine that gives up rather than wait out the time.
    const auto deadline = std::chrono::steady_clock::now() + 150s;
    auto allEnded = [&] {
        return std::all_of(machines.begin(), machines.end(),
                           [](GameProcess* m) { return !endLine(m->output()).empty(); });
    };
    while (!allEnded() && std::chrono::steady_clock::now() < deadline) {
        for (GameProcess* machine : machines) {
            machine->waitForOutput("Online match over: ", 1s);
            ASSERT_EQ(machine->output().find("back to the title"), std::string::npos) << machine->output();
            ASSERT_EQ(machine->output().find("could not be reached"), std::string::npos) << machine->output();
        }
    }
    const std::string hostEnd = endLine(host.output());
    ASSERT_FALSE(hostEnd.empty()) << host.output();
    for (GameProcess* machine : {&first, &second}) {
        EXPECT_EQ(endLine(machine->output()), hostEnd) << machine->output();
    }
    for (GameProcess* machine : machines) {
        kill(machine->pid(), SIGTERM);
    }
    for (GameProcess* machine : machines) {
        EXPECT_EQ(machine->waitForExit(60s), 0) << machine->output();
        EXPECT_EQ(machine->output().find("out of step"), std::string::npos) << machine->output();
        EXPECT_EQ(machine->output().find("runtime error"), std::string::npos) << machine->output();
    }
}
