#pragma once

// The editor's screen on Meadow, run by the real engine without a window, as --edit starts it.

#include "editor/editor_game_state.hpp"
#include "editor/editor_session.hpp"
#include "frontend/game_states.hpp"
#include "tests/support/engine_harness.hpp"

#include <gtest/gtest.h>

#include <functional>

namespace editor_test {

class EditorScene : public ::testing::Test {
  protected:
    void SetUp() override {
        harness.engine().stateFactory = MakeGameState;
        EditorSession::instance().open("Meadow", "");
        harness.engine().states->next = GameStateId::Editor;
        harness.step();
        ASSERT_NE(editor(), nullptr);
    }
    template <class State> State* current() { return dynamic_cast<State*>(harness.engine().states->state); }
    EditorGameState* editor() { return current<EditorGameState>(); }
    MapDocument& doc() { return EditorSession::instance().document; }
    // Frames of 17 ms until a condition holds or the frames run out; whether it holds.
    bool runUntil(const std::function<bool()>& done, int frames) {
        for (int i = 0; i < frames && !done(); ++i) {
            harness.step(17);
        }
        return done();
    }

    EngineHarness harness;
};

} // namespace editor_test
