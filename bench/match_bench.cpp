// A busy match frame in the real game, drawn at 1280 x 800 by the software renderer under Xvfb:
// four tanks, 2,000 particles of every kind, a shock-wave ring, the black-hole swirl open,
// cracks and the HUD, through the whole engine frame (update, physics, every draw pass,
// present). Times are the CPU time of the whole process, the renderer's threads included.
// The floor is the picture such a frame must draw at the least: a clear and present, and three
// full-window textured passes (background, sprites, particles), measured in the same window
// in the same rounds as the busy frame, so the figure is a ratio that does not depend on how
// busy the shared machine is. Also: how long the match takes to switch in (its pictures, its
// sounds and its Load), and the process's peak memory during the match.
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
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of the whole process: the software renderer draws on threads of its own.
double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
}

// The CPU time one call takes, its drawing finished.
template <class Work> double cpuTimeOf(Work&& work) {
    const double start = cpuMilliseconds();
    work();
    glFinish();
    return cpuMilliseconds() - start;
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

// Keeps the picture busy: every particle alive (the four kinds in turn), a ring on screen, the
// swirl open and holding, a crack on every platform.
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
        // A ring of the same size every frame, mid-way through its sweep.
        w->radius[0] = 0.4f;
        w->refraction[0] = 1.2f;
    }
    if (match.background != nullptr) {
        if (ShaderLogic* swirl = match.background->getComponent<ShaderLogic>(); swirl != nullptr) {
            swirl->StartSwirl(15.0f, {-5.0f, 0.0f});
            SwirlEffect* open = swirl->swirl();
            open->timeLeft = 5.0f; // holding, fully open
            open->radius = open->maxRadius;
        }
    }
    for (GameObject* object : GameObjectList::instance().objects()) {
        ShaderLogic* logic = object->tag == "Platform" ? object->getComponent<ShaderLogic>() : nullptr;
        if (CrackEffect* cracks = logic != nullptr ? logic->cracks() : nullptr) {
            cracks->slotActive[0] = true;
            cracks->hitterId[0] = 1;
            cracks->timeLeft[0] = cracks->duration;
            cracks->contactPoint[0] = {object->transform.position.x, object->transform.position.y};
            cracks->radius[0] = cracks->maxRadius;
            cracks->alpha[0] = 1.0f;
        }
    }
}

// One full-window textured quad, drawn as the sprite pass draws the background: the "Sprite"
// program, nearest sampling, depth test and blending on.
class FullWindowPass {
  public:
    FullWindowPass() {
        constexpr float positions[18] = {-1, 1, 0, 1, -1, 0, -1, -1, 0, -1, 1, 0, 1, 1, 0, 1, -1, 0};
        constexpr float coordinates[12] = {0, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 1};
        glGenVertexArrays(1, &vertexArray);
        glGenBuffers(2, buffers);
        glBindVertexArray(vertexArray);
        glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
        glBufferData(GL_ARRAY_BUFFER, sizeof(positions), positions, GL_STATIC_DRAW);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
        glEnableVertexAttribArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, buffers[1]);
        glBufferData(GL_ARRAY_BUFFER, sizeof(coordinates), coordinates, GL_STATIC_DRAW);
        glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 2 * sizeof(float), nullptr);
        glEnableVertexAttribArray(1);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    ~FullWindowPass() {
        glDeleteVertexArrays(1, &vertexArray);
        glDeleteBuffers(2, buffers);
    }
    void draw(ShaderProgram* program, const sf::Texture* picture) const {
        const mat4 identity = mat4::identity();
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glUseProgram(program->id);
        glUniformMatrix4fv(program->uniform("model"), 1, GL_FALSE, identity.data());
        glUniformMatrix4fv(program->uniform("view"), 1, GL_FALSE, identity.data());
        glUniformMatrix4fv(program->uniform("projection"), 1, GL_FALSE, identity.data());
        glUniform4f(program->uniform("color"), 1, 1, 1, 1);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, picture != nullptr ? picture->getNativeHandle() : 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glBindVertexArray(vertexArray);
        glDrawArrays(GL_TRIANGLES, 0, 6);
        glBindVertexArray(0);
        glUseProgram(0);
    }

  private:
    GLuint vertexArray = 0;
    GLuint buffers[2] = {};
};

} // namespace

