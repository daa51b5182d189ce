// The editor's screen driven by window events through the real engine, without a window: where
// the placing keys put a piece before the mouse comes in, clicks shorter than a frame, the
// modifiers as they are in the frame, Ctrl+Z in the middle of a drag, and the question before
// unsaved work is thrown away by the close button or Ctrl+Q.
#include "editor/map_file.hpp"
#include "match/play_game_state.hpp"
#include "objects/json_data.hpp"
#include "objects/map_catalogue.hpp"
#include "tests/editor/editor_scene.hpp"
#include "tests/support/key_events.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;
using Kind = EditorSelection::Kind;

namespace {

class EditorInput : public editor_test::EditorScene {
  protected:
    vec2 pixel(vec2 world) { return editor()->View().toScreen(world); }

    static void queue(sf::Event::EventType type, vec2 at = {}) {
        sf::Event e{};
        e.type = type;
        const int x = static_cast<int>(std::lround(at.x)), y = static_cast<int>(std::lround(at.y));
        if (type == sf::Event::MouseMoved) {
            e.mouseMove = {x, y};
        } else if (type == sf::Event::MouseButtonPressed || type == sf::Event::MouseButtonReleased) {
            e.mouseButton = {sf::Mouse::Left, x, y};
        }
        InputManager::instance().queueEvent(e);
    }
    // A mouse drag over several frames, with something done at each step on the way.
    void drag(vec2 from, vec2 to, int steps, const std::function<void(int)>& atStep = {}) {
        queue(sf::Event::MouseMoved, from);
        queue(sf::Event::MouseButtonPressed, from);
        harness.step();
        for (int i = 1; i <= steps; ++i) {
            queue(sf::Event::MouseMoved,
                  from + (to - from) * (static_cast<float>(i) / static_cast<float>(steps)));
            if (atStep) {
                atStep(i);
            }
            harness.step();
        }
        queue(sf::Event::MouseButtonReleased, to);
        harness.step();
    }
    void chord(sf::Keyboard::Key modifier, sf::Keyboard::Key key) {
        QueueKey(modifier, true);
        QueueKey(key, true);
        QueueKey(key, false);
        QueueKey(modifier, false);
        harness.step();
    }
    bool quits() {
        for (int i = 0; i < 3; ++i) {
            if (!harness.step()) {
                return true;
            }
        }
        return false;
    }
};

} // namespace

TEST_F(EditorInput, APlacingKeyPlacesInTheMiddleOfTheViewUntilTheMouseIsInTheWindow) {
    harness.tapKey(sf::Keyboard::N);
    EXPECT_EQ(doc().map().platforms.back().position, (vec3{0.0f, 0.0f, kPlatformZ}));
    EditorSession::instance().framing.centre = {6.3f, -2.1f};
    harness.tapKey(sf::Keyboard::P);
    EXPECT_EQ(doc().map().spawnPoints.back(), (vec3{6.5f, -2.0f, 0.0f})) << "the panned middle, on the grid";

    queue(sf::Event::MouseMoved, pixel({-5.2f, 3.1f}));
    harness.tapKey(sf::Keyboard::N);
    EXPECT_EQ(doc().map().platforms.back().position, (vec3{-5.0f, 3.0f, kPlatformZ}));
    queue(sf::Event::MouseLeft);
    harness.tapKey(sf::Keyboard::P);
    EXPECT_EQ(doc().map().spawnPoints.back(), (vec3{6.5f, -2.0f, 0.0f}));
}

TEST_F(EditorInput, AClickShorterThanAFrameSelectsAndCtrlZInADragTakesTheWholeDragBack) {
    const vec3 spawn = doc().map().spawnPoints[0];
    const vec2 at = pixel({spawn.x, spawn.y});
    queue(sf::Event::MouseMoved, at);
    queue(sf::Event::MouseButtonPressed, at);
    queue(sf::Event::MouseButtonReleased, at);
    harness.step();
    EXPECT_EQ(doc().selection(), (EditorSelection{Kind::SpawnPoint, 0}));

    const MapData start = doc().map();
    drag(at, at + vec2{240.0f, -160.0f}, 8, [&](int step) {
        if (step == 4) {
            QueueKey(sf::Keyboard::LControl, true);
            QueueKey(sf::Keyboard::Z, true);
        } else if (step == 5) {
            QueueKey(sf::Keyboard::Z, false);
            QueueKey(sf::Keyboard::LControl, false);
        }
    });
    EXPECT_EQ(doc().map(), start) << "undone to where the drag began, and the rest moved nothing";
    EXPECT_FALSE(doc().canUndo()) << "the drag was one step";
    ASSERT_TRUE(doc().redo());
    EXPECT_NE(doc().map(), start);
    EXPECT_FALSE(doc().redo());
}

