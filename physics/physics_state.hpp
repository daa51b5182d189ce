#pragma once

// What a saved state of the match carries of the physics world: every field a body and a collider
// carry from one step to the next (a body's contacts of the last step and the live set's own
// note of where it filed the body included), and the count of steps run, which a push given to a
// switched-off body is measured against. This step's manifolds and pairs and the colliders'
// bounds are not carried: a step makes them afresh before anything reads them.

#include <cstdint>

class Collider2D;
class RigidBody2D;
class StateArchive;

void CarryBodyState(StateArchive& archive, RigidBody2D& body);
void CarryColliderState(StateArchive& archive, Collider2D& collider);

// Nothing a step does changes the body any more: the live set has filed it asleep (its object is
// switched off and the step after that dropped its push) and it holds no contacts.
bool BodySettled(const RigidBody2D& body);

uint64_t PhysicsStepsRun();
// After bodies were put back from a saved state: the step count goes back, the live set is
// rebuilt from the registries, the bodies holding contacts are listed again, and this step's
// manifolds and pairs, which may name bodies gone since, are dropped.
void PhysicsStateRestored(uint64_t stepsRun);