int main(int argc, char** argv) {
    if (!DisplayAvailable()) {
        std::printf("match_bench: no X display, nothing measured\n");
        return 0;
    }
    // Rounds of the busy frame and the floor; the first argument changes it.
    const int rounds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 120;
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
    const double startCpu = cpuMilliseconds();
    frameClock.advance(16);
    engine.frame(); // constructs the match (pictures, sounds) and loads it
    glFinish();
    double switchIn = millisecondsSince(start);
    const double switchInCpu = cpuMilliseconds() - startCpu;
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

    auto busyFrame = [&](bool withWave = true, bool withParticles = true) {
        keepBusy(*match, withWave, withParticles);
        frameClock.advance(16);
        return cpuTimeOf([&] { engine.frame(); });
    };
    FullWindowPass fullWindow;
    // The sprite program's own copy: uniforms set on the game's would go behind the backs of the
    // values its programs keep, and the next busy frame would draw with these.
    std::unique_ptr<ShaderProgram> spriteCopy =
        ResourceManager::buildProgram("./shaders/Sprite.vs", "./shaders/Sprite.fs");
    ShaderProgram* sprite = spriteCopy.get();
    const sf::Texture* picture = ResourceManager::instance().getTexture("Background");
    auto clearAndPresent = [&](bool withPass) {
        return cpuTimeOf([&] {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            if (withPass) {
                fullWindow.draw(sprite, picture);
            }
            engine.window->display();
        });
    };
    for (int i = 0; i < 5; ++i) { // the first draws of each kind build the renderer's programs
        busyFrame();
        clearAndPresent(true);
    }
    // Round by round, so a busy spell of the shared machine weighs on all three alike.
    std::vector<double> busy, bare, onePass;
    for (int i = 0; i < rounds; ++i) {
        busy.push_back(busyFrame());
        bare.push_back(clearAndPresent(false));
        onePass.push_back(clearAndPresent(true));
    }
    // Where the time goes: the same busy frame without one part at a time.
    std::vector<std::pair<const char*, double>> without;
    const int partRounds = std::max(10, rounds / 4);
    auto medianWithout = [&](auto&& frame) {
        std::vector<double> times;
        for (int i = 0; i < partRounds; ++i) {
            times.push_back(frame());
        }
        return spread(times).median;
    };
    if (match->frameBuffer != nullptr) {
        setActive(match->frameBuffer, false);
        without.emplace_back("the shock-wave composite", medianWithout([&] { return busyFrame(); }));
        setActive(match->frameBuffer, true);
    }
    without.emplace_back("a ring on screen", medianWithout([&] { return busyFrame(false); }));
    without.emplace_back("the 2,000 particles", medianWithout([&] { return busyFrame(true, false); }));
    if (match->background != nullptr) {
        setActive(match->background, false);
        without.emplace_back("the swirling background", medianWithout([&] { return busyFrame(); }));
        setActive(match->background, true);
    }
    long peak = peakKilobytes();
    const Spread b = spread(busy);
    const Spread c = spread(bare);
    const Spread p = spread(onePass);
    const double pass = std::max(p.median - c.median, 0.01);
    const double floorMs = c.median + 3.0 * pass;
    std::printf("busy frame against the three-pass floor: %.1fx (busy %.1f ms CPU, floor %.1f ms CPU)\n",
                b.median / floorMs, b.median, floorMs);
    std::printf("  p99: %.1fx (busy %.1f ms CPU); goals: median <= 3x, p99 <= 5x\n", b.p99 / floorMs, b.p99);
    std::printf("  floor: clear and present %.2f ms CPU, one full-window textured pass %.2f ms CPU more "
                "(%d rounds, %zu particles)\n",
                c.median, pass, rounds, ParticlePool::instance().aliveCount());
    for (const auto& [part, median] : without) {
        std::printf("  without %s: median %.1f ms CPU (%.1f ms less)\n", part, median, b.median - median);
    }
    std::printf(
        "match switch-in (pictures, sounds, Load, first frame): %.3f s, %.3f s CPU (goal <= 0.25 s)\n",
        switchIn / 1000.0, switchInCpu / 1000.0);
    const double peakMb = static_cast<double>(peak) / 1024.0;
    const double windowMb = static_cast<double>(atStart) / 1024.0;
    std::printf(
        "peak memory during the match: %.1f MB; %.1f MB with the window, sound and programs before it, "
        "%.1f MB once loaded\n",
        peakMb, windowMb, static_cast<double>(afterLoad) / 1024.0);
    std::printf("the match's own share: %.1f MB (goal <= 80 MB), of which its pictures decoded: %.1f MB\n",
                peakMb - windowMb,
                static_cast<double>(ResourceManager::instance().textureBytes()) / 1048576.0);
    glDeleteProgram(spriteCopy->id);
    engine.shutdown();
    setFrameClock(nullptr);
    return 0;
}
