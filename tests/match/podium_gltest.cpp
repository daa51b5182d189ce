// The victory podium in the real window, with every picture of the banner and the victory screen.
#include "match/play_game_state.hpp"
#include "match/quick_match.hpp"
#include "tests/support/gl_fixture.hpp"

#include <gtest/gtest.h>

namespace {

class PodiumPicture : public GlFixture {
  protected:
    PodiumPicture() {
        gameStates = true;
        WriteQuickMatchSettings({"Meadow", 3, 3, 1});
        pads.connect(0, true); // player 3's
        Engine::instance().firstState = GameStateId::Play;
    }
    PlayGameState* match() { return dynamic_cast<PlayGameState*>(state()); }
};

} // namespace

TEST_F(PodiumPicture, ADrawStandsThreeColumnsOfThePlayersColours) {
    if (IsSkipped()) {
        return;
    }
    ASSERT_NE(match(), nullptr);
    testing::internal::CaptureStdout();
    // Long frames: every frame is drawn in software, and nothing here needs a fine step.
    for (int i = 0; i < 400 && match()->phase != MatchPhase::Podium; ++i) {
        runFrames(1, 48);
    }
    ASSERT_EQ(match()->phase, MatchPhase::Podium);
    runFrames(27, 48); // the columns grow at 10 units a second to 9
    drawFrame();
    // The banner's and the victory screen's pictures, loaded as they came, were all there.
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("CAN'T FIND TEXTURE"), std::string::npos) << out;
    EXPECT_EQ(out.find("Missing"), std::string::npos) << out;
    EXPECT_NE(match()->victoryBackground, nullptr);
    const sf::Color expected[3] = {sf::Color::Red, sf::Color::Blue, sf::Color::Green};
    for (int i = 0; i < 3; ++i) {
        const float x = -10.0f + 10.0f * static_cast<float>(i);
        EXPECT_TRUE(colorNear(atWorld(x, -9.0f), expected[i], 40))
            << i << ": " << describe(atWorld(x, -9.0f));
        EXPECT_FALSE(colorNear(atWorld(x, -3.5f), expected[i], 40))
            << "nothing of column " << i << " above 9";
    }
    // The results strip's band dims the bottom of the picture, beside the columns as well.
    ASSERT_NE(match()->end.resultsStrip, nullptr) << "shown once the columns have grown";
    const auto brightness = [](sf::Color c) { return c.r + c.g + c.b; };
    const sf::Color dimmed = atWorld(22.0f, -12.0f);
    const sf::Color open = atWorld(22.0f, -6.0f);
    EXPECT_LT(brightness(dimmed), brightness(open) * 3 / 4)
        << describe(dimmed) << " under " << describe(open);
}
