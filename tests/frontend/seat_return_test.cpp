// Back from the podium to the level select: the panels are seated again from the settings the
// last match was played with, and starting from there writes the same seats.
#include "frontend/level_select.hpp"
#include "frontend/menu_controller.hpp"
#include "frontend/player_panel.hpp"
#include "frontend/seat_return.hpp"
#include "match/match_settings.hpp"
#include "tests/support/engine_harness.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

class SeatReturn : public ::testing::Test {
  protected:
    void SetUp() override {
        harness.step(); // a blank state to build the screens in
        for (size_t i = 0; i < 4; ++i) {
            menu.panels[i] = BuildPlayerPanel({0, 0, 1}, "Player" + std::to_string(i + 1), &menu);
        }
        menu.levelSelect = BuildLevelSelect({"Meadow", "Canyon"}, {});
    }
    // Every key of the seats, leaving out the map, lives and time the level select chooses.
    static std::map<std::string, std::string> seats() {
        std::map<std::string, std::string> out = MatchSettings::instance().all();
        for (const char* key : {"MapName", "Lives", "Time"}) {
            out.erase(key);
        }
        return out;
    }

    EngineHarness harness;
    MenuController menu;
};

} // namespace

// A person on the right keyboard half, a hard computer, a person on pad 2 and an easy computer,
// each in looks other than their panel's defaults, and on sides other than their panel's.
TEST_F(SeatReturn, EverySeatComesBackAsItPlayedAndStartsTheSameAgain) {
    MatchSettings& settings = MatchSettings::instance();
    const std::array<const char*, 4> controls{"5", "-1", "1", "-1"};
    const std::array<const char*, 4> bots{"", "hard", "", "easy"};
    settings.set("TotalPlayer", "4");
    for (int n = 1; n <= 4; ++n) {
        const PlayerPanel& panel = *menu.panels[static_cast<size_t>(n - 1)];
        // Each seat takes the entries of the next seat's defaults, so nothing is a default.
        const auto pick = [n](const std::map<int32_t, std::string>& table) {
            return table.at(static_cast<int32_t>(n) % static_cast<int32_t>(table.size()));
        };
        settings.set(MatchSettings::playerKey("PlayerFace", n), pick(panel.faceNames));
        settings.set(MatchSettings::playerKey("PlayerTurret", n), pick(panel.turretNames));
        settings.set(MatchSettings::playerKey("PlayerTrack", n), pick(panel.trackNames));
        settings.set(MatchSettings::playerKey("PlayerTrackJump", n), pick(panel.trackJumpNames));
        settings.set(MatchSettings::playerKey("PlayerControl", n), controls[static_cast<size_t>(n - 1)]);
        settings.set(MatchSettings::playerKey("PlayerBot", n), bots[static_cast<size_t>(n - 1)]);
    }
    // A team match: the sides and team hits come back too.
    WriteTeams(settings, Teams{true, true, *ParseTeamLetters("BBRR")});
    const std::map<std::string, std::string> before = seats();

    ASSERT_TRUE(SeatPlayersFromSettings(menu));
    EXPECT_EQ(menu.joinedCount, 4u);
    EXPECT_EQ(menu.readyCount, 4u);
    EXPECT_TRUE(menu.schemeUsed[SchemeSlot::KeyboardRight]);
    EXPECT_TRUE(menu.schemeUsed[SchemeSlot::FirstPad + 1]);
    EXPECT_FALSE(menu.schemeUsed[SchemeSlot::KeyboardLeft]) << "free for a newcomer";
    EXPECT_EQ(menu.panels[1]->computer, BotLevel::Hard);
    EXPECT_FALSE(menu.panels[2]->computer.has_value());

    // As the menu enters the level select, then starts.
    LeavePlayerSelect(menu);
    menu.levelSelect->Reset();
    WriteMatchSettings(menu);
    EXPECT_EQ(seats(), before);
}

// Three players of four: the fourth panel stays free; settings with nobody seat nobody.
TEST_F(SeatReturn, OnlyThePlayersOfTheLastMatchAreSeatedAndNoneWhenThereWereNone) {
    MatchSettings& settings = MatchSettings::instance();
    settings.set("TotalPlayer", "3");
    for (int n = 1; n <= 4; ++n) {
        settings.set(MatchSettings::playerKey("PlayerControl", n), n == 1 ? "4" : n == 2 ? "0" : "-1");
        settings.set(MatchSettings::playerKey("PlayerBot", n), n == 3 ? "normal" : "");
    }
    ASSERT_TRUE(SeatPlayersFromSettings(menu));
    EXPECT_EQ(menu.joinedCount, 3u);
    EXPECT_FALSE(menu.panels[3]->joined);

    settings.set("TotalPlayer", "0");
    MenuController fresh;
    fresh.panels = menu.panels;
    EXPECT_FALSE(SeatPlayersFromSettings(fresh));
    EXPECT_EQ(fresh.joinedCount, 0u);
}
