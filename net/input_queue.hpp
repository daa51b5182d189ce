#pragma once

// Every seat's actions as a rollback machine simulates them: the frames its machine has told are
// known for good (the lockstep's table), and a frame not yet told is predicted as the seat's last
// known actions, held on (idle before any are known). Each prediction is noted, so that when the
// real actions come the first frame that was simulated on a wrong guess is found, and the frames
// from it are simulated again.

#include "net/lockstep.hpp"

#include <array>
#include <cstdint>
#include <deque>
#include <optional>

class InputQueue {
  public:
    explicit InputQueue(const Lockstep& known);

    // A seat's actions for a frame: as told, or predicted (and the guess noted).
    uint16_t actions(int seat, uint32_t frame);
    // Frames known for every seat, from 0: the frames before it are final.
    uint32_t confirmed() const;
    // The first frame simulated on a guess that what has come since contradicts, if any. Guesses
    // of frames now known are forgotten either way: each is checked once.
    std::optional<uint32_t> firstMisprediction();
    // The frames from this one on will be simulated again: their guesses are made anew.
    void forgetFrom(uint32_t frame);
    // Guesses outstanding for a seat (of frames not yet known).
    size_t guessesOf(int seat) const { return guesses[static_cast<size_t>(seat)].size(); }

  private:
    struct Guess {
        uint32_t frame;
        uint16_t bits;
    };
    const Lockstep& table;
    std::array<std::deque<Guess>, kMaxSeats> guesses; // in frame order, per seat
};
