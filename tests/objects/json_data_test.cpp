#include "objects/json_data.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>

namespace {

std::string captureOutput(const std::function<void()>& work) {
    testing::internal::CaptureStdout();
    work();
    return testing::internal::GetCapturedStdout();
}

} // namespace

TEST(JsonData, MissingFileIsANullDocumentWithoutAMessage) {
    TempRunDir dir;
    Json::Value doc;
    std::string out = captureOutput([&] { doc = loadJson("Nowhere"); });
    EXPECT_TRUE(doc.isNull());
    EXPECT_EQ(out, "");
    MapData map = readMapData(doc);
    EXPECT_TRUE(map.platforms.empty());
    EXPECT_TRUE(map.spawnPoints.empty());
    EXPECT_EQ(map.cameraZoom, 0.0f);
    EXPECT_TRUE(readMapList(loadJson("MapSetting")).empty());
    EXPECT_TRUE(loadJson("JsonData/MapSetting").isNull()) << "a name with the folder in it names nothing";
}

TEST(JsonData, MapFileIsReadAsTheGameUsesIt) {
    TempRunDir dir;
    dir.writeResource("JsonData/Arena.json", R"({
        "MapName": "Arena", "MapPreviewName": "Map1Preview", "CameraZoom": 34,
        "Object": [
            {"ObjName": "Platform", "Position": [1, 2, 7], "Rotation": [0, 0, 15], "Scale": [12, 1, 1]},
            {"ObjName": "SpawnPoint", "Position": [-4, 6, 0.5]},
            {"ObjName": "Lamp", "Position": [9, 9]},
            {"ObjName": "Platform", "Position": [3], "Scale": [4, 1, 1]},
            {"ObjName": "SpawnPoint", "Position": [4, 6, 0]}
        ]})");
    MapData map = readMapData(loadJson("Arena"));
    EXPECT_EQ(map.name, "Arena");
    EXPECT_EQ(map.previewName, "Map1Preview");
    EXPECT_FLOAT_EQ(map.cameraZoom, 34.0f);
    ASSERT_EQ(map.platforms.size(), 2u) << "unknown kinds are ignored";
    EXPECT_FLOAT_EQ(map.platforms[0].position.x, 1.0f);
    EXPECT_FLOAT_EQ(map.platforms[0].position.y, 2.0f);
    EXPECT_FLOAT_EQ(map.platforms[0].position.z, -0.9f) << "a third element is ignored";
    EXPECT_FLOAT_EQ(map.platforms[0].rotation.z, 15.0f);
    EXPECT_FLOAT_EQ(map.platforms[0].scale.x, 12.0f);
    EXPECT_FLOAT_EQ(map.platforms[1].position.y, 0.0f) << "missing elements read 0";
    EXPECT_FLOAT_EQ(map.platforms[1].rotation.z, 0.0f);
    ASSERT_EQ(map.spawnPoints.size(), 2u);
    EXPECT_FLOAT_EQ(map.spawnPoints[0].x, -4.0f);
    EXPECT_FLOAT_EQ(map.spawnPoints[0].z, 0.5f);
}

TEST(JsonData, ObjectsGivenAsAnObjectAreWalkedInKeyOrder) {
    TempRunDir dir;
    dir.writeResource("JsonData/Keyed.json", R"({"Object": {
        "b": {"ObjName": "SpawnPoint", "Position": [2, 0, 0]},
        "a": {"ObjName": "SpawnPoint", "Position": [1, 0, 0]},
        "c": {"ObjName": "SpawnPoint", "Position": [3, 0, 0]}}})");
    MapData map = readMapData(loadJson("Keyed"));
    ASSERT_EQ(map.spawnPoints.size(), 3u);
    EXPECT_FLOAT_EQ(map.spawnPoints[0].x, 1.0f);
    EXPECT_FLOAT_EQ(map.spawnPoints[1].x, 2.0f);
    EXPECT_FLOAT_EQ(map.spawnPoints[2].x, 3.0f);
}

