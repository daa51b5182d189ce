#pragma once

// An online match as the play state sees it: every seat is played by the actions the machines
// agreed on (this machine's own players and computers included, since theirs too count only once
// every machine has them), the pause menu is this machine's alone and never stops the match, and
// the match goes back to the waiting screen after its podium. The online session provides it.

#include "gameplay/action_source.hpp"

#include <cstdint>
#include <string>
#include <vector>

class OnlinePlay {
  public:
    virtual ~OnlinePlay() = default;
    // The actions of every seat for the frame being simulated.
    virtual ActionSource& seatActions() = 0;
    // The podium stands (in the same frame on every machine): the ranks of players 1..n.
    virtual void podiumReached(const std::vector<int32_t>& ranks) = 0;
    // One line over the match for what the players here should know (who is being waited for,
    // who left and who plays on for them); "" for none.
    virtual std::string notice() const = 0;
    // What the pacing of the match costs, for the frame-rate line (rollbacks); "" for nothing.
    virtual std::string pacingLine() const { return {}; }
    // This machine's pause menu is open: its people play no actions meanwhile.
    virtual void setMenuOpen(bool open) = 0;
    // This machine's players left the match from the pause menu.
    virtual void leave() = 0;
    // This machine's players pressed the rematch key on the podium.
    virtual void askRematch() {}
    // What the podium says of the next match (who starts it, or the key that asks); "" for none.
    virtual std::string nextMatchLine() const { return {}; }
};
