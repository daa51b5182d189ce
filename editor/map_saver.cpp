#include "editor/map_saver.hpp"

#include "drawing/map_preview.hpp"
#include "editor/map_file.hpp"
#include "objects/map_file_reader.hpp"
#include "objects/map_names.hpp"
#include "platform/file_read.hpp"
#include "platform/file_write.hpp"

#include <SFML/Graphics/Image.hpp>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Far above a map file or a preview; a larger file read back is not what was written.
constexpr size_t kMaxReadBack = 16 * 1024 * 1024;

// The question before a save over an existing file: a damaged one says all of it goes.
std::string replaceQuestion(const std::string& name, const std::string& path) {
    const MapFileReading existing = ReadMapFile(path);
    if (existing.clean()) {
        return "Map \"" + name + "\" exists: save over it?";
    }
    std::error_code error;
    const auto bytes = fs::file_size(path, error);
    std::string problems;
    for (size_t i = 0; i < existing.problems.size() && i < 3; ++i) {
        problems += (i > 0 ? "; " : "") + existing.problems[i];
    }
    return "Your map file " + path + " does not read cleanly (" + problems + "): saving replaces all " +
           (error ? std::string("of it") : std::to_string(bytes) + " bytes of it") +
           " with this map, and what it held is lost. Save over it?";
}

// Whether the file holds exactly these bytes.
bool holds(const std::string& path, const std::string& bytes, std::string& text) {
    return ReadRegularFile(path, kMaxReadBack, text) == FileRead::Ok && text == bytes;
}

} // namespace

std::string PreviewNameFor(const std::string& mapName) {
    return "Preview_" + mapName;
}

std::string MapPreviewPng(const MapData& map, const std::string& theme) {
    drawing::PreviewMap drawn;
    drawn.cameraZoom = map.cameraZoom;
    for (const PlatformEntry& p : map.platforms) {
        drawn.platforms.push_back({p.position.x, p.position.y, p.scale.x, p.scale.y, p.rotation.z});
    }
    for (const vec3& s : map.spawnPoints) {
        drawn.spawns.push_back({s.x, s.y});
    }
    return drawing::mapPreview(drawn, theme).toPng();
}

std::string SaveNameRefusal(const std::string& name, const MapCatalogue& maps) {
    if (!IsPlainMapName(name)) {
        return "\"" + name + "\" is not a plain name: a letter, then letters, digits, _ or -, " +
               std::to_string(kMaxMapNameLength) + " at most";
    }
    return maps.nameRefusal(name);
}

SaveResult SaveMap(const SaveRequest& request, const MapCatalogue& maps) {
    MapData map = request.map;
    const std::string& name = map.name;
    auto failed = [&](const std::string& why) {
        return SaveResult{SaveResult::Outcome::Failed, "Map \"" + name + "\" was not saved: " + why};
    };
    if (std::string refusal = SaveNameRefusal(name, maps); !refusal.empty()) {
        return failed(refusal);
    }
    const std::string& folder = maps.playerFolder();
    if (folder.empty()) {
        return failed(
            "there is no folder for your maps (neither XDG_DATA_HOME nor HOME is an absolute path)");
    }
    const std::string mapPath = folder + name + ".json";
    const std::string previewPath = folder + name + ".png";
    std::error_code error;
    if (fs::exists(mapPath, error) && !request.replaceExisting) {
        return {SaveResult::Outcome::NeedsConfirmation, replaceQuestion(name, mapPath)};
    }
    map.previewName = PreviewNameFor(name);
    const std::string text = MapFileText(map, request.theme, !request.clean);
    const std::string preview = MapPreviewPng(map, request.theme);
    if (preview.empty()) {
        return failed("its preview picture could not be drawn");
    }
    fs::create_directories(folder, error);
    if (error) {
        return failed("cannot make the folder " + folder + ": " + error.message());
    }
    // The preview first: the map file, once in place, never names a picture that is not there.
    std::string why;
    if (!WriteFilesReplacing({{previewPath, preview}, {mapPath, text}}, why, request.midway)) {
        return failed(why);
    }
    // What is on the disk now, not what was meant to be: a map that reads back whole, and a
    // picture that decodes at the preview's size.
    std::string mapBack, previewBack;
    sf::Image picture;
    if (!holds(mapPath, text, mapBack) || !ReadMapText(mapBack).clean() ||
        !holds(previewPath, preview, previewBack) ||
        !picture.loadFromMemory(previewBack.data(), previewBack.size()) ||
        picture.getSize() != sf::Vector2u(drawing::kMapPreviewWidth, drawing::kMapPreviewHeight)) {
        return failed("what was written to " + folder + " does not read back the same");
    }
    if (request.clean) {
        return {SaveResult::Outcome::Listed, "Saved map \"" + name + "\" to " + mapPath +
                                                 "; it is in the level select from the next start"};
    }
    return {SaveResult::Outcome::Draft,
            "Saved map \"" + name + "\" to " + mapPath +
                " as a draft: it stays out of the level select until its problems are mended"};
}
