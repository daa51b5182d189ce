// A tank on a platform, driven through the left keyboard half (A D drive, W jump, F H turret,
// T charge and fire, G special) the way a player would.
#include "tests/gameplay/gameplay_scene.hpp"

#include "gameplay/standard_bullets.hpp"
#include "graphics/renderer.hpp"
#include "physics/collider.hpp"

#include <cmath>

using namespace gameplay_test;

namespace {

class TankScene : public Scene {
  protected:
    static vec3 local(GameObject* o) { return o->transform.position; }
    static vec3 scaleOf(GameObject* o) { return o->transform.scale; }
    static void expectVec(vec3 actual, vec3 expected, const char* what) {
        EXPECT_NEAR(actual.x, expected.x, 1e-4f) << what;
        EXPECT_NEAR(actual.y, expected.y, 1e-4f) << what;
        EXPECT_NEAR(actual.z, expected.z, 1e-4f) << what;
    }
    static float barrelAngle(Player* p) { return p->tank.barrelRoot->transform.rotation.z; }
};

} // namespace

TEST_F(TankScene, PartsSitWhereTheirTableSaysWhereverTheTankIsMade) {
    Player* p = makeTank(2, {40.0f, -12.0f, 0.0f});
    const TankParts& t = p->tank;
    expectVec(local(t.tankRoot), {40, -12, 0}, "root");
    expectVec(local(t.body), {0, 1.0f, -0.01f}, "body");
    expectVec(local(t.eyes), {0, 1.16f, 0}, "eyes");
    expectVec(local(t.face), {0, 0.92f, 0.1f}, "face");
    expectVec(local(t.barrel), {0, 0.5f, -0.02f}, "barrel");
    expectVec(local(t.bulletOut), {0, 0.55f, 0}, "bullet out");
    expectVec(local(t.aimingArrow), {0, 0.9f, 0}, "arrow");
    expectVec(local(t.pickUpAura), {0, 0.7f, -0.5f}, "aura");
    expectVec(scaleOf(t.track), {2.56f, 0.96f, 1}, "track");
    expectVec(scaleOf(t.bulletOut), {0.15625f, 0.078125f, 1}, "bullet out");
    expectVec(local(t.bodyColliderObject), {0, 0, 0.1f}, "body collider");
    // The three unnamed collider objects sit on the root; their circles carry the offsets.
    for (CircleCollider* c : {t.leftCollider, t.rightCollider, t.topCollider}) {
        expectVec(local(c->owner), {0, 0, 0}, "collider object");
        EXPECT_EQ(c->owner->transform.parent, &t.tankRoot->transform);
        EXPECT_EQ(c->rigidBody, t.rigidBody);
        EXPECT_EQ(c->groupMask, 2u) << "player 2's bit";
    }
    EXPECT_FLOAT_EQ(t.leftCollider->offset.x, -0.8f);
    EXPECT_FLOAT_EQ(t.topCollider->radius, 0.6f);
    EXPECT_NEAR(t.bulletOut->transform.worldPosition.y, -12.0f + 1.55f, 1e-4f);

    size_t objects = GameObjectList::instance().objects().size();
    EXPECT_FALSE(MakeTank(p, 3, {0, 0, 0}).has_value()) << "the slot already holds a player";
    EXPECT_EQ(GameObjectList::instance().objects().size(), objects);
}

TEST_F(TankScene, DrivesUpToAboutTwentyOneUnitsPerSecond) {
    Player* p = tankOnGround(1, -80.0f);
    hold(sf::Keyboard::D);
    runSeconds(5.0f);
    EXPECT_NEAR(p->tank.rigidBody->velocity.x, 21.0f, 1.0f);
    EXPECT_NEAR(p->tank.rigidBody->position.y, 0.5f, 0.05f) << "stays on the platform";
    EXPECT_EQ(p->tank.eyes->getComponent<SpriteRenderer>()->column, 3) << "looks right";
}