TEST(JsonData, BackgroundIsChosenByMapName) {
    TempRunDir dir;
    dir.writeResource("JsonData/BackgroundSetting.json", R"({
        "PreviewArray": [{"MapPreviewPath": "Map1", "MapPreviewName": "Map1Preview"}],
        "MapArray": [{"MapName": "Arena", "MapPath": "Sky"}, {"MapName": "Arena", "MapPath": "Other"}]})");
    BackgroundTable table = readBackgroundTable(loadJson("BackgroundSetting"));
    ASSERT_EQ(table.previews.size(), 1u);
    EXPECT_EQ(table.previews[0].name, "Map1Preview");
    MapData arena;
    arena.name = "Arena";
    EXPECT_EQ(backgroundPathFor(arena, table), "../Resources/Texture/BG/Sky.png") << "the first match wins";
    MapData stranger;
    stranger.name = "Unlisted";
    EXPECT_EQ(backgroundPathFor(stranger, table), "") << "no match, no background";
}

TEST(JsonData, SyntaxErrorsPrintTheReaderAndTheFileAndKeepWhatParsed) {
    TempRunDir dir;
    dir.writeResource("JsonData/Broken.json", R"({"MapName": "Half", "CameraZoom": 30,)");
    Json::Value doc;
    std::string out = captureOutput([&] { doc = loadJson("Broken"); });
    EXPECT_NE(out.find("* Line 1, Column"), std::string::npos) << out;
    EXPECT_NE(out.find("Broken.json has errors"), std::string::npos) << out;
    readMapData(doc); // whatever came back must be safe to read
}

TEST(JsonData, HostileFilesReadAsDefaults) {
    TempRunDir dir;
    dir.writeResource("JsonData/Deep.json", std::string(100000, '[') + std::string(100000, ']'));
    dir.writeResource("JsonData/Huge.json", "{\"MapName\": \"" + std::string(5 * 1024 * 1024, 'x') + "\"}");
    dir.writeResource("JsonData/Types.json", R"({
        "MapName": 12, "CameraZoom": "far",
        "Object": [
            {"ObjName": "Platform", "Position": {"x": 1}, "Rotation": "none", "Scale": [1e300, -1e7, null]},
            {"ObjName": "SpawnPoint", "Position": [true, "2", [3]]},
            42, "text", null
        ]})");
    MapData deep, types;
    Json::Value huge;
    std::string out = captureOutput([&] {
        deep = readMapData(loadJson("Deep"));
        huge = loadJson("Huge");
        types = readMapData(loadJson("Types"));
    });
    EXPECT_TRUE(deep.platforms.empty());
    EXPECT_TRUE(huge.isNull());
    EXPECT_EQ(types.name, "");
    EXPECT_EQ(types.cameraZoom, 0.0f);
    ASSERT_EQ(types.platforms.size(), 1u);
    EXPECT_EQ(types.platforms[0].position.x, 0.0f);
    EXPECT_EQ(types.platforms[0].scale.x, 0.0f);
    EXPECT_EQ(types.platforms[0].scale.y, 0.0f);
    ASSERT_EQ(types.spawnPoints.size(), 1u);
    EXPECT_EQ(types.spawnPoints[0].y, 0.0f);
    EXPECT_NE(out.find("too large"), std::string::npos) << out;
    EXPECT_NE(out.find("\"CameraZoom\" is not a number"), std::string::npos) << out;
    EXPECT_NE(out.find("\"Position\" is not a list of numbers"), std::string::npos) << out;
    EXPECT_NE(out.find("out of range"), std::string::npos) << out;
}

TEST(JsonData, LevelSelectPreviewsFollowTheMapsThatLoad) {
    TempRunDir dir;
    dir.writeResource("JsonData/First.json", R"({"MapName": "First", "MapPreviewName": "FirstPreview"})");
    dir.writeResource("JsonData/Second.json", R"({"MapName": "Second", "MapPreviewName": "SecondPreview"})");
    BackgroundTable table;
    table.previews = {{"a", "A"}, {"broken", "B"}, {"c", "C"}, {"d", "D"}};
    std::vector<std::string> tried;
    std::vector<std::string> names =
        levelSelectPreviewNames({"First", "Second"}, table, [&](const MapPreview& preview) {
            tried.push_back(preview.path);
            return preview.path != "broken";
        });
    EXPECT_EQ(tried, (std::vector<std::string>{"a", "broken", "c", "d"}));
    // The broken preview is skipped without shifting; the extra one finds no map and adds "".
    EXPECT_EQ(names, (std::vector<std::string>{"FirstPreview", "SecondPreview", ""}));
}
