// The maps the game offers: the shipped ones, then the player's own from their folder when it is
// there. A player's file that does not read cleanly, or whose name is one of the game's whatever
// its case, is named in one line and left out; without a player folder nothing changes.
#include "objects/map_catalogue.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const std::string kMap = R"({ "MapName": "M", "CameraZoom": 30, "Theme": "ember", "Object": [
    { "ObjName": "Platform", "Position": [1, -8], "Rotation": [0, 0, 0], "Scale": [20, 1, 1] },
    { "ObjName": "SpawnPoint", "Position": [0, -6, 0] } ] })";

class Catalogue : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.writeResource("JsonData/MapSetting.json",
                          R"({ "Map": [ { "MapName": "Meadow" }, { "MapName": "Canyon" } ] })");
        dir.writeResource("JsonData/BackgroundSetting.json", R"({
            "MapArray": [ { "MapName": "Meadow", "MapPath": "MeadowBG", "Theme": "meadow" },
                          { "MapName": "Canyon", "MapPath": "CanyonBG", "Theme": "ember" } ],
            "PreviewArray": [ { "MapPreviewName": "Map1", "MapPreviewPath": "Map1" },
                              { "MapPreviewName": "Map2", "MapPreviewPath": "Map2" } ] })");
        dir.writeResource("JsonData/Meadow.json", R"({ "MapName": "Meadow", "MapPreviewName": "Map1" })");
        dir.writeResource("JsonData/Canyon.json", R"({ "MapName": "Canyon", "MapPreviewName": "Map2" })");
        dir.writeResource("JsonData/Extra.json", "{}"); // a data file of the game's, no map
        folder = dir.resources() + "../home/maps/";
    }
    void player(const std::string& file, const std::string& text) {
        fs::create_directories(folder);
        std::ofstream(folder + file) << text;
    }
    MapCatalogue read(std::string* said = nullptr) {
        testing::internal::CaptureStdout();
        MapCatalogue maps = MapCatalogue::Read(folder);
        const std::string out = testing::internal::GetCapturedStdout();
        if (said != nullptr) {
            *said = out;
        }
        return maps;
    }

    TempRunDir dir;
    std::string folder;
};

} // namespace

TEST_F(Catalogue, WithoutAPlayerFolderItIsTheShippedListAndNothingIsMade) {
    for (const std::string& none : {std::string(), folder}) {
        folder = none;
        std::string said;
        const MapCatalogue maps = read(&said);
        EXPECT_EQ(maps.names(), (std::vector<std::string>{"Meadow", "Canyon"}));
        EXPECT_EQ(maps.shippedNames(), maps.names());
        EXPECT_TRUE(maps.playerFiles().empty());
        EXPECT_EQ(said, "");
    }
    EXPECT_FALSE(fs::exists(dir.resources() + "../home")) << "reading makes no folder";
}

