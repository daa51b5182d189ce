#include "match/match_settings.hpp"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <optional>

MatchSettings& MatchSettings::instance() {
    static auto* settings = new MatchSettings();
    return *settings;
}

std::string MatchSettings::get(const std::string& key) const {
    auto it = values.find(key);
    return it != values.end() ? it->second : std::string();
}

void MatchSettings::set(const std::string& key, const std::string& value) {
    values[key] = value;
}

int MatchSettings::getInt(const std::string& key) const {
    std::string text = get(key);
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(start, &end, 10);
    if (end == start || errno == ERANGE || value < -2147483647L || value > 2147483647L) {
        std::cout << "Match setting " << key << " = \"" << text << "\" is not a number; reading 0"
                  << std::endl;
        return 0;
    }
    return static_cast<int>(value);
}

float MatchSettings::getFloat(const std::string& key) const {
    std::string text = get(key);
    const char* start = text.c_str();
    char* end = nullptr;
    float value = std::strtof(start, &end);
    if (end == start || !std::isfinite(value)) {
        std::cout << "Match setting " << key << " = \"" << text << "\" is not a number; reading 0"
                  << std::endl;
        return 0.0f;
    }
    return value;
}

std::string matchSecondsForLabel(const std::string& label) {
    if (label == "3:00") {
        return "180";
    }
    if (label == "5:00") {
        return "300";
    }
    if (label == "10:00") {
        return "600";
    }
    return "120";
}

namespace {

const std::string* find(const std::map<std::string, std::string>& settings, const std::string& key) {
    auto it = settings.find(key);
    return it == settings.end() ? nullptr : &it->second;
}

std::optional<uint8_t> side(const std::string& name) {
    for (uint8_t team : {kTeamRed, kTeamBlue}) {
        if (name == TeamName(team)) {
            return team;
        }
    }
    return std::nullopt;
}

} // namespace

Teams ReadTeams(const MatchSettings& settings) {
    Teams teams;
    teams.on = settings.get("Teams") == "1";
    teams.hits = settings.get("TeamHits") == "1";
    for (int n = 1; n <= 4; ++n) {
        if (auto team = side(settings.get(MatchSettings::playerKey("PlayerTeam", n)))) {
            teams.seat[static_cast<size_t>(n - 1)] = *team;
        }
    }
    return teams;
}

void WriteTeams(MatchSettings& settings, const Teams& teams) {
    settings.set("Teams", teams.on ? "1" : "0");
    settings.set("TeamHits", teams.hits ? "1" : "0");
    for (int n = 1; n <= 4; ++n) {
        settings.set(MatchSettings::playerKey("PlayerTeam", n),
                     TeamName(teams.seat[static_cast<size_t>(n - 1)]));
    }
}

std::string TeamSettingsProblem(const std::map<std::string, std::string>& settings, int players) {
    for (const char* key : {"Teams", "TeamHits"}) {
        if (const std::string* value = find(settings, key);
            value != nullptr && *value != "0" && *value != "1") {
            return "the setting " + std::string(key) + " is not 0 or 1";
        }
    }
    Teams teams;
    for (int n = 1; n <= 4; ++n) {
        const std::string key = MatchSettings::playerKey("PlayerTeam", n);
        if (const std::string* value = find(settings, key)) {
            std::optional<uint8_t> team = side(*value);
            if (!team) {
                return "the setting " + key + " is not Red or Blue";
            }
            teams.seat[static_cast<size_t>(n - 1)] = *team;
        }
    }
    const std::string* on = find(settings, "Teams");
    if (on != nullptr && *on == "1" && !teams.BothSidesSeated(players)) {
        return "a team match needs a player on each side";
    }
    return {};
}
