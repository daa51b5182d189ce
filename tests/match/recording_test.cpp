#include "match/recording.hpp"

#include "gameplay/player.hpp"
#include "match/match_recorder.hpp"
#include "match/recording_writer.hpp"
#include "objects/game_object_list.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <fstream>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

Recording sample() {
    Recording r;
    r.seed = 4294967295u;
    r.pace = 60;
    r.settings = {
        {"Lives", "3"}, {"MapName", "Big Arena=100%"}, {"Empty", ""}, {"Odd key\t\n", "caf\xc3\xa9"}};
    r.frames = {{16, {0, 0, 0, 0}},
                {17, {kActionBitsMask, 0x81, 0, 0x400}},
                {kMinFrameMilliseconds, {1, 2, 4, 8}},
                {kMaxFrameMilliseconds, {0, 0, 0, 0}}};
    r.result = {2, 1, 0, 4};
    return r;
}
// Lines: 1 version, 2 seed, 3 pace, 4-7 settings, 8 "frames", 9-12 frames, 13 result.

void put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// Reads a file that must be refused; gives the one line said about it.
std::string refusal(const std::string& path) {
    CaptureStdout();
    const std::optional<Recording> read = ReadRecording(path);
    const std::string said = GetCapturedStdout();
    EXPECT_FALSE(read.has_value()) << path;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(path), std::string::npos) << said;
    return said;
}

std::string sampleText() {
    const TempRunDir dir;
    EXPECT_TRUE(WriteRecording(sample(), "sample.rec"));
    return FileText("sample.rec");
}

// Hands each player the actions set for it.
struct FixedSource : ActionSource {
    std::map<uint32_t, PlayerActions> given;
    PlayerActions actionsFor(const Player& player) override { return given[player.playerNumber]; }
};

Player* makePlayer(uint32_t number) {
    GameObject* object = GameObjectList::instance().create("Tank" + std::to_string(number));
    Player* player = object->attach(new Player(object));
    player->playerNumber = number;
    return player;
}

} // namespace

TEST(Recording, WritesAndReadsBackEverythingWithABitForEachAction) {
    EXPECT_EQ(std::popcount(kActionBitsMask), static_cast<int>(sizeof(PlayerActions))) << "one bit a field";
    for (int bit = 0; bit < 16; ++bit) {
        const auto one = static_cast<uint16_t>(1u << bit);
        EXPECT_EQ(PackActions(UnpackActions(one)), one & kActionBitsMask) << bit;
    }
    const TempRunDir dir;
    CaptureStdout();
    ASSERT_TRUE(WriteRecording(sample(), "match.rec"));
    std::optional<Recording> read = ReadRecording("match.rec");
    EXPECT_EQ(GetCapturedStdout(), "");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, sample());

    const std::string text = FileText("match.rec");
    EXPECT_EQ(text.rfind("GRUMBO-RECORDING 4\nseed 4294967295\npace 60\n", 0), 0u) << text;
    EXPECT_NE(text.find("\nsetting MapName=Big%20Arena%3D100%25\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n17 7ff 81 0 400\n"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("\nresult 2 1 0 4\n")) << text;

    Recording empty;
    ASSERT_TRUE(WriteRecording(empty, "empty.rec"));
    EXPECT_EQ(ReadRecording("empty.rec"), empty) << "a match left before its first frame";
}

TEST(Recording, AnotherVersionIsRefusedSayingWhichBuildMadeIt) {
    const std::string text = sampleText();
    const TempRunDir dir;
    put("new.rec", replaced(text, "GRUMBO-RECORDING 4\n", "GRUMBO-RECORDING 5\n"));
    EXPECT_NE(refusal("new.rec").find("made by a newer build of the game (recording version 5"),
              std::string::npos);
    put("old.rec", replaced(text, "GRUMBO-RECORDING 4\n", "GRUMBO-RECORDING 1\n"));
    EXPECT_NE(refusal("old.rec").find("made by an older build"), std::string::npos);
    // Version 3, from before teams, reads as it was written.
    EXPECT_EQ(ParseRecording(replaced(text, "GRUMBO-RECORDING 4\n", "GRUMBO-RECORDING 3\n"), "v3"), sample());
    // Version 2 had no pace line: its frames last what they say.
    Recording older = sample();
    older.pace = 0;
    EXPECT_EQ(
        ParseRecording(
            replaced(replaced(text, "GRUMBO-RECORDING 4\n", "GRUMBO-RECORDING 2\n"), "pace 60\n", ""), "v2"),
        older);
    put("other.rec", "{\"seed\": 3}\n");
    EXPECT_NE(refusal("other.rec").find("not a Grumbo recording"), std::string::npos);
}

