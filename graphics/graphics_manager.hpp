#pragma once

class Camera;

// Draws every renderer component in a fixed order of passes.
class GraphicsManager {
public:
    static GraphicsManager& instance();

    // Builds GPU resources for the current window; run again after every window re-creation.
    void Initialize();
    void Shutdown();
    void DrawFrame(Camera* camera);

    bool initialized = false;
};
