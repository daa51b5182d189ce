#pragma once

// The lockstep of one online match, without sockets or clocks: every seat's actions for each
// frame as far as this machine has them, what to tell each other machine, and whether a frame may
// be simulated.
//
// Frames count from 0, the match's first. A machine samples its own seats for frame F + delay
// while frame F is due, so the first `delay` frames of every seat are idle on every machine and
// a round trip shorter than the delay never holds a frame up. A frame is simulated only once
// every seat's actions for it are known: nothing is ever guessed.
//
// An Inputs message carries, for each seat, every frame from the first the receiver has not
// acknowledged up to the last known (at most kMaxFramesPerRun of them), so a lost or late
// message is made good by the next one. The receiver keeps what continues what it has. The host
// relays: a client hears every other seat from the host and tells only the host its own.

#include "net/packet_codec.hpp"

#include <array>
#include <cstdint>
#include <vector>

// How far past the frame being simulated a seat's actions may reach: a machine honestly sends
// no more than two delays ahead, so anything further is refused rather than stored.
constexpr uint32_t kMaxFramesAhead = 240;

// Runs of actions a machine sent that were not kept, by why.
struct RunRefusals {
    int foreignSeat = 0;   // a seat the sender may not speak for
    int gap = 0;           // starting past frames not yet known
    int tooFarAhead = 0;   // reaching more than kMaxFramesAhead past the frame being simulated
    int contradiction = 0; // disagreeing with frames already known
    int total() const { return foreignSeat + gap + tooFarAhead + contradiction; }
    RunRefusals& operator+=(const RunRefusals& more) {
        foreignSeat += more.foreignSeat;
        gap += more.gap;
        tooFarAhead += more.tooFarAhead;
        contradiction += more.contradiction;
        return *this;
    }
};

class Lockstep {
  public:
    // self: this machine (kHostMachine for the host); seatMachines: who plays each seat;
    // seats: how many of them the match has.
    Lockstep(uint8_t self, const std::array<uint8_t, kMaxSeats>& seatMachines, int seats, uint32_t delay);

    uint8_t self() const { return me; }
    int seats() const { return seatCount; }
    uint32_t delay() const { return inputDelay; }
    uint8_t owner(int seat) const { return owners[static_cast<size_t>(seat)]; }

    // An action of one of this machine's seats for a frame. A frame already known keeps what it
    // has; frames skipped before it are idle.
    void putLocal(int seat, uint32_t frame, uint16_t bits);
    // The host plays a seat from now on, its machine having gone: from the first frame of it not
    // known, which it returns.
    uint32_t takeOver(int seat);

    // What to tell a machine now: the runs of frames it has not acknowledged, and what this
    // machine has heard of the seats that machine tells it.
    InputsMessage inputsFor(uint8_t machine) const;
    // What a machine told this one. Refused, and counted in the result by why, are runs of a seat
    // it may not tell (a client speaking for another's seat), runs that start past a gap or reach
    // too far ahead, and runs that contradict frames already known. A machine that has gone is
    // not listened to: nothing it says is kept, nor counted.
    RunRefusals take(uint8_t machine, const InputsMessage& message);
    // Whether the machine has acknowledged every frame this machine tells it.
    bool allAcknowledged(uint8_t machine) const;
    // The machine has gone: nothing more is sent to it.
    void forget(uint8_t machine);

    // The next frame to be simulated, as the scheduler moves on (bounds what take accepts).
    void setNextFrame(uint32_t frame) { nextFrame = frame; }
    bool ready(uint32_t frame) const;
    uint16_t actions(int seat, uint32_t frame) const;
    // Frames of the seat known from frame 0 without a gap.
    uint32_t known(int seat) const { return static_cast<uint32_t>(table[static_cast<size_t>(seat)].size()); }
    // The first seat whose actions for the frame are missing, or -1.
    int waitingFor(uint32_t frame) const;

  private:
    // Whether this machine tells the machine about the seat, and hears about it from the machine.
    bool tells(uint8_t machine, int seat) const;
    bool hears(uint8_t machine, int seat) const;

    uint8_t me;
    int seatCount;
    uint32_t inputDelay;
    uint32_t nextFrame = 0;
    std::array<uint8_t, kMaxSeats> owners{};
    std::array<std::vector<uint16_t>, kMaxSeats> table;
    // For each machine and seat: the first frame that machine has acknowledged not having.
    std::array<std::array<uint32_t, kMaxSeats>, kMaxClients + 1> acked{};
    std::array<bool, kMaxClients + 1> gone{};
};
