#include "frontend/level_select.hpp"

#include "frontend/menu_input.hpp"
#include "frontend/text_fit.hpp"
#include "graphics/renderer.hpp"
#include "graphics/scene_builders.hpp"
#include "match/match_settings.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"

#include <algorithm>
#include <cctype>
#include <cstddef>

namespace {

constexpr vec4 kYellow{1, 1, 0, 1};

// The heights of the map, lives, time, teams and team hits rows; labels, values, arrows and the
// highlight share them.
constexpr uint32_t kValueRows = 5;
constexpr float kRowY[kValueRows] = {-1.0f, -3.5f, -6.0f, -8.5f, -11.0f};
constexpr uint32_t kRows = kValueRows + 1; // and the start button
constexpr vec3 kRowTextScale{1.8f, 1.8f, 1.0f};
constexpr vec3 kArrowScale{1.4f, 1.9f, 1.0f};
constexpr float kTextZ = 1.4f;
constexpr float kOnPanelZ = 1.2f;
constexpr float kLabelX = -6.0f;
constexpr float kDetailX = 2.0f;
constexpr float kArrowLeftX = -2.0f;
constexpr float kArrowRightX = 6.0f;

// The first entry of each table: what a fresh visit shows, and what a lost index falls back to.
constexpr const char* kDefaultLives = "3";
constexpr const char* kDefaultTime = "3:00";
// The picture of a map that brings no preview of its own.
constexpr const char* kCustomMapPreview = "CustomMap";
constexpr const char* kNoMaps = "No maps found";
constexpr const char* kEditHint = "E (pad Y): edit this map";
constexpr vec3 kEditHintAt{16.5f, -13.4f, kTextZ};
constexpr const char* kSidesNeeded = "Each team needs a player: R, Num 9 or LB/RB changes sides";

const char* onOff(bool on) {
    return on ? "On" : "Off";
}

void fillLives(std::map<int32_t, std::string>& table) {
    table = {{0, "3"}, {1, "4"}, {2, "5"}};
}

// The usual lengths, after a length the command line gave.
void fillTimes(std::map<int32_t, std::string>& table, int extraSeconds) {
    table.clear();
    if (extraSeconds > 0) {
        table[0] = TimeLabel(extraSeconds);
    }
    for (const char* label : {"3:00", "5:00", "10:00"}) {
        if (table.empty() || table.begin()->second != label) {
            table[static_cast<int32_t>(table.size())] = label;
        }
    }
}

// The entry at an index, or the fallback when the index is not in the table.
std::string entryOr(const std::map<int32_t, std::string>& table, uint32_t index,
                    const std::string& fallback) {
    const auto found = table.find(static_cast<int32_t>(index));
    return found == table.end() ? fallback : found->second;
}

// One step through a table of count entries, coming round at either end. An index already off
// the table starts again from the first entry, and an empty table keeps 0 rather than dividing
// by its size.
uint32_t stepped(uint32_t index, int step, std::size_t count) {
    if (count == 0) {
        return 0;
    }
    const auto n = static_cast<uint32_t>(count);
    const uint32_t from = index < n ? index : 0;
    return step < 0 ? (from + n - 1) % n : (from + 1) % n;
}

GameObject* image(const std::string& name, const std::string& texture, vec3 position, vec3 scale) {
    GameObject* object = MakeObject(name, {position, scale});
    AddSprite(object, texture);
    return object;
}

// Values are re-set in full each time, so a text never keeps a stale program or colour.
void setText(GameObject* object, const std::string& value) {
    SetText(object, value, kYellow);
}

GameObject* text(const std::string& name, const std::string& value, vec3 position) {
    GameObject* object = MakeObject(name, {position, kRowTextScale});
    setText(object, value);
    return object;
}

// A long map name shrinks so it stays between its two arrows.
constexpr vec2 kDetailScale{kRowTextScale.x, kRowTextScale.y};
constexpr float kMapNameCharacters = 4.5f;

void showMap(LevelSelect& screen) {
    const std::string name = entryOr(screen.mapNames, screen.mapIndex, "");
    GameObject* detail = screen.ui.details[LevelRow::Map];
    setText(detail, name);
    FitText(detail, kDetailScale, kMapNameCharacters);
    const std::vector<std::string>& previews = screen.previewNames;
    const bool hasPreview = screen.mapIndex < previews.size() && !previews[screen.mapIndex].empty();
    SetPicture(screen.ui.preview, hasPreview ? previews[screen.mapIndex] : kCustomMapPreview);
}

void showLives(LevelSelect& screen) {
    setText(screen.ui.details[LevelRow::Lives],
            entryOr(screen.livesOptions, screen.livesIndex, kDefaultLives));
}

void showTime(LevelSelect& screen) {
    setText(screen.ui.details[LevelRow::Time], entryOr(screen.timeOptions, screen.timeIndex, kDefaultTime));
}

void showTeams(LevelSelect& screen) {
    setText(screen.ui.details[LevelRow::Teams], onOff(screen.teamsOn));
    setText(screen.ui.details[LevelRow::TeamHits], onOff(screen.teamHits));
}

// Left and right step the value of the current row.
void change(LevelSelect& screen, int step) {
    switch (screen.row) {
    case LevelRow::Map:
        screen.mapIndex = stepped(screen.mapIndex, step, screen.mapNames.size());
        showMap(screen);
        break;
    case LevelRow::Lives:
        screen.livesIndex = stepped(screen.livesIndex, step, screen.livesOptions.size());
        showLives(screen);
        break;
    case LevelRow::Time:
        screen.timeIndex = stepped(screen.timeIndex, step, screen.timeOptions.size());
        showTime(screen);
        break;
    case LevelRow::Teams:
        screen.teamsOn = !screen.teamsOn; // two values: either way changes it
        showTeams(screen);
        break;
    case LevelRow::TeamHits:
        screen.teamHits = !screen.teamHits;
        showTeams(screen);
        break;
    default:
        break; // the start button has no values
    }
}

void updateHighlight(LevelSelect& screen) {
    GameObject* highlight = screen.ui.backPanel;
    if (highlight == nullptr) {
        return;
    }
    const bool onValueRow = screen.row < LevelRow::Start;
    if (onValueRow) {
        const vec3 at = highlight->transform.getPosition();
        highlight->transform.setPosition(at.x, kRowY[screen.row], at.z);
    }
    // The highlight follows the screen's visibility; on the start row the button lights up instead.
    ::Show(highlight, screen.shown && onValueRow);
}

// Up and down go round the four rows; the start button lights up while its row is current.
void moveRow(LevelSelect& screen, int step) {
    const uint32_t from = screen.row < kRows ? screen.row : LevelRow::Map;
    screen.row = stepped(from, step, kRows);
    if (screen.row == LevelRow::Start) {
        SetPicture(screen.ui.startButton, "StartGameHL");
    } else if (from == LevelRow::Start) {
        SetPicture(screen.ui.startButton, "StartGame");
    }
    updateHighlight(screen);
}

} // namespace

