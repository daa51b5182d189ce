#include "match/match_stats.hpp"

#include <algorithm>
#include <cmath>

namespace {

bool validSeat(int seat) {
    return seat >= 0 && seat < 4;
}

} // namespace

void MatchStats::Hit(int seat, uint32_t from, float percent) {
    if (!validSeat(seat)) {
        return;
    }
    SeatTally& victim = seats[static_cast<size_t>(seat)];
    const uint32_t self = static_cast<uint32_t>(seat) + 1;
    // Its own shot counts too: thrown off by it, the fall is its own.
    victim.lastHitBy = from;
    victim.sinceLastHit = 0.0f;
    if (from >= 1 && from <= 4 && from != self) {
        seats[from - 1].damageDealt += percent;
    }
}

void MatchStats::Fall(int seat) {
    if (!validSeat(seat)) {
        return;
    }
    SeatTally& victim = seats[static_cast<size_t>(seat)];
    const uint32_t self = static_cast<uint32_t>(seat) + 1;
    victim.falls += 1;
    const uint32_t by = victim.sinceLastHit <= kKnockOutCredit ? victim.lastHitBy : 0;
    if (by >= 1 && by <= 4 && by != self) {
        seats[by - 1].knockOuts += 1;
    } else {
        victim.selfFalls += 1;
    }
    victim.longestLife = std::max(victim.longestLife, victim.life);
    victim.life = 0.0f;
    victim.lastHitBy = 0;
    victim.sinceLastHit = 0.0f;
}

void MatchStats::Tick(const std::array<bool, 4>& alive, float dt) {
    for (size_t i = 0; i < seats.size(); ++i) {
        SeatTally& seat = seats[i];
        seat.sinceLastHit += dt;
        if (alive[i]) {
            seat.life += dt;
            seat.longestLife = std::max(seat.longestLife, seat.life);
        }
    }
}

std::string ResultsRow(const SeatTally& tally) {
    const auto seconds = static_cast<int>(std::floor(tally.longestLife));
    const std::string ss = std::to_string(seconds % 60);
    std::string row = "KOs " + std::to_string(tally.knockOuts) + "   falls " + std::to_string(tally.falls);
    if (tally.selfFalls > 0) {
        row += " (" + std::to_string(tally.selfFalls) + " self)";
    }
    row += "   damage " + std::to_string(static_cast<int>(std::lround(tally.damageDealt))) + "%";
    row += "   longest life " + std::to_string(seconds / 60) + ":" + (ss.size() < 2 ? "0" + ss : ss);
    return row;
}
