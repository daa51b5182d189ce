#pragma once

#include "engine/game_state.hpp"

// The first screen of the game.
class SplashGameState : public GameState {
public:
    ~SplashGameState() override;
    void Load() override;
    void Update() override;
    void Exit() override;

    float timer = 0.0f;
};
