#pragma once

// What a machine looking for games on the local network says, and what a host answers. A query
// is padded to the size of the largest answer, so answering never sends more than was received
// (a flood of queries from a forged address is never amplified). Both are read by one decoder
// each that takes nothing on trust: a packet of another size, another magic, a text too long or
// not printable, or a field out of its range is refused whole.
//
//   query   "GRQ1", a nonce (u32), zero padding to kDiscoveryQueryBytes
//   answer  "GRA1", the nonce, the game's id (u32, the same in every answer of one host), the
//           build, the host's name, the map, seats free, seats in all, the UDP port to join (u16)

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

constexpr uint16_t kDiscoveryPort = 27116;
constexpr size_t kDiscoveryQueryBytes = 144;
constexpr size_t kMaxDiscoveryAnswerBytes = kDiscoveryQueryBytes;
constexpr size_t kMaxBuildText = 48;
constexpr size_t kMaxHostNameText = 32;
constexpr size_t kMaxMapNameText = 32;

struct DiscoveryQuery {
    uint32_t nonce = 0;
    bool operator==(const DiscoveryQuery&) const = default;
};

struct DiscoveryAnswer {
    uint32_t nonce = 0;   // the query's, so the asker can time the round trip
    uint32_t gameId = 0;  // one host's answers through several networks are one game
    std::string build;    // the host's build: another is listed as another version
    std::string hostName; // cut to kMaxHostNameText printable characters
    std::string map;
    uint8_t freeSeats = 0;
    uint8_t seats = 2;
    uint16_t port = 0; // where to join
    bool operator==(const DiscoveryAnswer&) const = default;
};

std::vector<uint8_t> EncodeDiscoveryQuery(const DiscoveryQuery& query);
std::optional<DiscoveryQuery> DecodeDiscoveryQuery(std::span<const uint8_t> packet);
// Texts too long are cut and bytes outside printable ASCII become '?', so any host name goes.
std::vector<uint8_t> EncodeDiscoveryAnswer(const DiscoveryAnswer& answer);
std::optional<DiscoveryAnswer> DecodeDiscoveryAnswer(std::span<const uint8_t> packet);
