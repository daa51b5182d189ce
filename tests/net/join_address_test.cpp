// What follows --join: a host and a port, and IPv6 refused in words, since online play speaks
// IPv4 only (an IPv6 address read as host and port would join the wrong place, or none).
#include "net/join_address.hpp"
#include "net/packet_codec.hpp"

#include <gtest/gtest.h>

TEST(JoinAddress, ReadsAHostAndPortAndRefusesIPv6InWords) {
    struct Case {
        const char* text;
        const char* host; // null: refused
        uint16_t port;
        const char* problem;
    };
    const Case cases[] = {
        {"friend.example", "friend.example", kDefaultPort, ""},
        {"192.168.1.20:27200", "192.168.1.20", 27200, ""},
        {"10.0.0.1:65535", "10.0.0.1", 65535, ""},
        {"10.0.0.1:65536", nullptr, 0, "expected ADDRESS or ADDRESS:PORT"},
        {"10.0.0.1:0", nullptr, 0, "expected ADDRESS or ADDRESS:PORT"},
        {":27115", nullptr, 0, "expected ADDRESS or ADDRESS:PORT"},
        {"::1", nullptr, 0, "IPv6 addresses are not supported"},
        {"[::1]:27115", nullptr, 0, "IPv6 addresses are not supported"},
        {"fe80::1%eth0", nullptr, 0, "IPv6 addresses are not supported"},
    };
    for (const Case& c : cases) {
        std::string host, problem;
        uint16_t port = 0;
        const bool read = ParseJoinAddress(c.text, host, port, &problem);
        EXPECT_EQ(read, c.host != nullptr) << c.text;
        if (c.host != nullptr) {
            EXPECT_EQ(host, c.host) << c.text;
            EXPECT_EQ(port, c.port) << c.text;
        } else {
            EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << c.text << ": " << problem;
        }
    }
}
