#pragma once

// The pause menu of a match: any player can pause a running match, which freezes game time and
// the sound, dims the picture and offers resume, three tutorial pages, the options (volume,
// mute, windowed), the credits and quitting the match after a yes/no question. A pad that goes
// missing opens it too, and the match names the missing pad under the title. Its objects hang
// under the match's "UIRoot"; its routine runs once per frame after the match's phase step.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class GameObject;
class GameUIRenderer;
class Player;
class ShaderLogic;

// What the players ask of the menu this frame. Pads act when a button is released, keys when
// they are pressed.
struct PauseInputs {
    bool pause = false;
    bool confirm = false;
    bool up = false;
    bool down = false;
    bool left = false;
    bool right = false;
};
// Every player's controls by their scheme, plus Escape, the arrow keys, Enter and Space.
PauseInputs ReadPauseInputs(const std::vector<Player*>& players);

// What the menu needs of the match it pauses.
struct PauseContext {
    uint32_t* phase = nullptr;         // MatchPhase; the menu opens only from Playing
    std::vector<Player*> players;      // frozen while paused
    GameObject* fadeOverlay = nullptr; // shown, and its fade closed, when the match is quit
    ShaderLogic* fade = nullptr;
    float* fadeTimer = nullptr; // set to fadeDuration when the match is quit
    float fadeDuration = 0.5f;
    // A seat's pad has gone: the menu opens as if Start were pressed.
    bool padLost = false;
    // Under the title while the menu shows it (which pads are missing); "" shows nothing.
    std::string notice;
    // False for an online match: the menu is this machine's alone and the match plays on under
    // it (time, players and sound untouched); quitting only sets the phase to FadeOut, and the
    // match leaves at once.
    bool stopsMatch = true;
};

namespace PauseScreen {
constexpr int32_t Closed = -1;
constexpr int32_t Main = 0;
constexpr int32_t Tutorial = 1;
constexpr int32_t Options = 2;
constexpr int32_t Credits = 3;
constexpr int32_t QuitConfirm = 4;
} // namespace PauseScreen

class PauseMenu {
  public:
    // Builds every object of the menu under uiRoot, hidden.
    void Build(GameObject* uiRoot);
    // Once per frame after the match's phase step; does nothing unless playing or paused.
    void Update(PauseContext& match);

    GameUIRenderer* dimPanel = nullptr;
    GameUIRenderer* titleSprite = nullptr;
    GameUIRenderer* resumeItem = nullptr;
    GameUIRenderer* tutorialItem = nullptr;
    GameUIRenderer* optionsItem = nullptr;
    GameUIRenderer* quitItem = nullptr;
    GameUIRenderer* yesItem = nullptr;
    GameUIRenderer* noItem = nullptr;
    GameUIRenderer* nextButton = nullptr;
    GameUIRenderer* tutorialPanel = nullptr;
    GameUIRenderer* creditsItem = nullptr;
    GameUIRenderer* creditsPanel = nullptr;
    GameUIRenderer* creditsBack = nullptr;
    GameObject* optionsRoot = nullptr;
    GameObject* selectionBox = nullptr;
    std::array<GameUIRenderer*, 2> volumeDigits{}; // tens, ones
    GameUIRenderer* muteCheckbox = nullptr;
    GameUIRenderer* windowedCheckbox = nullptr;
    GameUIRenderer* optionsBack = nullptr;
    GameObject* noticeText = nullptr;   // the context's notice, just under the title
    GameObject* noticeShadow = nullptr; // the same words in black, behind it
    int32_t screen = PauseScreen::Closed;
    int32_t cursor = 0;
};
