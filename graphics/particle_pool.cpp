#include "graphics/particle_pool.hpp"

#include "graphics/camera.hpp"
#include "objects/resource_manager.hpp"

#include <GL/glew.h>
#include <SFML/Graphics/Texture.hpp>

#include <cstring>
#include <iostream>
#include <string>

namespace {

// One textured unit square, as two triangles; the top-left corner shows the image's top-left.
constexpr float kQuadPositions[18] = {-0.5f, 0.5f, 0, 0.5f, -0.5f, 0, -0.5f, -0.5f, 0,
                                      -0.5f, 0.5f, 0, 0.5f, 0.5f,  0, 0.5f,  -0.5f, 0};
constexpr float kQuadCoords[12] = {0, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 1};

// Textures one batched draw can choose between (the fragment program has a sampler for each).
constexpr int kBatchTextureSlots = 16;
const std::string kSlotNames[kBatchTextureSlots] = {"images[0]",  "images[1]",  "images[2]",  "images[3]",
                                                    "images[4]",  "images[5]",  "images[6]",  "images[7]",
                                                    "images[8]",  "images[9]",  "images[10]", "images[11]",
                                                    "images[12]", "images[13]", "images[14]", "images[15]"};

void setViewAndProjection(ShaderProgram* program, Camera* camera) {
    if (camera != nullptr) {
        camera->Apply(program);
    } else {
        // Through the program's matrix cache, like every other upload, so it never goes stale.
        mat4 identity = mat4::identity();
        program->setMatrix("view", identity.data());
        program->setMatrix("projection", identity.data());
    }
}

void makeQuad(unsigned int& vao, unsigned int& positions, unsigned int& coords) {
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &positions);
    glBindBuffer(GL_ARRAY_BUFFER, positions);
    glBufferData(GL_ARRAY_BUFFER, sizeof kQuadPositions, kQuadPositions, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
    glEnableVertexAttribArray(0);
    glGenBuffers(1, &coords);
    glBindBuffer(GL_ARRAY_BUFFER, coords);
    glBufferData(GL_ARRAY_BUFFER, sizeof kQuadCoords, kQuadCoords, GL_STATIC_DRAW);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 2 * sizeof(float), nullptr);
    glEnableVertexAttribArray(1);
}

} // namespace

ParticlePool::ParticlePool() = default;
ParticlePool::~ParticlePool() = default;

ParticlePool& ParticlePool::instance() {
    static auto* pool = new ParticlePool();
    return *pool;
}

Particle* ParticlePool::claimFreeSlot() {
    size_t start = cursor;
    while (particles[cursor].alive) {
        cursor = (cursor + 1) % kParticleCount;
        if (cursor == start) {
            return nullptr;
        }
    }
    Particle* p = &particles[cursor];
    p->alive = true;
    return p;
}

void ParticlePool::advance(float step) {
    for (Particle& p : particles) {
        if (!p.alive) {
            continue;
        }
        p.lifeLeft -= step;
        if (p.lifeLeft <= 0.0f) {
            p.alive = false;
            continue;
        }
        if (p.useGravity) {
            p.velocity.y += kParticleGravity * p.gravityScale * step;
        }
        p.velocity += p.acceleration * step;
        p.scale += p.scaleRate * step;
        p.scale.x = p.scale.x < 0.0f ? 0.0f : p.scale.x;
        p.scale.y = p.scale.y < 0.0f ? 0.0f : p.scale.y;
        p.rotation += p.spin * step;
        p.color.w -= p.fadeRate * step; // alpha may go below 0; the particle lives on
        p.position.x += p.velocity.x * step;
        p.position.y += p.velocity.y * step;
    }
}

void ParticlePool::clear() {
    for (Particle& p : particles) {
        p.alive = false;
    }
}

size_t ParticlePool::aliveCount() const {
    size_t n = 0;
    for (const Particle& p : particles) {
        n += p.alive ? 1 : 0;
    }
    return n;
}

mat4 ParticlePool::modelMatrix(const Particle& p) {
    return mat4::translation(p.position) * mat4::rotationZ(p.rotation * kDegToRad) *
           mat4::scaling({p.scale.x, p.scale.y, 1.0f});
}

