// A tank on a platform, driven through the left keyboard half (A D drive, W jump, F H turret,
// T charge and fire, G special) the way a player would.
#include "tests/gameplay/gameplay_scene.hpp"

#include "engine/control_scheme.hpp"
#include "gameplay/standard_bullets.hpp"
#include "graphics/renderer.hpp"
#include "physics/collider.hpp"

#include <algorithm>
#include <array>
#include <cmath>

using namespace gameplay_test;

namespace {

class TankScene : public Scene {};

float barrelAngle(Player* p) {
    return p->tank.barrelRoot->transform.rotation.z;
}

// As the graphics see it: an active object with its sprite switched on.
bool drawn(const GameObject* part) {
    const auto* s = part->getComponent<SpriteRenderer>();
    return part->active && s != nullptr && s->enabled;
}

} // namespace

TEST_F(TankScene, ATankMadeFarFromTheOriginIsBuiltAroundItsSpawnAndOnlyOncePerSlot) {
    // Each piece is placed after it hangs from the root: placed before, it would carry the spawn.
    Player* p = makeTank(2, {40.0f, -12.0f, 0.0f});
    run(1);
    for (GameObject* piece : {p->tank.body, p->tank.barrel, p->tank.bulletOut}) {
        const vec3 at = piece->transform.worldPosition;
        EXPECT_LT(length(vec2{at.x - 40.0f, at.y + 12.0f}), 2.0f) << piece->name;
    }
    size_t objects = GameObjectList::instance().objects().size();
    EXPECT_FALSE(MakeTank(p, 3, {0, 0, 0}).has_value()) << "the slot already holds a player";
    EXPECT_EQ(GameObjectList::instance().objects().size(), objects);
}

// Physics runs in fixed steps, so a jump rises as high and lasts as long, and driving covers the
// same ground, whether frames come 60 or 20 times a second.
TEST_F(TankScene, JumpsAndDrivingAreTheSameAtTwentyFramesASecondAsAtSixty) {
    struct Outcome {
        float peak, airTime, driven;
    };
    auto play = [&](uint32_t ms, float x) {
        Player* p = tankOnGround(static_cast<uint32_t>(x > 0 ? 2 : 1), x);
        RigidBody2D* body = p->tank.rigidBody;
        const float ground = body->position.y;
        p->SetControlScheme(x > 0 ? kSchemeKeyboardRight : kSchemeKeyboardLeft);
        const sf::Keyboard::Key jump = x > 0 ? sf::Keyboard::Up : sf::Keyboard::W;
        hold(jump);
        run(1, ms);
        release(jump);
        Outcome o{0.0f, 0.0f, 0.0f};
        for (int i = 0;
             i < 5000 / static_cast<int>(ms) && (o.airTime < 0.1f || body->position.y > ground + 0.05f);
             ++i) {
            run(1, ms);
            o.peak = std::max(o.peak, body->position.y - ground);
            o.airTime += static_cast<float>(ms) / 1000.0f;
        }
        const float from = body->position.x;
        hold(x > 0 ? sf::Keyboard::Right : sf::Keyboard::D);
        run(1000 / static_cast<int>(ms), ms);
        release(x > 0 ? sf::Keyboard::Right : sf::Keyboard::D);
        o.driven = body->position.x - from;
        return o;
    };
    const Outcome sixty = play(17, -60.0f);
    const Outcome twenty = play(50, 60.0f);
    EXPECT_GT(sixty.peak, 5.0f);
    EXPECT_NEAR(twenty.peak, sixty.peak, 0.1f);
    EXPECT_NEAR(twenty.airTime, sixty.airTime, 0.06f);
    EXPECT_GT(sixty.driven, 5.0f);
    EXPECT_NEAR(twenty.driven, sixty.driven, 0.1f * sixty.driven);
}

