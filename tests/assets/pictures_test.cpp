// The pictures as the game uses them: sprite-sheet cells hold one frame each and do not bleed
// into each other, words stay inside their pictures, and highlighted variants really differ.
#include "tools/asset_gen/manifest.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <cmath>

namespace {

const std::string kResources = GRUMBO_RESOURCES_DIR;

struct Loaded {
    assetgen::PictureEntry entry;
    sf::Image image;
};

// Every picture, loaded once for the whole file.
const std::vector<Loaded>& pictures() {
    static const std::vector<Loaded> all = [] {
        std::vector<Loaded> out;
        for (assetgen::PictureEntry& entry :
             assetgen::allPictures(assetgen::loadMapSet(kResources + "/JsonData"))) {
            Loaded l{std::move(entry), {}};
            if (l.image.loadFromFile(kResources + "/" + l.entry.path)) {
                out.push_back(std::move(l));
            }
        }
        return out;
    }();
    return all;
}

const Loaded* find(const std::string& path) {
    for (const Loaded& l : pictures()) {
        if (l.entry.path == "Texture/" + path) {
            return &l;
        }
    }
    return nullptr;
}

float alphaAt(const sf::Image& im, unsigned x, unsigned y) {
    return im.getPixel(x, y).a / 255.0f;
}

// Mean colour difference of two pictures of one size, 0..1.
double difference(const sf::Image& a, const sf::Image& b) {
    double sum = 0;
    for (unsigned y = 0; y < a.getSize().y; ++y) {
        for (unsigned x = 0; x < a.getSize().x; ++x) {
            sf::Color p = a.getPixel(x, y), q = b.getPixel(x, y);
            sum += (std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) + std::abs(p.a - q.a)) /
                   1020.0;
        }
    }
    return sum / (a.getSize().x * a.getSize().y);
}

// One cell of a sheet as its own picture.
sf::Image cell(const Loaded& l, int i) {
    unsigned w = l.image.getSize().x / l.entry.columns;
    sf::Image out;
    out.create(w, l.image.getSize().y);
    out.copy(
        l.image, 0, 0,
        sf::IntRect(static_cast<int>(w * i), 0, static_cast<int>(w), static_cast<int>(l.image.getSize().y)));
    return out;
}

} // namespace

TEST(SpriteSheets, CellsMatchWhatTheGameDraws) {
    int sheets = 0;
    for (const Loaded& l : pictures()) {
        if (l.entry.columns == 1) {
            continue;
        }
        ++sheets;
        SCOPED_TRACE(l.entry.path);
        unsigned w = l.image.getSize().x, h = l.image.getSize().y;
        ASSERT_EQ(w % l.entry.columns, 0u) << "cells of whole pixels";
        unsigned cw = w / l.entry.columns;
        for (int i = 0; i < l.entry.columns; ++i) {
            // Nothing on a cell's outer columns, so filtering never pulls in the neighbour.
            float edge = 0, content = 0;
            for (unsigned y = 0; y < h; ++y) {
                edge = std::max({edge, alphaAt(l.image, cw * i, y), alphaAt(l.image, cw * i + cw - 1, y)});
                for (unsigned x = cw * i; x < cw * (i + 1); ++x) {
                    content = std::max(content, alphaAt(l.image, x, y));
                }
            }
            EXPECT_LT(edge, 0.05f) << "cell " << i << " touches its border";
            EXPECT_GT(content, 0.9f) << "cell " << i << " is empty";
        }
        // Every frame differs from every other, or the animation (or the digit) would not show.
        for (int i = 0; i < l.entry.columns; ++i) {
            for (int j = i + 1; j < l.entry.columns; ++j) {
                EXPECT_GT(difference(cell(l, i), cell(l, j)), 0.002)
                    << "cells " << i << " and " << j << " look alike";
            }
        }
    }
    EXPECT_GE(sheets, 12);
}

TEST(TextPictures, WordsStayInsideTheirPictures) {
    int words = 0;
    for (const Loaded& l : pictures()) {
        if (!l.entry.words) {
            continue;
        }
        ++words;
        unsigned w = l.image.getSize().x, h = l.image.getSize().y;
        float border = 0;
        for (unsigned x = 0; x < w; ++x) {
            border = std::max({border, alphaAt(l.image, x, 0), alphaAt(l.image, x, h - 1)});
        }
        for (unsigned y = 0; y < h; ++y) {
            border = std::max({border, alphaAt(l.image, 0, y), alphaAt(l.image, w - 1, y)});
        }
        EXPECT_LT(border, 0.05f) << l.entry.path << " is cut at its edge";
    }
    EXPECT_GE(words, 15);
}

TEST(TextPictures, HighlightedVariantsKeepTheSizeAndStandOut) {
    // One of each of the game's spellings of a highlighted picture.
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"MainMenu/Play.png", "MainMenu/Play_Highlight.png"},
        {"Pause/Resume.png", "Pause/Resume_HL.png"},
        {"MainMenu/Play.png", "MainMenu/Menu_Hightlight.png"}};
    for (const auto& [plain, lit] : pairs) {
        const Loaded* a = find(plain);
        const Loaded* b = find(lit);
        ASSERT_TRUE(a && b) << plain << " / " << lit;
        ASSERT_EQ(a->image.getSize(), b->image.getSize()) << lit;
        EXPECT_GT(difference(a->image, b->image), 0.08) << lit << " is hardly different from " << plain;
    }
}
