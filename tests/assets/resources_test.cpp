// The generated Resources/ tree, as the build leaves it: every picture the game loads exists,
// decodes and has its size, and every map has its preview and its background.
#include "tools/asset_gen/manifest.hpp"

#include <SFML/Graphics/Image.hpp>
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

// Preview n is shown for map n, each map names its own preview, and the match finds its
// background by the map's name.
TEST(GeneratedResources, EveryMapHasItsPreviewAndItsBackground) {
    Json::Value list = readJson("MapSetting.json");
    Json::Value pictures = readJson("BackgroundSetting.json");
    ASSERT_EQ(pictures["PreviewArray"].size(), list["Map"].size());
    std::set<std::string> previewNames, backgrounds;
    for (const Json::Value& p : pictures["PreviewArray"]) {
        previewNames.insert(p["MapPreviewName"].asString());
        EXPECT_TRUE(std::filesystem::exists(kResources + "/Texture/MainMenu/LevelSelection/" +
                                            p["MapPreviewPath"].asString() + ".png"));
    }
    for (const Json::Value& bg : pictures["MapArray"]) {
        backgrounds.insert(bg["MapName"].asString());
        EXPECT_TRUE(std::filesystem::exists(kResources + "/Texture/BG/" + bg["MapPath"].asString() + ".png"));
    }
    for (const Json::Value& entry : list["Map"]) {
        Json::Value map = readJson(entry["MapName"].asString() + ".json");
        EXPECT_EQ(previewNames.count(map["MapPreviewName"].asString()), 1u) << entry["MapName"];
        EXPECT_EQ(backgrounds.count(map["MapName"].asString()), 1u) << entry["MapName"];
    }
}
