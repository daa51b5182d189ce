// Recorded matches of the real game, ended every way a player can end one: each leaves a file
// that plays back to its end with the right line, and an earlier recording is never lost to it.
#include "match/recording.hpp"
#include "match/recording_writer.hpp"
#include "tests/support/display.hpp"
#include "tests/support/game_process.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// A folder of the test's own, gone with it.
struct Folder {
    Folder() { fs::create_directories(path); }
    ~Folder() { fs::remove_all(path); }
    const std::string path = testing::TempDir() + "grumbo-recorded-" + std::to_string(getpid());
};

// Waits until the .part holds this many frames; how many it holds.
size_t waitForFrames(const std::string& part, size_t frames) {
    size_t held = 0;
    for (auto deadline = std::chrono::steady_clock::now() + 90s;
         held < frames && std::chrono::steady_clock::now() < deadline;) {
        std::this_thread::sleep_for(200ms);
        testing::internal::CaptureStdout();
        const std::optional<Recording> read = ParseRecording(FileText(part), part);
        testing::internal::GetCapturedStdout();
        held = read ? read->frames.size() : 0;
    }
    return held;
}

// A signal sent to the game, or 0 for its close button.
struct Ending {
    const char* name;
    int signal;
};

void PrintTo(const Ending& ending, std::ostream* out) {
    *out << ending.name;
}

class RecordedMatchEnding : public testing::TestWithParam<Ending> {};

} // namespace

TEST_P(RecordedMatchEnding, LeavesWhatWasPlayedAndTheReplayRunsToItsEnd) {
    GRUMBO_REQUIRE_DISPLAY();
    const Folder folder;
    const std::string target = folder.path + "/r.txt";
    const bool killed = GetParam().signal == SIGKILL;
    const std::string earlier = "GRUMBO-RECORDING 2\nseed 1\nframes\nresult\n";
    std::ofstream(target) << earlier;
    {
        GameProcess game({"--record", target, "--match", "Meadow", "--bots", "2", "--windowed"});
        ASSERT_TRUE(game.waitForOutput("Load Time: = ", 90s)) << game.output();
        EXPECT_NE(game.output().find("Recording to " + target + " replaces the recording there"),
                  std::string::npos)
            << game.output();
        ASSERT_GE(waitForFrames(target + ".part", 60), 60u) << game.output();
        if (GetParam().signal == 0) {
            ASSERT_TRUE(requestWindowClose(findWindowByTitle("Grumbo!", 30s)));
        } else {
            ASSERT_EQ(kill(game.pid(), GetParam().signal), 0);
        }
        if (killed) {
            EXPECT_EQ(game.waitForExit(30s), -1);
            EXPECT_EQ(FileText(target), earlier) << "a killed game leaves the earlier recording";
        } else {
            EXPECT_EQ(game.waitForExit(60s), 0) << game.output();
            EXPECT_NE(game.output().find("what was played of it is recorded in " + target), std::string::npos)
                << game.output();
            EXPECT_FALSE(fs::exists(target + ".part"));
        }
    }
    const std::string kept = killed ? target + ".part" : target;
    GameProcess replay({"--replay", kept, "--windowed"});
    EXPECT_EQ(replay.waitForExit(120s), 0) << replay.output();
    EXPECT_NE(
        replay.output().find("frames ends where the recording does: the recording ends before the match did"),
        std::string::npos)
        << replay.output();
}

INSTANTIATE_TEST_SUITE_P(Recording, RecordedMatchEnding,
                         // SIGINT and SIGHUP take SIGTERM's path (the hardening tests send them).
                         testing::Values(Ending{"Sigterm", SIGTERM}, Ending{"CloseButton", 0},
                                         Ending{"Sigkill", SIGKILL}),
                         [](const testing::TestParamInfo<Ending>& param) {
                             return std::string(param.param.name);
                         });

TEST(Replay, ARecordingWhoseFramesRunOutBeforeItsResultExitsWithOne) {
    GRUMBO_REQUIRE_DISPLAY();
    const Folder folder;
    const std::string path = folder.path + "/short.txt";
    Recording recorded{
        5, 0, {{"Lives", "3"}, {"MapName", "Meadow"}, {"Time", "60"}, {"TotalPlayer", "2"}}, {}, {1, 2}};
    recorded.frames.assign(30, RecordedFrame{16, {}});
    ASSERT_TRUE(WriteRecording(recorded, path));
    GameProcess replay({"--replay", path, "--windowed"});
    EXPECT_EQ(replay.waitForExit(120s), 1) << replay.output();
    EXPECT_NE(replay.output().find("Replay of 30 frames does not end on the recorded result: they part at "
                                   "frame 30 (the recorded frames run out before the match ends)"),
              std::string::npos)
        << replay.output();
}
