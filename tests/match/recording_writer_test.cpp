// Writing a recording beside its target and renaming it over it at the end: a kill leaves what
// was played, a full disk leaves the old recording whole, and a bad target is told at once.
#include "match/recording_writer.hpp"

#include "platform/clock.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;
namespace fs = std::filesystem;

std::string slurp(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

void put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

Recording earlier() {
    Recording r;
    r.seed = 1;
    r.frames = {{16, {1, 0, 0, 0}}};
    r.result = {1, 2};
    return r;
}

Recording played() {
    Recording r;
    r.seed = 77;
    r.settings = {{"Lives", "3"}, {"MapName", "Meadow"}};
    for (uint16_t i = 0; i < 120; ++i) {
        r.frames.push_back({16, {i, 0, 3, 0}});
    }
    r.result = {2, 1};
    return r;
}

// Takes the first `allowed` bytes written, then fails as a full disk does.
size_t allowed = 0;
ssize_t fillingDisk(int fd, const void* data, size_t size) {
    if (allowed == 0) {
        errno = ENOSPC;
        return -1;
    }
    const size_t n = std::min({size, allowed, size_t{7}}); // short writes, as a disk may give
    allowed -= n;
    return ::write(fd, data, n);
}

// Records `played` the way a match does, a frame every 16 ms; whether it finished.
bool record(const std::string& target, ManualClock& clock) {
    const Recording r = played();
    RecordingWriter writer(target);
    writer.begin(r.seed, r.settings);
    for (const RecordedFrame& frame : r.frames) {
        clock.advance(16);
        writer.add(frame);
    }
    return writer.finish(r.result);
}

struct FrameClock {
    FrameClock() { setFrameClock(&clock); }
    ~FrameClock() { setFrameClock(nullptr); }
    ManualClock clock;
};

} // namespace

TEST(RecordingWriter, WritesAsTheMatchGoesAndTakesTheTargetsPlaceOnlyAtTheEnd) {
    const TempRunDir dir;
    FrameClock time;
    const Recording r = played();
    const std::string start = RecordingStartText(r.seed, r.settings);
    put("r.rec", RecordingText(earlier()));
    {
        RecordingWriter writer("r.rec");
        ASSERT_TRUE(writer.begin(r.seed, r.settings));
        EXPECT_EQ(slurp("r.rec.part"), start) << "the settings are on disk from the start";
        std::string expected = start;
        for (const RecordedFrame& frame : r.frames) {
            time.clock.advance(16);
            writer.add(frame);
            expected += RecordedFrameText(frame);
            // A kill loses no more than the last second.
            EXPECT_GE(slurp("r.rec.part").size() + 63 * 12, expected.size());
        }
        EXPECT_NE(slurp("r.rec.part"), start) << "nothing written in two seconds";
        EXPECT_EQ(ParseRecording(slurp("r.rec.part"), "part")->unfinished, true);
        EXPECT_EQ(slurp("r.rec"), RecordingText(earlier())) << "the earlier recording stays until the end";
        CaptureStdout();
        EXPECT_TRUE(writer.finish(r.result));
        EXPECT_EQ(GetCapturedStdout(), "");
    }
    EXPECT_FALSE(fs::exists("r.rec.part"));
    EXPECT_EQ(slurp("r.rec"), RecordingText(r));
}

