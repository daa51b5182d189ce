#pragma once

// Team play: two sides, red and blue, with each seat on one of them. A teammate's hits push but
// do no damage unless team hits are on; the match is won by the last side with lives left. Fixed
// for a whole match, so nothing of it is saved per frame.

#include "objects/math_types.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

constexpr uint8_t kTeamRed = 0;
constexpr uint8_t kTeamBlue = 1;
constexpr int kTeamCount = 2;

struct Teams {
    bool on = false;
    bool hits = false; // teammates' hits do damage
    // Each seat's side; seats start alternately red, blue, red, blue.
    std::array<uint8_t, 4> seat{kTeamRed, kTeamBlue, kTeamRed, kTeamBlue};
    bool operator==(const Teams&) const = default;

    // Two different players (numbers from 1) on the same side of a team match.
    bool Teammates(uint32_t a, uint32_t b) const;
    // A hit on victim from another player (numbers from 1, 0 for nobody's) that pushes only.
    bool Spares(uint32_t victim, uint32_t from) const { return !hits && Teammates(victim, from); }
    // Both sides have someone among the first `players` seats.
    bool BothSidesSeated(int players) const;

    // The teams of the match being played (off outside a team match).
    static Teams& current();
};

// Seats alternately red, blue, red, blue.
std::array<uint8_t, 4> AlternateTeams();
// "RRBB"-style letters, one per seat (R red, B blue, either case): the seats' sides, or nothing
// when a letter is neither or there are more than four.
std::optional<std::array<uint8_t, 4>> ParseTeamLetters(const std::string& letters);
// The side's name as a player reads it: "Red", "Blue".
const char* TeamName(uint8_t team);
// The side's colour: the rims of its tanks, markers and panels, its podium columns.
vec4 TeamColour(uint8_t team);
