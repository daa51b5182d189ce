#pragma once

// The match's heads-up display: one stats panel per player along the bottom of the screen (a
// badge with the player number, up to five life icons with the player's face, and the damage
// in percent, whose digits shake red when it rises and warm up in colour the higher it gets),
// and the match clock at the top. Past five lives one icon shows with the count beside it
// ("×9"). Every part is an interface image (shader "Sprite-UI"); the digits come from the
// "UI_Font" strip of 13 cells: 0 to 9, the percent sign, the colon, the times sign.

#include "objects/math_types.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class GameObject;
class Player;
struct ShaderProgram;

struct StatsPanel {
    int32_t shownDamage = 0;     // damage percentage shown last
    float shakeTime = 0.0f;      // seconds left of the numeral shake
    float shakeTick = 0.0f;      // game time since the last jitter
    float shakeAmplitude = 0.2f; // jitter in local units
    Player* player = nullptr;
    GameObject* root = nullptr;               // "StatsPanelRoot"
    GameObject* background = nullptr;         // "StatsPanelBackground"
    GameObject* numberBadge = nullptr;        // "PlayerNumber"
    std::array<GameObject*, 5> lifeIcons{};   // "PlayerIcon", index 0 leftmost
    GameObject* livesTimes = nullptr;         // "LivesTimes": the "×" after the one icon past five lives
    std::array<GameObject*, 2> livesDigits{}; // "LivesDigit": the count, left to right
    GameObject* damageText = nullptr;         // "DamageText", parent of the sign and the numerals
    GameObject* percentSign = nullptr;        // "DamagePercentSign"
    std::array<GameObject*, 3> numerals{};    // "DamageNumeral": ones, tens, hundreds
    std::array<vec3, 3> numeralBase{};        // rest positions, for ending a shake
    GameObject* computerTag = nullptr;        // the "CPU" plate under a computer's badge
    ShaderProgram* spriteShader = nullptr;
    ShaderProgram* textShader = nullptr;
};

// Player n (from 1) of N: the panels sit evenly spaced across the bottom of the picture.
// In a team match the panel sits on a rim in the colour of the player's side.
std::unique_ptr<StatsPanel> BuildStatsPanel(Player* player, int playerNumber, int playerCount,
                                            std::optional<vec4> teamRim = std::nullopt);
// Once per frame while playing (and once at load): lives, damage digits, shake and colour.
void UpdateStatsPanel(StatsPanel& panel);
// Hides the panel, its damage text and numerals (a player who is out; the victory screen).
void HideStatsPanelParts(StatsPanel& panel);

// The match clock: minutes, colon, seconds.
struct GameTimer {
    GameObject* root = nullptr;          // "GameTimer"
    std::array<GameObject*, 5> digits{}; // "GameTimerDigit", index 0 rightmost
};

std::unique_ptr<GameTimer> BuildGameTimer(vec3 position, vec3 scale);
// Shows whole seconds as mm:ss, red in the last minute and darker red in the last ten seconds.
// A negative time shows 00:00.
void SetGameTimer(GameTimer& timer, int32_t seconds);
