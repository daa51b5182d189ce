// Saving and loading the match: for every kind of object and every phase, frames simulated again
// after going back come out bit for bit as the first time (the world hash and every saved field),
// and going back undoes what was made since, brings back what was switched off and leaves the
// match's pointers valid.
#include "tests/match/match_scene.hpp"

#include "gameplay/arena_objects.hpp"
#include "gameplay/explosion.hpp"
#include "gameplay/special_bullets.hpp"
#include "gameplay/standard_bullets.hpp"
#include "match/match_run.hpp"
#include "match/saved_frames.hpp"
#include "match/world_hash.hpp"
#include "physics/collision_world.hpp"
#include "physics/rigid_body.hpp"

#include <functional>
#include <memory>

using namespace match_test;

namespace {

// Plays a seat by the match's own frame count, which a rollback puts back, so the frames
// simulated again get the same actions.
class Script : public ActionSource {
  public:
    explicit Script(std::function<PlayerActions(uint32_t)> byFrame) : actions(std::move(byFrame)) {}
    PlayerActions actionsFor(const Player&) override { return actions(frameOfMatch()); }
    static uint32_t frameOfMatch() {
        auto* m = dynamic_cast<PlayGameState*>(Engine::instance().states->state);
        return m != nullptr ? m->matchFrames : 0;
    }

  private:
    std::function<PlayerActions(uint32_t)> actions;
};

size_t count(const std::string& name) {
    size_t n = 0;
    for (GameObject* o : GameObjectList::instance().objects()) {
        n += o->name == name ? 1 : 0;
    }
    return n;
}

class SavedFramesScene : public MatchScene {
  public:
    void TearDown() override {
        // The seats' scripts go with the fixture: nothing may ask them after it.
        if (match() != nullptr) {
            for (Player* p : match()->players) {
                if (p != nullptr) {
                    p->actionSource = nullptr;
                }
            }
        }
        MatchScene::TearDown();
    }
    using MatchScene::match;
    using MatchScene::run;
    using MatchScene::runToPlay;
    using MatchScene::runUntilPhase;
    using MatchScene::startWithCurrentSettings;

    // Two players on Meadow who do nothing unless a script says so.
    void startStill() {
        MatchRun::instance().fixedSeed = 99;
        startMatch(2, 3, 180, "Meadow");
        runToPlay();
        for (int n = 1; n <= 2; ++n) {
            player(n)->actionSource = &idle;
        }
    }

    // Saves this frame and the next `ahead`, noting each one's hash; goes back `back` frames and
    // simulates them again: each must hash and compare exactly as the first time.
    void expectExactAfterGoingBack(int ahead, int back) {
        SavedFrames saved(static_cast<size_t>(ahead) + 2);
        saved.keepLinkIds(true);
        std::vector<uint64_t> hashes;
        for (int frame = 0; frame <= ahead; ++frame) {
            if (frame > 0) {
                run(1);
            }
            saved.saveFrame(static_cast<uint32_t>(frame));
            hashes.push_back(HashWorld());
        }
        const int from = ahead - back;
        ASSERT_TRUE(saved.loadFrame(static_cast<uint32_t>(from)));
        EXPECT_EQ(HashWorld(), hashes[static_cast<size_t>(from)]) << "loaded frame " << from;
        for (int frame = from + 1; frame <= ahead; ++frame) {
            run(1);
            auto difference = saved.compareFrame(static_cast<uint32_t>(frame));
            EXPECT_FALSE(difference.has_value()) << difference->describe();
            ASSERT_EQ(HashWorld(), hashes[static_cast<size_t>(frame)]) << "frame " << frame;
        }
    }

