// The audio layer below the sound manager: voices, banks and handles. What the game hears
// through the manager is checked in sound_manager_test.
#include "audio/audio_system.hpp"
#include "tests/audio/sound_test_support.hpp"

#include <gtest/gtest.h>

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
    EXPECT_EQ(stateOf(shots[8]), PlaybackState::Stopped) << "the nine oldest one-shots gave way";
    EXPECT_EQ(stateOf(shots[9]), PlaybackState::Playing);
    s.frame(0.0f);
    EXPECT_EQ(s.system.instanceCount(), 32);
}

TEST(AudioSystem, VoiceCapFailsWhenOnlyHeldInstancesPlay) {
    RecordedSystem s(2);
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
