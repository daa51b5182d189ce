#include "objects/json_data.hpp"

#include "objects/resource_manager.hpp"
#include "platform/file_read.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>

namespace {

// Our files nest four levels deep; a hostile file nested thousands deep would exhaust the stack.
constexpr int kMaxNesting = 64;

// What was unusable in the data file being read. A file full of bad values says so in one line
// when its reader is done, instead of a line per value.
struct DataReport {
    std::string file;
    int replaced = 0;
};

DataReport& report() {
    static DataReport current;
    return current;
}

void noteReplaced() {
    ++report().replaced;
}

// The one summary line of a file, if anything in it had to be replaced.
void tellReport() {
    DataReport& r = report();
    if (r.replaced > 0) {
        std::cout << "Data file " << (r.file.empty() ? std::string("(unnamed)") : r.file) << ": "
                  << r.replaced << (r.replaced == 1 ? " value was" : " values were")
                  << " unusable and read as 0 or empty" << std::endl;
    }
    r.replaced = 0;
}

// A base name names a file in the data folder: no folders, no way out of it.
bool isPlainName(const std::string& name) {
    return name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
           name.find("..") == std::string::npos;
}

} // namespace

Json::Value loadJson(const std::string& baseName) {
    if (!isPlainName(baseName)) {
        std::cout << "Data file name \"" << baseName << "\" is a path, not a name; ignoring it" << std::endl;
        return Json::Value();
    }
    std::string path = ResourceManager::resourcePath("JsonData/" + baseName + ".json");
    report() = DataReport{path, 0};
    std::string content;
    FileRead read = ReadRegularFile(path, kMaxDataFileBytes, content);
    if (read == FileRead::Missing) {
        return Json::Value();
    }
    if (read != FileRead::Ok) {
        std::cout << "Data file " << path << " is " << DescribeFileRead(read) << "; ignoring it" << std::endl;
        return Json::Value();
    }

    return parseJsonText(content, path);
}

bool parseJsonQuietly(const std::string& text, bool strict, Json::Value& root, std::string& errors) {
    Json::CharReaderBuilder builder;
    if (strict) {
        Json::CharReaderBuilder::strictMode(&builder.settings_);
    }
    builder["stackLimit"] = kMaxNesting;
    // Text after the root value (a truncated file with something appended) is an error too.
    builder["failIfExtra"] = true;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    try {
        return reader->parse(text.data(), text.data() + text.size(), &root, &errors);
    } catch (const Json::Exception& e) {
        errors = e.what();
        root = Json::Value();
        return false;
    }
}

Json::Value parseJsonText(const std::string& text, const std::string& label) {
    Json::Value root;
    std::string errors;
    if (!parseJsonQuietly(text, false, root, errors)) {
        std::cout << errors << std::endl;
        std::cout << "Data file " << label << " has errors; using what could be read" << std::endl;
    }
    return root;
}

namespace {

float checkedNumber(const Json::Value& value) {
    if (value.isNull()) {
        return 0.0f;
    }
    if (!value.isNumeric()) {
        noteReplaced();
        return 0.0f;
    }
    double d = value.asDouble();
    if (!std::isfinite(d) || std::fabs(d) > kMaxDataMagnitude) {
        noteReplaced();
        return 0.0f;
    }
    return static_cast<float>(d);
}

vec3 readVec3(const Json::Value& array, const char* what, bool readZ) {
    return {jsonFloatAt(array, 0, what), jsonFloatAt(array, 1, what),
            readZ ? jsonFloatAt(array, 2, what) : 0.0f};
}

} // namespace

float jsonFloat(const Json::Value& object, const char* key) {
    if (!object.isObject()) {
        return 0.0f;
    }
    return checkedNumber(object[key]);
}

float jsonFloatAt(const Json::Value& array, unsigned index, const char*) {
    if (array.isNull()) {
        return 0.0f;
    }
    if (!array.isArray()) {
        noteReplaced();
        return 0.0f;
    }
    if (index >= array.size()) {
        return 0.0f;
    }
    return checkedNumber(array[index]);
}

std::string jsonString(const Json::Value& object, const char* key) {
    if (!object.isObject()) {
        return "";
    }
    const Json::Value& value = object[key];
    if (value.isNull()) {
        return "";
    }
    if (!value.isString()) {
        noteReplaced();
        return "";
    }
    return value.asString();
}

std::vector<Json::Value> jsonEntries(const Json::Value& value) {
    std::vector<Json::Value> entries;
    if (value.isArray()) {
        for (Json::ArrayIndex i = 0; i < value.size(); ++i) {
            entries.push_back(value[i]);
        }
    } else if (value.isObject()) {
        // Members come back sorted by key, which is the order a map's objects are built in.
        for (const std::string& key : value.getMemberNames()) {
            entries.push_back(value[key]);
        }
    }
    return entries;
}

