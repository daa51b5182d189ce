// The sound system's per-frame cost with every voice busy. Run from the run folder (the
// generated banks are read from ../Resources/Audio/).
#include "audio/audio_system.hpp"
#include "audio/sound_events.hpp"
#include "platform/audio_output.hpp"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kVoices = 32;

bool loadBanks(AudioSystem& system, AudioOutput& output) {
    if (system.initialize(kVoices, &output) != kAudioOk) {
        return false;
    }
    for (std::string_view file : {kMasterBankFile, kMasterStringsBankFile, kSfxBankFile, kBgmBankFile}) {
        Bank bank;
        if (system.loadBankFile("../Resources/Audio/" + std::string(file), &bank) != kAudioOk) {
            return false;
        }
    }
    return true;
}

EventInstance start(AudioSystem& system, std::string_view path) {
    EventDescription description;
    EventInstance instance;
    system.getEvent(std::string(path), &description);
    description.createInstance(&instance);
    instance.start();
    return instance;
}

// 32 looping voices (three music streams, the rest drones) so none ends during the run.
void fillVoices(AudioSystem& system) {
    start(system, kEventMenuMusic);
    start(system, kEventMatchMusic);
    start(system, kEventVictoryMusic);
    while (system.voiceCount() < kVoices) {
        start(system, kEventBlackHole).release();
    }
}

void runUpdate(benchmark::State& state, AudioOutput& output) {
    AudioSystem system;
    if (!loadBanks(system, output)) {
        state.SkipWithError("the generated banks are missing: build the game first");
        return;
    }
    fillVoices(system);
    for (auto _ : state) {
        benchmark::DoNotOptimize(system.update());
    }
    state.counters["voices"] = system.voiceCount();
}

void BM_UpdateWith32VoicesRealOutput(benchmark::State& state) {
    runUpdate(state, currentAudioOutput());
}

void BM_UpdateWith32VoicesRecordingOutput(benchmark::State& state) {
    RecordingAudioOutput output;
    runUpdate(state, output);
}

// A one-shot when every voice is taken: the oldest one-shot gives way.
void BM_OneShotAtTheVoiceCap(benchmark::State& state) {
    AudioSystem system;
    if (!loadBanks(system, currentAudioOutput())) {
        state.SkipWithError("the generated banks are missing: build the game first");
        return;
    }
    fillVoices(system);
    for (auto _ : state) {
        start(system, kEventShot).release();
        system.update();
    }
    state.counters["voices"] = system.voiceCount();
}

} // namespace

BENCHMARK(BM_UpdateWith32VoicesRealOutput)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UpdateWith32VoicesRecordingOutput)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneShotAtTheVoiceCap)->Unit(benchmark::kMicrosecond);
