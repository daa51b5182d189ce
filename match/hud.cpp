#include "match/hud.hpp"

#include "engine/engine.hpp"
#include "gameplay/player.hpp"
#include "graphics/renderer.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/random.hpp"
#include "objects/resource_manager.hpp"

#include <algorithm>
#include <iterator>
#include <string>

namespace {

// The "UI_Font" strip: 0..9 in columns 1..10, then the percent sign, the colon and the times sign.
constexpr int32_t kFontColumns = 13;
constexpr int32_t kPercentColumn = 11;
constexpr int32_t kColonColumn = 12;
constexpr int32_t kTimesColumn = 13;

// Life icons stand this far apart from x = -1 on; past as many lives as there are icons, the
// first icon shows with the count after it, in cells about as big as an icon. The root's scale
// (0.1 x 0.15) makes a cell of 0.6 x 0.4 square.
constexpr float kLifeIconStep = 0.5f;
constexpr float kLivesY = -0.1f;
constexpr vec3 kLivesCellSize{0.6f, 0.4f, 1.0f};
constexpr float kLivesCellStep = 0.42f;

// Panels keep this far (picture units) in from the side edges of the picture, on one line
// near its bottom.
constexpr float kPanelEdgeInset = 0.15f;
constexpr float kPanelY = -0.85f;

// The "CPU" plate of a computer's panel, in panel units: under the badge at (-1.0, 0.5), its
// left end just inside the panel's rounded frame.
constexpr vec3 kComputerTagAt{-0.97f, 0.26f, 0.2f};
constexpr vec3 kComputerTagSize{0.6f, 0.24f, 1.0f};

constexpr float kShakeSeconds = 0.4f;
constexpr float kShakeAmplitude = 0.2f;
constexpr float kShakeInterval = 0.01f; // game seconds between two jitters
constexpr float kShakeDecay = 0.9f;     // each jitter is a little smaller than the last

constexpr vec4 kWhite{1, 1, 1, 1};
constexpr vec4 kHitRed{1, 0, 0, 1};
constexpr vec4 kLastMinuteRed{1, 0, 0, 1};
constexpr vec4 kLastSecondsRed{0.8f, 0, 0, 1};
// The damage colour never goes darker than this in red, so high numbers stay readable.
constexpr float kDarkestDamageRed = 0.75f;

constexpr int32_t kLastMinute = 61;  // below this many seconds the clock turns red
constexpr int32_t kLastSeconds = 11; // and below this, a darker red

// Life-icon faces by the player's character number; other numbers leave the icons blank.
constexpr const char* kLifeIconFaces[] = {nullptr, "PanelVantu", "PanelQuolle", "PanelKibbit", "PanelPexie"};

ShaderProgram* shader(const char* name) {
    return ResourceManager::instance().getShader(name);
}

sf::Texture* texture(const char* name) {
    return name != nullptr ? ResourceManager::instance().getTexture(name) : nullptr;
}

// A child object carrying an interface image. Attaching keeps the child's world pose, so its
// local values are written only once it hangs from its parent.
GameObject* makeImage(const std::string& name, GameObject* parent, sf::Texture* image, vec3 position,
                      vec3 scale, int32_t columns = 1, int32_t column = 1) {
    GameObject* object = GameObjectList::instance().create(name);
    parent->transform.setParent(object);
    object->transform.setPosition(position.x, position.y, position.z);
    object->transform.setScale(scale.x, scale.y, scale.z);
    object->addComponent<GameUIRenderer>()->set(shader("Sprite-UI"), image, kWhite, columns, 0, column);
    return object;
}

// A digit 0..9 is the strip's column one higher.
void showDigit(GameObject* object, int32_t digit) {
    if (auto* image = object->getComponent<GameUIRenderer>()) {
        image->column = digit + 1;
    }
}

void setColour(GameObject* object, vec4 colour) {
    if (auto* image = object->getComponent<GameUIRenderer>()) {
        image->color = colour;
    }
}

// White up to about 100 %, then yellow, orange and red as the multiplier climbs; channels
// above 1 saturate in the shader.
vec4 damageColour(float multiplier) {
    return {std::max(kDarkestDamageRed, 4.0f - multiplier), 3.0f - multiplier, 2.0f - multiplier, 1.0f};
}

// -1..1 times the amplitude, from the effects' generator: the jitter only shows.
float jitter(float amplitude) {
    const float r = static_cast<float>(effectsRand()) / static_cast<float>(kRandomMax);
    return (2.0f * r - 1.0f) * amplitude;
}

void placeNumeralsAtRest(StatsPanel& panel) {
    for (size_t i = 0; i < panel.numerals.size(); ++i) {
        const vec3 base = panel.numeralBase[i];
        panel.numerals[i]->transform.setPosition(base.x, base.y, base.z);
    }
}

void shakeNumerals(StatsPanel& panel) {
    const float step = FrameTimer::instance().scaledDt();
    panel.shakeTick += step;
    if (panel.shakeTick > kShakeInterval) {
        for (size_t i = 0; i < panel.numerals.size(); ++i) {
            const vec3 base = panel.numeralBase[i];
            const float dx = jitter(panel.shakeAmplitude);
            const float dy = jitter(panel.shakeAmplitude);
            panel.numerals[i]->transform.setPosition(base.x + dx, base.y + dy, 0.0f);
        }
        panel.shakeAmplitude *= kShakeDecay;
        panel.shakeTick = 0.0f;
    }
    panel.shakeTime -= step;
    if (panel.shakeTime <= 0.0f) {
        placeNumeralsAtRest(panel);
    }
}

// An icon a life up to as many as there are icons; past that one icon and the count beside it
// (lives go up to 99, two digits).
void showLives(StatsPanel& panel, uint32_t lives) {
    const bool counted = lives > panel.lifeIcons.size();
    for (size_t i = 0; i < panel.lifeIcons.size(); ++i) {
        setActive(panel.lifeIcons[i], counted ? i == 0 : i < lives);
    }
    setActive(panel.livesTimes, counted);
    const bool twoDigits = lives >= 10;
    for (size_t k = 0; k < panel.livesDigits.size(); ++k) {
        GameObject* digit = panel.livesDigits[k];
        setActive(digit, counted && (k == 0 || twoDigits));
        if (counted) {
            showDigit(digit, static_cast<int32_t>(k == 0 && twoDigits ? (lives / 10) % 10 : lives % 10));
        }
    }
}

} // namespace

