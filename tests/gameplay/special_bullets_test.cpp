// The four shots a pick-up gives: the black hole, the expulsion, the rocket and the artillery.
#include "tests/gameplay/gameplay_scene.hpp"

#include "engine/game_state.hpp"
#include "gameplay/special_bullets.hpp"
#include "gameplay/standard_bullets.hpp"

#include <algorithm>
#include <cmath>
#include <set>

using namespace gameplay_test;

namespace {

class SpecialBulletScene : public Scene {
  protected:
    // A tank of its own group on the ground, so a shot of "Player 1" tells its shooter apart.
    Player* groupedTank(uint32_t player, float x) {
        Player* p = tankOnGround(player, x);
        SetTankGroup(p->tank, "Player " + std::to_string(player));
        return p;
    }

    // Lands a shot on the spot it was made. A shot made between frames gets its world place in
    // the frame's transform pass, after logic; one that lands at once needs it now, or its first
    // pull or pulse would be measured from the origin.
    template <class Shot> static Shot* landNow(Shot* shot) {
        shot->Trigger();
        shot->owner->transform.updateWorld();
        return shot;
    }
};

vec2 where(const Player* p) {
    return p->tank.rigidBody->position;
}
vec2 where(const Bullet* b) {
    return b->rigidBody->position;
}
float distance(vec2 a, vec2 b) {
    return length(a - b);
}

} // namespace

// ---- Black hole ----

TEST_F(SpecialBulletScene, BlackHoleOpensWhereItTouchesAPlatformOrWhereItsFlightEnds) {
    makePlatform({4.0f, 5.0f}, {2.0f, 20.0f}); // a wall whose face is at x 3
    BlackHoleBullet* atWall = MakeBlackHoleBullet({0.0f, 5.0f}, {1.0f, 0.0f}, 30.0f, "Player 1");
    // Far from the wall and from the first hole, so neither pulls the other.
    BlackHoleBullet* inAir = MakeBlackHoleBullet({60.0f, 20.0f}, {1.0f, 0.0f}, 10.0f, "Player 1");
    runSeconds(2.0f);

    // Had it not stopped on the wall it would have bounced back off it, far to the left.
    EXPECT_GT(where(atWall).x, 1.5f);
    EXPECT_LT(where(atWall).x, 3.0f);
    EXPECT_NEAR(where(atWall).y, 5.0f, 0.2f) << "an open hole no longer falls";
    // 0.4 s of flight at 10 units per second, and the drop gravity gives in that time.
    EXPECT_NEAR(where(inAir).x, 64.0f, 0.3f);
    EXPECT_NEAR(where(inAir).y, 19.2f, 0.3f);
    EXPECT_EQ(active("BlackHoleBullet").size(), 2u);
}

TEST_F(SpecialBulletScene, BlackHoleDrawsAndHurtsOtherTanksInReachForTenSeconds) {
    Player* victim = groupedTank(2, 6.0f);
    Player* far = groupedTank(3, 16.0f); // just beyond the 15-unit reach
    // The shooter stands in reach on a ledge, out of the way of the victim swinging through.
    makePlatform({0.0f, 11.5f}, {6.0f, 1.0f});
    Player* shooter = makeTank(1, {0.0f, 12.5f, 0.0f});
    SetTankGroup(shooter->tank, "Player 1");
    run(30);
    vec2 hole{0.0f, 2.0f};
    landNow(MakeBlackHoleBullet(hole, {}, 0.0f, "Player 1"));
    vec2 shooterAt = where(shooter);
    vec2 farAt = where(far);
    float closest = distance(where(victim), hole);
    for (int frame = 0; frame < 180; ++frame) {
        run(1);
        closest = std::min(closest, distance(where(victim), hole));
    }

    EXPECT_LT(closest, 1.5f) << "drawn in from 6.2 units away";
    EXPECT_NEAR(victim->knockbackMultiplier, 1.3f, 0.03f) << "0.1 damage a second";
    EXPECT_GT(victim->stunTimer, 0.0f) << "kept stunned while inside";
    EXPECT_LT(distance(where(shooter), shooterAt), 0.05f);
    EXPECT_FLOAT_EQ(shooter->knockbackMultiplier, 1.0f);
    EXPECT_LT(distance(where(far), farAt), 0.05f);
    EXPECT_FLOAT_EQ(far->knockbackMultiplier, 1.0f);

    runSeconds(6.5f); // 9.5 s open
    EXPECT_EQ(active("BlackHoleBullet").size(), 1u);
    runSeconds(1.0f);
    EXPECT_TRUE(active("BlackHoleBullet").empty()) << "closed after 10 s";
    float hurt = victim->knockbackMultiplier;
    EXPECT_NEAR(hurt, 2.0f, 0.05f) << "ten seconds inside";
    runSeconds(1.0f);
    EXPECT_FLOAT_EQ(victim->knockbackMultiplier, hurt) << "no damage once closed";
}

