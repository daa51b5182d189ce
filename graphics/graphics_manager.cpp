#include "graphics/graphics_manager.hpp"

#include "graphics/camera.hpp"
#include "graphics/particle_pool.hpp"
#include "graphics/renderer.hpp"
#include "graphics/shader_logic.hpp"
#include "objects/game_object.hpp"
#include "objects/resource_manager.hpp"

#include <GL/glew.h>
#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iostream>

namespace {

// Two triangles of a unit square centred on the origin, z = 0.
constexpr float kQuadPositions[18] = {-0.5f, 0.5f, 0.0f, 0.5f, -0.5f, 0.0f, -0.5f, -0.5f, 0.0f,
                                      -0.5f, 0.5f, 0.0f, 0.5f, 0.5f,  0.0f, 0.5f,  -0.5f, 0.0f};
constexpr float kBoxPositions[12] = {-0.5f, 0.5f,  0.0f, -0.5f, -0.5f, 0.0f,
                                     0.5f,  -0.5f, 0.0f, 0.5f,  0.5f,  0.0f};
constexpr float kScreenPositions[18] = {-1.0f, 1.0f, 0.0f, 1.0f, -1.0f, 0.0f, -1.0f, -1.0f, 0.0f,
                                        -1.0f, 1.0f, 0.0f, 1.0f, 1.0f,  0.0f, 1.0f,  -1.0f, 0.0f};
constexpr float kScreenCoordinates[12] = {0, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 0};
constexpr GLsizeiptr kCellBytes = 12 * sizeof(float);
constexpr GLsizeiptr kGlyphQuadBytes = 24 * sizeof(float);

const float* identityMatrix() {
    static const mat4 identity = mat4::identity();
    return identity.data();
}

// Platforms pick the crack normal map drawn to the shape of their scale; first match wins.
struct CrackMapChoice {
    float minimumRatio;
    const char* texture;
};
constexpr CrackMapChoice kCrackMaps[] = {
    {10.0f, "10-1RatioNormal-Crack"}, {6.6f, "20-3RatioNormal-Crack"}, {6.0f, "6-1RatioNormal-Crack"},
    {5.0f, "5-1RatioNormal-Crack"},   {4.0f, "4-1RatioNormal-Crack"},  {3.3f, "10-3RatioNormal-Crack"},
    {3.0f, "3-1RatioNormal-Crack"},   {2.0f, "2-1RatioNormal-Crack"},  {1.5f, "3-2RatioNormal-Crack"},
};
constexpr const char* kSquareCrackMap = "Normal-Crack";

// A renderer takes part while it is enabled, its owner is active and it has a program that
// linked: OpenGL refuses a program that failed, and would draw with the previous one.
bool takesPart(const Renderer* renderer) {
    return renderer->enabled && renderer->owner != nullptr && renderer->owner->active &&
           renderer->shader != nullptr && renderer->shader->linked;
}

// The camera's view and projection, or identities without a camera, for the program in use.
void applyCamera(ShaderProgram* program, Camera* camera, bool identityProjection) {
    if (camera != nullptr) {
        program->setMatrix("view", camera->view.data());
        program->setMatrix("projection", camera->projection.data());
        return;
    }
    program->setMatrix("view", identityMatrix());
    if (identityProjection) {
        program->setMatrix("projection", identityMatrix());
    }
}

void setColorAndModel(ShaderProgram* program, const vec4& color, const mat4& worldRowMajor) {
    program->setVec4("color", color.x, color.y, color.z, color.w);
    program->setMatrix("model", worldRowMajor.transposed().data());
}

// Binds an image to unit 0, or reports that there is none and binds nothing.
bool bindImage(sf::Texture* texture, const std::string& name) {
    glActiveTexture(GL_TEXTURE0);
    if (texture == nullptr) {
        ResourceManager::instance().reportMissingTexture(name);
        glBindTexture(GL_TEXTURE_2D, 0);
        return false;
    }
    glBindTexture(GL_TEXTURE_2D, texture->getNativeHandle());
    return true;
}

// An effect hands its values over only while its own renderer's program is the one in use:
// uniform uploads go to whatever program is in use.
void applyShaderLogic(GameObject* owner, ShaderProgram* inUse) {
    if (ShaderLogic* logic = owner->getComponent<ShaderLogic>();
        logic != nullptr && logic->targetProgram() == inUse) {
        logic->ApplyUniforms(inUse);
    }
}

// Window rectangles (x, y, width, height) in strips, together covering every pixel a ring can
// move or brighten: its band, the ring's width either side of its radius. A ring of picture
// radius r is a circle of r x the picture's height in pixels.
constexpr int kBandStrip = 16;
constexpr float kBandMargin = 2.0f; // pixels, for the rounding of both sides

void addRingBand(std::vector<std::array<int, 4>>& rects, const RingOnPicture& ring,
                 const ScreenLayout& screen, int windowWidth, int windowHeight) {
    const auto pictureHeight = static_cast<float>(screen.viewportHeight);
    const float cx = static_cast<float>(screen.viewportX) + ring.center.x * pictureHeight;
    const float cy = static_cast<float>(screen.viewportY) + ring.center.y * pictureHeight;
    const float outer = (ring.radius + ring.width) * pictureHeight + kBandMargin;
    const float inner = (ring.radius - ring.width) * pictureHeight - kBandMargin;
    const int top = std::max(0, static_cast<int>(std::floor(cy - outer)));
    const int bottom = std::min(windowHeight, static_cast<int>(std::ceil(cy + outer)));
    for (int y = top; y < bottom; y += kBandStrip) {
        const auto low = static_cast<float>(y);
        const auto high = static_cast<float>(std::min(y + kBandStrip, bottom));
        const float nearest =
            cy >= low && cy <= high ? 0.0f : std::min(std::fabs(low - cy), std::fabs(high - cy));
        const float farthest = std::max(std::fabs(low - cy), std::fabs(high - cy));
        if (nearest >= outer) {
            continue;
        }
        const float reach = std::sqrt(outer * outer - nearest * nearest);
        // Pixels closer to the centre than the inner edge all along the strip are left alone.
        const float hole = inner > farthest ? std::sqrt(inner * inner - farthest * farthest) : 0.0f;
        const int left = std::max(0, static_cast<int>(std::floor(cx - reach)));
        const int right = std::min(windowWidth, static_cast<int>(std::ceil(cx + reach)));
        const int holeLeft = static_cast<int>(std::ceil(cx - hole));
        const int holeRight = static_cast<int>(std::floor(cx + hole));
        const int height = static_cast<int>(high) - y;
        if (hole < 1.0f || holeLeft >= holeRight) {
            if (right > left) {
                rects.push_back({left, y, right - left, height});
            }
            continue;
        }
        if (std::min(holeLeft, right) > left) {
            rects.push_back({left, y, std::min(holeLeft, right) - left, height});
        }
        if (right > std::max(holeRight, left)) {
            rects.push_back({std::max(holeRight, left), y, right - std::max(holeRight, left), height});
        }
    }
}

} // namespace

