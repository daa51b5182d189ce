// The six turret bullets and the explosion they all end in, played out on the real engine. A bullet
// sees a contact in the frame after the physics step that found it, so checks leave a few frames.
#include "tests/gameplay/gameplay_scene.hpp"

#include "gameplay/explosion.hpp"
#include "gameplay/standard_bullets.hpp"

#include <algorithm>
#include <cmath>

using namespace gameplay_test;

namespace {

vec2 where(const Bullet* b) {
    return WorldPosition2(b->owner);
}

class StandardBullets : public Scene {
  protected:
    // Of the explosions with that push, the one nearest the spot must lie within the tolerance
    // and have that size (which sets its reach) and damage.
    static void expectBlast(float force, vec2 at, float tolerance, float size, float damage) {
        const Explosion* nearest = nullptr;
        float best = 1e9f;
        for (GameObject* o : active("Explosion")) {
            const Explosion* e = o->getComponent<Explosion>();
            float d = length(vec2{o->transform.position.x, o->transform.position.y} - at);
            if (e->force == force && d < best) {
                best = d;
                nearest = e;
            }
        }
        ASSERT_NE(nearest, nullptr) << "no blast of push " << force;
        EXPECT_LT(best, tolerance) << "push " << force;
        EXPECT_EQ(nearest->owner->transform.scale.x, size) << "push " << force;
        EXPECT_FLOAT_EQ(nearest->damage, damage) << "push " << force;
    }
    static size_t blasts() { return active("Explosion").size(); }
};

constexpr float kStep = 0.01666f; // a blast pushes for one physics step

} // namespace

TEST_F(StandardBullets, BasicAndExplodingBulletsGoOffOnTheirOwnTermsOrAfterThreeSeconds) {
    makePlatform({0, -0.5f}, {40, 1});
    BasicBullet* landing = MakeBasicBullet({0, 2}, {0, -1}, 10, "P1", 1);
    BasicBullet* a = MakeBasicBullet({-42, 30}, {1, 0}, 10, "P1", 1);
    BasicBullet* b = MakeBasicBullet({-38, 30}, {-1, 0}, 10, "P1", 1);
    MakeBasicBullet({38, 30}, {1, 0}, 10, "P1", 1);
    MakeBasicBullet({42, 30}, {-1, 0}, 10, "P2", 2);
    ExplodingBullet* big = MakeExplodingBullet({-3, 10}, {1, 0}, 10, "P1", 1);
    BasicBullet* small = MakeBasicBullet({0, 10}, {0, 0}, 0, "P2", 2); // falls alongside, in its way
    BasicBullet* drifting = MakeBasicBullet({100, 40}, {1, 0}, 2, "P1", 1);
    ExplodingBullet* bigDrifting = MakeExplodingBullet({150, 40}, {1, 0}, 2, "P1", 1);
    ExplodingBullet* triggered = MakeExplodingBullet({-100, 40}, {1, 0}, 2, "P1", 1);
    drifting->Trigger(); // a basic bullet has no trigger
    run(30);
    EXPECT_FALSE(landing->owner->active);
    expectBlast(500, {0, 0.3f}, 0.4f, 3, 0.1f); // on the platform's top
    EXPECT_GT(a->rigidBody->position.x, b->rigidBody->position.x) << "one player's bullets fly through";
    EXPECT_FALSE(small->owner->active) << "the small one goes off on anything";
    EXPECT_TRUE(big->owner->active) << "another bullet is no reason to go off";
    EXPECT_EQ(blasts(), 4u) << "with the two where two players' bullets met";
    triggered->Trigger();
    expectBlast(1000, where(triggered), 1e-3f, 6, 0.2f);

    runSeconds(1.2f); // it lands after about 1.4 s, well within its 3 s
    EXPECT_FALSE(big->owner->active);
    expectBlast(1000, {11, 0.5f}, 0.6f, 6, 0.2f);
    runSeconds(1.1f); // about 2.8 s in flight, with nothing to touch up there
    EXPECT_TRUE(drifting->owner->active && bigDrifting->owner->active);
    runSeconds(0.4f);
    EXPECT_FALSE(drifting->owner->active || bigDrifting->owner->active);
    expectBlast(500, where(drifting), 1e-3f, 3, 0.1f);
}

