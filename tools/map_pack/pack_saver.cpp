#include "tools/map_pack/pack_saver.hpp"

#include "editor/map_file.hpp"
#include "editor/map_saver.hpp"
#include "platform/file_read.hpp"
#include "platform/file_write.hpp"

#include <json/json.h>

#include <memory>
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

} // namespace

bool SaveIntoDataFolder(const MapData& original, const std::string& theme, bool clean,
                        const std::string& dataFolder, std::string& message) {
    MapData map = original;
    const std::string& name = map.name;
    std::optional<Json::Value> list = readTable(dataFolder + "MapSetting.json");
    std::optional<Json::Value> pictures = readTable(dataFolder + "BackgroundSetting.json");
    if (!list || !pictures) {
        message = "Map \"" + name +
                  "\" was not saved: " + (!list ? "MapSetting.json" : "BackgroundSetting.json") +
                  " cannot be read, and is left as it is";
        return false;
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
    if (clean) {
        if (find(previews, "MapPreviewName", map.previewName) < 0) {
            Json::Value entry(Json::objectValue);
            entry["MapPreviewPath"] = map.previewName;
            entry["MapPreviewName"] = map.previewName;
            previews.append(entry);
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
    placeBackground(*pictures, name, theme);

    std::string error;
    const std::string mapPath = dataFolder + name + ".json";
    if (!WriteFileReplacing(mapPath, MapFileText(map), error) ||
        !WriteFileReplacing(dataFolder + "BackgroundSetting.json", tableText(*pictures), error) ||
        !WriteFileReplacing(dataFolder + "MapSetting.json", tableText(*list), error)) {
        message = "Map \"" + name + "\" was not saved: " + error;
        return false;
    }
    message = "Saved map \"" + name + "\" to " + mapPath + (clean ? "" : " as a draft, out of the map list");
    return clean;
}
