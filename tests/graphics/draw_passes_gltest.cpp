// What the player sees of the draw passes, read back from the window: where the default camera
// puts things, what hides what, what is left out, the full-screen composite and sheet cells.
#include "engine/input_manager.hpp"
#include "graphics/graphics_manager.hpp"
#include "graphics/renderer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"
#include "tests/support/gl_fixture.hpp"

#include <gtest/gtest.h>

namespace {

const sf::Color kRed = sf::Color::Red;
const sf::Color kGreen = sf::Color::Green;
const sf::Color kBlue = sf::Color::Blue;
const sf::Color kYellow = sf::Color::Yellow;
const sf::Color kBlack = sf::Color::Black;

class DrawPasses : public GlFixture {
  protected:
    void SetUp() override {
        GlFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        addTexture("Red", solidImage(kRed));
        addTexture("Green", solidImage(kGreen));
        addTexture("Blue", solidImage(kBlue));
        addTexture("Yellow", solidImage(kYellow));
    }
};

} // namespace

TEST_F(DrawPasses, DefaultCameraCentresACornerSpriteOnTheTopRightOfTheLetterboxedPicture) {
    // A window wider than 16:10 gets bars left and right: a 1152 x 720 picture from column 64,
    // and from row 800 - 720 = 80 of the window (rows count from the top).
    sf::Event resize{};
    resize.type = sf::Event::Resized;
    resize.size.width = 1280;
    resize.size.height = 720;
    InputManager::instance().queueEvent(resize);
    runFrames(1);
    makeSprite("Red", 24.0f, 15.0f, 0.0f, 2.0f, 2.0f); // 48 px across: 24 px per world unit
    drawFrame();
    auto red = boundsOf([](sf::Color c) { return sameColor(c, kRed); });
    const int cornerX = 64 + 1152;
    const int cornerY = 80;
    EXPECT_EQ(red[2], cornerX - 1); // right edge: clipped by the picture
    EXPECT_EQ(red[1], cornerY);     // top edge: clipped by the picture
    EXPECT_NEAR(red[0], cornerX - 24, 1);
    EXPECT_NEAR(red[3], cornerY + 24 - 1, 1);
    EXPECT_TRUE(colorNear(pixel(cornerX + 5, cornerY + 5), kBlack)); // nothing in the bar beside it
}

TEST_F(DrawPasses, NearerSpritesHideFartherOnesWhateverTheListOrder) {
    // Left pair: the nearer one is listed first; right pair: listed last.
    makeSprite("Red", -10.0f, 0.0f, 5.0f, 6.0f, 6.0f);
    makeSprite("Blue", -8.0f, 0.0f, -3.0f, 6.0f, 6.0f);
    makeSprite("Blue", 8.0f, 0.0f, -3.0f, 6.0f, 6.0f);
    makeSprite("Red", 10.0f, 0.0f, 5.0f, 6.0f, 6.0f);
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(-9.0f, 0.0f), kRed)); // overlap
    EXPECT_TRUE(colorNear(atWorld(9.0f, 0.0f), kRed));
    EXPECT_TRUE(colorNear(atWorld(-6.0f, 0.0f), kBlue)); // blue where it is alone
    EXPECT_TRUE(colorNear(atWorld(0.0f, 0.0f), kBlack));
}

TEST_F(DrawPasses, InterfaceImagesPaintInListOrderOverTheWorld) {
    makeSprite("Green", 0.0f, 0.0f, 90.0f, 40.0f, 20.0f); // the nearest world sprite there is
    makeImage("Red", -0.1f, 0.0f, 50.0f, 0.4f, 0.4f);     // interface units: -1..1 across the picture
    makeImage("Blue", 0.1f, 0.0f, -50.0f, 0.4f, 0.4f);    // farther z, listed later: still on top
    drawFrame();
    EXPECT_TRUE(colorNear(atPicture(0.0f, 0.0f), kBlue));
    EXPECT_TRUE(colorNear(atPicture(-0.25f, 0.0f), kRed));
    EXPECT_TRUE(colorNear(atPicture(0.25f, 0.0f), kBlue));
    EXPECT_TRUE(colorNear(atPicture(0.0f, 0.3f), kGreen));
}

