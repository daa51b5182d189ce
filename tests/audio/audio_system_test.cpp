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
    ASSERT_EQ(s.system.update(), kAudioOk);
    EXPECT_EQ(s.system.instanceCount(), 32);
}

// A full voice cap first takes back the voices of sounds that have ended (no update has yet);
// when only held sounds are left playing, a new start fails rather than take one of theirs.
TEST(AudioSystem, AFullVoiceCapReclaimsEndedVoicesAndNeverTakesAHeldOne) {
    RecordedSystem s(2);
    EventInstance music = s.instanceOf(kEventMenuMusic);
    EventInstance chime = s.instanceOf(kEventGo);
    ASSERT_EQ(music.start(), kAudioOk);
    ASSERT_EQ(chime.start(), kAudioOk);
    s.output.advance(5.0f);
    EXPECT_EQ(s.instanceOf(kEventBlackHole).start(), kAudioOk);
    EXPECT_EQ(chime.start(), kAudioErrNoVoice);
    EXPECT_EQ(stateOf(music), PlaybackState::Playing);
}
