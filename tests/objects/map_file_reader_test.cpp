// A map file read strictly: a damaged file is named with its problems and gives no map, where
// the match's forgiving reader would invent a 1 x 1 platform or an empty arena; every shipped
// map and every file the editor writes reads cleanly.
#include "objects/map_file_reader.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string kWhole = R"({
    "MapName": "Arena", "MapPreviewName": "Preview_Arena", "CameraZoom": 34, "Theme": "ember",
    "Object": [
        { "ObjName": "Platform", "Position": [0, -10], "Rotation": [0, 0, 0], "Scale": [32, 2, 1] },
        { "ObjName": "SpawnPoint", "Position": [-8, -7.5, 0] }
    ]
})";

// The text with one piece replaced.
std::string with(const std::string& from, const std::string& to) {
    std::string text = kWhole;
    text.replace(text.find(from), from.size(), to);
    return text;
}

} // namespace

TEST(MapFileReader, AWholeFileReadsAsTheMatchReadsIt) {
    const MapFileReading reading = ReadMapText(kWhole);
    ASSERT_TRUE(reading.clean()) << MapFileProblemsLine("Arena.json", reading.problems);
    EXPECT_EQ(reading.map, readMapData(parseJsonText(kWhole, "Arena")));
    EXPECT_EQ(reading.theme, "ember");
    EXPECT_FALSE(reading.draft);
    EXPECT_TRUE(ReadMapText(with("\"Theme\": \"ember\"", "\"Draft\": true")).draft);
}

TEST(MapFileReader, EachDamageIsNamedAndGivesNoMap) {
    const std::pair<std::string, std::string> damaged[] = {
        {kWhole.substr(0, kWhole.size() / 2), "it is not whole JSON"},
        {"PK\x03\x04 not a map at all", "it is not whole JSON"},
        {"", "it is empty"},
        {"[1, 2]", "it is not a JSON object"},
        {kWhole + "{}", "it is not whole JSON"},
        {with(", \"Scale\": [32, 2, 1]", ""), "platform 1 has no Scale"},
        {with("[32, 2, 1]", "[32, 0, 1]"), "platform 1's Scale is not 3 numbers above zero"},
        {with("[32, 2, 1]", "[32, \"2\", 1]"), "platform 1's Scale is not 3 numbers above zero"},
        {with("\"Rotation\": [0, 0, 0], ", ""), "platform 1 has no Rotation"},
        {with("[0, -10]", "[0]"), "platform 1's Position is not 2 or 3 numbers"},
        {with("[-8, -7.5, 0]", "[-8, 1e300, 0]"), "spawn point 1's Position is not 2 or 3 numbers"},
        {with("\"CameraZoom\": 34", "\"CameraZoom\": -3"), "CameraZoom is not a number above zero"},
        {with("\"CameraZoom\": 34, ", ""), "it has no CameraZoom"},
        {with("\"MapName\": \"Arena\"", "\"MapName\": 7"), "MapName is not text"},
        {with("\"SpawnPoint\"", "\"Spawnpoint\""),
         "object 2 is a \"Spawnpoint\", neither a Platform nor a SpawnPoint"},
        {with("\"Theme\": \"ember\"", "\"Draft\": \"yes\""), "Draft is neither true nor false"},
        {with("\"Object\"", "\"Objects\""), "it has no Object list"},
    };
    for (const auto& [text, problem] : damaged) {
        const MapFileReading reading = ReadMapText(text);
        ASSERT_FALSE(reading.clean()) << problem;
        EXPECT_TRUE(reading.problems.front().starts_with(problem)) << reading.problems.front();
        EXPECT_TRUE(reading.map.platforms.empty() && reading.map.spawnPoints.empty()) << "nothing invented";
    }
    const std::string line = MapFileProblemsLine("/maps/Arena.json", {"a", "b", "c", "d", "e", "f"});
    EXPECT_EQ(line, "Map file /maps/Arena.json does not read cleanly: a; b; c; d; and 2 more");
    EXPECT_EQ(ReadMapFile("/no/such/Arena.json").problems, std::vector<std::string>{"it is missing"});
}

TEST(MapFileReader, EveryShippedMapReadsCleanly) {
    int maps = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(GRUMBO_SOURCE_DIR) + "/data")) {
        const std::string name = entry.path().stem().string();
        if (name == "MapSetting" || name == "BackgroundSetting") {
            continue;
        }
        const MapFileReading reading = ReadMapFile(entry.path().string());
        EXPECT_TRUE(reading.clean()) << MapFileProblemsLine(entry.path().string(), reading.problems);
        ++maps;
    }
    EXPECT_GE(maps, 9);
}
