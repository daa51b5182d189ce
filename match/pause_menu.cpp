#include "match/pause_menu.hpp"

// Placeholder until the pause menu is built.
PauseInputs ReadPauseInputs(const std::vector<Player*>&) {
    return {};
}
void PauseMenu::Build(GameObject*) {}
void PauseMenu::Update(PauseContext&) {}
