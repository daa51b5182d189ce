#include "net/frame_clock.hpp"

void FrameClock::start(uint32_t nowMs) {
    running = true;
    startUs = static_cast<int64_t>(nowMs) * 1000;
}

uint32_t FrameClock::due(uint32_t nowMs, uint32_t next) {
    if (!running) {
        return 0;
    }
    const int64_t nowUs = static_cast<int64_t>(nowMs) * 1000;
    const int64_t elapsed = nowUs - startUs;
    const int64_t dueFrames = (elapsed < 0 ? 0 : elapsed * kOnlineFramesPerSecond / 1000000) + 1;
    const int64_t limit = static_cast<int64_t>(next) + kMaxCatchUpFrames;
    if (dueFrames <= limit) {
        return static_cast<uint32_t>(dueFrames);
    }
    // Behind by more than a catch-up: the clock starts later by the frames let go.
    startUs += (dueFrames - limit) * 1000000 / kOnlineFramesPerSecond;
    return static_cast<uint32_t>(limit);
}
