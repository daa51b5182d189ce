#include "editor/map_saver.hpp"

#include "editor/map_checks.hpp"
#include "editor/map_file.hpp"
#include "platform/file_read.hpp"
#include "platform/file_write.hpp"
#include "tools/asset_gen/manifest.hpp"

#include <SFML/Graphics/Image.hpp>
#include <json/json.h>

#include <cstdio>
#include <filesystem>
#include <optional>

namespace {

constexpr size_t kMaxTableBytes = 4 * 1024 * 1024;

// A table file as it is, an empty object when there is none, or nothing when it cannot be read
// (then it is not written over: a hand-made file with a typo must not be lost).
std::optional<Json::Value> readTable(const std::string& path) {
    std::string text;
    FileRead read = ReadRegularFile(path, kMaxTableBytes, text);
    if (read == FileRead::Missing) {
        return Json::Value(Json::objectValue);
    }
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (read != FileRead::Ok || !reader->parse(text.data(), text.data() + text.size(), &root, &errors) ||
        !root.isObject()) {
        return std::nullopt;
    }
    return root;
}

std::string scalarText(const Json::Value& value) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, value);
}

// The tables in the shipped files' layout: each array entry on a line of its own.
std::string tableText(const Json::Value& table) {
    std::string out = "{\n";
    bool firstMember = true;
    for (const std::string& key : table.getMemberNames()) {
        out += (firstMember ? "    " : ",\n    ") + scalarText(Json::Value(key)) + ": ";
        firstMember = false;
        const Json::Value& value = table[key];
        if (!value.isArray()) {
            out += scalarText(value);
            continue;
        }
        out += "[";
        for (Json::ArrayIndex i = 0; i < value.size(); ++i) {
            out += i == 0 ? "\n        " : ",\n        ";
            const Json::Value& entry = value[i];
            if (!entry.isObject()) {
                out += scalarText(entry);
                continue;
            }
            out += "{ ";
            bool firstField = true;
            for (const std::string& field : entry.getMemberNames()) {
                out += (firstField ? "" : ", ") + scalarText(Json::Value(field)) + ": " +
                       scalarText(entry[field]);
                firstField = false;
            }
            out += " }";
        }
        out += value.empty() ? "]" : "\n    ]";
    }
    return out + "\n}\n";
}

