#pragma once

#include "graphics/camera.hpp"

#include <cstdint>

namespace GameStateId {
constexpr uint32_t None = 0;
constexpr uint32_t Splash = 1;
constexpr uint32_t MainMenu = 2;
constexpr uint32_t Play = 3;
constexpr uint32_t Editor = 4;        // the map editor, only with --edit
constexpr uint32_t Restart = 6;       // leave the running state and enter the same object again
constexpr uint32_t Quit = 7;          // end the frame loop
constexpr uint32_t OnlineWaiting = 8; // the seats of an online match, before and between matches
} // namespace GameStateId

class GameState;

// Which state runs and which is wanted. Anyone may write next at any time during a frame;
// the last write wins and the engine switches at fixed points of the frame.
struct GameStateRecord {
    uint32_t current = GameStateId::None;
    uint32_t next = GameStateId::Splash;
    GameState* state = nullptr; // owned
};

// Asks the engine for another state at its next switch point.
void requestState(uint32_t id);

// One screen of the game: builds its objects on Load, runs each frame, tears down on Exit.
class GameState {
  public:
    GameState();
    virtual ~GameState() = default;
    GameState(const GameState&) = delete;
    GameState& operator=(const GameState&) = delete;

    virtual void Load() = 0;
    virtual void Update() = 0;
    // Once per rendered frame while the engine simulates in fixed frames of their own (an online
    // match, see FramePacer): what only this machine sees and does (its menus, its notices),
    // kept out of Update, which then runs once per simulated frame.
    virtual void LocalUpdate() {}
    // Shared by every state: clear to black and draw every renderer with this state's camera.
    virtual void Render();
    virtual void Exit() = 0;
    // The window's close button was pressed: true to quit now. A state holding work the player
    // would lose answers false, asks, and requests Quit itself when the player agrees.
    virtual bool CloseRequested() { return true; }

    Camera camera;
};

// What every Exit does to the object tree: destroy every object at once.
void DestroyStateObjects();
