// Renderer lists and the platforms' crack maps: what gets drawn that needs no OpenGL. Which
// sheet cell a sprite shows is checked on screen (draw_passes_gltest).
#include "graphics/graphics_manager.hpp"
#include "graphics/renderer.hpp"
#include "objects/game_object_list.hpp"

#include <gtest/gtest.h>

#include <cmath>

// That each kind is drawn is checked on screen; here, that they leave their lists: all of an
// object's with it, and one alone keeping the others in order (interface images paint in it).
TEST(Renderers, LeaveTheirListsWithTheirObjectAndKeepTheOthersInOrder) {
    GraphicsManager& graphics = GraphicsManager::instance();
    GameObject* a = GameObjectList::instance().create("A");
    a->addComponent<SpriteRenderer>();
    a->addComponent<GameUIRenderer>();
    a->addComponent<TextRenderer>();
    a->addComponent<BoxRenderer>();
    a->addComponent<FrameBufferRenderer>();
    GameObjectList::instance().destroyAll();
    EXPECT_TRUE(graphics.sprites.empty() && graphics.uiImages.empty() && graphics.texts.empty() &&
                graphics.boxes.empty() && graphics.composites.empty());

    GameObject owner;
    auto* first = new GameUIRenderer(&owner);
    auto* middle = new GameUIRenderer(&owner);
    auto* end = new GameUIRenderer(&owner);
    delete middle;
    EXPECT_EQ(graphics.uiImages, (std::vector<GameUIRenderer*>{first, end}));
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
