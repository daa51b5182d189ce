// Crates and pick-ups, and the way from a crate to a special shot.
#include "tests/gameplay/gameplay_scene.hpp"

#include "gameplay/arena_objects.hpp"
#include "gameplay/standard_bullets.hpp"
#include "graphics/renderer.hpp"
#include "physics/collider.hpp"

#include <cmath>

using namespace gameplay_test;

namespace {

class ArenaScene : public Scene {};

bool auraShown(const Player* p) {
    return p->tank.pickUpAura->getComponent<SpriteRenderer>()->enabled;
}

size_t contactsWith(const RigidBody2D* body, const std::string& otherName) {
    size_t n = 0;
    for (const ContactRecord& c : body->contacts) {
        n += c.other->owner->name == otherName ? 1 : 0;
    }
    return n;
}

} // namespace

TEST_F(ArenaScene, CratesNeverSpinAndFallThroughEachOther) {
    makePlatform({0.0f, -0.5f}, {60.0f, 1.0f});
    Crate* lower = MakeCrate({0.0f, 1.0f, 0.0f}, {2.0f, 2.0f, 1.0f}, PickUpKind::Artillery);
    Crate* upper = MakeCrate({0.0f, 6.0f, 0.0f}, {2.0f, 2.0f, 1.0f}, PickUpKind::Rocket);
    runSeconds(1.5f);
    EXPECT_NEAR(lower->rigidBody->position.y, 1.0f, 0.1f);
    EXPECT_NEAR(upper->rigidBody->position.y, 1.0f, 0.2f) << "overlapping, not stacked";
    // Knocked into a spin as it rests: left alone, it would turn half a circle in this time.
    lower->rigidBody->angularVelocity = 360.0f;
    runSeconds(0.5f);
    EXPECT_LT(std::abs(lower->rigidBody->rotation), 0.5f);
}

// Two bullets open a crate at once, the pick-up is driven into, and it arms one special shot.
TEST_F(ArenaScene, CrateOpensIntoOnePickUpThatArmsOneSpecialShot) {
    Player* p = groupedTank(1, 0.0f);
    Crate* crate = MakeCrate({6.0f, 1.0f, 0.0f}, {2.0f, 2.0f, 1.0f}, PickUpKind::Artillery);
    Crate* onTank = MakeCrate({0.0f, 4.0f, 0.0f}, {2.0f, 2.0f, 1.0f}, PickUpKind::Expulsion);
    run(30);
    EXPECT_TRUE(onTank->owner->active) << "only a shot opens a crate, not a tank it lands on";
    vec2 at = crate->rigidBody->position;
    // Mirror images about the crate, so both touch it in the same step.
    MakeBasicBullet({2.0f, 1.0f}, {1.0f, 0.0f}, 30.0f, "Player 2", 2);
    MakeBasicBullet({10.0f, 1.0f}, {-1.0f, 0.0f}, 30.0f, "Player 3", 4);
    size_t touching = 0; // bullets in the contacts the crate reads in the coming frame
    for (int frame = 0; frame < 30 && count("PickUpRoot") == 0; ++frame) {
        touching = contactsWith(crate->rigidBody, "Bullet");
        run(1);
    }
    EXPECT_EQ(touching, 2u) << "both bullets met it in the same step";
    EXPECT_FALSE(crate->owner->active);
    std::vector<GameObject*> pickUps = active("PickUpRoot");
    ASSERT_EQ(pickUps.size(), 1u);
    EXPECT_LT(length(bodyOf(pickUps[0])->position - at), 0.1f) << "where the crate was";

    hold(sf::Keyboard::D); // into the pick-up
    runSeconds(1.0f);
    release(sf::Keyboard::D);
    EXPECT_EQ(p->pickUpKind, PickUpKind::Artillery);
    EXPECT_TRUE(active("PickUpRoot").empty());
    EXPECT_TRUE(auraShown(p));

    tap(sf::Keyboard::T); // a frame's charge: the shot goes off as the key comes up
    run(1);
    ASSERT_EQ(active("ArtilleryBullet").size(), 1u);
    EXPECT_EQ(active("ArtilleryBullet")[0]->group, "Player 1");
    EXPECT_FALSE(auraShown(p)) << "the pick-up is spent";
}

TEST_F(ArenaScene, OnlyATankCollectsAPickUpAndANewOneReplacesTheOneHeldEvenTheUnseenRocket) {
    Player* p1 = groupedTank(1, -10.0f);
    Player* p2 = groupedTank(2, 10.0f);
    p1->SetControlScheme(9);                                // no keys: only p2 fires
    MakePickUp({10.0f, 6.0f, 0.0f}, PickUpKind::BlackHole); // still falling when it meets p2
    MakePickUp({0.0f, 1.0f, 0.0f}, PickUpKind::Expulsion);
    run(30);
    // From above, so the hit presses it into the ground instead of knocking it towards a tank.
    MakeBasicBullet({0.0f, 5.0f}, {0.0f, -1.0f}, 10.0f, "Player 1", 1);
    runSeconds(1.0f);
    EXPECT_EQ(p2->pickUpKind, PickUpKind::BlackHole);
    EXPECT_EQ(active("PickUpRoot").size(), 1u) << "a bullet does not collect one";
    EXPECT_EQ(p1->pickUpKind, PickUpKind::None);

    MakePickUp({10.0f, 5.0f, 0.0f}, PickUpKind::Rocket);
    EXPECT_EQ(active("PickUpRenderer").back()->getComponent<SpriteRenderer>(), nullptr);
    runSeconds(1.0f);
    ASSERT_EQ(p2->pickUpKind, PickUpKind::Rocket);
    EXPECT_TRUE(auraShown(p2));
    tap(sf::Keyboard::T);
    run(1);
    EXPECT_EQ(count("RocketBullet"), 1u);
    EXPECT_TRUE(active("Bullet").empty()) << "the turret's own bullet is not fired as well";
    EXPECT_EQ(p2->pickUpKind, PickUpKind::None);
}
