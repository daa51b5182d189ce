#pragma once

// A recorded match: everything needed to play it back exactly through the real frame loop.
// The match is deterministic given its random seed, its settings, each frame's time step and
// every player's actions, so those are all a recording keeps; the result is kept too, so a
// replay can tell whether it came out the same.
//
// On disk it is a short text file, easy to look at and to diff:
//
//   GRUMBO-RECORDING 1
//   seed 1718035922
//   setting Lives=3
//   setting MapName=Big%20Arena
//   frames 2
//   16 0 0 0 0
//   17 81 0 400 0
//   result 1 2
//
// Setting keys and values escape '%', '=' and every byte outside printable ASCII (spaces
// included) as %XX. A frame line is the time step in milliseconds and then the four players'
// packed actions in hexadecimal. The result line lists the ranks of players 1..n. Every line
// ends in a newline, so a file cut off anywhere is told apart from a whole one.

#include "gameplay/action_source.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class Player;

constexpr int kRecordingVersion = 1;
constexpr int kRecordingPlayers = 4;
// One bit per PlayerActions field; anything above is never set.
constexpr int kActionBitCount = 11;
constexpr uint16_t kActionBitsMask = (1u << kActionBitCount) - 1;
// The longest match is ten minutes; a single frame longer than that is damage, not a stall.
constexpr uint32_t kMaxFrameMilliseconds = 600000;
// A podium rank: 1 is best, 0 for everyone in a draw, never more than there are players.
constexpr int32_t kMaxRank = kRecordingPlayers;
// A ten-minute match at 60 frames a second is under a megabyte; this leaves hours of room and
// still keeps a hostile file from running the game out of memory.
constexpr size_t kMaxRecordingBytes = 64u * 1024u * 1024u;

uint16_t PackActions(const PlayerActions& actions);
// Bits above kActionBitCount are ignored.
PlayerActions UnpackActions(uint16_t bits);

struct RecordedFrame {
    uint32_t milliseconds = 0;
    // Players 1..4 in slots 0..3. A player that did not run this frame (frozen during the
    // fade-in or a pause, or not in the match) keeps 0.
    std::array<uint16_t, kRecordingPlayers> actions{};
    bool operator==(const RecordedFrame&) const = default;
};

struct Recording {
    uint32_t seed = 0;
    std::map<std::string, std::string> settings;
    std::vector<RecordedFrame> frames;
    std::vector<int32_t> result; // ranks of players 1..n (as the podium gives them)
    bool operator==(const Recording&) const = default;
};

// Writes the text file. Refuses, with one line on standard output, a recording the reader would
// refuse (a value out of range) and a path that cannot be written.
bool WriteRecording(const Recording& recording, const std::string& path);
// Refuses (nullopt, with one line on standard output naming the file and what is wrong) a missing
// file, a non-regular file, an oversized file, another version, a damaged line, a truncated file
// and values out of range.
std::optional<Recording> ReadRecording(const std::string& path);
// The same, on text already in memory; label names it in the line.
std::optional<Recording> ParseRecording(const std::string& text, const std::string& label);

// Records a match as it is played. The match calls beginFrame(ms) once per frame before the
// players run; every running player's actions then arrive through onActions (install it with
// SetActionObserver); finish(result) ends it. A recorder still installed when it finishes or
// is destroyed uninstalls itself, so the game never calls into a dead recorder.
class MatchRecorder : public ActionObserver {
  public:
    MatchRecorder(uint32_t seed, std::map<std::string, std::string> settings);
    ~MatchRecorder() override;
    MatchRecorder(const MatchRecorder&) = delete;
    MatchRecorder& operator=(const MatchRecorder&) = delete;

    void beginFrame(uint32_t milliseconds);
    // Actions that come before the first frame or after the finish, or from a player numbered
    // outside 1..4, belong to no frame and are dropped.
    void onActions(const Player& player, const PlayerActions& actions) override;
    // Later frames and actions are ignored.
    void finish(std::vector<int32_t> result);

    bool finished() const { return done; }
    const Recording& recording() const { return record; }

  private:
    Recording record;
    bool done = false;
};

// Plays a recording's actions back. The match calls beginFrame() once per frame before the
// players run; actionsFor(player) then gives that player's recorded actions for the frame.
class ReplaySource : public ActionSource {
  public:
    explicit ReplaySource(Recording played);

    // Moves on to the next recorded frame; false (and no actions from then on) once every frame
    // has been played.
    bool beginFrame();
    PlayerActions actionsFor(const Player& player) override;

    // True once the last frame has begun: nothing is left to play after it.
    bool finished() const { return next >= record.frames.size(); }
    // The time step of the frame beginFrame() starts next, for the clock to advance by before
    // the frame runs; 0 once finished.
    uint32_t nextMilliseconds() const;
    // How many frames have begun.
    size_t framesPlayed() const { return next; }
    const Recording& recording() const { return record; }

  private:
    Recording record;
    size_t next = 0;
    bool inFrame = false; // frame next - 1 is being played
};
