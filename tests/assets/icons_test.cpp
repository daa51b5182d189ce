// The desktop icons: one file per size in the icon theme's layout, each the rounded tile of the
// game's icon art (see-through corners, a solid middle) at exactly its size.
#include "tools/asset_gen/generator.hpp"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(DesktopIcons, EverySizeIsTheIconArtAtThatSize) {
    const fs::path dir = fs::temp_directory_path() / ("grumbo-icons-" + std::to_string(getpid()));
    ASSERT_TRUE(generateIcons({.iconsDir = dir.string()}));
    for (int size : kDesktopIconSizes) {
        const std::string edge = std::to_string(size);
        sf::Image icon;
        ASSERT_TRUE(icon.loadFromFile((dir / (edge + "x" + edge) / "apps" / "grumbo.png").string())) << size;
        ASSERT_EQ(icon.getSize(), sf::Vector2u(size, size));
        const unsigned last = static_cast<unsigned>(size - 1), middle = static_cast<unsigned>(size / 2);
        for (auto [x, y] : {std::pair{0u, 0u}, {last, 0u}, {0u, last}, {last, last}}) {
            EXPECT_EQ(icon.getPixel(x, y).a, 0) << size << " px corner " << x << "," << y;
        }
        EXPECT_EQ(icon.getPixel(middle, middle / 2).a, 255) << size << " px";
    }
    fs::remove_all(dir);
}
