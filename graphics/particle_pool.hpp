#pragma once

// Short-lived sprites (stars, smoke, swirls, bursts) from one shared pool of 2000. Emitters
// spawn into it; the frame loop moves every live particle once per frame and the draw pass
// draws them after the world sprites. Particles outlive their emitters.

#include "objects/math_types.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class Camera;
struct ShaderProgram;
namespace sf {
class Texture;
}

struct Particle {
    bool alive = false;
    bool useGravity = false;
    float lifeLeft = 0.0f;
    vec3 position;
    vec2 velocity;
    vec2 scale;
    vec2 scaleRate;
    float rotation = 0.0f; // degrees about z
    float spin = 0.0f;     // degrees per second
    vec4 color;            // a is the current alpha
    float fadeRate = 0.0f;
    vec2 acceleration;
    float gravityScale = 0.0f;
    ShaderProgram* shader = nullptr;
    sf::Texture* texture = nullptr;
    const char* textureName = ""; // the emitter's, for reporting a missing picture
};

constexpr size_t kParticleCount = 2000;
constexpr float kParticleGravity = -9.8f;

class ParticlePool {
  public:
    ParticlePool();
    ~ParticlePool();
    static ParticlePool& instance();

    // The next free slot from the cursor on (the cursor stays on it), or null when all are alive.
    Particle* claimFreeSlot();
    // Ages and moves every live particle by step seconds of game time.
    void advance(float step);
    // Every live particle in one instanced draw, their pictures layers of one array texture (a
    // new draw only where consecutive particles' pictures differ in size or sampling).
    void draw(Camera* camera);
    // The same picture with one draw call per particle; kept to check the batched draw against.
    void drawEachSeparately(Camera* camera);
    void clear();
    size_t aliveCount() const;

    // GPU objects belong to one OpenGL context: built with the graphics manager and again after
    // every window re-creation.
    void initializeGpu();
    void releaseGpu();

    // How a particle is placed: translation x rotation about z x scale.
    static mat4 modelMatrix(const Particle& particle);

    std::array<Particle, kParticleCount> particles{};
    size_t cursor = 0;
    // Set while an online match simulates frames again (rollback): emitters make no particles
    // then, though their time runs, so a burst shows once, from its frame's first simulation,
    // and an explosion made anew when its frame is simulated again does not burst twice. What
    // the corrected frames no longer cause fades as it would have; what they cause anew shows
    // only from the present frame on.
    bool holdNew = false;
    // Draw one call per particle instead of the batch (to compare the two, and to measure).
    bool separateDraws = false;

  private:
    struct Instance {
        float model[16]; // column-major, as a uniform would carry it
        float color[4];
        float layer; // of the batch's array texture; -1 for no picture
    };
    // Copies of pictures of one size and one way of sampling, as the layers of an array texture.
    struct LayerSet {
        unsigned int texture = 0;
        int width = 0, height = 0;
        int minFilter = 0, magFilter = 0, wrapS = 0, wrapT = 0;
        std::vector<unsigned int> pictures; // the texture each layer copies
    };
    // The set and layer that hold a picture as it is sampled now; copied in when new.
    std::pair<LayerSet*, int> layerOf(unsigned int picture);
    void copyLayers(LayerSet& set);
    void releaseLayers();
    bool gpuReady = false;
    unsigned int quadVao = 0, quadPositions = 0, quadCoords = 0;
    unsigned int batchVao = 0, batchPositions = 0, batchCoords = 0, batchInstances = 0;
    std::unique_ptr<ShaderProgram> batchProgram; // ours alone: not one of the game's named programs
    std::vector<Instance> instances;
    std::vector<std::unique_ptr<LayerSet>> layerSets;
    // The pictures met so far in a draw and where their copies are, found without asking OpenGL.
    struct SeenPicture {
        const sf::Texture* texture;
        LayerSet* set;
        int layer;
    };
    std::vector<SeenPicture> seenPictures;
    uint64_t layersGeneration = 0; // the resource manager's texture generation the sets copy
};
