#include "objects/map_catalogue.hpp"

#include "objects/map_file_reader.hpp"
#include "objects/map_names.hpp"
#include "objects/resource_manager.hpp"
#include "platform/player_folder.hpp"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>

namespace fs = std::filesystem;

namespace {

constexpr const char* kMapFileExtension = ".json";
constexpr const char* kPreviewExtension = ".png";
// The game's own tables: never a player's map name, even where the data folder lacks them.
constexpr const char* kTables[] = {"MapSetting", "BackgroundSetting"};

std::unique_ptr<MapCatalogue>& gameMaps() {
    static std::unique_ptr<MapCatalogue> maps;
    return maps;
}

// The names of the regular files of a folder, sorted; none when it is not there.
std::vector<fs::path> filesOf(const std::string& folder) {
    std::vector<fs::path> out;
    std::error_code error;
    if (folder.empty() || !fs::is_directory(folder, error)) {
        return out;
    }
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code kind;
        if (it->is_regular_file(kind)) {
            out.push_back(it->path().filename());
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

std::string GameDataFolder() {
    return ResourceManager::resourcePath("JsonData/");
}

MapCatalogue MapCatalogue::Read(const std::string& playerFolder, bool tell) {
    MapCatalogue catalogue;
    catalogue.folder = playerFolder;
    catalogue.shipped = readMapList(loadJson("MapSetting"));
    for (const std::string& name : catalogue.shipped) {
        catalogue.offered.push_back({name, true, GameDataFolder() + name + kMapFileExtension});
    }
    for (const fs::path& file : filesOf(GameDataFolder())) {
        catalogue.dataFiles.push_back(file.string());
    }
    for (const fs::path& file : filesOf(playerFolder)) {
        if (file.extension() != kMapFileExtension) {
            continue; // previews, and temporaries of a save cut short
        }
        PlayerMapFile map;
        map.name = file.stem().string();
        map.file = playerFolder + file.string();
        map.preview = playerFolder + map.name + kPreviewExtension;
        const bool twin = std::any_of(catalogue.files.begin(), catalogue.files.end(),
                                      [&](const PlayerMapFile& f) { return SameMapName(f.name, map.name); });
        std::string refusal = catalogue.nameRefusal(map.name);
        if (!IsPlainMapName(map.name)) {
            refusal = "its name is not a plain name (a letter, then letters, digits, _ or -)";
        } else if (twin) {
            refusal = "another of your maps has that name in another case";
        }
        if (!refusal.empty()) {
            map.problems.push_back(refusal);
            if (tell) {
                std::cout << "Map file " << map.file << " is left out: " << refusal << std::endl;
            }
        } else {
            MapFileReading reading = ReadMapFile(map.file);
            map.problems = reading.problems;
            map.theme = reading.theme;
            map.draft = reading.draft;
            map.damaged = !reading.clean();
            if (!reading.clean() && tell) {
                std::cout << MapFileProblemsLine(map.file, reading.problems) << "; it is left out"
                          << std::endl;
            }
        }
        if (map.problems.empty() && !map.draft) {
            catalogue.offered.push_back({map.name, false, map.file});
        }
        catalogue.files.push_back(std::move(map));
    }
    return catalogue;
}

std::vector<std::string> MapCatalogue::names() const {
    std::vector<std::string> out;
    for (const CatalogueMap& map : offered) {
        out.push_back(map.name);
    }
    return out;
}

std::vector<std::string> MapCatalogue::shippedNames() const {
    return shipped;
}

const CatalogueMap* MapCatalogue::find(const std::string& name) const {
    auto found =
        std::find_if(offered.begin(), offered.end(), [&](const CatalogueMap& m) { return m.name == name; });
    return found == offered.end() ? nullptr : &*found;
}

const PlayerMapFile* MapCatalogue::playerFile(const std::string& name) const {
    auto found =
        std::find_if(files.begin(), files.end(), [&](const PlayerMapFile& f) { return f.name == name; });
    return found == files.end() ? nullptr : &*found;
}

std::string MapCatalogue::nameRefusal(const std::string& name) const {
    for (const std::string& map : shipped) {
        if (SameMapName(map, name)) {
            return "\"" + name + "\" is the name of a map that comes with the game (" + map + ")";
        }
    }
    for (const char* table : kTables) {
        if (SameMapName(table, name)) {
            return "\"" + name + "\" is the name of one of the game's data files (" + table + ")";
        }
    }
    for (const std::string& file : dataFiles) {
        if (SameMapName(fs::path(file).stem().string(), name)) {
            return "\"" + name + "\" is the name of one of the game's data files (" + file + ")";
        }
    }
    return "";
}

std::string MapCatalogue::freshName(const std::string& stem) const {
    for (int n = 1;; ++n) {
        const std::string name = n == 1 ? stem : stem + std::to_string(n);
        const bool taken = std::any_of(files.begin(), files.end(),
                                       [&](const PlayerMapFile& f) { return SameMapName(f.name, name); });
        if (!taken && nameRefusal(name).empty()) {
            return name;
        }
    }
}

const MapCatalogue& GameMaps() {
    if (!gameMaps()) {
        gameMaps() = std::make_unique<MapCatalogue>(MapCatalogue::Read(PlayerMapsFolder()));
    }
    return *gameMaps();
}

void RereadGameMaps() {
    gameMaps() = std::make_unique<MapCatalogue>(MapCatalogue::Read(PlayerMapsFolder(), false));
}

std::vector<std::string>
LevelSelectPreviews(const MapCatalogue& maps,
                    const std::function<bool(const std::string& texture, const std::string& path)>& load) {
    std::vector<std::string> previews = levelSelectPreviewNames(
        maps.shippedNames(), readBackgroundTable(loadJson("BackgroundSetting")),
        [&](const MapPreview& preview) {
            return load(preview.name, ResourceManager::resourcePath("Texture/MainMenu/LevelSelection/" +
                                                                    preview.path + kPreviewExtension));
        });
    for (const CatalogueMap& map : maps.maps()) {
        if (!map.shipped) {
            // A texture name no shipped preview can have: a player's map is called anything plain.
            const std::string texture = "PlayerPreview:" + map.name;
            const PlayerMapFile* file = maps.playerFile(map.name);
            previews.push_back(file != nullptr && load(texture, file->preview) ? texture : "");
        }
    }
    return previews;
}

MapData LoadMatchMap(const std::string& name, std::string& backgroundPath) {
    const CatalogueMap* entry = GameMaps().find(name);
    if (entry != nullptr && !entry->shipped) {
        MapFileReading reading = ReadMapFile(entry->file);
        if (!reading.clean()) {
            std::cout << MapFileProblemsLine(entry->file, reading.problems) << "; the arena is empty"
                      << std::endl;
            return MapData();
        }
        backgroundPath =
            backgroundPathForTheme(reading.theme, readBackgroundTable(loadJson("BackgroundSetting")));
        if (backgroundPath.empty()) {
            backgroundPath = kFallbackBackgroundPath; // a hand-made file without a known theme
        }
        return reading.map;
    }
    Json::Value document = loadJson(name);
    if (document.isNull()) {
        std::cout << "Map \"" << name << "\" has no readable data file; the arena is empty" << std::endl;
    }
    MapData map = readMapData(document);
    backgroundPath = backgroundPathFor(map, readBackgroundTable(loadJson("BackgroundSetting")));
    return map;
}
