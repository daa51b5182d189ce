// What saving and loading the simulation costs against simulating it, in a busy match of four
// hard computers (every seat fires, crates fall, special shots land; a long match leaves hundreds
// of spent bullets), measured in the same run, frame by frame, on the real engine without a
// window. Every frame is simulated and saved; every eighth frame the match goes back eight frames
// and simulates them again (as a rollback window of 8 would at its worst), so the reference and
// what is measured alternate all through the match. Figures are ratios to the median frame:
//   save           one saveFrame against one frame simulated
//   load           one loadFrame (eight frames back) against one frame
//   rollback of 8  the load, eight frames simulated again and each saved again
//   per frame      all of it spread over the frames played, against simulating them alone
// Times are the CPU time of the thread. The first argument is the match's length in seconds.
#include "engine/engine.hpp"
#include "frontend/game_states.hpp"
#include "match/play_game_state.hpp"
#include "match/quick_match.hpp"
#include "match/saved_frames.hpp"
#include "platform/clock.hpp"

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double cpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

double median(std::vector<double> times) {
    if (times.empty()) {
        return 0.0;
    }
    std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2),
                     times.end());
    return times[times.size() / 2];
}

double percentile99(std::vector<double> times) {
    if (times.empty()) {
        return 0.0;
    }
    std::sort(times.begin(), times.end());
    return times[std::min(times.size() - 1, times.size() * 99 / 100)];
}

double sum(const std::vector<double>& times) {
    double total = 0.0;
    for (double t : times) {
        total += t;
    }
    return total;
}

constexpr uint32_t kWindow = 8;

// Simulates one frame per rendered frame, saves each, and every kWindow frames loads the frame
// kWindow back and simulates the frames since again, timing each part.
class RollingPacer : public FramePacer {
  public:
    void beginFrame() override { liveDone = false; }
    bool frameReady() override {
        if (again == 0 && liveDone) {
            return false;
        }
        started = cpuMicroseconds();
        return true;
    }
    void frameDone() override {
        const double simulated = cpuMicroseconds() - started;
        auto* match = dynamic_cast<PlayGameState*>(Engine::instance().states->state);
        if (match == nullptr) {
            liveDone = true;
            return;
        }
        ++frame;
        const double before = cpuMicroseconds();
        saved.saveFrame(frame);
        const double saving = cpuMicroseconds() - before;
        if (again > 0) {
            rollback += simulated + saving;
            if (--again == 0) {
                rollbacks.push_back(rollback);
            }
            return;
        }
        liveDone = true;
        // Only frames of play count: the fade and the sign do little, the podium nothing.
        const bool playing = match->phase == MatchPhase::Playing;
        if (playing) {
            frames.push_back(simulated);
            saves.push_back(saving);
            if (frame % 600 == 0) {
                const SavedFrames::Figures f = saved.figures();
                std::printf("  at %4.0f s of play: %5zu bytes saved, %3zu objects copied, %4zu finished ones "
                            "skipped; frame %.0f us, save %.1f us\n",
                            static_cast<double>(frames.size()) / 60.0, f.bytes, f.objects, f.finished,
                            median(std::vector<double>(frames.end() - 600, frames.end())),
                            median(std::vector<double>(saves.end() - 600, saves.end())));
            }
        }
        if (playing && frame % kWindow == 0 && saved.holds(frame - kWindow)) {
            const double loadStart = cpuMicroseconds();
            saved.loadFrame(frame - kWindow);
            const double loading = cpuMicroseconds() - loadStart;
            loads.push_back(loading);
            rollback = loading;
            frame -= kWindow;
            again = kWindow;
        }
    }
    void endFrame() override {}
    float frameSeconds() const override { return 1.0f / 60.0f; }

    SavedFrames saved;
    std::vector<double> frames, saves, loads, rollbacks;

  private:
    uint32_t frame = 0;
    uint32_t again = 0;
    double started = 0.0;
    double rollback = 0.0;
    bool liveDone = false;
};

} // namespace

int main(int argc, char** argv) {
    setenv("ALSOFT_DRIVERS", "null", 0);
    const int seconds = argc > 1 ? std::clamp(std::atoi(argv[1]), 20, 5999) : 180;
    ManualClock frameClock;
    setFrameClock(&frameClock);
    QuickMatch quick{"Meadow", 4, 99, seconds, 4, "hard"};
    WriteQuickMatchSettings(quick);
    Engine& engine = Engine::instance();
    engine.headless = true;
    engine.firstState = GameStateId::Play;
    engine.stateFactory = MakeGameState;
    engine.initialise();
    RollingPacer pacer;
    engine.pacer = &pacer;
    std::printf(
        "a %d s match of four hard computers on Meadow, saved every frame, %u frames back every %u:\n",
        seconds, kWindow, kWindow);
    for (int i = 0; i < (seconds + 20) * 60; ++i) {
        frameClock.advance(16);
        engine.frame();
        auto* match = dynamic_cast<PlayGameState*>(engine.states->state);
        if (match == nullptr || match->phase >= MatchPhase::Podium) {
            break;
        }
    }
    const double frame = median(pacer.frames);
    std::printf("frame simulated: median %.0f us, p99 %.0f us (%zu frames of play)\n", frame,
                percentile99(pacer.frames), pacer.frames.size());
    std::printf("save: median %.1f us, %.3f of a frame (p99 %.1f us)\n", median(pacer.saves),
                median(pacer.saves) / frame, percentile99(pacer.saves));
    std::printf("load %u frames back: median %.1f us, %.3f of a frame (p99 %.1f us)\n", kWindow,
                median(pacer.loads), median(pacer.loads) / frame, percentile99(pacer.loads));
    std::printf("rollback of %u (load, %u frames simulated and saved again): median %.0f us, %.2f frames\n",
                kWindow, kWindow, median(pacer.rollbacks), median(pacer.rollbacks) / frame);
    const double alone = sum(pacer.frames);
    std::printf(
        "per frame of play: saving every frame %.3fx the simulation alone; with a rollback of %u every "
        "%u frames %.2fx\n",
        (alone + sum(pacer.saves)) / alone, kWindow, kWindow,
        (alone + sum(pacer.saves) + sum(pacer.rollbacks)) / alone);
    engine.shutdown();
    setFrameClock(nullptr);
    return 0;
}
