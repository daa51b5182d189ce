// The sync test over whole matches of four computers on every map: every few frames the match
// goes back and simulates the frames since again, and every one of them must come out bit for
// bit as the first time. And when something is left out of the saved frames, it says where.
#include "tests/match/match_scene.hpp"

#include "match/match_run.hpp"
#include "match/sync_test.hpp"
#include "match/world_hash.hpp"
#include "objects/json_data.hpp"
#include "objects/state_archive.hpp"

using namespace match_test;

namespace {

class SyncTestScene : public MatchScene {
  protected:
    void TearDown() override {
        harness.engine().pacer = nullptr;
        MatchScene::TearDown();
    }

    // Four computers of every level from a fixed seed, to the podium, under the test (or none).
    uint64_t playToThePodium(const std::string& map, int seconds, SyncTest* test,
                             FramePacer* plain = nullptr) {
        MatchRun::instance().fixedSeed = 4321;
        MatchRun::instance().syncTest = test != nullptr;
        harness.engine().pacer = test != nullptr ? static_cast<FramePacer*>(test) : plain;
        WriteQuickMatchSettings(QuickMatch{map, 4, 2, seconds, 4, "hard"});
        MatchSettings::instance().set("PlayerBot2", "easy");
        MatchSettings::instance().set("PlayerBot3", "normal");
        // The engine carries its unspent step time from one match into the next: the same at
        // every start, so two matches in one process can be compared.
        harness.engine().accumulator = 0.0f;
        startWithCurrentSettings();
        EXPECT_TRUE(runUntilPhase(MatchPhase::Podium, 60 * (seconds + 30))) << map;
        const uint64_t hash = HashWorld();
        harness.engine().pacer = nullptr;
        return hash;
    }
};

// One frame a rendered frame, nothing checked: the same match as the test plays, without it.
class PlainFrames : public FramePacer {
  public:
    void beginFrame() override { ready = true; }
    bool frameReady() override { return std::exchange(ready, false); }
    void frameDone() override {}
    void endFrame() override {}
    float frameSeconds() const override { return 1.0f / 60.0f; }

  private:
    bool ready = false;
};

class EveryMap : public SyncTestScene, public testing::WithParamInterface<std::string> {};

} // namespace

// Ten seconds: the spawns, the computers' first moves, shots and falls on each map's own ground,
// and the end banner; the longer match below has the crates and what they give.
TEST_P(EveryMap, EveryFrameSimulatedAgainComesOutTheSame) {
    SyncTest test(7);
    playToThePodium(GetParam(), 10, &test);
    EXPECT_FALSE(test.failed()) << test.summary();
    EXPECT_GT(test.framesChecked(), 700u) << test.summary();
    EXPECT_EQ(test.framesChecked(), test.rollbacks() * 7) << "each rollback goes 7 frames back";
}

INSTANTIATE_TEST_SUITE_P(SyncTest, EveryMap, testing::ValuesIn(readMapList(loadJson("MapSetting"))),
                         [](const testing::TestParamInfo<std::string>& param) { return param.param; });

// A longer match: crates fall from 30 s on and their shots land (black holes, pulses, rockets,
// shells), tanks lose lives and drop back in until the last one standing, about 50 s; a rollback
// every 8 frames. And the match ends exactly as it does without the test: going back and
// simulating again (the computers asked again included) changes nothing.
TEST_F(SyncTestScene, AWholeMatchUnderTheTestEndsAsItDoesWithout) {
    SyncTest test(8);
    const uint64_t checked = playToThePodium("Meadow", 120, &test);
    EXPECT_FALSE(test.failed()) << test.summary();
    EXPECT_GT(test.frames(), 40u * 60u) << "past the first crates";
    EXPECT_GE(test.rollbacks(), test.frames() / 8 - 1);
    leaveMatch();
    PlainFrames plain;
    EXPECT_EQ(playToThePodium("Meadow", 120, nullptr, &plain), checked);
}

namespace {

// A behaviour that saves one field and forgets another: the one it saves follows the one it
// forgets, so a frame simulated again after a rollback drifts from the first time.
class Forgetful : public Logic {
  public:
    explicit Forgetful(GameObject* object) : Logic("Forgetful", object) {}
    void Update() override {
        total += forgotten;
        forgotten += 1.0f;
    }
    void carryState(StateArchive& archive) override { CARRY_STATE(archive, kept, total); }
    float kept = 2.0f;
    float total = 0.0f;
    float forgotten = 0.0f;
};

} // namespace

TEST_F(SyncTestScene, AForgottenFieldIsNamedWithItsObjectAndTheFrame) {
    WriteQuickMatchSettings(QuickMatch{"Canyon", 2, 3, 60, 2, "normal"});
    startWithCurrentSettings();
    runToPlay();
    GameObject* object = GameObjectList::instance().create("Absent-minded");
    object->attach(new Forgetful(object));
    SyncTest test(4);
    harness.engine().pacer = &test;
    run(12);
    ASSERT_TRUE(test.failed());
    // Frame 4 is saved, the test goes back to it at frame 8 and simulates frame 5 again.
    EXPECT_EQ(test.failure(), "frame 5: Absent-minded (object " + std::to_string(object->id) +
                                  "), Forgetful: total 10 saved, 14 now (simulated again after going back "
                                  "to frame 4)");
    EXPECT_EQ(test.rollbacks(), 1u) << "it stops checking at the first difference";
    EXPECT_NE(test.summary().find("first difference at frame 5"), std::string::npos) << test.summary();
}

TEST_F(SyncTestScene, WhatTheHashCoversAndTheSavedFramesDoNotIsSaidToo) {
    WriteQuickMatchSettings(QuickMatch{"Canyon", 2, 3, 60, 2, "normal"});
    startWithCurrentSettings();
    runToPlay();
    SyncTest test(3);
    harness.engine().pacer = &test;
    run(3);
    // Behind the saved frames' back: the match's seed is hashed but never changes in play.
    ++match()->matchSeed;
    run(3);
    EXPECT_EQ(test.failure(), "frame 3: loaded, its world hash is not the one it was saved with (the hash "
                              "covers something the saved frames leave out)");
}
