// The editor shows what the match shows: the picture of a shipped map in the editor (its marks and
// panels aside, which the overlay draws on top) and in a match on it, pixel for pixel wherever
// no tank or interface stands.
#include "editor/editor_game_state.hpp"
#include "editor/editor_session.hpp"
#include "match/play_game_state.hpp"
#include "match/quick_match.hpp"
#include "objects/game_object.hpp"
#include "objects/game_object_list.hpp"
#include "objects/logic.hpp"
#include "tests/support/gl_fixture.hpp"

#include <gtest/gtest.h>

namespace {

class EditorPicture : public GlFixture {
  protected:
    EditorPicture() {
        gameStates = true;
        EditorSession::instance().open("Meadow", "");
        Engine::instance().firstState = GameStateId::Editor;
    }
    // Window pixels of the whole picture, one every 16 pixels each way.
    std::vector<sf::Color> grid() const {
        std::vector<sf::Color> colours;
        for (int y = 8; y < static_cast<int>(height); y += 16) {
            for (int x = 8; x < static_cast<int>(width); x += 16) {
                colours.push_back(pixel(x, y));
            }
        }
        return colours;
    }
    sf::Color atWorld(float x, float y, float zoom) const {
        sf::Vector2i p = pictureToWindow(x / (zoom * 0.8f), y / (zoom * 0.5f));
        return pixel(p.x, p.y);
    }
};

} // namespace

TEST_F(EditorPicture, AShippedMapLooksInTheEditorAsInTheMatch) {
    if (IsSkipped()) {
        return;
    }
    ASSERT_NE(dynamic_cast<EditorGameState*>(state()), nullptr);
    const MapData map = EditorSession::instance().document.map();
    runFrames(2);
    drawFrame();
    const std::vector<sf::Color> editor = grid();
    std::vector<sf::Color> editorPlatforms;
    for (const PlatformEntry& p : map.platforms) {
        editorPlatforms.push_back(atWorld(p.position.x, p.position.y, map.cameraZoom));
    }
    EXPECT_FALSE(colorNear(editor[editor.size() / 4], sf::Color::Black, 30)) << "the background is drawn";

    // Into a match on the map's file, asked for during a frame as the game asks.
    WriteQuickMatchSettings({"Meadow", 2, 3, 180});
    struct AskForMatch : Logic {
        using Logic::Logic;
        void Update() override { requestState(GameStateId::Play); }
    };
    GameObject* asker = GameObjectList::instance().create("AskForMatch");
    asker->attach(new AskForMatch("AskForMatch", asker));
    runFrames(2);
    auto* match = dynamic_cast<PlayGameState*>(state());
    ASSERT_NE(match, nullptr);
    for (int i = 0; i < 200 && match->phase != MatchPhase::Playing; ++i) {
        runFrames(1, 48);
    }
    ASSERT_EQ(match->phase, MatchPhase::Playing);
    drawFrame();
    const std::vector<sf::Color> played = grid();

    size_t same = 0;
    for (size_t i = 0; i < editor.size(); ++i) {
        same += sameColor(editor[i], played[i], 6) ? 1 : 0;
    }
    // Tanks, their markers, the clock and the players' panels cover a little of the match's.
    EXPECT_GT(same, editor.size() * 9 / 10) << same << " of " << editor.size();
    for (size_t i = 0; i < map.platforms.size(); ++i) {
        const vec3& at = map.platforms[i].position;
        EXPECT_TRUE(colorNear(atWorld(at.x, at.y, map.cameraZoom), editorPlatforms[i], 6))
            << "platform " << i << " at " << at.x << ", " << at.y;
    }
}
