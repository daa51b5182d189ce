#include "audio/sound_manager.hpp"
#include "tests/audio/sound_test_support.hpp"
#include "tests/support/engine_harness.hpp"
#include "tests/support/printed.hpp"
#include "tests/support/temp_run_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace {

// The manager as the engine sets it up (both event banks loaded), over a recording output.
class SoundManagerTest : public testing::Test {
  protected:
    void SetUp() override {
        setAudioOutput(&output);
        testing::internal::CaptureStdout();
        sound().init();
        sound().loadBank(std::string(kSfxBankFile));
        sound().loadBank(std::string(kBgmBankFile));
        ASSERT_EQ(testing::internal::GetCapturedStdout(), "") << "the generated banks load cleanly";
    }
    // The manager is shut down with the output it plays on, so a case run after this one in the
    // same process starts on its own output.
    void TearDown() override {
        sound().shutdown();
        setAudioOutput(nullptr);
    }

    static SoundManager& sound() { return SoundManager::instance(); }
    void frame(float seconds) {
        output.advance(seconds);
        sound().update();
    }
    // A folder holding copies of the named generated banks only.
    std::string bankFolderWith(std::initializer_list<std::string_view> files) {
        run.emplace();
        for (std::string_view file : files) {
            std::filesystem::copy_file(generatedBank(file), run->resources() + std::string(file));
        }
        return run->resources();
    }

    RecordingAudioOutput output;
    std::optional<TempRunDir> run;
};

} // namespace

TEST_F(SoundManagerTest, OneShotsOfOnePathInOneFrameOverlap) {
    sound().playEvent(std::string(kEventImpact), true);
    sound().playEvent(std::string(kEventImpact), true);
    EXPECT_EQ(output.liveVoices(), 2u);
    frame(0.2f);
    EXPECT_EQ(output.liveVoices(), 2u) << "both still sound together";
    frame(1.0f);
    EXPECT_EQ(sound().studioSystem->instanceCount(), 0) << "each freed itself when done";
}

// A held path keeps one instance: playing it again restarts it, loading it again (a screen
// rebuilt while its music plays) keeps it, and a stop leaves it ready to start again. A stop on
// a one-shot path stops nothing.
TEST_F(SoundManagerTest, AHeldPathKeepsItsOneInstanceThroughPlaysLoadsAndStops) {
    sound().playEvent(std::string(kEventMenuMusic), false);
    frame(1.5f);
    EventInstance held = sound().instances.at(std::string(kEventMenuMusic));
    EXPECT_EQ(positionMs(held), 1500);
    sound().playEvent(std::string(kEventMenuMusic), false);
    sound().loadEvent(std::string(kEventMenuMusic));
    EXPECT_EQ(positionMs(held), 0) << "restarted";
    EXPECT_EQ(sound().studioSystem->instanceCount(), 1);
    sound().playEvent(std::string(kEventPulse), true);
    EXPECT_EQ(Printed([] { sound().stopEvent(std::string(kEventPulse)); }), "");
    sound().stopEvent(std::string(kEventMenuMusic));
    EXPECT_EQ(output.liveVoices(), 1u) << "the music stopped, the pulse plays on";
    frame(0.0f);
    sound().playEvent(std::string(kEventMenuMusic), false);
    EXPECT_EQ(output.liveVoices(), 2u);
}

TEST_F(SoundManagerTest, MuteThenVolumeKeepsTheBusMuted) {
    sound().setMuted(true);
    sound().setVolume(0.8f);
    EXPECT_FLOAT_EQ(output.masterVolume, 0.0f);
    sound().setMuted(false);
    EXPECT_FLOAT_EQ(output.masterVolume, 0.8f) << "the stored volume applies on unmute";
}

