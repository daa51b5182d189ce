#include "match/quick_match.hpp"

#include "engine/control_scheme.hpp"
#include "match/choice_tables.hpp"
#include "match/match_settings.hpp"

namespace {

// Pads 1 and 2 for players 3 and 4.
constexpr int kSchemes[4] = {kSchemeKeyboardLeft, kSchemeKeyboardRight, 0, 1};

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
}
