#pragma once

// How the editor frames the arena, and where a point of the world is in the window. The match's
// own framing shows what the players will see; the wide one adds the death border around it.

#include "engine/engine.hpp"
#include "objects/math_types.hpp"

// The zoom the editor shows a map at.
float EditorViewZoom(float mapZoom, bool wide);

struct EditorView {
    float zoom = 30.0f; // the camera's visible height in world units; the camera sits at the origin
    Viewport viewport;  // the letterboxed picture, from the window's bottom-left as OpenGL has it
    float windowHeight = 0.0f;

    // Window pixels, from the top-left corner as the mouse reports them.
    vec2 toScreen(vec2 world) const;
    vec2 toWorld(vec2 screen) const;
    // World units per window pixel.
    float unitsPerPixel() const;
};