std::array<float, 12> CellCoordinates(int32_t columns, int32_t column, int32_t rows, int32_t row) {
    // A sheet of no columns or rows is one cell: keeps the division meaningful.
    const float cols = static_cast<float>(std::max(columns, 1));
    const float rws = static_cast<float>(std::max(rows, 1));
    const float uLeft = column > columns ? 0.0f : static_cast<float>(column - 1) / cols;
    const float uRight = static_cast<float>(column) / cols;
    const float vTop = row > rows ? 0.0f : static_cast<float>(row - 1) / rws;
    const float vBottom = static_cast<float>(row) / rws;
    return {uLeft, vTop, uRight, vBottom, uLeft, vBottom, uLeft, vTop, uRight, vTop, uRight, vBottom};
}

const char* CrackNormalMapName(float scaleX, float scaleY) {
    const float ratio = scaleX / scaleY;
    for (const CrackMapChoice& choice : kCrackMaps) {
        if (ratio >= choice.minimumRatio) {
            return choice.texture;
        }
    }
    return kSquareCrackMap;
}

GraphicsManager& GraphicsManager::instance() {
    static auto* manager = new GraphicsManager();
    return *manager;
}

void GraphicsManager::Initialize() {
    if (initialized) {
        Shutdown();
    }
    LoadGlyphs(fontPath, glyphs);
    buildTextQuad();
    buildQuad(SpriteQuad);
    buildQuad(UiQuad);
    buildBoxOutline();
    buildFramebuffer();
    buildScreenQuad();
    ParticlePool::instance().initializeGpu();
    copyProgram = ResourceManager::buildProgram("./shaders/Screen_Copy.vs", "./shaders/Screen_Copy.fs");
    swirlOutsideProgram =
        ResourceManager::buildProgram("./shaders/Blackhole_Outside.vs", "./shaders/Blackhole_Outside.fs");
    cellsKnown = {};
    initialized = true;
}

