#include "objects/frame_timer.hpp"

#include "platform/clock.hpp"

FrameTimer& FrameTimer::instance() {
    static auto* timer = new FrameTimer();
    return *timer;
}

void FrameTimer::reset() {
    fpsTimer = 0.0f;
    frameCount = 0;
    fps = 0.0f;
    dt = 0.0f;
    lastTick = GetTickCount();
}

void FrameTimer::tick() {
    uint32_t now = GetTickCount();
    // A signed difference, so a wrapped tick count still gives the right small step.
    dt = static_cast<float>(static_cast<int32_t>(now - lastTick)) / 1000.0f;
    lastTick = now;
    countFrame();
}

void FrameTimer::tickBy(uint32_t milliseconds) {
    dt = static_cast<float>(static_cast<int32_t>(milliseconds)) / 1000.0f;
    lastTick = GetTickCount();
    countFrame();
}

void FrameTimer::countFrame() {
    fpsTimer += dt;
    frameCount += 1;
    if (fpsTimer >= 1.0f) {
        fps = static_cast<float>(frameCount) / fpsTimer;
        fpsTimer = 0.0f;
        frameCount = 0;
    }
}
