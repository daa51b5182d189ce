#pragma once

// Frame time, read by every subsystem that moves things. This header and random.hpp depend
// on nothing above the platform layer, so any folder may include them.

#include <cstdint>

class FrameTimer {
  public:
    static FrameTimer& instance();

    // Starts a fresh sample from the clock's current reading.
    void reset();
    // Reads the clock: dt from the previous reading, and the frames-per-second sample.
    void tick();
    // The same for a frame whose length is given rather than read (a recorded match played back).
    void tickBy(uint32_t milliseconds);
    void setTimeScale(float value) { timeScale = value; }
    // Game time of this frame.
    float scaledDt() const { return dt * timeScale; }

    float timeScale = 1.0f;
    float dt = 0.0f;
    uint32_t lastTick = 0;
    float fpsTimer = 0.0f;
    int32_t frameCount = 0;
    float fps = 0.0f;

  private:
    void countFrame(); // the frames-per-second sample
};
