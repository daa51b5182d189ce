#pragma once

// A map written back in the game's map format: the keys the game reads and nothing else
// ("MapName", "MapPreviewName", "CameraZoom", and "Object" entries of "Platform" and
// "SpawnPoint"), every number rounded to 0.01, one object to a line like the shipped files. A
// player's map also keeps its background theme ("Theme") and whether it is a draft ("Draft"),
// which a shipped map has in the game's tables instead.

#include "objects/json_data.hpp"

#include <string>

// The step every length, place and angle of an edited map is kept to.
constexpr float kMapGrid = 0.01f;

// A value rounded to the map grid, as a file keeps it (so a saved map loads back the same).
float OnMapGrid(float value);
// A number as the file writes it: on the grid, without trailing zeros, and "0" for minus zero.
std::string MapNumber(float value);

// theme "" and draft false leave those keys out, as the shipped files have them.
std::string MapFileText(const MapData& map, const std::string& theme = "", bool draft = false);
