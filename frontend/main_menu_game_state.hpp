#pragma once

#include "engine/game_state.hpp"

#include <string>
#include <vector>

class GameObject;

// The title screen and every screen reached from it: player selection, the tutorial, options,
// credits, the quit confirmation, the level select and the online screens (host or join, seats
// in all, the games on the local network). A scrolling background and a circular
// fade stay on screen throughout; the menu controller runs the screens.
class MainMenuGameState : public GameState {
  public:
    // Loads the menu's pictures and reads the maps.
    MainMenuGameState();
    // Unloads the menu's pictures.
    ~MainMenuGameState() override;
    void Load() override;
    void Update() override;
    void Exit() override;

    std::vector<std::string> mapNames;     // the map list, in level-select order
    std::vector<std::string> previewNames; // their preview pictures, as far as they load
    size_t shippedCount = 0;               // the first maps of the list come with the game
    GameObject* background = nullptr;
    GameObject* fadeOverlay = nullptr;
};
