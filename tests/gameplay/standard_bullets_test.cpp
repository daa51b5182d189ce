// The six turret bullets and the explosion they all end in, played out on the real engine. A bullet
// sees a contact in the frame after the physics step that found it, so checks leave a few frames.
#include "tests/gameplay/gameplay_scene.hpp"

#include "gameplay/explosion.hpp"
#include "gameplay/standard_bullets.hpp"
#include "physics/collider.hpp"

#include <algorithm>
#include <cmath>

using namespace gameplay_test;

namespace {

vec2 where(const GameObject* o) {
    return {o->transform.worldPosition.x, o->transform.worldPosition.y};
}

// Size on screen (which sets its reach), push, damage and place of one explosion.
void expectBlast(const Explosion* e, float size, float force, float damage, vec2 at, float tolerance) {
    const Transform& t = e->owner->transform;
    EXPECT_TRUE(t.scale.x == size && t.scale.y == size) << t.scale.x << " x " << t.scale.y;
    EXPECT_FLOAT_EQ(e->force, force);
    EXPECT_FLOAT_EQ(e->damage, damage);
    EXPECT_LT(length(vec2{t.position.x, t.position.y} - at), tolerance)
        << t.position.x << ", " << t.position.y;
}

class StandardBullets : public Scene {
  protected:
    // The logic of every explosion still on screen, oldest first.
    static std::vector<Explosion*> blasts() {
        std::vector<Explosion*> found;
        for (GameObject* o : active("Explosion")) {
            found.push_back(o->getComponent<Explosion>());
        }
        return found;
    }
    static void expectOnlyBlast(float size, float force, float damage, vec2 at, float tolerance) {
        std::vector<Explosion*> e = blasts();
        ASSERT_EQ(e.size(), 1u);
        expectBlast(e[0], size, force, damage, at, tolerance);
    }
    // The explosion on screen with that push, if there is one.
    static Explosion* blastPushing(float force) {
        std::vector<Explosion*> e = blasts();
        auto found = std::find_if(e.begin(), e.end(), [force](Explosion* x) { return x->force == force; });
        return found != e.end() ? *found : nullptr;
    }
};

constexpr float kStep = 0.01666f; // a blast pushes for one physics step

} // namespace

TEST_F(StandardBullets, BasicBulletGoesOffOnAPlatformOrAfterThreeSecondsInTheAir) {
    makePlatform({0, -0.5f}, {20, 1});
    BasicBullet* landing = MakeBasicBullet({0, 2}, {0, -1}, 10, "P1", 1);
    BasicBullet* drifting = MakeBasicBullet({100, 40}, {1, 0}, 2, "P1", 1);
    run(30);
    EXPECT_FALSE(landing->owner->active);
    expectOnlyBlast(3, 500, 0.1f, {0, 0.3f}, 0.4f); // on the platform's top

    runSeconds(2.3f); // about 2.8 s in flight, with nothing to touch up there
    EXPECT_TRUE(drifting->owner->active);
    EXPECT_TRUE(blasts().empty());
    runSeconds(0.4f);
    EXPECT_FALSE(drifting->owner->active);
    expectOnlyBlast(3, 500, 0.1f, where(drifting->owner), 1e-3f);
}

TEST_F(StandardBullets, BasicBulletGoesOffOnAnotherPlayersBulletButPassesItsOwn) {
    BasicBullet* a = MakeBasicBullet({-32, 30}, {1, 0}, 10, "P1", 1);
    BasicBullet* b = MakeBasicBullet({-28, 30}, {-1, 0}, 10, "P1", 1);
    BasicBullet* mine = MakeBasicBullet({28, 30}, {1, 0}, 10, "P1", 1);
    BasicBullet* theirs = MakeBasicBullet({32, 30}, {-1, 0}, 10, "P2", 2);
    run(30);
    EXPECT_TRUE(a->owner->active && b->owner->active);
    EXPECT_GT(a->rigidBody->position.x, b->rigidBody->position.x) << "flew through each other";
    EXPECT_FALSE(mine->owner->active || theirs->owner->active);
    std::vector<Explosion*> e = blasts();
    ASSERT_EQ(e.size(), 2u);
    for (Explosion* blast : e) {
        expectBlast(blast, 3, 500, 0.1f, {30, 30}, 1.0f);
    }
}