TEST_F(EditorInput, ShiftCountsWhileItIsHeldNotJustAfterItWasTapped) {
    doc().select({Kind::Platform, 6});
    const PlatformEntry ledge = doc().map().platforms[6];
    const vec2 centre = pixel({ledge.position.x, ledge.position.y});
    auto towards = [&](float degrees) {
        return centre + vec2{std::cos(degrees * kDegToRad), -std::sin(degrees * kDegToRad)} * 150.0f;
    };
    auto turnHandle = [&] { return HandlesOf(*doc().selectedPlatform(), editor()->View()).turn; };

    harness.tapKey(sf::Keyboard::LShift);
    drag(turnHandle(), towards(26.0f), 5);
    EXPECT_NEAR(doc().selectedPlatform()->rotation.z, 26.0f, 0.5f) << "a tap before the drag does not snap";

    QueueKey(sf::Keyboard::LShift, true);
    drag(turnHandle(), towards(26.0f), 5);
    QueueKey(sf::Keyboard::LShift, false);
    harness.step();
    EXPECT_FLOAT_EQ(doc().selectedPlatform()->rotation.z, 30.0f) << "held during the drag, it snaps";

    // Shift+wheel stretches; a plain wheel just after turns.
    auto wheel = [&](float notches) {
        sf::Event e{};
        e.type = sf::Event::MouseWheelScrolled;
        e.mouseWheelScroll = {sf::Mouse::VerticalWheel, notches, static_cast<int>(centre.x),
                              static_cast<int>(centre.y)};
        InputManager::instance().queueEvent(e);
        harness.step();
    };
    const PlatformEntry before = *doc().selectedPlatform();
    QueueKey(sf::Keyboard::LShift, true);
    wheel(1.0f);
    QueueKey(sf::Keyboard::LShift, false);
    harness.step();
    EXPECT_EQ(doc().selectedPlatform()->scale.x, before.scale.x + 0.5f);
    wheel(1.0f);
    EXPECT_EQ(doc().selectedPlatform()->scale.x, before.scale.x + 0.5f);
    EXPECT_FLOAT_EQ(doc().selectedPlatform()->rotation.z, 35.0f);
}

TEST_F(EditorInput, ACtrlChordCountsWhenItsKeyComesAFrameLaterAndWithoutChangesCloseQuitsAtOnce) {
    doc().select({Kind::Platform, 0});
    harness.tapKey(sf::Keyboard::Up);
    QueueKey(sf::Keyboard::LControl, true);
    harness.step();
    QueueKey(sf::Keyboard::Z, true); // a frame after the Ctrl
    QueueKey(sf::Keyboard::Z, false);
    QueueKey(sf::Keyboard::LControl, false);
    harness.step();
    ASSERT_FALSE(doc().unsaved()) << "undone back to what was opened";
    queue(sf::Event::Closed);
    EXPECT_TRUE(quits());
}

TEST_F(EditorInput, WithUnsavedChangesQuittingAsksAndCancelAndDiscardDoWhatTheySay) {
    doc().select({Kind::Platform, 0});
    harness.tapKey(sf::Keyboard::Up);
    const MapData edited = doc().map();
    queue(sf::Event::Closed);
    EXPECT_FALSE(quits()) << "the close button asks first";
    EXPECT_NE(EditorSession::instance().status.find("unsaved changes"), std::string::npos);
    harness.tapKey(sf::Keyboard::Escape);
    EXPECT_FALSE(quits()) << "cancelled";
    EXPECT_EQ(doc().map(), edited);
    EXPECT_EQ(doc().selection(), (EditorSelection{Kind::Platform, 0}))
        << "Escape answered; it did not deselect";

    chord(sf::Keyboard::LControl, sf::Keyboard::Q);
    EXPECT_FALSE(quits()) << "Ctrl+Q asks too";
    QueueKey(sf::Keyboard::D, true);
    EXPECT_TRUE(quits()) << "discarded";
}

// Save answered saves the player's map into their folder, then quits.
TEST_F(EditorInput, SaveAnsweredSavesAndThenQuits) {
    const fs::path folder = fs::temp_directory_path() / ("grumbo-editor-" + std::to_string(getpid()));
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
    RereadGameMaps();
    ASSERT_TRUE(EditorSession::instance().open("Scratch", "meadow")); // a map of the player's own
    doc().select({Kind::Platform, 0});
    harness.tapKey(sf::Keyboard::Up);
    const MapData edited = doc().map();
    chord(sf::Keyboard::LControl, sf::Keyboard::Q);
    QueueKey(sf::Keyboard::Enter, true);
    EXPECT_TRUE(quits());
    const fs::path saved = folder / "grumbo" / "maps" / "Scratch.json";
    EXPECT_EQ(readMapData(parseJsonText(FileText(saved.string()), "Scratch")).platforms, edited.platforms);
    fs::remove_all(folder);
}

TEST_F(EditorInput, TheCloseButtonDuringTryItComesBackToTheEditorToAsk) {
    doc().select({Kind::Platform, 0});
    harness.tapKey(sf::Keyboard::Up);
    harness.tapKey(sf::Keyboard::T);
    ASSERT_TRUE(runUntil([&] { return current<PlayGameState>() != nullptr; }, 5));
    queue(sf::Event::Closed);
    EXPECT_FALSE(quits());
    ASSERT_NE(editor(), nullptr) << "back where the work is";
    EXPECT_NE(EditorSession::instance().status.find("unsaved changes"), std::string::npos);
    QueueKey(sf::Keyboard::D, true);
    EXPECT_TRUE(quits());
}