TEST_F(StandardBullets, SplittingBulletSplitsIntoThreeBasicBulletsTenDegreesApart) {
    SplittingBullet* moving = MakeSplittingBullet({0, 30}, {1, 0}, 20, "P1", 1);
    SplittingBullet* resting = MakeSplittingBullet({50, 30}, {0, 0}, 0, "P1", 1);
    run(3);
    vec2 v = moving->rigidBody->velocity;
    moving->Trigger();
    resting->rigidBody->velocity = {0, 0}; // caught before it starts to fall
    resting->Trigger();
    EXPECT_FALSE(moving->owner->active || resting->owner->active);
    EXPECT_EQ(blasts(), 0u) << "the split itself goes off silently";

    std::vector<float> fan;
    for (GameObject* b : active("Bullet")) {
        vec2 bv = bodyOf(b)->velocity;
        if (b->transform.position.x > 25.0f) {
            EXPECT_TRUE(bv.x == 0.0f && bv.y == 0.0f) << "no way to fan out from rest";
        } else {
            EXPECT_NEAR(length(bv), length(v), 1e-3f) << "same speed";
            fan.push_back(std::atan2(cross(v, bv), dot(v, bv)) * 57.29578f);
        }
    }
    ASSERT_EQ(fan.size(), 3u);
    std::sort(fan.begin(), fan.end());
    EXPECT_NEAR(fan[0], -10.0f, 0.01f);
    EXPECT_NEAR(fan[1], 0.0f, 0.01f);
    EXPECT_NEAR(fan[2], 10.0f, 0.01f);
    run(5); // one player's bullets never touch: the three at rest overlap and stay
    EXPECT_EQ(active("Bullet").size(), 6u);

    // Anything sets it off: here another player's bullet falling alongside, in its way.
    MakeSplittingBullet({-50, 30}, {1, 0}, 10, "P1", 1);
    MakeBasicBullet({-47, 30}, {0, 0}, 0, "P2", 2);
    run(20);
    EXPECT_TRUE(active("SplittingBullet").empty());
    expectBlast(900, {-47.5f, 29.7f}, 1.0f, 3.5f, 0.15f);
}

TEST_F(StandardBullets, StickyBulletWaitsOnAPlatformUntilATankTouchesItItsOwnerTriggersItOrTimeRunsOut) {
    makePlatform({0, -0.5f}, {40, 1});
    StickyBullet* timed = MakeStickyBullet({-8, 2}, {0, -1}, 5, "P1", 1);
    StickyBullet* mine = MakeStickyBullet({8, 2}, {0, -1}, 5, "P1", 1);
    StickyBullet* triggered = MakeStickyBullet({0, 2}, {0, -1}, 5, "P1", 1);
    StickyBullet* hitter = MakeStickyBullet({30, 20}, {1, 0}, 10, "P1", 1);
    MakeBasicBullet({33, 20}, {0, 0}, 0, "P2", 2); // falls alongside, in its way
    hitter->Trigger();                             // in flight a trigger does nothing
    run(30);
    EXPECT_FALSE(hitter->owner->active) << "in flight, anything but a platform sets it off";
    expectBlast(1000, {32.3f, 19.7f}, 1.0f, 4, 0.2f);
    triggered->Trigger(); // a landmine set off by its owner
    expectBlast(1500, where(triggered), 1e-3f, 5, 0.4f);
    vec2 restsAt = timed->rigidBody->position;

    makeTank(2, {8, 3, 0}); // dropped onto the landmine
    run(45);
    EXPECT_FALSE(mine->owner->active);
    expectBlast(1500, {8, 0.4f}, 0.2f, 6, 0.4f);

    runSeconds(6.0f); // about 7.2 s since it was fired
    EXPECT_TRUE(timed->owner->active);
    EXPECT_LT(length(timed->rigidBody->position - restsAt), 1e-3f) << "stuck where it landed";
    runSeconds(0.6f);
    EXPECT_FALSE(timed->owner->active);
    expectBlast(1000, restsAt, 0.01f, 4, 0.2f);
}

TEST_F(StandardBullets, RicochetBulletBouncesOffPlatformsAndRicochetsAndExpiresAfterThreeSeconds) {
    makePlatform({0, -0.5f}, {40, 1});
    // Landing far from the platform's middle it still bounces off the face it hits.
    RicochetBullet* skimming = MakeRicochetBullet({12, 3}, {1, -1}, 10, "P1", 1);
    RicochetBullet* a = MakeRicochetBullet({-52, 20}, {1, 0}, 5, "P1", 1);
    RicochetBullet* b = MakeRicochetBullet({-48, 20}, {-1, 0}, 5, "P2", 2);
    b->Trigger(); // it has none
    run(30);
    // Off the floor the fall turns into a climb; the run and the speed are kept.
    EXPECT_NEAR(skimming->rigidBody->velocity.x, 7.071f, 0.05f);
    EXPECT_NEAR(skimming->rigidBody->velocity.y, 7.071f, 0.05f);
    // Off each other, head on; no gravity bends their line.
    EXPECT_NEAR(b->rigidBody->velocity.x, 5.0f, 0.05f);
    EXPECT_NEAR(a->rigidBody->position.y, 20.0f, 1e-3f);
    EXPECT_EQ(blasts(), 0u);

    runSeconds(2.3f);
    EXPECT_EQ(active("RicochetBullet").size(), 3u);
    runSeconds(0.4f);
    EXPECT_TRUE(active("RicochetBullet").empty());
    expectBlast(500, where(b), 1e-3f, 2, 0.15f);
}

