#pragma once

// A map file read strictly, for the maps a player makes and the editor opens. The match's own
// reader (readMapData) makes the best of a damaged file, reading what is missing as 0 and a flat
// platform as 1 x 1; that is right for a hand-edited shipped map in a match, but a file the
// editor would open and save back, or one the level select would offer, must hold what it says.
// Here every problem is named instead: the file is not JSON or not whole, a key is missing, a
// value is of the wrong kind, out of range or not a number.

#include "objects/json_data.hpp"

#include <string>
#include <vector>

struct MapFileReading {
    MapData map;                       // only when it reads cleanly
    std::string theme;                 // a player's map keeps its theme in its file; "" when none
    bool draft = false;                // saved with problems: kept out of the level select
    std::vector<std::string> problems; // empty when it reads cleanly
    bool clean() const { return problems.empty(); }
};

MapFileReading ReadMapText(const std::string& text);
// A file that is missing, not a regular file or too large is a problem too.
MapFileReading ReadMapFile(const std::string& path);

// The one line that names a map file and its problems.
std::string MapFileProblemsLine(const std::string& path, const std::vector<std::string>& problems);
