#pragma once

// How this run of the game plays its matches beyond their settings: recorded to a file, played
// back from a recording, or soaked (computer matches back to back, checked as they go). The
// command line sets it up; with no such option every field stays empty and matches are played
// exactly as the menus set them up.

#include "engine/game_state.hpp"
#include "match/recording.hpp"
#include "objects/json_data.hpp"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A match on a map held in memory rather than read from its file (the map editor's "Try it"):
// Escape leaves it at once, and it goes back to the state that asked for it, not the main menu.
struct TrialMatch {
    MapData map;
    std::string backgroundPath; // the picture file, "" for none
    uint32_t returnState = GameStateId::MainMenu;
};

class MatchRun {
  public:
    static MatchRun& instance();

    // The seed a match starts from: the replay's, the fixed one, or a fresh one from the clock.
    uint32_t seedForMatch() const;
    // Whether the pause menu may open: a recording keeps only the players' actions, so a match
    // that is recorded or played back is played through without pauses.
    // A trial match has no pause either: Escape leaves it.
    bool pausesAllowed() const { return recordPath.empty() && !replay && !trial; }

    std::optional<uint32_t> fixedSeed;    // every match starts from this seed (tests, soaks to retrace)
    std::string recordPath;               // --record: where each match's recording goes
    std::unique_ptr<ReplaySource> replay; // --replay: the recording being played back
    std::optional<TrialMatch> trial;      // the next matches play this map, until it is cleared

    // --soak: all-computer matches on random maps, back to back, until soakSeconds of real
    // time have passed since soakStart; then the game quits.
    bool soak = false;
    double soakSeconds = 0.0;
    double soakStart = 0.0;
    int soakMatches = 0;
    int soakFailures = 0;
    double memoryAfterFirstMb = 0.0;
    double memoryAfterLastMb = 0.0;
};

// Every match of this run is recorded to the file (each one replaces the last).
void RecordMatches(const std::string& path);
// Reads a recording and sets the run up to play it back: its settings become the match
// settings, the first state is the match and every frame lasts as long as it did. False (the
// reader has said why in one line) when the file cannot be played.
bool ReplayMatch(const std::string& path);
// All-computer matches on random maps, back to back, for that many minutes of real time.
void SoakMatches(double minutes, const std::vector<std::string>& maps);

// The settings of a soak match: four computers of mixed levels on a map picked at random.
void WriteSoakMatchSettings(const std::vector<std::string>& maps, uint32_t pick);
// Seconds on a monotonic clock, and the process's resident and peak memory in megabytes.
double WallSeconds();
double ResidentMegabytes();
double PeakMegabytes();
