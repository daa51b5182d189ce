// How fast one machine simulates a match when an online match catches up: whole frames of a match
// of four computers (state update, behaviour, transforms, particles, physics) one after another,
// twelve to a rendered frame, as the lockstep runs them after a wait (and as rollback would run
// again up to eight of them in one rendered frame). The reference, in alternating rounds of the
// same run, is the same match one frame per engine frame. Headless: drawing is not simulating.
// The figure is simulated frames per second, and that as a multiple of real time (60 a second).
#include "engine/engine.hpp"
#include "frontend/game_states.hpp"
#include "match/match_run.hpp"
#include "match/match_settings.hpp"
#include "match/play_game_state.hpp"
#include "match/quick_match.hpp"
#include "net/frame_clock.hpp"
#include "platform/clock.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Twelve frames ready in every rendered frame: a machine catching up.
struct CatchUp : FramePacer {
    void beginFrame() override { left = kMaxCatchUpFrames; }
    bool frameReady() override { return left-- > 0; }
    void frameDone() override {}
    void endFrame() override {}
    float frameSeconds() const override { return kOnlineFrameSeconds; }
    uint32_t left = 0;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main() {
    ManualClock frameClock;
    setFrameClock(&frameClock);
    QuickMatch quick{"Meadow", 4, 99, 5999, 4, "hard"};
    WriteQuickMatchSettings(quick);
    MatchRun::instance().fixedSeed = 1234;
    Engine& engine = Engine::instance();
    engine.headless = true;
    engine.firstState = GameStateId::Play;
    engine.stateFactory = MakeGameState;
    engine.freshStepsOnSwitch = true;
    engine.initialise();
    frameClock.advance(16);
    engine.frame(); // loads the match
    auto* match = dynamic_cast<PlayGameState*>(engine.states->state);
    if (match == nullptr) {
        std::printf("online_bench: the match did not start\n");
        return 1;
    }
    for (int i = 0; i < 600 && match->phase != MatchPhase::Playing; ++i) {
        frameClock.advance(16);
        engine.frame();
    }
    CatchUp catchUp;
    std::vector<double> caughtUp; // milliseconds per simulated frame, catching up
    std::vector<double> oneByOne; // the same, one frame per engine frame
    constexpr int kRounds = 12;
    constexpr int kFramesPerRound = 240;
    for (int round = 0; round < kRounds && match->phase == MatchPhase::Playing; ++round) {
        engine.pacer = &catchUp;
        auto start = Clock::now();
        for (int i = 0; i < kFramesPerRound / static_cast<int>(kMaxCatchUpFrames); ++i) {
            frameClock.advance(200);
            engine.frame();
        }
        caughtUp.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count() /
                           kFramesPerRound);
        engine.pacer = nullptr;
        start = Clock::now();
        for (int i = 0; i < kFramesPerRound; ++i) {
            frameClock.advance(17);
            engine.frame();
        }
        oneByOne.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count() /
                           kFramesPerRound);
    }
    const double catchUpMs = median(caughtUp);
    const double referenceMs = median(oneByOne);
    std::printf(
        "simulating while catching up: %.3f ms a frame, %.0f frames/s, %.1f times real time (goal >= 10)\n",
        catchUpMs, 1000.0 / catchUpMs, 1000.0 / catchUpMs / kOnlineFramesPerSecond);
    std::printf("one frame per engine frame, same rounds: %.3f ms a frame (catching up costs %.2f of it)\n",
                referenceMs, catchUpMs / referenceMs);
    engine.shutdown();
    setFrameClock(nullptr);
    return 0;
}