std::string TimeLabel(int seconds) {
    const int s = seconds % 60;
    return std::to_string(seconds / 60) + (s < 10 ? ":0" : ":") + std::to_string(s);
}

std::string SecondsOfTimeLabel(const std::string& label) {
    // Minutes (one to four digits), a colon, then two digits of seconds under 60.
    const size_t colon = label.find(':');
    auto digits = [&](size_t from, size_t to) {
        return from < to && std::all_of(label.begin() + static_cast<std::ptrdiff_t>(from),
                                        label.begin() + static_cast<std::ptrdiff_t>(to), [](char c) {
                                            return std::isdigit(static_cast<unsigned char>(c)) != 0;
                                        });
    };
    if (colon == std::string::npos || colon > 4 || label.size() != colon + 3 || !digits(0, colon) ||
        !digits(colon + 1, label.size()) || label[colon + 1] > '5') {
        return matchSecondsForLabel(label);
    }
    return std::to_string(std::stoi(label.substr(0, colon)) * 60 + std::stoi(label.substr(colon + 1)));
}

LevelSelect::LevelSelect(GameObject* ownerObject) : Logic("LevelSelect", ownerObject) {
    fillLives(livesOptions);
    fillTimes(timeOptions, extraSeconds);
}

void LevelSelect::OfferMaps(bool shippedOnly) {
    const size_t count = shippedOnly ? std::min(shippedCount, allMaps.size()) : allMaps.size();
    mapNames.clear();
    previewNames.clear();
    for (size_t i = 0; i < count; ++i) {
        mapNames[static_cast<int32_t>(i)] = allMaps[i];
        previewNames.push_back(i < allPreviews.size() ? allPreviews[i] : std::string());
    }
    mapIndex = 0;
    showMap(*this);
}