TEST_F(TankScene, JumpsOncePerPressDrivesAtAboutTwentyOneAndSpinIsCapped) {
    Player* p = tankOnGround(1, -80.0f);
    RigidBody2D* body = p->tank.rigidBody;
    tap(sf::Keyboard::W);
    EXPECT_GT(body->velocity.y, 15.0f);
    EXPECT_FALSE(p->tank.track->getComponent<SpriteRenderer>()->enabled) << "the jump track shows";
    run(10);
    float before = body->velocity.y;
    tap(sf::Keyboard::W); // 0.2 s after the first: still cooling down
    EXPECT_LT(body->velocity.y, before) << "no second jump";
    runSeconds(2.0f);
    EXPECT_TRUE(p->tank.track->getComponent<SpriteRenderer>()->enabled) << "landed";
    tap(sf::Keyboard::W);
    EXPECT_GT(body->velocity.y, 15.0f) << "cooled down";

    hold(sf::Keyboard::D);
    runSeconds(5.0f);
    EXPECT_NEAR(body->velocity.x, 21.0f, 1.0f);
    EXPECT_NEAR(body->position.y, 0.5f, 0.05f) << "stays on the platform";
    EXPECT_EQ(p->tank.eyes->getComponent<SpriteRenderer>()->column, 3) << "looks right";
    for (float spin : {-900.0f, 900.0f}) {
        body->angularVelocity = spin;
        run(1);
        EXPECT_LE(std::abs(body->angularVelocity), 500.0f);
    }
}

TEST_F(TankScene, TurretStopsAtNinetyDegreesAndTheShotChargesFiresAlongItAndRecoils) {
    Player* p = tankOnGround();
    hold(sf::Keyboard::F);
    runSeconds(0.1f);
    EXPECT_TRUE(barrelAngle(p) > 20.0f && barrelAngle(p) < 50.0f) << "360 degrees a second";
    runSeconds(1.0f);
    EXPECT_EQ(barrelAngle(p), 90.0f); // pointing left
    release(sf::Keyboard::F);
    hold(sf::Keyboard::T);
    runSeconds(0.4f);
    float charge = p->charge;
    EXPECT_NEAR(charge, 60.0f, 3.0f) << "150 a second";
    release(sf::Keyboard::T);
    run(1);
    ASSERT_EQ(active("Bullet").size(), 1u);
    EXPECT_NEAR(bodyOf(active("Bullet")[0])->velocity.x, -0.4f * charge, 1.0f) << "left at 0.4 x charge";
    EXPECT_EQ(p->charge, 0.0f);
    run(1);
    EXPECT_NEAR(p->tank.rigidBody->velocity.x, 3.3f, 0.5f) << "the whole recoil throws the tank right";

    // During the cooldown holding shoot charges nothing, and letting go fires nothing.
    hold(sf::Keyboard::T);
    hold(sf::Keyboard::H);
    runSeconds(0.2f);
    release(sf::Keyboard::T);
    runSeconds(1.0f);
    EXPECT_EQ(count("Bullet"), 1u);
    EXPECT_EQ(barrelAngle(p), -90.0f);
}

TEST_F(TankScene, StunBlocksEveryActionButKeepsTheCharge) {
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
    EXPECT_EQ(p->tank.airborne, 0u) << "no jump";
    EXPECT_EQ(barrelAngle(p), 0.0f) << "no turning";
    EXPECT_EQ(count("Bullet"), 0u) << "no shot";
    EXPECT_EQ(p->charge, charge) << "the charge is kept";
    EXPECT_EQ(p->tank.eyes->getComponent<SpriteRenderer>()->column, 4) << "dizzy eyes";
    runSeconds(0.6f);
    EXPECT_EQ(count("Bullet"), 1u) << "the shot charged before the stun goes once it ends";
    EXPECT_GT(p->tank.rigidBody->velocity.x, 1.0f) << "driving again";
}

