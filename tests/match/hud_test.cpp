// The match HUD as the player reads it: which damage digits show and in what colour, the shake
// after a hit, the life icons and the count past them, where the panels sit, and the clock.
#include "engine/engine.hpp"
#include "graphics/renderer.hpp"
#include "match/hud.hpp"
#include "objects/frame_timer.hpp"
#include "tests/gameplay/gameplay_scene.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

using Rgba = std::array<float, 4>;
Rgba colour(GameObject* o) {
    vec4 c = o->getComponent<GameUIRenderer>()->color;
    return {c.x, c.y, c.z, c.w};
}
// Sheet columns of the objects on show, in order.
std::vector<int> columns(const auto& objects) {
    std::vector<int> shown;
    for (GameObject* o : objects) {
        if (o->active) {
            shown.push_back(o->getComponent<GameUIRenderer>()->column);
        }
    }
    return shown;
}

class HudPanel : public gameplay_test::Scene {
  protected:
    void SetUp() override {
        Scene::SetUp();
        player = makeTank(1, {0, 0, 0});
        panel = BuildStatsPanel(player, 1, 2);
    }
    // One update at this multiplier after some game time, run at half speed so both count.
    void show(float multiplier, float gameSeconds = 1.0f) {
        player->knockbackMultiplier = multiplier;
        FrameTimer::instance().dt = gameSeconds * 2.0f;
        FrameTimer::instance().timeScale = 0.5f;
        UpdateStatsPanel(*panel);
    }
    std::vector<int> digits() const { return columns(panel->numerals); }
    float offBase(size_t k) const {
        vec3 p = panel->numerals[k]->transform.position, base = panel->numeralBase[k];
        return std::max(std::abs(p.x - base.x), std::abs(p.y - base.y)) + std::abs(p.z - base.z);
    }

    Player* player = nullptr;
    std::unique_ptr<StatsPanel> panel;
};

} // namespace

TEST_F(HudPanel, DamageShowsOnlyTheDigitsItNeedsAndLivesTheirIcons) {
    EXPECT_TRUE(digits().empty()); // nothing until the first update
    player->lives = 3;
    show(1.0f);
    EXPECT_EQ(digits(), (std::vector<int>{1})); // "0"
    EXPECT_EQ(colour(panel->numerals[0]), (Rgba{1, 1, 1, 1}));
    EXPECT_EQ(columns(panel->lifeIcons).size(), 3u);
    show(1.0625f);
    EXPECT_EQ(digits(), (std::vector<int>{7})); // "6", not "06"
    player->lives = 2;
    show(2.235f);
    EXPECT_EQ(digits(), (std::vector<int>{4, 3, 2})); // "123", ones nearest the sign
    EXPECT_FALSE(panel->lifeIcons[2]->active);
    show(1.0f); // respawned
    EXPECT_EQ(digits(), (std::vector<int>{1}));
    player->lives = 0; // out: updates leave the panel as it was
    show(2.0f);
    EXPECT_EQ(digits(), (std::vector<int>{1}));
    HideStatsPanelParts(*panel);
    EXPECT_TRUE(columns(std::vector{panel->background, panel->lifeIcons[0], panel->numerals[0]}).empty());
}

TEST_F(HudPanel, PastFiveLivesTheCountStandsBesideOneIconAndFollowsTheLives) {
    // Lives as a long match loses them, from the most a match may have down to the last.
    for (uint32_t lives : {99u, 42u, 10u, 9u, 6u, 5u, 4u, 1u}) {
        player->lives = lives;
        show(1.0f);
        std::vector<int> count;
        for (uint32_t left = lives; left > 0; left /= 10) {
            count.insert(count.begin(), static_cast<int>(left % 10) + 1);
        }
        if (lives > 5) {
            EXPECT_EQ(columns(panel->lifeIcons).size(), 1u) << lives;
            EXPECT_TRUE(panel->lifeIcons[0]->active);
            EXPECT_EQ(columns(std::vector{panel->livesTimes}), (std::vector<int>{13})) << lives;
            EXPECT_EQ(columns(panel->livesDigits), count) << lives;
            EXPECT_LT(panel->lifeIcons[0]->transform.position.x, panel->livesTimes->transform.position.x);
            EXPECT_LT(panel->livesTimes->transform.position.x, panel->livesDigits[0]->transform.position.x);
        } else {
            EXPECT_EQ(columns(panel->lifeIcons).size(), lives) << lives;
            EXPECT_FALSE(panel->livesTimes->active || panel->livesDigits[0]->active ||
                         panel->livesDigits[1]->active);
        }
    }
}

TEST_F(HudPanel, ARiseShakesTheNumeralsRedThenTheyWarmWithTheDamage) {
    show(1.0f);
    show(1.5f, 0.15f);
    EXPECT_EQ(colour(panel->percentSign), (Rgba{1, 0, 0, 1}));
    EXPECT_GT(offBase(0), 0.0f);
    EXPECT_LE(offBase(0), 0.2f + 0.1f); // at most 0.2 across, and dropped from z 0.1 to 0
    show(1.5f, 0.15f);                  // no new rise: the shake runs on
    EXPECT_EQ(colour(panel->numerals[1]), (Rgba{1, 0, 0, 1}));
    show(1.5f, 0.15f); // 0.45 s after the hit
    EXPECT_EQ(offBase(0) + offBase(1) + offBase(2), 0.0f);
    EXPECT_NE(colour(panel->percentSign), (Rgba{1, 0, 0, 1})) << "red only while it shakes";
    show(3.75f); // the red stays readable however high the damage
    EXPECT_GE(colour(panel->numerals[2])[0], 0.75f);
}

TEST_F(HudPanel, PanelsStayOnTheLetterboxedPicture) {
    Engine::instance().viewportX = 64; // a letterboxed window 1280 px wide
    EXPECT_FLOAT_EQ(BuildStatsPanel(player, 1, 2)->root->transform.position.x, -0.4f);
}

TEST(HudClock, ReadsMinutesAndSecondsAndReddensTowardsTheEnd) {
    std::unique_ptr<GameTimer> timer = BuildGameTimer({0, 0.9f, 0.1f}, {0.05f, 0.08f, 1});
    SetGameTimer(*timer, 185);
    EXPECT_EQ(columns(timer->digits), (std::vector<int>{6, 1, 12, 4, 1})); // 03:05, right to left
    SetGameTimer(*timer, 61);
    EXPECT_EQ(colour(timer->digits[4]), (Rgba{1, 1, 1, 1}));
    SetGameTimer(*timer, 60);
    EXPECT_EQ(colour(timer->digits[0]), (Rgba{1, 0, 0, 1}));
    SetGameTimer(*timer, 11);
    EXPECT_EQ(colour(timer->digits[4]), (Rgba{1, 0, 0, 1}));
    SetGameTimer(*timer, 10);
    EXPECT_EQ(colour(timer->digits[2]), (Rgba{0.8f, 0, 0, 1}));
    SetGameTimer(*timer, -3);
    EXPECT_EQ(columns(timer->digits), (std::vector<int>{1, 1, 12, 1, 1}));
}
