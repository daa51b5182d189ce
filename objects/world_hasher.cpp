#include "objects/world_hasher.hpp"

#include <cstring>

// Low byte first, so a float hashes exactly as the bodies' hash has always hashed it.
void WorldHasher::addBytes(uint64_t raw, int count) {
    for (int i = 0; i < count; ++i) {
        hash = (hash ^ ((raw >> (8 * i)) & 0xffu)) * 1099511628211ull;
    }
}

void WorldHasher::add(float value) {
    uint32_t raw = 0;
    std::memcpy(&raw, &value, sizeof raw);
    addBytes(raw, 4);
}

void WorldHasher::add(uint32_t value) {
    addBytes(value, 4);
}

void WorldHasher::add(uint64_t value) {
    addBytes(value, 8);
}

void WorldHasher::add(vec2 value) {
    add(value.x);
    add(value.y);
}

void WorldHasher::add(vec3 value) {
    add(value.x);
    add(value.y);
    add(value.z);
}