TEST_F(TankScene, JumpsOncePerPressWithACooldown) {
    Player* p = tankOnGround();
    RigidBody2D* body = p->tank.rigidBody;
    tap(sf::Keyboard::W);
    EXPECT_GT(body->velocity.y, 15.0f);
    EXPECT_EQ(p->tank.airborne, 1u);
    EXPECT_FALSE(p->tank.track->getComponent<SpriteRenderer>()->enabled) << "the jump track shows";
    run(10);
    float before = body->velocity.y;
    tap(sf::Keyboard::W); // 0.2 s after the first: still cooling down
    EXPECT_LT(body->velocity.y, before) << "no second jump";
    runSeconds(2.0f);
    EXPECT_EQ(p->tank.airborne, 0u) << "landed";
    EXPECT_TRUE(p->tank.track->getComponent<SpriteRenderer>()->enabled);
    tap(sf::Keyboard::W);
    EXPECT_GT(body->velocity.y, 15.0f) << "cooled down";
}

TEST_F(TankScene, TurretStopsAtNinetyDegreesEitherWay) {
    Player* p = tankOnGround();
    hold(sf::Keyboard::F);
    runSeconds(0.1f);
    EXPECT_GT(barrelAngle(p), 20.0f);
    EXPECT_LT(barrelAngle(p), 50.0f) << "360 degrees a second";
    runSeconds(1.0f);
    EXPECT_EQ(barrelAngle(p), 90.0f);
    release(sf::Keyboard::F);
    hold(sf::Keyboard::H);
    runSeconds(1.0f);
    EXPECT_EQ(barrelAngle(p), -90.0f);
}

TEST_F(TankScene, ChargesFiresAlongTheBarrelAndRecoils) {
    Player* p = tankOnGround();
    hold(sf::Keyboard::F);
    runSeconds(0.5f); // barrel pointing left
    release(sf::Keyboard::F);
    hold(sf::Keyboard::T);
    runSeconds(0.4f);
    EXPECT_NEAR(p->charge, 60.0f, 3.0f) << "150 a second";
    EXPECT_TRUE(p->charging);
    float bar = p->tank.shootChargeBar->transform.scale.x;
    EXPECT_NEAR(bar, p->charge / 100.0f * 2.56f, 1e-4f);
    float charge = p->charge;
    release(sf::Keyboard::T);
    run(1);
    ASSERT_EQ(active("Bullet").size(), 1u);
    RigidBody2D* shot = bodyOf(active("Bullet")[0]);
    EXPECT_NEAR(shot->velocity.x, -0.4f * charge, 1.0f) << "out to the left at 0.4 x charge";
    EXPECT_EQ(p->charge, 0.0f);
    EXPECT_FLOAT_EQ(p->fireCooldown, 0.5f);
    run(1);
    EXPECT_GT(p->tank.rigidBody->velocity.x, 0.5f) << "the recoil pushes the tank right";

    // During the cooldown holding shoot charges nothing, and letting go fires nothing.
    hold(sf::Keyboard::T);
    runSeconds(0.2f);
    release(sf::Keyboard::T);
    run(1);
    EXPECT_EQ(count("Bullet"), 1u);
}

TEST_F(TankScene, ReleasingAtZeroChargeDropsTheShot) {
    Player* p = tankOnGround();
    hold(sf::Keyboard::T);
    run(1);
    p->charge = 0.0f;
    release(sf::Keyboard::T);
    run(1);
    ASSERT_EQ(active("Bullet").size(), 1u);
    EXPECT_EQ(bodyOf(active("Bullet")[0])->velocity.x, 0.0f);
}