TEST_F(StandardBullets, ExplodingBulletFliesThroughBulletsAndGoesOffOnAPlatform) {
    makePlatform({0, -0.5f}, {40, 1});
    ExplodingBullet* big = MakeExplodingBullet({-3, 10}, {1, 0}, 10, "P1", 1);
    BasicBullet* small = MakeBasicBullet({0, 10}, {0, 0}, 0, "P2", 2); // falls alongside, in its way
    ExplodingBullet* drifting = MakeExplodingBullet({100, 40}, {1, 0}, 2, "P1", 1);
    run(30);
    EXPECT_FALSE(small->owner->active) << "the small one goes off on anything";
    EXPECT_TRUE(big->owner->active) << "another bullet is no reason to go off";
    expectOnlyBlast(3, 500, 0.1f, {0, 9.5f}, 1.0f);

    runSeconds(1.2f); // it lands after about 1.4 s, well within its 3 s
    EXPECT_FALSE(big->owner->active);
    expectOnlyBlast(6, 1000, 0.2f, {11, 0.5f}, 0.6f);

    runSeconds(1.1f); // about 2.8 s: the one up in the air has touched nothing
    EXPECT_TRUE(drifting->owner->active);
    runSeconds(0.4f);
    EXPECT_FALSE(drifting->owner->active);
    expectOnlyBlast(6, 1000, 0.2f, where(drifting->owner), 1e-3f);
}

