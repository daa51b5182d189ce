// The desktop icons: the game's icon art drawn at each size a desktop menu asks for, laid out as
// the hicolor icon theme expects so the package can install the folder as it is.
#include "tools/asset_gen/generator.hpp"

#include "tools/asset_gen/makers.hpp"

#include <filesystem>
#include <iostream>
#include <string>

namespace fs = std::filesystem;

bool generateIcons(const GeneratorOptions& options) {
    bool ok = true;
    for (int size : kDesktopIconSizes) {
        const std::string edge = std::to_string(size);
        const fs::path file = fs::path(options.iconsDir) / (edge + "x" + edge) / "apps" / "grumbo.png";
        std::error_code ec;
        fs::create_directories(file.parent_path(), ec);
        // Drawn at the final size rather than shrunk from the largest, so outlines stay crisp.
        assetgen::Canvas canvas(size, size);
        assetgen::makeGameIcon(canvas);
        if (ec || !canvas.toImage().saveToFile(file.string())) {
            std::cout << "asset_gen: cannot write the icon " << file.string() << std::endl;
            ok = false;
        }
    }
    return ok;
}
