#pragma once

// The grid the editor's mouse snaps to (on by default, G toggles it): a new piece placed at the
// mouse, a piece dragged to a new place (the one grabbed lands on the grid and the others keep
// their places relative to it) and the side a handle stretches. Nudges by the arrow keys, turns
// and the panel's fields are exact numbers and do not snap.

#include "objects/math_types.hpp"

constexpr float kGridStep = 0.5f;

struct EditorGrid {
    bool on = true;
    float step = kGridStep;

    // The nearest grid point; the point itself with the grid off.
    vec2 snap(vec2 at) const;
    // A length rounded to whole steps, never below one step; the length itself with the grid off.
    float snapLength(float length) const;
};
