#include "physics/body_hash.hpp"

#include "physics/rigid_body.hpp"

#include <cstring>

uint64_t HashBodies() {
    uint64_t hash = 1469598103934665603ull; // FNV-1a, over the bytes of each value
    auto add = [&hash](float value) {
        uint32_t raw = 0;
        std::memcpy(&raw, &value, sizeof raw);
        for (int shift = 0; shift < 32; shift += 8) {
            hash = (hash ^ ((raw >> shift) & 0xffu)) * 1099511628211ull;
        }
    };
    for (const RigidBody2D* body : PhysicsBodies()) {
        for (float value : {body->position.x, body->position.y, body->velocity.x, body->velocity.y,
                            body->rotation, body->angularVelocity}) {
            add(value);
        }
    }
    return hash;
}
