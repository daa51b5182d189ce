// Matches beyond the menus' on the real engine without a window: computer matches that follow
// from their seed alone, recorded and played back to the same end.

#include "tests/match/match_scene.hpp"

#include "match/match_run.hpp"
#include "match/match_settings.hpp"
#include "match/recording.hpp"
#include "match/recording_writer.hpp"
#include "objects/game_object.hpp"
#include "physics/body_hash.hpp"
#include "physics/rigid_body.hpp"
#include "tests/support/game_process.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/platform/x86.h>
#include <unistd.h>

using namespace match_test;

namespace {

const std::vector<std::string> kMaps = {"Meadow", "Canyon", "Starfall"};

class MatchRunScene : public MatchScene {
  protected:
    void TearDown() override {
        MatchScene::TearDown();
        std::remove(path.c_str());
        std::remove((path + ".part").c_str());
    }

    // Plays the file back from a blank state, as the game does from its command line.
    void replay() {
        MatchRun::instance().recordPath.clear();
        leaveMatch();
        ASSERT_TRUE(ReplayMatch(path, kMaps));
        startWithCurrentSettings();
    }

    // Plays the replay to its end with the pause key pressed every other frame, which does
    // nothing here, and frames of 5 ms, which do not change how long a recorded frame lasts;
    // what it said.
    std::string replayToTheEnd(int maxFrames) {
        testing::internal::CaptureStdout();
        for (int frame = 0; frame < maxFrames && harness.engine().states->next != GameStateId::Quit;
             ++frame) {
            key(sf::Keyboard::Escape, frame % 2 == 0);
            run(1, 5);
            EXPECT_TRUE(match() == nullptr || match()->phase != MatchPhase::Paused) << frame;
        }
        EXPECT_EQ(harness.engine().states->next, GameStateId::Quit) << "the replay never ends";
        return testing::internal::GetCapturedStdout();
    }

    // A short match of computers, recorded to the file.
    Recording recordShortMatch() {
        RecordMatches(path);
        writeComputerMatch(5);
        startWithCurrentSettings();
        EXPECT_TRUE(runUntilPhase(MatchPhase::Podium, 60 * 20));
        run(1);
        return ReadRecording(path).value();
    }

    void writeComputerMatch(int seconds) {
        QuickMatch quick{"Meadow", 4, 3, seconds, 4, "normal"};
        WriteQuickMatchSettings(quick);
        MatchSettings::instance().set("PlayerBot1", "hard");
        MatchSettings::instance().set("PlayerBot4", "easy");
    }

    // Every bit of every body's place and motion, and every player's damage and lives: two runs
    // that differ anywhere differ here.
    uint64_t worldHash() {
        uint64_t hash = HashBodies();
        for (int n = 1; n <= match()->playerCount; ++n) {
            hash = HashValue(hash, player(n)->knockbackMultiplier);
            hash = HashValue(hash, static_cast<float>(player(n)->lives));
        }
        return hash;
    }

    // A match of four computers from a fixed seed (two minutes unless said), to its podium: the
    // hash after every second of it, then the ranks.
    std::string playFixedMatch(uint32_t seed, int seconds = 120) {
        MatchRun::instance().fixedSeed = seed;
        writeComputerMatch(seconds);
        startWithCurrentSettings();
        std::string trail;
        for (int frame = 1; frame < 60 * (seconds + 20) && match()->phase != MatchPhase::Podium; ++frame) {
            run(1);
            if (frame % 60 == 0) {
                trail += std::to_string(worldHash()) + "\n";
            }
        }
        EXPECT_EQ(match()->phase, MatchPhase::Podium);
        trail += "end " + std::to_string(worldHash()) + " ranks";
        for (int32_t rank : match()->Ranks()) {
            trail += " " + std::to_string(rank);
        }
        leaveMatch();
        return trail;
    }

    const std::string path = testing::TempDir() + "grumbo-" + std::to_string(getpid()) + ".rec";
};

} // namespace

// The match as this build plays it, on any x86-64 processor: a change to how anything in a match
// behaves changes it; update it on purpose, saying why in the commit.
constexpr const char* kGoldenEnd = "end 16465109532656924489 ranks 2 1 2 2";

