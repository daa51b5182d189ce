#pragma once

// One number for everything a match carries from one frame to the next: every body (HashBodies)
// and the rest of the physics world, every behaviour's own state, the match's phase, timers and
// crate schedule, the random generator, the engine's unspent step time and the time scale. Online
// machines compare it once a second; two worlds that differ in any of these give different
// numbers, whether or not a body has moved apart yet.
//
// Left out: what only shows or sounds (particles, screen effects, camera shake, the HUD, sounds,
// rumble), this machine's menus, pads and notices, and the computers' own decisions, which are
// made only on the machine that plays the seat and reach the others as actions.

#include <cstdint>

// The world of the running match, or of whatever the engine runs when it is no match.
uint64_t HashWorld();