// A file the game was writing when it stopped: up to the start of the frames it is refused, past
// it every whole frame line plays and a cut one is dropped.
TEST(Recording, ACutFileIsRefusedBeforeItsFramesAndUnfinishedAfter) {
    const std::string text = sampleText();
    const Recording full = sample();
    const size_t framesBegin = text.find("\nframes\n") + 8;
    const TempRunDir dir;
    for (size_t length = 0; length < text.size(); ++length) {
        const std::string cut = text.substr(0, length);
        put("cut.rec", cut);
        if (length < framesBegin) {
            refusal("cut.rec");
            continue;
        }
        const std::optional<Recording> read = ParseRecording(cut, "cut");
        ASSERT_TRUE(read.has_value()) << length;
        const auto whole = static_cast<size_t>(std::count(cut.begin() + framesBegin, cut.end(), '\n'));
        EXPECT_TRUE(read->unfinished);
        EXPECT_TRUE(read->result.empty());
        EXPECT_EQ(read->frames, std::vector(full.frames.begin(), full.frames.begin() + whole)) << length;
    }
    put("cut.rec", text.substr(0, framesBegin - 3));
    EXPECT_NE(refusal("cut.rec").find("truncated (it ends before its frames begin)"), std::string::npos);
}

TEST(Recording, DamagedLinesValuesOutOfRangeAndWhatIsNotAFileAreRefused) {
    const std::string text = sampleText();
    const TempRunDir dir;
    const std::vector<std::array<std::string, 3>> cases = {
        {"\n17 7ff 81 0 400\n", "\n17 7ff 8g 0 400\n", "line 10: the frame line is damaged"},
        {"\n17 7ff 81 0 400\n", "\n17 7ff 81 0\n", "line 10: the frame line is damaged"},
        {"\n17 7ff 81 0 400\n", "\n17 800 81 0 400\n", "line 10: player 1's actions are out of range"},
        {"\n1000 0 0", "\n1001 0 0", "line 12: the frame's time step is out of range (1 to 1000 ms)"},
        {"\n1 1 2 4 8\n", "\n0 1 2 4 8\n", "line 11: the frame's time step is out of range"},
        {"seed 4294967295", "seed 4294967296", "line 2: the seed is out of range"},
        {"pace 60\n", "pace 1001\n", "line 3: the pace is out of range (at most 1000)"},
        {"pace 60\n", "pace 1000\npace 60\n", "line 4: expected a setting or the start of the frames"},
        {"pace 60\n", "", "line 3: expected the pace line"},
        {"result 2 1 0 4", "result 2 1 0 5", "player 4's rank is out of range"},
        {"result 2 1 0 4", "result 2 1 0 4 1", "ranks more than 4 players"},
        {"setting Lives=3\n", "setting Lives=3\nsetting Lives=4\n", "the setting Lives is given twice"},
        {"result 2 1 0 4\n", "result 2 1 0 4\n16 0 0 0 0\n", "line 14: there is more after the result"},
    };
    for (const auto& [from, to, said] : cases) {
        put("bad.rec", replaced(text, from, to));
        EXPECT_NE(refusal("bad.rec").find(said), std::string::npos) << to;
    }
    // And what is not a regular file, or not there.
    std::filesystem::create_directory("folder.rec");
    std::filesystem::create_symlink("/dev/zero", "zero.rec");
    EXPECT_NE(refusal("folder.rec").find("not a regular file"), std::string::npos);
    EXPECT_NE(refusal("zero.rec").find("not a regular file"), std::string::npos);
    EXPECT_NE(refusal("nothing.rec").find("missing"), std::string::npos);
}