TEST_F(MatchRunScene, AComputerMatchFromAFixedSeedEndsAsItAlwaysHas) {
    harness.engine().freshStepsOnSwitch = true; // as a recording run starts its matches
    const std::string trail = playFixedMatch(1234);
    // Said, so a run in another process can tell whether the C library used its FMA code.
    std::printf("The C library's FMA code is %s\n", CPU_FEATURE_ACTIVE(FMA) ? "on" : "off");
    EXPECT_EQ(trail.substr(trail.rfind('\n') + 1), kGoldenEnd) << "the golden end changed";
}

// The C library picks other versions of its mathematics where the processor lacks FMA and AVX2;
// the match uses none of them, so it ends the same with them switched off.
TEST_F(MatchRunScene, AComputerMatchEndsTheSameWithTheProcessorsFmaAndAvxSwitchedOff) {
    setenv("GLIBC_TUNABLES", "glibc.cpu.hwcaps=-AVX2,-FMA,-AVX", 1);
    GameProcess rerun("/proc/self/exe", ".",
                      {"--gtest_filter=MatchRunScene.AComputerMatchFromAFixedSeedEndsAsItAlwaysHas"});
    unsetenv("GLIBC_TUNABLES");
    EXPECT_EQ(rerun.waitForExit(std::chrono::seconds(300)), 0) << rerun.output();
    EXPECT_NE(rerun.output().find("The C library's FMA code is off"), std::string::npos) << rerun.output();
}

// Short matches are enough to tell seeds apart: every second of them is in the trail.
TEST_F(MatchRunScene, AnotherSeedPlaysAnotherMatchAndComputersAreTagged) {
    harness.engine().freshStepsOnSwitch = true;
    const std::string first = playFixedMatch(1234, 5);
    EXPECT_NE(playFixedMatch(99, 5), first) << "another seed plays another match";
    EXPECT_EQ(playFixedMatch(1234, 5), first) << "the seed alone decides the match";

    // A quick match with one computer: the last seat, marked on its badge and over its tank.
    WriteQuickMatchSettings({"Meadow", 2, 3, 30, 1, "hard"});
    startWithCurrentSettings();
    EXPECT_FALSE(player(1)->computer);
    EXPECT_EQ(player(1)->actionSource, nullptr);
    EXPECT_EQ(match()->statsPanels[0]->computerTag, nullptr);
    EXPECT_TRUE(player(2)->computer);
    EXPECT_NE(player(2)->actionSource, nullptr);
    EXPECT_NE(match()->statsPanels[1]->computerTag, nullptr);
    EXPECT_EQ(match()->indicators[1]->transform.children.size(), 1u);
    EXPECT_TRUE(match()->indicators[0]->transform.children.empty());
}

TEST_F(MatchRunScene, ARecordedMatchPlaysBackToTheSameResultAndCannotBePaused) {
    RecordMatches(path);
    writeComputerMatch(10);
    startWithCurrentSettings();
    testing::internal::CaptureStdout();
    ASSERT_TRUE(runUntilPhase(MatchPhase::Podium, 60 * 40));
    run(1);
    std::string said = testing::internal::GetCapturedStdout();
    ASSERT_NE(said.find("Recorded the match to " + path), std::string::npos) << said;
    ASSERT_EQ(ReadRecording(path).value().result.size(), 4u);

    // Played back from the file's settings: the seats play the recording, not computers.
    MatchSettings::instance().set("MapName", "Canyon");
    replay();
    EXPECT_EQ(match()->mapName, "Meadow");
    EXPECT_EQ(player(1)->actionSource, MatchRun::instance().replay.get());
    said = replayToTheEnd(60 * 40);
    EXPECT_NE(said.find("ends on the recorded result"), std::string::npos) << said;
}

