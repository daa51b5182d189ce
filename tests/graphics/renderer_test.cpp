// Renderer components and their lists, and the platforms' crack maps: what gets drawn that needs
// no OpenGL. Which sheet cell a sprite shows is checked on screen (draw_passes_gltest).
#include "graphics/graphics_manager.hpp"
#include "graphics/renderer.hpp"
#include "objects/game_object_list.hpp"

#include <gtest/gtest.h>

#include <cmath>

TEST(Renderers, EachKindJoinsItsListOnceAndLeavesItInOrderWhenDestroyed) {
    GraphicsManager& graphics = GraphicsManager::instance();
    GameObjectList& objects = GameObjectList::instance();
    GameObject* a = objects.create("A");
    SpriteRenderer* sprite = a->addComponent<SpriteRenderer>();
    EXPECT_EQ(a->addComponent<SpriteRenderer>(), sprite); // get-or-add
    GameUIRenderer* image = a->addComponent<GameUIRenderer>();
    TextRenderer* text = a->addComponent<TextRenderer>();
    BoxRenderer* box = a->addComponent<BoxRenderer>();
    FrameBufferRenderer* composite = a->addComponent<FrameBufferRenderer>();
    SpriteRenderer* other = objects.create("B")->addComponent<SpriteRenderer>();
    EXPECT_EQ(graphics.sprites, (std::vector<SpriteRenderer*>{sprite, other}));
    EXPECT_EQ(graphics.uiImages, std::vector<GameUIRenderer*>{image});
    EXPECT_EQ(graphics.texts, std::vector<TextRenderer*>{text});
    EXPECT_EQ(graphics.boxes, std::vector<BoxRenderer*>{box});
    EXPECT_EQ(graphics.composites, std::vector<FrameBufferRenderer*>{composite});

    // A renderer listed twice leaves with every occurrence.
    graphics.sprites.push_back(sprite);
    objects.destroyAll();
    EXPECT_TRUE(graphics.sprites.empty() && graphics.uiImages.empty() && graphics.texts.empty() &&
                graphics.boxes.empty() && graphics.composites.empty());

    // One going keeps the others in order.
    GameObject owner;
    auto* first = new SpriteRenderer(&owner);
    auto* middle = new SpriteRenderer(&owner);
    auto* end = new SpriteRenderer(&owner);
    delete middle;
    EXPECT_EQ(graphics.sprites, (std::vector<SpriteRenderer*>{first, end}));
    delete first;
    delete end;
}

TEST(SpriteSheetCells, AnEmptySheetIsReadAsOneCellRatherThanDividedByZero) {
    for (float value : CellCoordinates(0, 1, 0, 1)) {
        EXPECT_TRUE(std::isfinite(value));
    }
}

TEST(CrackNormalMaps, FollowThePlatformsAspectRatio) {
    struct Case {
        float x, y;
        const char* expected;
    };
    const Case cases[] = {
        {12.0f, 1.0f, "10-1RatioNormal-Crack"}, {6.6f, 1.0f, "20-3RatioNormal-Crack"},
        {6.5f, 1.0f, "6-1RatioNormal-Crack"},   {3.0f, 2.0f, "3-2RatioNormal-Crack"},
        {1.49f, 1.0f, "Normal-Crack"},          {1.0f, 2.0f, "Normal-Crack"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(CrackNormalMapName(c.x, c.y), c.expected) << c.x << " x " << c.y;
    }
}
