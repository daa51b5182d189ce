#include "editor/editor_grid.hpp"

#include <algorithm>
#include <cmath>

vec2 EditorGrid::snap(vec2 at) const {
    if (!on) {
        return at;
    }
    return {std::round(at.x / step) * step, std::round(at.y / step) * step};
}

float EditorGrid::snapLength(float length) const {
    if (!on) {
        return length;
    }
    return std::max(step, std::round(length / step) * step);
}
