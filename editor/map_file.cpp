#include "editor/map_file.hpp"

#include <json/json.h>

#include <cmath>
#include <cstdio>

namespace {

std::string quoted(const std::string& text) {
    // The JSON writer escapes what a name could hold.
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, Json::Value(text));
}

std::string numbers(std::initializer_list<float> values) {
    std::string out = "[";
    for (float v : values) {
        out += (out.size() > 1 ? ", " : "") + MapNumber(v);
    }
    return out + "]";
}

} // namespace

float OnMapGrid(float value) {
    // Whole hundredths divided once: the same float the file's text reads back as.
    return static_cast<float>(std::round(static_cast<double>(value) * 100.0) / 100.0);
}

std::string MapNumber(float value) {
    char text[48];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(OnMapGrid(value)));
    std::string out = text;
    while (out.back() == '0') {
        out.pop_back();
    }
    if (out.back() == '.') {
        out.pop_back();
    }
    return out == "-0" ? "0" : out;
}

std::string MapFileText(const MapData& map, const std::string& theme, bool draft) {
    std::string out = "{\n";
    out += "    \"MapName\": " + quoted(map.name) + ",\n";
    out += "    \"MapPreviewName\": " + quoted(map.previewName) + ",\n";
    out += "    \"CameraZoom\": " + MapNumber(map.cameraZoom) + ",\n";
    if (!theme.empty()) {
        out += "    \"Theme\": " + quoted(theme) + ",\n";
    }
    if (draft) {
        out += "    \"Draft\": true,\n";
    }
    out += "    \"Object\": [";
    bool first = true;
    auto entry = [&](const std::string& line) {
        out += (first ? "\n        " : ",\n        ") + line;
        first = false;
    };
    for (const PlatformEntry& p : map.platforms) {
        entry("{ \"ObjName\": \"Platform\", \"Position\": " + numbers({p.position.x, p.position.y}) +
              ", \"Rotation\": " + numbers({p.rotation.x, p.rotation.y, p.rotation.z}) +
              ", \"Scale\": " + numbers({p.scale.x, p.scale.y, p.scale.z}) + " }");
    }
    for (const vec3& s : map.spawnPoints) {
        entry("{ \"ObjName\": \"SpawnPoint\", \"Position\": " + numbers({s.x, s.y, s.z}) + " }");
    }
    out += first ? "]\n}\n" : "\n    ]\n}\n";
    return out;
}
