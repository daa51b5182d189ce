// One frame of the whole update of a match (behaviour, world transforms, one physics step) with
// four tanks on their platforms and 100 bullets in flight, and the same frame with 10,000 spent
// bullets and finished explosions added, as a long match leaves them (they are switched off,
// never destroyed). The spent ones must cost nothing: the figure is the ratio of the two.
#include "gameplay/bullet.hpp"
#include "gameplay/explosion.hpp"
#include "gameplay/object_factory.hpp"
#include "gameplay/player.hpp"
#include "gameplay/standard_bullets.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/logic.hpp"
#include "objects/world_update.hpp"
#include "physics/physics_step.hpp"
#include "physics/rigid_body.hpp"

#include "bench/cycle_timing.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <vector>

namespace {

constexpr float kFixedStep = 0.01666f;
constexpr int kFlying = 100;
constexpr int kSpent = 10000;
// Two seconds: the flying bullets go back to their start before any lifetime runs out, so every
// cycle does the same work.
constexpr int kFramesPerCycle = 120;

struct Start {
    Bullet* bullet;
    vec2 position;
    vec2 velocity;
    float lifetime;
};

using Factory = Bullet* (*)(vec2, vec2, float, const std::string&, uint32_t);
constexpr Factory kKinds[] = {
    [](vec2 p, vec2 d, float s, const std::string& g, uint32_t m) -> Bullet* {
        return MakeBasicBullet(p, d, s, g, m);
    },
    [](vec2 p, vec2 d, float s, const std::string& g, uint32_t m) -> Bullet* {
        return MakeExplodingBullet(p, d, s, g, m);
    },
    [](vec2 p, vec2 d, float s, const std::string& g, uint32_t m) -> Bullet* {
        return MakeSplittingBullet(p, d, s, g, m);
    },
    [](vec2 p, vec2 d, float s, const std::string& g, uint32_t m) -> Bullet* {
        return MakeStickyBullet(p, d, s, g, m);
    },
    [](vec2 p, vec2 d, float s, const std::string& g, uint32_t m) -> Bullet* {
        return MakeRicochetBullet(p, d, s, g, m);
    },
    [](vec2 p, vec2 d, float s, const std::string& g, uint32_t m) -> Bullet* {
        return MakeSniperBullet(p, d, s, g, m);
    },
};

class Match {
  public:
    explicit Match(int spent) {
        FrameTimer::instance().dt = kFixedStep;
        FrameTimer::instance().timeScale = 1.0f;
        // Four platforms, a tank on each.
        for (uint32_t player = 1; player <= 4; ++player) {
            float x = -27.0f + 12.0f * static_cast<float>(player);
            MakePlatform({x, -10.0f, -0.9f}, {1, 1, 1, 1}, {8.0f, 1.0f, 1.0f}, {0, 0, 0});
            Player* slot = nullptr;
            auto tank = MakeTank(slot, player, {x, -9.0f, 0.0f});
            SetTankGroup(*tank, "Player " + std::to_string(player));
        }
        // What earlier rounds of fire left behind: spent bullets and finished explosions.
        for (int i = 0; i < spent / 2; ++i) {
            Bullet* b = kKinds[i % 6]({0.0f, -60.0f}, {1, 0}, 0.0f, "Player 1", 1);
            setActive(b->owner, false);
            Explosion* e = MakeExplosion({0.0f, -60.0f}, {3, 3}, "Player 1", 500, 0.1f);
            setActive(e->owner, false);
        }
        // Each player's shots fly high in a lane of their own, so nothing meets in a cycle.
        for (int i = 0; i < kFlying; ++i) {
            uint32_t player = static_cast<uint32_t>(i % 4) + 1;
            float lane = -36.0f + 24.0f * static_cast<float>(player - 1);
            vec2 at{lane + static_cast<float>(i % 5) * 2.0f, 5.0f + static_cast<float>(i / 4 % 6) * 2.0f};
            vec2 velocity{static_cast<float>(i % 3) - 1.0f, 10.0f};
            Bullet* b = kKinds[i % 6](at, velocity, length(velocity), "Player " + std::to_string(player),
                                      PlayerBit(player));
            starts.push_back({b, at, b->rigidBody->velocity, b->lifetime});
        }
    }
    ~Match() { GameObjectList::instance().destroyAll(); }

    int cyclePosition() const { return frames % kFramesPerCycle; }

    double frame() {
        if (++frames % kFramesPerCycle == 0) {
            for (const Start& s : starts) {
                s.bullet->rigidBody->SetPosition(s.position.x, s.position.y);
                s.bullet->rigidBody->velocity = s.velocity;
                s.bullet->rigidBody->rotation = 0.0f;
                s.bullet->lifetime = s.lifetime;
            }
        }
        auto begin = std::chrono::steady_clock::now();
        UpdateLogics();
        UpdateWorldTransforms();
        PhysicsStep(kFixedStep);
        auto end = std::chrono::steady_clock::now();
        return std::chrono::duration<double>(end - begin).count();
    }

    size_t activeBullets() const {
        return static_cast<size_t>(std::count_if(starts.begin(), starts.end(), [](const Start& s) {
            return s.bullet->owner->active.operator bool();
        }));
    }

  private:
    std::vector<Start> starts;
    int frames = 0;
};

std::map<int, CycleTimes>& fastestBySpent() {
    static std::map<int, CycleTimes> times;
    return times;
}

void BM_MatchFrame(benchmark::State& state) {
    const int spent = static_cast<int>(state.range(0));
    Match match(spent);
    for (int i = 0; i < 30; ++i) {
        match.frame(); // tanks settle, the lists of what is in play are built
    }
    auto& fastest = fastestBySpent()[spent];
    fastest.resize(kFramesPerCycle);
    for (auto _ : state) {
        double seconds = match.frame();
        fastest.record(static_cast<size_t>(match.cyclePosition()), seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["us_per_frame"] = fastest.meanSeconds() * 1e6;
    state.counters["flying"] = static_cast<double>(match.activeBullets());
}
BENCHMARK(BM_MatchFrame)
    ->ArgName("spent")
    ->Arg(0)
    ->Arg(kSpent)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(10 * kFramesPerCycle)
    ->Repetitions(5);

} // namespace

int main(int argc, char** argv) {
    if (!RunBenchmarks(argc, argv)) {
        return 1;
    }
    // The goal: 10,000 spent objects cost at most 10 % more per frame.
    const auto& fastest = fastestBySpent();
    auto clean = fastest.find(0);
    auto crowded = fastest.find(kSpent);
    if (clean != fastest.end() && crowded != fastest.end()) {
        double cleanUs = clean->second.meanSeconds() * 1e6;
        double crowdedUs = crowded->second.meanSeconds() * 1e6;
        std::printf(
            "match frame, 4 tanks and %d bullets: %7.1f us; with %d spent objects: %7.1f us; ratio %.2f\n",
            kFlying, cleanUs, kSpent, crowdedUs, crowdedUs / cleanUs);
    }
    return 0;
}
