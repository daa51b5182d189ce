#pragma once

// What the machines of an online match say to each other, as bytes, and the one decoder that
// reads them back. Every packet is one message: a kind byte, then its fields, little-endian.
// The decoder takes nothing on trust: a packet over kMaxPacketBytes, a kind it does not know, a
// field out of its range, a text with bytes outside printable ASCII, a packet that ends early or
// runs on past its message is refused whole, and says which it was.
//
// Who says what (the host relays; a client talks only to the host):
//   Hello     client -> host   its build, the hash of its data files, how many seats it brings
//   Welcome   host -> client   the machine number it has been given (1..3)
//   Refuse    host -> client   why it may not join, with the host's build and data hash
//   Lineup    host -> all      the seats and who plays them, the map, lives and time
//   Start     host -> all      the lineup of the match that starts now, its number, seed and delay,
//                              and its teams
//   Inputs    both ways        seats' actions for runs of frames, which frames were heard, and
//                              the sender's frame advantage over the receiver
//   Hash      client -> host   the hash of the whole world (HashWorld) after a frame, once a second
//   Desync    host -> client   the client parted from the host's world at a frame: it leaves the match
//   Takeover  host -> all      these seats' machine went; the host's computers play them on
//   Alive     both ways        nothing to say, but still here
//   Leave     both ways        this machine is leaving
//
// Every message that belongs to a match (Start, Inputs, Hash, Desync, Takeover) carries the number
// the host gave that match, so a late message of one match is never taken as part of the next.

#include "gameplay/teams.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

// Sent with the connection request: a peer that is not this game, or speaks another version of
// these messages, is refused before it can say anything.
// 4: the Start message carries the teams, and Inputs the sender's frame advantage.
constexpr uint32_t kProtocolMagic = 0x47524e04;
constexpr size_t kMaxPacketBytes = 1200;
constexpr size_t kMaxTextBytes = 64;
constexpr int kMaxSeats = 4;
constexpr int kMaxClients = 3;
constexpr uint8_t kHostMachine = 0;
constexpr uint8_t kNoMachine = 255; // a free seat
// The most frames of one seat one Inputs message carries; a machine further behind catches up
// over the next messages.
constexpr size_t kMaxFramesPerRun = 48;
// Frames to wait before a machine's actions count: D, so a round trip of D / 60 s is never
// predicted (rollback) or waited for (lockstep).
constexpr int kMinInputDelay = 0;
constexpr int kMaxInputDelay = 10;
constexpr int kDefaultInputDelay = 2;
constexpr uint16_t kDefaultPort = 27115;
constexpr int8_t kNoAdvantage = INT8_MIN; // a machine that has not heard the receiver's seats yet

enum class RefuseReason : uint8_t {
    Build = 1, // another build of the game
    Data,      // the same build with other data files
    Full,      // not enough free seats
    Playing,   // a match is being played; join between matches
};

// A seat's look as its machine's player selection chose it: indices of the face, turret and
// track tables (match/choice_tables.hpp).
struct SeatLook {
    uint8_t face = 0;
    uint8_t turret = 0;
    uint8_t track = 1;
    bool operator==(const SeatLook&) const = default;
};
// The look each seat starts on in player selection (and has when its machine chose none).
SeatLook DefaultSeatLook(int seat);

struct SeatInfo {
    uint8_t machine = kNoMachine; // 0 the host, 1..3 a client, kNoMachine free
    bool computer = false;
    uint8_t level = 1;        // a computer's level: 0 easy, 1 normal, 2 hard
    uint16_t roundTripMs = 0; // the host's last measure of that machine's round trip
    SeatLook look;
    bool operator==(const SeatInfo&) const = default;
};

struct Lineup {
    std::string map;
    uint8_t lives = 3;
    uint16_t seconds = 180;
    uint8_t players = 2; // seats in the match, 2..4; seats beyond are unused
    std::array<SeatInfo, kMaxSeats> seats{};
    bool operator==(const Lineup&) const = default;
};

// One of a machine's seats as its player selection set it: a person, or a computer of a level,
// and its look.
struct SeatChoice {
    bool computer = false;
    uint8_t level = 1;
    SeatLook look;
    bool operator==(const SeatChoice&) const = default;
};

struct HelloMessage {
    std::string build;
    uint64_t dataHash = 0;
    uint8_t seats = 1;     // seats this machine brings, 1..4
    uint8_t computers = 0; // how many of them computers play (the last ones)
    uint8_t level = 1;
    // Its seats in order, when its player selection set them (the first `seats` are sent; then
    // computers and level say nothing); none: the last `computers` are computers of `level`, and
    // each seat takes the look it starts on.
    std::optional<std::array<SeatChoice, kMaxSeats>> chosen;
    bool operator==(const HelloMessage&) const = default;
};
struct WelcomeMessage {
    uint8_t machine = 1;
    bool operator==(const WelcomeMessage&) const = default;
};
struct RefuseMessage {
    RefuseReason reason = RefuseReason::Build;
    std::string build;
    uint64_t dataHash = 0;
    uint8_t freeSeats = 0;
    bool operator==(const RefuseMessage&) const = default;
};
struct LineupMessage {
    Lineup lineup;
    bool operator==(const LineupMessage&) const = default;
};
// Which match of the session a message belongs to: the host counts its matches from 1.
using MatchNumber = uint16_t;

struct StartMessage {
    Lineup lineup;
    MatchNumber match = 1;
    uint32_t seed = 0;
    uint8_t delay = kDefaultInputDelay;
    Teams teams; // off: a free-for-all
    bool operator==(const StartMessage&) const = default;
};
// One seat's packed actions (see PackActions) for the frames first, first + 1, ...
struct SeatRun {
    uint8_t seat = 0;
    uint32_t first = 0;
    std::vector<uint16_t> actions;
    bool operator==(const SeatRun&) const = default;
};
struct InputsMessage {
    MatchNumber match = 1;
    std::vector<SeatRun> runs; // at most one per seat
    // For each seat in heardMask: the first frame of it the sender has not heard yet.
    uint8_t heardMask = 0;
    std::array<uint32_t, kMaxSeats> heard{};
    // The sender's frame advantage over the receiver (see net/time_sync.hpp), or kNoAdvantage.
    int8_t advantage = kNoAdvantage;
    bool operator==(const InputsMessage&) const = default;
};
struct HashMessage {
    MatchNumber match = 1;
    uint32_t frame = 0;
    uint64_t hash = 0;
    bool operator==(const HashMessage&) const = default;
};
struct DesyncMessage {
    MatchNumber match = 1;
    uint32_t frame = 0;
    bool operator==(const DesyncMessage&) const = default;
};
struct TakeoverMessage {
    MatchNumber match = 1;
    uint8_t seatMask = 0;
    uint32_t frame = 0;
    bool operator==(const TakeoverMessage&) const = default;
};
struct AliveMessage {
    bool operator==(const AliveMessage&) const = default;
};
struct LeaveMessage {
    bool operator==(const LeaveMessage&) const = default;
};

using Message =
    std::variant<HelloMessage, WelcomeMessage, RefuseMessage, LineupMessage, StartMessage, InputsMessage,
                 HashMessage, DesyncMessage, TakeoverMessage, AliveMessage, LeaveMessage>;

enum class DecodeFault { None, Oversized, Malformed };

std::vector<uint8_t> EncodeMessage(const Message& message);
// The message a packet holds; nullopt, with the fault, for anything else.
std::optional<Message> DecodeMessage(std::span<const uint8_t> packet, DecodeFault* fault = nullptr);
