#include "engine/engine.hpp"
#include "engine/input_manager.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "tests/support/engine_harness.hpp"
#include "tests/support/printed.hpp"

#include <gtest/gtest.h>

namespace {

int stepsFor(float& accumulator, float scaledDt) {
    return consumeFixedSteps(accumulator, scaledDt, 0.01666f, 0.2f, [](float) {});
}

} // namespace

TEST(FixedStep, AccumulatorRules) {
    float acc = 0.0f;
    EXPECT_EQ(stepsFor(acc, 0.0f), 0) << "a zero frame runs no step";
    EXPECT_EQ(stepsFor(acc, 0.01666f), 0) << "exactly one step's worth is not strictly greater";
    EXPECT_EQ(stepsFor(acc, 0.0f), 0) << "and a zero frame does not tip it over";
    EXPECT_EQ(stepsFor(acc, 0.001f), 1);

    acc = 0.0f;
    EXPECT_EQ(stepsFor(acc, 0.5f), 12) << "a long stall is clamped to 0.2 s";
}

TEST(FrameLoop, TimeScaleSlowsAndStopsPhysicsButNotLogic) {
    EngineHarness h;
    auto countSteps = [&](float scale, int frames) {
        FrameTimer::instance().setTimeScale(scale);
        int total = 0;
        for (int i = 0; i < frames; ++i) {
            h.step(16);
            total += h.engine().lastFrameSteps;
        }
        return total;
    };
    h.step(16);
    int full = countSteps(1.0f, 120);
    int half = countSteps(0.5f, 120);
    int frozen = countSteps(0.0f, 120);
    EXPECT_NEAR(full, 115, 2);
    EXPECT_NEAR(half, full / 2, 2);
    EXPECT_EQ(frozen, 0);
    EXPECT_EQ(h.log.back(), "Update S1") << "state updates go on at time scale 0";
}

TEST(FrameLoop, SwitchInPrintsLoadTimeAndRestartsTheTimer) {
    EngineHarness h;
    h.configure = [&](RecordingState& s) { s.onLoad = [&] { h.clock.advance(300); }; };
    const std::string out = Printed([&] { h.step(16); });
    EXPECT_NE(out.find("Load Time: = 0.3\n"), std::string::npos) << out;
    EXPECT_EQ(FrameTimer::instance().dt, 0.0f) << "the load does not count as frame time";
    h.step(20);
    EXPECT_FLOAT_EQ(FrameTimer::instance().dt, 0.02f);
    EXPECT_EQ(FrameTimer::instance().frameCount, 2);
}

TEST(FrameLoop, RestartReloadsTheSameObject) {
    EngineHarness h;
    h.step();
    RecordingState* state = h.current();
    state->onUpdate = [&] {
        state->onUpdate = nullptr;
        requestState(GameStateId::Restart);
    };
    h.step();
    EXPECT_EQ(h.log.back(), "Exit S1") << "Exit runs at the end of the requesting frame";
    EXPECT_EQ(h.engine().states->state, state) << "and the object stays";
    h.step();
    EXPECT_EQ(h.current(), state);
    EXPECT_EQ(state->loads, 2);
}

// An unknown id and the running state change nothing; of a frame's requests the last one wins.
TEST(FrameLoop, OnlyTheLastRequestOfAFrameForAnotherKnownStateSwitches) {
    EngineHarness h;
    h.step();
    h.current()->onUpdate = [] { requestState(5); };
    EXPECT_NE(Printed([&] { h.step(); }).find("unknown game state 5"), std::string::npos);
    EXPECT_EQ(h.engine().states->next, GameStateId::Splash);
    h.current()->onUpdate = [] { requestState(GameStateId::Splash); };
    h.step();
    EXPECT_EQ(std::count(h.log.begin(), h.log.end(), "Exit S1"), 0);
    h.current()->onUpdate = [] {
        requestState(GameStateId::Play);
        requestState(GameStateId::MainMenu);
    };
    h.step();
    EXPECT_EQ(h.log.back(), "Delete S1");
    h.step();
    EXPECT_EQ(h.engine().states->current, GameStateId::MainMenu);
    EXPECT_EQ(std::count(h.log.begin(), h.log.end(), "Load S3"), 0);

    requestState(GameStateId::Splash); // between frames: the old state still goes first
    h.step();
    EXPECT_EQ(std::vector<std::string>(h.log.end() - 4, h.log.end()),
              (std::vector<std::string>{"Exit S2", "Delete S2", "Load S1", "Update S1"}));
}

TEST(FrameLoop, ClosingTheWindowDuringAMatchExitsItAndEnds) {
    EngineHarness h;
    h.engine().states->next = GameStateId::Play;
    h.step();
    GameObjectList::instance().create("Tank");
    InputManager::instance().queueEvent(sf::Event{sf::Event::Closed, {}});
    EXPECT_FALSE(h.step());
    std::vector<std::string> tail(h.log.end() - 3, h.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Update S3", "Exit S3", "Delete S3"}));
    EXPECT_TRUE(h.engine().shutDown);
    EXPECT_TRUE(GameObjectList::instance().objects().empty());
}

TEST(FrameLoop, CloseSeenWhileAStateLoadsEndsThatFrame) {
    EngineHarness h;
    h.configure = [](RecordingState& s) {
        s.onLoad = [] { InputManager::instance().queueEvent(sf::Event{sf::Event::Closed, {}}); };
    };
    EXPECT_FALSE(h.step());
    EXPECT_EQ(h.log, (std::vector<std::string>{"Load S1", "Update S1", "Exit S1", "Delete S1"}));
}
