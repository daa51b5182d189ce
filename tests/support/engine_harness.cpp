#include "tests/support/engine_harness.hpp"

#include "objects/frame_timer.hpp"

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
