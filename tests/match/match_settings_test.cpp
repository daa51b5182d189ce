#include "match/match_settings.hpp"

#include <gtest/gtest.h>

TEST(MatchSettings, StartsEmptyAndKeepsTheLastWrite) {
    MatchSettings& settings = MatchSettings::instance();
    EXPECT_TRUE(settings.empty()) << "entering a match with nothing set up builds an empty arena";
    EXPECT_EQ(settings.get("MapName"), "");
    settings.set(MatchSettings::playerKey("PlayerControl", 3), "-1");
    settings.set("Lives", "3");
    settings.set("Lives", "5");
    EXPECT_FALSE(settings.empty());
    EXPECT_EQ(settings.get("PlayerControl3"), "-1");
    EXPECT_EQ(settings.getInt("Lives"), 5);
    EXPECT_EQ(settings.getInt("PlayerControl3"), -1);
    EXPECT_EQ(settings.all().size(), 2u);
}

TEST(MatchSettings, NumbersThatDoNotParseReadZeroWithAMessage) {
    MatchSettings& settings = MatchSettings::instance();
    settings.set("Time", "300");
    settings.set("Bad", "three");
    settings.set("Huge", "99999999999999999999");
    settings.set("Zoom", "32.5 units");
    testing::internal::CaptureStdout();
    EXPECT_EQ(settings.getInt("Time"), 300);
    EXPECT_FLOAT_EQ(settings.getFloat("Zoom"), 32.5f) << "a leading number is enough";
    std::string quiet = testing::internal::GetCapturedStdout();
    EXPECT_EQ(quiet, "");

    testing::internal::CaptureStdout();
    EXPECT_EQ(settings.getInt("Bad"), 0);
    EXPECT_EQ(settings.getInt("Missing"), 0);
    EXPECT_EQ(settings.getInt("Huge"), 0);
    EXPECT_EQ(settings.getFloat("Bad"), 0.0f);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Match setting Bad = \"three\" is not a number; reading 0"), std::string::npos) << out;
    EXPECT_NE(out.find("Match setting Huge"), std::string::npos);
}

TEST(MatchSettings, TimeLabels) {
    EXPECT_EQ(matchSecondsForLabel("3:00"), "180");
    EXPECT_EQ(matchSecondsForLabel("5:00"), "300");
    EXPECT_EQ(matchSecondsForLabel("10:00"), "600");
    EXPECT_EQ(matchSecondsForLabel("7:00"), "120");
    EXPECT_EQ(matchSecondsForLabel(""), "120");
}
