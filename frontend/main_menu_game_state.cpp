#include "frontend/main_menu_game_state.hpp"

void MainMenuGameState::Load() {}

void MainMenuGameState::Update() {}

void MainMenuGameState::Exit() {
    DestroyStateObjects();
}
