#include "physics/physics_step.hpp"

void PhysicsStep(float) {}

void CreatePhysicsWorld() {}

void DestroyRemainingColliders() {}
