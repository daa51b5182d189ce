// Computer players in small scenes: they keep to the platforms, land their shots, set off their
// own mines and get back onto the arena after being thrown off it.
#include "tests/gameplay/gameplay_scene.hpp"

#include "gameplay/bot.hpp"
#include "gameplay/explosion.hpp"
#include "gameplay/standard_bullets.hpp"
#include "gameplay/teams.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

using namespace gameplay_test;

namespace {

class BotScene : public Scene {
  protected:
    // A tank of its own group, standing where it is put.
    Player* tankAt(uint32_t player, vec2 at) {
        Player* p = makeTank(player, {at.x, at.y, 0.0f});
        SetTankGroup(p->tank, "Player " + std::to_string(player));
        return p;
    }
    // The first explosion made, spent or not.
    static const GameObject* firstExplosion() {
        for (const GameObject* o : GameObjectList::instance().objects()) {
            if (o->name == "Explosion") {
                return o;
            }
        }
        return nullptr;
    }
};

vec2 where(const Player* p) {
    return p->tank.rigidBody->position;
}
vec2 where(const GameObject* o) {
    return {o->transform.position.x, o->transform.position.y};
}

constexpr float kTankWidth = 2.6f;

} // namespace

TEST_F(BotScene, StopsAtThePlatformEdgeRatherThanDriveOverTheGapTowardsItsTarget) {
    makePlatform({0, -0.5f}, {20, 1}); // the ground runs from -10 to 10
    makePlatform({40, -0.5f}, {10, 1});
    Player* self = tankAt(1, {-4, 0.5f});
    Player* target = tankAt(2, {40, 0.5f});
    Bot bot(BotLevel::Normal, 3);
    self->actionSource = &bot;
    float farthest = where(self).x;
    for (int frame = 0; frame < 60 * 5; ++frame) {
        run(1);
        farthest = std::max(farthest, where(self).x);
    }
    EXPECT_GT(farthest, 4.0f) << "it drove towards the target across the gap";
    EXPECT_LT(farthest, 10.0f) << "but never hung its middle over the edge";
    EXPECT_NEAR(where(self).y, 0.5f, 0.1f) << "it is still on its platform";
    (void)target;
}

TEST_F(BotScene, LobsItsShotOverALedgeOntoATankStandingOnIt) {
    makePlatform({0, -0.5f}, {24, 1});
    makePlatform({14, 5.5f}, {6, 1}); // a ledge whose top is at 6, over the far end of the ground
    Player* self = tankAt(1, {-6, 0.5f});
    Player* target = tankAt(2, {14, 6.5f});
    Bot bot(BotLevel::Hard, 5);
    self->actionSource = &bot;
    for (int frame = 0; frame < 240 && firstExplosion() == nullptr; ++frame) {
        run(1);
    }
    const GameObject* blast = firstExplosion();
    ASSERT_NE(blast, nullptr) << "it fired";
    EXPECT_LT(length(where(blast) - where(target)), kTankWidth) << where(blast).x << " " << where(blast).y;
    EXPECT_GT(target->knockbackMultiplier, 1.0f) << "the target was hit";
}

TEST_F(BotScene, SetsOffItsMineOnlyOnceAnOpponentStandsBesideIt) {
    makePlatform({0, -0.5f}, {40, 1});
    Player* self = tankAt(1, {-14, 0.5f});
    Player* opponent = tankAt(2, {10, 0.5f});
    self->fireCooldown = 1000.0f; // it has no shot of its own to fire meanwhile
    StickyBullet* mine = MakeStickyBullet({0, 0.5f}, {0, -1}, 1.0f, "Player 1", 1);
    Bot bot(BotLevel::Normal, 2);
    self->actionSource = &bot;
    runSeconds(1.5f);
    ASSERT_TRUE(mine->stuck());
    EXPECT_TRUE(mine->owner->active) << "no opponent near it yet";

    // The opponent stands beside the mine without touching it (that would set it off anyway).
    opponent->tank.rigidBody->SetPosition(2.2f, 0.5f);
    runSeconds(1.0f);
    EXPECT_FALSE(mine->owner->active) << "set off";
    const GameObject* blast = firstExplosion();
    ASSERT_NE(blast, nullptr);
    EXPECT_EQ(blast->transform.scale.x, 5.0f) << "the owner's trigger, not a touch";
    EXPECT_GT(opponent->knockbackMultiplier, 1.0f);
    EXPECT_EQ(self->knockbackMultiplier, 1.0f);
}