std::unique_ptr<StatsPanel> BuildStatsPanel(Player* player, int playerNumber, int playerCount,
                                            std::optional<vec4> teamRim) {
    GameObjectList& list = GameObjectList::instance();
    auto panel = std::make_unique<StatsPanel>();
    panel->player = player;
    panel->spriteShader = shader("Sprite");
    panel->textShader = shader("Text-UI");

    GameObject* root = list.create("StatsPanelRoot");
    panel->root = root;
    // Panels share the width between L and -L evenly, L being the picture's left edge moved in
    // by the inset; the engine's viewport offset keeps them on the picture when it is letterboxed.
    const Engine& engine = Engine::instance();
    const float offset =
        engine.width > 0 ? static_cast<float>(engine.viewportX) / static_cast<float>(engine.width) : 0.0f;
    const float left = offset - 1.0f + kPanelEdgeInset;
    const float step = -left / static_cast<float>(std::max(playerCount, 1));
    root->transform.setPosition(left + static_cast<float>(2 * playerNumber - 1) * step, kPanelY, 0.0f);
    root->transform.setScale(0.1f, 0.15f, 1.0f);

    // The panel's own picture a little larger, made first: interface images draw in the order
    // they were made, so it stays behind the panel.
    if (teamRim) {
        GameObject* rim =
            makeImage("TeamRim", root, texture("PanelBackground"), {0, 0, 0}, {2.8f, 1.26f, 1.0f});
        rim->getComponent<GameUIRenderer>()->color = *teamRim;
    }
    panel->background =
        makeImage("StatsPanelBackground", root, texture("PanelBackground"), {0, 0, 0}, {2.6f, 1.08f, 1.0f});
    const std::string badge = "PlayerNumber_" + std::to_string(playerNumber);
    panel->numberBadge =
        makeImage("PlayerNumber", root, texture(badge.c_str()), {-1.0f, 0.5f, 0.1f}, {0.6f, 0.6f, 1.0f});

    const uint32_t character = player != nullptr ? player->character : 0;
    const char* face = character < std::size(kLifeIconFaces) ? kLifeIconFaces[character] : nullptr;
    for (size_t i = 0; i < panel->lifeIcons.size(); ++i) {
        panel->lifeIcons[i] =
            makeImage("PlayerIcon", root, texture(face),
                      {kLifeIconStep * static_cast<float>(i) - 1.0f, kLivesY, 0.1f}, {0.8f, 0.5f, 1.0f});
    }
    sf::Texture* font = texture("UI_Font");
    const float countX = kLifeIconStep - 1.0f;
    panel->livesTimes = makeImage("LivesTimes", root, font, {countX, kLivesY, 0.1f}, kLivesCellSize,
                                  kFontColumns, kTimesColumn);
    setActive(panel->livesTimes, false);
    for (size_t k = 0; k < panel->livesDigits.size(); ++k) {
        const float x = countX + kLivesCellStep * static_cast<float>(k + 1);
        panel->livesDigits[k] =
            makeImage("LivesDigit", root, font, {x, kLivesY, 0.1f}, kLivesCellSize, kFontColumns, 1);
        setActive(panel->livesDigits[k], false);
    }

    // The damage text only groups the sign and the numerals; it draws nothing itself.
    GameObject* damageText = list.create("DamageText");
    root->transform.setParent(damageText);
    damageText->transform.setPosition(0.0f, 0.2f, 0.1f);
    damageText->transform.setScale(0.7f, 0.7f, 1.0f);
    panel->damageText = damageText;

    panel->percentSign = makeImage("DamagePercentSign", damageText, font, {1.5f, 0.2f, 0.1f},
                                   {0.7f, 0.7f, 1.0f}, kFontColumns, kPercentColumn);
    for (size_t k = 0; k < panel->numerals.size(); ++k) {
        // Ones on the right, next to the sign; tens and hundreds further left.
        const vec3 at{0.7f - 0.7f * static_cast<float>(k), 0.3f, 0.1f};
        panel->numerals[k] = makeImage("DamageNumeral", damageText, font, at, {1, 1, 1}, kFontColumns, 1);
        panel->numeralBase[k] = at;
        // Nothing shows until the first update has read the player's damage.
        setActive(panel->numerals[k], false);
    }

    // A computer's badge carries a "CPU" plate across its lower edge, inside the panel. It is a
    // picture, made last so it lies over the life icons: text is drawn before every interface
    // image and would vanish behind the panel.
    if (player != nullptr && player->computer) {
        panel->computerTag =
            makeImage("ComputerTag", root, texture("ComputerTag"), kComputerTagAt, kComputerTagSize);
    }
    return panel;
}

