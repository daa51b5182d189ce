#pragma once

// Saves a map of the pack into a data folder the way a developer ships a map: the map file, the
// map list ("MapSetting") and the pictures table ("BackgroundSetting"); the build draws its
// preview and background from them. A map with problems is kept out of the map list. Each file
// is written whole under a temporary name and renamed, the map list last, so it never names a
// map whose other files are not there yet. The game itself never writes these files.

#include "objects/json_data.hpp"

#include <string>

// True when the map went into the map list; message says what was done, in one line.
bool SaveIntoDataFolder(const MapData& map, const std::string& theme, bool clean,
                        const std::string& dataFolder, std::string& message);
