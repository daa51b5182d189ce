// Writing a recording beside its target and renaming it over it at the end: a full disk leaves
// the earlier recording whole, and a target that cannot take one is told before the match.
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

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;
namespace fs = std::filesystem;

const std::string kEarlier = "GRUMBO-RECORDING 2\nseed 1\nframes\nresult\n";

Recording played() {
    Recording r{77, {{"Lives", "3"}, {"MapName", "Meadow"}}, {}, {2, 1}};
    r.frames.assign(120, RecordedFrame{16, {0x7f, 0, 3, 0}});
    return r;
}

// Takes `room` bytes in short writes, as a disk may, then fails as a full one does.
size_t room = 0;
ssize_t fillingDisk(int fd, const void* data, size_t size) {
    if (room == 0) {
        errno = ENOSPC;
        return -1;
    }
    const size_t n = std::min({size, room, size_t{7}});
    room -= n;
    return ::write(fd, data, n);
}

// Records played() a frame every 16 ms; whether it finished. halfway gets the .part after 100 frames.
bool record(const std::string& target, std::string* halfway = nullptr) {
    ManualClock clock;
    setFrameClock(&clock);
    const Recording r = played();
    RecordingWriter writer(target);
    writer.begin(r.seed, r.settings);
    for (size_t i = 0; i < r.frames.size(); ++i) {
        clock.advance(16);
        writer.add(r.frames[i]);
        if (halfway != nullptr && i == 99) {
            *halfway = FileText(target + ".part");
        }
    }
    const bool finished = writer.finish(r.result);
    setFrameClock(nullptr);
    return finished;
}

} // namespace

TEST(RecordingWriter, AKillLosesAtMostTheLastSecondAndAFullDiskNothingThatWasThere) {
    const size_t whole = RecordingText(played()).size();
    for (const auto& [bytes, partKept] :
         {std::pair{whole, false}, std::pair{size_t{0}, false}, std::pair{size_t{20}, true},
          std::pair{whole / 2, true}, std::pair{whole - 2, true}}) {
        const TempRunDir dir;
        std::ofstream("r.rec") << kEarlier;
        room = bytes;
        SetRecordingWriteCall(&fillingDisk);
        CaptureStdout();
        std::string halfway;
        const bool finished = record("r.rec", &halfway);
        const std::string said = GetCapturedStdout();
        SetRecordingWriteCall(nullptr);
        EXPECT_EQ(finished, bytes == whole);
        EXPECT_EQ(FileText("r.rec"), finished ? RecordingText(played()) : kEarlier) << bytes;
        EXPECT_EQ(fs::exists("r.rec.part"), partKept) << bytes;
        if (finished) {
            // 100 frames are 1.6 s: the first second of them was on the disk.
            EXPECT_GE(ParseRecording(halfway, "part")->frames.size(), 100u - 1000u / 16u);
        } else {
            EXPECT_EQ(said, "Recording r.rec not written: No space left on device (r.rec is left as it was" +
                                std::string(partKept ? "; what was recorded is in r.rec.part" : "") + ")\n");
        }
    }

    // A target that became a folder during the match: the finished recording stays in the .part.
    const TempRunDir dir;
    fs::create_directories("gone.rec/inside");
    CaptureStdout();
    EXPECT_FALSE(record("gone.rec"));
    EXPECT_NE(GetCapturedStdout().find("what was recorded is in gone.rec.part"), std::string::npos);
    EXPECT_EQ(ParseRecording(FileText("gone.rec.part"), "part"), played());
}

TEST(RecordingTarget, EveryTargetThatCannotTakeARecordingIsToldBeforeTheMatch) {
    const TempRunDir dir;
    for (const char* file : {"old.rec", "readonly.rec", "left.rec.part"}) {
        std::ofstream(file) << kEarlier;
    }
    std::ofstream("notes.txt") << "shopping: milk\n";
    std::ofstream("empty.rec").flush();
    chmod("readonly.rec", 0444);
    fs::create_directory("folder");
    fs::create_directory("blocked.rec.part");
    ASSERT_EQ(mkfifo("pipe", 0644), 0);
    const std::vector<std::pair<std::string, std::string>> cases = {
        // A target that takes a recording, and what is said about it.
        {"new.rec", ""},
        {"empty.rec", ""},
        {"old.rec", "Recording to old.rec replaces the recording there\n"},
        {"left.rec", "Recording to left.rec replaces the unfinished left.rec.part an earlier run left\n"},
        // One that does not.
        {"", "Cannot record to : no file name given\n"},
        {"no/such/r.rec", "Cannot record to no/such/r.rec: the folder no/such does not exist\n"},
        {"folder", "Cannot record to folder: it is a folder\n"},
        {"pipe", "Cannot record to pipe: it is not a regular file (a device, a FIFO or a socket)\n"},
        {"notes.txt",
         "Cannot record to notes.txt: it holds something other than a recording, which recording "
         "would destroy\n"},
        {"blocked.rec",
         "Cannot record to blocked.rec: blocked.rec.part is in the way (not a regular file)\n"},
        {std::string(5000, 'x'),
         "Cannot record to " + std::string(160, 'x') + "... (5000 characters): File name too long\n"},
        {"readonly.rec", "Cannot record to readonly.rec: it cannot be written (Permission denied)\n"},
    };
    for (const auto& [path, said] : cases) {
        if (path == "readonly.rec" && geteuid() == 0) {
            continue; // root writes any file
        }
        CaptureStdout();
        EXPECT_EQ(CheckRecordingTarget(path), !said.starts_with("Cannot")) << path.substr(0, 20);
        EXPECT_EQ(GetCapturedStdout(), said);
    }
    EXPECT_FALSE(fs::exists("new.rec")) << "checking writes nothing";
    EXPECT_EQ(FileText("notes.txt"), "shopping: milk\n");
}
