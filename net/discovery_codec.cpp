#include "net/discovery_codec.hpp"

#include "net/packet_codec.hpp"
#include "net/wire_bytes.hpp"

#include <algorithm>

namespace {

constexpr uint32_t kQueryMagic = 0x31515247;  // "GRQ1"
constexpr uint32_t kAnswerMagic = 0x31415247; // "GRA1"
constexpr size_t kLongestText = std::max({kMaxBuildText, kMaxHostNameText, kMaxMapNameText});

std::string printable(const std::string& text, size_t most) {
    std::string out = text.substr(0, most);
    std::replace_if(
        out.begin(), out.end(), [](char c) { return c < 0x20 || c >= 0x7f; }, '?');
    return out;
}

} // namespace

std::vector<uint8_t> EncodeDiscoveryQuery(const DiscoveryQuery& query) {
    WireWriter w;
    w.u32(kQueryMagic);
    w.u32(query.nonce);
    w.bytes.resize(kDiscoveryQueryBytes, 0);
    return std::move(w.bytes);
}

std::optional<DiscoveryQuery> DecodeDiscoveryQuery(std::span<const uint8_t> packet) {
    if (packet.size() != kDiscoveryQueryBytes) {
        return std::nullopt;
    }
    WireReader r(packet, 0);
    r.require(r.u32() == kQueryMagic);
    DiscoveryQuery query;
    query.nonce = r.u32();
    // The padding is zeros: anything else is not a query of this version.
    while (r.ok() && r.left() > 0) {
        r.require(r.u8() == 0);
    }
    return r.whole() ? std::optional(query) : std::nullopt;
}

std::vector<uint8_t> EncodeDiscoveryAnswer(const DiscoveryAnswer& answer) {
    WireWriter w;
    w.u32(kAnswerMagic);
    w.u32(answer.nonce);
    w.u32(answer.gameId);
    w.text(printable(answer.build, kMaxBuildText));
    w.text(printable(answer.hostName, kMaxHostNameText));
    w.text(printable(answer.map, kMaxMapNameText));
    w.u8(answer.freeSeats);
    w.u8(answer.seats);
    w.u16(answer.port);
    return std::move(w.bytes);
}

std::optional<DiscoveryAnswer> DecodeDiscoveryAnswer(std::span<const uint8_t> packet) {
    if (packet.size() > kMaxDiscoveryAnswerBytes) {
        return std::nullopt;
    }
    WireReader r(packet, kLongestText);
    r.require(r.u32() == kAnswerMagic);
    DiscoveryAnswer answer;
    answer.nonce = r.u32();
    answer.gameId = r.u32();
    answer.build = r.text();
    answer.hostName = r.text();
    answer.map = r.text();
    answer.freeSeats = r.u8();
    answer.seats = r.u8();
    answer.port = r.u16();
    r.require(answer.build.size() <= kMaxBuildText && answer.hostName.size() <= kMaxHostNameText &&
              answer.map.size() <= kMaxMapNameText);
    r.require(answer.seats >= 2 && answer.seats <= kMaxSeats && answer.freeSeats <= answer.seats &&
              answer.port != 0);
    return r.whole() ? std::optional(answer) : std::nullopt;
}
