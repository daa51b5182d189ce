#include "frontend/player_panel.hpp"

#include "engine/input_manager.hpp"
#include "frontend/level_select.hpp"
#include "frontend/menu_controller.hpp"
#include "frontend/menu_screens.hpp"
#include "frontend/text_fit.hpp"
#include "graphics/renderer.hpp"
#include "graphics/scene_builders.hpp"
#include "match/choice_tables.hpp"
#include "match/match_settings.hpp"
#include "objects/game_object.hpp"
#include "objects/game_object_list.hpp"
#include "objects/random.hpp"
#include "objects/resource_manager.hpp"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <set>
#include <vector>

namespace {

using NameTable = std::map<int32_t, std::string>;

// What a panel's six keys stand for, in the order of PlayerPanel::keys.
namespace Role {
constexpr size_t Left = 0;
constexpr size_t Right = 1;
constexpr size_t Up = 2;
constexpr size_t Down = 3;
constexpr size_t Confirm = 4;
constexpr size_t Cancel = 5;
} // namespace Role

// The pad buttons that stand in for the keys on a pad scheme, in the same order.
constexpr std::array<int, 6> kPadRoles = {kButtonDpadLeft, kButtonDpadRight, kButtonDpadUp,
                                          kButtonDpadDown, kButtonA,         kButtonX};

using sf::Keyboard;
constexpr std::array<uint32_t, 6> kLeftHalfKeys = {Keyboard::A, Keyboard::D, Keyboard::W,
                                                   Keyboard::S, Keyboard::T, Keyboard::G};
constexpr std::array<uint32_t, 6> kRightHalfKeys = {Keyboard::Left, Keyboard::Right,   Keyboard::Up,
                                                    Keyboard::Down, Keyboard::Numpad8, Keyboard::Numpad5};
constexpr std::array<uint32_t, 6> kPadKeys = {kNoKey, kNoKey, kNoKey, kNoKey, kNoKey, kNoKey};

constexpr int32_t kKeyboardLeft = 4;
constexpr int32_t kKeyboardRight = 5;
constexpr int32_t kPadCount = static_cast<int32_t>(kMaxPads);

// Heights of the face, turret and track rows for the highlight behind them.
constexpr std::array<float, 3> kHighlightY = {0.32f, 0.02f, -0.28f};
constexpr float kHighlightX = -0.325f;
constexpr float kHighlightZ = 1.1f;

constexpr vec4 kTextColour{1, 1, 0, 1};
constexpr vec4 kPanelColour{1, 0.2f, 1, 0.8f};
constexpr vec3 kPanelScale{23.04f, 12.0f, 1.0f};

constexpr std::array<const char*, 4> kStatsLabelNames = {"AbilityText", "DmgText", "RangeText", "ChargeText"};
constexpr std::array<const char*, 4> kStatsValueNames = {"AbilityType", "DmgType", "RangeType", "ChargeType"};
// Until the first stats update fills them in.
constexpr std::array<const char*, 4> kStatsLabelsAtStart = {
    "Ability: ", "Damage: ", "Range: ", "Fire Rate: "};
constexpr std::array<const char*, 4> kStatsValuesAtStart = {"Explosion", "+++", "+", "+"};
constexpr std::array<float, 4> kStatsY = {0.0f, -0.1f, -0.2f, -0.3f};
constexpr vec2 kStatsScale{0.05f, 0.1f};
// The values stand right of the panel's middle with little room before its frame: lines longer
// than this many characters ("Quick Charge Rate") shrink to that width, and so stay inside.
constexpr float kStatsCharacters = 12.0f;
constexpr std::array<float, 3> kArrowY = {0.3f, 0.0f, -0.3f};

GameObject* picture(GameObject* parent, const std::string& name, const std::string& texture, const Pose& pose,
                    int32_t columns = 1) {
    GameObject* object = MakeObject(name, pose, parent);
    AddSprite(object, texture, {1, 1, 1, 1}, columns);
    return object;
}

void setText(GameObject* object, const std::string& text) {
    SetText(object, text, kTextColour);
}

GameObject* label(GameObject* parent, const std::string& name, const std::string& text, const Pose& pose) {
    GameObject* object = MakeObject(name, pose, parent);
    setText(object, text);
    return object;
}

// The entry of a table, "" for an index it does not hold.
std::string entry(const NameTable& table, int32_t index) {
    auto it = table.find(index);
    return it != table.end() ? it->second : std::string();
}

// An index that has left its table (a stray write, or a table shorter than a panel's default)
// is said once and goes back to the first entry, so nothing downstream reads past a table. An
// empty table holds no entry at all: 0 is then the only sound value and needs no word.
void keepInTable(int32_t& index, const NameTable& table, const std::string& panel, const char* what) {
    if (table.contains(index) || (table.empty() && index == 0)) {
        return;
    }
    std::cout << panel << ": " << what << " " << index << " is not in the " << what << " table ("
              << table.size() << " entries); using " << what << " 0" << std::endl;
    index = 0;
}

// One step along a table, coming round at either end; an empty table has nowhere to go.
void stepThrough(int32_t& index, const NameTable& table, int32_t step, const std::string& panel,
                 const char* what) {
    keepInTable(index, table, panel, what);
    if (table.empty()) {
        return;
    }
    const auto count = static_cast<int32_t>(table.size());
    index = ((index + step) % count + count) % count;
}

// The level select's choice for the match. Its indices are its own to keep in range; one that
// is not is said, and the first entry stands in rather than an empty value.
std::string levelEntry(const NameTable& table, uint32_t index, const char* what) {
    auto it = table.find(static_cast<int32_t>(index));
    if (it != table.end()) {
        return it->second;
    }
    std::cout << "Level select: " << what << " " << index << " is not in the " << what << " table ("
              << table.size() << " entries); using the first" << std::endl;
    return entry(table, 0);
}

constexpr vec4 kComputerColour{0.4f, 1.0f, 1.0f, 1.0f};
constexpr const char* kComputerIcon = "ControlSchemeComputer";

std::string computerLabel(BotLevel level) {
    std::string name = BotLevelName(level);
    for (char& c : name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return "CPU " + name;
}

// Any pad's button went down this frame.
bool anyPadPressed(int button) {
    const InputManager& input = InputManager::instance();
    for (uint32_t pad = 0; pad < kMaxPads; ++pad) {
        if (input.padPressed(pad, button)) {
            return true;
        }
    }
    return false;
}

bool backPressed() {
    const InputManager& input = InputManager::instance();
    if (input.keyPressed(Keyboard::Escape)) {
        return true;
    }
    for (uint32_t pad = 0; pad < kMaxPads; ++pad) {
        if (input.padPressed(pad, kButtonBack)) {
            return true;
        }
    }
    return false;
}

// A role acts when the panel's key for it went down, or on a pad scheme its button did. Pad
// schemes have no keys; the input answers false for the "no key" code.
bool acts(const PlayerPanel& panel, size_t role) {
    const InputManager& input = InputManager::instance();
    if (input.keyPressed(static_cast<int>(panel.keys[role]))) {
        return true;
    }
    return panel.controlScheme >= 0 && panel.controlScheme < kPadCount &&
           input.padPressed(static_cast<uint32_t>(panel.controlScheme), kPadRoles[role]);
}

// The team key of the panel's own controls: R, Numpad 9, or either shoulder of its pad.
bool teamKey(const PlayerPanel& panel) {
    const InputManager& input = InputManager::instance();
    if (panel.controlScheme == kKeyboardLeft) {
        return input.keyPressed(Keyboard::R);
    }
    if (panel.controlScheme == kKeyboardRight) {
        return input.keyPressed(Keyboard::Numpad9);
    }
    if (panel.controlScheme < 0 || panel.controlScheme >= kPadCount) {
        return false;
    }
    const auto pad = static_cast<uint32_t>(panel.controlScheme);
    return input.padPressed(pad, kButtonLeftShoulder) || input.padPressed(pad, kButtonRightShoulder);
}

const char* teamKeyName(int32_t scheme) {
    return scheme == kKeyboardLeft ? "R" : scheme == kKeyboardRight ? "Num 9" : "LB/RB";
}

bool isReady(const PlayerPanel* panel) {
    return panel != nullptr && panel->row == PanelRow::Ready;
}

// The slot of a scheme in the menu's used list: the keyboard halves first, then the pads.
size_t schemeSlot(int32_t scheme) {
    if (scheme == kKeyboardLeft) {
        return SchemeSlot::KeyboardLeft;
    }
    if (scheme == kKeyboardRight) {
        return SchemeSlot::KeyboardRight;
    }
    return SchemeSlot::FirstPad + static_cast<size_t>(scheme);
}

} // namespace

PlayerPanel::PlayerPanel(GameObject* ownerObject, std::string panelLabel)
    : Logic("Panel", ownerObject), label(std::move(panelLabel)), keys(kLeftHalfKeys) {
    // Every panel offers the same choices, in the order the match reads them back.
    for (size_t i = 0; i < kFaceChoices.size(); ++i) {
        faceNames[static_cast<int32_t>(i)] = kFaceChoices[i].setting;
        faceImages[static_cast<int32_t>(i)] = kFaceChoices[i].image;
    }
    for (size_t i = 0; i < kTurretChoices.size(); ++i) {
        turretNames[static_cast<int32_t>(i)] = kTurretChoices[i].setting;
    }
    for (size_t i = 0; i < kTrackChoices.size(); ++i) {
        trackNames[static_cast<int32_t>(i)] = kTrackChoices[i].setting;
        trackJumpNames[static_cast<int32_t>(i)] = kTrackChoices[i].jump;
    }
}

void PlayerPanel::SetControlScheme(int32_t scheme) {
    std::string icon;
    if (scheme >= 0 && scheme < kPadCount) {
        keys = kPadKeys;
        icon = "ControlSchemeGamepad" + std::to_string(scheme + 1);
    } else if (scheme == kKeyboardLeft) {
        keys = kLeftHalfKeys;
        icon = "ControlSchemeKeyboardLeft";
    } else if (scheme == kKeyboardRight) {
        keys = kRightHalfKeys;
        icon = "ControlSchemeKeyboardRight";
    } else {
        std::cout << label << ": there is no control scheme " << scheme << "; keeping scheme "
                  << controlScheme << std::endl;
        return;
    }
    controlScheme = scheme;
    SetPicture(ui.schemeIcon, icon);
}

void PlayerPanel::Reset() {
    row = PanelRow::Closed;
    opened = false;
    joined = false;
    backRequested = false;
    faceIndex = 0;
    turretIndex = 0;
    trackIndex = 0;
    for (size_t i = 0; i < kDefaultPanelChoices.size(); ++i) {
        if (label == "Player" + std::to_string(i + 1)) {
            faceIndex = kDefaultPanelChoices[i].face;
            turretIndex = kDefaultPanelChoices[i].turret;
            trackIndex = kDefaultPanelChoices[i].track;
        }
    }
    keepInTable(faceIndex, faceImages, label, "face");
    keepInTable(turretIndex, turretNames, label, "turret");
    keepInTable(trackIndex, trackNames, label, "track");
    ShowFace(entry(faceImages, faceIndex));
    ShowTurret(entry(turretNames, turretIndex));
    ShowStats(turretIndex, true);
    ShowTrack(entry(trackNames, trackIndex));
    setActive(ui.setSelection, false);
    computer.reset();
    setActive(ui.computerText, false);
    // Sides alternate down the panels.
    team = kTeamRed;
    for (size_t i = 0; i < kDefaultPanelChoices.size(); ++i) {
        if (label == "Player" + std::to_string(i + 1)) {
            team = AlternateTeams()[i];
        }
    }
    ShowTeam();
}

bool PlayerPanel::teamsOn() const {
    return menu != nullptr && menu->levelSelect != nullptr && menu->levelSelect->teamsOn;
}

void PlayerPanel::ShowTeam() {
    const bool shown = teamsOn() && ui.root != nullptr && ui.root->active && joined;
    setActive(ui.teamRim, shown);
    setActive(ui.teamText, shown);
    if (!shown) {
        return;
    }
    if (auto* rim = ui.teamRim->getComponent<SpriteRenderer>()) {
        rim->color = TeamColour(team);
    }
    const std::string key = computer ? "" : std::string(" (") + teamKeyName(controlScheme) + ")";
    SetText(ui.teamText, std::string(TeamName(team)) + " team" + key, TeamColour(team));
}

void PlayerPanel::SeatComputer(BotLevel level) {
    computer = level;
    joined = true;
    opened = true;
    row = PanelRow::Ready;
    // Its own pick of every part, so computers do not all look alike.
    auto pick = [](const NameTable& table) {
        return table.empty() ? 0 : static_cast<int32_t>(gameRand() % static_cast<int>(table.size()));
    };
    faceIndex = pick(faceImages);
    turretIndex = pick(turretNames);
    trackIndex = pick(trackNames);
    ShowFace(entry(faceImages, faceIndex));
    ShowTurret(entry(turretNames, turretIndex));
    ShowStats(turretIndex, true);
    ShowTrack(entry(trackNames, trackIndex));
    ShowParts(true, true, false);
    MoveHighlight(PanelRow::Face);
    setActive(ui.setSelection, true);
    SetText(ui.computerText, computerLabel(level), kComputerColour);
    setActive(ui.computerText, true);
    // A computer holds no keys or pad: its badge says so, not the scheme the panel last had.
    SetPicture(ui.schemeIcon, kComputerIcon);
}

void PlayerPanel::TakeSeatOf(const PlayerPanel& other) {
    joined = other.joined;
    opened = other.opened;
    row = other.row;
    faceIndex = other.faceIndex;
    turretIndex = other.turretIndex;
    trackIndex = other.trackIndex;
    computer = other.computer;
    // Copied as they are: a computer's panel may hold no scheme at all.
    controlScheme = other.controlScheme;
    keys = other.keys;
    team = other.team;
    if (const auto* icon =
            other.ui.schemeIcon != nullptr ? other.ui.schemeIcon->getComponent<SpriteRenderer>() : nullptr) {
        SetPicture(ui.schemeIcon, icon->textureName);
    }
    ShowFace(entry(faceImages, faceIndex));
    ShowTurret(entry(turretNames, turretIndex));
    ShowTrack(entry(trackNames, trackIndex));
    ShowStats(row == PanelRow::Track ? trackIndex : turretIndex, row != PanelRow::Track);
    if (computer) {
        SetText(ui.computerText, computerLabel(*computer), kComputerColour);
    }
    ShowParts(opened, true, !opened);
    setActive(ui.setSelection, opened && row == PanelRow::Ready);
    MoveHighlight(row);
}

void PlayerPanel::ShowParts(bool mainParts, bool rootPart, bool startTextPart) {
    // The root alone: setActive would carry its flag down to every part.
    if (ui.root != nullptr) {
        ui.root->active = rootPart;
    }
    for (GameObject* part : {ui.backPanel, ui.face, ui.turret, ui.track, ui.faceFull, ui.turretFull,
                             ui.trackFull, ui.schemeIcon}) {
        setActive(part, mainParts);
    }
    for (size_t i = 0; i < 3; ++i) {
        setActive(ui.arrowsLeft[i], mainParts);
        setActive(ui.arrowsRight[i], mainParts);
    }
    for (size_t i = 0; i < 4; ++i) {
        setActive(ui.statsLabels[i], mainParts);
        setActive(ui.statsValues[i], mainParts);
    }
    // The ready mark shows only once the player is ready, never just because the panel opened.
    if (!mainParts) {
        setActive(ui.setSelection, false);
    }
    setActive(ui.startText, startTextPart);
    setActive(ui.computerHint, startTextPart);
    setActive(ui.computerText, mainParts && computer.has_value());
    ShowTeam();
}

void PlayerPanel::ShowFace(const std::string& image) {
    SetPicture(ui.face, image);
    SetPicture(ui.faceFull, image);
}

void PlayerPanel::ShowTurret(const std::string& name) {
    SetPicture(ui.turret, name);
    SetPicture(ui.turretFull, name);
}

void PlayerPanel::ShowTrack(const std::string& name) {
    SetPicture(ui.track, name);
    SetPicture(ui.trackFull, name);
}

void PlayerPanel::MoveHighlight(uint32_t toRow) {
    if (toRow >= kHighlightY.size() || ui.backPanel == nullptr) {
        return; // closed and ready have no row to mark
    }
    ui.backPanel->transform.setPosition(kHighlightX, kHighlightY[toRow], kHighlightZ);
}

void PlayerPanel::ShowStats(int32_t index, bool turretStats) {
    const std::array<const char*, 4>* labels = nullptr;
    const std::array<const char*, 4>* values = nullptr;
    if (turretStats) {
        if (index < 0 || static_cast<size_t>(index) >= kTurretChoices.size()) {
            return;
        }
        labels = &kTurretLabels;
        values = &kTurretChoices[static_cast<size_t>(index)].stats;
    } else {
        if (index < 0 || static_cast<size_t>(index) >= kTrackChoices.size()) {
            return;
        }
        labels = &kTrackLabels;
        values = &kTrackChoices[static_cast<size_t>(index)].stats;
    }
    for (size_t i = 0; i < 4; ++i) {
        setText(ui.statsLabels[i], (*labels)[i]);
        setText(ui.statsValues[i], (*values)[i]);
        FitText(ui.statsLabels[i], kStatsScale, kStatsCharacters);
        FitText(ui.statsValues[i], kStatsScale, kStatsCharacters);
    }
}

void PlayerPanel::Update() {
    // A computer's panel is ready from the start and answers to no keys.
    if (joined && !computer) {
        if (opened) {
            // Left and right change the choice of the row; several inputs may act in one frame.
            for (int32_t step : {-1, +1}) {
                if (!acts(*this, step < 0 ? Role::Left : Role::Right)) {
                    continue;
                }
                if (row == PanelRow::Face) {
                    stepThrough(faceIndex, faceImages, step, label, "face");
                    ShowFace(entry(faceImages, faceIndex));
                } else if (row == PanelRow::Turret) {
                    stepThrough(turretIndex, turretNames, step, label, "turret");
                    ShowTurret(entry(turretNames, turretIndex));
                    ShowStats(turretIndex, true);
                } else if (row == PanelRow::Track) {
                    stepThrough(trackIndex, trackNames, step, label, "track");
                    ShowTrack(entry(trackNames, trackIndex));
                    ShowStats(trackIndex, false);
                }
            }
            // Up and down go round the three rows; the stats follow the turret and track rows
            // (the face row keeps whatever stats were last shown).
            if (acts(*this, Role::Up) && row <= PanelRow::Track) {
                row = row == PanelRow::Face ? PanelRow::Track : row - 1;
                if (row == PanelRow::Track) {
                    ShowStats(trackIndex, false);
                } else if (row == PanelRow::Turret) {
                    ShowStats(turretIndex, true);
                }
                MoveHighlight(row);
            }
            if (acts(*this, Role::Down) && row <= PanelRow::Track) {
                row = row == PanelRow::Track ? PanelRow::Face : row + 1;
                if (row == PanelRow::Turret) {
                    ShowStats(turretIndex, true);
                } else if (row == PanelRow::Track) {
                    ShowStats(trackIndex, false);
                }
                MoveHighlight(row);
            }
        }
        if (acts(*this, Role::Confirm)) {
            if (opened || row != PanelRow::Closed) {
                // Confirming again counts again: the start check asks for at least as many
                // confirmations as players, and the last panel's own mark besides.
                row = PanelRow::Ready;
                if (menu != nullptr) {
                    menu->readyCount += 1;
                }
                setActive(ui.setSelection, true);
            } else {
                opened = true;
                ShowParts(true, true, false);
                row = PanelRow::Face;
                // The highlight may still stand where the last visit left it.
                MoveHighlight(row);
            }
        }
        // In a team match the player's own team key changes sides, ready or not.
        if (teamsOn() && teamKey(*this)) {
            team = team == kTeamRed ? kTeamBlue : kTeamRed;
            ShowTeam();
        }
        if (acts(*this, Role::Cancel) && opened && row == PanelRow::Ready) {
            // Un-readying does not give the count back; the ready marks still gate the start.
            row = PanelRow::Face;
            setActive(ui.setSelection, false);
            MoveHighlight(row);
        }
    }
    if (!backRequested && backPressed()) {
        backRequested = true;
    }
}

PlayerPanel* BuildPlayerPanel(vec3 position, const std::string& panelLabel, MenuController* menu) {
    GameObject* root = GameObjectList::instance().create("PanelRoot");
    root->transform.setPosition(position.x, position.y, position.z);
    root->transform.setScale(kPanelScale.x, kPanelScale.y, kPanelScale.z);
    auto* back = root->addComponent<SpriteRenderer>();
    back->shader = ResourceManager::instance().getShader("Sprite");
    back->setTexture("PlayerSelection");
    back->color = kPanelColour;

    PlayerPanel* panel = root->attach(new PlayerPanel(root, panelLabel));
    panel->menu = menu;
    PanelObjects& ui = panel->ui;
    ui.root = root;

    // The second left arrow's name is the one the other menu screens use for theirs as well.
    constexpr std::array<const char*, 3> leftNames = {"ArrowL_1", "ArrorwL_2", "ArrowL_3"};
    constexpr std::array<const char*, 3> rightNames = {"ArrowR_1", "ArrowR_2", "ArrowR_3"};
    const vec3 arrowScale{0.06f, 0.12f, 1.0f};
    for (size_t i = 0; i < 3; ++i) {
        ui.arrowsLeft[i] =
            picture(root, leftNames[i], "Arrow", {{-0.45f, kArrowY[i], 1.1f}, arrowScale, 180.0f});
        ui.arrowsRight[i] = picture(root, rightNames[i], "Arrow", {{-0.2f, kArrowY[i], 1.1f}, arrowScale});
    }
    ui.backPanel = picture(root, "BackPanel", "Selection",
                           {{kHighlightX, kHighlightY[0], kHighlightZ}, {0.33f, 0.26f, 1}});

    const std::string face = kFaceChoices[0].image;
    const std::string turret = kTurretChoices[0].setting;
    const std::string track = kTrackChoices[0].setting;
    // Track pictures are three-frame rolling strips.
    ui.face = picture(root, "PanelFace", face, {{-0.33f, 0.35f, 1.5f}, {0.2f, 0.25f, 1}});
    ui.turret = picture(root, "PanelTurret", turret, {{-0.33f, 0.0f, 1.5f}, {0.05f, 0.2f, 1}});
    ui.track = picture(root, "PanelTrack", track, {{-0.33f, -0.3f, 1.5f}, {0.15f, 0.1f, 1}}, 3);
    ui.faceFull = picture(root, "PanelFaceFull", face, {{0.2f, 0.3f, 1.5f}, {0.2f, 0.25f, 1}});
    ui.turretFull = picture(root, "PanelTurretFull", turret, {{0.2f, 0.35f, 1.4f}, {0.05f, 0.2f, 1}});
    ui.trackFull = picture(root, "PanelTrackFull", track, {{0.2f, 0.12f, 1.6f}, {0.18f, 0.12f, 1}}, 3);
    // A new panel answers to the left keyboard half until a scheme joins on it.
    ui.schemeIcon = picture(root, "ControlSchemeIcon", "ControlSchemeKeyboardLeft",
                            {{0.42f, 0.35f, 1.1f}, {0.1302083f, 0.25f, 1}});
    // The ready mark covers the whole panel, in front of everything on it.
    ui.setSelection = picture(root, "SetSelection", "SetSelection", {{0, 0, 2.0f}, {1, 1, 1}});
    setActive(ui.setSelection, false);
    ui.startText = label(root, "StartText", "Press Start to join!!", {{0, 0, 1.1f}, {0.1f, 0.2f, 1}});
    ui.computerHint = MakeObject("ComputerHint", {{0, -0.25f, 1.1f}, {0.04f, 0.08f, 1}}, root);
    SetText(ui.computerHint, "C or pad Y: add a computer", kComputerColour);
    // In front of the ready mark, which covers the panel.
    ui.computerText = MakeObject("ComputerText", {{0, -0.4f, 2.1f}, {0.06f, 0.12f, 1}}, root);
    SetText(ui.computerText, "", kComputerColour);
    setActive(ui.computerText, false);
    // The rim is the row highlight's picture, a little larger than the panel and behind it.
    ui.teamRim = picture(root, "TeamRim", "Selection", {{0, 0, -0.05f}, {1.04f, 1.08f, 1}});
    ui.teamText = MakeObject("TeamText", {{0.12f, 0.45f, 1.1f}, {0.045f, 0.09f, 1}}, root);
    SetText(ui.teamText, "", kTextColour);
    setActive(ui.teamRim, false);
    setActive(ui.teamText, false);
    for (size_t i = 0; i < 4; ++i) {
        ui.statsLabels[i] = label(root, kStatsLabelNames[i], kStatsLabelsAtStart[i],
                                  {{0, kStatsY[i], 1.1f}, {kStatsScale.x, kStatsScale.y, 1}});
        ui.statsValues[i] = label(root, kStatsValueNames[i], kStatsValuesAtStart[i],
                                  {{0.3f, kStatsY[i], 1.1f}, {kStatsScale.x, kStatsScale.y, 1}});
    }
    return panel;
}

void EnterPlayerSelect(MenuController& menu) {
    for (PlayerPanel* panel : menu.panels) {
        if (panel == nullptr) {
            continue;
        }
        panel->Reset();
        panel->ShowParts(false, true, true);
    }
    menu.joinedCount = 0;
    menu.readyCount = 0;
    menu.schemeUsed.fill(false);
    // Both stay set while the screen fades in; the menu clears them once the fade has stopped.
    menu.joinLocked = true;
    if (menu.title != nullptr) {
        menu.title->busy = true;
    }
}

void LeavePlayerSelect(MenuController& menu) {
    for (PlayerPanel* panel : menu.panels) {
        if (panel == nullptr) {
            continue;
        }
        panel->joined = false;
        panel->ShowParts(false, false, false);
    }
}

namespace {

PlayerPanel* lastJoined(MenuController& menu) {
    return menu.joinedCount > 0 && menu.joinedCount <= menu.panels.size() ? menu.panels[menu.joinedCount - 1]
                                                                          : nullptr;
}

// Each computer shows a face no other seat shows while one is free: people keep theirs, and a
// computer moves off a face a person (or an earlier computer) has onto a free one at random.
void keepComputerFacesApart(MenuController& menu) {
    const uint32_t seats = std::min<uint32_t>(menu.joinedCount, static_cast<uint32_t>(menu.panels.size()));
    std::set<int32_t> taken;
    for (uint32_t k = 0; k < seats; ++k) {
        if (menu.panels[k] != nullptr && !menu.panels[k]->computer) {
            taken.insert(menu.panels[k]->faceIndex);
        }
    }
    for (uint32_t k = 0; k < seats; ++k) {
        PlayerPanel* panel = menu.panels[k];
        if (panel == nullptr || !panel->computer) {
            continue;
        }
        std::vector<int32_t> free;
        for (const auto& [index, image] : panel->faceImages) {
            if (!taken.contains(index)) {
                free.push_back(index);
            }
        }
        if (taken.contains(panel->faceIndex) && !free.empty()) {
            panel->faceIndex = free[static_cast<size_t>(gameRand()) % free.size()];
            panel->ShowFace(entry(panel->faceImages, panel->faceIndex));
        }
        taken.insert(panel->faceIndex);
    }
}

// The last computer seated gets harder; a hard one is followed by another, easy, on the next panel.
void addComputer(MenuController& menu) {
    PlayerPanel* last = lastJoined(menu);
    if (last != nullptr && last->computer && *last->computer != BotLevel::Hard) {
        last->SeatComputer(*last->computer == BotLevel::Easy ? BotLevel::Normal : BotLevel::Hard);
    } else if (menu.joinedCount < menu.panels.size() && menu.panels[menu.joinedCount] != nullptr) {
        menu.panels[menu.joinedCount]->SeatComputer(BotLevel::Easy);
        menu.joinedCount += 1;
        menu.readyCount += 1;
    }
    keepComputerFacesApart(menu);
}

// Takes the last computer away; whether there was one to take.
bool removeComputer(MenuController& menu) {
    PlayerPanel* last = lastJoined(menu);
    if (last == nullptr || !last->computer) {
        return false;
    }
    last->Reset();
    last->ShowParts(false, true, true);
    menu.joinedCount -= 1;
    menu.readyCount = menu.readyCount > 0 ? menu.readyCount - 1 : 0;
    return true;
}

// A joined person's pad that no longer answers: the panel is un-joined and the pad freed, and
// the panels after it move down one so the joined ones stay first. A ready panel gives its
// confirmation back, as a computer taken away does.
void freeLostPads(MenuController& menu) {
    const InputManager& input = InputManager::instance();
    uint32_t k = 0;
    while (k < menu.joinedCount && k < menu.panels.size()) {
        PlayerPanel* panel = menu.panels[k];
        const int32_t scheme = panel != nullptr ? panel->controlScheme : -1;
        if (panel == nullptr || panel->computer || scheme < 0 || scheme >= kPadCount ||
            input.padConnected(static_cast<uint32_t>(scheme))) {
            ++k;
            continue;
        }
        std::cout << "Player selection: pad " << scheme + 1 << " stopped answering; panel " << k + 1
                  << " is free again" << std::endl;
        menu.schemeUsed[schemeSlot(scheme)] = false;
        if (panel->row == PanelRow::Ready && menu.readyCount > 0) {
            menu.readyCount -= 1;
        }
        const uint32_t last =
            std::min<uint32_t>(menu.joinedCount, static_cast<uint32_t>(menu.panels.size())) - 1;
        for (uint32_t j = k; j < last; ++j) {
            if (menu.panels[j] != nullptr && menu.panels[j + 1] != nullptr) {
                menu.panels[j]->TakeSeatOf(*menu.panels[j + 1]);
            }
        }
        if (PlayerPanel* freed = menu.panels[last]) {
            freed->Reset();
            freed->ShowParts(false, true, true);
        }
        menu.joinedCount = last;
    }
}

} // namespace

void JoinPlayers(MenuController& menu) {
    freeLostPads(menu);
    // Last frame's face choices first; a computer seated this frame is kept apart as it sits down.
    keepComputerFacesApart(menu);
    if (menu.joinLocked) {
        return;
    }
    const InputManager& input = InputManager::instance();
    // With no computer to take away the key does nothing, and a join in the same frame still counts.
    if ((input.keyPressed(Keyboard::BackSpace) || anyPadPressed(kButtonB)) && removeComputer(menu)) {
        return;
    }
    if (menu.joinedCount >= menu.panels.size()) {
        if (input.keyPressed(Keyboard::C) || anyPadPressed(kButtonY)) {
            addComputer(menu); // the last one may still get harder
        }
        return;
    }
    // One join a frame: two players pressing together would otherwise race for the same panel.
    int32_t scheme = -1;
    if (input.keyPressed(Keyboard::T) && !menu.schemeUsed[SchemeSlot::KeyboardLeft]) {
        scheme = kKeyboardLeft;
    } else if (input.keyPressed(Keyboard::Numpad8) && !menu.schemeUsed[SchemeSlot::KeyboardRight]) {
        scheme = kKeyboardRight;
    } else {
        for (int32_t pad = 0; pad < kPadCount; ++pad) {
            if (input.padPressed(static_cast<uint32_t>(pad), kButtonA) && !menu.schemeUsed[schemeSlot(pad)]) {
                scheme = pad;
                break;
            }
        }
    }
    if (scheme < 0) {
        if (input.keyPressed(Keyboard::C) || anyPadPressed(kButtonY)) {
            addComputer(menu);
        }
        return;
    }
    PlayerPanel* panel = menu.panels[menu.joinedCount];
    if (panel == nullptr) {
        std::cout << "Player selection: no panel " << menu.joinedCount + 1 << " to join on" << std::endl;
        return;
    }
    panel->joined = true;
    panel->SetControlScheme(scheme);
    menu.joinedCount += 1;
    menu.schemeUsed[schemeSlot(scheme)] = true;
}

PanelsOutcome CheckStart(MenuController& menu, uint32_t fewest, bool personNeeded) {
    const auto& panels = menu.panels;
    if (panels[0] != nullptr && panels[0]->backRequested) {
        return PanelsOutcome::Back;
    }
    const auto players = static_cast<uint32_t>(std::min<size_t>(menu.joinedCount, panels.size()));
    if (players < 1) {
        return PanelsOutcome::Stay;
    }
    // Every panel up to the last one must be ready. With fewer players than the fewest the last
    // panel is one nobody joined: one tank alone is no match.
    const size_t last = std::max<size_t>(players, std::max<uint32_t>(fewest, 1)) - 1;
    if (last >= panels.size()) {
        return PanelsOutcome::Stay;
    }
    for (size_t k = 0; k < last; ++k) {
        if (!isReady(panels[k])) {
            return PanelsOutcome::Stay;
        }
    }
    if (!isReady(panels[last]) || menu.readyCount < players) {
        return PanelsOutcome::Stay;
    }
    // Computers are ready as soon as they sit down; the match waits for a person to be ready too.
    bool anyPerson = false;
    for (size_t k = 0; k < players; ++k) {
        anyPerson = anyPerson || (panels[k] != nullptr && !panels[k]->computer);
    }
    return anyPerson || !personNeeded ? PanelsOutcome::Start : PanelsOutcome::Stay;
}

void WriteMatchSettings(const MenuController& menu) {
    MatchSettings& settings = MatchSettings::instance();
    settings.set("TotalPlayer", std::to_string(menu.joinedCount));
    for (uint32_t k = 1; k <= menu.panels.size(); ++k) {
        PlayerPanel* panel = menu.panels[k - 1];
        if (panel == nullptr) {
            std::cout << "Player selection: no panel " << k << " to write the settings of" << std::endl;
            continue;
        }
        keepInTable(panel->faceIndex, panel->faceNames, panel->label, "face");
        keepInTable(panel->turretIndex, panel->turretNames, panel->label, "turret");
        keepInTable(panel->trackIndex, panel->trackNames, panel->label, "track");
        const auto player = static_cast<int>(k);
        settings.set(MatchSettings::playerKey("PlayerFace", player),
                     entry(panel->faceNames, panel->faceIndex));
        settings.set(MatchSettings::playerKey("PlayerTurret", player),
                     entry(panel->turretNames, panel->turretIndex));
        settings.set(MatchSettings::playerKey("PlayerTrack", player),
                     entry(panel->trackNames, panel->trackIndex));
        settings.set(MatchSettings::playerKey("PlayerTrackJump", player),
                     entry(panel->trackJumpNames, panel->trackIndex));
        // Panels fill in joining order and leaving the screen un-joins them all, so the count
        // tells which panels played; one that sat out keeps no scheme from an earlier visit.
        const bool plays = k <= menu.joinedCount;
        const bool computer = plays && panel->computer.has_value();
        const int32_t scheme = plays && !computer ? panel->controlScheme : -1;
        settings.set(MatchSettings::playerKey("PlayerControl", player), std::to_string(scheme));
        settings.set(MatchSettings::playerKey("PlayerBot", player),
                     computer ? BotLevelName(*panel->computer) : "");
    }
    const LevelSelect* level = menu.levelSelect;
    if (level == nullptr) {
        std::cout << "Player selection: no level select to take the map, lives and time from" << std::endl;
        return;
    }
    settings.set("MapName", levelEntry(level->mapNames, level->mapIndex, "map"));
    settings.set("Lives", levelEntry(level->livesOptions, level->livesIndex, "lives"));
    settings.set("Time", level->chosenSeconds());
    WriteTeams(settings, MenuTeams(menu));
}

Teams MenuTeams(const MenuController& menu) {
    Teams teams;
    if (menu.levelSelect != nullptr) {
        teams.on = menu.levelSelect->teamsOn;
        teams.hits = menu.levelSelect->teamHits;
    }
    for (uint32_t k = 0; k < menu.joinedCount && k < menu.panels.size() && k < teams.seat.size(); ++k) {
        if (const PlayerPanel* panel = menu.panels[k]) {
            teams.seat[k] = panel->team;
        }
    }
    return teams;
}

void WriteOnlineSeats(const MenuController& menu, OnlineOptions& options) {
    const auto seats = std::min<uint32_t>(menu.joinedCount, static_cast<uint32_t>(kMaxSeats));
    options.seats = static_cast<int>(std::max<uint32_t>(seats, 1));
    std::array<SeatChoice, kMaxSeats> chosen{};
    size_t people = 0;
    for (uint32_t k = 0; k < seats && k < menu.panels.size(); ++k) {
        const PlayerPanel* panel = menu.panels[k];
        if (panel == nullptr) {
            continue;
        }
        SeatChoice& seat = chosen[k];
        seat.computer = panel->computer.has_value();
        seat.level = static_cast<uint8_t>(panel->computer.value_or(BotLevel::Normal));
        seat.look = {static_cast<uint8_t>(panel->faceIndex), static_cast<uint8_t>(panel->turretIndex),
                     static_cast<uint8_t>(panel->trackIndex)};
        if (!seat.computer && people < options.schemes.size()) {
            options.schemes[people++] = panel->controlScheme;
        }
    }
    options.chosen = chosen;
}
