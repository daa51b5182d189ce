#pragma once

// Shared by the sound tests: paths of the generated banks and a system over a recording output.

#include "audio/audio_system.hpp"
#include "audio/sound_events.hpp"
#include "platform/audio_output.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

inline std::string generatedBank(std::string_view file) {
    return std::string(GRUMBO_RESOURCES_DIR) + "/Audio/" + std::string(file);
}

// A system with the four generated banks loaded, playing into a recording output.
struct RecordedSystem {
    explicit RecordedSystem(int voices = 32) {
        EXPECT_EQ(system.initialize(voices, &output), kAudioOk);
        for (std::string_view file : {kMasterBankFile, kMasterStringsBankFile, kSfxBankFile, kBgmBankFile}) {
            Bank bank;
            EXPECT_EQ(system.loadBankFile(generatedBank(file), &bank), kAudioOk) << file;
        }
    }

    EventInstance instanceOf(std::string_view path) {
        EventDescription description;
        EXPECT_EQ(system.getEvent(std::string(path), &description), kAudioOk) << path;
        EventInstance instance;
        EXPECT_EQ(description.createInstance(&instance), kAudioOk);
        return instance;
    }

    RecordingAudioOutput output;
    AudioSystem system;
};

inline int positionMs(const EventInstance& instance) {
    int ms = -1;
    EXPECT_EQ(instance.getTimelinePosition(&ms), kAudioOk);
    return ms;
}

// Waits (for real: the output mixes on its own thread) until an instance's clock passes a mark,
// giving up after a generous while so a busy machine slows the test down instead of failing it.
inline int waitForPosition(const EventInstance& instance, int pastMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int ms = positionMs(instance);
    while (ms <= pastMs && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ms = positionMs(instance);
    }
    return ms;
}

inline PlaybackState stateOf(const EventInstance& instance) {
    PlaybackState state = PlaybackState::Stopped;
    EXPECT_EQ(instance.getPlaybackState(&state), kAudioOk);
    return state;
}
