// The level select driven through the real engine without a window: keys and pads go through the
// input's test paths and the screen is read back from its objects, as a player would see it.
#include "frontend/level_select.hpp"
#include "graphics/renderer.hpp"
#include "objects/game_object.hpp"
#include "tests/support/engine_harness.hpp"
#include "tests/support/key_events.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using Key = sf::Keyboard::Key;

class LevelSelectScreen : public ::testing::Test {
  protected:
    void SetUp() override { harness.step(); } // a blank state to own the objects

    // Three maps, of which only the first two bring a preview.
    void build(const std::vector<std::string>& maps = {"Meadow", "Quarry", "Docks"}) {
        screen = BuildLevelSelect(maps, {"Map1", "Map2"});
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
            harness.tapKey(code);
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
    // The highlight sits on the row of that row's label.
    bool highlightOn(uint32_t row) const {
        return highlight()->active &&
               highlight()->transform.position.y == screen->ui.labels[row]->transform.position.y;
    }

    EngineHarness harness;
    LevelSelect* screen = nullptr;
};

TEST_F(LevelSelectScreen, ValuesWrapBothWaysAndEnteringAgainStartsFromTheFirst) {
    build();
    press({Key::Left});
    EXPECT_EQ(detail(LevelRow::Map), "Docks");
    EXPECT_EQ(preview(), "CustomMap"); // beyond the preview list
    press({Key::Right, Key::Right});
    EXPECT_EQ(preview(), "Map2");
    press({Key::Down, Key::Left});
    EXPECT_EQ(detail(LevelRow::Lives), "5");
    press({Key::Down, Key::Right});
    EXPECT_EQ(detail(LevelRow::Time), "5:00");
    EXPECT_EQ(screen->chosenSeconds(), "300") << "the match is given its length in seconds";

    press({Key::Down});
    enter();
    EXPECT_EQ(detail(LevelRow::Map), "Meadow");
    EXPECT_EQ(preview(), "Map1");
    EXPECT_EQ(detail(LevelRow::Lives), "3");
    EXPECT_EQ(detail(LevelRow::Time), "3:00");
    EXPECT_EQ(startPicture(), "StartGame");
    EXPECT_TRUE(highlightOn(LevelRow::Map));
    EXPECT_FALSE(screen->ui.noMapsText->active);
}

TEST_F(LevelSelectScreen, OnlyTheStartRowStartsAndAfterBackNotEvenThatUntilReentry) {
    build();
    press({Key::Enter, Key::Down, Key::Down, Key::Enter});
    EXPECT_TRUE(highlightOn(LevelRow::Time));
    EXPECT_FALSE(screen->startRequested);
    press({Key::Down, Key::Enter});
    EXPECT_TRUE(highlightOn(LevelRow::Teams));
    press({Key::Down, Key::Enter});
    EXPECT_TRUE(highlightOn(LevelRow::TeamHits));
    EXPECT_FALSE(screen->startRequested);
    press({Key::Down});
    EXPECT_FALSE(highlight()->active);
    EXPECT_EQ(startPicture(), "StartGameHL");
    press({Key::Down}); // round to the map row, and the button dims again
    EXPECT_EQ(startPicture(), "StartGame");
    EXPECT_TRUE(highlightOn(LevelRow::Map));
    press({Key::Up, Key::Enter}); // back up to the start row
    EXPECT_TRUE(screen->startRequested);

    enter();
    press({Key::Escape, Key::Up, Key::Enter});
    EXPECT_TRUE(screen->backRequested);
    EXPECT_FALSE(screen->startRequested);

    enter();
    EXPECT_FALSE(screen->backRequested);
    harness.pads.connect(2, true); // any pad's Back
    harness.pads.setButtons(2, kPadBack);
    harness.step();
    EXPECT_TRUE(screen->backRequested);
}

// Teams and Team hits come under the time, Off at first; they keep their values when the
// screen is entered again (players go back to change sides), and a team match without a player
// on each side does not start but says why.
TEST_F(LevelSelectScreen, TeamsRowsToggleAndATeamMatchNeedsBothSides) {
    build();
    EXPECT_EQ(detail(LevelRow::Teams) + detail(LevelRow::TeamHits), "OffOff");
    EXPECT_EQ(screen->ui.labels[LevelRow::TeamHits]->getComponent<TextRenderer>()->text, "Team hits");
    press({Key::Up, Key::Up, Key::Left}); // up from the map row: start, then team hits
    EXPECT_TRUE(screen->teamHits);
    press({Key::Up, Key::Right});
    EXPECT_EQ(detail(LevelRow::Teams) + detail(LevelRow::TeamHits), "OnOn");
    press({Key::Right, Key::Left});
    EXPECT_TRUE(screen->teamsOn) << "either way toggles";
    enter();
    EXPECT_TRUE(screen->teamsOn && screen->teamHits);
    EXPECT_EQ(detail(LevelRow::Teams), "On");

    screen->sidesSeated = false;
    press({Key::Up, Key::Enter});
    EXPECT_FALSE(screen->startRequested);
    EXPECT_TRUE(screen->ui.teamsNotice->active);
    press({Key::Up, Key::Up, Key::Left, Key::Down, Key::Down, Key::Enter}); // teams off: any sides do
    EXPECT_TRUE(screen->startRequested);
    EXPECT_FALSE(screen->ui.teamsNotice->active);
}

TEST_F(LevelSelectScreen, AnEmptyMapListSaysSoAndCannotStart) {
    build({});
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

// Everything the level select may show lies inside the view, which the menus' camera makes 48
// units wide and 30 high about the middle: a hint drawn below it helps nobody.
TEST_F(LevelSelectScreen, EverythingItShowsLiesInsideTheView) {
    build();
    const LevelSelectObjects& ui = screen->ui;
    std::vector<GameObject*> shown{ui.preview,    ui.panel,    ui.backPanel,  ui.startButton,
                                   ui.noMapsText, ui.editHint, ui.teamsNotice};
    shown.insert(shown.end(), ui.labels.begin(), ui.labels.end());
    shown.insert(shown.end(), ui.details.begin(), ui.details.end());
    shown.insert(shown.end(), ui.arrows.begin(), ui.arrows.end());
    for (const GameObject* object : shown) {
        ASSERT_NE(object, nullptr);
        const vec3 at = object->transform.position;
        const vec3 size = object->transform.scale;
        EXPECT_LE(std::abs(at.y) + std::abs(size.y) / 2.0f, 15.0f) << object->name;
        EXPECT_LE(std::abs(at.x), 24.0f) << object->name;
    }
}
