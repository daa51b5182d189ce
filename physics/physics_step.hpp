#pragma once

// The length of one fixed step of game time: the engine steps the world by it, and behaviour
// that pushes bodies scales its pushes to it.
inline constexpr float kFixedStep = 0.01666f;

// One fixed step of the whole physics world.
void PhysicsStep(float dt);

// Recomputes the world transforms of every object whose body takes part in the step (and of
// what hangs below them): what a further step in the same frame must detect from.
void RefreshBodyTransforms();

// Creates the body and collider registries (engine start).
void CreatePhysicsWorld();
// Deletes every collider still registered (engine shutdown; normally none are left).
void DestroyRemainingColliders();