void ParticlePool::initializeGpu() {
    if (gpuReady) {
        releaseGpu();
    }
    makeQuad(quadVao, quadPositions, quadCoords);
    makeQuad(batchVao, batchPositions, batchCoords);
    // Per-particle data: the model matrix in four columns, the colour, the texture slot.
    glGenBuffers(1, &batchInstances);
    glBindBuffer(GL_ARRAY_BUFFER, batchInstances);
    glBufferData(GL_ARRAY_BUFFER, kParticleCount * sizeof(Instance), nullptr, GL_STREAM_DRAW);
    for (int column = 0; column < 4; ++column) {
        GLuint attribute = 2 + static_cast<GLuint>(column);
        glVertexAttribPointer(
            attribute, 4, GL_FLOAT, GL_FALSE, sizeof(Instance),
            reinterpret_cast<void*>(offsetof(Instance, model) + column * 4 * sizeof(float)));
        glEnableVertexAttribArray(attribute);
        glVertexAttribDivisor(attribute, 1);
    }
    glVertexAttribPointer(6, 4, GL_FLOAT, GL_FALSE, sizeof(Instance),
                          reinterpret_cast<void*>(offsetof(Instance, color)));
    glEnableVertexAttribArray(6);
    glVertexAttribDivisor(6, 1);
    glVertexAttribPointer(7, 1, GL_FLOAT, GL_FALSE, sizeof(Instance),
                          reinterpret_cast<void*>(offsetof(Instance, slot)));
    glEnableVertexAttribArray(7);
    glVertexAttribDivisor(7, 1);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    batchProgram =
        ResourceManager::buildProgram("./shaders/Particle_Batch.vs", "./shaders/Particle_Batch.fs");
    instances.reserve(kParticleCount);
    gpuReady = true;
}

void ParticlePool::releaseGpu() {
    if (!gpuReady) {
        return;
    }
    GLuint buffers[] = {quadPositions, quadCoords, batchPositions, batchCoords, batchInstances};
    glDeleteBuffers(5, buffers);
    GLuint arrays[] = {quadVao, batchVao};
    glDeleteVertexArrays(2, arrays);
    quadVao = quadPositions = quadCoords = batchVao = batchPositions = batchCoords = batchInstances = 0;
    glDeleteProgram(batchProgram->id);
    batchProgram.reset();
    gpuReady = false;
}

void ParticlePool::drawEachSeparately(Camera* camera) {
    if (!gpuReady) {
        return;
    }
    for (const Particle& p : particles) {
        if (!p.alive || p.shader == nullptr) {
            continue;
        }
        glUseProgram(p.shader->id);
        glUniform4f(p.shader->uniform("color"), p.color.x, p.color.y, p.color.z, p.color.w);
        mat4 model = modelMatrix(p).transposed();
        p.shader->setMatrix("model", model.data());
        setViewAndProjection(p.shader, camera);
        glActiveTexture(GL_TEXTURE0);
        if (p.texture == nullptr) {
            ResourceManager::instance().reportMissingTexture(p.textureName);
            glBindTexture(GL_TEXTURE_2D, 0);
        } else {
            glBindTexture(GL_TEXTURE_2D, p.texture->getNativeHandle());
        }
        glBindVertexArray(quadVao);
        glDrawArrays(GL_TRIANGLES, 0, 6);
        glBindVertexArray(0);
    }
}

void ParticlePool::draw(Camera* camera) {
    if (separateDraws) {
        drawEachSeparately(camera);
        return;
    }
    if (!gpuReady || batchProgram == nullptr || !batchProgram->linked) {
        return;
    }
    // Particles are drawn in pool order, like one draw each would; a batch ends only when a
    // seventeenth distinct texture turns up.
    unsigned int slots[kBatchTextureSlots];
    int slotCount = 0;
    auto flush = [&]() {
        if (instances.empty()) {
            return;
        }
        glUseProgram(batchProgram->id);
        setViewAndProjection(batchProgram.get(), camera);
        for (int s = 0; s < slotCount; ++s) {
            glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(s));
            glBindTexture(GL_TEXTURE_2D, slots[s]);
            glUniform1i(batchProgram->uniform(kSlotNames[s]), s);
        }
        glActiveTexture(GL_TEXTURE0);
        glBindBuffer(GL_ARRAY_BUFFER, batchInstances);
        glBufferData(GL_ARRAY_BUFFER, kParticleCount * sizeof(Instance), nullptr, GL_STREAM_DRAW);
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(instances.size() * sizeof(Instance)),
                        instances.data());
        glBindVertexArray(batchVao);
        glDrawArraysInstanced(GL_TRIANGLES, 0, 6, static_cast<GLsizei>(instances.size()));
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        instances.clear();
        slotCount = 0;
    };
    for (const Particle& p : particles) {
        if (!p.alive || p.shader == nullptr) {
            continue;
        }
        unsigned int handle = 0;
        if (p.texture == nullptr) {
            ResourceManager::instance().reportMissingTexture(p.textureName);
        } else {
            handle = p.texture->getNativeHandle();
        }
        int slot = -1;
        for (int s = 0; s < slotCount; ++s) {
            if (slots[s] == handle) {
                slot = s;
            }
        }
        if (slot < 0) {
            if (slotCount == kBatchTextureSlots) {
                flush();
            }
            slot = slotCount++;
            slots[slot] = handle;
        }
        Instance instance;
        mat4 model = modelMatrix(p).transposed();
        std::memcpy(instance.model, model.data(), sizeof instance.model);
        instance.color[0] = p.color.x;
        instance.color[1] = p.color.y;
        instance.color[2] = p.color.z;
        instance.color[3] = p.color.w;
        instance.slot = static_cast<float>(slot);
        instances.push_back(instance);
    }
    flush();
}
