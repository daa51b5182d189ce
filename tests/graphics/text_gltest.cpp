// Text as the player reads it: centred on its object whatever its length, on the world camera or
// as an overlay, and the messages when the font is missing.
#include "graphics/graphics_manager.hpp"
#include "graphics/renderer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"
#include "tests/support/gl_fixture.hpp"

#include <GL/glew.h>
#include <gtest/gtest.h>

namespace {

class TextDrawing : public GlFixture {
  protected:
    TextRenderer* makeText(const std::string& program, const std::string& content, float x, float y,
                           float scaleX, float scaleY) {
        GameObject* object = makeObject("Label", x, y, 0.0f, scaleX, scaleY);
        TextRenderer* text = object->addComponent<TextRenderer>();
        text->shader = ResourceManager::instance().getShader(program);
        text->color = {1, 1, 0, 1};
        text->text = content;
        return text;
    }
    std::array<int, 4> inkBounds() const {
        return boundsOf([](sf::Color c) { return c.r > 128 && c.g > 128 && c.b < 64; });
    }
    static float centre(int a, int b) { return (static_cast<float>(a) + static_cast<float>(b)) * 0.5f; }
};

} // namespace

TEST_F(TextDrawing, ShortAndLongLabelsCentreOnTheSamePoint) {
    ASSERT_GT(GraphicsManager::instance().glyphs.size(), 90u) << "no font";
    TextRenderer* text = makeText("Text", "FPS : 0", 5.0f, 3.0f, 3.0f, 3.0f);
    drawFrame();
    auto shortInk = inkBounds();
    text->text = "FPS : 123";
    drawFrame();
    auto longInk = inkBounds();
    ASSERT_GE(shortInk[0], 0);
    ASSERT_GE(longInk[0], 0);

    // The world point (5, 3) with the default camera: 1280 x 800 shows 48 x 30 units.
    const sf::Vector2i target = pictureToWindow(5.0f / 24.0f, 3.0f / 15.0f);
    EXPECT_NEAR(centre(shortInk[0], shortInk[2]), target.x, 4.0f);
    EXPECT_NEAR(centre(longInk[0], longInk[2]), target.x, 4.0f);
    EXPECT_NEAR(centre(shortInk[1], shortInk[3]), target.y, 3.0f); // capitals centred vertically
    // Two more digits: the label grows on both sides alike.
    const int grewLeft = shortInk[0] - longInk[0];
    const int grewRight = longInk[2] - shortInk[2];
    EXPECT_GT(grewLeft, 30);
    EXPECT_NEAR(grewLeft, grewRight, 4);
    EXPECT_NEAR(shortInk[1], longInk[1], 1) << "the same line";
}

TEST_F(TextDrawing, OverlayTextUsesInterfaceUnitsStaysInFrontOfTheWorldAndEmptyTextDrawsNothing) {
    addTexture("Blue", solidImage(sf::Color::Blue));
    // Under the counter, nearly the nearest a sprite gets.
    makeSprite("Blue", -18.0f, 13.5f, 90.0f, 10.0f, 4.0f);
    makeText("Text-UI", "FPS : 0", -0.75f, 0.9f, 0.05f, 0.08f);
    makeText("Text", "", 0.0f, 0.0f, 3.0f, 3.0f); // would widen the ink if it drew
    drawFrame();
    auto ink = inkBounds();
    ASSERT_GE(ink[0], 0);
    const sf::Vector2i target = pictureToWindow(-0.75f, 0.9f);
    EXPECT_NEAR(centre(ink[0], ink[2]), target.x, 3.0f);
    EXPECT_NEAR(centre(ink[1], ink[3]), target.y, 3.0f);
    EXPECT_LT(ink[3] - ink[1], 40); // a small counter in the corner
}

TEST_F(TextDrawing, MissingFontPrintsTheMessagesAndTextDrawsNothing) {
    addTexture("Blue", solidImage(sf::Color::Blue));
    makeSprite("Blue", 0.0f, 8.0f, 0.0f, 4.0f, 4.0f);
    makeText("Text", "FPS : 0", 0.0f, 0.0f, 3.0f, 3.0f);
    GraphicsManager& graphics = GraphicsManager::instance();
    graphics.fontPath = tempPath("no-such-font.ttf");

    testing::internal::CaptureStdout();
    graphics.Initialize(); // as a window re-creation would
    std::string out = testing::internal::GetCapturedStdout();
    // The message and the file, once: not a line per glyph, and not again for the next window.
    EXPECT_EQ(out, "ERROR::FREETYPE: Failed to load font\n" + tempPath("no-such-font.ttf") + "\n");
    EXPECT_TRUE(graphics.glyphs.empty());
    graphics.Shutdown();
    testing::internal::CaptureStdout();
    graphics.Initialize();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    drawFrame();
    EXPECT_LT(inkBounds()[0], 0);
    EXPECT_TRUE(colorNear(atWorld(0.0f, 8.0f), sf::Color::Blue)); // the rest still draws
    EXPECT_TRUE(runFrames(3));
}
