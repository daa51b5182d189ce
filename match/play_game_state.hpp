#pragma once

#include "engine/game_state.hpp"

// One match.
class PlayGameState : public GameState {
  public:
    void Load() override;
    void Update() override;
    void Exit() override;
};
