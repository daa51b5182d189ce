#include "graphics/particle_pool.hpp"

ParticlePool& ParticlePool::instance() {
    static auto* pool = new ParticlePool();
    return *pool;
}

void ParticlePool::advance(float) {}

void ParticlePool::draw(Camera*) {}

void ParticlePool::clear() {}
