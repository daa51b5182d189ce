#pragma once

// Small builders the screens and prefabs share: a named object posed in the world or below a
// parent, a world sprite or a text on it, and the picture or visibility of a part changed.
//
// Hanging an object from a parent keeps its world pose, so the builders attach first and write
// the local values after.

#include "objects/math_types.hpp"

#include <cstdint>
#include <string>

class GameObject;
class SpriteRenderer;
class TextRenderer;

struct Pose {
    vec3 position;
    vec3 scale{1, 1, 1};
    float spin = 0.0f; // degrees about z
};

// A new object with the pose, below parent when one is given (local values), else a root.
GameObject* MakeObject(const std::string& name, const Pose& pose, GameObject* parent = nullptr);
// A world sprite of a picture by name, drawn with a program by name ("Sprite" unless said).
SpriteRenderer* AddSprite(GameObject* object, const std::string& texture, vec4 colour = {1, 1, 1, 1},
                          int32_t columns = 1, const char* program = "Sprite");
// A line of text, drawn with a program by name ("Text" unless said); set again in full each time.
TextRenderer* SetText(GameObject* object, const std::string& text, vec4 colour, const char* program = "Text");
// Changes the picture of an object's sprite, if it has one.
void SetPicture(GameObject* object, const std::string& texture);
// Shows or hides an object and everything below it; null is ignored.
void Show(GameObject* object, bool visible);
