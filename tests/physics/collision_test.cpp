#include "tests/physics/physics_scene.hpp"

#include "physics/collide.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace physics_test;

namespace {

const std::vector<Manifold>& manifolds() {
    return CollisionWorld::instance().manifolds;
}

void expectVec(vec2 v, float x, float y, float tolerance = 1e-5f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
}

// Names of the objects a body touched in the last step, in contact order.
std::string touched(const RigidBody2D* body) {
    std::string out;
    for (const ContactRecord& r : body->contacts) {
        out += (out.empty() ? "" : " ") + r.other->owner->name;
    }
    return out;
}

} // namespace

// Exactly touching circles do not collide; overlapping ones do, and coincident centres push
// along x by the first circle's radius.
TEST(CircleContacts, TouchingIsNoContactAndCoincidentCentresPushAlongXByTheFirstRadius) {
    Ball first = makeBall({0.0f, 0.0f}, 1.0f, 0, "First");
    Ball second = makeBall({2.0f, 0.0f}, 1.0f, 0, "Second");
    detect();
    EXPECT_TRUE(manifolds().empty());
    EXPECT_FALSE(first.collider->collided || second.collider->collided);

    second.collider->radius = 0.7f;
    second.body->SetPosition(1.5f, 0.0f);
    detect();
    EXPECT_EQ(manifolds().size(), 1u);

    first.collider->radius = 0.5f;
    second.body->SetPosition(0.0f, 0.0f);
    detect();
    ASSERT_EQ(manifolds().size(), 1u);
    const Manifold& m = manifolds()[0];
    expectVec(m.normal, 1.0f, 0.0f);
    EXPECT_FLOAT_EQ(m.penetration, 0.5f);
    EXPECT_EQ(m.bodyA, second.body) << "the normal points from the first circle's body to the second's";
    EXPECT_TRUE(first.collider->collided && second.collider->collided);
}

TEST(GroupMasks, DecideWhoCanTouchWhom) {
    Tank redTank = makeTank({0.0f, 0.0f});
    Ball redBullet = makeBall({-0.8f, 0.0f}, 0.25f, 1, "RedBullet");
    Ball blueBullet = makeBall({0.4f, 0.3f}, 0.25f, 2, "BlueBullet");
    Ball crate = makeBall({10.0f, 0.0f}, 1.0f, 64, "Crate");
    makeBall({10.5f, 0.0f}, 1.0f, 64, "Crate2");
    Ball hole = makeBall({20.0f, 0.0f}, 1.0f, 0, "BlackHole");
    Ball redBullet2 = makeBall({20.5f, 0.0f}, 0.25f, 1, "RedBullet2");
    Ball blueBullet2 = makeBall({20.7f, 0.0f}, 0.25f, 2, "BlueBullet2");
    detect();
    EXPECT_EQ(touched(redBullet.body), "") << "a player's bullet passes through that player's tank";
    EXPECT_EQ(blueBullet.body->contacts.size(), 2u) << "another player's bullet hits two of its circles";
    EXPECT_EQ(touched(crate.body), "") << "crates never touch each other";
    EXPECT_EQ(touched(hole.body), "RedBullet2 BlueBullet2") << "group 0 touches everything";
    EXPECT_EQ(touched(redBullet2.body), "BlackHole BlueBullet2") << "bullets of different players collide";
    EXPECT_EQ(touched(blueBullet2.body), "BlackHole RedBullet2");
    EXPECT_EQ(touched(redTank.body), "BlueBullet BlueBullet");
}

TEST(BoxContacts, TwoBoxesNeverCollide) {
    Block a = makePlatform({0.0f, 0.0f}, {4.0f, 1.0f});
    Block b = makePlatform({1.0f, 0.2f}, {4.0f, 1.0f});
    a.collider->groupMask = b.collider->groupMask = 0;
    detect();
    EXPECT_TRUE(manifolds().empty());
}

TEST(BoxContacts, CircleCentreInsideIsPushedOutThroughTheNearestFaceWithTwoPoints) {
    Block box = makePlatform({0.0f, 0.0f}, {4.0f, 2.0f});
    Ball ball = makeBall({0.5f, 0.7f}, 0.5f);
    detect();
    ASSERT_EQ(manifolds().size(), 1u);
    const Manifold& m = manifolds()[0];
    EXPECT_EQ(m.bodyA, box.body) << "the box comes first";
    EXPECT_EQ(m.bodyB, ball.body);
    expectVec(m.normal, 0.0f, -1.0f);
    EXPECT_NEAR(m.penetration, 0.8f, 1e-6f) << "radius minus the (negative) separation";
    ASSERT_EQ(m.points.size(), 2u);
    expectVec(m.points[1], 0.5f, 0.2f);

    // The full depth is corrected in one step: the ball ends resting on the top face.
    PhysicsStep(kStep);
    EXPECT_NEAR(ball.body->position.y, 1.5f, 1e-5f);
    EXPECT_FLOAT_EQ(box.body->position.y, 0.0f);
}

