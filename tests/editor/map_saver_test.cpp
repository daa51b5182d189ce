// Saving an edited map: what loads back, which tables list it, its preview, and that neither a
// refusal nor a crash halfway leaves anything half written.
#include "editor/map_document.hpp"
#include "editor/map_file.hpp"
#include "editor/map_saver.hpp"
#include "tests/editor/editor_maps.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;
using editor_test::smallMap;

namespace {

class MapSaving : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir.resources() + "previews");
        dir.writeResource("data/MapSetting.json", R"({ "Map": [ { "MapName": "Old" } ] })");
        dir.writeResource("data/BackgroundSetting.json",
                          R"({ "PreviewArray": [ { "MapPreviewPath": "Map1", "MapPreviewName": "Map1" } ],
            "MapArray": [ { "MapName": "Old", "MapPath": "OldPicture", "Theme": "meadow" } ] })");
    }

    std::string read(const std::string& file) const { return FileText(folders.data + file); }
    Json::Value table(const std::string& file) const { return parseJsonText(read(file), file); }

    SaveResult save(const MapData& map, bool clean, bool replace = false) {
        return SaveMap({.map = map, .theme = "meadow", .clean = clean, .replaceExisting = replace}, folders);
    }

    TempRunDir dir;
    SaveFolders folders{dir.resources() + "data/", dir.resources() + "previews/"};
};

} // namespace

TEST_F(MapSaving, WhatIsSavedLoadsBackTheSameWithOnlyTheMapKeysAndHundredths) {
    MapDocument doc(smallMap(), "meadow");
    doc.select({EditorSelection::Kind::Platform, 1});
    doc.moveSelectionTo({-3.14159f, 2.71828f});
    doc.setSelectionRotation(-33.333f);
    doc.select({EditorSelection::Kind::SpawnPoint, 0});
    doc.moveSelectionTo({-10.0049f, -5.5f});
    ASSERT_EQ(save(doc.map(), true).outcome, SaveResult::Outcome::Listed);

    const std::string text = read("Small.json");
    for (size_t dot = text.find('.'); dot != std::string::npos; dot = text.find('.', dot + 1)) {
        EXPECT_FALSE(text.size() > dot + 3 && std::isdigit(static_cast<unsigned char>(text[dot + 3])))
            << "more than hundredths: " << text.substr(dot - 2, 8);
    }
    MapData loaded = readMapData(parseJsonText(text, "Small.json"));
    MapData expected = doc.map();
    expected.previewName = PreviewNameFor("Small");
    EXPECT_EQ(loaded, expected) << text;
    const Json::Value file = parseJsonText(text, "Small.json");
    EXPECT_EQ(file.getMemberNames(),
              (std::vector<std::string>{"CameraZoom", "MapName", "MapPreviewName", "Object"}));
    for (const Json::Value& o : file["Object"]) {
        for (const std::string& key : o.getMemberNames()) {
            EXPECT_TRUE(key == "ObjName" || key == "Position" || key == "Rotation" || key == "Scale") << key;
        }
    }
}

TEST_F(MapSaving, ACleanMapGoesInTheLevelSelectAndADraftStaysOut) {
    ASSERT_EQ(save(smallMap(), true).outcome, SaveResult::Outcome::Listed);
    Json::Value list = table("MapSetting.json"), pictures = table("BackgroundSetting.json");
    ASSERT_EQ(list["Map"].size(), 2u);
    EXPECT_EQ(list["Map"][1]["MapName"].asString(), "Small");
    ASSERT_EQ(pictures["PreviewArray"].size(), 2u) << "one preview per map, in the same order";
    EXPECT_EQ(pictures["PreviewArray"][1]["MapPreviewName"].asString(), PreviewNameFor("Small"));
    EXPECT_EQ(pictures["MapArray"][1]["Theme"].asString(), "meadow");
    EXPECT_EQ(pictures["MapArray"][1]["MapPath"].asString(), "OldPicture") << "the theme's picture is shared";
    sf::Image preview;
    ASSERT_TRUE(preview.loadFromFile(folders.previews + PreviewNameFor("Small") + ".png"));
    EXPECT_EQ(preview.getSize(), sf::Vector2u(500, 300)) << "the generator's preview size";

    // Saved again with a problem: the file is kept, the level select no longer offers it.
    MapData broken = smallMap();
    broken.spawnPoints.pop_back();
    EXPECT_EQ(save(broken, false).outcome, SaveResult::Outcome::NeedsConfirmation);
    EXPECT_EQ(readMapData(table("Small.json")).spawnPoints.size(), 4u) << "not saved over unasked";
    ASSERT_EQ(save(broken, false, true).outcome, SaveResult::Outcome::Draft);
    EXPECT_EQ(readMapData(table("Small.json")).spawnPoints.size(), 3u);
    list = table("MapSetting.json");
    pictures = table("BackgroundSetting.json");
    EXPECT_EQ(list["Map"].size(), 1u);
    EXPECT_EQ(pictures["PreviewArray"].size(), 1u);
    EXPECT_EQ(pictures["MapArray"].size(), 2u) << "the draft keeps its theme";

    MapData badName = smallMap();
    badName.name = "../Small";
    EXPECT_EQ(save(badName, false).outcome, SaveResult::Outcome::Failed);
    EXPECT_FALSE(fs::exists(dir.resources() + "Small.json"));
}

TEST_F(MapSaving, ASaveCutOffHalfwayLeavesTheOldFileWhole) {
    ASSERT_EQ(save(smallMap(), true).outcome, SaveResult::Outcome::Listed);
    const std::string before = read("Small.json"), listBefore = read("MapSetting.json");
    MapData changed = smallMap();
    changed.platforms.resize(40, changed.platforms[0]); // a file long enough to be cut
    const SaveRequest cut{changed, "meadow", true, true, [] { _exit(7); }};
    EXPECT_EXIT(SaveMap(cut, folders), ::testing::ExitedWithCode(7), "");
    EXPECT_EQ(read("Small.json"), before);
    EXPECT_EQ(read("MapSetting.json"), listBefore);
    EXPECT_EQ(readMapData(table("Small.json")), readMapData(parseJsonText(before, "before")));
}
