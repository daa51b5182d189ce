#include "tests/physics/physics_scene.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace physics_test;

namespace {

RigidBody2D* makeBody(vec2 at) {
    GameObject* o = GameObjectList::instance().create("Thing");
    o->transform.setPosition(at.x, at.y, 0.25f);
    return o->addComponent<RigidBody2D>();
}

} // namespace

TEST(RigidBody, TakesItsPoseFromTheTransformAndKeepsItsDepth) {
    GameObject* o = GameObjectList::instance().create("Thing");
    o->transform.setPosition(3.0f, 4.0f, 0.5f);
    o->transform.setRotation(0.0f, 0.0f, 30.0f);
    RigidBody2D* body = o->addComponent<RigidBody2D>();
    EXPECT_EQ(o->addComponent<RigidBody2D>(), body);
    EXPECT_EQ((std::array{body->position.x, body->position.y, body->rotation}),
              (std::array{3.0f, 4.0f, 30.0f}));
    body->SetPosition(-1.0f, 2.0f);
    EXPECT_EQ((std::array{o->transform.position.x, o->transform.position.y, o->transform.position.z}),
              (std::array{-1.0f, 2.0f, 0.5f}));
    GameObjectList::instance().destroyAll();
    EXPECT_TRUE(PhysicsBodies().empty());
}

TEST(RigidBodyFalling, WithoutDampingVelocityGrowsWithGravity) {
    RigidBody2D* body = makeBody({0.0f, 0.0f});
    body->gravityScale = 2.0f;
    frames(60);
    EXPECT_NEAR(body->velocity.y, -9.8f * 2.0f * 60 * kStep, 1e-3f);
    EXPECT_FLOAT_EQ(body->velocity.x, 0.0f);
    // Velocity first, then position: the first step already moves the body.
    EXPECT_NEAR(body->position.y, -9.8f * 2.0f * kStep * kStep * (60 * 61 / 2), 1e-3f);
    EXPECT_FLOAT_EQ(body->owner->transform.position.y, body->position.y);
}

TEST(RigidBody, ForceAndTorqueLastOneStep) {
    RigidBody2D* body = makeBody({0.0f, 0.0f});
    body->gravityScale = 0.0f;
    body->inverseMass = 0.5f;
    body->inverseInertia = 3.0f;
    body->linearDamping = 0.5f;
    body->velocity = {10.0f, 0.0f};
    body->force = {10.0f, 0.0f};
    body->torque = 2.0f;
    frame();
    // Damping comes before this step's push, so the push is not damped.
    EXPECT_FLOAT_EQ(body->velocity.x, 10.0f * std::pow(0.5f, kStep) + 10.0f * 0.5f * kStep);
    EXPECT_FLOAT_EQ(body->angularVelocity, 2.0f * 3.0f * kStep);
    EXPECT_FLOAT_EQ(body->force.x, 0.0f);
    EXPECT_FLOAT_EQ(body->torque, 0.0f);

    float v = body->velocity.x;
    float w = body->angularVelocity;
    frame();
    EXPECT_FLOAT_EQ(body->velocity.x, v * std::pow(0.5f, kStep)) << "no push the second time";
    EXPECT_FLOAT_EQ(body->angularVelocity, w * std::pow(0.95f, kStep));
    EXPECT_NEAR(body->owner->transform.rotation.z, body->rotation, 1e-6f);
}

TEST(RigidBodyOutOfPlay, KeepsItsVelocityAndStaysPut) {
    RigidBody2D* inactive = makeBody({0.0f, 0.0f});
    RigidBody2D* disabled = makeBody({5.0f, 0.0f});
    RigidBody2D* frozen = makeBody({10.0f, 0.0f});
    for (RigidBody2D* b : {inactive, disabled, frozen}) {
        b->velocity = {3.0f, 1.0f};
    }
    setActive(inactive->owner, false);
    disabled->setEnabled(false);
    frozen->simulated = false;
    frames(10);
    for (RigidBody2D* b : {inactive, disabled, frozen}) {
        EXPECT_FLOAT_EQ(b->velocity.x, 3.0f);
        EXPECT_FLOAT_EQ(b->velocity.y, 1.0f);
        EXPECT_FLOAT_EQ(b->owner->transform.position.y, 0.0f);
    }
    EXPECT_FLOAT_EQ(inactive->position.x, 0.0f);

    setActive(inactive->owner, true);
    frame();
    EXPECT_GT(inactive->position.x, 0.0f) << "it resumes from the stored velocity";
    EXPECT_NEAR(inactive->velocity.x, 3.0f, 1e-6f);
}

TEST(RigidBodyOutOfPlay, ForcesAreNotSavedUpWhileOutOfPlay) {
    RigidBody2D* body = makeBody({0.0f, 0.0f});
    body->gravityScale = 0.0f;
    RigidBody2D* disabled = makeBody({5.0f, 0.0f});
    disabled->gravityScale = 0.0f;
    frame();

    // Pushed, then switched off before the step: the step still clears the push.
    body->force = {50.0f, 0.0f};
    setActive(body->owner, false);
    frame();
    EXPECT_FLOAT_EQ(body->force.x, 0.0f);
    // Pushed while off for a step.
    body->force = {70.0f, 0.0f};
    frame();
    setActive(body->owner, true);
    body->force += vec2{10.0f, 0.0f};
    frame();
    EXPECT_FLOAT_EQ(body->velocity.x, 10.0f * kStep) << "only the push made after coming back counts";

    // Pushed while off, a step, then pushed again and switched on in the same frame: the push
    // since the last step counts, whichever comes first, the push or the switch.
    body->velocity = {};
    setActive(body->owner, false);
    frames(2);
    body->AddForce({30.0f, 0.0f});
    frame();
    body->AddForce({20.0f, 0.0f});
    body->AddTorque(1.0f);
    setActive(body->owner, true);
    frame();
    EXPECT_FLOAT_EQ(body->velocity.x, 20.0f * kStep);
    EXPECT_FLOAT_EQ(body->angularVelocity, 1.0f * kStep);

    disabled->setEnabled(false);
    disabled->force = {40.0f, 0.0f};
    frame();
    EXPECT_FLOAT_EQ(disabled->force.x, 0.0f);
    disabled->setEnabled(true);
    disabled->force = {10.0f, 0.0f};
    frame();
    EXPECT_FLOAT_EQ(disabled->velocity.x, 10.0f * kStep);
}