TEST(RecordingWriter, AWriteThatFailsLeavesTheRecordingThereWhole) {
    const std::string old = RecordingText(earlier());
    const size_t start = RecordingStartText(played().seed, played().settings).size();
    const size_t whole = RecordingText(played()).size();
    struct Case {
        const char* when;
        size_t allowed;
        bool partKept;
    };
    for (const Case& c :
         {Case{"at once", 0, false}, Case{"in the settings", 20, true}, Case{"mid-match", start + 300, true},
          Case{"in the closing line", whole - 2, true}}) {
        const TempRunDir dir;
        FrameClock time;
        put("r.rec", old);
        allowed = c.allowed;
        SetRecordingWriteCall(&fillingDisk);
        CaptureStdout();
        EXPECT_FALSE(record("r.rec", time.clock)) << c.when;
        const std::string said = GetCapturedStdout();
        SetRecordingWriteCall(nullptr);
        EXPECT_EQ(slurp("r.rec"), old) << c.when;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("Recording r.rec not written: No space left on device (r.rec is left as it was"),
                  std::string::npos)
            << said;
        EXPECT_EQ(fs::exists("r.rec.part"), c.partKept) << c.when;
        EXPECT_EQ(said.find("is in r.rec.part") != std::string::npos, c.partKept) << said;
    }

    // Short writes that all go through are no failure.
    const TempRunDir dir;
    FrameClock time;
    allowed = whole;
    SetRecordingWriteCall(&fillingDisk);
    EXPECT_TRUE(record("r.rec", time.clock));
    SetRecordingWriteCall(nullptr);
    EXPECT_EQ(slurp("r.rec"), RecordingText(played()));

    // A target that became a folder during the match: the finished recording stays in the .part.
    fs::create_directories("gone.rec/inside");
    CaptureStdout();
    EXPECT_FALSE(record("gone.rec", time.clock));
    EXPECT_NE(GetCapturedStdout().find("what was recorded is in gone.rec.part"), std::string::npos);
    EXPECT_EQ(ParseRecording(slurp("gone.rec.part"), "part"), played());
}

TEST(RecordingTarget, EveryTargetThatCannotTakeARecordingIsToldBeforeTheMatch) {
    const TempRunDir dir;
    const std::string old = RecordingText(earlier());
    put("old.rec", old);
    put("notes.txt", "shopping: milk\n");
    put("empty.rec", "");
    put("left.rec.part", "GRUMBO-RECORDING 2\nseed 3\n");
    put("readonly.rec", old);
    chmod("readonly.rec", 0444);
    fs::create_directory("folder");
    fs::create_directory("blocked.rec.part");
    ASSERT_EQ(mkfifo("pipe", 0644), 0);
    struct Case {
        std::string path;
        bool usable;
        std::string said; // a part of the one line, or nothing said at all
    };
    const std::vector<Case> cases = {
        {"new.rec", true, ""},
        {"empty.rec", true, ""},
        {"old.rec", true, "Recording to old.rec replaces the recording there"},
        {"left.rec", true, "Recording to left.rec replaces the unfinished left.rec.part an earlier run left"},
        {"", false, "no file name given"},
        {"no/such/r.rec", false, "Cannot record to no/such/r.rec: the folder no/such does not exist"},
        {"folder", false, "Cannot record to folder: it is a folder"},
        {"pipe", false, "it is not a regular file"},
        {"/dev/full", false, "it is not a regular file"},
        {"notes.txt", false, "it holds something other than a recording"},
        {"blocked.rec", false, "blocked.rec.part is in the way"},
        {std::string(5000, 'x'), false, "File name too long"},
        {"readonly.rec", false, "it cannot be written (Permission denied)"},
    };
    for (const Case& c : cases) {
        if (c.path == "readonly.rec" && geteuid() == 0) {
            continue; // root writes any file
        }
        CaptureStdout();
        EXPECT_EQ(CheckRecordingTarget(c.path), c.usable) << c.path.substr(0, 20);
        const std::string said = GetCapturedStdout();
        if (c.said.empty()) {
            EXPECT_EQ(said, "");
        } else {
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
            EXPECT_LT(said.size(), 300u) << "a long name is cut short";
            EXPECT_NE(said.find(c.said), std::string::npos) << said;
        }
    }
    EXPECT_FALSE(fs::exists("new.rec")) << "checking writes nothing";
    EXPECT_EQ(slurp("notes.txt"), "shopping: milk\n");
}
