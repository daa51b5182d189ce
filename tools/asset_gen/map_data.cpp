#include "tools/asset_gen/map_data.hpp"

#include <json/json.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace assetgen {

namespace {

// Parses one file; a missing or broken file adds one line to problems and gives null.
Json::Value readJson(const std::string& path, std::vector<std::string>& problems) {
    std::ifstream in(path);
    if (!in) {
        problems.push_back("asset_gen: cannot open " + path);
        return Json::Value();
    }
    Json::CharReaderBuilder builder;
    Json::Value root;
    std::string errors;
    if (!Json::parseFromStream(builder, in, &root, &errors)) {
        // The reader's report spans lines; one line is kept.
        std::string line;
        for (char ch : errors) {
            if (ch == '\n' || ch == '\t') {
                ch = ' ';
            }
            if (!(ch == ' ' && (line.empty() || line.back() == ' '))) {
                line += ch;
            }
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        problems.push_back("asset_gen: " + path + " is not valid JSON: " + line);
        return Json::Value();
    }
    if (!root.isObject()) {
        problems.push_back("asset_gen: " + path + " does not hold a JSON object");
        return Json::Value();
    }
    return root;
}

float number(const Json::Value& v) {
    return v.isNumeric() ? v.asFloat() : 0.0f;
}
std::string text(const Json::Value& v) {
    return v.isString() ? v.asString() : "";
}

// Elements of an array, or the members of an object in key order (both are accepted).
std::vector<Json::Value> entries(const Json::Value& v) {
    std::vector<Json::Value> out;
    if (v.isArray() || v.isObject()) {
        for (const Json::Value& e : v) {
            out.push_back(e);
        }
    }
    return out;
}

float element(const Json::Value& array, Json::ArrayIndex i) {
    return array.isArray() && i < array.size() ? number(array[i]) : 0.0f;
}

MapData readMap(const std::string& dir, const std::string& file, std::vector<std::string>& problems) {
    MapData map;
    map.file = file;
    Json::Value root = readJson(dir + "/" + file + ".json", problems);
    if (root.isNull()) {
        return map;
    }
    map.loaded = true;
    map.name = text(root["MapName"]);
    map.previewName = text(root["MapPreviewName"]);
    map.cameraZoom = number(root["CameraZoom"]);
    for (const Json::Value& o : entries(root["Object"])) {
        if (!o.isObject()) {
            continue;
        }
        std::string kind = text(o["ObjName"]);
        const Json::Value& pos = o["Position"];
        if (kind == "Platform") {
            map.platforms.push_back({element(pos, 0), element(pos, 1), element(o["Scale"], 0),
                                     element(o["Scale"], 1), element(o["Rotation"], 2)});
        } else if (kind == "SpawnPoint") {
            map.spawns.push_back({element(pos, 0), element(pos, 1), element(pos, 2)});
        }
    }
    return map;
}

} // namespace

MapSet loadMapSet(const std::string& dir) {
    MapSet set;
    Json::Value list = readJson(dir + "/MapSetting.json", set.problems);
    for (const Json::Value& entry : entries(list["Map"])) {
        if (!entry.isObject()) {
            set.problems.push_back("asset_gen: MapSetting.json has a map entry that is not an object");
            continue;
        }
        std::string file = text(entry["MapName"]);
        if (file.empty()) {
            set.problems.push_back("asset_gen: MapSetting.json has a map entry without a \"MapName\"");
            continue;
        }
        set.maps.push_back(readMap(dir, file, set.problems));
    }
    Json::Value pictures = readJson(dir + "/BackgroundSetting.json", set.problems);
    for (const Json::Value& e : entries(pictures["MapArray"])) {
        if (!e.isObject()) {
            set.problems.push_back(
                "asset_gen: BackgroundSetting.json has a \"MapArray\" entry that is not an object");
            continue;
        }
        set.backgrounds.push_back({text(e["MapName"]), text(e["MapPath"]), text(e["Theme"])});
    }
    for (const Json::Value& e : entries(pictures["PreviewArray"])) {
        if (!e.isObject()) {
            set.problems.push_back(
                "asset_gen: BackgroundSetting.json has a \"PreviewArray\" entry that is not an object");
            continue;
        }
        set.previews.push_back({text(e["MapPreviewPath"]), text(e["MapPreviewName"])});
    }
    return set;
}

Surface surfaceAt(const PlatformData& p, float x) {
    float a = p.degrees * 3.14159265f / 180.0f;
    float c = std::cos(a), s = std::sin(a);
    // The upper face runs between the two top corners of the rotated box.
    float hx = p.width / 2, hy = p.height / 2;
    float x0 = p.x - hx * c - hy * s, y0 = p.y - hx * s + hy * c;
    float x1 = p.x + hx * c - hy * s, y1 = p.y + hx * s + hy * c;
    if (x < std::min(x0, x1) || x > std::max(x0, x1) || std::fabs(x1 - x0) < 1e-6f) {
        return {};
    }
    return {true, y0 + (y1 - y0) * (x - x0) / (x1 - x0)};
}

} // namespace assetgen
