#include "graphics/graphics_manager.hpp"
#include "graphics/renderer.hpp"
#include "graphics/shader_logic.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"
#include "tests/support/gl_fixture.hpp"

#include <GL/glew.h>

#include <string>
#include <vector>

namespace {

class EffectsTest : public GlFixture {};

} // namespace

// "active" is reserved in GLSL, so the swirl takes its flag as "swirlActive"; every other uniform
// keeps the name the effects upload. (The fade and the rings are checked on screen below, and
// that every program links is ResourceManagerGl's.)
TEST_F(EffectsTest, EveryEffectProgramTakesItsUniforms) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> programs = {
        {"Blackhole",
         {"swirlActive", "scaleRatioX", "scaleRatioY", "swirlAngle[0]", "swirlRadius[0]", "swirlSpeed[0]",
          "swirlCenter[0]", "model", "view", "projection", "color"}},
        {"Sprite-Cracks",
         {"normalTexture", "model", "view", "projection", "color", "contactActive[19]", "contactPoints[19]",
          "crackRadius[19]", "crackAlpha[19]"}},
        {"Sprite-Scrolling", {"scrollTime", "scrollSpeed", "model", "view", "projection", "color"}},
    };
    for (const auto& [name, uniforms] : programs) {
        ShaderProgram* program = ResourceManager::instance().getShader(name);
        ASSERT_NE(program, nullptr) << name;
        for (const std::string& uniform : uniforms) {
            EXPECT_NE(glGetUniformLocation(program->id, uniform.c_str()), -1)
                << name << " has no " << uniform;
        }
    }
}

TEST_F(EffectsTest, CircularFadeCoversAtZeroAndOpensAtHalf) {
    addTexture("White", solidImage(sf::Color::White));
    addTexture("BlackOverlay", solidImage(sf::Color::Black));
    runFrames(1);
    makeSprite("White", 0, 0, 0, 48, 30);
    GameObject* overlay = makeObject("GameOverBlackOverlay", 0, 0, 1, 2, 2);
    auto* image = overlay->addComponent<GameUIRenderer>();
    image->shader = ResourceManager::instance().getShader("Sprite_FadeToBlack_Circular");
    image->texture = ResourceManager::instance().getTexture("BlackOverlay");
    auto* fade = overlay->attach(new ShaderLogic(&state()->camera, overlay, ShaderMode::Fade));
    fade->StartFade(1.5f, 1.0f, 0.0f);
    fade->fade()->running = false;

    // Covered everywhere at radius 0, a hole in the middle at 0.25, open everywhere at 0.5.
    const sf::Color black = sf::Color::Black, white = sf::Color::White;
    for (auto [radius, middle, corners] :
         {std::tuple{0.0f, black, black}, {0.25f, white, black}, {0.5f, white, white}}) {
        fade->fade()->radius = radius;
        drawFrame();
        EXPECT_TRUE(colorNear(atPicture(0.0f, 0.0f), middle)) << radius;
        EXPECT_TRUE(colorNear(atPicture(0.98f, 0.98f), corners)) << radius;
        EXPECT_TRUE(colorNear(atPicture(-0.98f, -0.98f), corners)) << radius;
    }
}

// A knock-out's ring must centre on the tank whatever shape the window has: with bars at the
// sides (16:9) or above and below (4:3). The ring brightens a grey scene in a band around its
// centre; the middle of the brightened pixels is where the ring sits.
TEST_F(EffectsTest, ShockWaveRingCentresOnItsSpotOnWideAndNarrowWindows) {
    addTexture("Grey", solidImage(sf::Color(100, 100, 100)));
    runFrames(1);
    makeSprite("Grey", 0, 0, 0, 60, 40);
    ShaderLogic* waves = makeShockWave();
    const vec2 spot{12.0f, 3.0f}; // clip (0.5, 0.2) with the default 48 x 30 view
    waves->AddWave(1.5f, 30.0f, spot, 3.0f);
    waves->waves()->radius[0] = 0.2f;

    for (auto [w, h] : {std::pair{1280u, 720u}, {1024u, 768u}}) {
        // The window the engine lays out, with its off-screen picture built to match; the laid-out
        // window is the bottom-left part of the real one.
        engine().width = w;
        engine().height = h;
        engine().updateViewport();
        GraphicsManager::instance().Shutdown();
        GraphicsManager::instance().Initialize();
        drawFrame();
        auto ring = boundsOf([](sf::Color c) { return c.r > 110; });
        ASSERT_GE(ring[0], 0) << w << "x" << h << ": the ring shows";
        const sf::Vector2i spotOnWindow = pictureToWindow(0.5f, 0.2f);
        EXPECT_NEAR((ring[0] + ring[2]) / 2.0f, spotOnWindow.x, 3.0f) << w << "x" << h;
        EXPECT_NEAR((ring[1] + ring[3]) / 2.0f, spotOnWindow.y, 3.0f) << w << "x" << h;
    }
}

// With no ring out the shock-wave composite only copies the picture, so it is skipped: the
// window must look exactly as when the picture goes through it, letterbox bars, see-through
// sprites, particles, text and interface included, on a wide window. A ring brings it back.
TEST_F(EffectsTest, AnIdleShockWaveCompositeIsSkippedWithoutChangingAPixel) {
    sf::Image holed = solidImage(sf::Color(200, 80, 40), 16, 16);
    for (unsigned y = 5; y < 11; ++y) {
        for (unsigned x = 5; x < 11; ++x) {
            holed.setPixel(x, y, sf::Color(0, 0, 0, 0));
        }
    }
    addTexture("Holed", holed);
    addTexture("Blue", solidImage(sf::Color(40, 90, 220, 140)));
    runFrames(1);
    resizeWindow(1280, 720); // a wide window, so the picture has bars at its sides
    for (int i = 0; i < 12; ++i) {
        makeSprite(i % 2 == 0 ? "Holed" : "Blue", -20.0f + 3.5f * static_cast<float>(i),
                   -6.0f + static_cast<float>(i % 4) * 3.0f, static_cast<float>(i % 3) * 0.5f, 6.0f, 5.0f);
    }
    GameObject* label = makeObject("Label", -10.0f, 8.0f, 2.0f, 1.0f, 1.0f);
    auto* text = label->addComponent<TextRenderer>();
    text->shader = ResourceManager::instance().getShader("Text");
    text->text = "PLAYER 1 : 120%";
    makeImage("Blue", 0.5f, -0.7f, 0.0f, 0.2f, 0.2f);
    ShaderLogic* waves = makeShockWave();

    GraphicsManager& graphics = GraphicsManager::instance();
    graphics.skipIdleComposites = false;
    drawFrame();
    const std::vector<uint8_t> throughComposite = pixels;
    graphics.skipIdleComposites = true;
    drawFrame();
    EXPECT_EQ(differingBytes(throughComposite, pixels), 0u)
        << "skipping the idle composite must not change the picture";

    waves->AddWave(1.5f, 30.0f, {0.0f, 0.0f}, 3.0f);
    waves->waves()->radius[0] = 0.2f;
    drawFrame();
    EXPECT_GT(differingBytes(throughComposite, pixels), 100u) << "a ring goes through the composite again";
}
