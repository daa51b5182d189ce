#pragma once

// A match straight from the command line, without the menus (see frontend/command_line.hpp):
// players 1 and 2 play on the two keyboard halves, players 3 and 4 on the first two pads, each
// with the default choices of their player-selection panel; the last `bots` seats are computer
// players instead. When the match ends the game goes on to the main menu as usual.

#include "gameplay/teams.hpp"

#include <map>
#include <string>
#include <vector>

// What a match may be set up with, from the command line or from a recording played back.
struct SettingRange {
    int low;
    int high;
};
constexpr SettingRange kPlayersRange{2, 4};
constexpr SettingRange kLivesRange{1, 99};
constexpr SettingRange kSecondsRange{1, 5999};

struct QuickMatch {
    std::string map;
    int players = 2;
    int lives = 3;
    int seconds = 180;
    int bots = 0;                    // the last seats that computers play
    std::string botLevel = "normal"; // "easy", "normal" or "hard"
    Teams teams;                     // off: free-for-all
};

// Writes the match settings a quick match plays with.
void WriteQuickMatchSettings(const QuickMatch& match);

// The first of a match's settings a match may not be set up with (the players, lives and time
// out of range or missing, a map not in the list, teams it cannot play), said in words; empty
// when there is none.
std::string MatchSettingsProblem(const std::map<std::string, std::string>& settings,
                                 const std::vector<std::string>& maps);
