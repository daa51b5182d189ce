// Pictures that follow from the map data: each map's background and its level-select preview.
#include "drawing/map_preview.hpp"
#include "tools/asset_gen/makers.hpp"
#include "tools/asset_gen/manifest.hpp"

#include <algorithm>
#include <map>

namespace assetgen {

namespace {

std::string themeOf(const MapSet& set, const std::string& mapName) {
    for (const BackgroundEntry& b : set.backgrounds) {
        if (b.mapName == mapName) {
            return b.theme;
        }
    }
    return "";
}

// The map as the preview drawing takes it.
PreviewMap previewOf(const MapData& map) {
    PreviewMap out;
    out.cameraZoom = map.cameraZoom;
    for (const PlatformData& p : map.platforms) {
        out.platforms.push_back({p.x, p.y, p.width, p.height, p.degrees});
    }
    for (const SpawnData& s : map.spawns) {
        out.spawns.push_back({s.x, s.y});
    }
    return out;
}

} // namespace

std::vector<PictureEntry> mapPictures(const MapSet& set) {
    std::vector<PictureEntry> out;
    for (const BackgroundEntry& b : set.backgrounds) {
        if (b.path.empty()) {
            continue;
        }
        std::string theme = b.theme;
        // Drawn 1.75 x 1.1 of the camera's view: 1400 x 880 pixels on a 1280 x 800 window.
        out.push_back({"Texture/BG/" + b.path + ".png", 1400, 880, 1, 1.75f / 1.1f, false,
                       [theme](Canvas& c) { makeArenaBackground(c, theme); }});
    }
    // The level select shows a map with the texture its file names ("MapPreviewName"), so each
    // preview pictures the map that names it; failing that, the map at the same place in the list.
    for (size_t i = 0; i < set.previews.size(); ++i) {
        const PreviewEntry& p = set.previews[i];
        if (p.path.empty()) {
            continue;
        }
        std::string path = "Texture/MainMenu/LevelSelection/" + p.path + ".png";
        const MapData* owner = nullptr;
        for (const MapData& m : set.maps) {
            if (m.loaded && !p.name.empty() && m.previewName == p.name) {
                owner = &m;
                break;
            }
        }
        if (!owner && i < set.maps.size() && set.maps[i].loaded) {
            owner = &set.maps[i];
        }
        if (owner) {
            PreviewMap map = previewOf(*owner);
            std::string theme = themeOf(set, owner->name);
            out.push_back({path, kMapPreviewWidth, kMapPreviewHeight, 1, 20.0f / 12.0f, false,
                           [map, theme](Canvas& c) { drawMapPreview(c, map, theme); }});
        } else {
            out.push_back({path, kMapPreviewWidth, kMapPreviewHeight, 1, 20.0f / 12.0f, false,
                           [](Canvas& c) { makeCustomMapPreview(c, "CUSTOM"); }});
        }
    }
    return out;
}

std::vector<PictureEntry> allPictures(const MapSet& set) {
    std::vector<PictureEntry> fixed = fixedPictures();
    std::vector<PictureEntry> maps = mapPictures(set);
    // A map picture at a fixed path (the first previews are "Map1" and "Map2") replaces the stand-in.
    std::map<std::string, size_t> index;
    for (size_t i = 0; i < fixed.size(); ++i) {
        index[fixed[i].path] = i;
    }
    for (PictureEntry& m : maps) {
        auto it = index.find(m.path);
        if (it != index.end()) {
            fixed[it->second] = std::move(m);
        } else {
            index[m.path] = fixed.size();
            fixed.push_back(std::move(m));
        }
    }
    return fixed;
}

} // namespace assetgen
