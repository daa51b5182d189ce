#pragma once

// Which pad each seat of a match plays with while pads come and go. A seat whose pad stops
// answering is missing; the match pauses for it and names it. When a pad turns up that no seat
// owns, the first missing seat takes it and plays on with its tank, lives and damage. A pad that
// went between player selection and the match counts exactly as one lost in play: the seat is
// missing from the first frame. A seat that is out of the match needs no pad at all.

#include "platform/gamepad.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class PadSeats {
  public:
    // One entry per seat in player order: its pad 0..3, or any other number for a seat that
    // plays without one (a keyboard half, a computer, a replay); with the pads that answer as
    // the match begins.
    void Seat(const std::vector<uint32_t>& pads, const std::array<bool, kMaxPads>& connected);

    struct Changes {
        std::vector<int> lost;                      // seats whose pad went this frame
        std::vector<std::pair<int, uint32_t>> took; // seats that have a pad again, and which
    };
    // Once per frame with the pads that answer now.
    Changes Follow(const std::array<bool, kMaxPads>& connected);
    // The seat is out of the match: it is never missing again, and its pad belongs to nobody.
    void Leave(int seat);

    bool Missing(int seat) const;
    bool AnyMissing() const;
    // "Player 2's pad is missing", or with several "Players 1 and 3: pads missing"; "" for none.
    std::string MissingText() const;

  private:
    struct SeatPad {
        uint32_t pad = kMaxPads;
        bool missing = false;
    };
    std::vector<SeatPad> seats;
    std::array<bool, kMaxPads> before{};
};
