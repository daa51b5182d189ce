#pragma once

#include "objects/math_types.hpp"

struct ShaderProgram;

// Look-at view and orthographic projection, both column-major as OpenGL takes them.
mat4 lookAt(vec3 eye, vec3 target, vec3 up);
mat4 orthographic(float left, float right, float bottom, float top, float zNear, float zFar);

// The view of one game state. zoom is the visible height in world units; the width is 1.6
// times it, matching the letterboxed 16:10 picture.
class Camera {
  public:
    Camera(vec3 eye = {0, 0, 0}, vec3 forward = {0, 0, -1}, vec3 upDirection = {0, 1, 0},
           float nearPlane = -100.0f, float farPlane = 100.0f, float zoomHeight = 30.0f);

    // Rebuilds view and projection after a change of position or zoom.
    void Recompute();
    // Uses the program and hands it "view" and "projection".
    void Apply(ShaderProgram* program) const;

    // Starts a short shake unless one is running.
    void StartShake();
    // Advances the shake by step seconds of game time; the eye comes back exactly at the end.
    // Returns the eye's current offset from its resting place, for objects that follow it.
    vec3 UpdateShake(float step);
    bool Shaking() const { return shakeTime > 0.0f; }

    vec3 front;
    vec3 up;
    vec3 position;
    float near;
    float far;
    float zoom;
    float halfWidthFactor = 0.8f;
    float halfHeightFactor = 0.5f;
    mat4 view;
    mat4 projection;
    float shakeTime = 0.0f;
    float shakeTick = 0.0f;
    float shakeMagnitude = 0.0f;
    float shakeScale = 0.0f;
    vec3 shakeBase;
};
