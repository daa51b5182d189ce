#include "net/frame_clock.hpp"

void FrameClock::start(uint32_t nowMs) {
    running = true;
    startMs = nowMs;
    letGoUs = 0;
}

uint32_t FrameClock::due(uint32_t nowMs, uint32_t next) {
    if (!running) {
        return 0;
    }
    // The difference of two readings is right across a wrap of the clock; a reading from before
    // the start (a clock that stepped back) counts as the start itself.
    const uint32_t sinceMs = nowMs - startMs;
    const int64_t elapsedUs = (sinceMs > UINT32_MAX / 2 ? 0 : static_cast<int64_t>(sinceMs) * 1000) - letGoUs;
    const int64_t dueFrames = (elapsedUs < 0 ? 0 : elapsedUs * kOnlineFramesPerSecond / 1000000) + 1;
    const int64_t limit = static_cast<int64_t>(next) + kMaxCatchUpFrames;
    if (dueFrames <= limit) {
        return static_cast<uint32_t>(dueFrames);
    }
    // Behind by more than a catch-up: the frames past it are let go, as if the start were later.
    letGoUs += (dueFrames - limit) * 1000000 / kOnlineFramesPerSecond;
    return static_cast<uint32_t>(limit);
}
