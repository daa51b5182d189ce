// Saving an edited map as one of the player's own: only into their folder, the map file and its
// preview through one checked write that a full disk, a crash or a lying disk cannot turn into a
// false "Saved"; the game's names refused whatever their case, with nothing written; a damaged
// file never replaced without a question saying what is lost.
#include "editor/map_document.hpp"
#include "editor/map_file.hpp"
#include "editor/map_saver.hpp"
#include "objects/map_file_reader.hpp"
#include "platform/file_write.hpp"
#include "tests/editor/editor_maps.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;
using editor_test::smallMap;
using Outcome = SaveResult::Outcome;

namespace {

// Takes `room` bytes, then fails as a full disk does.
size_t room = 0;
ssize_t fillingDisk(int fd, const void* data, size_t size) {
    if (room == 0) {
        errno = ENOSPC;
        return -1;
    }
    const size_t n = std::min(size, room);
    room -= n;
    return ::write(fd, data, n);
}

// Says every byte went, but the disk keeps the first one wrong.
ssize_t lyingDisk(int fd, const void* data, size_t size) {
    std::string bytes(static_cast<const char*>(data), size);
    bytes[0] = static_cast<char>(bytes[0] ^ 0x20);
    return ::write(fd, bytes.data(), size);
}

class MapSaving : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.writeResource("JsonData/MapSetting.json", R"({ "Map": [ { "MapName": "Old" } ] })");
        dir.writeResource("JsonData/BackgroundSetting.json",
                          R"({ "PreviewArray": [ { "MapPreviewPath": "Map1", "MapPreviewName": "Map1" } ],
            "MapArray": [ { "MapName": "Old", "MapPath": "OldPicture", "Theme": "meadow" } ] })");
        dir.writeResource("JsonData/Old.json", MapFileText(smallMap()));
        dir.writeResource("JsonData/Extra.json", "{}");
        gameFolder = snapshot(dir.resources());
    }
    void TearDown() override {
        SetFileWriteCall(nullptr);
        EXPECT_EQ(snapshot(dir.resources()), gameFolder) << "the game's folder is never written";
    }

    // Every file under a folder and what it holds.
    static std::map<std::string, std::string> snapshot(const std::string& root) {
        std::map<std::string, std::string> files;
        std::error_code error;
        for (const auto& entry : fs::recursive_directory_iterator(root, error)) {
            if (entry.is_regular_file()) {
                files[entry.path().string()] = FileText(entry.path().string());
            }
        }
        return files;
    }
    MapCatalogue maps() const { return MapCatalogue::Read(folder, false); }
    SaveResult save(const MapData& map, bool clean, bool replace = false) {
        return SaveMap({.map = map, .theme = "ember", .clean = clean, .replaceExisting = replace}, maps());
    }
    std::string read(const std::string& file) const { return FileText(folder + file); }

    TempRunDir dir;
    std::string folder = dir.resources() + "../home/.local/share/grumbo/maps/";
    std::map<std::string, std::string> gameFolder;
};

} // namespace

TEST_F(MapSaving, WhatIsSavedLoadsBackTheSameWithItsThemeAndAPreview) {
    MapDocument doc(smallMap(), "ember");
    doc.select({EditorSelection::Kind::Platform, 1});
    doc.moveSelectionTo({-3.14159f, 2.71828f});
    doc.setSelectionRotation(-33.333f);
    const SaveResult saved = save(doc.map(), true);
    ASSERT_EQ(saved.outcome, Outcome::Listed) << saved.message;
    EXPECT_EQ(saved.message, "Saved map \"Small\" to " + folder +
                                 "Small.json; it is in the level select from the next start");

    const std::string text = read("Small.json");
    for (size_t dot = text.find('.'); dot != std::string::npos; dot = text.find('.', dot + 1)) {
        EXPECT_FALSE(text.size() > dot + 3 && std::isdigit(static_cast<unsigned char>(text[dot + 3])))
            << "more than hundredths: " << text.substr(dot - 2, 8);
    }
    const MapFileReading loaded = ReadMapText(text);
    ASSERT_TRUE(loaded.clean());
    MapData expected = doc.map();
    expected.previewName = PreviewNameFor("Small");
    EXPECT_EQ(loaded.map, expected) << text;
    EXPECT_EQ(loaded.theme, "ember");
    EXPECT_FALSE(loaded.draft);
    sf::Image preview;
    ASSERT_TRUE(preview.loadFromFile(folder + "Small.png"));
    EXPECT_EQ(preview.getSize(), sf::Vector2u(500, 300)) << "the generator's preview size";
    EXPECT_EQ(maps().names(), (std::vector<std::string>{"Old", "Small"}));
}