TEST_F(DrawPasses, DisabledRenderersInactiveOwnersAndMissingProgramsDrawNothing) {
    makeSprite("Green", 0.0f, 0.0f, 0.0f, 4.0f, 4.0f)->getComponent<SpriteRenderer>()->shader = nullptr;
    GameObject* left = makeSprite("Red", -10.0f, 0.0f, 0.0f, 4.0f, 4.0f);
    GameObject* parent = makeObject("Parent", 10.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    GameObject* child = makeSprite("Blue", 10.0f, 0.0f, 0.0f, 4.0f, 4.0f);
    parent->transform.setParent(child);
    GameObject* image = makeImage("Yellow", 0.0f, 0.5f, 0.0f, 0.2f, 0.2f);
    drawFrame();
    ASSERT_TRUE(colorNear(atWorld(-10.0f, 0.0f), kRed));
    ASSERT_TRUE(colorNear(atWorld(10.0f, 0.0f), kBlue));
    ASSERT_TRUE(colorNear(atPicture(0.0f, 0.5f), kYellow));
    EXPECT_TRUE(colorNear(atWorld(0.0f, 0.0f), kBlack));

    left->getComponent<SpriteRenderer>()->enabled = false;
    setActive(parent, false);
    image->getComponent<GameUIRenderer>()->enabled = false;
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(-10.0f, 0.0f), kBlack));
    EXPECT_TRUE(colorNear(atWorld(10.0f, 0.0f), kBlack));
    EXPECT_TRUE(colorNear(atPicture(0.0f, 0.5f), kBlack));

    // Hidden, not forgotten: both come back.
    left->getComponent<SpriteRenderer>()->enabled = true;
    setActive(parent, true);
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(-10.0f, 0.0f), kRed));
    EXPECT_TRUE(colorNear(atWorld(10.0f, 0.0f), kBlue));
}

TEST_F(DrawPasses, MissingTextureIsReportedOncePerNameAndTheQuadStillDrawn) {
    makeSprite("Yellow", 0.0f, 0.0f, 0.0f, 10.0f, 10.0f);
    makeSprite("NoSuchPicture", 0.0f, 0.0f, 1.0f, 4.0f, 4.0f);
    makeSprite("NoSuchPicture", -8.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    testing::internal::CaptureStdout();
    drawFrame();
    drawFrame();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "CAN'T FIND TEXTURE\n") << "not a line per draw";
    // Drawn with no picture: opaque black over the yellow behind it.
    EXPECT_TRUE(colorNear(atWorld(0.0f, 0.0f), kBlack));
    EXPECT_TRUE(colorNear(atWorld(4.0f, 0.0f), kYellow));

    // Another missing name is told once too; a name that loads and is lost again, again.
    makeSprite("AlsoMissing", 8.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    addTexture("NoSuchPicture", solidImage(kGreen));
    ResourceManager::instance().removeTexture("NoSuchPicture");
    testing::internal::CaptureStdout();
    drawFrame();
    drawFrame();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "CAN'T FIND TEXTURE\nCAN'T FIND TEXTURE\n");
}

TEST_F(DrawPasses, CompositeShowsTheSceneThroughItsProgramAndTheOverlayOnTop) {
    // A composite that swaps colour channels, so the scene is recognisable as having gone through it.
    addProgram(
        "Swap", "./shaders/Screen_Copy.vs",
        "#version 330 core\n"
        "in vec2 uv;\n"
        "out vec4 fragColor;\n"
        "uniform sampler2D screenTexture;\n"
        "void main() { vec3 c = texture(screenTexture, uv).rgb; fragColor = vec4(c.b, c.r, c.g, 1.0); }\n");
    makeSprite("Red", -10.0f, 0.0f, 0.0f, 4.0f, 4.0f);
    makeImage("Blue", 0.0f, 0.5f, 0.0f, 0.2f, 0.2f);
    GameObject* box = makeObject("Box", 10.0f, 0.0f, 0.0f, 6.0f, 6.0f);
    BoxRenderer* outline = box->addComponent<BoxRenderer>();
    outline->shader = ResourceManager::instance().getShader("Basic");
    outline->color = {1, 0, 1, 1};
    GameObject* frame = makeObject("FrameBuffer", 0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    frame->addComponent<FrameBufferRenderer>()->set(ResourceManager::instance().getShader("Swap"), nullptr,
                                                    {1, 1, 1, 1});

    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(-10.0f, 0.0f), kGreen)); // red scene, channels swapped
    EXPECT_TRUE(colorNear(atPicture(0.0f, 0.5f), kBlue));  // interface: straight into the window
    auto lines = boundsOf([](sf::Color c) { return sameColor(c, sf::Color::Magenta, 40); });
    // The outline, unswapped, 6 units across.
    EXPECT_NEAR((lines[0] + lines[2]) / 2, pictureToWindow(10.0f / 24.0f, 0.0f).x, 2);
    EXPECT_NEAR(lines[2] - lines[0], 6 * 1280 / 48, 3);

    // Without a composite taking part the scene goes straight to the window.
    frame->active = false;
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(-10.0f, 0.0f), kRed));
}