void UpdateStatsPanel(StatsPanel& panel) {
    Player* player = panel.player;
    if (player == nullptr || player->lives == 0) {
        return;
    }
    const float multiplier = player->knockbackMultiplier;
    // The match zeroes the multiplier as a tank dies; anything under 1 reads as no damage.
    const int32_t damage = std::max(0, static_cast<int32_t>((multiplier - 1.0f) * 100.0f));

    showLives(panel, player->lives);

    if (damage > panel.shownDamage) {
        panel.shakeTime = kShakeSeconds;
        panel.shakeAmplitude = kShakeAmplitude;
    }
    panel.shownDamage = damage;
    if (panel.shakeTime > 0.0f) {
        shakeNumerals(panel);
    }

    if (damage == 0) {
        setActive(panel.numerals[0], true);
        showDigit(panel.numerals[0], 0);
        setColour(panel.numerals[0], kWhite);
        setActive(panel.numerals[1], false);
        setActive(panel.numerals[2], false);
        setColour(panel.percentSign, kWhite);
        return;
    }

    // A fresh hit flashes red for as long as the numerals shake.
    const vec4 colour = panel.shakeTime > 0.0f ? kHitRed : damageColour(multiplier);
    int32_t remaining = damage;
    for (size_t i = 0; i < panel.numerals.size(); ++i) {
        GameObject* numeral = panel.numerals[i];
        // No leading zeros: a digit left of the highest one stays hidden.
        if (i > 0 && remaining == 0) {
            setActive(numeral, false);
            continue;
        }
        setActive(numeral, true);
        showDigit(numeral, remaining % 10);
        setColour(numeral, colour);
        remaining /= 10;
    }
    setColour(panel.percentSign, colour);
}

void HideStatsPanelParts(StatsPanel& panel) {
    setActive(panel.root, false);
    setActive(panel.damageText, false);
    for (GameObject* numeral : panel.numerals) {
        setActive(numeral, false);
    }
}

std::unique_ptr<GameTimer> BuildGameTimer(vec3 position, vec3 scale) {
    auto timer = std::make_unique<GameTimer>();
    GameObject* root = GameObjectList::instance().create("GameTimer");
    root->transform.setPosition(position.x, position.y, position.z);
    root->transform.setScale(scale.x, scale.y, scale.z);
    timer->root = root;
    sf::Texture* font = texture("UI_Font");
    for (size_t i = 0; i < timer->digits.size(); ++i) {
        // Digit 0 is the rightmost; every digit starts as a colon until the first time is set.
        timer->digits[i] = makeImage("GameTimerDigit", root, font, {2.0f - static_cast<float>(i), 0.0f, 0.1f},
                                     {1, 1, 1}, kFontColumns, kColonColumn);
    }
    return timer;
}

void SetGameTimer(GameTimer& timer, int32_t seconds) {
    // The match can run a frame past zero before it ends; the clock stops at 00:00.
    const int32_t s = std::max(seconds, 0);
    if (s < kLastSeconds) {
        for (GameObject* digit : timer.digits) {
            setColour(digit, kLastSecondsRed);
        }
    } else if (s < kLastMinute) {
        for (GameObject* digit : timer.digits) {
            setColour(digit, kLastMinuteRed);
        }
    }
    // Digit 0 is the rightmost; digit 2 keeps its colon.
    const int32_t minutes = s / 60;
    showDigit(timer.digits[0], s % 10);
    showDigit(timer.digits[1], (s % 60) / 10);
    showDigit(timer.digits[3], minutes % 10);
    showDigit(timer.digits[4], minutes / 10);
}
