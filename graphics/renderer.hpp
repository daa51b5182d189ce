#pragma once

#include "objects/component.hpp"
#include "objects/math_types.hpp"

#include <cstdint>
#include <string>

namespace sf {
class Texture;
}
struct ShaderProgram;

// Renderer components hold what to draw; where comes from the owner's world matrix. Each kind
// lists itself with the GraphicsManager while it exists, and the list decides how it is drawn:
// there is no virtual draw.
class Renderer : public Component {
  public:
    Renderer(std::string kindName, GameObject* ownerObject);

    // Null only between creation and set-up; a renderer without a program draws nothing.
    ShaderProgram* shader = nullptr;
    // The name the picture was asked for by, so a missing one can be reported by name.
    std::string textureName;
};

// A world sprite, depth-tested by its Transform z. columns x rows cut the texture into equal
// cells; column and row (1-based, from the top-left) pick the one drawn.
class SpriteRenderer : public Renderer {
  public:
    explicit SpriteRenderer(GameObject* ownerObject);
    ~SpriteRenderer() override;

    // The picture registered under a name (none when it is not registered; the draw says so).
    void setTexture(const std::string& name);

    sf::Texture* texture = nullptr;
    vec4 color{1, 1, 1, 1};
    int32_t columns = 1;
    int32_t column = 1;
    int32_t rows = 1;
    int32_t row = 1;
};

// An interface image: drawn after the scene, over everything before it, in list order.
class GameUIRenderer : public Renderer {
  public:
    explicit GameUIRenderer(GameObject* ownerObject);
    ~GameUIRenderer() override;

    // One-row sheets only: rows and row go back to 1. The fifth value is not used.
    void set(ShaderProgram* program, sf::Texture* image, vec4 tint, int32_t sheetColumns, int32_t unused,
             int32_t sheetColumn);
    // The same with the picture registered under a name.
    void set(ShaderProgram* program, const std::string& image, vec4 tint, int32_t sheetColumns,
             int32_t unused, int32_t sheetColumn);
    void setTexture(const std::string& name);

    sf::Texture* texture = nullptr;
    vec4 color{1, 1, 1, 1};
    int32_t columns = 1;
    int32_t column = 1;
    int32_t rows = 1;
    int32_t row = 1;
};

// One line of text centred on the owner's position.
class TextRenderer : public Renderer {
  public:
    explicit TextRenderer(GameObject* ownerObject);
    ~TextRenderer() override;

    vec4 color{1, 1, 1, 1};
    std::string text;
};

// The outline of the owner's unit square.
class BoxRenderer : public Renderer {
  public:
    explicit BoxRenderer(GameObject* ownerObject);
    ~BoxRenderer() override;

    vec4 color{1, 1, 1, 1};
};

// Full-screen post effect: while one is present the scene is drawn off screen and reaches the
// window only through this renderer's program.
class FrameBufferRenderer : public Renderer {
  public:
    explicit FrameBufferRenderer(GameObject* ownerObject);
    ~FrameBufferRenderer() override;

    // The picture is always the manager's off-screen one, so the texture given is not kept.
    void set(ShaderProgram* program, sf::Texture* image, vec4 tint);

    sf::Texture* texture = nullptr;
    vec4 color{1, 1, 1, 1};
};
