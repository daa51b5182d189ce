#include "match/match_settings.hpp"
#include "match/quick_match.hpp"

#include <gtest/gtest.h>

#include <tuple>

namespace {
const std::vector<std::string> kMaps = {"Meadow", "Canyon", "Starfall"};
}

TEST(QuickMatch, ReadsItsOptionsAndRefusesWhatItCannotUse) {
    auto match =
        ParseQuickMatch({"--match", "Canyon", "--players", "4", "--lives", "5", "--time", "90"}, kMaps);
    ASSERT_TRUE(match.has_value());
    EXPECT_EQ((std::tuple{match->map, match->players, match->lives, match->seconds}),
              (std::tuple{"Canyon", 4, 5, 90}));

    testing::internal::CaptureStdout();
    auto odd = ParseQuickMatch({"--players", "9", "--match", "Meadow", "--lives", "x", "--wat"}, kMaps);
    std::string out = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(odd.has_value()) << "bad values keep their defaults";
    EXPECT_EQ(odd->players, 2);
    EXPECT_EQ(odd->lives, 3);
    EXPECT_NE(out.find("Ignoring --players 9"), std::string::npos) << out;
    EXPECT_NE(out.find("\"--wat\""), std::string::npos) << out;

    testing::internal::CaptureStdout();
    EXPECT_FALSE(ParseQuickMatch({"--match", "Moon"}, kMaps).has_value());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "No map is called \"Moon\"; the maps are: Meadow, Canyon, Starfall\n");
    EXPECT_FALSE(ParseQuickMatch({}, kMaps).has_value()) << "no --match: the menus as usual";
}

TEST(QuickMatch, SettingsPutPlayersOnTheKeyboardHalvesThenPadsWithTheirPanelDefaults) {
    WriteQuickMatchSettings({"Starfall", 3, 4, 300});
    MatchSettings& s = MatchSettings::instance();
    EXPECT_EQ(s.get("PlayerControl1"), "4");
    EXPECT_EQ(s.get("PlayerControl2"), "5");
    EXPECT_EQ(s.get("PlayerControl3"), "0");
    EXPECT_EQ(s.get("PlayerControl4"), "-1");
    EXPECT_EQ(s.get("PlayerTrack1"), "TrackSprite_Vantu");
    EXPECT_EQ(s.get("PlayerFace2"), "FaceSprite_Pexie");
    EXPECT_EQ(s.get("PlayerTurret3"), "BarrelSprite_Bouncing");
    EXPECT_EQ(s.get("PlayerTrackJump4"), "TrackSprite_Kibbit_Jump");
}
