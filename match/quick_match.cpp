#include "match/quick_match.hpp"

#include "engine/control_scheme.hpp"
#include "match/choice_tables.hpp"
#include "match/match_settings.hpp"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace {

// Pads 1 and 2 for players 3 and 4.
constexpr int kSchemes[4] = {kSchemeKeyboardLeft, kSchemeKeyboardRight, 0, 1};

struct RangedSetting {
    const char* key;
    SettingRange range;
};
constexpr RangedSetting kRangedSettings[] = {
    {"TotalPlayer", kPlayersRange}, {"Lives", kLivesRange}, {"Time", kSecondsRange}};

// A value as one short line shows it, whatever bytes a file gave it.
std::string shown(const std::string& value) {
    std::string out = value.substr(0, 40);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            c = '?';
        }
    }
    return value.size() > out.size() ? out + "..." : out;
}

} // namespace

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
        // Computers play the last seats; their actions come from the computer, not a device.
        const bool playing = k <= match.players;
        const bool computer = playing && k > match.players - match.bots;
        settings.set(MatchSettings::playerKey("PlayerControl", k),
                     std::to_string(playing && !computer ? kSchemes[k - 1] : -1));
        settings.set(MatchSettings::playerKey("PlayerBot", k), computer ? match.botLevel : "");
    }
    settings.set("MapName", match.map);
    settings.set("Lives", std::to_string(match.lives));
    settings.set("Time", std::to_string(match.seconds));
    WriteTeams(settings, match.teams);
}

std::string MatchSettingsProblem(const std::map<std::string, std::string>& settings,
                                 const std::vector<std::string>& maps) {
    auto value = [&](const std::string& key) -> const std::string* {
        auto found = settings.find(key);
        return found == settings.end() ? nullptr : &found->second;
    };
    int players = 0;
    for (const RangedSetting& setting : kRangedSettings) {
        const std::string* text = value(setting.key);
        if (text == nullptr) {
            return "the setting " + std::string(setting.key) + " is missing";
        }
        int number = 0;
        const char* end = text->data() + text->size();
        auto [stop, error] = std::from_chars(text->data(), end, number);
        if (error != std::errc() || stop != end || number < setting.range.low ||
            number > setting.range.high) {
            return "the setting " + std::string(setting.key) + "=" + shown(*text) +
                   " is not a whole number from " + std::to_string(setting.range.low) + " to " +
                   std::to_string(setting.range.high);
        }
        if (std::string_view(setting.key) == "TotalPlayer") {
            players = number;
        }
    }
    if (std::string problem = TeamSettingsProblem(settings, players); !problem.empty()) {
        return problem;
    }
    const std::string* map = value("MapName");
    if (map == nullptr) {
        return "the setting MapName is missing";
    }
    if (std::find(maps.begin(), maps.end(), *map) == maps.end()) {
        return "no map is called \"" + shown(*map) + "\"";
    }
    return {};
}
