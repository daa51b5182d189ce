#pragma once

#include "graphics/text.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class Camera;
class SpriteRenderer;
class GameUIRenderer;
class TextRenderer;
class BoxRenderer;
class FrameBufferRenderer;
class ShaderLogic;
struct ShaderProgram;

// The window and the letterboxed 16:10 picture inside it, in pixels, as the engine last laid
// them out. The off-screen picture is window-sized; the passes draw into the picture.
struct ScreenLayout {
    uint32_t windowWidth = 0;
    uint32_t windowHeight = 0;
    int32_t viewportX = 0;
    int32_t viewportY = 0;
    int32_t viewportWidth = 0;
    int32_t viewportHeight = 0;
};

// The shared vertex arrays every draw uses.
enum MeshSlot : int { SpriteQuad = 0, UiQuad, TextQuad, BoxOutline, ScreenQuad, kMeshSlotCount };

struct Mesh {
    uint32_t vertexArray = 0;
    std::array<uint32_t, 2> buffers{}; // positions, then texture coordinates where the mesh has them
};

// Six (u, v) pairs for the six vertices of a quad showing one cell of a sheet cut into
// columns x rows. A column or row beyond the sheet starts at the sheet's left or top edge, so
// the picture repeats across the quad.
std::array<float, 12> CellCoordinates(int32_t columns, int32_t column, int32_t rows, int32_t row);

// The crack normal map that suits a platform of this Transform scale.
const char* CrackNormalMapName(float scaleX, float scaleY);

// Keeps one list per renderer kind and draws them all, once per frame, in a fixed order of
// passes: sprites, particles, the full-screen composite, text, interface images, boxes.
class GraphicsManager {
  public:
    static GraphicsManager& instance();

    // Builds the glyphs, the meshes and the off-screen framebuffer for the current window;
    // runs again (after a Shutdown) on every window re-creation.
    void Initialize();
    // Releases every OpenGL object made by Initialize.
    void Shutdown();
    void DrawFrame(Camera* camera);

    // Turns on depth testing and alpha blending, as the passes expect. Does nothing before
    // Initialize (a run without a window has no OpenGL to talk to).
    void EnableDepthAndBlending();

    GlyphTable glyphs;
    std::vector<SpriteRenderer*> sprites;
    std::vector<GameUIRenderer*> uiImages;
    std::vector<BoxRenderer*> boxes;
    std::vector<TextRenderer*> texts;
    std::vector<FrameBufferRenderer*> composites;
    std::array<Mesh, kMeshSlotCount> meshes{};
    uint32_t framebuffer = 0;
    uint32_t framebufferTexture = 0;
    uint32_t framebufferDepthStencil = 0;
    bool initialized = false;

    // Set by the engine whenever it lays the viewport out.
    ScreenLayout screen;
    // The text font; tests may point it elsewhere before Initialize.
    std::string fontPath = kFontPath;
    // The shock-wave composite only copies the picture while no ring is out; it is then left
    // out and the scene drawn straight into the window, which looks the same and, drawing in
    // software, saves a whole window's pass (false: always through the composite, for comparing).
    bool skipIdleComposites = true;
    // Every pass the plain way: one draw per particle, the shock-wave program over the whole
    // window with every ring slot where it is, the swirl program over the whole background. The quicker ways
    // the passes take otherwise (drawing in software, every pixel of a full-window pass counts) must give
    // exactly these pixels; tests compare the two.
    bool referencePasses = false;

  private:
    GraphicsManager() = default;
    void buildQuad(MeshSlot slot);
    void buildBoxOutline();
    void buildScreenQuad();
    void buildTextQuad();
    void buildFramebuffer();
    void releaseFramebuffer();
    // A window the player resizes keeps its context, so nothing else rebuilds the picture.
    void followWindowSize();
    // The window size the off-screen picture was built for.
    uint32_t framebufferWindowWidth = 0;
    uint32_t framebufferWindowHeight = 0;

    bool compositeIdle(const FrameBufferRenderer* composite) const;
    void spritePass(Camera* camera);
    // An open swirl's background: the swirl program over the hole's square, and beyond it a
    // program that works the background out as the swirl program does there, more cheaply.
    bool drawSwirlByParts(SpriteRenderer* sprite, ShaderLogic* logic, Camera* camera);
    void compositePass(FrameBufferRenderer* composite);
    // The shock-wave composite drawn where its rings are: the picture copied as it is, then the
    // program only over the bands the rings can bend. False when it cannot be drawn this way.
    bool ringsOnlyWhereTheyAre(FrameBufferRenderer* composite);
    void textPass(Camera* camera);
    void uiPass(Camera* camera);
    void boxPass(Camera* camera);
    // Switches programs only when another is asked for (within a frame).
    void useProgram(ShaderProgram* program);
    // Replaces a quad's texture coordinates unless it already holds these.
    void uploadCells(MeshSlot slot, const std::array<float, 12>& cells);

    std::vector<FrameBufferRenderer*> drawnComposites; // this frame's, kept to reuse its memory
    std::array<std::array<float, 12>, 2> uploadedCells{};
    std::array<bool, 2> cellsKnown{};
    std::vector<GlyphQuad> glyphQuads;
    static constexpr uint32_t kNoProgram = 0xFFFFFFFFu;
    uint32_t programInUse = kNoProgram;
    // Pictures the sprite pass has set to repeat, unfiltered; valid for one texture generation.
    std::unordered_set<uint32_t> nearestPictures;
    uint64_t nearestPicturesGeneration = 0;
    std::unique_ptr<ShaderProgram> copyProgram;         // ours alone: copies the off-screen picture
    std::unique_ptr<ShaderProgram> swirlOutsideProgram; // ours alone: the background beyond the hole
    std::vector<std::array<int, 4>> bandRects;          // this frame's, kept to reuse their memory
};
