#pragma once

// One fixed step of the whole physics world.
void PhysicsStep(float dt);

// Creates the body and collider registries (engine start).
void CreatePhysicsWorld();
// Deletes every collider still registered (engine shutdown; normally none are left).
void DestroyRemainingColliders();
