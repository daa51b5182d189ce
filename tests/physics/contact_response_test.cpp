#include "physics/contact_response.hpp"
#include "tests/physics/physics_scene.hpp"

#include <gtest/gtest.h>

using namespace physics_test;

// Slow contacts do not bounce (a tank comes to rest); faster ones bounce with the smaller of the
// two restitutions (the ball's default 0.2 against the platform's 0.5).
TEST(Restitution, SlowContactsDoNotBounceAndFastOnesWithTheSmallerRestitution) {
    // A ball just sunk 0.05 into the top of a platform, moving down at the given speed.
    auto landing = [](float downSpeed) {
        GameObjectList::instance().destroyAll();
        makePlatform({0.0f, 0.0f}, {10.0f, 1.0f});
        RigidBody2D* ball = makeBall({0.0f, 0.95f}, 0.5f).body;
        ball->velocity = {0.0f, -downSpeed};
        frame();
        return ball->velocity.y;
    };
    EXPECT_NEAR(landing(1.9f), 0.0f, 1e-5f) << "below about 1.96 units per second nothing bounces";
    EXPECT_FLOAT_EQ(CollisionWorld::instance().manifolds[0].restitution, 0.0f);
    EXPECT_NEAR(landing(2.0f), 0.2f * 2.0f, 1e-5f);
}

TEST(Response, SeparatingBodiesGetNoImpulseButAreStillPulledApart) {
    Ball a = makeBall({0.0f, 0.0f}, 0.5f);
    Ball b = makeBall({0.9f, 0.0f}, 0.5f);
    a.body->velocity = {-1.0f, 0.0f};
    b.body->velocity = {1.0f, 0.0f};
    frame();
    EXPECT_FLOAT_EQ(a.body->velocity.x, -1.0f);
    EXPECT_FLOAT_EQ(b.body->velocity.x, 1.0f);
    // Depth 0.1 shared by two equal masses.
    EXPECT_NEAR(b.body->position.x - a.body->position.x, 0.9f + 2.0f * kStep + 0.1f, 1e-5f);
}

TEST(Response, ABodyThatDoesNotRespondStillSeesTheContactButIsNotPushed) {
    Ball ricochet = makeBall({0.0f, 0.0f}, 0.5f, 0, "RicochetBullet");
    ricochet.body->respondsToCollisions = false;
    ricochet.body->velocity = {4.0f, 0.0f};
    Ball target = makeBall({0.9f, 0.0f}, 0.5f, 0, "Target");
    frame();
    ASSERT_EQ(ricochet.body->contacts.size(), 1u);
    EXPECT_EQ(ricochet.body->contacts[0].other, target.collider);
    EXPECT_TRUE(ricochet.collider->collided);
    EXPECT_FLOAT_EQ(ricochet.body->velocity.x, 4.0f);
    EXPECT_FLOAT_EQ(ricochet.body->position.x, 4.0f * kStep) << "moved by its velocity only";
    // The target is pushed as if the ricochet had its unit mass: j = 1.2 * 4 / (1 + 1).
    EXPECT_NEAR(target.body->velocity.x, 2.4f, 1e-5f);
    EXPECT_NEAR(target.body->position.x, 0.9f + 2.4f * kStep + 0.05f, 1e-5f);
}

TEST(Response, PairsWhereNobodyRespondsOrNobodyCanMoveAreLeftAlone) {
    Ball a = makeBall({0.0f, 0.0f}, 0.5f);
    Ball b = makeBall({0.9f, 0.0f}, 0.5f);
    a.body->respondsToCollisions = false;
    b.body->respondsToCollisions = false;
    a.body->velocity = {4.0f, 0.0f};
    Ball c = makeBall({10.0f, 0.0f}, 0.5f);
    Ball d = makeBall({10.5f, 0.0f}, 0.5f);
    c.body->inverseMass = 0.0f;
    d.body->inverseMass = 0.0f;
    c.body->velocity = {3.0f, 0.0f};
    frame();
    EXPECT_EQ(a.body->contacts.size(), 1u);
    EXPECT_EQ(d.body->contacts.size(), 1u);
    EXPECT_FLOAT_EQ(a.body->velocity.x, 4.0f);
    EXPECT_FLOAT_EQ(c.body->velocity.x, 3.0f);
    for (const Ball& still : {b, d}) {
        EXPECT_EQ(still.body->velocity.x, 0.0f);
        EXPECT_EQ(still.body->position.x, still.object == b.object ? 0.9f : 10.5f);
    }
}

TEST(Response, DepthAndImpulseAreSharedByThePointsOfAPair) {
    // Two circles of one body, each 0.1 deep in the ground: each manifold corrects half its
    // depth, so the body rises by 0.1 once, not twice.
    GameObject* root = GameObjectList::instance().create("Twin");
    root->transform.setPosition(0.0f, 0.4f, 0.0f);
    RigidBody2D* body = root->addComponent<RigidBody2D>();
    body->gravityScale = 0.0f;
    body->inverseInertia = 0.0f;
    addChildCircle(root, {-1.0f, 0.0f}, 0.5f, 0);
    addChildCircle(root, {1.0f, 0.0f}, 0.5f, 0);
    body->velocity = {0.0f, -5.0f};
    makePlatform({0.0f, -0.5f}, {10.0f, 1.0f});
    frame();
    ASSERT_EQ(CollisionWorld::instance().pairs.size(), 1u);
    EXPECT_EQ(CollisionWorld::instance().pairs[0].pointCount, 2u);
    // One pass, each manifold's impulse halved, restitution 0.2: -5 -> -2 -> -0.8.
    EXPECT_NEAR(body->velocity.y, -5.0f + 1.2f * 5.0f / 2.0f + 1.2f * (5.0f - 3.0f) / 2.0f, 1e-4f);
    EXPECT_NEAR(body->position.y, 0.4f + body->velocity.y * kStep + 0.1f, 1e-5f);
}
