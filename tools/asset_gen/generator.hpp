#pragma once

#include <string>

// Where the generator writes and what it reads.
struct GeneratorOptions {
    std::string outDir;       // the Resources/ tree
    std::string dataDir;      // hand-written JSON files to copy into JsonData/
    std::string contactSheet; // when not empty, a PNG showing every generated picture
    std::string iconsDir;     // when not empty, the desktop icons in hicolor's layout under it
};

// The desktop icon's sizes in pixels; each is drawn at its own size from the game's icon art.
inline constexpr int kDesktopIconSizes[] = {64, 128, 256};

// Each part returns false after printing one line saying what went wrong.
bool generatePictures(const GeneratorOptions& options);
bool generateAudio(const GeneratorOptions& options);
// Writes iconsDir/NxN/apps/grumbo.png for every desktop icon size.
bool generateIcons(const GeneratorOptions& options);