TEST_F(StandardBullets, TriggeredSniperBulletFliesStraightAtFiftyPassingBulletsOrHangsStillFromRest) {
    tankOnGround(2, 3.0f);
    SniperBullet* sniper = MakeSniperBullet({0, 20}, {1, 1}, 10, "P1", 1);
    SniperBullet* resting = MakeSniperBullet({0, 3}, {0, 0}, 0, "P1", 1); // beside the tank
    run(1);
    resting->rigidBody->velocity = {0, 0}; // released at no charge: there is no direction to keep
    resting->Trigger();
    vec2 hangs = resting->rigidBody->position;
    run(9);
    vec2 before = sniper->rigidBody->velocity;
    sniper->Trigger();
    vec2 v = sniper->rigidBody->velocity;
    EXPECT_NEAR(length(v), 50.0f, 1e-3f);
    EXPECT_NEAR(dot(before, v), length(before) * 50.0f, 0.05f) << "the same direction";
    run(5);
    EXPECT_LT(length(sniper->rigidBody->velocity - v), 1e-3f) << "no gravity any more";

    BasicBullet* inTheWay = MakeBasicBullet(sniper->rigidBody->position + v * 0.2f, {0, 0}, 0, "P2", 2);
    // The same meeting before a trigger: a lobbed sniper bullet and a bullet falling alongside.
    SniperBullet* lobbed = MakeSniperBullet({0, 60}, {1, 0}, 10, "P1", 1);
    MakeBasicBullet({3, 60}, {0, 0}, 0, "P2", 2);
    run(20);
    EXPECT_FALSE(inTheWay->owner->active) << "they did meet";
    EXPECT_TRUE(sniper->owner->active) << "a straight shot passes bullets";
    EXPECT_FALSE(lobbed->owner->active);
    expectBlast(1000, where(lobbed), 1e-3f, 3, 0.5f);

    run(200); // touching nothing, the one at rest never ends by time
    EXPECT_TRUE(resting->owner->active);
    EXPECT_LT(length(resting->rigidBody->position - hangs), 1e-4f);
    for (RigidBody2D* body : PhysicsBodies()) { // the platform and the tank beside it too
        vec2 p = body->position;
        vec2 bv = body->velocity;
        EXPECT_TRUE(std::isfinite(p.x + p.y + bv.x + bv.y)) << body->owner->name;
    }
}

TEST_F(StandardBullets, ExplosionReachIsStrictAndMeasuredToTheTankRoot) {
    // Tanks in the air, so only a blast moves them sideways.
    Player* atEdge = makeTank(1, {6, 10, 0});
    Player* justInside = makeTank(2, {-6, 10, 0});
    Player* bigReach = makeTank(3, {30, 10, 0});
    MakeExplosion({4, 10}, {3, 3}, "", 500, 0.1f); // reach 2: the root is exactly 2 away
    MakeExplosion({-4.01f, 10}, {3, 3}, "", 500, 0.1f);
    MakeExplosion({26.6f, 10}, {6, 6}, "", 1000, 0.1f); // reach 3.5
    run(1);
    EXPECT_EQ(atEdge->knockbackMultiplier, 1.0f) << "its wheel was in the blast, its root was not";
    EXPECT_NEAR(justInside->knockbackMultiplier, 1.1f, 1e-5f);
    EXPECT_NEAR(justInside->tank.rigidBody->velocity.x, -500 * kStep, 0.3f) << "thrown away from it";
    EXPECT_NEAR(bigReach->tank.rigidBody->velocity.x, 1000 * kStep, 0.5f) << "in the bigger reach";
}

TEST_F(StandardBullets, ExplosionThrowsTheShootersOwnTankOnceAndIsGoneAfterHalfASecond) {
    Player* shooter = tankOnGround(1, 0.0f);
    SetTankGroup(shooter->tank, "Player1");
    // Dropped through the tank's own wheel (same mask, no contact) onto the ground beside it.
    BasicBullet* b = MakeBasicBullet({1.2f, 1.5f}, {0, -1}, 5, "Player1", PlayerBit(1));
    for (int i = 0; i < 120 && b->owner->active; ++i) {
        run(1);
    }
    expectBlast(500, {1.2f, 0.3f}, 0.4f, 3, 0.1f); // on the ground, not on the tank
    EXPECT_EQ(active("Explosion")[0]->group, "Player1");
    EXPECT_NEAR(shooter->knockbackMultiplier, 1.1f, 1e-5f);
    EXPECT_LT(shooter->tank.rigidBody->velocity.x, -4.0f) << "thrown away from its own shot";

    // A blast without push on the settled tank, which so stays in reach: it is still hit once.
    runSeconds(1.0f);
    Explosion* still = MakeExplosion(WorldPosition2(shooter->owner), {3, 3}, "", 0, 0.1f);
    runSeconds(0.4f);
    EXPECT_TRUE(still->owner->active);
    EXPECT_NEAR(shooter->knockbackMultiplier, 1.2f, 1e-5f);
    runSeconds(0.2f);
    EXPECT_FALSE(still->owner->active);
}
