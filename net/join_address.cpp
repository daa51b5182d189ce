#include "net/join_address.hpp"

#include "net/packet_codec.hpp"

#include <algorithm>
#include <charconv>

bool ParseJoinAddress(const std::string& text, std::string& host, uint16_t& port, std::string* problem) {
    auto refuse = [&](const char* why) {
        if (problem != nullptr) {
            *problem = why;
        }
        return false;
    };
    // Two colons, or brackets, make an IPv6 address: never a host and a port.
    if (std::count(text.begin(), text.end(), ':') > 1 || text.find('[') != std::string::npos) {
        host.clear();
        port = kDefaultPort;
        return refuse("IPv6 addresses are not supported (online play speaks IPv4 only): give the host's IPv4 "
                      "address or name");
    }
    const size_t colon = text.rfind(':');
    host = text.substr(0, colon);
    port = kDefaultPort;
    if (colon != std::string::npos) {
        const std::string digits = text.substr(colon + 1);
        unsigned value = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error != std::errc() || end != digits.data() + digits.size() || value < 1 || value > 65535) {
            return refuse("expected ADDRESS or ADDRESS:PORT (port 1 to 65535)");
        }
        port = static_cast<uint16_t>(value);
    }
    return !host.empty() || refuse("expected ADDRESS or ADDRESS:PORT (port 1 to 65535)");
}
