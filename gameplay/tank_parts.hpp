#pragma once

#include <cstdint>

class CircleCollider;
class GameObject;
class RigidBody2D;
struct ShaderProgram;

// The objects and components of one tank as the tank factory assembles them. The player logic
// keeps one (with the animation state) and the match keeps one (for the objects).
struct TankParts {
    uint32_t airborne = 0; // 1 from a jump until the tank falls again
    float trackAnimTimer = 0.0f;
    float trackFrameTime = 0.1f;
    float auraAnimTimer = 0.0f;
    ShaderProgram* spriteShader = nullptr; // "Sprite", used whenever a part's sprite changes

    GameObject* shootChargeBar = nullptr;
    GameObject* tankRoot = nullptr;
    GameObject* body = nullptr;
    GameObject* eyes = nullptr;
    GameObject* face = nullptr;
    GameObject* barrelRoot = nullptr;
    GameObject* barrel = nullptr;
    GameObject* track = nullptr;
    GameObject* trackJump = nullptr;
    GameObject* bulletOut = nullptr;
    GameObject* pickUpAura = nullptr;
    GameObject* teamRim = nullptr; // a team match's glow in the side's colour; none otherwise
    GameObject* aimingArrow = nullptr;
    GameObject* emitterSpot1 = nullptr;
    GameObject* emitterSpot2 = nullptr;
    GameObject* bodyColliderObject = nullptr;

    CircleCollider* leftCollider = nullptr;
    CircleCollider* bodyCollider = nullptr;
    CircleCollider* rightCollider = nullptr;
    CircleCollider* topCollider = nullptr;
    RigidBody2D* rigidBody = nullptr;
};
