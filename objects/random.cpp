#include "objects/random.hpp"

#include <cstdlib>
#include <ctime>

// The high bits of glibc's generator are its best ones.
int gameRand() {
    return (std::rand() >> 16) & kRandomMax;
}

float randomRange(float min, float max) {
    return static_cast<float>(gameRand()) / 32767.0f * (max - min) + min;
}

void seedRandom() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
}