TEST_F(DrawPasses, SheetCellsPickColumnsAndRowsAndRepeatBeyondTheSheet) {
    // Four columns by two rows of 4 x 4 px cells, each its own colour.
    const sf::Color cells[2][4] = {
        {kRed, kGreen, kBlue, kYellow},
        {sf::Color::Magenta, sf::Color::Cyan, sf::Color::White, sf::Color(128, 0, 0)}};
    sf::Image sheet;
    sheet.create(16, 8);
    for (unsigned y = 0; y < 8; ++y) {
        for (unsigned x = 0; x < 16; ++x) {
            sheet.setPixel(x, y, cells[y / 4][x / 4]);
        }
    }
    addTexture("Sheet", sheet);
    auto cell = [](float x, float y, float scaleX, int column, int row) {
        auto* sprite = makeSprite("Sheet", x, y, 0.0f, scaleX, 6.0f)->getComponent<SpriteRenderer>();
        sprite->columns = 4;
        sprite->rows = 2;
        sprite->column = column;
        sprite->row = row;
        return sprite;
    };
    struct Pick {
        int column, row;
        float x, y;
    };
    const Pick picks[] = {{1, 1, -15, 8}, {3, 2, -5, 8}, {4, 1, 5, 8}, {2, 2, 15, 8}, {1, 1, -15, -2}};
    std::vector<SpriteRenderer*> sprites;
    for (const Pick& p : picks) {
        sprites.push_back(cell(p.x, p.y, 6.0f, p.column, p.row));
    }
    // Column 5 of 4: u runs from 0 to 1.25, so the sheet shows 1.25 times across.
    cell(0.0f, -8.0f, 40.0f, 5, 1);
    // The same cells on an interface image.
    GameObject* image = makeObject("Image", 0.8f, 0.8f, 0.0f, 0.2f, 0.2f);
    image->addComponent<GameUIRenderer>()->set(ResourceManager::instance().getShader("Sprite-UI"),
                                               ResourceManager::instance().getTexture("Sheet"), {1, 1, 1, 1},
                                               4, 0, 2);

    drawFrame();
    for (const Pick& p : picks) {
        EXPECT_TRUE(colorNear(atWorld(p.x, p.y), cells[p.row - 1][p.column - 1])) << p.column << "," << p.row;
    }
    for (auto [fraction, column] : {std::pair{0.1f, 0}, {0.3f, 1}, {0.5f, 2}, {0.7f, 3}, {0.9f, 0}}) {
        EXPECT_TRUE(colorNear(atWorld(-20.0f + 40.0f * fraction, -8.0f), cells[0][column])) << fraction;
    }
    EXPECT_TRUE(colorNear(atPicture(0.8f, 0.8f), kGreen));

    // Changing a cell shows the new one on the next frame.
    sprites[0]->column = 2;
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(-15.0f, 8.0f), kGreen));
    EXPECT_TRUE(colorNear(atWorld(-15.0f, -2.0f), kRed));
}

TEST_F(DrawPasses, PlatformsGetTheCrackMapOfTheirShapeOnUnitOne) {
    // A program that shows what is bound on the "normalTexture" unit.
    addProgram("ShowNormals", "./shaders/Sprite.vs",
               "#version 330 core\n"
               "in vec2 uv;\n"
               "out vec4 fragColor;\n"
               "uniform sampler2D normalTexture;\n"
               "void main() { fragColor = vec4(texture(normalTexture, uv).rgb, 1.0); }\n");
    addTexture("20-3RatioNormal-Crack", solidImage(kBlue));
    addTexture("Normal-Crack", solidImage(kGreen));
    // The last one's "3-1RatioNormal-Crack" was never loaded: nothing is bound.
    for (auto [x, y, scaleX, scaleY] :
         {std::array{-10.0f, 8.0f, 8.0f, 1.0f}, {10.0f, 5.0f, 1.0f, 2.0f}, {0.0f, -8.0f, 3.0f, 1.0f}}) {
        GameObject* platform = makeSprite("Red", x, y, 0.0f, scaleX, scaleY);
        platform->tag = "Platform";
        platform->getComponent<SpriteRenderer>()->shader =
            ResourceManager::instance().getShader("ShowNormals");
    }
    drawFrame();
    EXPECT_TRUE(colorNear(atWorld(-10.0f, 8.0f), kBlue));
    EXPECT_TRUE(colorNear(atWorld(10.0f, 5.0f), kGreen));
    EXPECT_TRUE(colorNear(atWorld(0.0f, -8.0f), kBlack));
}
