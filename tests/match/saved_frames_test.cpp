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
  protected:
    void TearDown() override { MatchRun::instance() = MatchRun{}; }

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
};

Player* tankOf(PlayGameState& m, int n) {
    return m.players[static_cast<size_t>(n - 1)];
}

vec2 above(const Player* p, float height) {
    return p->tank.rigidBody->position + vec2{0.0f, height};
}

} // namespace

TEST_F(SavedFramesScene, EveryStandardBulletInFlightGoesOffTheSameWayAgain) {
    startStill();
    PlayGameState& m = *match();
    // Each kind from above player 2, falling on it; player 1's shots are set off by its special.
    const vec2 at = above(tankOf(m, 2), 8.0f);
    MakeBasicBullet(at + vec2{-3, 0}, {0, -1}, 5, "Player 1", 1);
    MakeExplodingBullet(at + vec2{-2, 2}, {0, -1}, 5, "Player 1", 1);
    MakeSplittingBullet(at + vec2{-1, 0}, {0, -1}, 5, "Player 1", 1);
    MakeStickyBullet(at + vec2{0, 2}, {0, -1}, 5, "Player 1", 1);
    MakeRicochetBullet(at + vec2{1, 0}, {1, -1}, 10, "Player 1", 1);
    MakeSniperBullet(at + vec2{2, 2}, {1, 0}, 5, "Player 1", 1);
    tankOf(m, 1)->actionSource = new Script([start = Script::frameOfMatch()](uint32_t frame) {
        PlayerActions a;
        a.special = frame == start + 12;
        return a;
    });
    expectExactAfterGoingBack(90, 80);
    EXPECT_GE(count("Bullet"), 3u) << "the split";
    EXPECT_GE(count("Explosion"), 4u);
    delete tankOf(m, 1)->actionSource;
    tankOf(m, 1)->actionSource = &idle;
}

TEST_F(SavedFramesScene, ABlackHolePullingAndAnExpulsionPulsingDoSoAgainTheSame) {
    startStill();
    PlayGameState& m = *match();
    BlackHoleBullet* hole = MakeBlackHoleBullet(above(tankOf(m, 2), 3.0f), {1, 0}, 1, "Player 1");
    ExpulsionBullet* pulse = MakeExpulsionBullet(above(tankOf(m, 1), 4.0f), {-1, 0}, 1, "Player 2");
    run(30);
    ASSERT_TRUE(hole->landed && pulse->landed);
    expectExactAfterGoingBack(75, 70); // a pulse every 60 frames
    EXPECT_GT(tankOf(m, 2)->knockbackMultiplier, 1.0f) << "hurt inside the hole";
    EXPECT_GT(tankOf(m, 1)->knockbackMultiplier, 1.0f) << "pulsed";
}

TEST_F(SavedFramesScene, ARocketWarningThenBurningFliesAgainTheSame) {
    startStill();
    RocketBullet* rocket = MakeRocketBullet(above(tankOf(*match(), 2), 2.0f), {1, 0}, 10, "Player 1");
    run(80); // flight 0.4 s, warning 1.5 s
    ASSERT_TRUE(rocket->landed && !rocket->fired);
    expectExactAfterGoingBack(60, 50);
    EXPECT_TRUE(rocket->fired);
}

TEST_F(SavedFramesScene, ArtilleryRainingDrawsTheSameShellsAgain) {
    startStill();
    ArtilleryBullet* shells =
        MakeArtilleryBullet(above(tankOf(*match(), 2), 2.0f), {0, -1}, 5, match()->arenaTop, "Player 1", 1);
    run(150); // the flight and the two-second warning
    const uint32_t before = shells->shellsFired;
    expectExactAfterGoingBack(60, 60);
    EXPECT_GT(shells->shellsFired, before + 5) << "shells fell, their places drawn from the generator";
}

TEST_F(SavedFramesScene, ATankLosingALifeAndDroppingBackInDoesSoAgainTheSame) {
    startStill();
    Player* p = tankOf(*match(), 1);
    p->tank.rigidBody->SetPosition(-5.0f, -40.0f); // on the bottom border
    run(130);
    ASSERT_EQ(p->respawning, 1u);
    expectExactAfterGoingBack(60, 55); // the beam runs out 150 frames after the death
    EXPECT_EQ(p->respawning, 0u);
    EXPECT_EQ(p->lives, 2u);
}

TEST_F(SavedFramesScene, ACrateFallingAndOpeningAndItsPickUpFallingHappenAgainTheSame) {
    startStill();
    Player* p = tankOf(*match(), 1);
    match()->crateTimer = 0.01f; // the next crate falls now
    run(2);
    ASSERT_EQ(count("Crate"), 1u);
    Crate* crate = GameObjectList::instance().find("Crate")->getComponent<Crate>();
    crate->rigidBody->SetPosition(p->tank.rigidBody->position.x, p->tank.rigidBody->position.y + 4.5f);
    // From just above it: Meadow has a platform above the tank that a higher shot would hit.
    MakeBasicBullet(above(p, 6.2f), {0, -1}, 10, "Player 2", 2);
    expectExactAfterGoingBack(100, 95);
    EXPECT_FALSE(crate->owner->active) << "opened by the bullet";
    EXPECT_EQ(count("PickUpRoot"), 1u) << "made once again, not twice";
}

TEST_F(SavedFramesScene, TheEndBannerAndThePodiumComeAgainTheSame) {
    startStill();
    match()->timeLeft = 0.05f;
    expectExactAfterGoingBack(130, 125); // time runs out, slows to a halt, the hearts meet
    ASSERT_EQ(match()->phase, MatchPhase::GameSet);
    ASSERT_NE(match()->victoryBackground, nullptr);
    ASSERT_TRUE(runUntilPhase(MatchPhase::Podium, 200));
    expectExactAfterGoingBack(60, 60);
}

TEST_F(SavedFramesScene, ComputersMidDecisionDecideTheSameAgain) {
    MatchRun::instance().fixedSeed = 7;
    WriteQuickMatchSettings(QuickMatch{"Starfall", 4, 3, 180, 4, "hard"});
    startWithCurrentSettings();
    runToPlay();
    run(300);
    expectExactAfterGoingBack(45, 40);
}

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
