#include "editor/editor_session.hpp"

#include "engine/engine.hpp"
#include "objects/json_data.hpp"
#include "objects/map_catalogue.hpp"
#include "objects/map_file_reader.hpp"

#include <algorithm>
#include <iostream>

namespace {

// The themes of the pictures table with the picture of the first map of each, and the theme of
// one map.
std::vector<ThemeBackground> readThemes(const Json::Value& pictures, const std::string& mapName,
                                        std::string& mapTheme) {
    std::vector<ThemeBackground> themes;
    for (const Json::Value& entry : jsonEntries(pictures["MapArray"])) {
        const std::string theme = jsonString(entry, "Theme");
        if (jsonString(entry, "MapName") == mapName) {
            mapTheme = theme;
        }
        const bool known = std::any_of(themes.begin(), themes.end(),
                                       [&](const ThemeBackground& t) { return t.theme == theme; });
        if (!theme.empty() && !known) {
            themes.push_back({theme, jsonString(entry, "MapPath")});
        }
    }
    return themes;
}

// A map to start from: a floor across the middle and four spawn points spread over it.
MapData starterMap(const std::string& name) {
    MapData map;
    map.name = name;
    map.cameraZoom = 34.0f;
    map.platforms.push_back({{0.0f, -8.0f, kPlatformZ}, {0, 0, 0}, {30.0f, 1.5f, 1.0f}});
    for (float x : {-10.5f, -3.5f, 3.5f, 10.5f}) {
        map.spawnPoints.push_back({x, -5.5f, 0.0f});
    }
    return map;
}

} // namespace

EditorSession& EditorSession::instance() {
    static auto* session = new EditorSession();
    return *session;
}

std::string EditorSession::backgroundFor(const std::string& theme) const {
    for (const ThemeBackground& t : themes) {
        if (t.theme == theme && !t.path.empty()) {
            return "../Resources/Texture/BG/" + t.path + ".png";
        }
    }
    return "";
}

std::string EditorSession::checksHeading() const {
    if (!SaveNameRefusal(document.map().name, GameMaps()).empty()) {
        return "Not saved under this name; and these keep it out of the level select:";
    }
    if (savedAs == SaveResult::Outcome::Draft && savedRevision == document.revision()) {
        return "Saved as a draft until these are mended:";
    }
    return "Out of the level select (a save keeps it as a draft) until these are mended:";
}

bool EditorSession::open(const std::string& name, const std::string& theme) {
    std::string mapTheme;
    std::vector<ThemeBackground> known = readThemes(loadJson("BackgroundSetting"), name, mapTheme);
    // A shipped map's name is never one of the player's (a file of theirs by it is left out).
    const MapCatalogue& maps = GameMaps();
    const CatalogueMap* shipped = maps.find(name);
    const PlayerMapFile* own = shipped == nullptr || !shipped->shipped ? maps.playerFile(name) : nullptr;
    std::string file = own != nullptr ? own->file : shipped != nullptr ? shipped->file : "";
    MapData map;
    const bool isNew = file.empty();
    if (isNew) {
        map = starterMap(name);
    } else {
        const MapFileReading reading = ReadMapFile(file);
        if (!reading.clean()) {
            // The catalogue named a damaged file of the player's, with its problems, at the start.
            status =
                own != nullptr && own->damaged
                    ? "Map \"" + name + "\" is not opened: its file " + file + " does not read cleanly"
                    : MapFileProblemsLine(file, reading.problems) + "; map \"" + name + "\" is not opened";
            status += "; mend it by hand, or delete it from the editor's map list";
            std::cout << status << std::endl;
            return false;
        }
        map = reading.map;
        if (own != nullptr) {
            mapTheme = reading.theme;
        }
    }
    // The file's own name is the map's name in the editor: it is saved back under it.
    map.name = name;
    themes = known;
    const bool knownTheme =
        std::any_of(themes.begin(), themes.end(), [&](const ThemeBackground& t) { return t.theme == theme; });
    if (!theme.empty() && knownTheme) {
        mapTheme = theme;
    } else if (!theme.empty()) {
        std::string list;
        for (const ThemeBackground& t : themes) {
            list += (list.empty() ? "" : ", ") + t.theme;
        }
        std::cout << "No theme is called \"" << theme << "\"; the themes are: " << list << std::endl;
    }
    const bool knownMapTheme = std::any_of(themes.begin(), themes.end(),
                                           [&](const ThemeBackground& t) { return t.theme == mapTheme; });
    if (!knownMapTheme && !themes.empty()) {
        mapTheme = themes.front().theme;
    }
    if (isNew) {
        std::cout << "Map \"" << name << "\" is new: starting it with a floor and four spawn points on the "
                  << mapTheme << " theme" << std::endl;
    }
    document = MapDocument(map, mapTheme);
    problems.clear();
    checked = false;
    status.clear();
    savedRevision = document.revision();
    savedAs = SaveResult::Outcome::Failed;
    return true;
}

bool StartEditor(const std::string& name, const std::string& theme) {
    if (!EditorSession::instance().open(name, theme)) {
        return false;
    }
    Engine::instance().firstState = GameStateId::Editor;
    return true;
}

bool OpenEditorFromMenus(const std::string& name) {
    EditorSession& session = EditorSession::instance();
    if (!session.open(name.empty() ? NewMapName() : name, "")) {
        return false;
    }
    session.leaveTo = GameStateId::MainMenu;
    requestState(GameStateId::Editor);
    return true;
}

std::string EditedMapName() {
    const EditorSession& session = EditorSession::instance();
    return session.document.map().name;
}

std::string NewMapName() {
    return GameMaps().freshName("MyMap");
}
