#pragma once

// Saves an edited map as one of the player's own: its map file and its level-select preview in
// the player's maps folder ($XDG_DATA_HOME/grumbo/maps/), and nowhere else; the game's own folder
// is never written, and a name the game's own files have is refused whatever its case. The
// preview is drawn as the asset generator draws the shipped ones and encoded in memory; then
// both files go through one checked write-then-rename, so a full disk or a crash leaves the old
// files whole and at most a temporary beside them, and the save reads both back before it says
// "Saved".
//
// A map without problems is offered by the level select. A map with problems is kept as a draft:
// its file says so, and the level select leaves it out until it is saved without them.

#include "objects/json_data.hpp"
#include "objects/map_catalogue.hpp"

#include <functional>
#include <string>

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

// Into the catalogue's player folder, refusing the names the catalogue refuses.
SaveResult SaveMap(const SaveRequest& request, const MapCatalogue& maps);

// Why a player's map cannot be saved under name, "" when it can: not a plain name, or one of the
// game's own.
std::string SaveNameRefusal(const std::string& name, const MapCatalogue& maps);

// The preview texture name a map's file gives, as a shipped map's names its table preview: a
// developer who ships the map adds a preview of that name to the pictures table.
std::string PreviewNameFor(const std::string& mapName);
// The preview picture of a map as its PNG file's bytes ("" when it cannot be encoded).
std::string MapPreviewPng(const MapData& map, const std::string& theme);
