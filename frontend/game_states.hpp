#pragma once

#include <cstdint>

class GameState;

// The game's own states by id: the splash (with its pictures), the main menu, the match and the
// map editor.
// The program hands this to the engine; null for any other id.
GameState* MakeGameState(uint32_t id);
