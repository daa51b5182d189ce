#pragma once

// One number for where everything in the world is and how it moves: every body's position,
// velocity, rotation and spin, bit for bit, in the order the bodies were made. Two runs of a
// match that differ anywhere in the world give different numbers (online machines compare them
// to find out whether they still agree).

#include <cstdint>

class WorldHasher;

uint64_t HashBodies();

// Adds the bits of one more value to such a number, for a caller that hashes more than the bodies.
uint64_t HashValue(uint64_t hash, float value);

// Adds what the physics world carries from frame to frame beyond HashBodies: each body's
// switches, material, gravity, pending push and the contacts its behaviour reads next, and each
// collider's switches, mask and whether it touched something in the last step.
void HashPhysicsState(WorldHasher& hasher);
