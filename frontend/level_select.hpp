#pragma once

// The level select, the last screen before a match: the map (with its preview picture), the
// number of lives, the time limit and a start button. E (or a pad's Y) asks for the highlighted
// map in the editor. A hosted online match offers the shipped maps only, which every machine has.
// Under the time come Teams (off or on: red against blue) and Team hits (whether teammates' hits
// do damage); both keep their values between visits, so players can go back and change sides.

#include "objects/logic.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class GameObject;

struct LevelSelectObjects {
    GameObject* preview = nullptr; // "LevelSelectRoot", the map's picture
    GameObject* panel = nullptr;
    // "MapText", "LivesText", "TimeText", "TeamsText", "TeamHitsText"
    std::array<GameObject*, 5> labels{};
    // "MapDetail", "LivesDetail", "TimeDetail", "TeamsDetail", "TeamHitsDetail"
    std::array<GameObject*, 5> details{};
    std::array<GameObject*, 10> arrows{};
    GameObject* backPanel = nullptr; // the row highlight
    GameObject* startButton = nullptr;
    GameObject* noMapsText = nullptr;  // shown instead of a map when the map list is empty
    GameObject* editHint = nullptr;    // "E: edit this map"
    GameObject* teamsNotice = nullptr; // why a team match cannot start, over the panel
};

namespace LevelRow {
constexpr uint32_t Map = 0;
constexpr uint32_t Lives = 1;
constexpr uint32_t Time = 2;
constexpr uint32_t Teams = 3;
constexpr uint32_t TeamHits = 4;
constexpr uint32_t Start = 5;
} // namespace LevelRow

class LevelSelect : public Logic {
  public:
    explicit LevelSelect(GameObject* ownerObject);
    void Update() override;

    // On entering the screen: flags cleared, first map, 3 lives, 3:00, on the map row.
    void Reset();
    void Show(bool visible);
    // The match length of the chosen time label, in seconds, as the settings want it.
    std::string chosenSeconds() const;
    // Offers every map, or the shipped ones alone (the first shippedCount of them), from the first.
    void OfferMaps(bool shippedOnly);
    // Highlights the map of that name when it is offered; whether it is.
    bool SelectMap(const std::string& name);
    // The highlighted map's name, "" when none is offered.
    std::string chosenMap() const;
    // The chosen number of lives.
    int chosenLives() const;
    // Shows the map, lives and time as the indices say (after they were set from outside).
    void Reshow();

    bool shown = false;
    bool active = false;
    bool backRequested = false;
    bool startRequested = false;
    bool editRequested = false;
    // A match length the command line gave (--time), offered first when set; 0: none.
    int extraSeconds = 0;
    uint32_t mapIndex = 0;
    uint32_t livesIndex = 0;
    uint32_t timeIndex = 0;
    uint32_t row = LevelRow::Map;
    bool teamsOn = false;
    bool teamHits = false;
    // Set by the menu: whether each side has a player, which a team match needs to start.
    bool sidesSeated = true;
    std::map<int32_t, std::string> mapNames;
    std::map<int32_t, std::string> livesOptions;
    std::map<int32_t, std::string> timeOptions;
    std::vector<std::string> previewNames;
    // Every map the game offers and its preview, the shipped ones first.
    std::vector<std::string> allMaps;
    std::vector<std::string> allPreviews;
    size_t shippedCount = 0;
    LevelSelectObjects ui;
};

// Builds the screen's objects, hidden, with its logic on "LevelSelectRoot"; the first
// shippedCount maps come with the game (all of them by default).
LevelSelect* BuildLevelSelect(const std::vector<std::string>& mapNames,
                              const std::vector<std::string>& previewNames, size_t shippedCount = SIZE_MAX);

// The seconds of a time label "M:SS" ("0:10" is 10); the settings' fallback for any other text.
std::string SecondsOfTimeLabel(const std::string& label);
// The label of a match length in seconds: 10 is "0:10", 185 is "3:05".
std::string TimeLabel(int seconds);
