#include "objects/random.hpp"

#include <ctime>

namespace {

constexpr uint32_t kLag = 28; // the word added sits 28 places after the front (3 before it)

} // namespace

// The first words come from a Lehmer generator, x * 16807 mod (2^31 - 1), worked in 32-bit signed
// steps by Schrage's method as glibc works them (a seed past 2^31 - 1 enters as a negative number);
// then 310 draws are thrown away so the words are well mixed.
void RandomGenerator::reseed(uint32_t seed) {
    if (seed == 0) {
        seed = 1;
    }
    current.words[0] = seed;
    auto word = static_cast<int32_t>(seed);
    for (uint32_t i = 1; i < RandomState::kWords; ++i) {
        const int64_t hi = word / 127773;
        const int64_t lo = word % 127773;
        word = static_cast<int32_t>(16807 * lo - 2836 * hi);
        if (word < 0) {
            word += 2147483647;
        }
        current.words[i] = static_cast<uint32_t>(word);
    }
    current.front = 3;
    for (uint32_t i = 0; i < RandomState::kWords * 10; ++i) {
        next();
    }
}

int32_t RandomGenerator::next() {
    uint32_t& sum = current.words[current.front];
    sum += current.words[(current.front + kLag) % RandomState::kWords];
    current.front = (current.front + 1) % RandomState::kWords;
    return static_cast<int32_t>(sum >> 1);
}

void RandomGenerator::setState(const RandomState& state) {
    current = state;
    current.front %= RandomState::kWords;
}

RandomGenerator& GameRandom() {
    static RandomGenerator generator;
    return generator;
}

RandomGenerator& EffectsRandom() {
    static RandomGenerator generator;
    return generator;
}

namespace {

// The high bits of the generator are its best ones.
int drawFrom(RandomGenerator& generator) {
    return (generator.next() >> 16) & kRandomMax;
}

} // namespace

int gameRand() {
    return drawFrom(GameRandom());
}

float randomRange(float min, float max) {
    return static_cast<float>(gameRand()) / 32767.0f * (max - min) + min;
}

int effectsRand() {
    return drawFrom(EffectsRandom());
}

float effectsRange(float min, float max) {
    return static_cast<float>(effectsRand()) / 32767.0f * (max - min) + min;
}

void seedRandom() {
    seedRandom(static_cast<uint32_t>(std::time(nullptr)));
}

void seedRandom(uint32_t seed) {
    GameRandom().reseed(seed);
}