std::vector<std::string> readMapList(const Json::Value& document) {
    std::vector<std::string> names;
    if (!document.isObject()) {
        return names;
    }
    const Json::Value& maps = document["Map"];
    if (!maps.isArray()) {
        return names;
    }
    for (Json::ArrayIndex i = 0; i < maps.size(); ++i) {
        std::string name = jsonString(maps[i], "MapName");
        if (!isPlainName(name)) {
            std::cout << "Map list entry \"" << name << "\" is a path, not a map name; leaving it out"
                      << std::endl;
            continue;
        }
        names.push_back(name);
    }
    tellReport();
    return names;
}

BackgroundTable readBackgroundTable(const Json::Value& document) {
    BackgroundTable table;
    if (!document.isObject()) {
        return table;
    }
    const Json::Value& previews = document["PreviewArray"];
    if (previews.isArray()) {
        for (Json::ArrayIndex i = 0; i < previews.size(); ++i) {
            table.previews.push_back(
                {jsonString(previews[i], "MapPreviewPath"), jsonString(previews[i], "MapPreviewName")});
        }
    }
    const Json::Value& backgrounds = document["MapArray"];
    if (backgrounds.isArray()) {
        for (Json::ArrayIndex i = 0; i < backgrounds.size(); ++i) {
            table.backgrounds.push_back({jsonString(backgrounds[i], "MapName"),
                                         jsonString(backgrounds[i], "MapPath"),
                                         jsonString(backgrounds[i], "Theme")});
        }
    }
    tellReport();
    return table;
}

MapData readMapData(const Json::Value& document) {
    MapData map;
    if (!document.isObject()) {
        return map;
    }
    map.name = jsonString(document, "MapName");
    map.previewName = jsonString(document, "MapPreviewName");
    map.cameraZoom = jsonFloat(document, "CameraZoom");
    if (map.cameraZoom <= 0.0f) {
        // A camera that shows nothing (or everything upside down) makes no match.
        std::cout << "Map \"" << map.name << "\": CameraZoom " << map.cameraZoom
                  << " is not above zero; using " << kDefaultCameraZoom << std::endl;
        map.cameraZoom = kDefaultCameraZoom;
    }
    int flatScales = 0;
    bool tooMany = false;
    for (const Json::Value& entry : jsonEntries(document["Object"])) {
        std::string kind = jsonString(entry, "ObjName");
        if (kind == "Platform") {
            if (map.platforms.size() >= kMaxMapPlatforms) {
                tooMany = true;
                continue;
            }
            PlatformEntry platform;
            platform.position = readVec3(entry["Position"], "Position", false);
            platform.position.z = kPlatformZ;
            platform.rotation = readVec3(entry["Rotation"], "Rotation", true);
            platform.scale = readVec3(entry["Scale"], "Scale", true);
            for (float* side : {&platform.scale.x, &platform.scale.y, &platform.scale.z}) {
                if (*side <= 0.0f) {
                    *side = 1.0f;
                    ++flatScales;
                }
            }
            map.platforms.push_back(platform);
        } else if (kind == "SpawnPoint") {
            if (map.spawnPoints.size() >= kMaxMapSpawnPoints) {
                tooMany = true;
                continue;
            }
            map.spawnPoints.push_back(readVec3(entry["Position"], "Position", true));
        }
    }
    if (tooMany) {
        std::cout << "Map \"" << map.name << "\" has more than " << kMaxMapPlatforms << " platforms or "
                  << kMaxMapSpawnPoints << " spawn points; the rest are ignored" << std::endl;
    }
    if (flatScales > 0) {
        std::cout << "Map \"" << map.name << "\": " << flatScales
                  << " platform scales were at or below zero; using 1" << std::endl;
    }
    tellReport();
    return map;
}

std::string backgroundPathFor(const MapData& map, const BackgroundTable& table) {
    for (const MapBackground& background : table.backgrounds) {
        if (background.mapName == map.name) {
            return "../Resources/Texture/BG/" + background.path + ".png";
        }
    }
    return "";
}

std::string backgroundPathForTheme(const std::string& theme, const BackgroundTable& table) {
    for (const MapBackground& background : table.backgrounds) {
        if (!theme.empty() && background.theme == theme && !background.path.empty()) {
            return "../Resources/Texture/BG/" + background.path + ".png";
        }
    }
    return "";
}

std::vector<std::string> levelSelectPreviewNames(const std::vector<std::string>& mapNames,
                                                 const BackgroundTable& table,
                                                 const std::function<bool(const MapPreview&)>& loadPreview) {
    std::map<std::string, bool> loaded; // by preview name: whether its picture loaded
    std::vector<std::string> names;
    for (const std::string& mapName : mapNames) {
        const std::string wanted = readMapData(loadJson(mapName)).previewName;
        auto preview = std::find_if(table.previews.begin(), table.previews.end(),
                                    [&](const MapPreview& p) { return !wanted.empty() && p.name == wanted; });
        if (preview == table.previews.end()) {
            names.push_back("");
            continue;
        }
        auto tried = loaded.find(wanted);
        if (tried == loaded.end()) {
            tried = loaded.emplace(wanted, loadPreview(*preview)).first;
        }
        names.push_back(tried->second ? wanted : "");
    }
    return names;
}
