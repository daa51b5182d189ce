#include "editor/player_maps.hpp"

#include "editor/map_file.hpp"
#include "editor/map_saver.hpp"
#include "objects/map_file_reader.hpp"
#include "objects/map_names.hpp"
#include "platform/file_read.hpp"
#include "platform/file_write.hpp"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxPreviewBytes = 16 * 1024 * 1024;

} // namespace

MapFileChange RenamePlayerMap(const std::string& from, const std::string& to, const MapCatalogue& maps) {
    auto refused = [&](const std::string& why) {
        return MapFileChange{false, "Map \"" + from + "\" was not renamed: " + why};
    };
    const PlayerMapFile* file = maps.playerFile(from);
    if (file == nullptr) {
        return refused("it is not one of your maps");
    }
    if (std::string why = SaveNameRefusal(to, maps); !why.empty()) {
        return refused(why);
    }
    const auto& others = maps.playerFiles();
    if (std::any_of(others.begin(), others.end(),
                    [&](const PlayerMapFile& f) { return f.name != from && SameMapName(f.name, to); })) {
        return refused("another of your maps is called \"" + to + "\"");
    }
    MapFileReading reading = ReadMapFile(file->file);
    if (!reading.clean()) {
        return refused("its file does not read cleanly, so it can only be deleted");
    }
    reading.map.name = to;
    reading.map.previewName = PreviewNameFor(to);
    std::string preview;
    if (ReadRegularFile(file->preview, kMaxPreviewBytes, preview) != FileRead::Ok) {
        preview = MapPreviewPng(reading.map, reading.theme);
    }
    const std::string mapPath = maps.playerFolder() + to + ".json";
    const std::string previewPath = maps.playerFolder() + to + ".png";
    std::string why;
    if (!WriteFilesReplacing(
            {{previewPath, preview}, {mapPath, MapFileText(reading.map, reading.theme, reading.draft)}},
            why)) {
        return refused(why);
    }
    // Only the case changed, on a disk that ignores case: the new files are the old ones.
    std::error_code error;
    for (const auto& [old, now] : {std::pair{file->file, mapPath}, std::pair{file->preview, previewPath}}) {
        if (!fs::equivalent(old, now, error)) {
            fs::remove(old, error);
        }
    }
    return {true, "Renamed map \"" + from + "\" to \"" + to + "\" (" + mapPath + ")"};
}

MapFileChange DeletePlayerMap(const std::string& name, const MapCatalogue& maps) {
    const PlayerMapFile* file = maps.playerFile(name);
    if (file == nullptr) {
        return {false, "Map \"" + name + "\" was not deleted: it is not one of your maps"};
    }
    std::error_code error;
    fs::remove(file->file, error);
    if (error) {
        return {false, "Map \"" + name + "\" was not deleted: " + file->file + ": " + error.message()};
    }
    fs::remove(file->preview, error);
    return {true, "Deleted map \"" + name + "\" (" + file->file + " and its preview)"};
}