    Script idle{[](uint32_t) { return PlayerActions{}; }};
    std::unique_ptr<Script> script; // a seat's own actions, for the scenes that need some
    uint32_t noted = 0;             // a count a scene notes before going back
};

Player* tankOf(PlayGameState& m, int n) {
    return m.players[static_cast<size_t>(n - 1)];
}

vec2 above(const Player* p, float height) {
    return p->tank.rigidBody->position + vec2{0.0f, height};
}

// One phase of the match to go back into: how the scene gets there, how many frames are saved
// from there and how many of them the match goes back, and what those frames must have shown.
struct Phase {
    const char* name;
    void (*arrange)(SavedFramesScene&);
    int ahead;
    int back;
    void (*check)(SavedFramesScene&);
};

void standardBullets(SavedFramesScene& scene) {
    scene.startStill();
    PlayGameState& m = *scene.match();
    // Each kind from above player 2, falling on it; player 1's shots are set off by its special.
    const vec2 at = above(tankOf(m, 2), 8.0f);
    MakeBasicBullet(at + vec2{-3, 0}, {0, -1}, 5, "Player 1", 1);
    MakeExplodingBullet(at + vec2{-2, 2}, {0, -1}, 5, "Player 1", 1);
    MakeSplittingBullet(at + vec2{-1, 0}, {0, -1}, 5, "Player 1", 1);
    MakeStickyBullet(at + vec2{0, 2}, {0, -1}, 5, "Player 1", 1);
    MakeRicochetBullet(at + vec2{1, 0}, {1, -1}, 10, "Player 1", 1);
    MakeSniperBullet(at + vec2{2, 2}, {1, 0}, 5, "Player 1", 1);
    scene.script = std::make_unique<Script>([start = Script::frameOfMatch()](uint32_t frame) {
        PlayerActions a;
        a.special = frame == start + 12;
        return a;
    });
    tankOf(m, 1)->actionSource = scene.script.get();
}

void blackHoleAndPulses(SavedFramesScene& scene) {
    scene.startStill();
    PlayGameState& m = *scene.match();
    BlackHoleBullet* hole = MakeBlackHoleBullet(above(tankOf(m, 2), 3.0f), {1, 0}, 1, "Player 1");
    ExpulsionBullet* pulse = MakeExpulsionBullet(above(tankOf(m, 1), 4.0f), {-1, 0}, 1, "Player 2");
    scene.run(30);
    ASSERT_TRUE(hole->landed && pulse->landed);
}

void rocketWarning(SavedFramesScene& scene) {
    scene.startStill();
    RocketBullet* rocket = MakeRocketBullet(above(tankOf(*scene.match(), 2), 2.0f), {1, 0}, 10, "Player 1");
    scene.run(80); // flight 0.4 s, warning 1.5 s
    ASSERT_TRUE(rocket->landed && !rocket->fired);
}

void artilleryRaining(SavedFramesScene& scene) {
    scene.startStill();
    ArtilleryBullet* shells = MakeArtilleryBullet(above(tankOf(*scene.match(), 2), 2.0f), {0, -1}, 5,
                                                  scene.match()->arenaTop, "Player 1", 1);
    scene.run(150); // the flight and the two-second warning
    scene.noted = shells->shellsFired;
}

void tankKnockedOut(SavedFramesScene& scene) {
    scene.startStill();
    Player* p = tankOf(*scene.match(), 1);
    p->tank.rigidBody->SetPosition(-5.0f, -40.0f); // on the bottom border
    scene.run(130);
    ASSERT_EQ(p->respawning, 1u) << "on the beam";
}

void crateAbove(SavedFramesScene& scene) {
    scene.startStill();
    Player* p = tankOf(*scene.match(), 1);
    scene.match()->crateTimer = 0.01f; // the next crate falls now
    scene.run(2);
    ASSERT_EQ(count("Crate"), 1u);
    Crate* crate = GameObjectList::instance().find("Crate")->getComponent<Crate>();
    crate->rigidBody->SetPosition(p->tank.rigidBody->position.x, p->tank.rigidBody->position.y + 4.5f);
    // From just above it: Meadow has a platform above the tank that a higher shot would hit.
    MakeBasicBullet(above(p, 6.2f), {0, -1}, 10, "Player 2", 2);
}

void timeRunningOut(SavedFramesScene& scene) {
    scene.startStill();
    scene.match()->timeLeft = 0.05f;
}

void atThePodium(SavedFramesScene& scene) {
    timeRunningOut(scene);
    ASSERT_TRUE(scene.runUntilPhase(MatchPhase::Podium, 400));
}

void computersPlaying(SavedFramesScene& scene) {
    MatchRun::instance().fixedSeed = 7;
    WriteQuickMatchSettings(QuickMatch{"Starfall", 4, 3, 180, 4, "hard"});
    scene.startWithCurrentSettings();
    scene.runToPlay();
    scene.run(300);
}

const Phase kPhases[] = {
    {"EveryStandardBulletInFlight", standardBullets, 90, 80,
     [](SavedFramesScene&) {
         EXPECT_GE(count("Bullet"), 3u) << "the split";
         EXPECT_GE(count("Explosion"), 4u);
     }},
    {"ABlackHolePullingAndAnExpulsionPulsing", blackHoleAndPulses, 75, 70, // a pulse every 60 frames
     [](SavedFramesScene& scene) {
         EXPECT_GT(tankOf(*scene.match(), 2)->knockbackMultiplier, 1.0f) << "hurt inside the hole";
         EXPECT_GT(tankOf(*scene.match(), 1)->knockbackMultiplier, 1.0f) << "pulsed";
     }},
    {"ARocketWarningThenBurning", rocketWarning, 60, 50,
     [](SavedFramesScene&) {
         auto* rocket = GameObjectList::instance().find("RocketBullet")->getComponent<RocketBullet>();
         EXPECT_TRUE(rocket->fired);
     }},
    {"ArtilleryShellsDrawnFromTheGenerator", artilleryRaining, 60, 60,
     [](SavedFramesScene& scene) {
         auto* shells = GameObjectList::instance().find("ArtilleryBullet")->getComponent<ArtilleryBullet>();
         EXPECT_GT(shells->shellsFired, scene.noted + 5)
             << "shells fell, their places drawn from the generator";
     }},
    {"ATankDroppingBackIn", tankKnockedOut, 60, 55, // the beam runs out 150 frames after the death
     [](SavedFramesScene& scene) {
         EXPECT_EQ(tankOf(*scene.match(), 1)->respawning, 0u);
         EXPECT_EQ(tankOf(*scene.match(), 1)->lives, 2u);
     }},
    {"ACrateFallingOpeningAndItsPickUpFalling", crateAbove, 100, 95,
     [](SavedFramesScene&) {
         EXPECT_FALSE(GameObjectList::instance().find("Crate")->active) << "opened by the bullet";
         EXPECT_EQ(count("PickUpRoot"), 1u) << "made once again, not twice";
     }},
    {"TheEndBannerHeartsMeeting", timeRunningOut, 130, 125, // time runs out, slows to a halt
     [](SavedFramesScene& scene) {
         EXPECT_EQ(scene.match()->phase, MatchPhase::GameSet);
         EXPECT_NE(scene.match()->victoryBackground, nullptr) << "built again, once";
         EXPECT_EQ(count("VictoryBackground"), 1u);
     }},
    {"ThePodiumAndItsResults", atThePodium, 150, 150, // the columns grow, then the results show
     [](SavedFramesScene& scene) {
         EXPECT_EQ(scene.match()->phase, MatchPhase::Podium);
         EXPECT_NE(scene.match()->end.resultsStrip, nullptr);
         EXPECT_EQ(count("ResultsStrip"), 1u) << "made again, once";
     }},
    {"ComputersMidDecision", computersPlaying, 45, 40, [](SavedFramesScene&) {}},
};

class PhaseScene : public SavedFramesScene, public testing::WithParamInterface<Phase> {};

} // namespace

