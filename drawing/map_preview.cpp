#include "drawing/map_preview.hpp"

#include "drawing/arena_background.hpp"
#include "drawing/paint.hpp"

#include <algorithm>

namespace drawing {

void drawMapPreview(Canvas& c, const PreviewMap& map, const std::string& theme) {
    float w = static_cast<float>(c.width()), h = static_cast<float>(c.height());
    makeArenaBackground(c, theme);
    float zoom = map.cameraZoom > 0 ? map.cameraZoom : 30.0f;
    float scale = std::min(w / (1.6f * zoom), h / zoom);
    auto at = [&](float x, float y) { return Vec2{w / 2 + x * scale, h / 2 - y * scale}; };
    for (const PreviewPlatform& p : map.platforms) {
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

Canvas mapPreview(const PreviewMap& map, const std::string& theme) {
    Canvas c(kMapPreviewWidth, kMapPreviewHeight);
    drawMapPreview(c, map, theme);
    return c;
}

} // namespace drawing
