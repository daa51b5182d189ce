#pragma once

// Pad rumble, for the players who asked for it on the command line (--rumble): a short knock
// when a tank is hit, harder the more damage the hit did, and a long full shake when it loses a
// life. Only a person's pad rumbles; keyboards and computers have nothing to shake.

#include <cstdint>

class Player;

// One request to a pad's two motors, each 0..1: the heavy low one and the light high one.
struct RumblePulse {
    float low = 0.0f;
    float high = 0.0f;
    uint32_t milliseconds = 0;
};

// Off until the game is started with --rumble.
void SetRumbleEnabled(bool enabled);
bool RumbleEnabled();

// A hit that raised the knock-back multiplier by rise (0.1 is ten percent of damage). Even a
// hit that adds nothing (the multiplier at its ceiling) is felt, and no hit shakes as hard as a
// lost life.
RumblePulse HitRumble(float rise);
RumblePulse LifeLostRumble();

// Sends the pulse to the player's pad when rumble is on and a person plays the seat on a pad.
void RumbleFor(const Player& player, const RumblePulse& pulse);
