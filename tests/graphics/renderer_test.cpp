// Renderer components and their lists, sprite-sheet cells and the platforms' crack maps:
// everything about what gets drawn that needs no OpenGL.
#include "graphics/graphics_manager.hpp"
#include "graphics/renderer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"

#include <SFML/Graphics/Texture.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

TEST(Renderers, EachKindJoinsItsListOnceAndLeavesItWhenDestroyed) {
    GraphicsManager& graphics = GraphicsManager::instance();
    GameObjectList& objects = GameObjectList::instance();
    GameObject* a = objects.create("A");
    GameObject* b = objects.create("B");

    SpriteRenderer* sprite = a->addComponent<SpriteRenderer>();
    EXPECT_EQ(a->addComponent<SpriteRenderer>(), sprite); // get-or-add
    GameUIRenderer* image = a->addComponent<GameUIRenderer>();
    TextRenderer* text = a->addComponent<TextRenderer>();
    BoxRenderer* box = a->addComponent<BoxRenderer>();
    FrameBufferRenderer* composite = a->addComponent<FrameBufferRenderer>();
    SpriteRenderer* other = b->addComponent<SpriteRenderer>();

    EXPECT_EQ(graphics.sprites, (std::vector<SpriteRenderer*>{sprite, other}));
    EXPECT_EQ(graphics.uiImages, std::vector<GameUIRenderer*>{image});
    EXPECT_EQ(graphics.texts, std::vector<TextRenderer*>{text});
    EXPECT_EQ(graphics.boxes, std::vector<BoxRenderer*>{box});
    EXPECT_EQ(graphics.composites, std::vector<FrameBufferRenderer*>{composite});
    EXPECT_EQ(sprite->name, "SpriteRenderer");
    EXPECT_EQ(image->name, "GameUIRenderer");
    EXPECT_EQ(text->name, "TextRenderer");
    EXPECT_EQ(box->name, "BoxRenderer");
    EXPECT_EQ(composite->name, "FrameBufferRenderer");
    EXPECT_EQ(sprite->owner, a);
    EXPECT_EQ(sprite->shader, nullptr);
    EXPECT_EQ(sprite->color.w, 1.0f);
    EXPECT_EQ(sprite->columns * sprite->column * sprite->rows * sprite->row, 1);
    EXPECT_EQ(a->components.size(), 5u);

    // Destroying a renderer takes out every occurrence and keeps the others in order.
    GameObject* c = objects.create("C");
    SpriteRenderer* last = c->addComponent<SpriteRenderer>();
    graphics.sprites.push_back(sprite);
    objects.destroyAll();
    EXPECT_TRUE(graphics.sprites.empty());
    EXPECT_TRUE(graphics.uiImages.empty());
    EXPECT_TRUE(graphics.texts.empty());
    EXPECT_TRUE(graphics.boxes.empty());
    EXPECT_TRUE(graphics.composites.empty());
    (void)last;
}

TEST(Renderers, RemovingOneKeepsTheOrderOfTheRest) {
    GraphicsManager& graphics = GraphicsManager::instance();
    GameObject owner;
    auto* first = new SpriteRenderer(&owner);
    auto* middle = new SpriteRenderer(&owner);
    auto* last = new SpriteRenderer(&owner);
    graphics.sprites.push_back(middle);
    delete middle;
    EXPECT_EQ(graphics.sprites, (std::vector<SpriteRenderer*>{first, last}));
    delete first;
    delete last;
    EXPECT_TRUE(graphics.sprites.empty());
}

