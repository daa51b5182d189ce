#include "graphics/shader_logic.hpp"

ShaderLogic::ShaderLogic(Camera* stateCamera, GameObject* ownerObject, int effectMode)
    : Logic("ShaderLogic", ownerObject), camera(stateCamera), mode(effectMode) {}

void ShaderLogic::Update() {}

void ShaderLogic::ApplyUniforms() {}