void GraphicsManager::buildTextQuad() {
    Mesh& mesh = meshes[TextQuad];
    glGenVertexArrays(1, &mesh.vertexArray);
    glGenBuffers(1, &mesh.buffers[0]);
    glBindVertexArray(mesh.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, kGlyphQuadBytes, nullptr, GL_DYNAMIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void GraphicsManager::buildQuad(MeshSlot slot) {
    Mesh& mesh = meshes[slot];
    glGenVertexArrays(1, &mesh.vertexArray);
    glGenBuffers(2, mesh.buffers.data());
    glBindVertexArray(mesh.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, sizeof(kQuadPositions), kQuadPositions, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
    glEnableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.buffers[1]);
    glBufferData(GL_ARRAY_BUFFER, kCellBytes, nullptr, GL_DYNAMIC_DRAW);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 2 * sizeof(float), nullptr);
    glEnableVertexAttribArray(1);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void GraphicsManager::buildBoxOutline() {
    Mesh& mesh = meshes[BoxOutline];
    glGenVertexArrays(1, &mesh.vertexArray);
    glGenBuffers(1, &mesh.buffers[0]);
    glBindVertexArray(mesh.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, sizeof(kBoxPositions), kBoxPositions, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
    glEnableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void GraphicsManager::buildScreenQuad() {
    Mesh& mesh = meshes[ScreenQuad];
    glGenVertexArrays(1, &mesh.vertexArray);
    glGenBuffers(2, mesh.buffers.data());
    glBindVertexArray(mesh.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, sizeof(kScreenPositions), kScreenPositions, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
    glEnableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.buffers[1]);
    glBufferData(GL_ARRAY_BUFFER, sizeof(kScreenCoordinates), kScreenCoordinates, GL_STATIC_DRAW);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 2 * sizeof(float), nullptr);
    glEnableVertexAttribArray(1);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void GraphicsManager::buildFramebuffer() {
    framebufferWindowWidth = screen.windowWidth;
    framebufferWindowHeight = screen.windowHeight;
    GLsizei width = static_cast<GLsizei>(screen.windowWidth);
    GLsizei height = static_cast<GLsizei>(screen.windowHeight);
    if (width == 0 || height == 0) {
        // No layout from the engine (a bare window in a tool or test): the viewport is the window.
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        width = std::max(viewport[0] + viewport[2], 1);
        height = std::max(viewport[1] + viewport[3], 1);
    }
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenTextures(1, &framebufferTexture);
    glBindTexture(GL_TEXTURE_2D, framebufferTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, framebufferTexture, 0);
    glGenRenderbuffers(1, &framebufferDepthStencil);
    glBindRenderbuffer(GL_RENDERBUFFER, framebufferDepthStencil);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              framebufferDepthStencil);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::cout << "ERROR::FRAMEBUFFER:: Framebuffer is not complete!" << std::endl;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void GraphicsManager::releaseFramebuffer() {
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &framebufferTexture);
    glDeleteRenderbuffers(1, &framebufferDepthStencil);
    framebuffer = framebufferTexture = framebufferDepthStencil = 0;
}

void GraphicsManager::followWindowSize() {
    if (screen.windowWidth == framebufferWindowWidth && screen.windowHeight == framebufferWindowHeight) {
        return;
    }
    releaseFramebuffer();
    buildFramebuffer();
}

void GraphicsManager::Shutdown() {
    if (!initialized) {
        return;
    }
    // Vertex arrays and framebuffers belonged to the context they were made in; after a window
    // re-creation that context is gone with them and these names mean nothing in the new one.
    // Buffers and textures are shared between the window's contexts and do need deleting.
    for (Mesh& mesh : meshes) {
        glDeleteVertexArrays(1, &mesh.vertexArray);
        glDeleteBuffers(2, mesh.buffers.data());
        mesh = Mesh{};
    }
    releaseFramebuffer();
    ReleaseGlyphs(glyphs);
    ParticlePool::instance().releaseGpu();
    nearestPictures.clear();
    for (std::unique_ptr<ShaderProgram>* own : {&copyProgram, &swirlOutsideProgram}) {
        if (*own != nullptr) {
            glDeleteProgram((*own)->id);
            own->reset();
        }
    }
    cellsKnown = {};
    initialized = false;
}

void GraphicsManager::EnableDepthAndBlending() {
    if (!initialized) {
        return;
    }
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

bool GraphicsManager::compositeIdle(const FrameBufferRenderer* composite) const {
    if (!skipIdleComposites) {
        return false;
    }
    const ShaderLogic* logic = composite->owner->getComponent<ShaderLogic>();
    const WaveEffect* waves = logic != nullptr ? logic->waves() : nullptr;
    if (waves == nullptr || logic->targetProgram() != composite->shader ||
        composite->shader != ResourceManager::instance().getShader("Shockwave")) {
        return false;
    }
    return std::none_of(waves->slotActive.begin(), waves->slotActive.end(), [](bool on) { return on; });
}

void GraphicsManager::DrawFrame(Camera* camera) {
    if (!initialized) {
        return;
    }
    followWindowSize();
    programInUse = kNoProgram; // whatever ran between frames may have changed it
    if (ResourceManager::instance().textureGeneration() != nearestPicturesGeneration) {
        nearestPictures.clear(); // a texture name may now stand for another picture
        nearestPicturesGeneration = ResourceManager::instance().textureGeneration();
    }
    // Composites without a usable program are left out altogether, so the scene still reaches
    // the window instead of vanishing into a picture nobody shows.
    drawnComposites.clear();
    bool skippedIdle = false;
    for (FrameBufferRenderer* composite : composites) {
        if (!takesPart(composite)) {
            continue;
        }
        if (compositeIdle(composite)) {
            skippedIdle = true;
            continue;
        }
        drawnComposites.push_back(composite);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glEnable(GL_DEPTH_TEST);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    spritePass(camera);
    if (referencePasses) {
        ParticlePool::instance().drawEachSeparately(camera);
    } else {
        ParticlePool::instance().draw(camera);
    }
    programInUse = kNoProgram; // the pool uses programs of its own
    for (FrameBufferRenderer* composite : drawnComposites) {
        compositePass(composite);
    }
    if (skippedIdle && drawnComposites.empty()) {
        // The state the composite would have left for the passes after it: the interface is
        // drawn over the picture without depth testing.
        glDisable(GL_DEPTH_TEST);
        glActiveTexture(GL_TEXTURE0);
    }
    textPass(camera);
    uiPass(camera);
    boxPass(camera);
}

void GraphicsManager::useProgram(ShaderProgram* program) {
    if (program->id != programInUse) {
        glUseProgram(program->id);
        programInUse = program->id;
    }
}

void GraphicsManager::uploadCells(MeshSlot slot, const std::array<float, 12>& cells) {
    const auto index = static_cast<size_t>(slot);
    if (cellsKnown[index] && std::memcmp(uploadedCells[index].data(), cells.data(), sizeof(cells)) == 0) {
        return;
    }
    glBindBuffer(GL_ARRAY_BUFFER, meshes[slot].buffers[1]);
    glBufferSubData(GL_ARRAY_BUFFER, 0, kCellBytes, cells.data());
    uploadedCells[index] = cells;
    cellsKnown[index] = true;
}

void GraphicsManager::spritePass(Camera* camera) {
    ResourceManager& resources = ResourceManager::instance();
    ShaderProgram* swirlProgram = resources.getShader("Blackhole");
    for (SpriteRenderer* sprite : sprites) {
        if (!takesPart(sprite)) {
            continue;
        }
        GameObject* owner = sprite->owner;
        ShaderProgram* program = sprite->shader;
        // The swirl program draws a closed swirl exactly as the sprite program does, and an open
        // one only changes the background within its reach: the rest goes the cheaper way.
        ShaderLogic* swirlLogic = nullptr;
        if (!referencePasses && program == swirlProgram) {
            ShaderLogic* logic = owner->getComponent<ShaderLogic>();
            if (logic != nullptr && logic->swirl() != nullptr && logic->targetProgram() == program) {
                const SwirlEffect* swirl = logic->swirl();
                ShaderProgram* plain = resources.getShader("Sprite");
                if ((!swirl->active || swirl->radius <= 0.0f) && plain != nullptr && plain->linked) {
                    program = plain;
                } else if (swirl->active && swirlOutsideProgram != nullptr && swirlOutsideProgram->linked) {
                    swirlLogic = logic;
                }
            }
        }
        glEnable(GL_DEPTH_TEST);
        useProgram(program);
        setColorAndModel(program, sprite->color, owner->transform.world);
        applyCamera(program, camera, true);
        if (bindImage(sprite->texture, sprite->textureName) &&
            nearestPictures.insert(sprite->texture->getNativeHandle()).second) {
            // Kept on the texture: set once per picture, not per draw.
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        }
        if (owner->tag == "Platform") {
            program->setInt("normalTexture", 1);
            const vec3 scale = owner->transform.scale;
            sf::Texture* cracks = resources.getTexture(CrackNormalMapName(scale.x, scale.y));
            glActiveTexture(GL_TEXTURE1);
            glBindTexture(GL_TEXTURE_2D, cracks != nullptr ? cracks->getNativeHandle() : 0);
            glActiveTexture(GL_TEXTURE0);
        }
        glBindVertexArray(meshes[SpriteQuad].vertexArray);
        applyShaderLogic(owner, program);
        uploadCells(SpriteQuad, CellCoordinates(sprite->columns, sprite->column, sprite->rows, sprite->row));
        if (swirlLogic == nullptr || !drawSwirlByParts(sprite, swirlLogic, camera)) {
            glDrawArrays(GL_TRIANGLES, 0, 6);
        }
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
}

bool GraphicsManager::drawSwirlByParts(SpriteRenderer* sprite, ShaderLogic* logic, Camera* camera) {
    if (screen.windowWidth == 0 || screen.windowHeight == 0 || screen.viewportHeight <= 0) {
        return false;
    }
    // The hole's square in the background's own quad (-0.5..0.5 across), taken to the window.
    const SwirlEffect* swirl = logic->swirl();
    const vec3 size = sprite->owner->transform.scale;
    if (size.x == 0.0f || size.y == 0.0f) {
        return false;
    }
    const mat4 view = camera != nullptr ? camera->view : mat4::identity();
    const mat4 projection = camera != nullptr ? camera->projection : mat4::identity();
    const mat4& world = sprite->owner->transform.world;
    float left = 1e9f, right = -1e9f, bottom = 1e9f, top = -1e9f;
    for (float cornerX : {-1.0f, 1.0f}) {
        for (float cornerY : {-1.0f, 1.0f}) {
            const vec2 local{(swirl->centerX + cornerX * swirl->radius) / size.x,
                             (swirl->centerY + cornerY * swirl->radius) / size.y};
            const vec2 at = world.transformPoint(local);
            // Camera matrices are column-major.
            float point[4] = {at.x, at.y, world[11], 1.0f};
            float seen[4] = {};
            float clip[4] = {};
            for (int row = 0; row < 4; ++row) {
                for (int k = 0; k < 4; ++k) {
                    seen[row] += view[k * 4 + row] * point[k];
                }
            }
            for (int row = 0; row < 4; ++row) {
                for (int k = 0; k < 4; ++k) {
                    clip[row] += projection[k * 4 + row] * seen[k];
                }
            }
            if (clip[3] <= 0.0f) {
                return false;
            }
            const float x = static_cast<float>(screen.viewportX) +
                            (clip[0] / clip[3] + 1.0f) * 0.5f * static_cast<float>(screen.viewportWidth);
            const float y = static_cast<float>(screen.viewportY) +
                            (clip[1] / clip[3] + 1.0f) * 0.5f * static_cast<float>(screen.viewportHeight);
            left = std::min(left, x);
            right = std::max(right, x);
            bottom = std::min(bottom, y);
            top = std::max(top, y);
        }
    }
    constexpr float kMargin = 2.0f; // pixels
    const auto width = static_cast<int>(screen.windowWidth);
    const auto height = static_cast<int>(screen.windowHeight);
    const int x0 = std::clamp(static_cast<int>(std::floor(left - kMargin)), 0, width);
    const int x1 = std::clamp(static_cast<int>(std::ceil(right + kMargin)), 0, width);
    const int y0 = std::clamp(static_cast<int>(std::floor(bottom - kMargin)), 0, height);
    const int y1 = std::clamp(static_cast<int>(std::ceil(top + kMargin)), 0, height);

    // The same quad each time, cut by the scissor, so every pixel gets what one draw would give.
    glEnable(GL_SCISSOR_TEST);
    if (x1 > x0 && y1 > y0) {
        glScissor(x0, y0, x1 - x0, y1 - y0);
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }
    ShaderProgram* outside = swirlOutsideProgram.get();
    useProgram(outside);
    setColorAndModel(outside, sprite->color, sprite->owner->transform.world);
    applyCamera(outside, camera, true);
    logic->ApplyUniforms(outside);
    const int beyond[4][4] = {
        {0, 0, width, y0}, {0, y1, width, height - y1}, {0, y0, x0, y1 - y0}, {x1, y0, width - x1, y1 - y0}};
    for (const auto& r : beyond) {
        if (r[2] > 0 && r[3] > 0) {
            glScissor(r[0], r[1], r[2], r[3]);
            glDrawArrays(GL_TRIANGLES, 0, 6);
        }
    }
    glDisable(GL_SCISSOR_TEST);
    return true;
}

void GraphicsManager::compositePass(FrameBufferRenderer* composite) {
    if (!referencePasses && ringsOnlyWhereTheyAre(composite)) {
        return;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    useProgram(composite->shader);
    glBindVertexArray(meshes[ScreenQuad].vertexArray);
    applyShaderLogic(composite->owner, composite->shader);
    // The engine's layout gives both viewports; only a bare window without one (a tool) asks
    // OpenGL, since reading state back every frame can stall a real driver.
    GLint letterbox[4] = {screen.viewportX, screen.viewportY, screen.viewportWidth, screen.viewportHeight};
    GLint fullWidth = static_cast<GLint>(screen.windowWidth);
    GLint fullHeight = static_cast<GLint>(screen.windowHeight);
    if (fullWidth == 0 || fullHeight == 0) {
        glGetIntegerv(GL_VIEWPORT, letterbox);
        fullWidth = letterbox[0] + letterbox[2];
        fullHeight = letterbox[1] + letterbox[3];
    }
    glViewport(0, 0, fullWidth, fullHeight);
    // Unit 0 is where the composite programs read the picture from, whatever unit a platform's
    // crack map left selected.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, framebufferTexture);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glViewport(letterbox[0], letterbox[1], letterbox[2], letterbox[3]);
}

bool GraphicsManager::ringsOnlyWhereTheyAre(FrameBufferRenderer* composite) {
    const ShaderLogic* logic = composite->owner->getComponent<ShaderLogic>();
    if (logic == nullptr || logic->waves() == nullptr || logic->targetProgram() != composite->shader ||
        composite->shader != ResourceManager::instance().getShader("Shockwave") || copyProgram == nullptr ||
        !copyProgram->linked || screen.windowWidth == 0 || screen.windowHeight == 0) {
        return false;
    }
    const auto width = static_cast<GLint>(screen.windowWidth);
    const auto height = static_cast<GLint>(screen.windowHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(0, 0, width, height);
    glBindVertexArray(meshes[ScreenQuad].vertexArray);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, framebufferTexture);
    useProgram(copyProgram.get());
    glDrawArrays(GL_TRIANGLES, 0, 6);

    std::array<RingOnPicture, kWaveSlots> rings{};
    const int count = logic->ringsOnPicture(rings);
    bandRects.clear();
    for (int i = 0; i < count; ++i) {
        addRingBand(bandRects, rings[static_cast<size_t>(i)], screen, width, height);
    }
    if (!bandRects.empty()) {
        // The same full-window quad, cut down by the scissor: every pixel drawn gets exactly what
        // the program gives it over the whole window.
        useProgram(composite->shader);
        applyShaderLogic(composite->owner, composite->shader);
        glEnable(GL_SCISSOR_TEST);
        for (const std::array<int, 4>& r : bandRects) {
            glScissor(r[0], r[1], r[2], r[3]);
            glDrawArrays(GL_TRIANGLES, 0, 6);
        }
        glDisable(GL_SCISSOR_TEST);
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glViewport(screen.viewportX, screen.viewportY, screen.viewportWidth, screen.viewportHeight);
    return true;
}

void GraphicsManager::textPass(Camera* camera) {
    const mat4 toUnits = mat4::scaling({kTextUnitsPerPixel, kTextUnitsPerPixel, kTextUnitsPerPixel});
    for (TextRenderer* label : texts) {
        if (!takesPart(label)) {
            continue;
        }
        ShaderProgram* program = label->shader;
        useProgram(program);
        setColorAndModel(program, label->color, label->owner->transform.world * toUnits);
        applyCamera(program, camera, true);
        glBindVertexArray(meshes[TextQuad].vertexArray);
        LayoutText(glyphs, label->text, glyphQuads);
        glActiveTexture(GL_TEXTURE0);
        for (const GlyphQuad& quad : glyphQuads) {
            glBindTexture(GL_TEXTURE_2D, quad.textureId);
            glBindBuffer(GL_ARRAY_BUFFER, meshes[TextQuad].buffers[0]);
            glBufferSubData(GL_ARRAY_BUFFER, 0, kGlyphQuadBytes, quad.vertices.data());
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            glDrawArrays(GL_TRIANGLES, 0, 6);
        }
        glBindVertexArray(0);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}

void GraphicsManager::uiPass(Camera* camera) {
    for (GameUIRenderer* image : uiImages) {
        if (!takesPart(image)) {
            continue;
        }
        ShaderProgram* program = image->shader;
        glDisable(GL_DEPTH_TEST);
        useProgram(program);
        setColorAndModel(program, image->color, image->owner->transform.world);
        applyCamera(program, camera, false);
        bindImage(image->texture, image->textureName);
        glBindVertexArray(meshes[UiQuad].vertexArray);
        applyShaderLogic(image->owner, program);
        uploadCells(UiQuad, CellCoordinates(image->columns, image->column, image->rows, image->row));
        glDrawArrays(GL_TRIANGLES, 0, 6);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
}

void GraphicsManager::boxPass(Camera* camera) {
    for (BoxRenderer* box : boxes) {
        if (!takesPart(box)) {
            continue;
        }
        ShaderProgram* program = box->shader;
        useProgram(program);
        setColorAndModel(program, box->color, box->owner->transform.world);
        applyCamera(program, camera, true);
        glBindVertexArray(meshes[BoxOutline].vertexArray);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDrawArrays(GL_LINE_LOOP, 0, 4);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
}
