// The shared particle pool full (2000 live particles): moving them one frame, and drawing them
// batched (instanced) against one draw call per particle. Drawing runs under Xvfb (software
// OpenGL), where filling pixels costs much more than on a graphics card, so the figures put the
// draw calls' share in its worst light.
#include "bench/bench_window.hpp"
#include "graphics/camera.hpp"
#include "graphics/graphics_manager.hpp"
#include "graphics/particle_pool.hpp"
#include "objects/random.hpp"
#include "objects/resource_manager.hpp"

#include <GL/glew.h>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Window/Window.hpp>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace {

const char* const kParticleTextures[] = {"StarParticle", "SmokeParticle", "BlackholeParticle",
                                         "ExpulsionParticle"};

sf::Window* window() {
    static sf::Window* made = [] {
        sf::Window* w = benchWindow();
        for (int i = 0; w != nullptr && i < 4; ++i) {
            addBenchTexture(kParticleTextures[i],
                            sf::Color(static_cast<sf::Uint8>(60 * (i + 1)), 180, 90, 200));
        }
        return w;
    }();
    return made;
}

// Every slot alive: small particles over the whole arena, four textures mixed as the game's
// emitters would leave them.
void fillPool() {
    ParticlePool& pool = ParticlePool::instance();
    ShaderProgram* sprite = ResourceManager::instance().getShader("Sprite");
    for (size_t i = 0; i < kParticleCount; ++i) {
        Particle& p = pool.particles[i];
        p = Particle{};
        p.alive = true;
        p.lifeLeft = 1.0e9f;
        p.useGravity = i % 2 == 0;
        p.gravityScale = 1.0f;
        p.position = {randomRange(-24, 24), randomRange(-15, 15), randomRange(0, 2)};
        p.velocity = {randomRange(-5, 5), randomRange(-5, 5)};
        p.scale = {0.4f, 0.4f};
        p.spin = randomRange(500, 700);
        p.color = {1, 1, 1, 1};
        p.shader = sprite;
        p.texture = ResourceManager::instance().getTexture(kParticleTextures[(i / 50) % 4]);
    }
}

void BM_PoolAdvance(benchmark::State& state) {
    fillPool();
    for (auto _ : state) {
        ParticlePool::instance().advance(0.0166f);
    }
    state.counters["particles"] = static_cast<double>(ParticlePool::instance().aliveCount());
}
BENCHMARK(BM_PoolAdvance);

double timeDraws(bool separate, int repeats) {
    ParticlePool& pool = ParticlePool::instance();
    pool.separateDraws = separate;
    Camera camera;
    glFinish();
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repeats; ++i) {
        pool.draw(&camera);
    }
    glFinish();
    pool.separateDraws = false;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
           repeats;
}

void drawBenchmark(benchmark::State& state, bool separate) {
    if (window() == nullptr) {
        state.SkipWithError("needs an X display (scripts/run-bench.sh runs under Xvfb)");
        return;
    }
    fillPool();
    ParticlePool::instance().separateDraws = separate;
    Camera camera;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ParticlePool::instance().draw(&camera);
        glFinish();
    }
    ParticlePool::instance().separateDraws = false;
}

void BM_DrawBatched(benchmark::State& state) {
    drawBenchmark(state, false);
}
void BM_DrawOneCallEach(benchmark::State& state) {
    drawBenchmark(state, true);
}
BENCHMARK(BM_DrawBatched)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawOneCallEach)->Unit(benchmark::kMillisecond);

// Both ways in one run, for the speed-up figure.
void BM_DrawSpeedUp(benchmark::State& state) {
    if (window() == nullptr) {
        state.SkipWithError("needs an X display (scripts/run-bench.sh runs under Xvfb)");
        return;
    }
    fillPool();
    double batched = 0, separate = 0;
    for (auto _ : state) {
        separate = timeDraws(true, 5);
        batched = timeDraws(false, 5);
    }
    state.counters["batched_ms"] = batched;
    state.counters["one_call_each_ms"] = separate;
    state.counters["speed_up"] = batched > 0 ? separate / batched : 0;
}
BENCHMARK(BM_DrawSpeedUp)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
