#pragma once

class Camera;

// The shared pool of short-lived sprites.
class ParticlePool {
public:
    static ParticlePool& instance();

    // Moves every live particle by step seconds of game time.
    void advance(float step);
    void draw(Camera* camera);
    // Kills every particle.
    void clear();
};