TEST_F(TankScene, KnockbackIsScaledByTheDamageBeforeTheHitUpToTheCapAndChoicesScaleTheStats) {
    Player* p = tankOnGround();
    p->ApplyKnockback({0, 10}, 1000.0f, 10.0f, 0.0f);
    EXPECT_NEAR(p->knockbackMultiplier, 1.1f, 1e-6f) << "10 counts as a tenth";
    p->ApplyKnockback({1, 0}, 1000.0f, 0.1f, 0.0f);
    EXPECT_NEAR(p->knockbackMultiplier, 1.2f, 1e-6f) << "and so does 0.1";
    EXPECT_FLOAT_EQ(p->tank.rigidBody->force.y, 1000.0f) << "the first push at the multiplier before it";
    EXPECT_FLOAT_EQ(p->tank.rigidBody->force.x, 1100.0f) << "the second at 1.1";
    for (int i = 0; i < 200; ++i) {
        p->ApplyKnockback({1, 0}, 1.0f, 50.0f, 0.0f);
    }
    EXPECT_FLOAT_EQ(p->knockbackMultiplier, kMaxKnockbackMultiplier);

    // The track decides toughness and drive: Kibbit's takes less of a hit and drives slower.
    Player* kibbit = makeTank(2, {10, 5, 0});
    kibbit->SetChoices("FaceSprite_Kibbit", "TrackSprite_Kibbit", "BarrelSprite_Bouncing");
    EXPECT_EQ(kibbit->turretKind, 5u) << "the bouncing barrel fires sticky bullets";
    EXPECT_LT(kibbit->driveForce, p->driveForce);
    kibbit->ApplyKnockback({0, 0}, 0.0f, 0.5f, 0.0f);
    EXPECT_LT(kibbit->knockbackMultiplier, 1.5f);
    kibbit->SetChoices("Nobody", "Nothing", "Unknown");
    EXPECT_EQ((std::array{kibbit->character, kibbit->trackKind, kibbit->turretKind}),
              (std::array{3u, 0u, 0u}))
        << "an unknown face changes nothing";
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
}

TEST_F(TankScene, RespawnBeamMovesWithinItsLimitsThenDropsTheTankWithItsArrowButNoPickUp) {
    Player* p = tankOnGround();
    p->pickUpKind = 2;
    run(1);
    ASSERT_TRUE(drawn(p->tank.pickUpAura) && drawn(p->tank.aimingArrow));
    // What the match does when a tank falls out.
    SetTankEnabled(p->tank, false);
    setActive(p->respawner, true);
    p->respawning = 1;
    p->respawnTime = p->respawnTimeLeft = 2.5f;
    p->beamWidth = 5.0f;
    p->beamHeight = 20.0f;
    p->beamMinX = -3.0f;
    p->respawner->transform.setPosition(0, 10, 0);
    hold(sf::Keyboard::A);
    hold(sf::Keyboard::T);
    runSeconds(1.0f);
    EXPECT_EQ(p->respawner->transform.position.x, -3.0f) << "held at its left limit";
    EXPECT_NEAR(p->respawner->transform.scale.x, 1.5f / 2.5f * 5.0f, 0.15f) << "narrows as time runs out";
    EXPECT_FALSE(p->charging) << "no control while respawning";
    EXPECT_FALSE(drawn(p->tank.aimingArrow) || drawn(p->tank.pickUpAura)) << "nothing left where it fell";
    int frames = 0;
    while (p->respawning != 0 && frames++ < 200) {
        run(1);
    }
    EXPECT_NEAR(frames * 0.017f, 1.5f, 0.05f);
    EXPECT_TRUE(p->tank.rigidBody->enabled);
    EXPECT_EQ(p->pickUpKind, 0u);
    EXPECT_NEAR(p->tank.rigidBody->position.x, -3.0f, 0.01f);
    EXPECT_GT(p->tank.rigidBody->position.y, 15.0f) << "drops from the top of the beam, 10 above its middle";
    EXPECT_LT(p->tank.rigidBody->velocity.y, -50.0f) << "fast";
    EXPECT_TRUE(drawn(p->tank.aimingArrow));
    EXPECT_FALSE(drawn(p->tank.pickUpAura)) << "the pick-up was lost with the life";
    p->pickUpKind = 1;
    run(1);
    EXPECT_TRUE(drawn(p->tank.pickUpAura)) << "the next pick-up shows again";
}
