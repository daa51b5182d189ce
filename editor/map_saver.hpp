#pragma once

// Saves an edited map where the game reads it: the map file, the map list ("MapSetting"), the
// pictures table ("BackgroundSetting") and the map's level-select preview, drawn by the asset
// generator's own code. Every file is written whole under a temporary name and then renamed, so
// a crash never leaves half a file; the map list is written last, so it never names a map whose
// other files are not there yet.
//
// A map without problems goes in the level select: it is added to the map list and the previews
// if it is new. A map with problems is kept as a draft: its file is written and its theme kept
// in the pictures table, but it is not in the map list (and is taken out if it was).

#include "objects/json_data.hpp"

#include <functional>
#include <string>

struct SaveFolders {
    std::string data;     // the JSON data files, ending in '/'
    std::string previews; // the level-select pictures, ending in '/'; "" to leave them to the build
};
// Where the running game reads its data and previews.
SaveFolders GameSaveFolders();

struct SaveResult {
    enum class Outcome { Listed, Draft, NeedsConfirmation, Failed };
    Outcome outcome = Outcome::Failed;
    std::string message; // one line for the player
};

struct SaveRequest {
    MapData map;
    std::string theme;
    bool clean = false;           // the map passed its checks
    bool replaceExisting = false; // an existing file of that name is saved over
    // Runs halfway through writing the map file (tests interrupt the save there).
    std::function<void()> midway;
};

SaveResult SaveMap(const SaveRequest& request, const SaveFolders& folders);

// The preview texture name a map gets when it first goes in the level select.
std::string PreviewNameFor(const std::string& mapName);
