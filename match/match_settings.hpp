#pragma once

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
