// The online packet decoder on any bytes: it never crashes, and whatever it takes it gives back
// byte for byte when the message is sent again (there is one way to write each message, so a
// packet that decodes to something else would be a fault).
#include "net/packet_codec.hpp"

#include <algorithm>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::optional<Message> message = DecodeMessage(std::span(data, size));
    if (message) {
        const std::vector<uint8_t> again = EncodeMessage(*message);
        if (again.size() != size || !std::equal(again.begin(), again.end(), data)) {
            __builtin_trap();
        }
    }
    return 0;
}
