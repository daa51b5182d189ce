// Asset generator: writes the whole Resources/ tree the game reads.
#include "tools/asset_gen/generator.hpp"

#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    GeneratorOptions options;
    bool pictures = true;
    bool audio = true;
    for (int i = 1; i < argc; ++i) {
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (std::strcmp(argv[i], "--out") == 0) {
            options.outDir = next();
        } else if (std::strcmp(argv[i], "--data") == 0) {
            options.dataDir = next();
        } else if (std::strcmp(argv[i], "--contact-sheet") == 0) {
            options.contactSheet = next();
        } else if (std::strcmp(argv[i], "--icons") == 0) {
            options.iconsDir = next();
        } else if (std::strcmp(argv[i], "--no-audio") == 0) {
            audio = false;
        } else if (std::strcmp(argv[i], "--no-pictures") == 0) {
            pictures = false;
        } else {
            std::cout << "usage: asset_gen --out DIR [--data DIR] [--contact-sheet FILE.png] [--icons DIR] "
                         "[--no-audio] [--no-pictures]"
                      << std::endl;
            return 2;
        }
    }
    if (options.outDir.empty()) {
        std::cout << "asset_gen: --out is required" << std::endl;
        return 2;
    }
    bool ok = true;
    if (pictures) {
        ok = generatePictures(options) && ok;
    }
    if (audio) {
        ok = generateAudio(options) && ok;
    }
    if (!options.iconsDir.empty()) {
        ok = generateIcons(options) && ok;
    }
    return ok ? 0 : 1;
}
