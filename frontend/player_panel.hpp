#pragma once

// Player selection: four panels, one per possible player. A player joins by pressing the confirm
// of a free control scheme (T for the left keyboard half, Numpad 8 for the right, A on a pad);
// the next free panel opens for that scheme, where the player picks a face, a turret and a
// track, reading a short stats text, and confirms to be ready. C (or Y on a pad) seats a computer
// on the next free panel instead, ready at once with choices of its own and a computer badge;
// pressed again it makes that computer harder (easy, normal, hard) and then seats another. A
// computer wears a face no other seat has while one is free, and moves off one a person takes. Backspace (or
// B on a pad) takes the last computer away. A pad that stops answering gives its panel and its pad back; a
// pad plugged in meanwhile joins like any other with A. In a team match (the level select's Teams
// row) each panel wears its side's colour, changed by its player's own team key: R on the left
// keyboard half, Numpad 9 on the right, either shoulder button on a pad.

#include "gameplay/bot.hpp"
#include "net/online_start.hpp"
#include "objects/logic.hpp"
#include "objects/math_types.hpp"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

class GameObject;
struct MenuController;

// A panel's objects; positions are local to its "PanelRoot".
struct PanelObjects {
    GameObject* root = nullptr; // "PanelRoot"
    std::array<GameObject*, 3> arrowsLeft{};
    std::array<GameObject*, 3> arrowsRight{};
    GameObject* backPanel = nullptr; // the row highlight
    GameObject* face = nullptr;
    GameObject* turret = nullptr;
    GameObject* track = nullptr;
    GameObject* faceFull = nullptr;
    GameObject* turretFull = nullptr;
    GameObject* trackFull = nullptr;
    GameObject* schemeIcon = nullptr;
    GameObject* setSelection = nullptr; // shown while ready
    GameObject* startText = nullptr;    // "Press Start to join!!"
    GameObject* computerHint = nullptr; // under the start text: how to seat a computer
    GameObject* computerText = nullptr; // on a computer's panel: its level
    GameObject* teamRim = nullptr;      // behind the panel, in its side's colour (team matches)
    GameObject* teamText = nullptr;     // "Red team", with the key that changes it
    std::array<GameObject*, 4> statsLabels{};
    std::array<GameObject*, 4> statsValues{};
};

namespace PanelRow {
constexpr uint32_t Face = 0;
constexpr uint32_t Turret = 1;
constexpr uint32_t Track = 2;
constexpr uint32_t Closed = 3; // joined or not, waiting to be opened
constexpr uint32_t Ready = 4;
} // namespace PanelRow

// The "no key" code of a panel role without a key (pads): one past the SFML key codes.
constexpr uint32_t kNoKey = 101;

class PlayerPanel : public Logic {
  public:
    PlayerPanel(GameObject* ownerObject, std::string panelLabel);
    void Update() override;

    // The scheme's keys and icon: 0..3 a pad (no keys), 4 and 5 the keyboard halves.
    void SetControlScheme(int32_t scheme);
    // Back to the panel's default choices, closed and not joined (the scheme is kept).
    void Reset();
    // Visibility of the main parts, the root and the start text.
    void ShowParts(bool mainParts, bool rootPart, bool startTextPart);
    void ShowFace(const std::string& image);
    void ShowTurret(const std::string& name);
    void ShowTrack(const std::string& name);
    void MoveHighlight(uint32_t toRow);
    // Seats a computer of this level here: joined, opened and ready, with random choices.
    void SeatComputer(BotLevel level);
    // Takes over another panel's player as they stand (scheme, choices, row, computer level)
    // and shows them here; the panel's own label and back request stay.
    void TakeSeatOf(const PlayerPanel& other);
    // The stats text of a turret or a track by table index; an index outside the table changes nothing.
    void ShowStats(int32_t index, bool turretStats);
    // The side's rim and name, while the panel is open in a team match.
    void ShowTeam();
    // Whether the menu's match is a team match.
    bool teamsOn() const;

    bool opened = false;
    bool joined = false;
    bool backRequested = false;
    int32_t faceIndex = 0;
    int32_t turretIndex = 0;
    int32_t trackIndex = 0;
    std::string label; // "Player1".."Player4": selects the default choices
    int32_t controlScheme = -1;
    std::optional<BotLevel> computer; // set while a computer holds the panel
    uint8_t team = 0;                 // its side in a team match: panels start red, blue, red, blue
    uint32_t row = PanelRow::Closed;
    std::array<uint32_t, 6> keys{}; // left, right, up, down, confirm, cancel; kNoKey for none
    std::map<int32_t, std::string> faceNames;
    std::map<int32_t, std::string> faceImages;
    std::map<int32_t, std::string> turretNames;
    std::map<int32_t, std::string> trackNames;
    std::map<int32_t, std::string> trackJumpNames;
    PanelObjects ui;
    // The menu's controller, which counts ready players.
    MenuController* menu = nullptr;
};

// Builds a panel's objects at a world position with its logic on "PanelRoot".
PlayerPanel* BuildPlayerPanel(vec3 position, const std::string& panelLabel, MenuController* menu);

// The screen routines the main menu runs.
void EnterPlayerSelect(MenuController& menu);
void LeavePlayerSelect(MenuController& menu);
// First, every joined panel whose pad stopped answering is un-joined and its pad freed; the
// panels after it move down one, so panels 1 to joinedCount stay the joined ones.
// Then Backspace or a pad's B takes the last computer away when the last panel holds one, and
// that is all for the frame. Otherwise at most one join a frame, in the order T, Numpad 8, pads 0
// to 3; a scheme joins once a visit. With no join, C or a pad's Y seats a computer (or makes the
// last one harder). Every frame, a computer on a face another seat has takes a free one.
void JoinPlayers(MenuController& menu);
enum class PanelsOutcome { Stay, Back, Start };
// Panel 1 asking for back leaves the screen; every joined player ready (two at least, or the
// fewest given: online one is enough) starts, once at least one of them is a person (unless no
// person is needed: a machine joining online may bring computers alone).
PanelsOutcome CheckStart(MenuController& menu, uint32_t fewest = 2, bool personNeeded = true);
// Every panel's choices and the level select's map, lives and time into the match settings;
// PlayerBot1..4 hold the level of each computer seat and are empty for people.
void WriteMatchSettings(const MenuController& menu);
// The sides of the menu's match: the Teams and Team hits rows of the level select, each joined
// panel's side, and the sides seats start on beyond them (a hosted match's friends).
Teams MenuTeams(const MenuController& menu);
// This machine's seats online as the panels set them: how many, each a person or a computer of
// its level with its look, and the people's controls in seat order.
void WriteOnlineSeats(const MenuController& menu, OnlineOptions& options);