TEST_F(SpecialBulletScene, BlackHolePullsItsShootersOwnBullets) {
    vec2 hole{0.0f, 30.0f};
    landNow(MakeBlackHoleBullet(hole, {}, 0.0f, "Player 1"));
    BasicBullet* own = MakeBasicBullet({5.0f, 30.0f}, {}, 0.0f, "Player 1", 1);
    runSeconds(0.3f);
    // Falling freely it would still be 5 units away.
    EXPECT_LT(distance(where(own), hole), 3.0f);
}

// ---- Expulsion ----

TEST_F(SpecialBulletScene, ExpulsionHurtsATankAtItsCentreEveryPulseWithoutMovingIt) {
    Player* victim = groupedTank(2, 0.0f);
    vec2 at = where(victim);
    landNow(MakeExpulsionBullet(WorldPosition2(victim->tank.tankRoot), {}, 0.0f, "Player 1"));
    runSeconds(12.5f);

    EXPECT_LT(distance(where(victim), at), 0.05f) << "no push at the very centre";
    float pulses = (victim->knockbackMultiplier - 1.0f) / 0.1f;
    EXPECT_NEAR(pulses, std::round(pulses), 0.05f) << "0.1 per pulse";
    EXPECT_GE(std::round(pulses), 11.0f);
    EXPECT_LE(std::round(pulses), 12.0f);
    EXPECT_TRUE(active("ExpulsionBullet").empty());
}

TEST_F(SpecialBulletScene, ExpulsionPushesOthersOutwardWithinItsReachOnly) {
    Player* shooter = groupedTank(1, -5.0f);
    Player* victim = groupedTank(2, 5.0f);
    Player* beyond = groupedTank(3, -12.0f);
    vec2 shooterAt = where(shooter);
    vec2 beyondAt = where(beyond);
    BasicBullet* own = MakeBasicBullet({0.0f, 5.0f}, {}, 0.0f, "Player 1", 1);
    run(1); // the bullet gets its world place
    landNow(MakeExpulsionBullet({0.0f, 0.5f}, {}, 0.0f, "Player 1"));
    run(3);

    EXPECT_GT(own->rigidBody->velocity.y, 10.0f) << "the shooter's own bullet is thrown up";
    runSeconds(0.5f);
    EXPECT_GT(where(victim).x, 7.0f) << "thrown away from the centre";
    EXPECT_GE(victim->knockbackMultiplier, 1.1f - 1e-4f);
    EXPECT_LT(distance(where(shooter), shooterAt), 0.05f);
    EXPECT_FLOAT_EQ(shooter->knockbackMultiplier, 1.0f);
    EXPECT_LT(distance(where(beyond), beyondAt), 0.05f);
    EXPECT_FLOAT_EQ(beyond->knockbackMultiplier, 1.0f);
}

// ---- Rocket ----

TEST_F(SpecialBulletScene, RocketWarnsAlongItsPathThenComesFromThirtyUnitsBack) {
    vec2 from{0.0f, 10.0f};
    vec2 dir = NormalisedOrZero({1.0f, -1.0f}); // down and to the right
    landNow(MakeRocketBullet(from, dir, 20.0f, "Player 1"));
    run(1);

    std::vector<GameObject*> warnings = active("Rocket Warning");
    ASSERT_EQ(warnings.size(), 1u);
    const Transform& strip = warnings[0]->transform;
    EXPECT_FLOAT_EQ(strip.scale.x, 50.0f) << "long along its local x axis";
    EXPECT_FLOAT_EQ(strip.scale.y, 10.0f);
    float a = strip.rotation.z * kDegToRad;
    vec2 longAxis{std::cos(a), std::sin(a)};
    EXPECT_NEAR(cross(longAxis, dir), 0.0f, 0.02f) << "the strip lies along the path";
    EXPECT_NEAR(std::abs(dot(longAxis, dir)), 1.0f, 0.01f);
    EXPECT_NEAR(strip.position.x, from.x, 0.01f);
    EXPECT_NEAR(strip.position.y, from.y, 0.01f);

    runSeconds(1.2f);
    EXPECT_EQ(active("Rocket Warning").size(), 1u);
    EXPECT_TRUE(active("Rocket Root").empty());
    runSeconds(0.4f);
    EXPECT_TRUE(active("Rocket Warning").empty());
    std::vector<GameObject*> rockets = active("Rocket Root");
    ASSERT_EQ(rockets.size(), 1u);
    RigidBody2D* rocket = bodyOf(rockets[0]);
    vec2 start = from - dir * 30.0f;
    EXPECT_LT(distance(rocket->position, start), 0.5f);
    EXPECT_NEAR(rockets[0]->transform.rotation.z, -45.0f, 1.0f) << "its picture points along its path";

    runSeconds(6.0f);
    vec2 moved = rocket->position - start;
    EXPECT_GT(dot(moved, dir), 5.0f);
    EXPECT_NEAR(cross(moved, dir), 0.0f, 0.2f) << "keeps to the line";
}

