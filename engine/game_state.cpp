#include "engine/game_state.hpp"

#include "engine/engine.hpp"
#include "graphics/graphics_manager.hpp"
#include "objects/game_object_list.hpp"

#include <GL/glew.h>

void requestState(uint32_t id) {
    Engine::instance().states->next = id;
}

GameState::GameState() : camera({0, 0, 0}, {0, 0, -1}, {0, 1, 0}, -100.0f, 100.0f, 30.0f) {}

void GameState::Render() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GraphicsManager::instance().DrawFrame(&camera);
}

void DestroyStateObjects() {
    GameObjectList::instance().destroyAll();
}
