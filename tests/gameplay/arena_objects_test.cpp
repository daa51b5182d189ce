// Platforms, the death border, crates and pick-ups, and the way from a crate to a special shot.
#include "tests/gameplay/gameplay_scene.hpp"

#include "engine/game_state.hpp"
#include "gameplay/arena_objects.hpp"
#include "gameplay/standard_bullets.hpp"
#include "graphics/renderer.hpp"
#include "physics/collider.hpp"

using namespace gameplay_test;

namespace {

class ArenaScene : public Scene {
  protected:
    Player* groupedTank(uint32_t player, float x) {
        Player* p = tankOnGround(player, x);
        SetTankGroup(p->tank, "Player " + std::to_string(player));
        return p;
    }
    // The pick-up made last (MakePickUp hands nothing back).
    static GameObject* newestPickUp() {
        std::vector<GameObject*> all = active("PickUpRoot");
        return all.empty() ? nullptr : all.back();
    }
    // Holds the shoot key long enough to charge a shot, then lets go.
    void chargeAndShoot() {
        hold(sf::Keyboard::T);
        runSeconds(0.3f);
        release(sf::Keyboard::T);
        run(2);
    }
};

bool auraShown(const Player* p) {
    return p->tank.pickUpAura->getComponent<SpriteRenderer>()->enabled;
}

bool touches(const RigidBody2D* body, const std::string& otherName) {
    for (const ContactRecord& c : body->contacts) {
        if (c.other->owner->name == otherName) {
            return true;
        }
    }
    return false;
}

} // namespace

// ---- Platforms and the border ----

TEST_F(ArenaScene, OverlappingPlatformsNeverTouchAndNothingMovesThem) {
    GameObject* left = makePlatform({0.0f, 0.0f}, {10.0f, 1.0f});
    GameObject* right = makePlatform({6.0f, 0.3f}, {6.0f, 1.0f}); // overlaps x 3 to 5
    Player* p = makeTank(1, {-2.0f, 6.0f, 0.0f});
    p->tank.rigidBody->velocity = {0.0f, -40.0f}; // slammed down
    MakeExplodingBullet({7.0f, 5.0f}, {0.0f, -1.0f}, 30.0f, "Player 2", 2);

    for (int frame = 0; frame < 60; ++frame) {
        run(1);
        for (const ContactRecord& c : bodyOf(left)->contacts) {
            ASSERT_NE(c.other->owner, right) << "frame " << frame;
        }
    }
    for (GameObject* platform : {left, right}) {
        EXPECT_FLOAT_EQ(bodyOf(platform)->position.x, platform == left ? 0.0f : 6.0f);
        EXPECT_FLOAT_EQ(bodyOf(platform)->position.y, platform == left ? 0.0f : 0.3f);
        EXPECT_FLOAT_EQ(bodyOf(platform)->rotation, 0.0f);
    }
    EXPECT_NEAR(p->tank.rigidBody->position.y, 1.0f, 0.1f) << "rests on the left platform's top";
}

TEST_F(ArenaScene, DeathBorderFramesTheBoundsAndStopsAFallingTank) {
    // Bounds left -40, right 40, top 30, bottom -20; margin 2, thickness 4.
    MakeDeathBorder(-40.0f, 40.0f, 30.0f, -20.0f, {0.0f, 0.0f, 0.0f}, 2.0f, 4.0f);
    run(1); // world places come in the frame's transform pass
    std::vector<GameObject*> zones = active("DeathZone");
    ASSERT_EQ(zones.size(), 4u);
    const vec3 expected[4][2] = {{{-44.0f, 0.0f, 0.0f}, {4.0f, 62.0f, 1.0f}},
                                 {{44.0f, 0.0f, 0.0f}, {4.0f, 62.0f, 1.0f}},
                                 {{0.0f, 34.0f, 0.0f}, {84.0f, 4.0f, 1.0f}},
                                 {{0.0f, -24.0f, 0.0f}, {84.0f, 4.0f, 1.0f}}};
    for (size_t i = 0; i < 4; ++i) {
        const Transform& t = zones[i]->transform;
        EXPECT_NEAR(t.worldPosition.x, expected[i][0].x, 1e-4f) << "border " << i;
        EXPECT_NEAR(t.worldPosition.y, expected[i][0].y, 1e-4f) << "border " << i;
        auto* box = zones[i]->getComponent<OBBCollider>();
        ASSERT_NE(box, nullptr);
        EXPECT_FLOAT_EQ(box->width, expected[i][1].x) << "border " << i;
        EXPECT_FLOAT_EQ(box->height, expected[i][1].y) << "border " << i;
    }

    Player* p = makeTank(1, {0.0f, -15.0f, 0.0f});
    bool hit = false;
    for (int frame = 0; frame < 120 && !hit; ++frame) {
        run(1);
        hit = touches(p->tank.rigidBody, "DeathZone");
    }
    EXPECT_TRUE(hit) << "the match looks for this contact to take a life";
    run(60);
    EXPECT_GT(p->tank.rigidBody->position.y, -23.0f) << "pushed back, not through";
    EXPECT_NEAR(zones[3]->transform.worldPosition.y, -24.0f, 1e-4f) << "the border never moves";
}

