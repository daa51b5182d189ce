#pragma once

// How the editor frames the arena, and where a point of the world is in the window. The match's
// own framing shows what the players will see; the wide one adds the death border around it.
// The player may pan and zoom the editor's view (EditorFraming) without touching the map's own
// camera zoom.

#include "engine/engine.hpp"
#include "objects/math_types.hpp"

#include <optional>

// The zoom the editor shows a map at.
float EditorViewZoom(float mapZoom, bool wide);

struct EditorView {
    float zoom = 30.0f; // the camera's visible height in world units
    vec2 centre;        // the world point at the middle of the picture
    Viewport viewport;  // the letterboxed picture, from the window's bottom-left as OpenGL has it
    float windowHeight = 0.0f;

    // Window pixels, from the top-left corner as the mouse reports them.
    vec2 toScreen(vec2 world) const;
    vec2 toWorld(vec2 screen) const;
    // World units per window pixel.
    float unitsPerPixel() const;
    // Whether a window pixel lies in the picture (false for anything not finite).
    bool shows(vec2 screen) const;
};

// The player's own pan and zoom of the editor's view.
struct EditorFraming {
    vec2 centre;
    float scale = 1.0f; // the visible height as a share of the map's framing: below 1 is closer
};
constexpr float kMinFramingScale = 0.25f;
constexpr float kMaxFramingScale = 4.0f;

// Zoomed by wheel notches (up is closer) about a window pixel, which stays over the same point
// of the world.
EditorFraming ZoomFraming(EditorFraming framing, const EditorView& view, vec2 screen, float notches);
// Panned so the world follows a drag of the mouse by that many window pixels.
EditorFraming PanFraming(EditorFraming framing, const EditorView& view, vec2 screenDrag);

// Where a key that places a piece puts it: under the mouse while the mouse is over the picture,
// else at the middle of the view (before the mouse first moves, the window knows no place for it).
vec2 PlacingPoint(const EditorView& view, std::optional<vec2> mouse);
