// A busy match frame in the real game, drawn at 1280 x 800 by the software renderer under Xvfb:
// four tanks, 2,000 particles, a shock wave, the black-hole swirl and the HUD, through the whole
// engine frame (update, physics, every draw pass, present). The floor is a frame that only
// clears and presents, measured in the same run, so the figure is a ratio that does not depend
// on how busy the shared machine is. Also: how long the match takes to switch in (its 114
// pictures, its sounds and its Load), and the process's peak memory during the match.
#include "engine/engine.hpp"
#include "frontend/game_states.hpp"
#include "graphics/particle_pool.hpp"
#include "graphics/shader_logic.hpp"
#include "match/play_game_state.hpp"
#include "match/quick_match.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"
#include "platform/clock.hpp"
#include "platform/display.hpp"
#include "platform/gamepad.hpp"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Spread {
    double median;
    double p99;
};

Spread spread(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[std::min(times.size() - 1, times.size() * 99 / 100)]};
}

long peakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// Keeps the picture busy: every particle alive, a ring on screen, the swirl open.
void keepBusy(PlayGameState& match, bool withWave = true, bool withParticles = true) {
    ParticlePool& pool = ParticlePool::instance();
    if (!withParticles) {
        pool.clear();
    }
    ShaderProgram* sprite = ResourceManager::instance().getShader("Sprite");
    const char* textures[] = {"StarParticle", "SmokeParticle", "BlackholeParticle", "ExpulsionParticle"};
    for (size_t i = 0; i < pool.particles.size() && withParticles; ++i) {
        Particle& p = pool.particles[i];
        if (p.alive) {
            continue;
        }
        p = Particle{};
        p.alive = true;
        p.lifeLeft = 5.0f;
        p.position = {static_cast<float>(i % 50) - 25.0f, static_cast<float>(i / 50 % 30) - 15.0f, 1.0f};
        p.velocity = {1.0f, 0.5f};
        p.scale = {1.0f, 1.0f};
        p.spin = 90.0f;
        p.color = {1, 1, 1, 0.8f};
        p.shader = sprite;
        p.textureName = textures[i % 4];
        p.texture = ResourceManager::instance().getTexture(p.textureName);
    }
    if (match.waves != nullptr && !withWave) {
        match.waves->waves()->slotActive.fill(false);
    } else if (match.waves != nullptr) {
        WaveEffect* w = match.waves->waves();
        if (!w->active || !w->slotActive[0]) {
            match.waves->AddWave(1000.0f, 0.6f, {5.0f, 0.0f}, 0.2f);
        }
        w->refraction[0] = 1.2f;
    }
    if (match.background != nullptr) {
        if (ShaderLogic* swirl = match.background->getComponent<ShaderLogic>(); swirl != nullptr) {
            swirl->StartSwirl(15.0f, {-5.0f, 0.0f});
            swirl->swirl()->timeLeft = 5.0f; // holding open
        }
    }
}

} // namespace

int main() {
    if (!DisplayAvailable()) {
        std::printf("match_bench: no X display, nothing measured\n");
        return 0;
    }
    ManualClock frameClock;
    setFrameClock(&frameClock);
    WriteQuickMatchSettings({"Meadow", 4, 5, 600});
    // Players 3 and 4 play on pads 0 and 1, which must answer: a seat whose pad is missing at
    // the start pauses the match.
    TestGamepadBackend pads;
    pads.connect(0, true);
    pads.connect(1, true);
    setGamepadBackend(&pads);
    Engine& engine = Engine::instance();
    engine.firstState = GameStateId::Play;
    engine.stateFactory = MakeGameState;
    engine.initialise();
    long atStart = peakKilobytes();

    auto start = Clock::now();
    frameClock.advance(16);
    engine.frame(); // constructs the match (pictures, sounds) and loads it
    double switchIn = millisecondsSince(start);
    long afterLoad = peakKilobytes();
    auto* match = dynamic_cast<PlayGameState*>(engine.states->state);
    if (match == nullptr) {
        std::printf("match_bench: the match did not start\n");
        return 1;
    }
    for (int i = 0; i < 400 && match->phase != MatchPhase::Playing; ++i) {
        frameClock.advance(16);
        engine.frame();
    }

    const int frames = 300;
    auto measureBusy = [&](int count, bool withWave = true, bool withParticles = true) {
        std::vector<double> times;
        for (int i = 0; i < count; ++i) {
            keepBusy(*match, withWave, withParticles);
            frameClock.advance(16);
            auto t = Clock::now();
            engine.frame();
            glFinish();
            times.push_back(millisecondsSince(t));
        }
        return times;
    };
    std::vector<double> busy = measureBusy(frames);
    std::vector<double> floor;
    for (int i = 0; i < frames; ++i) {
        auto t = Clock::now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        engine.window->display();
        glFinish();
        floor.push_back(millisecondsSince(t));
    }
    // Where the time goes: the same busy frame without one full-window pass at a time.
    std::vector<std::pair<const char*, double>> without;
    if (match->frameBuffer != nullptr) {
        setActive(match->frameBuffer, false);
        without.emplace_back("the shock-wave composite", spread(measureBusy(60)).median);
        setActive(match->frameBuffer, true);
    }
    without.emplace_back("a ring on screen (the idle composite is skipped)",
                         spread(measureBusy(120, false)).median);
    without.emplace_back("the 2,000 particles", spread(measureBusy(60, true, false)).median);
    if (match->background != nullptr) {
        setActive(match->background, false);
        without.emplace_back("the swirling background", spread(measureBusy(60)).median);
        setActive(match->background, true);
    }
    long peak = peakKilobytes();
    Spread b = spread(busy);
    Spread f = spread(floor);
    std::printf("match frame (4 tanks, %zu particles, wave, swirl, HUD): median %.2f ms, p99 %.2f ms\n",
                ParticlePool::instance().aliveCount(), b.median, b.p99);
    std::printf("clear-and-present floor: median %.2f ms, p99 %.2f ms\n", f.median, f.p99);
    std::printf("ratio to the floor: median %.2f, p99 %.2f (goal <= 2)\n", b.median / f.median,
                b.p99 / f.p99);
    for (const auto& [pass, median] : without) {
        std::printf("  without %s: median %.2f ms (%.2f ms less)\n", pass, median, b.median - median);
    }
    std::printf("match switch-in (pictures, sounds, Load, first frame): %.3f s (goal <= 0.25 s)\n",
                switchIn / 1000.0);
    const double peakMb = static_cast<double>(peak) / 1024.0;
    const double windowMb = static_cast<double>(atStart) / 1024.0;
    std::printf(
        "peak memory during the match: %.1f MB; %.1f MB with the window, sound and programs before it, "
        "%.1f MB once loaded\n",
        peakMb, windowMb, static_cast<double>(afterLoad) / 1024.0);
    std::printf("the match's own share: %.1f MB (goal <= 80 MB), of which its pictures decoded: %.1f MB\n",
                peakMb - windowMb,
                static_cast<double>(ResourceManager::instance().textureBytes()) / 1048576.0);
    engine.shutdown();
    setFrameClock(nullptr);
    return 0;
}
