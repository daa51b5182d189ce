#pragma once

// Shared by the benchmarks whose scene repeats in a fixed cycle of steps: every step of the
// cycle then does the same work every time round, so keeping the fastest time seen for each of
// them filters out the moments the machine was busy elsewhere (it is shared), and their mean is
// the figure reported.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

// A small fixed generator: the same scene on every run and machine.
struct SceneRandom {
    uint32_t state = 12345;
    float next(float low, float high) {
        state = state * 1664525u + 1013904223u;
        return low + (high - low) * static_cast<float>(state >> 8) / static_cast<float>(1u << 24);
    }
};

// The fastest time seen, in seconds, for each step of the cycle.
class CycleTimes {
  public:
    explicit CycleTimes(size_t steps = 0) : fastest(steps, 1.0) {}
    void resize(size_t steps) { fastest.resize(steps, 1.0); }
    void record(size_t step, double seconds) {
        double& best = fastest[step % fastest.size()];
        best = std::min(best, seconds);
    }
    double meanSeconds() const {
        double sum = 0.0;
        for (double t : fastest) {
            sum += t;
        }
        return fastest.empty() ? 0.0 : sum / static_cast<double>(fastest.size());
    }

  private:
    std::vector<double> fastest;
};

// The usual benchmark start; false when the arguments were not understood.
inline bool RunBenchmarks(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return false;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return true;
}