// Saves a run of frames from the phase on, goes back into it and simulates the frames again:
// every one hashes and compares as the first time, and the phase plays out as it did.
TEST_P(PhaseScene, FramesSimulatedAgainComeOutTheSame) {
    const Phase& phase = GetParam();
    phase.arrange(*this);
    ASSERT_FALSE(HasFatalFailure());
    expectExactAfterGoingBack(phase.ahead, phase.back);
    phase.check(*this);
}

INSTANTIATE_TEST_SUITE_P(SavedFrames, PhaseScene, testing::ValuesIn(kPhases),
                         [](const testing::TestParamInfo<Phase>& phase) {
                             return std::string(phase.param.name);
                         });

TEST_F(SavedFramesScene, GoingBackUndoesWhatWasMadeSinceAndBringsBackWhatWasSwitchedOff) {
    startStill();
    PlayGameState& m = *match();
    Player* p = tankOf(m, 2);
    const auto& list = GameObjectList::instance().objects();
    const size_t objects = list.size();
    const size_t logics = LogicRegistry().size();
    const size_t bodies = PhysicsBodies().size();
    const size_t colliders = CollisionWorld::instance().colliders.size();
    const uint32_t nextId = NextObjectId();
    const uint64_t hash = HashWorld();
    SavedFrames saved;
    saved.saveFrame(1);

    // Shots, a crate and an explosion made; a tank knocked out of play; the end banner built.
    BasicBullet* shot = MakeBasicBullet(above(p, 10.0f), {0, -1}, 3, "Player 1", 1);
    const uint32_t shotId = shot->owner->id;
    MakeCrate({0, 20, 0}, {2, 2, 1}, PickUpKind::Rocket);
    MakeExplosion(above(p, 1.0f), {3, 3}, "Player 1", 500, 0.1f);
    SetTankEnabled(p->tank, false);
    m.timeLeft = 0.01f;
    ASSERT_TRUE(runUntilPhase(MatchPhase::GameSet, 5));
    run(130); // time slows to a halt in a second, then the hearts meet and the screen is built
    ASSERT_NE(m.end.heartLeft, nullptr);
    ASSERT_NE(m.victoryBackground, nullptr);

    ASSERT_TRUE(saved.loadFrame(1));
    EXPECT_EQ(list.size(), objects);
    EXPECT_EQ(LogicRegistry().size(), logics);
    EXPECT_EQ(PhysicsBodies().size(), bodies);
    EXPECT_EQ(CollisionWorld::instance().colliders.size(), colliders);
    EXPECT_EQ(m.phase, MatchPhase::Playing);
    EXPECT_EQ(m.end.heartLeft, nullptr) << "the banner's hearts are gone, and so is the match's pointer";
    EXPECT_EQ(m.victoryBackground, nullptr);
    EXPECT_TRUE(p->tank.rigidBody->enabled && p->tank.body->active) << "the tank is back in play";
    EXPECT_EQ(HashWorld(), hash);
    // What is made again takes the ids it had; a later frame cannot be loaded any more.
    EXPECT_EQ(NextObjectId(), nextId);
    EXPECT_EQ(MakeBasicBullet(above(p, 10.0f), {0, -1}, 3, "Player 1", 1)->owner->id, shotId);
    run(1);
    saved.saveFrame(2);
    ASSERT_TRUE(saved.loadFrame(1));
    EXPECT_FALSE(saved.holds(2));
    EXPECT_FALSE(saved.loadFrame(2));

    // Another match: the frames of this one cannot be loaded there.
    leaveMatch();
    startMatch();
    EXPECT_FALSE(saved.loadFrame(1));
}