TEST_F(TankScene, StunBlocksEveryActionButKeepsTheChargeBar) {
    Player* p = tankOnGround();
    hold(sf::Keyboard::T);
    runSeconds(0.3f);
    float charge = p->charge;
    p->ApplyKnockback({0, 0}, 0.0f, 0.0f, 1.0f);
    hold(sf::Keyboard::D);
    hold(sf::Keyboard::F);
    release(sf::Keyboard::T);
    tap(sf::Keyboard::W);
    runSeconds(0.5f);
    EXPECT_NEAR(p->tank.rigidBody->velocity.x, 0.0f, 0.05f) << "no driving";
    EXPECT_EQ(barrelAngle(p), 0.0f) << "no turning";
    EXPECT_EQ(count("Bullet"), 0u) << "no shot";
    EXPECT_EQ(p->charge, charge) << "the charge is kept";
    EXPECT_EQ(p->tank.eyes->getComponent<SpriteRenderer>()->column, 4) << "dizzy eyes";
    EXPECT_NEAR(p->tank.shootChargeBar->transform.position.y,
                p->tank.tankRoot->transform.worldPosition.y + 2.8f, 1e-3f);
    runSeconds(0.6f);
    EXPECT_EQ(count("Bullet"), 1u) << "the shot charged before the stun goes once it ends";
    EXPECT_GT(p->tank.rigidBody->velocity.x, 1.0f) << "driving again";
}

TEST_F(TankScene, KnockbackGrowsWithDamageUpToTheCap) {
    Player* p = tankOnGround();
    p->ApplyKnockback({0, 10}, 1000.0f, 10.0f, 0.0f);
    EXPECT_NEAR(p->knockbackMultiplier, 1.1f, 1e-6f) << "10 counts as a tenth";
    p->ApplyKnockback({0, 0}, 0.0f, 0.1f, 0.0f);
    EXPECT_NEAR(p->knockbackMultiplier, 1.2f, 1e-6f) << "and so does 0.1";
    EXPECT_FLOAT_EQ(p->tank.rigidBody->force.y, 1000.0f) << "pushed with the multiplier from before the hit";
    for (int i = 0; i < 200; ++i) {
        p->ApplyKnockback({1, 0}, 1.0f, 50.0f, 0.0f);
    }
    EXPECT_FLOAT_EQ(p->knockbackMultiplier, kMaxKnockbackMultiplier);

    Player* tough = makeTank(2, {10, 2, 0});
    tough->SetChoices("FaceSprite_Vantu", "TrackSprite_Vantu", "");
    tough->ApplyKnockback({0, 0}, 0.0f, 0.5f, 0.0f);
    EXPECT_NEAR(tough->knockbackMultiplier, 1.45f, 1e-6f) << "Vantu's track takes 0.9 of the damage";
}

TEST_F(TankScene, ChoicesScaleTheStats) {
    Player* p = makeTank(1, {0, 5, 0});
    p->SetChoices("FaceSprite_Kibbit", "TrackSprite_Quolle", "BarrelSprite_Sniper");
    EXPECT_EQ(p->character, 3u);
    EXPECT_EQ(p->trackKind, 2u);
    EXPECT_EQ(p->turretKind, 3u);
    EXPECT_FLOAT_EQ(p->driveForce, 1875.0f);
    EXPECT_FLOAT_EQ(p->jumpSpeed, 16.0f);
    EXPECT_FLOAT_EQ(p->jumpCooldownTime, 0.6f);
    EXPECT_FLOAT_EQ(p->chargeRate, 75.0f);
    EXPECT_FLOAT_EQ(p->shotSpeedFactor, 0.3f);
    EXPECT_FLOAT_EQ(p->fireCooldownTime, 1.0f);
    EXPECT_EQ(p->tank.trackJump->getComponent<SpriteRenderer>()->columns, 3);

    Player* q = makeTank(2, {5, 5, 0});
    q->SetChoices("Nobody", "Nothing", "BarrelSprite_Bouncing");
    EXPECT_EQ(q->character, 0u);
    EXPECT_EQ(q->trackKind, 0u);
    EXPECT_EQ(q->turretKind, 5u) << "the bouncing barrel fires sticky bullets";
    EXPECT_FLOAT_EQ(q->shotSpeedFactor, 0.2f);
    q->SetChoices("", "", "Unknown");
    EXPECT_EQ(q->turretKind, 0u);
}

