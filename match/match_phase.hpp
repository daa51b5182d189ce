#pragma once

#include <cstdint>

// The phases of a match, in the order a match goes through them.
namespace MatchPhase {
constexpr uint32_t FadeIn = 0;  // the circular fade from black; time frozen
constexpr uint32_t GoSign = 1;  // the "Go" sign slides across; time frozen
constexpr uint32_t Playing = 2; // the match runs
constexpr uint32_t Paused = 3;  // the pause menu is open; time frozen
constexpr uint32_t GameSet = 4; // the end banner
constexpr uint32_t Podium = 5;  // the victory podium
constexpr uint32_t FadeOut = 6; // the fade to black before the main menu
} // namespace MatchPhase