// A missing bank and one that cannot be read (a link to an endless device, which must not hang
// the game) are each told with their code and file and left out.
TEST_F(SoundManagerTest, AMissingOrBadBankReportsItsFileAndEachMissingEventOnce) {
    // A fresh manager whose folder lacks the music bank.
    sound().shutdown();
    sound().init();
    sound().audioRoot = bankFolderWith({kSfxBankFile});
    EXPECT_EQ(Printed([] { sound().loadBank(std::string(kBgmBankFile)); }),
              "SOUND MANAGER ERROR: 10\n" + sound().audioRoot + std::string(kBgmBankFile) + "\n")
        << "the code, then the file";
    EXPECT_EQ(sound().banks.count(std::string(kBgmBankFile)), 0u);
    EXPECT_EQ(Printed([] { sound().loadBank(std::string(kSfxBankFile)); }), "");

    // A path that cannot be found is told once, with the path; later plays fail quietly.
    for (std::string told :
         {"SOUND MANAGER ERROR: 20\n" + std::string(kEventVictoryMusic) + "\n", std::string()}) {
        EXPECT_EQ(Printed([] { sound().playEvent(std::string(kEventVictoryMusic), true); }), told);
    }
    EXPECT_EQ(Printed([] { sound().playEvent(std::string(kEventShot), true); }), "")
        << "the other bank plays";

    std::filesystem::create_symlink("/dev/zero", sound().audioRoot + std::string(kBgmBankFile));
    EXPECT_EQ(Printed([] { sound().loadBank(std::string(kBgmBankFile)); }),
              "SOUND MANAGER ERROR: 11\n" + sound().audioRoot + std::string(kBgmBankFile) + "\n");
    EXPECT_EQ(sound().banks.count(std::string(kBgmBankFile)), 0u);
}

TEST_F(SoundManagerTest, AMissingSoundFolderIsSaidInOneLineAndNothingElseComplains) {
    sound().shutdown();
    TempRunDir run; // a Resources/ tree without Audio/
    EXPECT_EQ(Printed([] { sound().init(); }), "Sound is off: no sound folder at ../Resources/Audio/\n");
    EXPECT_EQ(Printed([] {
                  sound().loadBank(std::string(kSfxBankFile));
                  sound().playEvent(std::string(kEventMenuMusic), false);
                  sound().playEvent(std::string(kEventShot), true);
                  sound().setVolume(0.3f);
                  sound().setPaused(true);
                  sound().update();
              }),
              "");
    EXPECT_TRUE(sound().banks.empty());
}

TEST_F(SoundManagerTest, PauseStopsTheClockOfPlayingInstances) {
    sound().playEvent(std::string(kEventMatchMusic), false);
    sound().playEvent(std::string(kEventCrowdCheer), true);
    frame(0.5f);
    sound().setPaused(true);
    sound().playEvent(std::string(kEventShot), true); // started in the pause, it waits for its end
    frame(5.0f);
    EventInstance music = sound().instances.at(std::string(kEventMatchMusic));
    EXPECT_EQ(positionMs(music), 500);
    EXPECT_EQ(sound().studioSystem->instanceCount(), 3) << "no paused one-shot has run out";
    sound().setPaused(false);
    frame(0.5f);
    EXPECT_EQ(positionMs(music), 1000);
}

TEST_F(SoundManagerTest, StopAllSilencesEverything) {
    sound().playEvent(std::string(kEventVictoryMusic), false);
    sound().playEvent(std::string(kEventBigExplosion), true);
    sound().stopAll();
    EXPECT_EQ(output.liveVoices(), 0u);
    frame(0.0f);
    EXPECT_EQ(sound().studioSystem->instanceCount(), 1) << "the held music stays held";
    sound().playEvent(std::string(kEventVictoryMusic), false);
    EXPECT_EQ(output.liveVoices(), 1u) << "and can start again";
}

TEST_F(SoundManagerTest, ShutdownReleasesInstancesThenBanksThenTheSystem) {
    sound().playEvent(std::string(kEventMenuMusic), false);
    sound().playEvent(std::string(kEventShot), true);
    EXPECT_EQ(Printed([] { sound().shutdown(); }), "");
    EXPECT_TRUE(sound().instances.empty() && sound().banks.empty());
    EXPECT_EQ(output.voices.size(), 0u);
    EXPECT_EQ(output.sounds.size(), 0u);
    EXPECT_EQ(Printed([] { sound().shutdown(); }), "") << "a second shutdown is harmless";
    EXPECT_EQ(Printed([] { sound().playEvent(std::string(kEventShot), true); }), "SOUND MANAGER ERROR: 1\n");
}

