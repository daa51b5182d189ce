#pragma once

// When the frames of an online match are due: one every 1/60 s of real time from the match's
// first frame on, whatever this machine renders. Frames missed while the lockstep waited are
// caught up together, at most kMaxCatchUpFrames of them: past that the clock lets the rest go,
// as the engine's accumulator drops time past its clamp, so a long wait for another machine
// never ends in a long fast-forward.
//
// The millisecond clock wraps every 49.7 days: only differences of its readings are taken, so a
// match that runs across a wrap goes on as any other.

#include <cstdint>

constexpr uint32_t kOnlineFramesPerSecond = 60;
constexpr float kOnlineFrameSeconds = 1.0f / static_cast<float>(kOnlineFramesPerSecond);
constexpr uint32_t kMaxCatchUpFrames = 12;

class FrameClock {
  public:
    // The first frame is due at this moment.
    void start(uint32_t nowMs);
    bool started() const { return running; }
    // How many frames are due by now (frames 0 .. due - 1), given the next frame to simulate.
    uint32_t due(uint32_t nowMs, uint32_t next);
    // The frames from now on come due this much later (a machine ahead of the others slows down).
    void holdBack(uint32_t us) { letGoUs += us; }

  private:
    bool running = false;
    uint32_t startMs = 0; // the clock's reading when frame 0 was due
    int64_t letGoUs = 0;  // time since then that counts for no frame: frames let go
};
