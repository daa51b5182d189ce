#pragma once

// The maps the game offers: the shipped ones, named by the map list ("MapSetting") in the game's
// data folder, and then the player's own, the map files of their maps folder
// ($XDG_DATA_HOME/grumbo/maps/), read when that folder exists. Nothing here writes or makes a
// folder: without a player folder the game offers exactly the shipped maps.
//
// A player's map is offered when its file reads cleanly (objects/map_file_reader.hpp), its name
// is plain and is no name of the game's own (a shipped map, or any file of the game's data
// folder, whatever the case), and it is no draft. A file left out is named in one line, once,
// when the catalogue is read.

#include "objects/json_data.hpp"

#include <functional>
#include <string>
#include <vector>

struct CatalogueMap {
    std::string name;
    bool shipped = true; // false: one of the player's own
    std::string file;    // its map file
};

// A map file of the player's folder, offered or not (the editor lists them all).
struct PlayerMapFile {
    std::string name;                  // the file's base name
    std::string file;                  // NAME.json
    std::string preview;               // NAME.png beside it
    std::string theme;                 // from the file
    bool draft = false;                // saved with problems: not offered
    bool damaged = false;              // it does not read cleanly (else it can be opened)
    std::vector<std::string> problems; // why it is left out, its name's or its file's
};

class MapCatalogue {
  public:
    // The shipped maps from the game's data folder, and the player's from playerFolder (ending
    // in '/'; "" or a folder that does not exist: none). tell: each file left out is named in a
    // line (a catalogue read again during a run has said so already).
    static MapCatalogue Read(const std::string& playerFolder, bool tell = true);

    // Every map a match can be played on: the shipped ones in the map list's order, then the
    // player's by name.
    const std::vector<CatalogueMap>& maps() const { return offered; }
    std::vector<std::string> names() const;
    // The shipped maps alone (online matches keep to them: machines compare their data files).
    std::vector<std::string> shippedNames() const;
    // The map of exactly that name, or null.
    const CatalogueMap* find(const std::string& name) const;
    // Every map file of the player's folder by name, drafts and those left out included.
    const std::vector<PlayerMapFile>& playerFiles() const { return files; }
    const PlayerMapFile* playerFile(const std::string& name) const;
    // Why a player's map cannot be called name (a map that comes with the game, or one of the
    // game's data files, whatever the case); "" when it can.
    std::string nameRefusal(const std::string& name) const;
    const std::string& playerFolder() const { return folder; }
    // The first of stem, stem2, stem3... that no map file of the player's (damaged ones too) has
    // and that may be a player's map: a new map's name that opens nothing old.
    std::string freshName(const std::string& stem) const;

  private:
    std::vector<CatalogueMap> offered;
    std::vector<PlayerMapFile> files;
    std::vector<std::string> shipped;   // the map list's names
    std::vector<std::string> dataFiles; // the game's data files, by file name
    std::string folder;
};

// The game's data folder, ending in '/'.
std::string GameDataFolder();

// The running game's catalogue (the player's folder from the environment), read on first use.
const MapCatalogue& GameMaps();
// Reads it again, quietly, after the editor saved, renamed or deleted a map.
void RereadGameMaps();

// The level select's picture for each map of the catalogue, in its order: a shipped map's is
// the table preview its file names, a player's map the picture saved beside its file; "" (the
// placeholder) when that picture is missing or does not load. load registers a picture file
// under a texture name and says whether it loaded.
std::vector<std::string>
LevelSelectPreviews(const MapCatalogue& maps,
                    const std::function<bool(const std::string& texture, const std::string& path)>& load);

// The map a match is played on, and its background picture: a player's map from their folder
// with its theme's picture (the plain one for a theme no shipped map has), a shipped one from
// the game's data folder and pictures table.
MapData LoadMatchMap(const std::string& name, std::string& backgroundPath);
