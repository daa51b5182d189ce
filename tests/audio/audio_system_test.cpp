// The audio layer below the sound manager: voices, banks and handles. What the game hears
// through the manager is checked in sound_manager_test.
#include "audio/audio_system.hpp"
#include "tests/audio/sound_test_support.hpp"

#include <gtest/gtest.h>

#include <cmath>

TEST(AudioSystem, VoiceCapDropsTheOldestOneShotOnly) {
    RecordedSystem s;
    EventInstance music = s.instanceOf(kEventMatchMusic);
    ASSERT_EQ(music.start(), kAudioOk);
    std::vector<EventInstance> shots;
    for (int i = 0; i < 40; ++i) {
        shots.push_back(s.instanceOf(kEventImpact));
        ASSERT_EQ(shots.back().start(), kAudioOk) << i;
        ASSERT_EQ(shots.back().release(), kAudioOk);
    }
    EXPECT_EQ(s.system.voiceCount(), 32);
    EXPECT_EQ(s.output.liveVoices(), 32u);
    EXPECT_EQ(stateOf(music), PlaybackState::Playing) << "the held music keeps its voice";
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(stateOf(shots[i]), PlaybackState::Stopped) << "oldest one-shot " << i << " gave way";
    }
    for (int i = 9; i < 40; ++i) {
        EXPECT_EQ(stateOf(shots[i]), PlaybackState::Playing) << i;
    }
    s.frame(0.0f);
    EXPECT_EQ(s.system.instanceCount(), 32);
}

TEST(AudioSystem, VoiceCapFailsWhenOnlyHeldInstancesPlay) {
    RecordedSystem s;
    ASSERT_EQ(s.system.initialize(2, &s.output), kAudioOk); // re-initialising unloads the banks
    EXPECT_EQ(s.system.bankCount(), 0);
    for (std::string_view file : {kMasterBankFile, kMasterStringsBankFile, kSfxBankFile, kBgmBankFile}) {
        Bank bank;
        ASSERT_EQ(s.system.loadBankFile(generatedBank(file), &bank), kAudioOk);
    }
    EventInstance a = s.instanceOf(kEventMenuMusic);
    EventInstance b = s.instanceOf(kEventBlackHole);
    EventInstance c = s.instanceOf(kEventGo);
    ASSERT_EQ(a.start(), kAudioOk);
    ASSERT_EQ(b.start(), kAudioOk);
    EXPECT_EQ(c.start(), kAudioErrNoVoice);
    EXPECT_EQ(stateOf(a), PlaybackState::Playing);
}

TEST(AudioSystem, FinishedVoicesAreReclaimedBeforeAnyoneIsDropped) {
    RecordedSystem s;
    std::vector<EventInstance> shots;
    for (int i = 0; i < 32; ++i) {
        shots.push_back(s.instanceOf(kEventShot));
        ASSERT_EQ(shots.back().start(), kAudioOk);
    }
    s.output.advance(1.0f); // all ended, no update yet
    EventInstance next = s.instanceOf(kEventShot);
    ASSERT_EQ(next.start(), kAudioOk);
    EXPECT_EQ(s.system.voiceCount(), 1);
}

TEST(AudioSystem, AVolumeThatIsNoVolumeIsRefusedAndChangesNothing) {
    RecordedSystem s;
    Bus bus = s.master();
    ASSERT_EQ(bus.setVolume(0.9f), kAudioOk);
    EXPECT_EQ(bus.setVolume(std::nanf("")), kAudioErrInvalidParam);
    EXPECT_EQ(bus.setVolume(-0.1f), kAudioErrInvalidParam);
    EXPECT_FLOAT_EQ(s.output.masterVolume, 0.9f);
}

TEST(AudioSystem, PathsNeedTheStringsBank) {
    RecordingAudioOutput output;
    AudioSystem system;
    ASSERT_EQ(system.initialize(32, &output), kAudioOk);
    Bank sfx;
    ASSERT_EQ(system.loadBankFile(generatedBank(kSfxBankFile), &sfx), kAudioOk);
    EventDescription description;
    EXPECT_EQ(system.getEvent(std::string(kEventShot), &description), kAudioErrEventNotFound);
    Bank strings;
    ASSERT_EQ(system.loadBankFile(generatedBank(kMasterStringsBankFile), &strings), kAudioOk);
    EXPECT_EQ(system.getEvent(std::string(kEventShot), &description), kAudioOk);
    EXPECT_EQ(system.getEvent("event:/No/Such", &description), kAudioErrEventNotFound);
    EXPECT_EQ(system.getEvent(std::string(kEventMenuMusic), &description), kAudioErrEventNotFound)
        << "its bank is not loaded";
    Bus bus;
    EXPECT_EQ(system.getBus(std::string(kMasterBusPath), &bus), kAudioErrBusNotFound) << "no master bank";
}

TEST(AudioSystem, ABankLoadsOnce) {
    RecordedSystem s;
    Bank again;
    EXPECT_EQ(s.system.loadBankFile(generatedBank(kSfxBankFile), &again), kAudioErrBankLoaded);
    EXPECT_FALSE(again.isValid());
    EXPECT_EQ(s.system.bankCount(), 4);
    EXPECT_EQ(s.system.loadBankFile("/nonexistent.bank", &again), kAudioErrFileNotFound);
}

TEST(AudioSystem, UnloadingABankInvalidatesItsHandles) {
    RecordedSystem s;
    EventDescription description;
    ASSERT_EQ(s.system.getEvent(std::string(kEventMatchMusic), &description), kAudioOk);
    EventInstance music = s.instanceOf(kEventMatchMusic);
    Bus bus = s.master();
    ASSERT_EQ(music.start(), kAudioOk);
    ASSERT_EQ(s.system.unloadAll(), kAudioOk);
    EXPECT_EQ(s.output.voices.size(), 0u);
    EXPECT_EQ(s.output.sounds.size(), 0u);
    EXPECT_EQ(music.start(), kAudioErrInvalidHandle);
    EXPECT_EQ(description.loadSampleData(), kAudioErrInvalidHandle);
    EXPECT_EQ(bus.stopAllEvents(), kAudioErrInvalidHandle);
}

TEST(AudioSystem, CallsBeforeInitialiseFail) {
    AudioSystem system;
    Bank bank;
    EXPECT_EQ(system.loadBankFile(generatedBank(kSfxBankFile), &bank), kAudioErrNotInitialized);
    EXPECT_EQ(system.update(), kAudioErrNotInitialized);
    EXPECT_EQ(system.initialize(32, nullptr), kAudioErrInvalidParam);
    EXPECT_EQ(EventInstance{}.start(), kAudioErrInvalidHandle);
    EXPECT_EQ(Bus{}.setVolume(1.0f), kAudioErrInvalidHandle);
}