TEST_F(SpecialBulletScene, RocketSweepsATankStandingOnItsLine) {
    Player* victim = groupedTank(2, -20.0f);
    // Low enough to meet the tank, high enough to clear the ground.
    landNow(MakeRocketBullet({0.0f, 2.3f}, {1.0f, 0.0f}, 20.0f, "Player 1"));
    runSeconds(12.0f);

    EXPECT_GT(where(victim).x, -10.0f) << "carried along the line of fire";
    std::vector<GameObject*> rockets = active("Rocket Root");
    ASSERT_EQ(rockets.size(), 1u);
    EXPECT_NEAR(bodyOf(rockets[0])->position.y, 2.3f, 0.3f) << "the tank barely deflects it";
}

// ---- Artillery ----

TEST_F(SpecialBulletScene, ArtilleryShellsFallFromTheDropHeightAfterTheWarning) {
    ArtilleryBullet* shot = landNow(MakeArtilleryBullet({3.0f, 5.0f}, {}, 0.0f, 40.0f, "Player 1", 1));
    runSeconds(1.8f);
    EXPECT_EQ(count("ExplodingBullet"), 0u) << "nothing falls during the warning";
    EXPECT_EQ(active("Artillery Zone").size(), 1u);

    std::set<GameObject*> seen;
    for (int frame = 0; frame < 60; ++frame) {
        run(1);
        for (GameObject* shell : active("ExplodingBullet")) {
            if (!seen.insert(shell).second) {
                continue;
            }
            // Seen after the frame's physics: a step or two of fall below the drop height.
            EXPECT_EQ(shell->group, "None") << "the shooter cannot set the shells off";
            EXPECT_NEAR(shell->transform.position.x, 3.0f, 5.01f);
            EXPECT_GT(shell->transform.position.y, 38.0f);
            EXPECT_LE(shell->transform.position.y, 40.0f);
            EXPECT_NEAR(bodyOf(shell)->velocity.y, -50.0f, 0.5f);
        }
    }
    EXPECT_GE(seen.size(), 5u) << "a shell every 0.10 to 0.15 s";
    EXPECT_TRUE(static_cast<bool>(shot->owner->active));
}

TEST_F(SpecialBulletScene, ArtilleryFiresNoMoreThanSeventyFiveShells) {
    landNow(MakeArtilleryBullet({0.0f, 5.0f}, {}, 0.0f, 40.0f, "Player 1", 1));
    runSeconds(14.0f);
    EXPECT_EQ(count("ExplodingBullet"), 75u);
    EXPECT_TRUE(active("ArtilleryBullet").empty());
    EXPECT_TRUE(active("Artillery Zone").empty());
}

TEST_F(SpecialBulletScene, ArtilleryBarrageEndsAfterFifteenSecondsWithShellsLeft) {
    ArtilleryBullet* shot = landNow(MakeArtilleryBullet({0.0f, 5.0f}, {}, 0.0f, 40.0f, "Player 1", 1));
    shot->maxShells = 1000; // so only the clock can end it
    runSeconds(14.5f);
    EXPECT_EQ(active("ArtilleryBullet").size(), 1u);
    runSeconds(1.0f);
    EXPECT_TRUE(active("ArtilleryBullet").empty());
    EXPECT_TRUE(active("Artillery Zone").empty());
    size_t shells = count("ExplodingBullet");
    EXPECT_GT(shells, 75u);
    runSeconds(1.0f);
    EXPECT_EQ(count("ExplodingBullet"), shells) << "no shells after the end";
}
