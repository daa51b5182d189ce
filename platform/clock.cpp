#include "platform/clock.hpp"

#include <chrono>

namespace {

MillisecondClock* currentClock = nullptr;

} // namespace

uint32_t SteadyClock::now() {
    using namespace std::chrono;
    // Wraps after 49 days, like the tick count it stands in for; differences stay right.
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void setFrameClock(MillisecondClock* clock) {
    currentClock = clock;
}

uint32_t GetTickCount() {
    static SteadyClock steady;
    return currentClock != nullptr ? currentClock->now() : steady.now();
}