// The index of the first entry of an array whose key holds the text, or -1.
int find(const Json::Value& array, const char* key, const std::string& text) {
    if (!array.isArray()) {
        return -1;
    }
    for (Json::ArrayIndex i = 0; i < array.size(); ++i) {
        if (array[i].isObject() && array[i][key].isString() && array[i][key].asString() == text) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void removeAt(Json::Value& array, int index) {
    Json::Value removed;
    array.removeIndex(static_cast<Json::ArrayIndex>(index), &removed);
}

// The map's entry in "MapArray": its theme, and a background picture of that theme. A picture
// already made for the theme is shared; a theme no map has yet gets one named after the map,
// which the next build draws.
void placeBackground(Json::Value& pictures, const std::string& name, const std::string& theme) {
    Json::Value& backgrounds = pictures["MapArray"];
    if (!backgrounds.isArray()) {
        backgrounds = Json::Value(Json::arrayValue);
    }
    int own = find(backgrounds, "MapName", name);
    if (own >= 0 && backgrounds[own]["Theme"].asString() == theme) {
        return;
    }
    std::string path = name;
    for (const Json::Value& entry : backgrounds) {
        if (entry.isObject() && entry["Theme"].asString() == theme && entry["MapName"].asString() != name &&
            entry["MapPath"].isString()) {
            path = entry["MapPath"].asString();
            break;
        }
    }
    Json::Value entry(Json::objectValue);
    entry["MapName"] = name;
    entry["MapPath"] = path;
    entry["Theme"] = theme;
    if (own >= 0) {
        backgrounds[own] = entry;
    } else {
        backgrounds.append(entry);
    }
}

bool writePreview(const MapData& map, const std::string& theme, const std::string& path, std::string& error) {
    assetgen::MapData drawn;
    drawn.loaded = true;
    drawn.name = map.name;
    drawn.previewName = map.previewName;
    drawn.cameraZoom = map.cameraZoom;
    for (const PlatformEntry& p : map.platforms) {
        drawn.platforms.push_back({p.position.x, p.position.y, p.scale.x, p.scale.y, p.rotation.z});
    }
    for (const vec3& s : map.spawnPoints) {
        drawn.spawns.push_back({s.x, s.y, s.z});
    }
    // The image writer picks the format by the extension, so the temporary name keeps ".png".
    const std::string temporary = path + ".partial.png";
    if (!assetgen::mapPreview(drawn, theme).toImage().saveToFile(temporary)) {
        error = "cannot write " + temporary;
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        error = "cannot rename " + temporary + ": " + ec.message();
        return false;
    }
    return true;
}

} // namespace

SaveFolders GameSaveFolders() {
    return {"../Resources/JsonData/", "../Resources/Texture/MainMenu/LevelSelection/"};
}

std::string PreviewNameFor(const std::string& mapName) {
    return "Preview_" + mapName;
}

SaveResult SaveMap(const SaveRequest& request, const SaveFolders& folders) {
    MapData map = request.map;
    const std::string& name = map.name;
    auto failed = [&](const std::string& why) {
        return SaveResult{SaveResult::Outcome::Failed, "Map \"" + name + "\" was not saved: " + why};
    };
    if (!IsPlainMapName(name)) {
        return failed("its name is not a plain name");
    }
    const std::string mapPath = folders.data + name + ".json";
    std::error_code ec;
    if (std::filesystem::exists(mapPath, ec) && !request.replaceExisting) {
        return {SaveResult::Outcome::NeedsConfirmation, "Map \"" + name + "\" exists: save over it?"};
    }
    std::optional<Json::Value> list = readTable(folders.data + "MapSetting.json");
    std::optional<Json::Value> pictures = readTable(folders.data + "BackgroundSetting.json");
    if (!list || !pictures) {
        return failed(std::string(!list ? "MapSetting.json" : "BackgroundSetting.json") +
                      " cannot be read, and is left as it is");
    }
    Json::Value& maps = (*list)["Map"];
    Json::Value& previews = (*pictures)["PreviewArray"];
    for (Json::Value* array : {&maps, &previews}) {
        if (!array->isArray()) {
            *array = Json::Value(Json::arrayValue);
        }
    }
    const int listed = find(maps, "MapName", name);
    if (listed < 0 || map.previewName.empty() || find(previews, "MapPreviewName", map.previewName) < 0) {
        map.previewName = PreviewNameFor(name);
    }

    std::string error;
    if (request.clean) {
        int preview = find(previews, "MapPreviewName", map.previewName);
        if (preview < 0) {
            Json::Value entry(Json::objectValue);
            entry["MapPreviewPath"] = map.previewName;
            entry["MapPreviewName"] = map.previewName;
            previews.append(entry);
            preview = static_cast<int>(previews.size()) - 1;
        }
        const std::string picture = previews[preview]["MapPreviewPath"].asString();
        if (!folders.previews.empty() &&
            !writePreview(map, request.theme, folders.previews + picture + ".png", error)) {
            return failed(error);
        }
        if (listed < 0) {
            Json::Value entry(Json::objectValue);
            entry["MapName"] = name;
            maps.append(entry);
        }
    } else if (listed >= 0) {
        removeAt(maps, listed);
        if (int preview = find(previews, "MapPreviewName", map.previewName); preview >= 0) {
            removeAt(previews, preview);
        }
    }
    placeBackground(*pictures, name, request.theme);

    if (!WriteFileReplacing(mapPath, MapFileText(map), error, request.midway) ||
        !WriteFileReplacing(folders.data + "BackgroundSetting.json", tableText(*pictures), error) ||
        !WriteFileReplacing(folders.data + "MapSetting.json", tableText(*list), error)) {
        return failed(error);
    }
    if (request.clean) {
        return {SaveResult::Outcome::Listed, "Saved map \"" + name + "\" to " + mapPath +
                                                 "; it is in the level select from the next start"};
    }
    return {SaveResult::Outcome::Draft,
            "Saved map \"" + name + "\" to " + mapPath +
                " as a draft: it stays out of the level select until its problems are mended"};
}
