#pragma once

// Drives the real engine frame by frame without a window: a manual clock, a test gamepad
// back end, and game states that record what happens to them.

#include "engine/engine.hpp"
#include "platform/clock.hpp"
#include "platform/gamepad.hpp"

#include <SFML/Window/Keyboard.hpp>

#include <functional>
#include <string>
#include <vector>

// A game state that writes "Load <name>", "Update <name>", "Exit <name>", "Delete <name>" to a log.
class RecordingState : public GameState {
  public:
    RecordingState(std::string stateName, std::vector<std::string>& eventLog)
        : name(std::move(stateName)), log(eventLog) {}
    ~RecordingState() override { log.push_back("Delete " + name); }
    void Load() override {
        ++loads;
        log.push_back("Load " + name);
        if (onLoad) {
            onLoad();
        }
    }
    void Update() override {
        log.push_back("Update " + name);
        if (onUpdate) {
            onUpdate();
        }
    }
    void Exit() override {
        log.push_back("Exit " + name);
        DestroyStateObjects();
    }

    std::string name;
    std::vector<std::string>& log;
    int loads = 0;
    std::function<void()> onLoad;
    std::function<void()> onUpdate;
};

class EngineHarness {
  public:
    // Builds a headless engine whose states are RecordingStates named after their ids.
    EngineHarness();
    ~EngineHarness();

    // Advances the clock, then runs one frame. Returns what the frame returned.
    bool step(uint32_t milliseconds = 16);
    // A key down for one frame and up in the next.
    void tapKey(sf::Keyboard::Key key, uint32_t milliseconds = 16);
    // Pad buttons held for one frame and let go in the next; the pad is plugged in if it was not.
    void tapPad(uint32_t pad, uint16_t buttons, uint32_t milliseconds = 16);
    Engine& engine() { return Engine::instance(); }
    RecordingState* current() { return static_cast<RecordingState*>(engine().states->state); }

    ManualClock clock;
    TestGamepadBackend pads;
    std::vector<std::string> log;
    std::function<void(RecordingState&)> configure; // runs on each new state
};