// ---- Crates ----

TEST_F(ArenaScene, CrateHitByTwoBulletsAtOnceOpensIntoOnePickUpInItsPlace) {
    makePlatform({0.0f, -0.5f}, {60.0f, 1.0f});
    Crate* crate = MakeCrate({0.0f, 1.0f, 0.0f}, {2.0f, 2.0f, 1.0f}, PickUpKind::Expulsion);
    run(30);
    vec2 at = crate->rigidBody->position;
    EXPECT_NEAR(at.y, 1.0f, 0.1f) << "rests on the ground";
    // Mirror images, so both touch the crate in the same step.
    MakeBasicBullet({-4.0f, 1.0f}, {1.0f, 0.0f}, 30.0f, "Player 1", 1);
    MakeBasicBullet({4.0f, 1.0f}, {-1.0f, 0.0f}, 30.0f, "Player 2", 2);
    size_t touching = 0; // bullets in the contacts the crate reads in the coming frame
    for (int frame = 0; frame < 30 && count("PickUpRoot") == 0; ++frame) {
        touching = 0;
        for (const ContactRecord& c : crate->rigidBody->contacts) {
            touching += c.other->owner->tag == "Bullet" ? 1 : 0;
        }
        run(1);
    }
    EXPECT_EQ(touching, 2u) << "both bullets met it in the same step";
    GameObject* pickUp = newestPickUp();
    ASSERT_NE(pickUp, nullptr);
    EXPECT_LT(length(bodyOf(pickUp)->position - at), 0.1f) << "where the crate was";
    EXPECT_EQ(pickUp->getComponent<PickUp>()->pickUpKind, PickUpKind::Expulsion);
    EXPECT_FALSE(static_cast<bool>(crate->owner->active));
    runSeconds(1.0f);
    EXPECT_EQ(count("PickUpRoot"), 1u);
}

TEST_F(ArenaScene, CratesNeverSpinAndFallThroughEachOther) {
    makePlatform({0.0f, -0.5f}, {60.0f, 1.0f});
    Crate* lower = MakeCrate({0.0f, 1.0f, 0.0f}, {2.0f, 2.0f, 1.0f}, PickUpKind::Artillery);
    Crate* upper = MakeCrate({0.0f, 6.0f, 0.0f}, {2.0f, 2.0f, 1.0f}, PickUpKind::Rocket);
    runSeconds(1.5f);
    EXPECT_NEAR(lower->rigidBody->position.y, 1.0f, 0.1f);
    EXPECT_NEAR(upper->rigidBody->position.y, lower->rigidBody->position.y, 0.2f)
        << "overlapping, not stacked";

    // Knocked into a spin as it rests: left alone, it would turn half a circle in this time.
    lower->rigidBody->angularVelocity = 360.0f;
    runSeconds(0.5f);
    EXPECT_LT(std::abs(lower->rigidBody->rotation), 0.5f);
}

// ---- Pick-ups ----

