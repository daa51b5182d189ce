// "Try it" from the editor: a match of four computers on the map as it is being edited, read
// from memory, and Escape back to the editor with the map and its history as they were.
#include "match/match_run.hpp"
#include "match/play_game_state.hpp"
#include "objects/game_object_list.hpp"
#include "tests/editor/editor_scene.hpp"
#include "tests/support/key_events.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class EditorTrial : public editor_test::EditorScene {
  protected:
    PlayGameState* match() { return current<PlayGameState>(); }
    bool platformAt(float x, float y) const {
        return std::ranges::any_of(GameObjectList::instance().objects(), [&](const GameObject* o) {
            return o->name == "Platform" && o->transform.position.x == x && o->transform.position.y == y;
        });
    }
};

} // namespace

TEST_F(EditorTrial, TryItPlaysTheEditedMapAndEscapeComesBackWithNothingLost) {
    MapDocument& doc = this->doc();
    const MapData shipped = doc.map();
    doc.select({EditorSelection::Kind::Platform, 6});
    doc.moveSelectionTo({-15.0f, 6.0f});
    const MapData edited = doc.map();

    QueueKey(sf::Keyboard::T, true);
    ASSERT_TRUE(runUntil([&] { return match() != nullptr; }, 5));
    QueueKey(sf::Keyboard::T, false);
    EXPECT_TRUE(platformAt(-15.0f, 6.0f)) << "the match plays the map as edited, not its file";
    EXPECT_FALSE(platformAt(shipped.platforms[6].position.x, shipped.platforms[6].position.y));
    ASSERT_EQ(match()->playerCount, 4);
    EXPECT_TRUE(match()->AllComputers());
    ASSERT_TRUE(runUntil([&] { return match()->phase == MatchPhase::Playing; }, 400));

    QueueKey(sf::Keyboard::Escape, true);
    ASSERT_TRUE(runUntil([&] { return editor() != nullptr; }, 5));
    QueueKey(sf::Keyboard::Escape, false);
    harness.step();
    EXPECT_FALSE(MatchRun::instance().trial.has_value()) << "the next match is an ordinary one";
    EXPECT_EQ(doc.map(), edited);
    EXPECT_EQ(doc.selection(), (EditorSelection{EditorSelection::Kind::Platform, 6}));
    ASSERT_TRUE(doc.undo()) << "the history came back too";
    EXPECT_EQ(doc.map(), shipped);
}
