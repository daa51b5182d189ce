#include "match/quick_match.hpp"

#include "engine/control_scheme.hpp"
#include "match/choice_tables.hpp"
#include "match/match_settings.hpp"

#include <algorithm>
#include <charconv>
#include <iostream>

namespace {

// A whole decimal number within [low, high], or nothing.
std::optional<int> number(const std::string& text, int low, int high) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) {
        out += (out.empty() ? "" : ", ") + n;
    }
    return out;
}

// Pads 1 and 2 for players 3 and 4.
constexpr int kSchemes[4] = {kSchemeKeyboardLeft, kSchemeKeyboardRight, 0, 1};

} // namespace

std::optional<QuickMatch> ParseQuickMatch(const std::vector<std::string>& arguments,
                                          const std::vector<std::string>& knownMaps) {
    QuickMatch match;
    bool wanted = false;
    struct Option {
        const char* name;
        int* value;
        int low, high;
    };
    const Option options[] = {{"--players", &match.players, 2, 4},
                              {"--lives", &match.lives, 1, 99},
                              {"--time", &match.seconds, 1, 5999}};
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        bool hasValue = i + 1 < arguments.size();
        if (arg == "--match" && hasValue) {
            match.map = arguments[++i];
            wanted = true;
            continue;
        }
        auto option = std::find_if(std::begin(options), std::end(options),
                                   [&](const Option& o) { return arg == o.name; });
        if (option != std::end(options) && hasValue) {
            const std::string& text = arguments[++i];
            if (auto value = number(text, option->low, option->high)) {
                *option->value = *value;
            } else {
                std::cout << "Ignoring " << arg << " " << text << ": expected a whole number from "
                          << option->low << " to " << option->high << std::endl;
            }
            continue;
        }
        std::cout << "Ignoring the argument \"" << arg << "\"; usage: Grumbo --match MAP [--players N] "
                  << "[--lives L] [--time SECONDS]" << std::endl;
    }
    if (!wanted) {
        return std::nullopt;
    }
    if (std::find(knownMaps.begin(), knownMaps.end(), match.map) == knownMaps.end()) {
        std::cout << "No map is called \"" << match.map << "\"; the maps are: " << joined(knownMaps)
                  << std::endl;
        return std::nullopt;
    }
    return match;
}

void WriteQuickMatchSettings(const QuickMatch& match) {
    MatchSettings& settings = MatchSettings::instance();
    settings.set("TotalPlayer", std::to_string(match.players));
    for (int k = 1; k <= 4; ++k) {
        const PanelChoice& choice = kDefaultPanelChoices[static_cast<size_t>(k - 1)];
        settings.set(MatchSettings::playerKey("PlayerFace", k),
                     kFaceChoices[static_cast<size_t>(choice.face)].setting);
        settings.set(MatchSettings::playerKey("PlayerTurret", k),
                     kTurretChoices[static_cast<size_t>(choice.turret)].setting);
        const TrackChoice& track = kTrackChoices[static_cast<size_t>(choice.track)];
        settings.set(MatchSettings::playerKey("PlayerTrack", k), track.setting);
        settings.set(MatchSettings::playerKey("PlayerTrackJump", k), track.jump);
        settings.set(MatchSettings::playerKey("PlayerControl", k),
                     std::to_string(k <= match.players ? kSchemes[k - 1] : -1));
    }
    settings.set("MapName", match.map);
    settings.set("Lives", std::to_string(match.lives));
    settings.set("Time", std::to_string(match.seconds));
}
