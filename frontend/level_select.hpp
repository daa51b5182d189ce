#pragma once

// The level select, the last screen before a match: the map (with its preview picture), the
// number of lives, the time limit and a start button.

#include "objects/logic.hpp"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class GameObject;

struct LevelSelectObjects {
    GameObject* preview = nullptr; // "LevelSelectRoot", the map's picture
    GameObject* panel = nullptr;
    std::array<GameObject*, 3> labels{};  // "MapText", "LivesText", "TimeText"
    std::array<GameObject*, 3> details{}; // "MapDetail", "LivesDetail", "TimeDetail"
    std::array<GameObject*, 6> arrows{};
    GameObject* backPanel = nullptr; // the row highlight
    GameObject* startButton = nullptr;
    GameObject* noMapsText = nullptr; // shown instead of a map when the map list is empty
};

namespace LevelRow {
constexpr uint32_t Map = 0;
constexpr uint32_t Lives = 1;
constexpr uint32_t Time = 2;
constexpr uint32_t Start = 3;
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

    bool shown = false;
    bool active = false;
    bool backRequested = false;
    bool startRequested = false;
    uint32_t mapIndex = 0;
    uint32_t livesIndex = 0;
    uint32_t timeIndex = 0;
    uint32_t row = LevelRow::Map;
    std::map<int32_t, std::string> mapNames;
    std::map<int32_t, std::string> livesOptions;
    std::map<int32_t, std::string> timeOptions;
    std::vector<std::string> previewNames;
    LevelSelectObjects ui;
};

// Builds the screen's objects, hidden, with its logic on "LevelSelectRoot".
LevelSelect* BuildLevelSelect(const std::vector<std::string>& mapNames,
                              const std::vector<std::string>& previewNames);
