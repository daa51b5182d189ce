#pragma once

// What an online session needs of the game, so the session runs the same with the real game
// (net/game_side.hpp) and with none at all (the tests' machines that only exchange actions).

#include "net/packet_codec.hpp"

#include <cstdint>
#include <optional>

class OnlineGame {
  public:
    virtual ~OnlineGame() = default;
    // A match starts: its settings from the lineup, this machine's seats on this machine's
    // controls, and the play state asked for (the session is the frame pacer from then on).
    virtual void startMatch(const StartMessage& start, uint8_t self) = 0;
    // Once per rendered frame while playing: this machine's controls.
    virtual void readLocalInput() = 0;
    // The packed actions of one of this machine's seats for the next frame it acts in; idle while
    // menuOpen for a person's seat.
    virtual uint16_t sample(int seat, bool menuOpen) = 0;
    // The hash of everything the match carries from frame to frame (see HashWorld) after a frame;
    // none from a machine that has no world (the tests' machines that only exchange actions).
    virtual std::optional<uint64_t> worldHash() = 0;
    // A seat's machine went: the host's computer plays it on (here when playedHere).
    virtual void seatTakenOver(int seat, bool playedHere) = 0;
    // Rollback: keep the world as it stands as the state before the frame is simulated, and put
    // it back (false when it cannot). A game that never rolls back need not keep anything.
    virtual void saveFrame(uint32_t) {}
    virtual bool loadFrame(uint32_t) { return false; }
    // The frames before this one were simulated with the actions every machine has, for good
    // (what a recording keeps).
    virtual void framesFinal(uint32_t) {}
    // The match is over for this machine: leave it, for the waiting screen or, when the session
    // has closed, for the title.
    virtual void leaveMatch(bool toTitle) = 0;
};