TEST(MatchRecorder, RecordsEachRunningPlayerFrameByFrame) {
    Player* one = makePlayer(1);
    Player* three = makePlayer(3);
    FixedSource source;
    one->actionSource = three->actionSource = &source;
    source.given[1].jump = true;
    source.given[3].moveLeft = source.given[3].special = true;

    MatchRecorder recorder(7, {{"Lives", "3"}});
    SetActionObserver(&recorder);
    one->readThisFrame(); // before the first frame: belongs to none
    recorder.beginFrame(16);
    one->readThisFrame();
    three->readThisFrame();
    recorder.beginFrame(17); // player 1 frozen: does not run
    source.given[3] = PlayerActions{};
    source.given[3].shootHeld = true;
    three->readThisFrame();
    recorder.beginFrame(1); // paused: nobody runs
    recorder.finish({1, 2});
    EXPECT_EQ(CurrentActionObserver(), nullptr) << "a finished recorder stops watching";
    recorder.beginFrame(5);
    recorder.onActions(*one, source.given[1]);

    Recording expected;
    expected.seed = 7;
    expected.settings = {{"Lives", "3"}};
    expected.frames = {{16, {PackActions(source.given[1]), 0, 0x401, 0}},
                       {17, {0, 0, PackActions(source.given[3]), 0}},
                       {1, {0, 0, 0, 0}}};
    expected.result = {1, 2};
    EXPECT_TRUE(recorder.finished());
    EXPECT_EQ(recorder.recording(), expected);

    {
        MatchRecorder abandoned(1, {});
        SetActionObserver(&abandoned);
    }
    EXPECT_EQ(CurrentActionObserver(), nullptr) << "the game would call into a dead recorder";
    GameObjectList::instance().destroyAll();
}

// Online, a frame may be simulated again after its actions turned out otherwise: the recorder
// takes the frames from it back (and a finish they led to), writes only frames that are final,
// and closes the file once every frame up to the finish is.
TEST(MatchRecorder, OnlineWritesOnlyFinalFramesAndTakesBackFramesSimulatedAgain) {
    const TempRunDir dir;
    Player* one = makePlayer(1);
    FixedSource source;
    one->actionSource = &source;
    MatchRecorder recorder(7, {}, "online.rec", 60);
    recorder.holdUntilFinal();
    SetActionObserver(&recorder);
    auto play = [&](size_t frame, bool jump) {
        recorder.beginFrame(17, frame);
        source.given[1].jump = jump;
        one->readThisFrame();
    };
    CaptureStdout();
    for (size_t frame = 1; frame <= 6; ++frame) {
        play(frame, false);
    }
    recorder.finish({2, 1}); // on a guess
    recorder.framesFinal(3);
    EXPECT_FALSE(std::filesystem::exists("online.rec")) << "frames 4 to 6 are not final yet";
    play(5, true); // frame 5 again: the guess was wrong, and the match goes on past it
    EXPECT_FALSE(recorder.finished());
    EXPECT_EQ(CurrentActionObserver(), &recorder);
    play(6, false);
    play(7, false);
    recorder.finish({1, 2});
    recorder.framesFinal(7);
    const std::string said = GetCapturedStdout();
    EXPECT_NE(said.find("Recorded the match to online.rec"), std::string::npos) << said;
    const std::optional<Recording> written = ReadRecording("online.rec");
    ASSERT_TRUE(written);
    ASSERT_EQ(written->frames.size(), 7u);
    for (size_t frame = 0; frame < 7; ++frame) {
        EXPECT_EQ(written->frames[frame].actions[0] != 0, frame == 4) << frame;
    }
    EXPECT_EQ(written->result, (std::vector<int32_t>{1, 2}));
    GameObjectList::instance().destroyAll();
}
