#include "match/match_settings.hpp"

#include <gtest/gtest.h>

TEST(MatchSettings, NumbersThatDoNotParseReadZeroWithAMessage) {
    MatchSettings& settings = MatchSettings::instance();
    settings.set("Time", "300");
    settings.set("Bad", "three");
    settings.set("Huge", "99999999999999999999");
    settings.set("Zoom", "32.5 units");
    testing::internal::CaptureStdout();
    EXPECT_EQ(settings.getInt("Time"), 300);
    EXPECT_FLOAT_EQ(settings.getFloat("Zoom"), 32.5f) << "a leading number is enough";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    testing::internal::CaptureStdout();
    EXPECT_EQ(settings.getInt("Bad"), 0);
    EXPECT_EQ(settings.getInt("Missing"), 0);
    EXPECT_EQ(settings.getInt("Huge"), 0);
    EXPECT_EQ(settings.getFloat("Bad"), 0.0f);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Match setting Bad = \"three\" is not a number; reading 0"), std::string::npos) << out;
    EXPECT_NE(out.find("Match setting Huge"), std::string::npos);
}
