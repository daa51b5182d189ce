#include "match/match_settings.hpp"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>

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
