#pragma once

// The main menu's simple screens: the title with its six buttons, the options, the three
// tutorial pages, the credits and the quit confirmation. Each logic reads the menu inputs while
// its screen is shown and raises flags that the menu controller acts on.

#include "objects/logic.hpp"

#include <array>
#include <cstdint>
#include <string>

class GameObject;

// The title's buttons top to bottom. Online came last and sits after Play, so moving up from
// Play still reaches Quit.
namespace TitleItem {
constexpr uint32_t Play = 1;
constexpr uint32_t Online = 2;
constexpr uint32_t Tutorial = 3;
constexpr uint32_t Options = 4;
constexpr uint32_t Credits = 5;
constexpr uint32_t Quit = 6;
} // namespace TitleItem

// The title's selection after one step up (-1) or down (+1), coming round at either end.
uint32_t StepTitle(uint32_t selection, int step);

class Title : public Logic {
  public:
    explicit Title(GameObject* ownerObject) : Logic("Title", ownerObject) {}
    void Update() override;
    // The selected button shows its highlighted picture, the others their plain one.
    void UpdateHighlight();
    void Show(bool visible);

    bool shown = true;
    bool chosen = false;
    bool busy = false; // input is ignored while a fade runs
    uint32_t selection = TitleItem::Play;
    GameObject* image = nullptr;          // "TitleRoot"
    std::array<GameObject*, 6> buttons{}; // play, online, tutorial, options, credits, quit
};

namespace OptionRow {
constexpr uint32_t Volume = 1;
constexpr uint32_t Mute = 2;
constexpr uint32_t Windowed = 3;
constexpr uint32_t Back = 4;
} // namespace OptionRow

class Option : public Logic {
  public:
    explicit Option(GameObject* ownerObject) : Logic("Option", ownerObject) {}
    void Update() override;
    void Open();
    void Show(bool visible);
    void UpdateHighlight();
    // Steps the row's setting by d (-1 or +1).
    void Change(int d);

    bool shown = false;
    bool done = false;
    uint32_t row = OptionRow::Volume;
    std::array<GameObject*, 16> objects{}; // every object of the screen, the root first
    GameObject* volumeText = nullptr;
    GameObject* muteBox = nullptr;
    GameObject* windowBox = nullptr;
    GameObject* selectionPanel = nullptr;
    GameObject* backButton = nullptr;
};

class Tutorial : public Logic {
  public:
    explicit Tutorial(GameObject* ownerObject) : Logic("Tutorial", ownerObject) {}
    void Update() override;
    void Open();
    void Show(bool visible);

    int32_t page = 1;
    bool shown = false;
    bool done = false;
    GameObject* pageImage = nullptr;
    GameObject* button = nullptr;
};

class Credit : public Logic {
  public:
    explicit Credit(GameObject* ownerObject) : Logic("Credit", ownerObject) {}
    void Update() override;
    void Show(bool visible);

    bool shown = false;
    bool done = false;
    GameObject* panel = nullptr;
    GameObject* button = nullptr;
};

class Quit : public Logic {
  public:
    explicit Quit(GameObject* ownerObject) : Logic("Quit", ownerObject) {}
    void Update() override;
    void Open();
    void Show(bool visible);

    bool shown = false;
    bool back = false;
    bool confirmed = false;
    bool onYes = false; // false: "No" is selected
    GameObject* question = nullptr;
    GameObject* panel = nullptr;
    GameObject* yesButton = nullptr;
    GameObject* noButton = nullptr;
};

// The volume as the menus show it: "00" to "10", by the nearest tenth.
std::string VolumeText(float volume);

// Builders: each makes its screen's objects, hidden unless said, with the logic on the first.
Title* BuildTitle();
Option* BuildOptions();
Tutorial* BuildTutorial();
Credit* BuildCredits();
Quit* BuildQuit();