// A team match keeps its sides in the recording and plays back to the same world; a recording
// without them (from before teams) plays as a free-for-all, whatever the match before it was.
TEST_F(MatchRunScene, ARecordedTeamMatchPlaysBackToTheSameWorld) {
    RecordMatches(path);
    QuickMatch quick{"Meadow", 3, 2, 10, 3, "hard"};
    quick.teams = Teams{true, false, *ParseTeamLetters("RBB")};
    WriteQuickMatchSettings(quick);
    startWithCurrentSettings();
    ASSERT_TRUE(runUntilPhase(MatchPhase::Podium, 60 * 40));
    const uint64_t recorded = worldHash();
    run(1);
    Recording file = ReadRecording(path).value();
    EXPECT_EQ(file.settings.at("Teams"), "1");
    EXPECT_EQ(file.settings.at("PlayerTeam2") + file.settings.at("PlayerTeam3"), "BlueBlue");

    replay();
    EXPECT_EQ(Teams::current(), quick.teams);
    testing::internal::CaptureStdout();
    uint64_t replayed = 0;
    for (int frame = 0; frame < 60 * 40 && harness.engine().states->next != GameStateId::Quit; ++frame) {
        run(1);
        replayed = match() != nullptr ? worldHash() : replayed;
    }
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("ends on the recorded result"), std::string::npos) << said;
    EXPECT_EQ(replayed, recorded) << "the replay's podium frame is the recorded one";

    for (const char* key :
         {"Teams", "TeamHits", "PlayerTeam1", "PlayerTeam2", "PlayerTeam3", "PlayerTeam4"}) {
        file.settings.erase(key);
    }
    ASSERT_TRUE(WriteRecording(file, path));
    ASSERT_TRUE(ReplayMatch(path, kMaps));
    EXPECT_EQ(ReadTeams(MatchSettings::instance()), Teams{});
}

// A replay that drifts from its recording, or a recording that stops before its match did:
// each ends at once with its line, and only the drifts fail.
struct OddReplay {
    const char* name;
    size_t keptPart;    // the recording keeps 1/keptPart of its frames
    size_t extraFrames; // and has these added
    enum { Same, Other, None } result;
    bool unfinished;
    const char* said;
};

void PrintTo(const OddReplay& odd, std::ostream* out) {
    *out << odd.name;
}

class OddReplayScene : public MatchRunScene, public testing::WithParamInterface<OddReplay> {};

TEST_P(OddReplayScene, EndsWithinItsFramesSayingWhere) {
    const OddReplay& odd = GetParam();
    Recording recorded = recordShortMatch();
    const size_t played = recorded.frames.size();
    recorded.frames.resize(played / odd.keptPart);
    recorded.frames.insert(recorded.frames.end(), odd.extraFrames, RecordedFrame{16, {}});
    recorded.result = odd.result == OddReplay::Same    ? recorded.result
                      : odd.result == OddReplay::Other ? std::vector<int32_t>{4, 3, 2, 1}
                                                       : std::vector<int32_t>{};
    recorded.unfinished = odd.unfinished;
    ASSERT_TRUE(WriteRecording(recorded, path));
    replay();
    const std::string said = replayToTheEnd(static_cast<int>(played) + 60);
    const size_t parting = std::min(played, recorded.frames.size());
    const bool drifts = std::string(odd.said).starts_with("does not end");
    EXPECT_NE(said.find("Replay of " + std::to_string(recorded.frames.size()) + " frames " + odd.said),
              std::string::npos)
        << said;
    EXPECT_EQ(said.find("they part at frame " + std::to_string(parting) + " (") != std::string::npos, drifts);
    EXPECT_EQ(MatchRun::instance().replayFailed, drifts);
}

INSTANTIATE_TEST_SUITE_P(
    MatchRunScene, OddReplayScene,
    testing::Values(
        OddReplay{"PodiumDiffers", 1, 0, OddReplay::Other, false, "does not end on the recorded result"},
        OddReplay{"FramesLeftAtThePodium", 1, 50, OddReplay::Same, false,
                  "does not end on the recorded result"},
        OddReplay{"LeftBeforeTheEnd", 2, 0, OddReplay::None, false,
                  "ends where the recording does: the recording ends before the match did"},
        OddReplay{"CutOff", 3, 0, OddReplay::None, true, "ends where the recording does: the recording ends"},
        OddReplay{"CutAfterItsPodium", 1, 0, OddReplay::None, true,
                  "ends where the recording does, on the podium"}),
    [](const testing::TestParamInfo<OddReplay>& param) { return std::string(param.param.name); });