TEST(SoundManagerEngine, EngineStartLoadsTheFourBanksWithoutAnError) {
    testing::internal::CaptureStdout();
    {
        EngineHarness harness;
        harness.step(16);
        harness.step(16);
    }
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("SOUND MANAGER ERROR"), std::string::npos) << out;
    SoundManager& sound = SoundManager::instance();
    EXPECT_TRUE(sound.masterBank.isValid());
    for (std::string_view file : {kMasterStringsBankFile, kSfxBankFile, kBgmBankFile}) {
        EXPECT_EQ(sound.banks.count(std::string(file)), 1u) << file;
    }
}

// Online rollback: frames simulated again play their sounds once. Frame 10 has an explosion
// (its impact) on the first simulation, frame 11 a shot; then the actions of frame 10 turn out
// otherwise and frames 10 and 11 are simulated again.
TEST_F(SoundManagerTest, ARollbackThatRemovesAnExplosionCutsItsSoundAndKeepsTheRest) {
    EffectLedger ledger;
    sound().setEffectLedger(&ledger);
    ledger.beginFrame(10);
    sound().playEvent(std::string(kEventImpact), true);
    ledger.beginFrame(11);
    EXPECT_FALSE(ledger.simulatingAgain());
    sound().playEvent(std::string(kEventShot), true);
    ledger.settle();
    frame(0.05f);
    ASSERT_EQ(output.liveVoices(), 2u);
    // Simulated again: no explosion on frame 10 now, the same shot on frame 11.
    ledger.beginFrame(10);
    EXPECT_TRUE(ledger.simulatingAgain());
    ledger.beginFrame(11);
    EXPECT_TRUE(ledger.simulatingAgain());
    sound().playEvent(std::string(kEventShot), true);
    EXPECT_EQ(output.liveVoices(), 2u) << "the shot is not played twice";
    ledger.settle();
    frame(0.0f);
    EXPECT_EQ(output.liveVoices(), 1u) << "the explosion that never happened is cut";
    EXPECT_EQ(ledger.cutCount(), 1u);
    EXPECT_EQ(ledger.keptCount(), 1u);
    // A sound between frames (a menu's) belongs to none, and plays whatever happens after.
    sound().playEvent(std::string(kEventImpact), true);
    EXPECT_EQ(output.liveVoices(), 2u);
    sound().setEffectLedger(nullptr);
}

// An explosion that the corrected actions move: on the same frame (another place) it is the same
// sound and plays once; to a later frame, the old one is cut and the new one plays then. Two of
// the same sound on one frame are told apart by their order, so one more of them still plays.
TEST_F(SoundManagerTest, ARollbackThatMovesAnExplosionPlaysItOnceWhereItNowHappens) {
    EffectLedger ledger;
    sound().setEffectLedger(&ledger);
    for (uint32_t f = 20; f <= 23; ++f) {
        ledger.beginFrame(f);
        if (f == 21) {
            sound().playEvent(std::string(kEventImpact), true);
        }
    }
    ledger.settle();
    frame(0.02f);
    ASSERT_EQ(output.liveVoices(), 1u);
    // Back to 21: the explosion happens there again, elsewhere, and a second one with it.
    ledger.beginFrame(21);
    sound().playEvent(std::string(kEventImpact), true);
    sound().playEvent(std::string(kEventImpact), true);
    ledger.beginFrame(22);
    ledger.beginFrame(23);
    ledger.settle();
    frame(0.0f);
    EXPECT_EQ(output.liveVoices(), 2u) << "the first kept, the second new";
    // Back to 21 again: now both come a frame later.
    ledger.beginFrame(21);
    ledger.beginFrame(22);
    sound().playEvent(std::string(kEventImpact), true);
    sound().playEvent(std::string(kEventImpact), true);
    ledger.beginFrame(23);
    ledger.beginFrame(24); // a new frame: the frames simulated again have caught up
    frame(0.0f);
    EXPECT_EQ(output.liveVoices(), 2u) << "two cut on frame 21, two played on frame 22";
    EXPECT_EQ(ledger.cutCount(), 2u);
    EXPECT_EQ(ledger.keptCount(), 1u);
    sound().setEffectLedger(nullptr);
}
