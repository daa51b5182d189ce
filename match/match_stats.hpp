#pragma once

// What the results strip on the podium tells of each player: knock-outs given, falls (lives
// lost, with those nobody else caused told apart), damage dealt and the longest life. Counted
// by the match as it plays, from the hits each tank takes and the lives it loses.

#include <array>
#include <cstdint>
#include <string>

struct SeatTally {
    uint32_t knockOuts = 0;    // opponents' falls this player caused
    uint32_t falls = 0;        // lives lost, self-inflicted ones included
    uint32_t selfFalls = 0;    // falls no opponent caused: a drive off the edge, its own shot
    float damageDealt = 0.0f;  // percent added to opponents' multipliers
    float longestLife = 0.0f;  // seconds, the life still going at the end included
    float life = 0.0f;         // seconds of the life going on
    uint32_t lastHitBy = 0;    // player number of the last hit taken this life, 0 for none
    float sinceLastHit = 0.0f; // seconds since that hit
};

// A fall is a knock-out for the opponent whose hit came last, if it came this recently.
constexpr float kKnockOutCredit = 8.0f;

class MatchStats {
  public:
    // Seat index (0-based) took a hit from a player (number, 0 for none) adding that percent.
    void Hit(int seat, uint32_t from, float percent);
    // Seat index lost a life: a knock-out for the last opponent to hit it in time, or its own.
    void Fall(int seat);
    // Game time passes; seats alive (on the arena, not in the respawn beam) live on.
    void Tick(const std::array<bool, 4>& alive, float dt);

    std::array<SeatTally, 4> seats{};
};

// One row of the results strip: "3  KOs 2  falls 1 (1 self)  damage 140%  longest life 1:05".
std::string ResultsRow(const SeatTally& tally);
