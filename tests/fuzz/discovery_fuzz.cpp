// The readers of games on the local network, on any bytes: they never crash, and what they take
// they give back byte for byte when written again (one way to write each, so a packet read as
// something else would be a fault).
#include "net/discovery_codec.hpp"

#include <algorithm>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> packet(data, size);
    auto same = [&](const std::vector<uint8_t>& again) {
        if (again.size() != size || !std::equal(again.begin(), again.end(), data)) {
            __builtin_trap();
        }
    };
    if (std::optional<DiscoveryQuery> query = DecodeDiscoveryQuery(packet)) {
        same(EncodeDiscoveryQuery(*query));
    }
    if (std::optional<DiscoveryAnswer> answer = DecodeDiscoveryAnswer(packet)) {
        same(EncodeDiscoveryAnswer(*answer));
    }
    return 0;
}