TEST_F(MapSaving, ADraftIsKeptOutOfTheLevelSelectAndSavingOverAsksFirst) {
    ASSERT_EQ(save(smallMap(), true).outcome, Outcome::Listed);
    MapData broken = smallMap();
    broken.spawnPoints.pop_back();
    const SaveResult asked = save(broken, false);
    EXPECT_EQ(asked.outcome, Outcome::NeedsConfirmation);
    EXPECT_EQ(asked.message, "Map \"Small\" exists: save over it?");
    EXPECT_EQ(ReadMapText(read("Small.json")).map.spawnPoints.size(), 4u) << "not saved over unasked";
    ASSERT_EQ(save(broken, false, true).outcome, Outcome::Draft);
    EXPECT_EQ(ReadMapText(read("Small.json")).map.spawnPoints.size(), 3u);
    EXPECT_EQ(maps().names(), (std::vector<std::string>{"Old"}));
    EXPECT_TRUE(maps().playerFile("Small")->draft);
}

TEST_F(MapSaving, TheGamesNamesWhateverTheirCaseAndNamesThatAreNotPlainWriteNothing) {
    for (const char* name : {"MapSetting", "mapsetting", "BACKGROUNDSETTING", "Old", "oLD", "Extra", "extra",
                             "../Small", "", "Small map"}) {
        MapData map = smallMap();
        map.name = name;
        const SaveResult refused = save(map, true);
        EXPECT_EQ(refused.outcome, Outcome::Failed) << name;
        EXPECT_TRUE(refused.message.starts_with("Map \"" + map.name + "\" was not saved: "))
            << refused.message;
        EXPECT_FALSE(fs::exists(folder)) << name << ": nothing written, not even a preview";
    }
    EXPECT_FALSE(fs::exists(dir.resources() + "../Small.json"));
}

TEST_F(MapSaving, AFullDiskLeavesTheOldMapAndPreviewAndSaysWhatFailed) {
    ASSERT_EQ(save(smallMap(), true).outcome, Outcome::Listed);
    const std::string oldMap = read("Small.json"), oldPreview = read("Small.png");
    MapData changed = smallMap();
    changed.platforms[0].position.x = 3.0f;
    const size_t previewBytes = MapPreviewPng(changed, "ember").size();
    SetFileWriteCall(&fillingDisk);
    for (size_t bytes : {size_t{0}, size_t{4096}, previewBytes - 1, previewBytes, previewBytes + 100}) {
        room = bytes;
        const SaveResult result = save(changed, true, true);
        EXPECT_EQ(result.outcome, Outcome::Failed) << bytes;
        const std::string failed = folder + (bytes < previewBytes ? "Small.png" : "Small.json");
        EXPECT_NE(result.message.find("cannot write " + failed + ": No space left on device"),
                  std::string::npos)
            << result.message;
        EXPECT_EQ(read("Small.json"), oldMap) << bytes;
        EXPECT_EQ(read("Small.png"), oldPreview) << bytes;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2)
            << "no temporaries";
    }
    room = 1 << 24;
    EXPECT_EQ(save(changed, true, true).outcome, Outcome::Listed);
    EXPECT_EQ(ReadMapText(read("Small.json")).map.platforms[0].position.x, 3.0f);
}

TEST_F(MapSaving, ASaveSaysSavedOnlyWhenWhatItReadsBackIsWhatItWrote) {
    SetFileWriteCall(&lyingDisk);
    const SaveResult result = save(smallMap(), true);
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.message,
              "Map \"Small\" was not saved: what was written to " + folder + " does not read back the same");
}

TEST_F(MapSaving, ASaveCutOffHalfwayLeavesTheOldFilesWhole) {
    ASSERT_EQ(save(smallMap(), true).outcome, Outcome::Listed);
    const std::string before = read("Small.json"), preview = read("Small.png");
    MapData changed = smallMap();
    changed.platforms.resize(40, changed.platforms[0]);
    const SaveRequest cut{changed, "ember", true, true, [] { _exit(7); }};
    const MapCatalogue catalogue = maps();
    EXPECT_EXIT(SaveMap(cut, catalogue), ::testing::ExitedWithCode(7), "");
    EXPECT_EQ(read("Small.json"), before);
    EXPECT_EQ(read("Small.png"), preview);
}

TEST_F(MapSaving, ADamagedFileIsReplacedOnlyAfterAQuestionThatSaysAllOfItIsLost) {
    fs::create_directories(folder);
    const std::string damaged = MapFileText(smallMap()).substr(0, 120);
    std::ofstream(folder + "Small.json") << damaged;
    const SaveResult asked = save(smallMap(), true);
    ASSERT_EQ(asked.outcome, Outcome::NeedsConfirmation);
    EXPECT_NE(asked.message.find("does not read cleanly (it is not whole JSON"), std::string::npos)
        << asked.message;
    EXPECT_NE(asked.message.find("replaces all " + std::to_string(damaged.size()) + " bytes of it"),
              std::string::npos)
        << asked.message;
    EXPECT_EQ(read("Small.json"), damaged);
    EXPECT_EQ(save(smallMap(), true, true).outcome, Outcome::Listed);
}

TEST_F(MapSaving, WithoutAFolderForTheMapsNothingIsSaved) {
    folder = "";
    const SaveResult result = save(smallMap(), true);
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_NE(result.message.find("no folder for your maps"), std::string::npos) << result.message;
}
