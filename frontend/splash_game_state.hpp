#pragma once

#include "engine/game_state.hpp"

#include <cstdint>
#include <string>

class GameObject;

// The first screen of the game: the studio logo with the copyright line, the team logo, then
// the controls picture, each fading in and out over five seconds. From the second picture on
// a key or button press skips straight to the main menu.
class SplashGameState : public GameState {
  public:
    ~SplashGameState() override;
    void Load() override;
    void Update() override;
    void Exit() override;

    float timer = 0.0f; // seconds left of the current picture
    float alpha = 0.0f; // opacity of the picture and of the copyright line
    uint32_t stage = 0; // 0 studio logo, 1 team logo, 2 controls picture
    GameObject* image = nullptr;
    GameObject* notice = nullptr;
};

// The line under the studio logo: the release's year and the makers' name, as the build sets them.
std::string CopyrightNotice();
