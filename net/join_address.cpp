#include "net/join_address.hpp"

#include "net/packet_codec.hpp"

#include <charconv>

bool ParseJoinAddress(const std::string& text, std::string& host, uint16_t& port) {
    const size_t colon = text.rfind(':');
    host = text.substr(0, colon);
    port = kDefaultPort;
    if (colon != std::string::npos) {
        const std::string digits = text.substr(colon + 1);
        unsigned value = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error != std::errc() || end != digits.data() + digits.size() || value < 1 || value > 65535) {
            return false;
        }
        port = static_cast<uint16_t>(value);
    }
    return !host.empty();
}
