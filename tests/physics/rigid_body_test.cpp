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
    EXPECT_EQ((std::array{body->position.x, body->position.y, body->rotation}),
              (std::array{3.0f, 4.0f, 30.0f}));
    body->SetPosition(-1.0f, 2.0f);
    EXPECT_EQ((std::array{o->transform.position.x, o->transform.position.y, o->transform.position.z}),
              (std::array{-1.0f, 2.0f, 0.5f}));
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
