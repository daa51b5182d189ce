#include "tests/support/engine_harness.hpp"

#include "objects/frame_timer.hpp"
#include "tests/support/key_events.hpp"

EngineHarness::EngineHarness() {
    setFrameClock(&clock);
    setGamepadBackend(&pads);
    Engine& e = engine();
    e.headless = true;
    e.stateFactory = [this](uint32_t id) {
        auto* state = new RecordingState("S" + std::to_string(id), log);
        if (configure) {
            configure(*state);
        }
        return state;
    };
    e.initialise();
}

EngineHarness::~EngineHarness() {
    setFrameClock(nullptr);
    setGamepadBackend(nullptr);
}

bool EngineHarness::step(uint32_t milliseconds) {
    clock.advance(milliseconds);
    return engine().frame();
}

void EngineHarness::tapKey(sf::Keyboard::Key key, uint32_t milliseconds) {
    for (bool down : {true, false}) {
        QueueKey(key, down);
        step(milliseconds);
    }
}

void EngineHarness::tapPad(uint32_t pad, uint16_t buttons, uint32_t milliseconds) {
    pads.connect(pad, true);
    for (uint16_t held : {buttons, uint16_t{0}}) {
        pads.setButtons(pad, held);
        step(milliseconds);
    }
}
