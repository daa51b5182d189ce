#pragma once

#include <cstdint>

// The frame clock: whole milliseconds from a monotonic source. Tests swap in a
// ManualClock to run exact frames (16 ms, 0 ms, a 500 ms stall).
class MillisecondClock {
  public:
    virtual ~MillisecondClock() = default;
    virtual uint32_t now() = 0;
};

class SteadyClock : public MillisecondClock {
  public:
    uint32_t now() override;
};

class ManualClock : public MillisecondClock {
  public:
    explicit ManualClock(uint32_t start = 1000) : ticks(start) {}
    uint32_t now() override { return ticks; }
    void advance(uint32_t milliseconds) { ticks += milliseconds; }
    uint32_t ticks;
};

// The clock every timing read goes through; a steady clock unless a test sets another.
// Passing null restores the steady clock.
void setFrameClock(MillisecondClock* clock);
uint32_t GetTickCount();
