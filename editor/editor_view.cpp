#include "editor/editor_view.hpp"

#include "match/arena.hpp"

#include <algorithm>

float EditorViewZoom(float mapZoom, bool wide) {
    if (!wide) {
        return mapZoom;
    }
    // Enough to see the border's inner edges above and below (the arena has one unit more at the
    // top) with a little room beyond; the width follows from the picture's 16:10.
    return mapZoom + 2.0f * (kDeathBorderMargin + 2.0f);
}

vec2 EditorView::toScreen(vec2 world) const {
    const float ndcX = world.x / (zoom * 0.8f);
    const float ndcY = world.y / (zoom * 0.5f);
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
    return {(x * 2.0f - 1.0f) * zoom * 0.8f, (y * 2.0f - 1.0f) * zoom * 0.5f};
}

float EditorView::unitsPerPixel() const {
    return zoom / std::max(1.0f, static_cast<float>(viewport.height));
}
