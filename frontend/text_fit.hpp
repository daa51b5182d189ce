#pragma once

// Menu texts that must keep to a width whatever they say (a map's name between its arrows, a
// stats line inside its panel) shrink when they run long.

#include "objects/math_types.hpp"

class GameObject;

// Scales a text object for the line it shows: its full scale for lines of up to so many
// characters, shrunk in proportion for longer ones, so every line takes at most the room of that
// many characters at full scale. An object without a text is left alone.
void FitText(GameObject* object, vec2 fullScale, float charactersAtFullScale);
