#include "audio/audio_system.hpp"
#include "tests/audio/sound_test_support.hpp"

#include <gtest/gtest.h>

#include <cmath>

TEST(AudioSystem, ReleasedInstanceLivesUntilItHasFinished) {
    RecordedSystem s;
    EventInstance shot = s.instanceOf(kEventShot);
    ASSERT_EQ(shot.start(), kAudioOk);
    ASSERT_EQ(shot.release(), kAudioOk);
    s.frame(0.1f);
    EXPECT_TRUE(shot.isValid()) << "still playing";
    EXPECT_EQ(stateOf(shot), PlaybackState::Playing);
    s.frame(1.0f); // the shot is a third of a second long
    EXPECT_FALSE(shot.isValid());
    EXPECT_EQ(shot.start(), kAudioErrInvalidHandle) << "a freed instance is refused, not touched";
    EXPECT_EQ(s.system.instanceCount(), 0);
    EXPECT_EQ(s.output.voices.size(), 0u) << "its voice was given back";
}

TEST(AudioSystem, StartRestartsAndStopKeepsTheInstance) {
    RecordedSystem s;
    EventInstance music = s.instanceOf(kEventMenuMusic);
    ASSERT_EQ(music.start(), kAudioOk);
    s.frame(2.0f);
    EXPECT_EQ(positionMs(music), 2000);
    ASSERT_EQ(music.start(), kAudioOk);
    EXPECT_EQ(positionMs(music), 0) << "start plays from the beginning";
    EXPECT_EQ(s.output.liveVoices(), 1u);
    ASSERT_EQ(music.stop(), kAudioOk);
    s.frame(0.1f);
    EXPECT_TRUE(music.isValid()) << "a held instance outlives its stop";
    EXPECT_EQ(stateOf(music), PlaybackState::Stopped);
    EXPECT_EQ(s.output.liveVoices(), 0u);
}

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

TEST(AudioSystem, BusPauseStopsTheClockAndHoldsNewStarts) {
    RecordedSystem s;
    EventInstance music = s.instanceOf(kEventVictoryMusic);
    ASSERT_EQ(music.start(), kAudioOk);
    s.frame(0.5f);
    ASSERT_EQ(s.master().setPaused(true), kAudioOk);
    s.frame(3.0f);
    EXPECT_EQ(positionMs(music), 500);
    EXPECT_EQ(stateOf(music), PlaybackState::Playing) << "paused, not stopped";

    EventInstance shot = s.instanceOf(kEventShot);
    ASSERT_EQ(shot.start(), kAudioOk);
    ASSERT_EQ(shot.release(), kAudioOk);
    s.frame(3.0f);
    EXPECT_TRUE(shot.isValid()) << "a one-shot started on a paused bus waits instead of ending unheard";

    ASSERT_EQ(s.master().setPaused(false), kAudioOk);
    s.frame(0.25f);
    EXPECT_EQ(positionMs(music), 750);
    EXPECT_EQ(positionMs(shot), 250);
}

TEST(AudioSystem, StopAllStopsEverythingAndFreesOneShots) {
    RecordedSystem s;
    EventInstance music = s.instanceOf(kEventMenuMusic);
    EventInstance hole = s.instanceOf(kEventBlackHole);
    EventInstance shot = s.instanceOf(kEventBigExplosion);
    for (const EventInstance& i : {music, hole, shot}) {
        ASSERT_EQ(i.start(), kAudioOk);
    }
    ASSERT_EQ(shot.release(), kAudioOk);
    ASSERT_EQ(s.master().stopAllEvents(), kAudioOk);
    EXPECT_EQ(s.output.liveVoices(), 0u);
    s.frame(0.0f);
    EXPECT_TRUE(music.isValid());
    EXPECT_TRUE(hole.isValid());
    EXPECT_FALSE(shot.isValid());
    ASSERT_EQ(music.start(), kAudioOk) << "held instances can start again";
}

TEST(AudioSystem, MasterBusDrivesTheOutputLevel) {
    RecordedSystem s;
    Bus bus = s.master();
    ASSERT_EQ(bus.setVolume(0.3f), kAudioOk);
    EXPECT_FLOAT_EQ(s.output.masterVolume, 0.3f);
    ASSERT_EQ(bus.setMute(true), kAudioOk);
    EXPECT_FLOAT_EQ(s.output.masterVolume, 0.0f);
    ASSERT_EQ(bus.setVolume(0.9f), kAudioOk);
    EXPECT_FLOAT_EQ(s.output.masterVolume, 0.0f) << "still muted";
    ASSERT_EQ(bus.setMute(false), kAudioOk);
    EXPECT_FLOAT_EQ(s.output.masterVolume, 0.9f);

    EXPECT_EQ(bus.setVolume(std::nanf("")), kAudioErrInvalidParam);
    EXPECT_EQ(bus.setVolume(-0.1f), kAudioErrInvalidParam);
    float volume = 0.0f;
    ASSERT_EQ(bus.getVolume(&volume), kAudioOk);
    EXPECT_FLOAT_EQ(volume, 0.9f) << "a refused volume changes nothing";
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

TEST(AudioSystem, SampleDataLoadsOnceAndOnDemand) {
    RecordedSystem s;
    EventDescription description;
    ASSERT_EQ(s.system.getEvent(std::string(kEventDeath), &description), kAudioOk);
    bool loaded = true;
    ASSERT_EQ(description.getSampleLoaded(&loaded), kAudioOk);
    EXPECT_FALSE(loaded);
    ASSERT_EQ(description.loadSampleData(), kAudioOk);
    ASSERT_EQ(description.loadSampleData(), kAudioOk);
    EXPECT_EQ(s.output.sounds.size(), 1u);
    EventInstance other = s.instanceOf(kEventRespawn);
    ASSERT_EQ(other.start(), kAudioOk) << "a start loads what it needs";
    EXPECT_EQ(s.output.sounds.size(), 2u);
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