TEST_F(Catalogue, PlayerMapsFollowTheShippedOnesAndBadOnesAreNamedInALineAndLeftOut) {
    player("Zed.json", kMap);
    player("Arena.json", kMap);
    player("Arena.png", "picture");
    player("Zed.json.partial", "{ half");
    player("Sketch.json", R"({ "MapName": "Sketch", "CameraZoom": 30, "Draft": true, "Object": [] })");
    const std::vector<std::string> leftOut = {"Broken.json", "meadow.json", "mapsetting.json",
                                              "EXTRA.json",  "my map.json", "arena.json"};
    player("Broken.json", kMap.substr(0, 90));
    for (size_t i = 1; i < leftOut.size(); ++i) {
        player(leftOut[i], kMap);
    }
    std::string said;
    const MapCatalogue maps = read(&said);
    EXPECT_EQ(maps.names(), (std::vector<std::string>{"Meadow", "Canyon", "Arena", "Zed"}));
    EXPECT_EQ(maps.shippedNames(), (std::vector<std::string>{"Meadow", "Canyon"}));
    ASSERT_NE(maps.find("Arena"), nullptr);
    EXPECT_FALSE(maps.find("Arena")->shipped);
    EXPECT_EQ(maps.find("Arena")->file, folder + "Arena.json");
    EXPECT_EQ(maps.playerFiles().size(), 9u) << "the editor lists drafts and damaged files too";
    EXPECT_TRUE(maps.playerFile("Sketch")->draft);
    EXPECT_TRUE(maps.playerFile("Broken")->damaged);
    EXPECT_FALSE(maps.playerFile("meadow")->damaged) << "left out for its name, it can still be opened";
    EXPECT_EQ(maps.playerFile("Arena")->theme, "ember");
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), static_cast<long>(leftOut.size())) << said;
    for (const std::string& file : leftOut) {
        EXPECT_NE(said.find("Map file " + folder + file + " "), std::string::npos) << file << " in:\n"
                                                                                   << said;
    }
    EXPECT_NE(said.find("Broken.json does not read cleanly: it is not whole JSON"), std::string::npos)
        << said;
    EXPECT_NE(said.find("map that comes with the game (Meadow)"), std::string::npos) << said;
}

TEST_F(Catalogue, TheGamesOwnNamesAreRefusedWhateverTheirCase) {
    const MapCatalogue maps = read();
    for (const char* taken :
         {"Meadow", "MEADOW", "canyon", "MapSetting", "mapsetting", "BACKGROUNDSETTING", "Extra", "eXtRa"}) {
        EXPECT_NE(maps.nameRefusal(taken), "") << taken;
    }
    for (const char* free : {"Meadow2", "Canyons", "Map", "Setting", "MyMeadow"}) {
        EXPECT_EQ(maps.nameRefusal(free), "") << free;
    }
    EXPECT_NE(maps.nameRefusal("mapsetting").find("one of the game's data files (MapSetting)"),
              std::string::npos);
}

TEST_F(Catalogue, EachMapHasItsOwnPreviewAndAMissingOneShowsOnlyItsOwnPlaceholder) {
    player("Arena.json", kMap);
    player("Arena.png", "picture");
    player("Zed.json", kMap); // saved without its preview
    const MapCatalogue maps = read();
    // The first shipped preview does not load (a damaged Map1.png); the player's load when there.
    const std::vector<std::string> previews =
        LevelSelectPreviews(maps, [&](const std::string& texture, const std::string& path) {
            return texture.starts_with("PlayerPreview:") ? fs::exists(path) : texture != "Map1";
        });
    EXPECT_EQ(previews, (std::vector<std::string>{"", "Map2", "PlayerPreview:Arena", ""}));
}

TEST_F(Catalogue, AMatchOnAPlayersMapReadsItFromTheirFolderWithItsThemesBackground) {
    setenv("XDG_DATA_HOME", (dir.resources() + "../home").c_str(), 1);
    folder = dir.resources() + "../home/grumbo/maps/";
    player("Arena.json", kMap);
    RereadGameMaps();
    std::string background;
    const MapData arena = LoadMatchMap("Arena", background);
    ASSERT_EQ(arena.platforms.size(), 1u);
    EXPECT_EQ(arena.platforms[0].position.x, 1.0f);
    EXPECT_EQ(background, "../Resources/Texture/BG/CanyonBG.png") << "the first picture of its theme";
    player("Plain.json", kMap.substr(0, kMap.find("\"Theme\"")) + kMap.substr(kMap.find("\"Object\"")));
    RereadGameMaps();
    EXPECT_EQ(LoadMatchMap("Plain", background).platforms.size(), 1u);
    EXPECT_EQ(background, kFallbackBackgroundPath) << "a hand-made map without a theme";
    const MapData meadow = LoadMatchMap("Meadow", background);
    EXPECT_EQ(background, "../Resources/Texture/BG/MeadowBG.png") << "a shipped map as always";
}
