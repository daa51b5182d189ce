#pragma once

// The arena of a map as the match builds it: the camera framing, the swirling background, the
// platforms and the death border around the area the camera zoom gives. The match and the map
// editor build it with the same code, so the editor shows what the match shows.

#include "gameplay/object_factory.hpp"
#include "objects/json_data.hpp"

class Camera;
class GameObject;

// The death border stands this far outside the arena bounds and is this thick.
constexpr float kDeathBorderMargin = 5.0f;
constexpr float kDeathBorderThickness = 100.0f;

// The arena bounds a camera zoom gives: the view's width and height, with one unit more above.
struct ArenaBounds {
    float top = 0.0f;
    float bottom = 0.0f;
    float left = 0.0f;
    float right = 0.0f;
};
ArenaBounds ArenaBoundsFor(float cameraZoom);

// Frames the camera on the map, fits the background object (when there is one) to the zoom with
// its swirl, and makes the platforms and the death border. Returns the border.
DeathBorder BuildArena(Camera& camera, const MapData& map, GameObject* background);
