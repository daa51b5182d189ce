#pragma once

// A recorded match: everything needed to play it back exactly through the real frame loop.
// The match is deterministic given its random seed, its settings, each frame's time step and
// every player's actions, so those are all a recording keeps; the result is kept too, so a
// replay can tell whether it came out the same.
//
// On disk it is a short text file, easy to look at and to diff, written as the match goes
// (see match/recording_writer.hpp):
//
//   GRUMBO-RECORDING 4
//   seed 1718035922
//   pace 0
//   setting Lives=3
//   setting MapName=Big%20Arena
//   frames
//   16 0 0 0 0
//   17 81 0 400 0
//   result 1 2
//
// The pace line says how the frames were timed: 0 when each lasted what the clock said, its time
// step then being the first field of its line; N when the match was simulated in fixed frames of
// exactly 1/N s (an online match, whose frames the machines agree on), the time step on each line
// then only shown rounded. Version 2, which had no pace line, is still read (as pace 0).
// Setting keys and values escape '%', '=' and every byte outside printable ASCII (spaces
// included) as %XX. A frame line is the time step in milliseconds and then the four players'
// packed actions in hexadecimal. The closing line lists the ranks of players 1..n; "result"
// alone closes a match left before it ended. Every line ends in a newline. A file without its
// closing line was being written when the game stopped (killed, or the machine went down): it
// reads as an unfinished recording of the frames it holds whole, and a cut last line is dropped.

#include "engine/control_scheme.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The first line of every recording starts with this.
constexpr std::string_view kRecordingMagic = "GRUMBO-RECORDING";
// Version 1 counted its frames before them, which a file written as the match goes cannot know;
// version 2 had no pace line; version 3 knew no teams (its matches are all free-for-all, and a
// build of that version must not play a team match as one).
constexpr int kRecordingVersion = 4;
constexpr int kOldestRecordingVersion = 2;
// The fastest pace a recording may say it was played at.
constexpr uint32_t kMaxRecordingPace = 1000;
constexpr int kRecordingPlayers = 4;
// One bit per PlayerActions field; anything above is never set.
constexpr int kActionBitCount = 11;
constexpr uint16_t kActionBitsMask = (1u << kActionBitCount) - 1;
// The time steps a recorded match is played with: at least a millisecond, so a replay always
// moves on, and at most a second, so a stall (a machine that slept) plays as a second rather
// than a leap to the end. The game's own recordings never hold any other; a file that does was
// not made by the game.
constexpr uint32_t kMinFrameMilliseconds = 1;
constexpr uint32_t kMaxFrameMilliseconds = 1000;
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
    std::vector<int32_t> result; // ranks of players 1..n (as the podium gives them); none if left
    // The file ends without its closing line: the game stopped before it could finish it.
    bool unfinished = false;
    // Frames a second of a match simulated in fixed frames (online); 0 when each frame lasted
    // what its line says.
    uint32_t pace = 0;
    bool operator==(const Recording&) const = default;
};

// The text of a recording in the pieces a match writes as it goes: everything before the first
// frame, one frame line, the closing line.
std::string RecordingStartText(uint32_t seed, const std::map<std::string, std::string>& settings,
                               uint32_t pace = 0);
std::string RecordedFrameText(const RecordedFrame& frame);
std::string RecordingEndText(const std::vector<int32_t>& result);
// The whole file, without the closing line when the recording is unfinished.
std::string RecordingText(const Recording& recording);
// What the reader would refuse in a recording (a value out of range), said for its writer; empty
// when there is nothing.
std::string RecordingProblem(const Recording& recording);
// Refuses (nullopt, with one line on standard output naming the file and what is wrong) a missing
// file, a non-regular file, an oversized file, another version, a damaged line, a file that ends
// before its frames begin and values out of range.
std::optional<Recording> ReadRecording(const std::string& path);
// The same, on text already in memory; label names it in the line.
std::optional<Recording> ParseRecording(const std::string& text, const std::string& label);
