#pragma once

// The arena of a map as the match builds it: the camera framing, the swirling background, the
// platforms and the death border around the area the camera zoom gives. The match and the map
// editor build it with the same code, so the editor shows what the match shows.

#include "gameplay/object_factory.hpp"
#include "objects/json_data.hpp"

class Camera;
class GameObject;

// A picture by the name the game draws it with, and its file.
struct TextureFile {
    const char* name;
    const char* path;
};

// The pictures the arena's platforms draw with: the rim, the plate and the crack maps by aspect
// ratio. Whoever builds an arena loads them first.
inline constexpr TextureFile kArenaTextures[] = {
    {"BlackBoxSprite", "../Resources/Texture/blackbox.png"},
    {"BoxSprite", "../Resources/Texture/box.png"},
    {"10-1RatioNormal-Crack", "../Resources/Texture/Shaders/10-1RatioCrackTexture.png"},
    {"20-3RatioNormal-Crack", "../Resources/Texture/Shaders/20-3RatioCrackTexture.png"},
    {"6-1RatioNormal-Crack", "../Resources/Texture/Shaders/6-1RatioCrackTexture.png"},
    {"5-1RatioNormal-Crack", "../Resources/Texture/Shaders/5-1RatioCrackTexture.png"},
    {"4-1RatioNormal-Crack", "../Resources/Texture/Shaders/4-1RatioCrackTexture.png"},
    {"10-3RatioNormal-Crack", "../Resources/Texture/Shaders/10-3RatioCrackTexture.png"},
    {"3-1RatioNormal-Crack", "../Resources/Texture/Shaders/3-1RatioCrackTexture.png"},
    {"2-1RatioNormal-Crack", "../Resources/Texture/Shaders/2-1RatioCrackTexture.png"},
    {"3-2RatioNormal-Crack", "../Resources/Texture/Shaders/3-2RatioCrackTexture.png"},
    {"Normal-Crack", "../Resources/Texture/Shaders/CrackTexture.png"},
};

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
