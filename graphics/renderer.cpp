#include "graphics/renderer.hpp"

#include "graphics/graphics_manager.hpp"
#include "objects/registry.hpp"
#include "objects/resource_manager.hpp"

#include <algorithm>
#include <vector>

namespace {

// Removes every occurrence, keeping the order of the rest; during a teardown all at once at
// its end.
template <class T> void unlist(std::vector<T*>& list, T* renderer) {
    if (RegistryTeardown::running()) {
        RegistryTeardown::leave(list, renderer);
    } else {
        std::erase(list, renderer);
    }
}

} // namespace

Renderer::Renderer(std::string kindName, GameObject* ownerObject)
    : Component(std::move(kindName), ownerObject) {}

SpriteRenderer::SpriteRenderer(GameObject* ownerObject) : Renderer("SpriteRenderer", ownerObject) {
    GraphicsManager::instance().sprites.push_back(this);
}
SpriteRenderer::~SpriteRenderer() {
    unlist(GraphicsManager::instance().sprites, this);
}

void SpriteRenderer::setTexture(const std::string& name) {
    textureName = name;
    texture = ResourceManager::instance().getTexture(name);
}

GameUIRenderer::GameUIRenderer(GameObject* ownerObject) : Renderer("GameUIRenderer", ownerObject) {
    GraphicsManager::instance().uiImages.push_back(this);
}
GameUIRenderer::~GameUIRenderer() {
    unlist(GraphicsManager::instance().uiImages, this);
}

void GameUIRenderer::setTexture(const std::string& name) {
    textureName = name;
    texture = ResourceManager::instance().getTexture(name);
}

void GameUIRenderer::set(ShaderProgram* program, const std::string& image, vec4 tint, int32_t sheetColumns,
                         int32_t unused, int32_t sheetColumn) {
    set(program, ResourceManager::instance().getTexture(image), tint, sheetColumns, unused, sheetColumn);
    textureName = image;
}

void GameUIRenderer::set(ShaderProgram* program, sf::Texture* image, vec4 tint, int32_t sheetColumns, int32_t,
                         int32_t sheetColumn) {
    shader = program;
    texture = image;
    color = tint;
    columns = sheetColumns;
    column = sheetColumn;
    rows = 1;
    row = 1;
}

TextRenderer::TextRenderer(GameObject* ownerObject) : Renderer("TextRenderer", ownerObject) {
    GraphicsManager::instance().texts.push_back(this);
}
TextRenderer::~TextRenderer() {
    unlist(GraphicsManager::instance().texts, this);
}

BoxRenderer::BoxRenderer(GameObject* ownerObject) : Renderer("BoxRenderer", ownerObject) {
    GraphicsManager::instance().boxes.push_back(this);
}
BoxRenderer::~BoxRenderer() {
    unlist(GraphicsManager::instance().boxes, this);
}

FrameBufferRenderer::FrameBufferRenderer(GameObject* ownerObject)
    : Renderer("FrameBufferRenderer", ownerObject) {
    GraphicsManager::instance().composites.push_back(this);
}
FrameBufferRenderer::~FrameBufferRenderer() {
    unlist(GraphicsManager::instance().composites, this);
}

void FrameBufferRenderer::set(ShaderProgram* program, sf::Texture*, vec4 tint) {
    shader = program;
    texture = nullptr;
    color = tint;
}
