#pragma once

#include "objects/logic.hpp"

class Camera;

// Animates the parameters of one shader effect and hands them to the program of a renderer on
// the same object whenever that renderer is drawn. The mode picks the effect.
class ShaderLogic : public Logic {
public:
    ShaderLogic(Camera* stateCamera, GameObject* ownerObject, int effectMode);

    void Update() override;
    // Called by the draw passes with the renderer's program in use, before its draw.
    void ApplyUniforms();

    Camera* camera = nullptr;
    int mode = 0;
};