TEST_F(ArenaScene, OnlyTheTankThatTouchesAPickUpCollectsIt) {
    Player* p1 = groupedTank(1, -10.0f);
    Player* p2 = groupedTank(2, 10.0f);
    MakePickUp({10.0f, 6.0f, 0.0f}, PickUpKind::BlackHole); // still falling when it meets p2
    GameObject* falling = newestPickUp();
    MakePickUp({0.0f, 1.0f, 0.0f}, PickUpKind::Expulsion);
    GameObject* resting = newestPickUp();
    run(30);
    // From above, so the hit presses it into the ground instead of knocking it towards a tank.
    MakeBasicBullet({0.0f, 5.0f}, {0.0f, -1.0f}, 10.0f, "Player 1", 1);
    runSeconds(1.0f);

    EXPECT_FALSE(static_cast<bool>(falling->active));
    EXPECT_EQ(p2->pickUpKind, PickUpKind::BlackHole);
    EXPECT_TRUE(auraShown(p2));
    EXPECT_TRUE(static_cast<bool>(resting->active)) << "a bullet does not collect it";
    EXPECT_EQ(p1->pickUpKind, PickUpKind::None);
    EXPECT_FALSE(auraShown(p1));
}

TEST_F(ArenaScene, NewPickUpReplacesTheOneHeld) {
    Player* p = groupedTank(1, 0.0f);
    MakePickUp({0.0f, 5.0f, 0.0f}, PickUpKind::BlackHole);
    runSeconds(1.0f);
    ASSERT_EQ(p->pickUpKind, PickUpKind::BlackHole);
    MakePickUp({0.0f, 5.0f, 0.0f}, PickUpKind::Artillery);
    runSeconds(1.0f);

    EXPECT_EQ(p->pickUpKind, PickUpKind::Artillery);
    vec4 colour = p->tank.pickUpAura->getComponent<SpriteRenderer>()->color;
    EXPECT_NEAR(colour.x, 1.0f, 1e-4f) << "the artillery's orange";
    EXPECT_NEAR(colour.y, 0.65f, 1e-4f);
    EXPECT_NEAR(colour.z, 0.0f, 1e-4f);
}

TEST_F(ArenaScene, RocketPickUpIsInvisibleButArmsTheNextShot) {
    Player* p = groupedTank(1, 0.0f);
    MakePickUp({0.0f, 5.0f, 0.0f}, PickUpKind::Rocket);
    EXPECT_EQ(GameObjectList::instance().find("PickUpRenderer")->getComponent<SpriteRenderer>(), nullptr);
    runSeconds(1.0f);
    ASSERT_EQ(p->pickUpKind, PickUpKind::Rocket);
    EXPECT_TRUE(auraShown(p));

    chargeAndShoot();
    EXPECT_EQ(count("RocketBullet"), 1u);
    EXPECT_EQ(count("Bullet"), 0u) << "the turret's own bullet is not fired as well";
    EXPECT_EQ(p->pickUpKind, PickUpKind::None);
    EXPECT_FALSE(auraShown(p));
}

// A crate opened by another player's shot, the pick-up driven into, then one special shot.
TEST_F(ArenaScene, CratePickUpAuraAndSpecialShotInTurn) {
    Player* p = groupedTank(1, 0.0f);
    MakeCrate({5.0f, 1.0f, 0.0f}, {2.0f, 2.0f, 1.0f}, PickUpKind::Artillery);
    run(30);
    MakeBasicBullet({10.0f, 1.5f}, {-1.0f, 0.0f}, 20.0f, "Player 2", 2);
    runSeconds(1.0f);
    ASSERT_EQ(active("PickUpRoot").size(), 1u);
    EXPECT_EQ(p->pickUpKind, PickUpKind::None) << "the blast did not reach the tank";
    EXPECT_FALSE(auraShown(p));

    hold(sf::Keyboard::D);
    for (int frame = 0; frame < 120 && p->pickUpKind == PickUpKind::None; ++frame) {
        run(1);
    }
    release(sf::Keyboard::D);
    run(2);
    EXPECT_EQ(p->pickUpKind, PickUpKind::Artillery);
    EXPECT_TRUE(active("PickUpRoot").empty());
    EXPECT_TRUE(auraShown(p));

    chargeAndShoot();
    std::vector<GameObject*> shots = active("ArtilleryBullet");
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0]->group, "Player 1");
    EXPECT_EQ(p->pickUpKind, PickUpKind::None);
    EXPECT_FALSE(auraShown(p));
}
