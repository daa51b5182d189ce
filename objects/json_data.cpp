#include "objects/json_data.hpp"

#include "objects/resource_manager.hpp"

#include <cmath>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

namespace {

// Hand-written data files are a few kilobytes; anything this big is not ours.
constexpr std::streamoff kMaxFileBytes = 4 * 1024 * 1024;
// Our files nest four levels deep; a hostile file nested thousands deep would exhaust the stack.
constexpr int kMaxNesting = 64;
// World coordinates, zooms and scales never come near this; beyond it a value is garbage.
constexpr double kMaxMagnitude = 1.0e6;

} // namespace

Json::Value loadJson(const std::string& baseName) {
    if (baseName.find("JsonData/") != std::string::npos) {
        // Base names never carry the directory; such a name names no data file.
        return Json::Value();
    }
    std::string path = ResourceManager::resourcePath("JsonData/" + baseName + ".json");
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        return Json::Value();
    }
    file.seekg(0, std::ios::end);
    std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    if (size > kMaxFileBytes) {
        std::cout << "Data file " << path << " is too large (" << size << " bytes); ignoring it" << std::endl;
        return Json::Value();
    }
    std::stringstream text;
    text << file.rdbuf();
    std::string content = text.str();

    Json::CharReaderBuilder builder;
    builder["stackLimit"] = kMaxNesting;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    bool ok = false;
    try {
        ok = reader->parse(content.data(), content.data() + content.size(), &root, &errors);
    } catch (const Json::Exception& e) {
        errors = e.what();
        root = Json::Value();
    }
    if (!ok) {
        std::cout << errors << std::endl;
        std::cout << "Data file " << path << " has errors; using what could be read" << std::endl;
    }
    return root;
}

namespace {

float checkedNumber(const Json::Value& value, const std::string& what) {
    if (value.isNull()) {
        return 0.0f;
    }
    if (!value.isNumeric()) {
        std::cout << "Data value " << what << " is not a number; reading 0" << std::endl;
        return 0.0f;
    }
    double d = value.asDouble();
    if (!std::isfinite(d) || std::fabs(d) > kMaxMagnitude) {
        std::cout << "Data value " << what << " is out of range; reading 0" << std::endl;
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
    return checkedNumber(object[key], std::string("\"") + key + "\"");
}

float jsonFloatAt(const Json::Value& array, unsigned index, const char* what) {
    if (array.isNull()) {
        return 0.0f;
    }
    if (!array.isArray()) {
        std::cout << "Data value \"" << what << "\" is not a list of numbers; reading 0" << std::endl;
        return 0.0f;
    }
    if (index >= array.size()) {
        return 0.0f;
    }
    return checkedNumber(array[index], std::string("\"") + what + "\"[" + std::to_string(index) + "]");
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
        std::cout << "Data value \"" << key << "\" is not a string; reading \"\"" << std::endl;
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
        names.push_back(jsonString(maps[i], "MapName"));
    }
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
            table.backgrounds.push_back(
                {jsonString(backgrounds[i], "MapName"), jsonString(backgrounds[i], "MapPath")});
        }
    }
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
    for (const Json::Value& entry : jsonEntries(document["Object"])) {
        std::string kind = jsonString(entry, "ObjName");
        if (kind == "Platform") {
            PlatformEntry platform;
            platform.position = readVec3(entry["Position"], "Position", false);
            platform.position.z = kPlatformZ;
            platform.rotation = readVec3(entry["Rotation"], "Rotation", true);
            platform.scale = readVec3(entry["Scale"], "Scale", true);
            map.platforms.push_back(platform);
        } else if (kind == "SpawnPoint") {
            map.spawnPoints.push_back(readVec3(entry["Position"], "Position", true));
        }
    }
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

std::vector<std::string> levelSelectPreviewNames(const std::vector<std::string>& mapNames,
                                                 const BackgroundTable& table,
                                                 const std::function<bool(const MapPreview&)>& loadPreview) {
    std::vector<std::string> names;
    size_t loaded = 0;
    for (const MapPreview& preview : table.previews) {
        if (!loadPreview(preview)) {
            continue;
        }
        std::string mapFile = loaded < mapNames.size() ? mapNames[loaded] : std::string();
        names.push_back(readMapData(loadJson(mapFile)).previewName);
        ++loaded;
    }
    return names;
}
