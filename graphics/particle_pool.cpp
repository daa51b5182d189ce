#include "graphics/particle_pool.hpp"

#include "graphics/camera.hpp"
#include "objects/resource_manager.hpp"

#include <GL/glew.h>
#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <string>

namespace {

// One textured unit square, as two triangles; the top-left corner shows the image's top-left.
constexpr float kQuadPositions[18] = {-0.5f, 0.5f, 0, 0.5f, -0.5f, 0, -0.5f, -0.5f, 0,
                                      -0.5f, 0.5f, 0, 0.5f, 0.5f,  0, 0.5f,  -0.5f, 0};
constexpr float kQuadCoords[12] = {0, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 1};

// For the program in use.
void setViewAndProjection(ShaderProgram* program, Camera* camera) {
    if (camera != nullptr) {
        program->setMatrix("view", camera->view.data());
        program->setMatrix("projection", camera->projection.data());
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
                          reinterpret_cast<void*>(offsetof(Instance, layer)));
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
    releaseLayers();
    gpuReady = false;
}

void ParticlePool::drawEachSeparately(Camera* camera) {
    if (!gpuReady) {
        return;
    }
    const ShaderProgram* inUse = nullptr;
    for (const Particle& p : particles) {
        if (!p.alive || p.shader == nullptr) {
            continue;
        }
        if (p.shader != inUse) {
            glUseProgram(p.shader->id);
            inUse = p.shader;
        }
        p.shader->setVec4("color", p.color.x, p.color.y, p.color.z, p.color.w);
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

void ParticlePool::releaseLayers() {
    for (const std::unique_ptr<LayerSet>& set : layerSets) {
        glDeleteTextures(1, &set->texture);
    }
    layerSets.clear();
}

void ParticlePool::copyLayers(LayerSet& set) {
    // Rebuilt whole when a picture joins: that happens a few times a match at most.
    if (set.texture == 0) {
        glGenTextures(1, &set.texture);
    }
    glBindTexture(GL_TEXTURE_2D_ARRAY, set.texture);
    glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA8, set.width, set.height,
                 static_cast<GLsizei>(set.pictures.size()), 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    std::vector<unsigned char> texels(static_cast<size_t>(set.width) * static_cast<size_t>(set.height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (size_t layer = 0; layer < set.pictures.size(); ++layer) {
        glBindTexture(GL_TEXTURE_2D, set.pictures[layer]);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glTexSubImage3D(GL_TEXTURE_2D_ARRAY, 0, 0, 0, static_cast<GLint>(layer), set.width, set.height, 1,
                        GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, set.minFilter);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAG_FILTER, set.magFilter);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_S, set.wrapS);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_T, set.wrapT);
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
}

std::pair<ParticlePool::LayerSet*, int> ParticlePool::layerOf(unsigned int picture) {
    // A picture is sampled by its own size and filters, which other draws may change (the sprite
    // pass samples its pictures unfiltered): its copy must be sampled the same way.
    LayerSet wanted;
    glBindTexture(GL_TEXTURE_2D, picture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &wanted.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &wanted.height);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &wanted.minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &wanted.magFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wanted.wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wanted.wrapT);
    glBindTexture(GL_TEXTURE_2D, 0);
    LayerSet* home = nullptr;
    for (const std::unique_ptr<LayerSet>& set : layerSets) {
        if (set->width == wanted.width && set->height == wanted.height &&
            set->minFilter == wanted.minFilter && set->magFilter == wanted.magFilter &&
            set->wrapS == wanted.wrapS && set->wrapT == wanted.wrapT) {
            home = set.get();
            break;
        }
    }
    if (home == nullptr) {
        layerSets.push_back(std::make_unique<LayerSet>(wanted));
        home = layerSets.back().get();
    }
    auto copied = std::find(home->pictures.begin(), home->pictures.end(), picture);
    if (copied != home->pictures.end()) {
        return {home, static_cast<int>(copied - home->pictures.begin())};
    }
    home->pictures.push_back(picture);
    copyLayers(*home);
    return {home, static_cast<int>(home->pictures.size()) - 1};
}

void ParticlePool::draw(Camera* camera) {
    if (separateDraws) {
        drawEachSeparately(camera);
        return;
    }
    if (!gpuReady || batchProgram == nullptr || !batchProgram->linked) {
        return;
    }
    const uint64_t generation = ResourceManager::instance().textureGeneration();
    if (generation != layersGeneration) {
        // Pictures came or went: a copied one may be gone and its name reused.
        releaseLayers();
        layersGeneration = generation;
    }
    // Particles are drawn in pool order, like one draw each would; a batch ends only where the
    // next particle's picture is in another array texture.
    LayerSet* batchSet = nullptr;
    auto flush = [&]() {
        if (instances.empty()) {
            return;
        }
        glUseProgram(batchProgram->id);
        setViewAndProjection(batchProgram.get(), camera);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D_ARRAY, batchSet != nullptr ? batchSet->texture : 0);
        batchProgram->setInt("images", 0);
        glBindBuffer(GL_ARRAY_BUFFER, batchInstances);
        glBufferData(GL_ARRAY_BUFFER, kParticleCount * sizeof(Instance), nullptr, GL_STREAM_DRAW);
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(instances.size() * sizeof(Instance)),
                        instances.data());
        glBindVertexArray(batchVao);
        glDrawArraysInstanced(GL_TRIANGLES, 0, 6, static_cast<GLsizei>(instances.size()));
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
        instances.clear();
    };
    seenPictures.clear();
    glActiveTexture(GL_TEXTURE0);
    for (const Particle& p : particles) {
        if (!p.alive || p.shader == nullptr) {
            continue;
        }
        LayerSet* set = batchSet;
        int layer = -1;
        if (p.texture == nullptr) {
            ResourceManager::instance().reportMissingTexture(p.textureName);
        } else {
            auto known = std::find_if(seenPictures.begin(), seenPictures.end(),
                                      [&](const SeenPicture& s) { return s.texture == p.texture; });
            if (known == seenPictures.end()) {
                auto [home, at] = layerOf(p.texture->getNativeHandle());
                seenPictures.push_back({p.texture, home, at});
                known = seenPictures.end() - 1;
            }
            set = known->set;
            layer = known->layer;
        }
        if (set != batchSet) {
            flush();
            batchSet = set;
        }
        Instance instance;
        mat4 model = modelMatrix(p).transposed();
        std::memcpy(instance.model, model.data(), sizeof instance.model);
        instance.color[0] = p.color.x;
        instance.color[1] = p.color.y;
        instance.color[2] = p.color.z;
        instance.color[3] = p.color.w;
        instance.layer = static_cast<float>(layer);
        instances.push_back(instance);
    }
    flush();
}
