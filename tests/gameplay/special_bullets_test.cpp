// The four shots a pick-up gives: the black hole, the expulsion, the rocket and the artillery.
#include "tests/gameplay/gameplay_scene.hpp"

#include "gameplay/special_bullets.hpp"
#include "gameplay/standard_bullets.hpp"
#include "objects/frame_timer.hpp"

#include <algorithm>
#include <cmath>
#include <set>

using namespace gameplay_test;

namespace {

class SpecialBulletScene : public Scene {
  protected:
    // Lands a shot on the spot it was made. A shot made between frames gets its world place in
    // the frame's transform pass, after logic; one that lands at once needs it now, or its first
    // pull or pulse would be measured from the origin.
    template <class Shot> static Shot* landNow(Shot* shot) {
        shot->Trigger();
        shot->owner->transform.updateWorld();
        return shot;
    }
    // Shells made so far, spent ones too, within a zone's half width of x.
    static size_t shellsAround(float x) {
        size_t n = 0;
        for (GameObject* o : GameObjectList::instance().objects()) {
            n += o->name == "ExplodingBullet" && std::abs(o->transform.position.x - x) < 5.01f ? 1 : 0;
        }
        return n;
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
// Neither moved from where it stood nor hurt.
bool untouched(const Player* p, vec2 stoodAt) {
    return distance(where(p), stoodAt) < 0.05f && p->knockbackMultiplier == 1.0f;
}

} // namespace

TEST_F(SpecialBulletScene, BlackHoleOpensOnAPlatformOrWhereItsFlightEndsAndPullsItsShootersBullets) {
    makePlatform({4.0f, 5.0f}, {2.0f, 20.0f}); // a wall whose face is at x 3
    BlackHoleBullet* atWall = MakeBlackHoleBullet({0.0f, 5.0f}, {1.0f, 0.0f}, 30.0f, "Player 1");
    // Far from the wall and from the first hole, so neither pulls the other.
    BlackHoleBullet* inAir = MakeBlackHoleBullet({60.0f, 20.0f}, {1.0f, 0.0f}, 10.0f, "Player 1");
    runSeconds(2.0f);
    // Had it not stopped on the wall it would have bounced back off it, far to the left.
    EXPECT_TRUE(where(atWall).x > 1.5f && where(atWall).x < 3.0f) << where(atWall).x;
    EXPECT_NEAR(where(atWall).y, 5.0f, 0.2f) << "an open hole no longer falls";
    // 0.4 s of flight at 10 units per second, and the drop gravity gives in that time.
    EXPECT_NEAR(where(inAir).x, 64.0f, 0.3f);
    EXPECT_NEAR(where(inAir).y, 19.2f, 0.3f);

    BasicBullet* own = MakeBasicBullet(where(inAir) + vec2{5.0f, 0.0f}, {}, 0.0f, "Player 1", 1);
    runSeconds(0.3f);
    EXPECT_LT(distance(where(own), where(inAir)), 3.0f) << "falling freely it would still be 5 away";
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
    EXPECT_TRUE(untouched(shooter, shooterAt));
    EXPECT_TRUE(untouched(far, farAt));

    runSeconds(6.5f); // 9.5 s open
    EXPECT_EQ(active("BlackHoleBullet").size(), 1u);
    runSeconds(1.0f);
    EXPECT_TRUE(active("BlackHoleBullet").empty()) << "closed after 10 s";
    float hurt = victim->knockbackMultiplier;
    EXPECT_NEAR(hurt, 2.0f, 0.05f) << "ten seconds inside";
    runSeconds(1.0f);
    EXPECT_FLOAT_EQ(victim->knockbackMultiplier, hurt) << "no damage once closed";
}

TEST_F(SpecialBulletScene, BlackHoleSparesATankInItsRespawnBeam) {
    Player* respawning = groupedTank(2, 4.0f);
    SetTankEnabled(respawning->tank, false); // as the match leaves a tank that fell out
    respawning->respawning = 1;
    respawning->respawnTime = respawning->respawnTimeLeft = 5.0f;
    landNow(MakeBlackHoleBullet({0.0f, 2.0f}, {}, 0.0f, "Player 1"));
    runSeconds(1.0f);
    EXPECT_EQ(respawning->knockbackMultiplier, 1.0f);
    EXPECT_EQ(respawning->stunTimer, 0.0f);
}

TEST_F(SpecialBulletScene, ExpulsionPulsesOthersOutwardWithinItsReachEverySecond) {
    Player* shooter = groupedTank(1, -5.0f);
    Player* victim = groupedTank(2, 5.0f);
    Player* beyond = groupedTank(3, -12.0f);
    Player* centre = groupedTank(4, 0.0f);
    vec2 shooterAt = where(shooter);
    vec2 beyondAt = where(beyond);
    vec2 centreAt = where(centre);
    BasicBullet* own = MakeBasicBullet({3.0f, 5.0f}, {}, 0.0f, "Player 1", 1);
    run(1); // the bullet gets its world place
    landNow(MakeExpulsionBullet(WorldPosition2(centre->owner), {}, 0.0f, "Player 1"));
    run(3);
    EXPECT_GT(own->rigidBody->velocity.y, 10.0f) << "the shooter's own bullet is thrown up";
    setActive(own->owner, false); // so it cannot come down on a tank
    runSeconds(0.5f);
    EXPECT_GT(where(victim).x, 7.0f) << "thrown away from the centre";
    EXPECT_GE(victim->knockbackMultiplier, 1.1f - 1e-4f);

    runSeconds(12.0f);
    EXPECT_TRUE(active("ExpulsionBullet").empty());
    EXPECT_TRUE(untouched(shooter, shooterAt));
    EXPECT_TRUE(untouched(beyond, beyondAt));
    EXPECT_LT(distance(where(centre), centreAt), 0.05f) << "no push at the very centre";
    float pulses = (centre->knockbackMultiplier - 1.0f) / 0.1f;
    EXPECT_NEAR(pulses, std::round(pulses), 0.05f) << "0.1 per pulse";
    EXPECT_TRUE(std::round(pulses) == 11.0f || std::round(pulses) == 12.0f) << pulses;
}

// The push fades with the distance: a tank at the very edge of the reach is hardly moved.
TEST_F(SpecialBulletScene, AnExpulsionPulseFadesToNothingAtTheEdgeOfItsReach) {
    Player* middle = groupedTank(2, -5.0f);
    Player* edge = groupedTank(3, 9.9f); // the reach is 10
    landNow(MakeExpulsionBullet({0.0f, WorldPosition2(middle->owner).y}, {}, 0.0f, "Player 1"));
    run(2);
    const float kick = std::abs(middle->tank.rigidBody->velocity.x);
    EXPECT_GT(kick, 5.0f);
    EXPECT_LT(std::abs(edge->tank.rigidBody->velocity.x), 0.1f * kick);
}

TEST_F(SpecialBulletScene, RocketWarnsAlongItsPathThenComesFromThirtyUnitsBack) {
    vec2 from{0.0f, 10.0f};
    vec2 dir = NormalisedOrZero({1.0f, -1.0f}); // down and to the right
    landNow(MakeRocketBullet(from, dir, 20.0f, "Player 1"));
    run(1);
    ASSERT_EQ(active("Rocket Warning").size(), 1u);
    const Transform& strip = active("Rocket Warning")[0]->transform; // long along its local x axis
    float a = strip.rotation.z * kDegToRad;
    EXPECT_NEAR(cross(vec2{std::cos(a), std::sin(a)}, dir), 0.0f, 0.02f) << "the strip lies along the path";
    EXPECT_LT(distance({strip.position.x, strip.position.y}, from), 0.01f);

    runSeconds(1.2f);
    EXPECT_TRUE(active("Rocket Root").empty()) << "still warning";
    runSeconds(0.4f);
    EXPECT_TRUE(active("Rocket Warning").empty());
    ASSERT_EQ(active("Rocket Root").size(), 1u);
    GameObject* rocket = active("Rocket Root")[0];
    vec2 start = from - dir * 30.0f;
    EXPECT_LT(distance(bodyOf(rocket)->position, start), 0.5f);
    EXPECT_NEAR(rocket->transform.rotation.z, -45.0f, 1.0f) << "its picture points along its path";
    runSeconds(6.0f);
    vec2 moved = bodyOf(rocket)->position - start;
    EXPECT_GT(dot(moved, dir), 5.0f);
    EXPECT_NEAR(cross(moved, dir), 0.0f, 0.2f) << "keeps to the line";
}

TEST_F(SpecialBulletScene, RocketSweepsATankStandingOnItsLine) {
    Player* victim = groupedTank(2, -20.0f);
    // Low enough to meet the tank, high enough to clear the ground.
    landNow(MakeRocketBullet({0.0f, 2.3f}, {1.0f, 0.0f}, 20.0f, "Player 1"));
    runSeconds(12.0f);
    EXPECT_GT(where(victim).x, -10.0f) << "carried along the line of fire";
    ASSERT_EQ(active("Rocket Root").size(), 1u);
    EXPECT_NEAR(bodyOf(active("Rocket Root")[0])->position.y, 2.3f, 0.3f) << "the tank barely deflects it";
}

// The thrust is a steady push in game time: a rocket keeps to the same path whether frames
// run three physics steps, one, or none at all, and in the slow motion of a match's end.
TEST_F(SpecialBulletScene, RocketFliesTheSamePathAtAnyFrameRate) {
    struct Rate {
        uint32_t ms;
        float timeScale;
    };
    const Rate rates[] = {{17, 1.0f}, {50, 1.0f}, {7, 1.0f}, {17, 0.25f}};
    const float checkpoints[] = {3.5f, 5.5f, 8.5f}; // game seconds from landing; it fires at 1.5
    std::vector<vec2> reference;
    for (const Rate& rate : rates) {
        FrameTimer::instance().setTimeScale(rate.timeScale);
        RocketBullet* shot = landNow(MakeRocketBullet({0.0f, 100.0f}, {1.0f, 0.0f}, 20.0f, "Player 1"));
        std::vector<vec2> path;
        float gameTime = 0.0f;
        for (float checkpoint : checkpoints) {
            while (gameTime < checkpoint) {
                run(1, rate.ms);
                gameTime += static_cast<float>(rate.ms) * 0.001f * rate.timeScale;
            }
            path.push_back(shot->rocketBody->position);
        }
        setActive(shot->rocketRoot, false);
        setActive(shot->owner, false);
        if (reference.empty()) {
            reference = path;
            EXPECT_NEAR(path.back().x - path.front().x, 0.5f * 0.5f * (49.0f - 4.0f), 0.5f)
                << "half a unit per second squared, as tuned at 60 fps";
            continue;
        }
        for (size_t i = 0; i < path.size(); ++i) {
            EXPECT_LT(distance(path[i], reference[i]), 2.5f)
                << rate.ms << " ms frames at time scale " << rate.timeScale << ", " << checkpoints[i] << " s";
        }
    }
    FrameTimer::instance().setTimeScale(1.0f);
}

TEST_F(SpecialBulletScene, ArtilleryRainsShellsAfterTheWarningUntilSeventyFiveOrFifteenSeconds) {
    ArtilleryBullet* capped = landNow(MakeArtilleryBullet({0.0f, 5.0f}, {}, 0.0f, 40.0f, "Player 1", 1));
    ArtilleryBullet* timed = landNow(MakeArtilleryBullet({100.0f, 5.0f}, {}, 0.0f, 40.0f, "Player 1", 1));
    timed->maxShells = 1000; // so only the clock can end it
    runSeconds(1.8f);
    EXPECT_EQ(count("ExplodingBullet"), 0u) << "nothing falls during the warning";
    std::set<GameObject*> seen;
    for (int frame = 0; frame < 60; ++frame) {
        run(1);
        for (GameObject* shell : active("ExplodingBullet")) {
            if (!seen.insert(shell).second) {
                continue;
            }
            // Seen after the frame's physics: a step or two of fall below the drop height.
            EXPECT_EQ(shell->group, "None") << "the shooter cannot set the shells off";
            EXPECT_TRUE(shell->transform.position.y > 38.0f && shell->transform.position.y <= 40.0f);
            EXPECT_NEAR(bodyOf(shell)->velocity.y, -50.0f, 0.5f);
        }
    }
    EXPECT_GE(shellsAround(0.0f), 5u) << "a shell every 0.10 to 0.15 s";
    EXPECT_EQ(shellsAround(0.0f) + shellsAround(100.0f), seen.size()) << "all within their zones";

    runSeconds(11.7f); // 14.5 s since they landed
    EXPECT_EQ(shellsAround(0.0f), 75u);
    EXPECT_FALSE(capped->owner->active);
    EXPECT_TRUE(timed->owner->active);
    EXPECT_EQ(active("Artillery Zone").size(), 1u) << "the spent one's zone is gone";
    runSeconds(1.0f);
    EXPECT_FALSE(timed->owner->active);
    EXPECT_TRUE(active("Artillery Zone").empty());
    size_t shells = shellsAround(100.0f);
    EXPECT_GT(shells, 75u);
    runSeconds(1.0f);
    EXPECT_EQ(shellsAround(100.0f), shells) << "no shells after the end";
}
