#include "objects/json_data.hpp"
#include "tests/support/printed.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(JsonData, MissingFileIsANullDocumentWithoutAMessage) {
    TempRunDir dir;
    Json::Value doc;
    std::string out = Printed([&] { doc = loadJson("Nowhere"); });
    EXPECT_TRUE(doc.isNull());
    EXPECT_EQ(out, "");
    MapData map = readMapData(doc);
    EXPECT_TRUE(map.platforms.empty());
    EXPECT_TRUE(map.spawnPoints.empty());
    EXPECT_EQ(map.cameraZoom, kDefaultCameraZoom) << "never a camera that shows nothing";
    EXPECT_TRUE(readMapList(loadJson("MapSetting")).empty());
    out = Printed([&] {
        EXPECT_TRUE(loadJson("JsonData/MapSetting").isNull());
        EXPECT_TRUE(loadJson("../Resources/JsonData/MapSetting").isNull());
    });
    EXPECT_NE(out.find("is a path, not a name"), std::string::npos) << out;
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
    EXPECT_EQ(map.name + " " + map.previewName, "Arena Map1Preview");
    EXPECT_FLOAT_EQ(map.cameraZoom, 34.0f);
    ASSERT_EQ(map.platforms.size(), 2u) << "unknown kinds are ignored";
    EXPECT_FLOAT_EQ(map.platforms[0].position.z, -0.9f) << "a third element is ignored";
    EXPECT_FLOAT_EQ(map.platforms[0].rotation.z, 15.0f);
    EXPECT_FLOAT_EQ(map.platforms[1].position.y, 0.0f) << "missing elements read 0";
    ASSERT_EQ(map.spawnPoints.size(), 2u);
    EXPECT_FLOAT_EQ(map.spawnPoints[0].z, 0.5f);
}

TEST(JsonData, BackgroundIsChosenByMapName) {
    TempRunDir dir;
    dir.writeResource("JsonData/BackgroundSetting.json", R"({
        "PreviewArray": [{"MapPreviewPath": "Map1", "MapPreviewName": "Map1Preview"}],
        "MapArray": [{"MapName": "Arena", "MapPath": "Sky"}, {"MapName": "Arena", "MapPath": "Other"}]})");
    BackgroundTable table = readBackgroundTable(loadJson("BackgroundSetting"));
    MapData arena;
    arena.name = "Arena";
    EXPECT_EQ(backgroundPathFor(arena, table), "../Resources/Texture/BG/Sky.png") << "the first match wins";
    MapData stranger;
    stranger.name = "Unlisted";
    EXPECT_EQ(backgroundPathFor(stranger, table), "") << "no match, no background";
}

TEST(JsonData, HostileFilesReadAsDefaultsWithOneLineEach) {
    TempRunDir dir;
    dir.writeResource("JsonData/Deep.json", std::string(100000, '[') + std::string(100000, ']'));
    dir.writeResource("JsonData/Huge.json", "{\"MapName\": \"" + std::string(5 * 1024 * 1024, 'x') + "\"}");
    dir.writeResource("JsonData/Tail.json", R"({"MapName": "Tail"} {"MapName": "Appended"})");
    dir.writeResource("JsonData/Types.json", R"({
        "MapName": "Types", "CameraZoom": "far",
        "Object": [
            {"ObjName": "Platform", "Position": {"x": 1}, "Rotation": "none", "Scale": [1e300, -1e7, null]},
            {"ObjName": "SpawnPoint", "Position": [true, "2", [3]]},
            42, "text", null
        ]})");
    // A link to an endless device and a pipe nobody writes would be read for ever or block.
    ASSERT_EQ(symlink("/dev/zero", (dir.resources() + "JsonData/Zero.json").c_str()), 0);
    ASSERT_EQ(mkfifo((dir.resources() + "JsonData/Pipe.json").c_str(), 0600), 0);
    MapData deep, types;
    std::string out = Printed([&] {
        deep = readMapData(loadJson("Deep"));
        EXPECT_TRUE(loadJson("Huge").isNull());
        EXPECT_TRUE(loadJson("Zero").isNull());
        EXPECT_TRUE(loadJson("Pipe").isNull());
        loadJson("Tail");
        types = readMapData(loadJson("Types"));
    });
    EXPECT_TRUE(deep.platforms.empty());
    EXPECT_NE(out.find("Huge.json is too large"), std::string::npos) << out;
    EXPECT_NE(out.find("Zero.json is not a regular file"), std::string::npos) << out;
    EXPECT_NE(out.find("Pipe.json is not a regular file"), std::string::npos) << out;
    EXPECT_NE(out.find("Tail.json has errors"), std::string::npos) << "text after the root value is refused";

    EXPECT_EQ(types.cameraZoom, kDefaultCameraZoom);
    ASSERT_EQ(types.platforms.size(), 1u);
    EXPECT_EQ(types.platforms[0].position.x, 0.0f);
    EXPECT_EQ(types.platforms[0].scale.x, 1.0f) << "a platform is never flat or inside out";
    EXPECT_EQ(types.platforms[0].scale.y, 1.0f);
    ASSERT_EQ(types.spawnPoints.size(), 1u);
    EXPECT_EQ(types.spawnPoints[0].y, 0.0f);
    EXPECT_NE(out.find("Map \"Types\": CameraZoom 0 is not above zero; using 30"), std::string::npos) << out;
    EXPECT_NE(out.find("3 platform scales were at or below zero"), std::string::npos) << out;
    // Eleven unusable values (the zoom, two position and three rotation reads, two scales, three
    // spawn coordinates) are told in one line, not one each.
    EXPECT_NE(out.find("Types.json: 11 values were unusable"), std::string::npos) << out;
    EXPECT_EQ(out.find("is not a number"), std::string::npos);
}

