#pragma once

// How this run of the game plays its matches beyond their settings: recorded to a file, played
// back from a recording, or soaked (computer matches back to back, checked as they go). The
// command line sets it up; with no such option every field stays empty and matches are played
// exactly as the menus set them up.

#include "engine/game_state.hpp"
#include "match/online_play.hpp"
#include "match/recording.hpp"
#include "match/replay_source.hpp"
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
    // The window's close button was pressed during it: the state it went back to answers it.
    bool closeAsked = false;
};

class MatchRun {
  public:
    static MatchRun& instance();

    // The seed a match starts from: the replay's, the fixed one, or a fresh one from the clock.
    uint32_t seedForMatch() const;
    // Whether the pause menu may open: a recording keeps only the players' actions, so a match
    // that is recorded or played back is played through without pauses.
    // A trial match has no pause either: Escape leaves it. An online match cannot be paused
    // either: the other machines play on.
    // A match under the sync test cannot be paused either: its frames are simulated twice.
    bool pausesAllowed() const {
        return recordPath.empty() && !replay && !trial && online == nullptr && !syncTest;
    }

    std::optional<uint32_t> fixedSeed;    // every match starts from this seed (tests, soaks to retrace)
    std::string recordPath;               // --record: where each match's recording goes
    std::unique_ptr<ReplaySource> replay; // --replay: the recording being played back
    bool replayFailed = false;            // it did not end on the recorded result: exit with 1
    std::optional<TrialMatch> trial;      // the next matches play this map, until it is cleared
    OnlinePlay* online = nullptr;         // --host, --join: the match is played online (not owned)
    bool syncTest = false;                // --sync-test: the match rolls back and checks itself
    bool syncTestFailed = false;          // and a frame simulated again came out differently
    // The podium asked for the level select with the same players: the main menu opens there,
    // its panels seated from the match settings, and clears this.
    bool seatedAtLevelSelect = false;

    // --soak: all-computer matches on random maps, back to back, until soakSeconds of real
    // time have passed since soakStart; then the game quits.
    bool soak = false;
    double soakSeconds = 0.0;
    double soakStart = 0.0;
    int soakMatches = 0;
    int soakFailures = 0;
    double memoryAfterFirstMb = 0.0;
    double memoryAfterLastMb = 0.0;
    double heapAfterFirstMb = 0.0;
    double heapAfterLastMb = 0.0;
};

// Every match of this run is recorded to the file (each one replaces the last). Its frames last
// what the clock says, within what a recording holds (see kMinFrameMilliseconds); an online
// match's frames are the session's fixed frames, and are recorded as such.
void RecordMatches(const std::string& path, bool online = false);
// Reads a recording and sets the run up to play it back: its settings become the match
// settings, the first state is the match and every frame lasts as long as it did. False, with
// one line, when the file cannot be played or holds settings no match may have (maps are the
// names of the map list).
bool ReplayMatch(const std::string& path, const std::vector<std::string>& maps);
// Once per frame of a replayed match, after its phase has run (podiumRanks set once the podium
// stands): ends the replay when the match reaches its podium or the recorded frames run out,
// with one line saying whether it ends on the recorded result or at which frame the two part.
// True when the replay has ended; replayFailed is then set if it did not end as recorded.
bool FollowReplay(uint32_t matchFrames, const std::vector<int32_t>* podiumRanks);
// The match is left while its replay still has frames: stopped by the player when quitting,
// otherwise the match and the recording part there.
void LeaveReplay(uint32_t matchFrames, bool quitting);
// All-computer matches on random maps, back to back, for that many minutes of real time.
void SoakMatches(double minutes, const std::vector<std::string>& maps);

// The settings of a soak match: four computers of mixed levels on a map picked at random.
void WriteSoakMatchSettings(const std::vector<std::string>& maps, uint32_t pick);
// Seconds on a monotonic clock, and the process's resident and peak memory in megabytes.
double WallSeconds();
// CPU seconds the process has used, every thread counted (a software renderer draws on its own).
double ProcessCpuSeconds();
double ResidentMegabytes();
double PeakMegabytes();
// The heap the program holds in megabytes (blocks allocated and not yet freed, big mapped ones
// included). Unlike the resident size it leaves out what the allocator keeps for reuse, so it
// is what shows a leak.
double HeapInUseMegabytes();
