// The map list's file work: a player's map renamed with its preview (and its file naming itself
// anew), refused onto a name that is taken; deleted with its preview; shipped maps never touched.
#include "editor/map_file.hpp"
#include "editor/map_saver.hpp"
#include "editor/player_maps.hpp"
#include "objects/map_file_reader.hpp"
#include "tests/editor/editor_maps.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class PlayerMaps : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.writeResource("JsonData/MapSetting.json", R"({ "Map": [ { "MapName": "Meadow" } ] })");
        dir.writeResource("JsonData/Meadow.json", MapFileText(editor_test::smallMap()));
        for (const char* name : {"Arena", "Ring"}) {
            MapData map = editor_test::smallMap();
            map.name = name;
            ASSERT_EQ(SaveMap({.map = map, .theme = "ember", .clean = true}, maps()).outcome,
                      SaveResult::Outcome::Listed);
        }
        std::ofstream(folder + "Broken.json") << "{ \"MapName\": ";
    }
    MapCatalogue maps() const { return MapCatalogue::Read(folder, false); }
    bool has(const std::string& file) const { return fs::exists(folder + file); }

    TempRunDir dir;
    std::string folder = dir.resources() + "../maps/";
};

} // namespace

TEST_F(PlayerMaps, ARenamedMapTakesItsPreviewAlongAndNamesItselfAnew) {
    const std::string preview = FileText(folder + "Arena.png");
    const MapFileChange renamed = RenamePlayerMap("Arena", "Colosseum", maps());
    ASSERT_TRUE(renamed.done) << renamed.message;
    EXPECT_FALSE(has("Arena.json") || has("Arena.png"));
    EXPECT_EQ(FileText(folder + "Colosseum.png"), preview);
    const MapFileReading reading = ReadMapFile(folder + "Colosseum.json");
    ASSERT_TRUE(reading.clean());
    EXPECT_EQ(reading.map.name, "Colosseum");
    EXPECT_EQ(reading.map.previewName, PreviewNameFor("Colosseum"));
    EXPECT_EQ(reading.theme, "ember");
    EXPECT_EQ(maps().names(), (std::vector<std::string>{"Meadow", "Colosseum", "Ring"}));

    ASSERT_TRUE(RenamePlayerMap("Ring", "RING", maps()).done) << "a change of case alone";
    EXPECT_TRUE(has("RING.json") && !has("Ring.json"));
}

TEST_F(PlayerMaps, ARenameOntoATakenNameOrOfADamagedFileIsRefusedAndChangesNothing) {
    for (const char* taken : {"Ring", "ring", "meadow", "MapSetting", "not plain"}) {
        const MapFileChange refused = RenamePlayerMap("Arena", taken, maps());
        EXPECT_FALSE(refused.done) << taken;
        EXPECT_TRUE(refused.message.starts_with("Map \"Arena\" was not renamed: ")) << refused.message;
    }
    EXPECT_FALSE(RenamePlayerMap("Broken", "Mended", maps()).done);
    EXPECT_FALSE(RenamePlayerMap("Meadow", "MyMeadow", maps()).done) << "a shipped map is not the player's";
    EXPECT_TRUE(has("Arena.json") && has("Arena.png") && has("Ring.json") && has("Broken.json"));
    EXPECT_FALSE(has("Mended.json") || has("MyMeadow.json"));
}

TEST_F(PlayerMaps, DeletingTakesTheFileAndItsPreviewDamagedOrNotButNeverAShippedMap) {
    ASSERT_TRUE(DeletePlayerMap("Arena", maps()).done);
    ASSERT_TRUE(DeletePlayerMap("Broken", maps()).done);
    EXPECT_FALSE(has("Arena.json") || has("Arena.png") || has("Broken.json"));
    EXPECT_FALSE(DeletePlayerMap("Meadow", maps()).done);
    EXPECT_TRUE(fs::exists(dir.resources() + "JsonData/Meadow.json"));
    EXPECT_EQ(maps().names(), (std::vector<std::string>{"Meadow", "Ring"}));
}