TEST(BoxContacts, FacesAndCornersOfARotatedBox) {
    // Turned a quarter: 2 wide and 4 tall on screen. The circle overlaps its right side.
    makePlatform({0.0f, 0.0f}, {4.0f, 2.0f}, 90.0f);
    Ball ball = makeBall({1.3f, 0.0f}, 0.5f);
    detect();
    ASSERT_EQ(manifolds().size(), 1u);
    expectVec(manifolds()[0].normal, -1.0f, 0.0f);
    EXPECT_NEAR(manifolds()[0].penetration, 0.2f, 1e-5f);
    ASSERT_EQ(manifolds()[0].points.size(), 1u);
    expectVec(manifolds()[0].points[0], 0.8f, 0.0f);

    // Near the top-right corner (1, 2): the corner is the contact point.
    ball.body->SetPosition(1.3f, 2.3f);
    detect();
    ASSERT_EQ(manifolds().size(), 1u);
    expectVec(manifolds()[0].normal, -0.70710677f, -0.70710677f);
    expectVec(manifolds()[0].points[0], 1.0f, 2.0f);
    EXPECT_NEAR(manifolds()[0].penetration, 0.2f, 1e-5f) << "depth measured from the face, not the corner";

    // Bounds overlap, but the corner is out of reach: nothing at all.
    ball.body->SetPosition(1.4f, 2.4f);
    detect();
    EXPECT_TRUE(manifolds().empty());
    EXPECT_FALSE(ball.collider->collided);
}

TEST(Colliders, FindTheirBodyUpTheTreeAndNeverTestAgainstTheirOwnBody) {
    Tank tank = makeTank({0.0f, 0.0f});
    for (CircleCollider* c : tank.circles) {
        EXPECT_EQ(c->rigidBody, tank.body);
    }
    Block ground = makePlatform({0.0f, -0.9f}, {10.0f, 1.0f});
    detect();
    // Three lower circles on the ground, in list order, all one pair of bodies.
    ASSERT_EQ(manifolds().size(), 3u);
    ASSERT_EQ(CollisionWorld::instance().pairs.size(), 1u);
    const ContactPair& pair = CollisionWorld::instance().pairs[0];
    EXPECT_EQ(pair.manifolds.size(), 3u);
    EXPECT_EQ(pair.pointCount, 3u);
    EXPECT_EQ(pair.bodyA, ground.body);
    ASSERT_EQ(tank.body->contacts.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(tank.body->contacts[i].self, tank.circles[i]);
    }
}

TEST(Colliders, OneWithoutAnyBodyTakesNoPart) {
    Ball ball = makeBall({0.0f, 0.0f}, 1.0f);
    GameObjectList::instance().create("Loose")->addComponent<CircleCollider>();
    frames(3);
    EXPECT_TRUE(ball.body->contacts.empty());
}

TEST(Colliders, LeftOverCollidersAreDeletedOnceAtShutdown) {
    Ball ball = makeBall({0.0f, 0.0f}, 1.0f);
    makeBall({0.5f, 0.0f}, 1.0f);
    frame();
    DestroyRemainingColliders();
    EXPECT_TRUE(CollisionWorld::instance().colliders.empty());
    EXPECT_EQ(ball.object->getComponent<CircleCollider>(), nullptr);
    frame();
    GameObjectList::instance().destroyAll(); // the objects do not delete them again
    EXPECT_TRUE(PhysicsBodies().empty());
}

// Gameplay switches shapes off and on by writing their flags; a shape switched back on takes
// part in the very next step.
TEST(ContactOrder, ShapesSwitchedBackOnByTheirFlagsTouchAgain) {
    Ball a = makeBall({0, 0}, 1.0f);
    Ball b = makeBall({1.5f, 0}, 1.0f);
    Ball c = makeBall({-1.5f, 0}, 1.0f);
    b.collider->enabled = false;
    c.object->active = false;
    frame();
    b.collider->enabled = true;
    c.object->active = true;
    detect();
    EXPECT_EQ(a.body->contacts.size(), 2u) << "both are back in play";
}
