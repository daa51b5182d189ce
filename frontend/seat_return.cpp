#include "frontend/seat_return.hpp"

#include "engine/control_scheme.hpp"
#include "frontend/level_select.hpp"
#include "frontend/menu_controller.hpp"
#include "frontend/player_panel.hpp"
#include "gameplay/bot.hpp"
#include "match/match_settings.hpp"

#include <iostream>
#include <map>
#include <optional>
#include <string>

namespace {

// The index of a name in a panel's table, or the index it had when the name is not there.
int32_t indexOf(const std::map<int32_t, std::string>& table, const std::string& name, int32_t otherwise) {
    for (const auto& [index, entry] : table) {
        if (entry == name) {
            return index;
        }
    }
    return otherwise;
}

size_t schemeSlotOf(int32_t scheme) {
    if (scheme == static_cast<int32_t>(kSchemeKeyboardLeft)) {
        return SchemeSlot::KeyboardLeft;
    }
    if (scheme == static_cast<int32_t>(kSchemeKeyboardRight)) {
        return SchemeSlot::KeyboardRight;
    }
    return SchemeSlot::FirstPad + static_cast<size_t>(scheme);
}

} // namespace

bool SeatPlayersFromSettings(MenuController& menu) {
    const MatchSettings& settings = MatchSettings::instance();
    const int total = settings.getInt("TotalPlayer");
    if (total < 1 || total > static_cast<int>(menu.panels.size())) {
        std::cout << "Level select: no players of the last match to seat; back to the title" << std::endl;
        return false;
    }
    menu.joinedCount = 0;
    menu.readyCount = 0;
    menu.schemeUsed.fill(false);
    for (int n = 1; n <= total; ++n) {
        PlayerPanel* panel = menu.panels[static_cast<size_t>(n - 1)];
        if (panel == nullptr) {
            continue;
        }
        panel->Reset();
        const std::optional<BotLevel> level =
            ParseBotLevel(settings.get(MatchSettings::playerKey("PlayerBot", n)));
        const int32_t scheme = settings.getInt(MatchSettings::playerKey("PlayerControl", n));
        if (level) {
            panel->SeatComputer(*level);
        } else if (scheme >= 0 && scheme <= static_cast<int32_t>(kSchemeKeyboardRight)) {
            panel->SetControlScheme(scheme);
            menu.schemeUsed[schemeSlotOf(scheme)] = true;
            panel->joined = true;
            panel->opened = true;
            panel->row = PanelRow::Ready;
        } else {
            std::cout << "Level select: player " << n << " of the last match has no controls; seating the "
                      << "players before it" << std::endl;
            break;
        }
        panel->faceIndex = indexOf(panel->faceNames, settings.get(MatchSettings::playerKey("PlayerFace", n)),
                                   panel->faceIndex);
        panel->turretIndex =
            indexOf(panel->turretNames, settings.get(MatchSettings::playerKey("PlayerTurret", n)),
                    panel->turretIndex);
        panel->trackIndex = indexOf(
            panel->trackNames, settings.get(MatchSettings::playerKey("PlayerTrack", n)), panel->trackIndex);
        panel->team = ReadTeams(settings).seat[static_cast<size_t>(n - 1)];
        menu.joinedCount += 1;
        menu.readyCount += 1;
    }
    // The same kind of match again: a team match keeps its sides and its team hits.
    if (menu.levelSelect != nullptr) {
        const Teams teams = ReadTeams(settings);
        menu.levelSelect->teamsOn = teams.on;
        menu.levelSelect->teamHits = teams.hits;
    }
    return menu.joinedCount > 0;
}
