// The real output (SFML over OpenAL) on OpenAL's null device, as on a machine without sound:
// sounds really start, run and end, silently.
#include "audio/sound_manager.hpp"
#include "platform/audio_output.hpp"
#include "tests/audio/sound_test_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <numeric>
#include <thread>

using namespace std::chrono_literals;

TEST(PcmChunks, LoopWrapsSampleExactly) {
    auto samples = std::make_shared<std::vector<int16_t>>(10);
    std::iota(samples->begin(), samples->end(), int16_t{0});
    PcmSource pcm;
    pcm.samples = samples;
    pcm.frameCount = 10;
    pcm.loops = true;
    pcm.loopStart = 3;
    pcm.loopEnd = 8;
    uint32_t cursor = 0;
    std::vector<int16_t> played;
    for (size_t size : {4u, 7u, 1u, 9u}) {
        std::vector<int16_t> chunk(size);
        ASSERT_EQ(fillPcmChunk(pcm, cursor, chunk.data(), size), size) << "a loop never runs dry";
        played.insert(played.end(), chunk.begin(), chunk.end());
    }
    const std::vector<int16_t> expected = {0, 1, 2, 3, 4, 5, 6, 7, 3, 4, 5, 6, 7, 3, 4, 5, 6, 7, 3, 4, 5};
    EXPECT_EQ(played, expected) << "no sample lost or doubled at the seam";

    pcm.loops = false;
    cursor = 7;
    std::vector<int16_t> tail(8);
    EXPECT_EQ(fillPcmChunk(pcm, cursor, tail.data(), 8), 3u) << "a one-shot ends at its end";
    EXPECT_EQ(fillPcmChunk(pcm, cursor, tail.data(), 8), 0u);
}

TEST(AudioDevice, NoDeviceSelectsTheNullDriverWithOneLineAndAChosenDriverIsLeftAlone) {
    unsetenv("ALSOFT_DRIVERS");
    testing::internal::CaptureStdout();
    EXPECT_EQ(chooseAudioDevice([] { return true; }), AudioDeviceChoice::Default);
    EXPECT_EQ(std::getenv("ALSOFT_DRIVERS"), nullptr);
    EXPECT_EQ(chooseAudioDevice([] { return false; }), AudioDeviceChoice::NullNoDevice);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Sound is off: no audio device found.\n");
    EXPECT_STREQ(std::getenv("ALSOFT_DRIVERS"), "null");
    setenv("ALSOFT_DRIVERS", "pulse", 1);
    EXPECT_EQ(chooseAudioDevice([] { return false; }), AudioDeviceChoice::NullRequested);
    EXPECT_STREQ(std::getenv("ALSOFT_DRIVERS"), "pulse");
}

TEST(AudioDevice, ProbeIsQuietAndOpensTheNullDevice) {
    // The suite runs with ALSOFT_DRIVERS=null, which the probe's child inherits.
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    bool opened = probeDefaultAudioDevice();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(opened);
}

TEST(RealSoundOutput, EveryEventPlaysStartsRunsAndOneShotsFinish) {
    SoundManager& sound = SoundManager::instance();
    testing::internal::CaptureStdout();
    sound.init();
    sound.loadBank(std::string(kSfxBankFile));
    sound.loadBank(std::string(kBgmBankFile));
    sound.loadBankSampleData(std::string(kSfxBankFile));
    for (const SoundEventInfo& event : kSoundEvents) {
        sound.playEvent(std::string(event.path), !event.held);
    }
    sound.update();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "")
        << "no errors, and no device line: the null driver was asked for";
    ASSERT_FALSE(currentAudioOutput().audible());

    AudioSystem& system = *sound.studioSystem;
    EXPECT_EQ(system.voiceCount(), static_cast<int>(kSoundEvents.size()));

    // Held instances are playing and their clocks move (however busy the machine is).
    for (const SoundEventInfo& event : kSoundEvents) {
        if (event.held) {
            EventInstance instance = sound.instances.at(std::string(event.path));
            EXPECT_EQ(stateOf(instance), PlaybackState::Playing) << event.path;
            EXPECT_GT(waitForPosition(instance, 100), 100) << event.path;
        }
    }

    // The one-shots (2.4 s at the longest) end and free themselves; the loops play on.
    auto deadline = std::chrono::steady_clock::now() + 15s;
    const auto held = std::count_if(kSoundEvents.begin(), kSoundEvents.end(), [](auto& e) { return e.held; });
    while (system.instanceCount() > held && std::chrono::steady_clock::now() < deadline) {
        sound.update();
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(system.instanceCount(), held) << "every one-shot finished";
    EXPECT_EQ(stateOf(sound.instances.at(std::string(kEventBlackHole))), PlaybackState::Playing);
    EXPECT_EQ(stateOf(sound.instances.at(std::string(kEventGo))), PlaybackState::Stopped)
        << "the chime played once";
    sound.shutdown();
}

TEST(RealSoundOutput, PauseStopsTheClockAndResumeGoesOn) {
    SoundManager& sound = SoundManager::instance();
    sound.init();
    sound.loadBank(std::string(kBgmBankFile));
    sound.playEvent(std::string(kEventMenuMusic), false);
    EventInstance music = sound.instances.at(std::string(kEventMenuMusic));
    waitForPosition(music, 50);
    sound.setPaused(true);
    int atPause = positionMs(music);
    EXPECT_GT(atPause, 50);
    std::this_thread::sleep_for(300ms);
    sound.update();
    EXPECT_EQ(positionMs(music), atPause);
    EXPECT_EQ(stateOf(music), PlaybackState::Playing) << "paused, not stopped";
    sound.setPaused(false);
    EXPECT_GT(waitForPosition(music, atPause + 50), atPause + 50);
    sound.shutdown();
}

TEST(RealSoundOutput, StartingAgainAfterShutdownIsQuiet) {
    // SFML closes its device with its last sound; the volume set by the next start must not
    // meet a closed device (OpenAL then complains on every call).
    SoundManager& sound = SoundManager::instance();
    sound.init();
    sound.loadBank(std::string(kSfxBankFile));
    sound.playEvent(std::string(kEventShot), true);
    sound.shutdown();
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    sound.init();
    sound.loadBank(std::string(kSfxBankFile));
    sound.setVolume(0.7f);
    sound.playEvent(std::string(kEventShot), true);
    sound.update();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(sound.studioSystem->voiceCount(), 1);
}
