#pragma once

#include "engine/game_state.hpp"

// The title screen and every screen reached from it.
class MainMenuGameState : public GameState {
  public:
    void Load() override;
    void Update() override;
    void Exit() override;
};
