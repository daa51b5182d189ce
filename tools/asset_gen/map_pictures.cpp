// Pictures that follow from the map data: each map's background and its level-select preview.
#include "tools/asset_gen/makers.hpp"
#include "tools/asset_gen/manifest.hpp"

#include <algorithm>
#include <map>

namespace assetgen {

namespace {

constexpr int kPreviewWidth = 500;
constexpr int kPreviewHeight = 300;

std::string themeOf(const MapSet& set, const std::string& mapName) {
    for (const BackgroundEntry& b : set.backgrounds) {
        if (b.mapName == mapName) {
            return b.theme;
        }
    }
    return "";
}

// The arena as the match camera frames it: platforms as the game draws them and the spawn points.
void drawPreview(Canvas& c, const MapData& map, const std::string& theme) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    makeArenaBackground(c, theme);
    float zoom = map.cameraZoom > 0 ? map.cameraZoom : 30.0f;
    float scale = std::min(w / (1.6f * zoom), h / zoom);
    auto at = [&](float x, float y) { return Vec2{w / 2 + x * scale, h / 2 - y * scale}; };
    for (const PlatformData& p : map.platforms) {
        Vec2 centre = at(p.x, p.y);
        fillShape(c, box(centre, {p.width * scale / 2, p.height * scale / 2}, 0, p.degrees), kInk);
        Look plate;
        plate.fillAt = verticalGradient(rgb(0xfffdf6), rgb(0xe4ddd0), centre.y - p.height * scale / 2,
                                        centre.y + p.height * scale / 2);
        paint(c, box(centre, {(p.width - 0.5f) * scale / 2, (p.height - 0.5f) * scale / 2}, 0, p.degrees),
              plate);
    }
    for (size_t i = 0; i < map.spawns.size(); ++i) {
        Vec2 p = at(map.spawns[i].x, map.spawns[i].y);
        Rgba colour = i < 4 ? kPlayerColours[i] : rgb(0xb8b2c8);
        paint(c, circle(p, scale * 0.75f), toon(colour, 3, scale * 0.2f));
    }
    fillShape(c,
              subtract(box({w / 2, h / 2}, {w / 2, h / 2}), box({w / 2, h / 2}, {w / 2 - 6, h / 2 - 6}, 10)),
              kInk);
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
            MapData map = *owner;
            std::string theme = themeOf(set, map.name);
            out.push_back({path, kPreviewWidth, kPreviewHeight, 1, 20.0f / 12.0f, false,
                           [map, theme](Canvas& c) { drawPreview(c, map, theme); }});
        } else {
            out.push_back({path, kPreviewWidth, kPreviewHeight, 1, 20.0f / 12.0f, false,
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

Canvas mapPreview(const MapData& map, const std::string& theme) {
    Canvas c(kPreviewWidth, kPreviewHeight);
    drawPreview(c, map, theme);
    return c;
}

} // namespace assetgen
