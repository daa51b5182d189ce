#pragma once

// A match straight from the command line, without the menus (see frontend/command_line.hpp):
// players 1 and 2 play on the two keyboard halves, players 3 and 4 on the first two pads, each
// with the default choices of their player-selection panel; the last `bots` seats are computer
// players instead. When the match ends the game goes on to the main menu as usual.

#include <string>

struct QuickMatch {
    std::string map;
    int players = 2;
    int lives = 3;
    int seconds = 180;
    int bots = 0;                    // the last seats that computers play
    std::string botLevel = "normal"; // "easy", "normal" or "hard"
};

// Writes the match settings a quick match plays with.
void WriteQuickMatchSettings(const QuickMatch& match);