bool LevelSelect::SelectMap(const std::string& name) {
    for (const auto& [index, map] : mapNames) {
        if (map == name) {
            mapIndex = static_cast<uint32_t>(index);
            showMap(*this);
            return true;
        }
    }
    return false;
}

std::string LevelSelect::chosenMap() const {
    return entryOr(mapNames, mapIndex, "");
}

int LevelSelect::chosenLives() const {
    return std::stoi(entryOr(livesOptions, livesIndex, kDefaultLives));
}

void LevelSelect::Reshow() {
    showMap(*this);
    showLives(*this);
    showTime(*this);
    showTeams(*this);
}

void LevelSelect::Reset() {
    shown = false;
    active = false;
    backRequested = false;
    startRequested = false;
    editRequested = false;
    mapIndex = 0;
    livesIndex = 0;
    timeIndex = 0;
    row = LevelRow::Map;
    fillLives(livesOptions);
    fillTimes(timeOptions, extraSeconds);
    showMap(*this);
    showLives(*this);
    showTime(*this);
    showTeams(*this);
    SetPicture(ui.startButton, "StartGame");
    updateHighlight(*this);
}

void LevelSelect::Show(bool visible) {
    shown = visible;
    const bool haveMaps = !mapNames.empty();
    ::Show(ui.preview, visible);
    ::Show(ui.panel, visible);
    for (GameObject* label : ui.labels) {
        ::Show(label, visible);
    }
    // With no maps the map row has nothing to offer: the notice takes the value's place and the
    // arrows go, so nothing suggests a choice.
    ::Show(ui.details[LevelRow::Map], visible && haveMaps);
    for (uint32_t r = LevelRow::Lives; r < kValueRows; ++r) {
        ::Show(ui.details[r], visible);
    }
    for (std::size_t i = 0; i < ui.arrows.size(); ++i) {
        const bool mapArrow = i / 2 == LevelRow::Map;
        ::Show(ui.arrows[i], visible && (haveMaps || !mapArrow));
    }
    ::Show(ui.startButton, visible);
    ::Show(ui.noMapsText, visible && !haveMaps);
    ::Show(ui.editHint, visible);
    ::Show(ui.teamsNotice, false);
    updateHighlight(*this);
}

std::string LevelSelect::chosenSeconds() const {
    return SecondsOfTimeLabel(entryOr(timeOptions, timeIndex, kDefaultTime));
}

void LevelSelect::Update() {
    if (!active) {
        return;
    }
    const MenuInputs in = ReadMenuInputs();
    if (shown) {
        if (in.left) {
            change(*this, -1);
        }
        if (in.right) {
            change(*this, +1);
        }
        if (in.up) {
            moveRow(*this, -1);
        }
        if (in.down) {
            moveRow(*this, +1);
        }
    }
    // Once back has been asked for, the menu is already on its way out: a confirm in the same
    // breath must not start a match as well.
    if (!backRequested) {
        // A match needs a map, so with none listed the start button does nothing.
        if (in.confirm && row == LevelRow::Start && !mapNames.empty()) {
            // A team match needs someone on each side; the notice says how to change sides.
            const bool playable = !teamsOn || sidesSeated;
            startRequested = playable;
            ::Show(ui.teamsNotice, shown && !playable);
        }
        if (in.back) {
            backRequested = true;
        }
        // The highlighted map in the editor; with no map offered a new one is started there.
        if (in.edit && !startRequested && !backRequested) {
            editRequested = true;
        }
    }
}

