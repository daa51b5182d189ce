#pragma once

// Keeping machines level in a rollback match. A machine whose frames run ahead of another's
// predicts that machine all the time (its actions always come late there) while the other is
// never kept waiting: the cost of the link falls on one side. Each machine works out its frame
// advantage over each machine it hears from, from what it has of that machine's seats:
//
//   advantage = next frame here - (frames known of its seats - input delay)
//
// which is how far ahead this machine is, plus the time its actions take to come. The machines
// tell each other theirs (Inputs messages carry it); half the difference of the two is how far
// ahead this one really is, the link's time cancelling out, as in GGPO's time sync. A machine
// ahead of every machine it hears from by a frame or more, on average over the last few
// measures, slows slightly (its frames come due a tenth later) until it is level again.

#include "net/lockstep.hpp"

#include <array>
#include <cstdint>
#include <optional>

// How many measures the advantage is averaged over, and how much later a frame comes due while
// this machine is ahead.
constexpr int kAdvantageMeasures = 30;
constexpr uint32_t kSlowdownUsPerFrame = 1000000 / 60 / 10;

class TimeSync {
  public:
    // This machine's advantage over a machine (frames), as it would tell it; none while it has
    // heard nothing of that machine's seats.
    static std::optional<int> advantageOver(const Lockstep& table, uint8_t machine, uint32_t nextFrame);

    // Both sides of a measure with a machine: this machine's advantage over it, and the one it
    // last told.
    void measure(uint8_t machine, int local, int remote);
    // A machine gone, or one that told nothing: its measures no longer count.
    void forget(uint8_t machine);
    // Frames this machine is ahead of the machine furthest ahead of those measured (averaged);
    // positive: it should slow down.
    double framesAhead() const;
    // Frame time to let pass this frame without a frame coming due (0 when level or behind).
    uint32_t slowdownUs() const { return framesAhead() >= 1.0 ? kSlowdownUsPerFrame : 0; }

  private:
    struct Measures {
        std::array<int, kAdvantageMeasures> ahead{}; // (local - remote), doubled
        int count = 0;
        int cursor = 0;
    };
    std::array<std::optional<Measures>, kMaxClients + 1> machines;
};
