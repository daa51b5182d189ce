// Switching between fullscreen and a window re-creates the OpenGL context: the graphics manager
// builds its meshes, glyphs and off-screen picture again and every pass still draws. Resizing
// the window keeps the context; the off-screen picture alone follows the new size.
#include "graphics/debug_overlay.hpp"
#include "graphics/graphics_manager.hpp"
#include "graphics/renderer.hpp"
#include "graphics/shader_logic.hpp"
#include "objects/game_object.hpp"
#include "objects/resource_manager.hpp"
#include "tests/support/gl_fixture.hpp"

#include <gtest/gtest.h>

namespace {

class WindowRecreation : public GlFixture {
  protected:
    // One of each: a sprite through the composite, an interface image and a text.
    void buildScene() {
        ResourceManager& resources = ResourceManager::instance();
        addTexture("Red", solidImage(sf::Color::Red));
        addTexture("Blue", solidImage(sf::Color::Blue));
        makeSprite("Red", -10.0f, 0.0f, 0.0f, 4.0f, 4.0f);
        makeImage("Blue", 0.0f, 0.5f, 0.0f, 0.2f, 0.2f);
        GameObject* label = makeObject("Label", 0.0f, -8.0f, 0.0f, 3.0f, 3.0f);
        TextRenderer* text = label->addComponent<TextRenderer>();
        text->shader = resources.getShader("Text");
        text->color = {0, 1, 0, 1};
        text->text = "GRUMBO";
        makeShockWave();
        GraphicsManager::instance().skipIdleComposites = false; // the off-screen picture in use
    }

    void expectSceneDrawn() {
        drawFrame();
        EXPECT_TRUE(colorNear(atWorld(-10.0f, 0.0f), sf::Color::Red));
        EXPECT_TRUE(colorNear(atPicture(0.0f, 0.5f), sf::Color::Blue));
        auto text = boundsOf([](sf::Color c) { return c.g > 200 && c.r < 50 && c.b < 50; });
        EXPECT_GE(text[0], 0) << "no text";
    }
};

} // namespace

TEST_F(WindowRecreation, WindowedAndBackToFullscreenStillDrawEveryPass) {
    buildScene();
    expectSceneDrawn();
    for (bool fullscreen : {false, true}) {
        SCOPED_TRACE(fullscreen ? "fullscreen" : "windowed");
        testing::internal::CaptureStdout();
        engine().createWindow(fullscreen);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out.find("ERROR::FRAMEBUFFER"), std::string::npos) << out;
        EXPECT_EQ(engine().fullscreen, fullscreen);
        expectSceneDrawn();
        EXPECT_TRUE(runFrames(2));
    }
}

// A player who resizes the window keeps its context, so nothing is built again on its own: the
// off-screen picture must follow the new size, or the shock-wave frames show the old picture
// squeezed into the new window. A ring frame after the resize must look exactly as one drawn
// with the picture built for that size, as a window made at that size has it.
TEST_F(WindowRecreation, AShockWaveFrameAfterAResizeLooksAsInAWindowMadeAtThatSize) {
    addTexture("Grey", solidImage(sf::Color(90, 90, 90)));
    makeSprite("Grey", 0.0f, 0.0f, 0.0f, 48.0f, 30.0f);
    ShaderLogic* waves = makeShockWave();
    ASSERT_NO_FATAL_FAILURE(resizeWindow(1000, 700)); // as the player drags it
    waves->AddWave(1.5f, 30.0f, {6.0f, -2.0f}, 3.0f);
    waves->waves()->radius[0] = 0.3f;
    drawFrame();
    const std::vector<uint8_t> afterResize = pixels;

    // What a window made at this size draws with: everything built afresh for it.
    GraphicsManager::instance().Shutdown();
    GraphicsManager::instance().Initialize();
    drawFrame();
    EXPECT_EQ(differingBytes(afterResize, pixels), 0u);
}

namespace {

// A screen whose own update switches between fullscreen and a window, as the option menus do:
// in the middle of a frame, after the developer overlay has begun its frame.
class TogglingState : public SceneState {
  public:
    void Update() override {
        if (toggles > 0) {
            --toggles;
            Engine::instance().createWindow(!Engine::instance().fullscreen);
        }
    }
    int toggles = 3;
};

class WindowRecreationMidFrame : public GlFixture {
  protected:
    WindowRecreationMidFrame() {
        stateFactory = [](uint32_t) { return new TogglingState(); };
    }
};

} // namespace

TEST_F(WindowRecreationMidFrame, OverlayStillDrawsInTheFrameThatRecreatedTheWindow) {
    DebugOverlay::instance().visible = true;
    EXPECT_TRUE(runFrames(5));
    EXPECT_EQ(static_cast<TogglingState*>(state())->toggles, 0);
    EXPECT_TRUE(DebugOverlay::instance().initialised());
}
