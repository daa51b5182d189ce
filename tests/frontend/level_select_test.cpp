// The level select driven through the real engine without a window: keys and pads go through the
// input's test paths and the screen is read back from its objects, as a player would see it.
#include "engine/input_manager.hpp"
#include "frontend/level_select.hpp"
#include "graphics/renderer.hpp"
#include "objects/game_object.hpp"
#include "tests/support/engine_harness.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

using Key = sf::Keyboard::Key;

class LevelSelectScreen : public ::testing::Test {
  protected:
    void SetUp() override { harness.step(); } // a blank state to own the objects

    // Three maps, of which only the first two bring a preview.
    void build(const std::vector<std::string>& maps = {"Meadow", "Quarry", "Docks"},
               const std::vector<std::string>& previews = {"Map1", "Map2"}) {
        screen = BuildLevelSelect(maps, previews);
        enter();
    }
    // What the menu does on every entry.
    void enter() {
        screen->Reset();
        screen->active = true;
        screen->Show(true);
    }
    // Each key is pressed for a frame and released for the next.
    void press(std::initializer_list<Key> keys) {
        for (Key code : keys) {
            sf::Event e{};
            e.type = sf::Event::KeyPressed;
            e.key.code = code;
            InputManager::instance().queueEvent(e);
            harness.step();
            e.type = sf::Event::KeyReleased;
            InputManager::instance().queueEvent(e);
            harness.step();
        }
    }
    std::string detail(uint32_t row) const {
        return screen->ui.details[row]->getComponent<TextRenderer>()->text;
    }
    std::string preview() const { return screen->ui.preview->getComponent<SpriteRenderer>()->textureName; }
    std::string startPicture() const {
        return screen->ui.startButton->getComponent<SpriteRenderer>()->textureName;
    }
    GameObject* highlight() const { return screen->ui.backPanel; }

    EngineHarness harness;
    LevelSelect* screen = nullptr;
};

TEST_F(LevelSelectScreen, MapsWrapBothWaysWithTheirPreviews) {
    build();
    press({Key::Left});
    EXPECT_EQ(detail(LevelRow::Map), "Docks");
    EXPECT_EQ(preview(), "CustomMap"); // beyond the preview list
    press({Key::Right});
    EXPECT_EQ(detail(LevelRow::Map), "Meadow");
    EXPECT_EQ(preview(), "Map1");
    press({Key::Right});
    EXPECT_EQ(detail(LevelRow::Map), "Quarry");
    EXPECT_EQ(preview(), "Map2");
}

TEST_F(LevelSelectScreen, LivesAndTimeWrapAndTimeGivesSeconds) {
    build();
    press({Key::Down, Key::Left});
    EXPECT_EQ(detail(LevelRow::Lives), "5");
    press({Key::Down});
    EXPECT_EQ(screen->chosenSeconds(), "180");
    press({Key::Right});
    EXPECT_EQ(detail(LevelRow::Time), "5:00");
    EXPECT_EQ(screen->chosenSeconds(), "300");
    press({Key::Right});
    EXPECT_EQ(detail(LevelRow::Time), "10:00");
    EXPECT_EQ(screen->chosenSeconds(), "600");
    press({Key::Right});
    EXPECT_EQ(detail(LevelRow::Time), "3:00");
    EXPECT_EQ(detail(LevelRow::Lives), "5"); // only the current row changes
}

TEST_F(LevelSelectScreen, RowsMoveTheHighlightAndOnlyTheStartRowStarts) {
    build();
    const float rowY[3] = {-2.0f, -6.0f, -10.0f};
    for (uint32_t row = 0; row < 3; ++row) {
        EXPECT_TRUE(highlight()->active);
        EXPECT_FLOAT_EQ(highlight()->transform.position.y, rowY[row]);
        EXPECT_EQ(startPicture(), "StartGame");
        press({Key::Enter});
        EXPECT_FALSE(screen->startRequested) << "row " << row;
        press({Key::Down});
    }
    EXPECT_FALSE(highlight()->active);
    EXPECT_EQ(startPicture(), "StartGameHL");
    press({Key::Up}); // leaving the start row dims the button again
    EXPECT_EQ(startPicture(), "StartGame");
    EXPECT_FLOAT_EQ(highlight()->transform.position.y, -10.0f);
    press({Key::Down, Key::Down}); // round to the map row
    EXPECT_EQ(startPicture(), "StartGame");
    EXPECT_FLOAT_EQ(highlight()->transform.position.y, -2.0f);
    press({Key::Up, Key::Enter}); // back up to the start row
    EXPECT_TRUE(screen->startRequested);
}

TEST_F(LevelSelectScreen, BackFromAnyRowThenConfirmIsIgnoredUntilReentry) {
    build();
    press({Key::Escape});
    EXPECT_TRUE(screen->backRequested);
    press({Key::Up, Key::Enter});
    EXPECT_FALSE(screen->startRequested);

    enter();
    EXPECT_FALSE(screen->backRequested);
    harness.pads.connect(2, true);
    press({Key::Up}); // on the start row
    harness.pads.setButtons(2, kPadBack);
    harness.step();
    harness.pads.setButtons(2, 0);
    harness.step();
    EXPECT_TRUE(screen->backRequested);
    press({Key::Enter});
    EXPECT_FALSE(screen->startRequested);
}

TEST_F(LevelSelectScreen, EnteringAgainStartsFromTheFirstChoices) {
    build();
    press({Key::Right, Key::Down, Key::Right, Key::Down, Key::Right, Key::Down});
    enter();
    EXPECT_EQ(detail(LevelRow::Map), "Meadow");
    EXPECT_EQ(preview(), "Map1");
    EXPECT_EQ(detail(LevelRow::Lives), "3");
    EXPECT_EQ(detail(LevelRow::Time), "3:00");
    EXPECT_EQ(startPicture(), "StartGame");
    EXPECT_TRUE(highlight()->active);
    EXPECT_FLOAT_EQ(highlight()->transform.position.y, -2.0f);
    EXPECT_FALSE(screen->ui.noMapsText->active);
}

TEST_F(LevelSelectScreen, AnEmptyMapListSaysSoAndCannotStart) {
    build({}, {});
    EXPECT_TRUE(screen->ui.noMapsText->active);
    EXPECT_EQ(screen->ui.noMapsText->getComponent<TextRenderer>()->text, "No maps found");
    EXPECT_FALSE(screen->ui.details[LevelRow::Map]->active);
    press({Key::Left, Key::Right});
    EXPECT_EQ(screen->mapIndex, 0u);
    press({Key::Up, Key::Enter});
    EXPECT_FALSE(screen->startRequested);
    press({Key::Escape});
    EXPECT_TRUE(screen->backRequested);
}

} // namespace
