#include "editor/editor_view.hpp"

#include "editor/map_document.hpp"
#include "match/arena.hpp"

#include <algorithm>
#include <cmath>

namespace {

// One wheel notch brings the view this much closer.
constexpr float kZoomPerNotch = 1.15f;

} // namespace

float EditorViewZoom(float mapZoom, bool wide) {
    if (!wide) {
        return mapZoom;
    }
    // Enough to see the border's inner edges above and below (the arena has one unit more at the
    // top) with a little room beyond; the width follows from the picture's 16:10.
    return mapZoom + 2.0f * (kDeathBorderMargin + 2.0f);
}

vec2 EditorView::toScreen(vec2 world) const {
    const float ndcX = (world.x - centre.x) / (zoom * 0.8f);
    const float ndcY = (world.y - centre.y) / (zoom * 0.5f);
    const float x =
        static_cast<float>(viewport.x) + (ndcX + 1.0f) * 0.5f * static_cast<float>(viewport.width);
    const float y =
        static_cast<float>(viewport.y) + (ndcY + 1.0f) * 0.5f * static_cast<float>(viewport.height);
    return {x, windowHeight - y};
}

vec2 EditorView::toWorld(vec2 screen) const {
    const float x =
        (screen.x - static_cast<float>(viewport.x)) / std::max(1.0f, static_cast<float>(viewport.width));
    const float y = (windowHeight - screen.y - static_cast<float>(viewport.y)) /
                    std::max(1.0f, static_cast<float>(viewport.height));
    return {centre.x + (x * 2.0f - 1.0f) * zoom * 0.8f, centre.y + (y * 2.0f - 1.0f) * zoom * 0.5f};
}

float EditorView::unitsPerPixel() const {
    return zoom / std::max(1.0f, static_cast<float>(viewport.height));
}

bool EditorView::shows(vec2 screen) const {
    const float left = static_cast<float>(viewport.x);
    const float top = windowHeight - static_cast<float>(viewport.y + viewport.height);
    // Written so a NaN fails every comparison.
    return screen.x >= left && screen.x < left + static_cast<float>(viewport.width) && screen.y >= top &&
           screen.y < top + static_cast<float>(viewport.height);
}

EditorFraming ZoomFraming(EditorFraming framing, const EditorView& view, vec2 screen, float notches) {
    if (!std::isfinite(notches) || !view.shows(screen)) {
        return framing;
    }
    const float scale =
        std::clamp(framing.scale * std::pow(kZoomPerNotch, -notches), kMinFramingScale, kMaxFramingScale);
    const vec2 under = view.toWorld(screen);
    // The point under the mouse keeps its place: the centre moves towards it as the view closes in.
    const float ratio = scale / framing.scale;
    framing.centre = under + (framing.centre - under) * ratio;
    framing.scale = scale;
    return framing;
}

EditorFraming PanFraming(EditorFraming framing, const EditorView& view, vec2 screenDrag) {
    if (!std::isfinite(screenDrag.x) || !std::isfinite(screenDrag.y)) {
        return framing;
    }
    const float unit = view.unitsPerPixel();
    const vec2 centre = framing.centre + vec2{-screenDrag.x * unit, screenDrag.y * unit};
    // Panning stops where the map's pieces may go.
    framing.centre = {std::clamp(centre.x, -kMaxMapCoordinate, kMaxMapCoordinate),
                      std::clamp(centre.y, -kMaxMapCoordinate, kMaxMapCoordinate)};
    return framing;
}

vec2 PlacingPoint(const EditorView& view, std::optional<vec2> mouse) {
    return mouse && view.shows(*mouse) ? view.toWorld(*mouse) : view.centre;
}
