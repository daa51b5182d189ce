#pragma once

#include "objects/math_types.hpp"

#include <functional>

class Camera;

// The letterboxed picture inside the window, origin bottom left as OpenGL places it.
struct ViewRect {
    float x = 0.0f;
    float y = 0.0f;
    float width = 1.0f;
    float height = 1.0f;
    float windowHeight = 1.0f;
};

// What the physics view needs from the running game each frame.
struct PhysicsViewFrame {
    bool togglePressed = false;     // the view's key went down this frame
    const Camera* camera = nullptr; // the running state's; nothing is drawn without one
    ViewRect viewport;
};

// Window pixel (origin top left, as ImGui draws) of a world point seen through the camera.
vec2 WorldToWindow(const Camera& camera, const ViewRect& viewport, vec2 world);

// Draws the view into ImGui's background draw list for one frame (inside an ImGui frame).
void DrawPhysicsView(const PhysicsViewFrame& frame);

// Adds the physics view to the debug overlay (once, however often it is called). While it is
// shown it outlines every active collider (red when it touched something in the last step,
// green otherwise, grey when it has no body) and marks each contact point with its normal.
void AddPhysicsDebugView(std::function<PhysicsViewFrame()> source);
