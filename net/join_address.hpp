#pragma once

// The address a friend joins: what follows --join. Apart from the network, so the option parser
// (and its fuzz target) need no sockets.

#include <cstdint>
#include <string>

// "host", "host:port" or "1.2.3.4:port": the host and port (the default port when none is
// given); false for an empty host or a port that is not 1..65535.
bool ParseJoinAddress(const std::string& text, std::string& host, uint16_t& port);
