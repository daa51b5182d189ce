// The generated Resources/ tree, as the build leaves it: every picture the game loads exists,
// decodes and has its size; the font opens; the data files carry their keys and make sense.
#include "tools/asset_gen/manifest.hpp"

#include <SFML/Graphics/Image.hpp>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>
#include <json/json.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace {

const std::string kResources = GRUMBO_RESOURCES_DIR;

Json::Value readJson(const std::string& relative) {
    std::ifstream in(kResources + "/JsonData/" + relative);
    Json::Value root;
    Json::CharReaderBuilder builder;
    std::string errors;
    EXPECT_TRUE(in && Json::parseFromStream(builder, in, &root, &errors)) << relative << ": " << errors;
    return root;
}

assetgen::MapSet maps() {
    return assetgen::loadMapSet(kResources + "/JsonData");
}

} // namespace

TEST(GeneratedResources, EveryPictureDecodesAtItsListedSize) {
    std::vector<assetgen::PictureEntry> pictures = assetgen::allPictures(maps());
    // The fixed list alone holds every texture path the game names, the font excepted.
    ASSERT_GE(assetgen::fixedPictures().size(), 146u);
    for (const assetgen::PictureEntry& entry : pictures) {
        sf::Image image;
        ASSERT_TRUE(image.loadFromFile(kResources + "/" + entry.path)) << entry.path;
        EXPECT_EQ(image.getSize().x, static_cast<unsigned>(entry.width)) << entry.path;
        EXPECT_EQ(image.getSize().y, static_cast<unsigned>(entry.height)) << entry.path;
    }
}

TEST(GeneratedResources, FontOpensWithFreeType) {
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = nullptr;
    EXPECT_EQ(FT_New_Face(library, (kResources + "/COOPBL.ttf").c_str(), 0, &face), 0);
    if (face) {
        EXPECT_EQ(FT_Set_Pixel_Sizes(face, 0, 48), 0);
        EXPECT_EQ(FT_Load_Char(face, 'A', FT_LOAD_RENDER), 0) << "the game rasterises the ASCII glyphs";
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
}

TEST(GeneratedResources, DataFilesCarryTheKeysTheGameReads) {
    Json::Value list = readJson("MapSetting.json");
    ASSERT_TRUE(list["Map"].isArray());
    EXPECT_GE(list["Map"].size(), 3u);
    Json::Value pictures = readJson("BackgroundSetting.json");
    ASSERT_TRUE(pictures["PreviewArray"].isArray());
    ASSERT_TRUE(pictures["MapArray"].isArray());
    // Preview n is shown for map n, so there is one per map.
    EXPECT_EQ(pictures["PreviewArray"].size(), list["Map"].size());

    std::set<std::string> previewNames;
    for (const Json::Value& p : pictures["PreviewArray"]) {
        ASSERT_TRUE(p["MapPreviewPath"].isString() && p["MapPreviewName"].isString());
        previewNames.insert(p["MapPreviewName"].asString());
        EXPECT_TRUE(std::filesystem::exists(kResources + "/Texture/MainMenu/LevelSelection/" +
                                            p["MapPreviewPath"].asString() + ".png"));
    }
    for (const Json::Value& entry : list["Map"]) {
        ASSERT_TRUE(entry["MapName"].isString());
        std::string file = entry["MapName"].asString();
        Json::Value map = readJson(file + ".json");
        SCOPED_TRACE(file);
        ASSERT_TRUE(map["MapName"].isString());
        ASSERT_TRUE(map["MapPreviewName"].isString());
        EXPECT_EQ(previewNames.count(map["MapPreviewName"].asString()), 1u)
            << "preview texture name is listed";
        ASSERT_TRUE(map["CameraZoom"].isNumeric());
        EXPECT_GE(map["CameraZoom"].asFloat(), 30.0f);
        EXPECT_LE(map["CameraZoom"].asFloat(), 40.0f);
        ASSERT_TRUE(map["Object"].isArray());
        for (const Json::Value& o : map["Object"]) {
            std::string kind = o["ObjName"].asString();
            ASSERT_TRUE(kind == "Platform" || kind == "SpawnPoint") << kind;
            EXPECT_EQ(o["Position"].size(), kind == "Platform" ? 2u : 3u);
            if (kind == "Platform") {
                EXPECT_EQ(o["Rotation"].size(), 3u);
                EXPECT_EQ(o["Scale"].size(), 3u);
            }
        }
        // The match finds its background by the map's name.
        bool found = false;
        for (const Json::Value& bg : pictures["MapArray"]) {
            if (bg["MapName"].asString() == map["MapName"].asString()) {
                found = true;
                EXPECT_TRUE(
                    std::filesystem::exists(kResources + "/Texture/BG/" + bg["MapPath"].asString() + ".png"));
            }
        }
        EXPECT_TRUE(found) << "no background entry";
    }
}

TEST(GeneratedResources, MapsLoadWithoutProblems) {
    assetgen::MapSet set = maps();
    EXPECT_TRUE(set.problems.empty()) << set.problems.front();
    ASSERT_GE(set.maps.size(), 3u);
    for (const assetgen::MapData& map : set.maps) {
        EXPECT_TRUE(map.loaded) << map.file;
        EXPECT_FALSE(map.platforms.empty()) << map.file;
    }
}
