#pragma once

// Decides which screen of the main menu is shown and runs the changes between them: most close
// the fade, swap the screens after half a second and open the fade again.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class Credit;
class LevelSelect;
class Option;
class PlayerPanel;
class Quit;
class ShaderLogic;
class Title;
class Tutorial;

namespace MenuScreen {
constexpr uint32_t Title = 0;
constexpr uint32_t PlayerSelect = 1;
constexpr uint32_t TutorialScreen = 2;
constexpr uint32_t OptionsScreen = 3;
constexpr uint32_t CreditsScreen = 4;
constexpr uint32_t QuitConfirm = 5;
constexpr uint32_t LevelSelectScreen = 6;
} // namespace MenuScreen

// Schemes in the order player selection marks them used.
namespace SchemeSlot {
constexpr size_t KeyboardLeft = 0;
constexpr size_t KeyboardRight = 1;
constexpr size_t FirstPad = 2; // pads 0..3 at 2..5
} // namespace SchemeSlot

struct MenuController {
    static MenuController& instance();

    // Changes screen: with the fade for most, at once to and from the quit confirmation. Called
    // every frame while a screen's flag asks for it, until the change has happened.
    void GoToScreen(uint32_t target);
    // Every frame, before the screens' logics run. A change that has begun either finishes or,
    // once its screen no longer asks for it, is called off: the fade opens and the timer restarts.
    void Update();
    // One frame of closing the fade before a change; true, with the timer reset, once its half
    // second is up.
    bool CloseForChange();
    // Opens the fade again and restarts the timer of a change that will not happen.
    void CallOffChange();

    uint32_t joinedCount = 0;
    uint32_t readyCount = 0;
    bool screenEntered = false;
    std::array<bool, 6> schemeUsed{};
    uint32_t screen = MenuScreen::Title;
    Title* title = nullptr;
    Option* option = nullptr;
    Tutorial* tutorial = nullptr;
    Credit* credit = nullptr;
    Quit* quit = nullptr;
    std::array<PlayerPanel*, 4> panels{};
    LevelSelect* levelSelect = nullptr;
    ShaderLogic* fade = nullptr;
    float transitionTime = 0.5f;
    float transitionTimer = 0.5f;
    bool changing = false;    // a change has begun closing the fade
    bool changeAsked = false; // this frame's screen asked for the change
    bool joinLocked = false;
};
