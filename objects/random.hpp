#pragma once

// The game's one random source: an additive feedback generator of our own that draws exactly the
// numbers glibc's rand() draws after srand() with the same seed, seeded once at start from the
// calendar time and by every match from its seed. Its state can be read and written, so online
// machines can hash it and a rollback can put it back. Values are taken on a 0..32767 scale, so
// every range sampled as rand / 32767 stays inside [min, max].

#include <array>
#include <cstdint>

constexpr int kRandomMax = 32767;

// Everything the generator carries between draws: its 31 words and where the next draw adds.
struct RandomState {
    static constexpr uint32_t kWords = 31;
    std::array<uint32_t, kWords> words{};
    uint32_t front = 3; // the word the next draw adds to; the word added is 28 places on
    bool operator==(const RandomState&) const = default;
};

// glibc's TYPE_3 generator: r[i] = r[i - 31] + r[i - 3] (mod 2^32), each draw r[i] >> 1.
class RandomGenerator {
  public:
    explicit RandomGenerator(uint32_t seed = 1) { reseed(seed); }

    // As srand(seed): seed 0 acts as 1.
    void reseed(uint32_t seed);
    // As rand(): a value in 0..2^31 - 1.
    int32_t next();

    const RandomState& state() const { return current; }
    // Any state is taken; a front past the words is brought back among them.
    void setState(const RandomState& state);

  private:
    RandomState current;
};

// The generator the simulation draws from.
RandomGenerator& GameRandom();
// The generator of what only shows (particles, screen shake, the HUD's jitter): a frame simulated
// again after a rollback must draw the same numbers from the game's generator, so effects never
// draw from it. Not saved, not hashed, seeded once.
RandomGenerator& EffectsRandom();

// A value in 0..32767.
int gameRand();
// min + gameRand() / 32767 * (max - min), in single precision.
float randomRange(float min, float max);
// The same two from the effects' generator.
int effectsRand();
float effectsRange(float min, float max);
// Seeds the generator with the current calendar time.
void seedRandom();
// Seeds the generator with a fixed seed (a match's), as srand(seed) would.
void seedRandom(uint32_t seed);
