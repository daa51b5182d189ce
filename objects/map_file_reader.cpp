#include "objects/map_file_reader.hpp"

#include "platform/file_read.hpp"

#include <cmath>
#include <memory>

namespace {

// A line names this many problems, then counts the rest.
constexpr size_t kProblemsShown = 4;

bool usableNumber(const Json::Value& v) {
    return v.isNumeric() && std::isfinite(v.asDouble()) && std::fabs(v.asDouble()) <= kMaxDataMagnitude;
}

// An array of count numbers (or of any count in [least, most]), each usable and, when positive
// is set, above zero.
bool numbers(const Json::Value& v, Json::ArrayIndex least, Json::ArrayIndex most, bool positive = false) {
    if (!v.isArray() || v.size() < least || v.size() > most) {
        return false;
    }
    for (const Json::Value& n : v) {
        if (!usableNumber(n) || (positive && n.asDouble() <= 0.0)) {
            return false;
        }
    }
    return true;
}

// The reader's messages ("* Line 1, Column 74\n  Missing ...\n" each) on one line.
std::string oneLine(const std::string& errors) {
    std::string out;
    for (size_t i = 0; i < errors.size(); ++i) {
        if (errors.compare(i, 3, "\n  ") == 0) {
            out += ": ";
            i += 2;
        } else if (errors[i] == '\n') {
            out += i + 1 < errors.size() ? "; " : "";
        } else if (errors.compare(i, 2, "* ") != 0 && !(i > 0 && errors[i - 1] == '*' && errors[i] == ' ')) {
            out += errors[i];
        }
    }
    return out.size() > 120 ? out.substr(0, 117) + "..." : out;
}

void checkObject(const Json::Value& entry, size_t index, size_t& platforms, size_t& spawns,
                 std::vector<std::string>& problems) {
    const std::string which = "object " + std::to_string(index + 1);
    if (!entry.isObject()) {
        problems.push_back(which + " is not an object");
        return;
    }
    const Json::Value& kind = entry["ObjName"];
    if (!kind.isString()) {
        problems.push_back(which + " has no ObjName");
        return;
    }
    if (kind.asString() == "Platform") {
        const std::string platform = "platform " + std::to_string(++platforms);
        if (!numbers(entry["Position"], 2, 3)) {
            problems.push_back(platform + (entry.isMember("Position") ? "'s Position is not 2 or 3 numbers"
                                                                      : " has no Position"));
        }
        if (!numbers(entry["Rotation"], 3, 3)) {
            problems.push_back(platform + (entry.isMember("Rotation") ? "'s Rotation is not 3 numbers"
                                                                      : " has no Rotation"));
        }
        if (!numbers(entry["Scale"], 3, 3, true)) {
            problems.push_back(platform + (entry.isMember("Scale") ? "'s Scale is not 3 numbers above zero"
                                                                   : " has no Scale"));
        }
    } else if (kind.asString() == "SpawnPoint") {
        const std::string spawn = "spawn point " + std::to_string(++spawns);
        if (!numbers(entry["Position"], 2, 3)) {
            problems.push_back(spawn + (entry.isMember("Position") ? "'s Position is not 2 or 3 numbers"
                                                                   : " has no Position"));
        }
    } else {
        problems.push_back(which + " is a \"" + kind.asString() + "\", neither a Platform nor a SpawnPoint");
    }
}

void checkMap(const Json::Value& root, MapFileReading& out) {
    std::vector<std::string>& problems = out.problems;
    if (!root.isObject()) {
        problems.push_back("it is not a JSON object");
        return;
    }
    if (!root["MapName"].isString()) {
        problems.push_back(root.isMember("MapName") ? "MapName is not text" : "it has no MapName");
    }
    if (root.isMember("MapPreviewName") && !root["MapPreviewName"].isString()) {
        problems.push_back("MapPreviewName is not text");
    }
    const Json::Value& zoom = root["CameraZoom"];
    if (!root.isMember("CameraZoom")) {
        problems.push_back("it has no CameraZoom");
    } else if (!usableNumber(zoom) || zoom.asDouble() <= 0.0) {
        problems.push_back("CameraZoom is not a number above zero");
    }
    if (root.isMember("Theme") && !root["Theme"].isString()) {
        problems.push_back("Theme is not text");
    }
    if (root.isMember("Draft") && !root["Draft"].isBool()) {
        problems.push_back("Draft is neither true nor false");
    }
    const Json::Value& objects = root["Object"];
    if (!objects.isArray()) {
        problems.push_back(root.isMember("Object") ? "Object is not a list" : "it has no Object list");
        return;
    }
    size_t platforms = 0, spawns = 0;
    for (Json::ArrayIndex i = 0; i < objects.size(); ++i) {
        checkObject(objects[i], i, platforms, spawns, problems);
    }
    if (platforms > kMaxMapPlatforms) {
        problems.push_back("more than " + std::to_string(kMaxMapPlatforms) + " platforms");
    }
    if (spawns > kMaxMapSpawnPoints) {
        problems.push_back("more than " + std::to_string(kMaxMapSpawnPoints) + " spawn points");
    }
}

} // namespace

MapFileReading ReadMapText(const std::string& text) {
    MapFileReading out;
    Json::Value root;
    std::string errors;
    if (!parseJsonQuietly(text, true, root, errors)) {
        out.problems.push_back(text.empty() ? "it is empty"
                                            : "it is not whole JSON (" + oneLine(errors) + ")");
        return out;
    }
    checkMap(root, out);
    if (!out.clean()) {
        return out;
    }
    out.map = readMapData(root);
    out.theme = root["Theme"].asString();
    out.draft = root["Draft"].asBool();
    return out;
}

MapFileReading ReadMapFile(const std::string& path) {
    std::string text;
    const FileRead read = ReadRegularFile(path, kMaxDataFileBytes, text);
    if (read != FileRead::Ok) {
        MapFileReading out;
        out.problems.push_back(std::string("it is ") + DescribeFileRead(read));
        return out;
    }
    return ReadMapText(text);
}

std::string MapFileProblemsLine(const std::string& path, const std::vector<std::string>& problems) {
    std::string line = "Map file " + path + " does not read cleanly: ";
    for (size_t i = 0; i < problems.size() && i < kProblemsShown; ++i) {
        line += (i > 0 ? "; " : "") + problems[i];
    }
    if (problems.size() > kProblemsShown) {
        line += "; and " + std::to_string(problems.size() - kProblemsShown) + " more";
    }
    return line;
}
