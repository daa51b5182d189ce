// The generated Resources/ tree, as the build leaves it: every picture the game loads exists,
// decodes and has its size, and every map has its preview and its background.
#include "tools/asset_gen/manifest.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::string kResources = GRUMBO_RESOURCES_DIR;

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

// Preview n is shown for map n, each map names a preview of its own, and the match finds its
// background by the map's name (the pictures themselves are checked above).
TEST(GeneratedResources, EveryMapHasItsPreviewAndItsBackground) {
    using namespace assetgen;
    const MapSet set = maps();
    ASSERT_EQ(set.previews.size(), set.maps.size());
    const auto noPicture = [](const auto& entry) { return entry.path.empty(); };
    EXPECT_FALSE(std::ranges::any_of(set.previews, noPicture) ||
                 std::ranges::any_of(set.backgrounds, noPicture));
    for (const MapData& map : set.maps) {
        EXPECT_TRUE(map.loaded) << map.file;
        EXPECT_EQ(std::ranges::count(set.previews, map.previewName, &PreviewEntry::name), 1) << map.file;
        EXPECT_EQ(std::ranges::count(set.backgrounds, map.name, &BackgroundEntry::mapName), 1) << map.file;
    }
}
