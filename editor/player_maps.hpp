#pragma once

// The player's own maps as the editor's map list handles them: renamed and deleted in their
// folder, the map file and its preview together. Shipped maps are never touched: they can only
// be opened, and saved as a map of the player's own.

#include "objects/map_catalogue.hpp"

#include <string>

struct MapFileChange {
    bool done = false;
    std::string message; // one line for the player
};

// Renames a map that reads cleanly (its file names itself, so it is written again under the new
// name through the checked writer, then the old files go); the new name is refused as a save's
// would be, or when another of the player's maps has it.
MapFileChange RenamePlayerMap(const std::string& from, const std::string& to, const MapCatalogue& maps);
// Deletes a map file of the player's folder, damaged or not, and its preview.
MapFileChange DeletePlayerMap(const std::string& name, const MapCatalogue& maps);
