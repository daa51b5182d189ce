#include "graphics/graphics_manager.hpp"

GraphicsManager& GraphicsManager::instance() {
    static auto* manager = new GraphicsManager();
    return *manager;
}

void GraphicsManager::Initialize() {
    if (initialized) {
        Shutdown();
    }
    initialized = true;
}

void GraphicsManager::Shutdown() { initialized = false; }

void GraphicsManager::DrawFrame(Camera*) {}