// A long match leaves hundreds of spent bullets: they are copied until their bodies settle, then
// no more, and going back to before they were spent takes them back into the copies.
TEST_F(SavedFramesScene, SpentBulletsAreNoLongerCopiedUntilAFrameBeforeTheyWereSpentIsLoaded) {
    startStill();
    std::vector<BasicBullet*> shots;
    for (int i = 0; i < 200; ++i) {
        shots.push_back(
            MakeBasicBullet({static_cast<float>(i % 20) - 10.0f, 20.0f + static_cast<float>(i / 20)}, {0, 1},
                            1, "Player 1", 1));
    }
    SavedFrames saved;
    saved.saveFrame(1);
    const SavedFrames::Figures flying = saved.figures();
    for (BasicBullet* shot : shots) {
        setActive(shot->owner, false);
    }
    run(2);
    saved.saveFrame(2);
    EXPECT_EQ(saved.figures().finished, flying.finished + 200);
    EXPECT_EQ(saved.figures().objects, flying.objects - 200);
    EXPECT_LT(saved.figures().bytes, flying.bytes / 2);

    ASSERT_TRUE(saved.loadFrame(1));
    EXPECT_TRUE(shots.front()->owner->active && shots.back()->owner->active);
    saved.saveFrame(2);
    EXPECT_EQ(saved.figures().objects, flying.objects) << "in play again, copied again";
    EXPECT_EQ(saved.figures().finished, flying.finished);
}