LevelSelect* BuildLevelSelect(const std::vector<std::string>& mapNames,
                              const std::vector<std::string>& previewNames, size_t shippedCount) {
    LevelSelectObjects ui;
    ui.preview = image("LevelSelectRoot", "Map1", {0, 8, 1.1f}, {20, 12, 1});
    ui.panel = image("Panel", "PlayerSelection", {0, -7, 1}, {22, 15, 1});

    const char* labelNames[kValueRows] = {"MapText", "LivesText", "TimeText", "TeamsText", "TeamHitsText"};
    const char* labelTexts[kValueRows] = {"Map", "Lives", "Time", "Teams", "Team hits"};
    const char* detailNames[kValueRows] = {"MapDetail", "LivesDetail", "TimeDetail", "TeamsDetail",
                                           "TeamHitsDetail"};
    const char* detailTexts[kValueRows] = {"Map1", kDefaultLives, kDefaultTime, "Off", "Off"};
    // "ArrorwL_2" is the name the menu has always given that arrow; kept so lookups still find it.
    const char* arrowNames[2 * kValueRows] = {"ArrowL_1", "ArrowR_1", "ArrorwL_2", "ArrowR_2", "ArrowL_3",
                                              "ArrowR_3", "ArrowL_4", "ArrowR_4",  "ArrowL_5", "ArrowR_5"};
    for (std::size_t r = 0; r < kValueRows; ++r) {
        ui.labels[r] = text(labelNames[r], labelTexts[r], {kLabelX, kRowY[r], kTextZ});
        ui.details[r] = text(detailNames[r], detailTexts[r], {kDetailX, kRowY[r], kTextZ});
        ui.arrows[2 * r] = image(arrowNames[2 * r], "Arrow", {kArrowLeftX, kRowY[r], kTextZ}, kArrowScale);
        // The picture points right; the left arrows are the same picture turned round.
        ui.arrows[2 * r]->transform.setRotation(0.0f, 0.0f, 180.0f);
        ui.arrows[2 * r + 1] =
            image(arrowNames[2 * r + 1], "Arrow", {kArrowRightX, kRowY[r], kTextZ}, kArrowScale);
    }
    // "Team hits" is the longest label: it keeps clear of the left arrows.
    FitText(ui.labels[LevelRow::TeamHits], {kRowTextScale.x, kRowTextScale.y}, 6.0f);
    // Both sit on the panel: a hair in front of it, so the depth test does not hide them behind
    // the panel drawn first at the same depth.
    ui.backPanel = image("BackPanel", "Selection", {0, kRowY[0], kOnPanelZ}, {20, 2.4f, 1});
    ui.startButton = image("StartButton", "StartGame", {0, -13.4f, kOnPanelZ}, {4.3f, 2.2f, 1});
    ui.noMapsText = text("NoMapsText", kNoMaps, {kDetailX, kRowY[0], kTextZ});
    // Right of the panel, level with the start button: the view reaches 15 below the middle.
    ui.editHint = MakeObject("EditHint", {kEditHintAt, {1.0f, 1.0f, 1}});
    setText(ui.editHint, kEditHint);
    // Between the map's picture and the panel, where it cannot be missed.
    ui.teamsNotice = MakeObject("TeamsNotice", {{0, 1.25f, kTextZ}, {0.9f, 1.1f, 1}});
    setText(ui.teamsNotice, kSidesNeeded);

    auto* logic = ui.preview->attach(new LevelSelect(ui.preview));
    logic->ui = ui;
    for (std::size_t i = 0; i < mapNames.size(); ++i) {
        logic->mapNames[static_cast<int32_t>(i)] = mapNames[i];
    }
    logic->previewNames = previewNames;
    logic->allMaps = mapNames;
    logic->allPreviews = previewNames;
    logic->shippedCount = std::min(shippedCount, mapNames.size());

    GameObject* all[] = {ui.preview,    ui.panel,    ui.backPanel,  ui.startButton,
                         ui.noMapsText, ui.editHint, ui.teamsNotice};
    for (GameObject* object : all) {
        setActive(object, false);
    }
    for (std::size_t r = 0; r < kValueRows; ++r) {
        setActive(ui.labels[r], false);
        setActive(ui.details[r], false);
    }
    for (GameObject* arrow : ui.arrows) {
        setActive(arrow, false);
    }
    return logic;
}
