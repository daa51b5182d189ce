#pragma once

#include "gameplay/teams.hpp"

#include <map>
#include <string>

// The one record through which the menus hand a match to the play state: who joined, what each
// player chose and which controls they use, and the map, lives and time limit. Every value is
// a string. Created empty on first use and never cleared; each write replaces its key.
class MatchSettings {
  public:
    static MatchSettings& instance();

    // The value of a key, "" when it was never written.
    std::string get(const std::string& key) const;
    void set(const std::string& key, const std::string& value);
    bool empty() const { return values.empty(); }

    // Decimal reads. A value with no leading number reads as 0, with one line saying so.
    int getInt(const std::string& key) const;
    float getFloat(const std::string& key) const;

    // "PlayerFace" + 1 = "PlayerFace1".
    static std::string playerKey(const std::string& name, int player) {
        return name + std::to_string(player);
    }

    const std::map<std::string, std::string>& all() const { return values; }

  private:
    std::map<std::string, std::string> values;
};

// The match length the level select's time label stands for, in seconds, as a string.
std::string matchSecondsForLabel(const std::string& label);

// A team match's keys: "Teams" and "TeamHits" ("1" on, "0" off) and each seat's side,
// "PlayerTeam1".."PlayerTeam4" ("Red" or "Blue"). Missing keys read as free-for-all, and a
// seat without a side of its own keeps the one it starts on (red, blue, red, blue).
Teams ReadTeams(const MatchSettings& settings);
// Writes every team key, so nothing of an earlier match's teams is left over.
void WriteTeams(MatchSettings& settings, const Teams& teams);
// The first team key a match may not be set up with, in words; empty when there is none. A team
// match needs someone on each side among its `players` seats.
std::string TeamSettingsProblem(const std::map<std::string, std::string>& settings, int players);
