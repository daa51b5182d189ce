#pragma once

// The waiting screen of an online game, before and between matches: the seats (here, on another
// machine with its round trip, a computer, or free), the map, lives and time of the host's
// matches, where friends join, and what happens next. The session's network runs from here; when
// the host starts a match every machine leaves for it at once, and after the podium every
// machine comes back; the next match starts when the host's players ask for it with the rematch
// key (R, Numpad 9, a pad's Y). Escape leaves the online game for the title.

#include "engine/game_state.hpp"

#include <cstdint>
#include <string>
#include <vector>

class GameObject;

class WaitingScreenState : public GameState {
  public:
    void Load() override;
    void Update() override;
    void Exit() override;

    std::vector<GameObject*> lines; // the screen's lines of text, top to bottom
};

// The line a host shows its friends: how to join it, and which port to open.
std::string JoinLine(uint16_t port);