TEST(Renderers, SettersKeepTheirOwnRules) {
    GameObject owner;
    ShaderProgram programRecord;
    ShaderProgram* program = &programRecord;
    // Even an empty sf::Texture wants an X display; the setters only store the pointer.
    alignas(sf::Texture) static unsigned char textureStandIn[sizeof(sf::Texture)];
    sf::Texture* texture = reinterpret_cast<sf::Texture*>(textureStandIn);

    GameUIRenderer image(&owner);
    image.rows = 3;
    image.row = 2;
    image.set(program, texture, {0.5f, 0.25f, 1, 1}, 12, 99, 11);
    EXPECT_EQ(image.shader, program);
    EXPECT_EQ(image.texture, texture);
    EXPECT_EQ(image.color.y, 0.25f);
    EXPECT_EQ(image.columns, 12);
    EXPECT_EQ(image.column, 11);
    EXPECT_EQ(image.rows, 1);
    EXPECT_EQ(image.row, 1);

    FrameBufferRenderer composite(&owner);
    composite.set(program, texture, {1, 0, 0, 1});
    EXPECT_EQ(composite.shader, program);
    EXPECT_EQ(composite.texture, nullptr); // the picture is always the off-screen one
    EXPECT_EQ(composite.color.x, 1.0f);
}

TEST(SpriteSheetCells, PickOneCellCountedFromTheTopLeft) {
    auto whole = CellCoordinates(1, 1, 1, 1);
    EXPECT_EQ(whole, (std::array<float, 12>{0, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 1}));

    // Column 3 of 4, row 2 of 3: u from 0.5 to 0.75, v from 1/3 to 2/3 (v grows downwards).
    auto cell = CellCoordinates(4, 3, 3, 2);
    const float third = 1.0f / 3.0f;
    const float twoThirds = 2.0f / 3.0f;
    EXPECT_EQ(cell, (std::array<float, 12>{0.5f, third, 0.75f, twoThirds, 0.5f, twoThirds, 0.5f, third, 0.75f,
                                           third, 0.75f, twoThirds}));

    // The timer's colon: 12 columns, column 12.
    auto colon = CellCoordinates(12, 12, 1, 1);
    EXPECT_FLOAT_EQ(colon[0], 11.0f / 12.0f);
    EXPECT_FLOAT_EQ(colon[2], 1.0f);
}

TEST(SpriteSheetCells, ColumnOrRowBeyondTheSheetStartsAtTheEdgeAndRepeats) {
    auto beyond = CellCoordinates(4, 5, 1, 1);
    EXPECT_EQ(beyond[0], 0.0f);  // uLeft
    EXPECT_EQ(beyond[2], 1.25f); // uRight: the picture 1.25 times across
    auto below = CellCoordinates(1, 1, 2, 3);
    EXPECT_EQ(below[1], 0.0f); // vTop
    EXPECT_EQ(below[3], 1.5f); // vBottom
    // An empty sheet is read as one cell rather than divided by zero.
    auto empty = CellCoordinates(0, 1, 0, 1);
    for (float value : empty) {
        EXPECT_TRUE(std::isfinite(value));
    }
}

TEST(CrackNormalMaps, FollowThePlatformsAspectRatio) {
    struct Case {
        float x, y;
        const char* expected;
    };
    const Case cases[] = {
        {8.0f, 1.0f, "20-3RatioNormal-Crack"},  {1.0f, 2.0f, "Normal-Crack"},
        {10.0f, 1.0f, "10-1RatioNormal-Crack"}, {12.0f, 1.0f, "10-1RatioNormal-Crack"},
        {6.6f, 1.0f, "20-3RatioNormal-Crack"},  {6.5f, 1.0f, "6-1RatioNormal-Crack"},
        {6.0f, 1.0f, "6-1RatioNormal-Crack"},   {5.0f, 1.0f, "5-1RatioNormal-Crack"},
        {4.0f, 1.0f, "4-1RatioNormal-Crack"},   {3.3f, 1.0f, "10-3RatioNormal-Crack"},
        {3.0f, 1.0f, "3-1RatioNormal-Crack"},   {2.0f, 1.0f, "2-1RatioNormal-Crack"},
        {3.0f, 2.0f, "3-2RatioNormal-Crack"},   {1.0f, 1.0f, "Normal-Crack"},
        {1.49f, 1.0f, "Normal-Crack"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(CrackNormalMapName(c.x, c.y), c.expected) << c.x << " x " << c.y;
    }
}