TEST_F(TankScene, SpinIsCappedBothWays) {
    Player* p = tankOnGround();
    p->tank.rigidBody->angularVelocity = -900.0f;
    run(1);
    EXPECT_GE(p->tank.rigidBody->angularVelocity, -500.0f);
    p->tank.rigidBody->angularVelocity = 900.0f;
    run(1);
    EXPECT_LE(p->tank.rigidBody->angularVelocity, 500.0f);
}

TEST_F(TankScene, SpecialSetsOffOwnBulletsButNotInTheFrameOfAShot) {
    Player* p = tankOnGround();
    SetTankGroup(p->tank, "Player 1");
    MakeExplodingBullet({0, 20}, {0, 1}, 5.0f, "Player 1", 1);
    MakeExplodingBullet({10, 20}, {0, 1}, 5.0f, "Player 2", 2);
    MakeBasicBullet({-10, 20}, {0, 1}, 5.0f, "Player 1", 1); // has no trigger
    hold(sf::Keyboard::T);
    run(3);
    release(sf::Keyboard::T);
    hold(sf::Keyboard::G);
    run(1);
    EXPECT_EQ(active("ExplodingBullet").size(), 2u) << "firing and detonating in one frame: nothing goes off";
    release(sf::Keyboard::G);
    run(2);
    tap(sf::Keyboard::G);
    ASSERT_EQ(active("ExplodingBullet").size(), 1u);
    EXPECT_EQ(active("ExplodingBullet")[0]->group, "Player 2") << "only this tank's bullets";
    EXPECT_EQ(active("Bullet").size(), 2u) << "basic bullets have no trigger";
    EXPECT_EQ(active("Explosion").size(), 1u);
}

TEST_F(TankScene, RespawnBeamMovesWithinItsLimitsThenDropsTheTank) {
    Player* p = tankOnGround();
    // What the match does when a tank falls out.
    SetTankEnabled(p->tank, false);
    setActive(p->respawner, true);
    p->respawning = 1;
    p->respawnTime = p->respawnTimeLeft = 2.5f;
    p->beamWidth = 5.0f;
    p->beamHeight = 20.0f;
    p->beamMinX = -3.0f;
    p->beamMaxX = 30.0f;
    p->pickUpKind = 2;
    p->respawner->transform.setPosition(0, 10, 0);
    hold(sf::Keyboard::A);
    hold(sf::Keyboard::T);
    runSeconds(1.0f);
    EXPECT_EQ(p->respawner->transform.position.x, -3.0f) << "held at its left limit";
    EXPECT_NEAR(p->respawner->transform.scale.x, 1.5f / 2.5f * 5.0f, 0.15f) << "narrows as time runs out";
    EXPECT_FALSE(p->charging) << "no control while respawning";
    EXPECT_FALSE(p->tank.rigidBody->enabled);
    int frames = 0;
    while (p->respawning != 0 && frames++ < 200) {
        run(1);
    }
    EXPECT_NEAR(frames * 0.017f, 1.5f, 0.05f);
    EXPECT_TRUE(p->tank.rigidBody->enabled);
    EXPECT_TRUE(p->tank.barrel->active);
    EXPECT_EQ(p->pickUpKind, 0u);
    EXPECT_NEAR(p->tank.rigidBody->position.x, -3.0f, 0.01f);
    EXPECT_GT(p->tank.rigidBody->position.y, 5.0f) << "drops from the top of the beam";
    EXPECT_LT(p->tank.rigidBody->velocity.y, -50.0f) << "fast";
}

TEST_F(TankScene, SchemesOutsideTheKnownSixReadBackAndReactToNothing) {
    Player* p = tankOnGround();
    p->SetControlScheme(9);
    EXPECT_EQ(p->controls.padIndex, 9u);
    hold(sf::Keyboard::D);
    hold(sf::Keyboard::T);
    runSeconds(0.5f);
    EXPECT_NEAR(p->tank.rigidBody->velocity.x, 0.0f, 0.05f);
    EXPECT_FALSE(p->charging);
}
