#pragma once

// A match straight from the command line, without the menus:
//   Grumbo --match MAP [--players N] [--lives L] [--time SECONDS]
// Players 1 and 2 play on the two keyboard halves, players 3 and 4 on the first two pads, each
// with the default choices of their player-selection panel. When the match ends the game goes
// on to the main menu as usual.

#include <optional>
#include <string>
#include <vector>

struct QuickMatch {
    std::string map;
    int players = 2;
    int lives = 3;
    int seconds = 180;
};

// The quick match the arguments ask for, or nothing (no --match, or a map that is not in the
// map list; then one line says why and lists the maps). Bad values print a line and keep the
// default.
std::optional<QuickMatch> ParseQuickMatch(const std::vector<std::string>& arguments,
                                          const std::vector<std::string>& knownMaps);
// Writes the match settings a quick match plays with.
void WriteQuickMatchSettings(const QuickMatch& match);