TEST(JsonData, CountsAndMapNamesAreBounded) {
    TempRunDir dir;
    std::string objects;
    for (int i = 0; i < 1200; ++i) {
        objects += R"({"ObjName": "Platform", "Position": [0, 0], "Scale": [1, 1, 1]},)";
        objects += R"({"ObjName": "SpawnPoint", "Position": [0, 0, 0]},)";
    }
    dir.writeResource("JsonData/Crowded.json",
                      "{\"MapName\": \"Crowded\", \"Object\": [" + objects + "null]}");
    dir.writeResource("JsonData/MapSetting.json",
                      R"({"Map": [{"MapName": "Meadow"}, {"MapName": "../../etc/passwd"}, {"MapName": "a/b"},
                                  {"MapName": "Canyon"}]})");
    MapData crowded;
    std::vector<std::string> maps;
    std::string out = Printed([&] {
        crowded = readMapData(loadJson("Crowded"));
        maps = readMapList(loadJson("MapSetting"));
    });
    EXPECT_EQ(crowded.platforms.size(), 1000u);
    EXPECT_EQ(crowded.spawnPoints.size(), 64u);
    EXPECT_NE(out.find("the rest are ignored"), std::string::npos) << out;
    EXPECT_EQ(maps, (std::vector<std::string>{"Meadow", "Canyon"}));
    EXPECT_NE(out.find("\"../../etc/passwd\" is a path, not a map name"), std::string::npos) << out;
}

TEST(JsonData, EachMapGetsThePreviewItsFileNamesAndABadOneShiftsNoOther) {
    TempRunDir dir;
    for (const char* name : {"First", "Second", "Third", "Fourth"}) {
        dir.writeResource(std::string("JsonData/") + name + ".json", std::string(R"({"MapName": ")") + name +
                                                                         R"(", "MapPreviewName": ")" + name +
                                                                         "Preview\"}");
    }
    BackgroundTable table;
    // In another order than the maps, with one picture broken and none at all for the fourth map.
    table.previews = {
        {"c", "ThirdPreview"}, {"broken", "SecondPreview"}, {"a", "FirstPreview"}, {"x", "Other"}};
    std::vector<std::string> tried;
    const std::vector<std::string> names = levelSelectPreviewNames(
        {"First", "Second", "Third", "Fourth", "First"}, table, [&](const MapPreview& preview) {
            tried.push_back(preview.path);
            return preview.path != "broken";
        });
    EXPECT_EQ(names, (std::vector<std::string>{"FirstPreview", "", "ThirdPreview", "", "FirstPreview"}));
    EXPECT_EQ(tried, (std::vector<std::string>{"a", "broken", "c"}))
        << "each picture loaded once, when needed";
}
