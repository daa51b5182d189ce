#pragma once

// The game's one random source: the C generator, seeded once at start from the calendar time.
// Values are taken on a 0..32767 scale whatever the C library's RAND_MAX is, so every range
// sampled as rand / 32767 stays inside [min, max].

constexpr int kRandomMax = 32767;

// A value in 0..32767.
int gameRand();
// min + gameRand() / 32767 * (max - min), in single precision.
float randomRange(float min, float max);
// Seeds the generator with the current calendar time.
void seedRandom();