// A replay's settings are held to what the command line allows, whatever the file says.
TEST_F(MatchRunScene, AReplayOfSettingsNoMatchMayHaveIsRefused) {
    WriteQuickMatchSettings({"Meadow", 2, 3, 60, 2, "normal"});
    Recording recorded;
    recorded.settings = MatchSettings::instance().all();
    recorded.frames = {{16, {}}};
    recorded.result = {1, 2};
    const std::vector<std::array<std::string, 3>> cases = {
        {"TotalPlayer", "0", "TotalPlayer=0 is not a whole number from 2 to 4"},
        {"TotalPlayer", "5", "from 2 to 4"},
        {"Time", "60.5", "Time=60.5 is not a whole number from 1 to 5999"},
        {"MapName", "Moon\nRise", "no map is called \"Moon?Rise\""},
        {"Lives", "", "the setting Lives is missing"},
        {"PlayerTeam2", "Green", "the setting PlayerTeam2 is not Red or Blue"},
    };
    for (const auto& [key, value, said] : cases) {
        Recording odd = recorded;
        if (value.empty()) {
            odd.settings.erase(key);
        } else {
            odd.settings[key] = value;
        }
        ASSERT_TRUE(WriteRecording(odd, path));
        testing::internal::CaptureStdout();
        EXPECT_FALSE(ReplayMatch(path, kMaps)) << key << "=" << value;
        const std::string line = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(line.starts_with("Recording " + path + " refused: ")) << line;
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
        EXPECT_NE(line.find(said), std::string::npos) << line;
    }
    ASSERT_TRUE(WriteRecording(recorded, path));
    EXPECT_TRUE(ReplayMatch(path, kMaps));
}

// Each soak match says the heap in use after it, and the summary closes on that heap's growth
// from the first match to the last, the figure scripts/soak.sh judges.
TEST_F(MatchRunScene, ASoakSaysTheHeapInUseAfterEachMatchAndClosesOnItsGrowth) {
    MatchRun& soak = MatchRun::instance();
    soak.soak = true;
    soak.soakStart = WallSeconds();
    soak.soakSeconds = 1e9;
    writeComputerMatch(5);
    startWithCurrentSettings();
    testing::internal::CaptureStdout();
    for (int frame = 0; frame < 60 * 40 && soak.soakMatches == 0; ++frame) {
        run(1);
    }
    // The next match is set up but not loaded yet: a short one, and the last.
    MatchSettings::instance().set("Time", "5");
    soak.soakSeconds = 0.0;
    for (int frame = 0; frame < 60 * 40 && harness.engine().states->next != GameStateId::Quit; ++frame) {
        run(1);
    }
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_EQ(soak.soakMatches, 2) << out;

    double heap[2] = {};
    for (int n = 0; n < 2; ++n) {
        const std::string start = "Soak match " + std::to_string(n + 1) + " on ";
        const size_t line = out.find(start);
        ASSERT_NE(line, std::string::npos) << out;
        const size_t at = out.find(", heap in use ", line);
        ASSERT_LT(at, out.find('\n', line)) << out;
        heap[n] = std::stod(out.substr(at + 14));
        EXPECT_GT(heap[n], 1.0) << out;
    }
    const size_t summary = out.find("Soak: 2 matches, 0 failures; memory after the first match ");
    ASSERT_NE(summary, std::string::npos) << out;
    // The heap's figures close the line; the growth is the one of the figures after each match,
    // within what their rounding to 0.1 MB allows.
    const std::string closing = "; heap in use after the first match ";
    const size_t heapAt = out.find(closing, summary);
    ASSERT_NE(heapAt, std::string::npos) << out;
    double first = 0.0;
    double last = 0.0;
    double growth = 0.0;
    char end = 0;
    ASSERT_EQ(std::sscanf(out.c_str() + heapAt + closing.size(), "%lf MB, after the last %lf MB (%lf %%%c",
                          &first, &last, &growth, &end),
              4)
        << out.substr(summary);
    EXPECT_EQ(end, ')');
    EXPECT_EQ(out.find('\n', heapAt), out.find(")\n", heapAt) + 1) << "the growth ends the line";
    EXPECT_DOUBLE_EQ(first, heap[0]);
    EXPECT_DOUBLE_EQ(last, heap[1]);
    EXPECT_NEAR(growth, (last - first) / first * 100.0, 0.1 / first * 100.0 + 0.05) << out.substr(summary);
}

// The heap in use counts a block from its allocation to its free, pages touched or not: a
// block never written to adds nothing to the resident size.
TEST(HeapInUse, CountsABlockFromItsAllocationToItsFree) {
    const double before = HeapInUseMegabytes();
    void* volatile block = std::malloc(size_t{64} << 20);
    ASSERT_NE(block, nullptr);
    const double held = HeapInUseMegabytes();
    std::free(block);
    EXPECT_NEAR(held - before, 64.0, 1.0);
    EXPECT_NEAR(HeapInUseMegabytes(), before, 1.0);
}
