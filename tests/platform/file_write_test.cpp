// The checked write-then-rename every saved file goes through: a disk that fills up, in one write
// or in short ones, leaves every old file whole and no temporary behind, and says which file
// failed; files that belong together are all replaced or none is.
#include "platform/file_write.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// Takes `room` bytes, in short writes of at most 5 as a disk may, then fails as a full one does
// (or, with `silent`, takes nothing without saying why).
size_t room = 0;
bool silent = false;
ssize_t fillingDisk(int fd, const void* data, size_t size) {
    if (room == 0) {
        errno = ENOSPC;
        return silent ? 0 : -1;
    }
    const size_t n = std::min({size, room, size_t{5}});
    room -= n;
    return ::write(fd, data, n);
}

class FileWrite : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ofstream("map.json") << "old map";
        std::ofstream("map.png") << "old picture";
    }
    void TearDown() override { SetFileWriteCall(nullptr); }

    // The folder holds exactly the old files, as they were.
    void expectUntouched(const std::string& why) {
        EXPECT_EQ(FileText("map.json"), "old map") << why;
        EXPECT_EQ(FileText("map.png"), "old picture") << why;
        EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 2) << why;
    }

    TempRunDir dir;
    const std::vector<FileContent> files = {{"map.png", std::string(40, 'p')},
                                            {"map.json", std::string(30, 'j')}};
};

} // namespace

TEST_F(FileWrite, AFullDiskAnywhereInTheFilesLeavesEveryOldFileAndSaysWhichFailed) {
    SetFileWriteCall(&fillingDisk);
    for (size_t bytes : {size_t{0}, size_t{1}, size_t{20}, size_t{39}, size_t{40}, size_t{41}, size_t{69}}) {
        for (bool quiet : {false, true}) {
            room = bytes;
            silent = quiet;
            std::string error;
            EXPECT_FALSE(WriteFilesReplacing(files, error)) << bytes;
            const std::string failed = bytes < 40 ? "map.png" : "map.json";
            EXPECT_TRUE(error.starts_with("cannot write " + failed + ": ")) << bytes << ": " << error;
            EXPECT_NE(error.find(quiet ? "took no more bytes" : "No space left"), std::string::npos) << error;
            expectUntouched(std::to_string(bytes) + " bytes of room");
        }
    }
    room = 70;
    silent = false;
    std::string error;
    ASSERT_TRUE(WriteFilesReplacing(files, error)) << error << ": short writes are whole in the end";
    EXPECT_EQ(FileText("map.png"), files[0].content);
    EXPECT_EQ(FileText("map.json"), files[1].content);
    EXPECT_FALSE(fs::exists(TemporaryPathFor("map.json")) || fs::exists(TemporaryPathFor("map.png")));

    // One file alone, the same way.
    room = 3;
    EXPECT_FALSE(WriteFileReplacing("map.json", "a longer map", error));
    EXPECT_EQ(FileText("map.json"), files[1].content);
    EXPECT_FALSE(fs::exists(TemporaryPathFor("map.json")));
}

TEST_F(FileWrite, AFileThatCannotBeMadeStopsThemAllAndACrashHalfwayLeavesTheOldOnes) {
    std::string error;
    EXPECT_FALSE(WriteFilesReplacing({{"map.png", "new"}, {"no/such/folder/map.json", "new"}}, error));
    EXPECT_TRUE(error.starts_with("cannot write no/such/folder/map.json: ")) << error;
    expectUntouched("a second file that cannot be made");

    EXPECT_EXIT(WriteFilesReplacing(files, error, [] { _exit(7); }), ::testing::ExitedWithCode(7), "");
    EXPECT_EQ(FileText("map.json"), "old map");
    EXPECT_EQ(FileText("map.png"), "old picture");
}
