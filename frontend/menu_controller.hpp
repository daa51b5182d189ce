#pragma once

// Decides which screen of the main menu is shown and runs the changes between them: most close
// the fade, swap the screens after half a second and open the fade again.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Credit;
class JoinScreen;
class LevelSelect;
class OnlineChoice;
class SeatsStep;
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
constexpr uint32_t OnlineScreen = 7;   // host or join
constexpr uint32_t SeatsScreen = 8;    // a host's seats in all
constexpr uint32_t JoinListScreen = 9; // the games found, and an address
} // namespace MenuScreen

// What player selection leads to: a match on this machine, hosting one online, or joining one.
namespace MenuFlow {
constexpr uint32_t Local = 0;
constexpr uint32_t Host = 1;
constexpr uint32_t Join = 2;
} // namespace MenuFlow

// A player-selection panel's seat as the level select keeps it while the editor is open.
struct SeatKept {
    int32_t scheme = -1;
    int32_t face = 0;
    int32_t turret = 0;
    int32_t track = 0;
    int computerLevel = -1; // -1 a person, else the BotLevel
    uint8_t team = 0;       // its side in a team match
};

// What the level select had when E opened the editor, so leaving the editor comes back to it
// with the same players, flow and choices.
struct LevelSelectReturn {
    uint32_t flow = MenuFlow::Local;
    std::array<SeatKept, 4> seats{};
    uint32_t joinedCount = 0;
    int seatsInAll = 2;
    std::string map;
    uint32_t livesIndex = 0;
    uint32_t timeIndex = 0;
    bool teamsOn = false;
    bool teamHits = false;
};

// Set while the editor opened from the level select runs; the main menu takes it when it loads.
std::optional<LevelSelectReturn>& PendingLevelSelect();

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
    // The online screens, the flow player selection is part of, and what they chose.
    OnlineChoice* online = nullptr;
    SeatsStep* seats = nullptr;
    JoinScreen* join = nullptr;
    uint32_t flow = MenuFlow::Local;
    int seatsInAll = 2;
    std::string joinAddress;
    // Taken from PendingLevelSelect when the menu loads: the level select is entered with it.
    std::optional<LevelSelectReturn> comingBack;

  private:
    void updateTitle(bool entering);
    void updatePlayerSelect(bool entering);
    void updateLevelSelect(bool entering);
    void updateOnline(bool entering);
    void updateSeats(bool entering);
    void updateJoinList(bool entering);
    // Hides every screen but the panels and the level select.
    void hideSimpleScreens();
    // Leaves the menus for the waiting screen with the seats as chosen; false (said in one line)
    // when the network cannot be opened.
    bool startOnline();
    // The editor on the highlighted map, coming back here.
    void openEditor();
    void keepForReturn();
    void applyReturn(const LevelSelectReturn& kept);
};
