#pragma once

// The end of a match: the check that ends it (at most one player left, or the clock run out),
// the banner of two heart halves that slides in while time slows to a halt, the victory screen
// with every tank on a podium column as high as its rank, and any player's confirm to leave.

#include "objects/math_types.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class GameObject;
class GameUIRenderer;
class PlayGameState;
class Player;
class StateArchive;
class WorldHasher;

// Lives left on each side of a team match (red, blue), the players out counting none.
std::array<uint32_t, 2> TeamLives(const PlayGameState& match);
// How many sides of a team match still have a player with lives left.
int SidesLeft(const PlayGameState& match);
// The side with more lives left in all; none for a draw.
std::optional<uint8_t> WinningTeam(const PlayGameState& match);
// Each seat's place on the podium from the left: seat order, but in a team match the winning
// side's players (red's in a draw) stand together first.
std::vector<int> ColumnOrder(const PlayGameState& match);
// Seat indices in podium order: best rank first, seats of equal rank (a draw) in seat order.
std::vector<int> ResultsOrder(const std::vector<int32_t>& ranks);

struct Podium {
    GameObject* podium = nullptr;
    float x = 0.0f;
    float baseY = -13.5f;
    float z = 2.0f;
    float height = 0.0f;
    float targetHeight = 0.0f;
    int32_t rank = 0; // 1 is best; 0 for everyone in a draw
};

// Where the podium leaves for: the title (a confirm), the same match again (R, Numpad 9, a
// pad's Y) or the level select with the same players seated (Backspace, a pad's X).
namespace AfterPodium {
constexpr uint32_t Title = 0;
constexpr uint32_t Rematch = 1;
constexpr uint32_t LevelSelect = 2;
} // namespace AfterPodium

// The rematch key of one player's controls (a scheme of engine/control_scheme.hpp): R on the
// left keyboard half, Numpad 9 on the right, Y on a pad; pressed this frame.
bool RematchKeyPressed(uint32_t scheme);
// Any of these players' rematch keys.
bool AnyRematchKeyPressed(const std::vector<Player*>& players);

namespace EndReason {
constexpr uint32_t TimeUp = 0;
constexpr uint32_t KnockOut = 1;
} // namespace EndReason

class GameOver {
  public:
    // While playing, every frame: ends the match by knock-out (checked ten times a second) or
    // when the clock has run out, and builds the banner.
    void Check(PlayGameState& match);
    // The GameSet phase: time slows, the hearts slide in, meet over the switch to the victory
    // screen, and slide out again.
    void BannerStep(PlayGameState& match);
    // The Podium phase: the columns grow; once all have, the results strip shows and a
    // confirm, a rematch or the level-select key starts the fade out (leaveTo says which).
    void PodiumStep(PlayGameState& match);
    void BuildVictoryScreen(PlayGameState& match);
    // The end sequence's part of the world hash: what times the banner and the podium.
    void hashState(WorldHasher& hasher) const;
    // The same into a saved state of the match, with the banner's and the podium's objects, which
    // a rollback to before they were made takes away.
    void carryState(StateArchive& archive);

    uint32_t endReason = EndReason::TimeUp;
    uint32_t bannerStep = 0;
    float bannerTimer = 0.0f;
    vec3 bannerVelocity;
    GameUIRenderer* heartLeft = nullptr;
    GameUIRenderer* heartRight = nullptr;
    GameUIRenderer* bannerTextLeft = nullptr;
    GameUIRenderer* bannerTextRight = nullptr;
    std::array<Podium, 4> podiums{};
    GameObject* victoryText = nullptr;
    GameObject* teamBanner = nullptr; // a team match's winning side, in words
    float podiumSeconds = 0.0f;       // real time the podium has stood
    uint32_t leaveTo = AfterPodium::Title;
    GameObject* resultsStrip = nullptr; // under the grown columns, with the podium's keys

  private:
    void buildBanner();
    void showResults(PlayGameState& match);
};