TEST_F(BotScene, LandsBackOnItsPlatformUprightFromThrowsAllAround) {
    // Thrown from beside, below and above the right-hand edge of a small platform, moving in
    // (-8), still or further out (8).
    for (float x : {7.0f, 12.0f, 16.0f}) {
        for (float y : {-6.0f, -0.5f, 4.0f}) {
            for (float vx : {-8.0f, 0.0f, 8.0f}) {
                GameObjectList::instance().destroyAll();
                run(1);
                makePlatform({0, -0.5f}, {10, 1});
                Player* self = tankAt(1, {x, y});
                self->tank.rigidBody->velocity = {vx, 4.0f};
                Bot bot(BotLevel::Normal, 1);
                self->actionSource = &bot;
                float steepest = 0.0f;
                for (int frame = 0; frame < 240; ++frame) {
                    run(1);
                    steepest = std::max(steepest, std::abs(self->tank.rigidBody->rotation));
                }
                const std::string from =
                    "from (" + std::to_string(x) + ", " + std::to_string(y) + ") at " + std::to_string(vx);
                EXPECT_LT(std::abs(where(self).x), 5.0f) << from;
                EXPECT_NEAR(where(self).y, 0.5f, 0.2f) << from;
                EXPECT_LT(steepest, 45.0f) << from << ": it tipped over on the way";
            }
        }
    }
}

// Perched on a post between two stretches of ground under low roofs, it has no room to jump and
// no wall to go over: after its few seconds there it drives off the post's end, down to the
// ground.
TEST_F(BotScene, DropsOffAPerchUnderALowRoofRatherThanCampOnIt) {
    makePlatform({0, -10}, {40, 2}); // the ground, its top at -9
    for (float x : {-13.0f, -5.0f, 5.0f, 13.0f}) {
        makePlatform({x, -8}, {1.2f, 2}); // posts, their tops at -7
    }
    makePlatform({-9, -4}, {6, 0.8f}); // roofs
    makePlatform({9, -4}, {6, 0.8f});
    makePlatform({0, -0.5f}, {8, 0.8f});
    Player* self = tankAt(1, {-5, -6.5f});
    tankAt(2, {17, -8.5f});
    Bot bot(BotLevel::Normal, 7);
    self->actionSource = &bot;
    bool down = false;
    for (int frame = 0; frame < 60 * 10 && !down; ++frame) {
        run(1);
        down = where(self).y < -8.0f;
    }
    EXPECT_TRUE(down) << "it is still on the post, at " << where(self).x << " " << where(self).y;
}

// In a team match a computer's side are no targets, and its shots keep clear of them.
class TeamBotScene : public BotScene {
  protected:
    void SetUp() override {
        BotScene::SetUp();
        Teams::current() = Teams{true, true, AlternateTeams()}; // hits on: a stray shot would show
    }
    void TearDown() override {
        Teams::current() = Teams{};
        BotScene::TearDown();
    }
    // Seconds of play; the nearest any of player 1's shots came to the tank's body.
    float nearestShot(const Player* tank, float seconds) {
        float nearest = std::numeric_limits<float>::max();
        for (int frame = 0; frame < static_cast<int>(seconds * 60.0f); ++frame) {
            run(1);
            for (const GameObject* o : GameObjectList::instance().objects()) {
                if (o->active && o->tag == "Bullet" && o->group == "Player 1") {
                    nearest = std::min(nearest, length(where(o) - (where(tank) + vec2{0.0f, 0.6f})));
                }
            }
        }
        return nearest;
    }
};

TEST_F(TeamBotScene, NeverShootsAtATeammate) {
    makePlatform({0, -0.5f}, {30, 1});
    Player* self = tankAt(1, {-6, 0.5f});
    Player* teammate = tankAt(3, {6, 0.5f});
    Bot bot(BotLevel::Hard, 4);
    self->actionSource = &bot;
    runSeconds(4.0f);
    EXPECT_EQ(firstExplosion(), nullptr) << "nobody to shoot at";
    EXPECT_EQ(teammate->knockbackMultiplier, 1.0f);
    // The same two in a free-for-all: the other tank is a target at once.
    Teams::current().on = false;
    runSeconds(4.0f);
    EXPECT_NE(firstExplosion(), nullptr);
}

TEST_F(TeamBotScene, ShootsPastATeammateStandingInTheWay) {
    makePlatform({0, -0.5f}, {30, 1});
    Player* self = tankAt(1, {-10, 0.5f});
    Player* teammate = tankAt(3, {-4, 0.5f});
    Player* opponent = tankAt(2, {10, 0.5f});
    Bot bot(BotLevel::Hard, 6);
    self->actionSource = &bot;
    // A shot flies a little off its plan (the computer misjudges its charge), never into the body.
    EXPECT_GT(nearestShot(teammate, 8.0f), 1.0f) << "no shot passed through the teammate";
    EXPECT_GT(opponent->knockbackMultiplier, 1.0f) << "it found a way over to the opponent";
}
