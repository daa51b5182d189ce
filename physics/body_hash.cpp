#include "physics/body_hash.hpp"

#include "physics/rigid_body.hpp"

#include <cstring>

uint64_t HashValue(uint64_t hash, float value) {
    uint32_t raw = 0; // FNV-1a, over the bytes of the value
    std::memcpy(&raw, &value, sizeof raw);
    for (int shift = 0; shift < 32; shift += 8) {
        hash = (hash ^ ((raw >> shift) & 0xffu)) * 1099511628211ull;
    }
    return hash;
}

uint64_t HashBodies() {
    uint64_t hash = 1469598103934665603ull;
    for (const RigidBody2D* body : PhysicsBodies()) {
        for (float value : {body->position.x, body->position.y, body->velocity.x, body->velocity.y,
                            body->rotation, body->angularVelocity}) {
            hash = HashValue(hash, value);
        }
    }
    return hash;
}
