// The world hash online machines compare: the same match played twice hashes the same, and a
// change to any one thing the match carries from frame to frame changes it, while what only
// shows or belongs to this machine does not.
#include "tests/match/match_scene.hpp"

#include "gameplay/arena_objects.hpp"
#include "gameplay/explosion.hpp"
#include "gameplay/object_factory.hpp"
#include "gameplay/special_bullets.hpp"
#include "gameplay/standard_bullets.hpp"
#include "match/match_run.hpp"
#include "match/world_hash.hpp"
#include "objects/random.hpp"
#include "physics/collider.hpp"
#include "physics/rigid_body.hpp"

#include <functional>
#include <vector>

using namespace match_test;

namespace {

class WorldHashScene : public MatchScene {
  protected:
    // A match of four computers from a fixed seed, the given frames into play.
    uint64_t playComputers(int frames) {
        MatchRun::instance().fixedSeed = 77;
        harness.engine().freshStepsOnSwitch = true;
        WriteQuickMatchSettings(QuickMatch{"Meadow", 4, 3, 180, 4, "hard"});
        startWithCurrentSettings();
        runToPlay();
        run(frames);
        return HashWorld();
    }
};

struct Change {
    const char* what;
    std::function<void()> make;
};

} // namespace

// The same match played twice hashes the same; then each carried value changes the hash and
// what only shows does not.
TEST_F(WorldHashScene, TheSameMatchHashesTheSameAndEachCarriedValueChangesIt) {
    const uint64_t first = playComputers(240);
    leaveMatch();
    EXPECT_EQ(playComputers(240), first);
    run(1);
    EXPECT_NE(HashWorld(), first) << "a frame later the world has moved on";

    PlayGameState& m = *match();
    Player& p = *player(1);
    // A shot of each kind with fields of its own, a crate, a pick-up and an explosion, over the arena.
    BasicBullet* basic = MakeBasicBullet({0, 30}, {1, 0}, 5, "None", 0);
    SniperBullet* sniper = MakeSniperBullet({2, 30}, {1, 0}, 5, "None", 0);
    BlackHoleBullet* hole = MakeBlackHoleBullet({4, 30}, {1, 0}, 5, "None");
    ExpulsionBullet* pulse = MakeExpulsionBullet({6, 30}, {1, 0}, 5, "None");
    RocketBullet* rocket = MakeRocketBullet({8, 30}, {1, 0}, 5, "None");
    ArtilleryBullet* shells = MakeArtilleryBullet({10, 30}, {1, 0}, 5, 20, "None", 0);
    Explosion* blast = MakeExplosion({12, 30}, {3, 3}, "None", 500, 0.1f);
    Crate* crate = MakeCrate({14, 30, 0}, {2, 2, 1}, PickUpKind::Artillery);
    MakePickUp({16, 30, 0}, PickUpKind::Expulsion);
    PickUp* pickUp = nullptr;
    for (Logic* logic : LogicRegistry()) {
        pickUp = dynamic_cast<PickUp*>(logic) != nullptr ? dynamic_cast<PickUp*>(logic) : pickUp;
    }
    ASSERT_NE(pickUp, nullptr);

    // Each is made after the last, so each is the one difference from the world before it.
    const std::vector<Change> carried = {
        {"a player's damage", [&] { p.knockbackMultiplier += 0.25f; }},
        {"a player's lives", [&] { p.lives -= 1; }},
        {"a player's stun", [&] { p.stunTimer = 0.5f; }},
        {"a jump cooldown", [&] { p.jumpCooldown = 0.3f; }},
        {"a fire cooldown", [&] { p.fireCooldown = 0.3f; }},
        {"a charge", [&] { p.charge += 10.0f; }},
        {"charging", [&] { p.charging = !p.charging; }},
        {"a shot this frame", [&] { p.firedThisFrame = !p.firedThisFrame; }},
        {"a held pick-up", [&] { p.pickUpKind = PickUpKind::Rocket; }},
        {"respawning", [&] { p.respawning = 1; }},
        {"a respawn timer", [&] { p.respawnTimeLeft = 1.5f; }},
        {"the respawn beam's place", [&] { p.respawner->transform.setPosition(3, 0, 0); }},
        {"a turret's angle", [&] { p.tank.barrelRoot->transform.setRotation(0, 0, 45); }},
        {"a player switched off", [&] { p.enabled = false; }},
        {"a bullet's lifetime", [&] { basic->lifetime += 1.0f; }},
        {"a bullet out of play", [&] { setActive(basic->owner, false); }},
        {"a sniper shot's speed", [&] { sniper->straightSpeed = 60.0f; }},
        {"a bullet stuck (no gravity)", [&] { sniper->rigidBody->gravityScale = 0.0f; }},
        {"a push waiting for the next step",
         [&] {
             sniper->rigidBody->AddForce({1, 0});
         }},
        {"a body switched off", [&] { crate->rigidBody->enabled = false; }},
        {"a collider switched off", [&] { sniper->collider()->enabled = false; }},
        {"a black hole landed", [&] { hole->landed = true; }},
        {"a black hole's timer", [&] { hole->timer = 9.0f; }},
        {"an expulsion's next pulse", [&] { pulse->pulseTimer = 0.5f; }},
        {"a rocket's warning", [&] { rocket->warningTime = 1.0f; }},
        {"a rocket fired", [&] { rocket->fired = true; }},
        {"the shells fired", [&] { shells->shellsFired = 3; }},
        {"the next shell", [&] { shells->shellTimer = 0.12f; }},
        {"an explosion's push given", [&] { blast->done = !blast->done; }},
        {"an explosion's time left", [&] { blast->timeLeft = 0.2f; }},
        {"a crate's kind", [&] { crate->pickUpKind = PickUpKind::BlackHole; }},
        {"a pick-up's kind", [&] { pickUp->pickUpKind = PickUpKind::Rocket; }},
        {"the time left", [&] { m.timeLeft -= 1.0f; }},
        {"the crate timer", [&] { m.crateTimer -= 1.0f; }},
        {"the crate interval", [&] { m.crateInterval = 15.0f; }},
        {"the first crates' kinds", [&] { m.pendingCrateKinds.pop_back(); }},
        {"the end check's timer", [&] { m.endCheckTimer += 0.05f; }},
        {"the frame count", [&] { ++m.matchFrames; }},
        {"the end banner", [&] { m.end.bannerTimer = 0.5f; }},
        {"the podium's time", [&] { m.end.podiumSeconds = 1.0f; }},
        {"the phase", [&] { m.phase = MatchPhase::GameSet; }},
        {"a hit not counted yet",
         [&] {
             p.hitsTaken.push_back({2, 10.0f});
         }},
        {"the results' tallies", [&] { m.stats.seats[1].damageDealt += 10.0f; }},
        {"one more draw of the generator", [] { gameRand(); }},
        {"the engine's unspent step time", [&] { harness.engine().accumulator += 0.001f; }},
        {"the time scale", [] { FrameTimer::instance().setTimeScale(0.5f); }},
    };
    uint64_t before = HashWorld();
    for (const Change& change : carried) {
        change.make();
        const uint64_t after = HashWorld();
        EXPECT_NE(after, before) << change.what;
        before = after;
    }

    const std::vector<Change> notCarried = {
        {"a camera shake", [&] { m.camera.StartShake(); }},
        {"the frame rate text shown", [&] { setActive(m.fpsText, !m.fpsText->active); }},
        {"a track's animation", [&] { p.tank.trackAnimTimer += 0.05f; }},
        {"the computer badge", [&] { p.computer = !p.computer; }},
        {"this machine's controls", [&] { p.SetControlScheme(kSchemeKeyboardRight); }},
        {"this machine's menu", [&] { m.localMenuPhase = MatchPhase::Paused; }},
    };
    for (const Change& change : notCarried) {
        change.make();
        EXPECT_EQ(HashWorld(), before) << change.what;
    }
}
