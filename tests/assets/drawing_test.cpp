// The generator's drawing kit: shape distances, the local-to-pixel frames, blending and the
// cartoon painter. A sign or direction slip here would turn every picture upside down or inside out.
#include "tools/asset_gen/canvas.hpp"
#include "tools/asset_gen/manifest.hpp"
#include "tools/asset_gen/paint.hpp"
#include "tools/asset_gen/shapes.hpp"
#include "tools/asset_gen/text.hpp"

#include <gtest/gtest.h>

#include <set>

using namespace assetgen;

TEST(AssetGenShapes, DistancesAreSignedAndExact) {
    Shape c = circle({10, 10}, 5);
    EXPECT_FLOAT_EQ(c.distance({10, 10}), -5);
    EXPECT_FLOAT_EQ(c.distance({18, 10}), 3);

    // A box turned a quarter turn swaps its width and height.
    Shape wide = box({0, 0}, {4, 1});
    Shape turned = box({0, 0}, {4, 1}, 0, 90);
    EXPECT_LT(wide.distance({3.5f, 0}), 0);
    EXPECT_GT(turned.distance({3.5f, 0}), 0);
    EXPECT_LT(turned.distance({0, 3.5f}), 0);
    EXPECT_NEAR(wide.distance({6, 0}), 2, 1e-5f);

    // Inside is inside whichever way round the corners are listed.
    std::vector<Vec2> square{{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    std::vector<Vec2> reversed(square.rbegin(), square.rend());
    for (const auto& pts : {square, reversed}) {
        Shape p = polygon(pts);
        EXPECT_NEAR(p.distance({2, 2}), -2, 1e-5f);
        EXPECT_NEAR(p.distance({7, 2}), 3, 1e-5f);
    }
    EXPECT_NEAR(stroke({{0, 0}, {10, 0}}, 2).distance({5, 3}), 1, 1e-5f);
    EXPECT_NEAR(ring({0, 0}, 10, 2).distance({0, 0}), 9, 1e-5f);
}

TEST(AssetGenShapes, CombinationsFollowSetRules) {
    Shape a = circle({0, 0}, 4), b = circle({6, 0}, 4);
    EXPECT_LT(unite(a, b).distance({7, 0}), 0);
    EXPECT_GT(subtract(a, b).distance({3, 0}), 0) << "the overlap is cut away";
    EXPECT_LT(subtract(a, b).distance({-3, 0}), 0);
    EXPECT_LT(intersect(a, b).distance({3, 0}), 0);
    EXPECT_GT(intersect(a, b).distance({-3, 0}), 0);
    EXPECT_NEAR(offset(a, 2).distance({5, 0}), -1, 1e-5f);
    EXPECT_NEAR(translate(a, {10, 0}).distance({10, 0}), -4, 1e-5f);
    // Bounds cover the shape, so painting never misses a part of it.
    Bounds u = unite(a, b).bounds;
    EXPECT_LE(u.x0, -4);
    EXPECT_GE(u.x1, 10);
}

TEST(AssetGenFrames, LocalUnitsPointUpAndTurnCounterClockwise) {
    Xf xf{{100, 100}, 10, 0};
    EXPECT_FLOAT_EQ(xf.p({0, 1}).y, 90) << "local y up is picture y down";
    EXPECT_FLOAT_EQ(xf.p({1, 0}).x, 110);
    // A quarter turn counter-clockwise carries +x onto local +y, which is up in the picture.
    Xf turned = xf.child({0, 0}, 1, 90);
    EXPECT_NEAR(turned.p({1, 0}).x, 100, 1e-4f);
    EXPECT_NEAR(turned.p({1, 0}).y, 90, 1e-4f);
    EXPECT_NEAR(rotated({1, 0}, 90).y, -1, 1e-6f);
    // Children nest: position, then scale.
    Xf child = xf.child({2, 0}, 0.5f);
    EXPECT_FLOAT_EQ(child.p({2, 0}).x, 130);
}

TEST(AssetGenCanvas, SourceOverWithStraightAlpha) {
    Canvas c(4, 1);
    c.blend(0, 0, rgb(0xff0000), 1);
    EXPECT_FLOAT_EQ(c.at(0, 0).a, 1);
    EXPECT_FLOAT_EQ(c.at(0, 0).r, 1);
    // Two half covers of the same colour over nothing give three quarters, colour unchanged.
    c.blend(1, 0, rgb(0x00ff00), 0.5f);
    c.blend(1, 0, rgb(0x00ff00), 0.5f);
    EXPECT_NEAR(c.at(1, 0).a, 0.75f, 1e-6f);
    EXPECT_NEAR(c.at(1, 0).g, 1, 1e-6f);
    // Half white over opaque black is mid grey, still opaque.
    c.blend(2, 0, rgb(0x000000), 1);
    c.blend(2, 0, rgb(0xffffff), 0.5f);
    EXPECT_NEAR(c.at(2, 0).r, 0.5f, 1e-6f);
    EXPECT_FLOAT_EQ(c.at(2, 0).a, 1);
    c.erase(0, 0, 0.25f);
    EXPECT_NEAR(c.at(0, 0).a, 0.75f, 1e-6f);
    c.blend(-1, 0, rgb(0xffffff), 1); // outside: ignored, no crash
    sf::Image image = c.toImage();
    EXPECT_EQ(image.getPixel(2, 0), sf::Color(128, 128, 128, 255));
}

TEST(AssetGenCanvas, ShrinkingAveragesTheArea) {
    Canvas src(8, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            src.ref(x, y) = (x + y) % 2 ? rgb(0xffffff) : rgb(0x000000);
        }
    }
    Canvas dst(2, 2);
    dst.drawCanvas(src, 0, 0, 2, 2);
    EXPECT_NEAR(dst.at(1, 1).r, 0.5f, 1e-5f);
    EXPECT_NEAR(dst.at(1, 1).a, 1, 1e-5f);

    Mask m(21, 21);
    m.ref(10, 10) = 1;
    blur(m, 6);
    float sum = 0;
    for (float v : m.v) {
        sum += v;
    }
    EXPECT_NEAR(sum, 1, 0.02f) << "blurring spreads a dot without losing it";
    EXPECT_GT(m.at(12, 10), 0);
}

TEST(AssetGenPainter, InkOutsideShadeBelowLightAbove) {
    Canvas c(100, 100);
    Look look = toon(rgb(0x3080ff), 4, 12);
    paint(c, circle({50, 50}, 30), look);
    Rgba ink = c.at(50, 50 + 32), top = c.at(50, 50 - 25), bottom = c.at(56, 50 + 26), centre = c.at(50, 50);
    EXPECT_NEAR(ink.r, kInk.r, 0.02f) << "the outline lies outside the shape";
    EXPECT_EQ(c.at(50, 50 + 36).a, 0) << "and no wider than asked";
    EXPECT_LT(bottom.b, centre.b) << "the second tone darkens the lower side";
    EXPECT_GE(top.b, centre.b) << "the upper side is lit, never shaded";
}

TEST(AssetGenText, FittingNeverOverflowsAndLongerTextIsWider) {
    EXPECT_GT(measureText("Tutorial", 40).width, measureText("Play", 40).width);
    for (float width : {60.0f, 200.0f, 800.0f}) {
        float px = fitTextSize("Quit Game", width, 100, 80, 5);
        EXPECT_LE(measureText("Quit Game", px).width + 10, width + 0.5f);
        EXPECT_LE(px, 80);
    }
    EXPECT_GT(fitTextSize("Quit Game", 800, 100, 80, 5), fitTextSize("Quit Game", 200, 100, 80, 5));
}

TEST(AssetGenManifest, MapPicturesReplaceStandInsAndPathsAreUnique) {
    MapSet set;
    MapData map;
    map.loaded = true;
    map.name = "Test";
    map.cameraZoom = 32;
    map.platforms.push_back({0, -8, 20, 2, 0});
    set.maps = {map, map};
    set.previews = {{"Map1", "Map1"}, {"MapExtra", "MapExtra"}};
    set.backgrounds = {{"Test", "TestBackground", "meadow"}};
    std::vector<PictureEntry> all = allPictures(set);
    std::set<std::string> paths;
    for (const PictureEntry& s : all) {
        EXPECT_TRUE(paths.insert(s.path).second) << "written twice: " << s.path;
        EXPECT_GT(s.width, 0);
        EXPECT_TRUE(static_cast<bool>(s.draw)) << s.path;
    }
    EXPECT_EQ(all.size(), fixedPictures().size() + 2) << "Map1 replaced; MapExtra and the background added";
    EXPECT_EQ(paths.count("Texture/MainMenu/LevelSelection/MapExtra.png"), 1u);
    EXPECT_EQ(paths.count("Texture/BG/TestBackground.png"), 1u);
}

TEST(AssetGenManifest, EachPreviewShowsTheMapThatNamesIt) {
    // The game shows a map with the preview its own file names, whatever the list order.
    MapData left, right;
    left.loaded = right.loaded = true;
    left.cameraZoom = right.cameraZoom = 30;
    left.previewName = "Second";
    left.platforms.push_back({-12, 0, 8, 2, 0});
    right.previewName = "First";
    right.platforms.push_back({12, 0, 8, 2, 0});
    MapSet set;
    set.maps = {left, right};
    set.previews = {{"First", "First"}, {"Second", "Second"}};
    auto darkAt = [](const Canvas& c, float fx) {
        Rgba p = c.at(static_cast<int>(c.width() * fx), c.height() / 2);
        return p.r + p.g + p.b < 0.6f;
    };
    for (const PictureEntry& entry : mapPictures(set)) {
        Canvas c(entry.width, entry.height);
        entry.draw(c);
        bool first = entry.path.find("First") != std::string::npos;
        // A platform's dark rim crosses the middle row where that map has its platform.
        bool rimLeft = false, rimRight = false;
        for (float fx = 0.2f; fx < 0.35f; fx += 0.002f) {
            rimLeft = rimLeft || darkAt(c, fx);
            rimRight = rimRight || darkAt(c, 1.0f - fx);
        }
        EXPECT_EQ(rimRight, first) << entry.path;
        EXPECT_EQ(rimLeft, !first) << entry.path;
    }
}
