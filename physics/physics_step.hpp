#pragma once

// One fixed step of the whole physics world.
void PhysicsStep(float dt);