TEST_F(StandardBullets, TriggerSetsOffOnlyExplodingAndStuckStickyBullets) {
    makePlatform({0, -0.5f}, {40, 1});
    StickyBullet* stuck = MakeStickyBullet({0, 2}, {0, -1}, 5, "P1", 1);
    StickyBullet* flying = MakeStickyBullet({60, 40}, {1, 0}, 5, "P1", 1);
    BasicBullet* basic = MakeBasicBullet({80, 40}, {1, 0}, 5, "P1", 1);
    RicochetBullet* ricochet = MakeRicochetBullet({100, 40}, {1, 0}, 5, "P1", 1);
    ExplodingBullet* exploding = MakeExplodingBullet({-60, 40}, {1, 0}, 5, "P1", 1);
    run(30);
    for (Bullet* b : std::initializer_list<Bullet*>{flying, basic, ricochet}) {
        b->Trigger();
        EXPECT_TRUE(b->owner->active) << b->owner->name;
    }
    EXPECT_TRUE(blasts().empty());

    exploding->Trigger();
    stuck->Trigger(); // a landmine set off by its owner
    EXPECT_FALSE(exploding->owner->active || stuck->owner->active);
    std::vector<Explosion*> e = blasts();
    ASSERT_EQ(e.size(), 2u);
    expectBlast(e[0], 6, 1000, 0.2f, where(exploding->owner), 1e-3f);
    expectBlast(e[1], 5, 1500, 0.4f, where(stuck->owner), 1e-3f);
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
    EXPECT_TRUE(blasts().empty()) << "the split itself goes off silently";

    std::vector<float> fan;
    for (GameObject* b : active("Bullet")) {
        EXPECT_EQ(b->group, "P1");
        EXPECT_EQ(b->getComponent<CircleCollider>()->groupMask, 1u);
        const SplittingBullet* from = b->transform.position.x > 25.0f ? resting : moving;
        EXPECT_LT(length(vec2{b->transform.position.x, b->transform.position.y} - where(from->owner)), 1e-4f);
        vec2 bv = bodyOf(b)->velocity;
        if (from == resting) {
            EXPECT_TRUE(bv.x == 0.0f && bv.y == 0.0f);
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
    ASSERT_NE(blastPushing(900), nullptr);
    expectBlast(blastPushing(900), 3.5f, 900, 0.15f, {-47.5f, 29.7f}, 1.0f);
}

TEST_F(StandardBullets, StickyBulletWaitsOnAPlatformUntilATankTouchesItOrItsTimeRunsOut) {
    makePlatform({0, -0.5f}, {40, 1});
    StickyBullet* timed = MakeStickyBullet({-8, 2}, {0, -1}, 5, "P1", 1);
    StickyBullet* mine = MakeStickyBullet({8, 2}, {0, -1}, 5, "P1", 1);
    StickyBullet* hitter = MakeStickyBullet({30, 20}, {1, 0}, 10, "P1", 1);
    MakeBasicBullet({33, 20}, {0, 0}, 0, "P2", 2); // falls alongside, in its way
    run(30);
    EXPECT_FALSE(hitter->owner->active) << "in flight, anything but a platform sets it off";
    ASSERT_NE(blastPushing(1000), nullptr);
    expectBlast(blastPushing(1000), 4, 1000, 0.2f, {32.3f, 19.7f}, 1.0f);
    for (StickyBullet* b : {timed, mine}) {
        EXPECT_TRUE(b->owner->active);
        EXPECT_EQ(b->rigidBody->gravityScale, 0.0f);
        EXPECT_NEAR(length(b->rigidBody->velocity), 0.0f, 1e-4f);
    }
    vec2 restsAt = timed->rigidBody->position;

    Player* victim = makeTank(2, {8, 3, 0}); // dropped onto the landmine
    run(45);
    EXPECT_FALSE(mine->owner->active);
    expectOnlyBlast(6, 1500, 0.4f, {8, 0.4f}, 0.2f);
    EXPECT_NEAR(victim->knockbackMultiplier, 1.4f, 1e-5f);

    runSeconds(6.0f); // about 7.2 s since it was fired
    EXPECT_TRUE(timed->owner->active);
    EXPECT_LT(length(timed->rigidBody->position - restsAt), 1e-3f);
    runSeconds(0.6f);
    EXPECT_FALSE(timed->owner->active);
    expectOnlyBlast(4, 1000, 0.2f, restsAt, 0.01f);
}

TEST_F(StandardBullets, RicochetBulletBouncesOffPlatformsAndRicochetsAndExpiresAfterThreeSeconds) {
    makePlatform({0, -0.5f}, {40, 1});
    // Landing far from the platform's middle it still bounces off the face it hits.
    RicochetBullet* skimming = MakeRicochetBullet({12, 3}, {1, -1}, 10, "P1", 1);
    RicochetBullet* a = MakeRicochetBullet({-52, 20}, {1, 0}, 5, "P1", 1);
    RicochetBullet* b = MakeRicochetBullet({-48, 20}, {-1, 0}, 5, "P2", 2);
    run(30);
    // Off the floor the fall turns into a climb; the run and the speed are kept.
    EXPECT_NEAR(skimming->rigidBody->velocity.x, 7.071f, 0.05f);
    EXPECT_NEAR(skimming->rigidBody->velocity.y, 7.071f, 0.05f);
    // Off each other, head on; no gravity bends their line.
    EXPECT_NEAR(a->rigidBody->velocity.x, -5.0f, 0.05f);
    EXPECT_NEAR(b->rigidBody->velocity.x, 5.0f, 0.05f);
    EXPECT_NEAR(a->rigidBody->position.y, 20.0f, 1e-3f);
    EXPECT_TRUE(blasts().empty());

    runSeconds(2.3f);
    EXPECT_EQ(active("RicochetBullet").size(), 3u);
    EXPECT_TRUE(blasts().empty());
    runSeconds(0.4f);
    EXPECT_TRUE(active("RicochetBullet").empty());
    std::vector<Explosion*> e = blasts();
    ASSERT_EQ(e.size(), 3u);
    expectBlast(e[2], 2, 500, 0.15f, where(b->owner), 1e-3f);
}

TEST_F(StandardBullets, BulletsSpinClockwiseWhenMovingRightAtSpeedSquaredDegreesPerSecond) {
    RicochetBullet* right = MakeRicochetBullet({0, 20}, {1, 0}, 4, "P1", 1);
    RicochetBullet* left = MakeRicochetBullet({0, 30}, {-1, 0}, 4, "P1", 1);
    RicochetBullet* up = MakeRicochetBullet({0, 40}, {0, 1}, 4, "P1", 1);
    runSeconds(1.0f);
    EXPECT_NEAR(right->owner->transform.rotation.z, -16.0f, 0.5f);
    EXPECT_NEAR(left->owner->transform.rotation.z, 16.0f, 0.5f);
    EXPECT_EQ(up->owner->transform.rotation.z, 0.0f);
}

TEST_F(StandardBullets, TriggeredSniperBulletFliesStraightAtFiftyAndPassesBullets) {
    SniperBullet* sniper = MakeSniperBullet({0, 20}, {1, 1}, 10, "P1", 1);
    run(10);
    vec2 before = sniper->rigidBody->velocity;
    sniper->Trigger();
    vec2 v = sniper->rigidBody->velocity;
    EXPECT_NEAR(length(v), 50.0f, 1e-3f);
    EXPECT_NEAR(cross(before, v), 0.0f, 1e-2f);
    EXPECT_GT(dot(before, v), 0.0f) << "same direction";
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
    EXPECT_EQ(blasts().size(), 3u);
    ASSERT_NE(blastPushing(1000), nullptr);
    expectBlast(blastPushing(1000), 3, 1000, 0.5f, where(lobbed->owner), 1e-3f);
}

TEST_F(StandardBullets, SniperTriggeredAtRestHangsStillAndNothingGoesNaN) {
    tankOnGround(2, 3.0f);
    SniperBullet* s = MakeSniperBullet({0, 3}, {0, 0}, 0, "P1", 1);
    run(1);
    s->rigidBody->velocity = {0, 0}; // released at no charge: there is no direction to keep
    s->Trigger();
    EXPECT_TRUE(s->rigidBody->velocity.x == 0.0f && s->rigidBody->velocity.y == 0.0f);
    vec2 hangs = s->rigidBody->position;
    run(200); // and, touching nothing, it never ends by time
    EXPECT_TRUE(s->owner->active);
    EXPECT_LT(length(s->rigidBody->position - hangs), 1e-4f);
    for (RigidBody2D* body : PhysicsBodies()) { // the platform and the tank beside it too
        vec2 p = body->position;
        vec2 v = body->velocity;
        EXPECT_TRUE(std::isfinite(p.x + p.y + v.x + v.y)) << body->owner->name;
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
    EXPECT_EQ(atEdge->tank.rigidBody->velocity.x, 0.0f);
    EXPECT_NEAR(justInside->knockbackMultiplier, 1.1f, 1e-5f);
    EXPECT_NEAR(justInside->tank.rigidBody->velocity.x, -500 * kStep, 0.3f) << "thrown away from it";
    EXPECT_NEAR(bigReach->knockbackMultiplier, 1.1f, 1e-5f);
    EXPECT_NEAR(bigReach->tank.rigidBody->velocity.x, 1000 * kStep, 0.5f);
}

TEST_F(StandardBullets, KnockbackIsScaledByTheDamageTakenBeforeTheHit) {
    Player* fresh = makeTank(1, {-1.5f, 10, 0});
    Player* battered = makeTank(2, {1.5f, 10, 0});
    battered->knockbackMultiplier = 3.0f;
    MakeExplosion({0, 10}, {3, 3}, "", 500, 10.0f); // a damage of 10 counts as a tenth, like 0.1
    run(1);
    float pushed = -fresh->tank.rigidBody->velocity.x;
    EXPECT_NEAR(pushed, 500 * kStep, 0.3f);
    EXPECT_NEAR(battered->tank.rigidBody->velocity.x / pushed, 3.0f, 0.03f);
    EXPECT_NEAR(fresh->knockbackMultiplier, 1.1f, 1e-5f);
    EXPECT_NEAR(battered->knockbackMultiplier, 3.1f, 1e-5f);
}

TEST_F(StandardBullets, ExplosionThrowsTheShootersOwnTankOnceAndIsGoneAfterHalfASecond) {
    Player* shooter = tankOnGround(1, 0.0f);
    SetTankGroup(shooter->tank, "Player1");
    // Dropped through the tank's own wheel (same mask, no contact) onto the ground beside it.
    BasicBullet* b = MakeBasicBullet({1.2f, 1.5f}, {0, -1}, 5, "Player1", PlayerBit(1));
    for (int i = 0; i < 120 && b->owner->active; ++i) {
        run(1);
    }
    expectOnlyBlast(3, 500, 0.1f, {1.2f, 0.3f}, 0.4f); // on the ground, not on the tank
    for (GameObject* blast : active("Explosion")) {
        EXPECT_EQ(blast->group, "Player1");
    }
    EXPECT_NEAR(shooter->knockbackMultiplier, 1.1f, 1e-5f);
    EXPECT_LT(shooter->tank.rigidBody->velocity.x, -4.0f) << "thrown away from its own shot";

    // A blast without push on the settled tank, which so stays in reach: it is still hit once.
    runSeconds(1.0f);
    Explosion* still = MakeExplosion(where(shooter->owner), {3, 3}, "", 0, 0.1f);
    runSeconds(0.4f);
    EXPECT_TRUE(still->owner->active);
    EXPECT_NEAR(shooter->knockbackMultiplier, 1.2f, 1e-5f);
    runSeconds(0.2f);
    EXPECT_FALSE(still->owner->active);
}
