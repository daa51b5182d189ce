#pragma once

// The game's own states on the real engine without a window, from the splash or the main menu
// on, driven by keys and pads through the input's test paths.

#include "engine/input_manager.hpp"
#include "frontend/game_states.hpp"
#include "frontend/level_select.hpp"
#include "frontend/main_menu_game_state.hpp"
#include "frontend/menu_controller.hpp"
#include "frontend/menu_screens.hpp"
#include "frontend/player_panel.hpp"
#include "match/play_game_state.hpp"
#include "objects/random.hpp"
#include "tests/support/engine_harness.hpp"
#include "tests/support/key_events.hpp"

#include <gtest/gtest.h>

#include <memory>

namespace menu_test {

class MenuScene : public ::testing::Test {
  protected:
    // Starts the game's states from the first one given.
    void start(uint32_t first = GameStateId::MainMenu) {
        Engine::instance().firstState = first;
        harness = std::make_unique<EngineHarness>();
        seedRandom(2026); // the same spawn draws and crates on every run
        harness->engine().stateFactory = MakeGameState;
        harness->step();
    }

    uint32_t current() { return harness->engine().states->current; }
    MenuController& menu() { return MenuController::instance(); }
    uint32_t screen() { return menu().screen; }
    bool running = true;

    void run(int frames, uint32_t ms = 17) {
        for (int i = 0; i < frames && running; ++i) {
            running = harness->step(ms);
        }
    }
    void runSeconds(float seconds) { run(static_cast<int>(seconds / 0.017f) + 1); }
    // Frames until a condition holds, or the budget runs out; whether it holds.
    template <typename Condition> bool runUntil(Condition done, int maxFrames) {
        for (int i = 0; i < maxFrames && running && !done(); ++i) {
            run(1);
        }
        return done();
    }

    static void key(sf::Keyboard::Key code, bool down) { QueueKey(code, down); }
    // Down in one frame, up in the next.
    void tap(sf::Keyboard::Key code) { harness->tapKey(code, 17); }
    void padTap(uint32_t pad, uint16_t buttons) { harness->tapPad(pad, buttons, 17); }
    // Taps a key and waits out any fade it starts.
    void press(sf::Keyboard::Key code) {
        tap(code);
        runSeconds(0.7f);
    }

    std::unique_ptr<EngineHarness> harness;
};

} // namespace menu_test
