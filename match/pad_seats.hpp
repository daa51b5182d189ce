#pragma once

// Which pad each seat of a match plays with while pads come and go. A seat whose pad stops
// answering is missing; the match pauses for it and names it. When a pad turns up that no seat
// owns, the first missing seat takes it and plays on with its tank, lives and damage. A seat
// whose pad never answered since the match began is not missing: it simply reads nothing, as
// it always did, and its own pad is still its own when plugged in.

#include "platform/gamepad.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class PadSeats {
  public:
    // One entry per seat in player order: its pad 0..3, or any other number for a seat that
    // plays without one (a keyboard half, a computer, a replay).
    void Seat(const std::vector<uint32_t>& pads);

    struct Changes {
        std::vector<int> lost;                      // seats whose pad went this frame
        std::vector<std::pair<int, uint32_t>> took; // seats that have a pad again, and which
    };
    // Once per frame with the pads that answer now.
    Changes Follow(const std::array<bool, kMaxPads>& connected);

    bool Missing(int seat) const;
    bool AnyMissing() const;
    // "Player 2's pad is missing", or with several "Players 1 and 3: pads missing"; "" for none.
    std::string MissingText() const;

  private:
    struct SeatPad {
        uint32_t pad = kMaxPads;
        bool answered = false; // its pad has answered since the match began
        bool missing = false;
    };
    std::vector<SeatPad> seats;
    std::array<bool, kMaxPads> before{};
};
