#pragma once

// The address a friend joins: what follows --join. Apart from the network, so the option parser
// (and its fuzz target) need no sockets.

#include <cstdint>
#include <string>

// "host", "host:port" or "1.2.3.4:port": the host and port (the default port when none is
// given); false, saying why in `problem`, for an empty host, a port that is not 1..65535, or an
// IPv6 address (bare or as "[...]:PORT"): the network library speaks IPv4 only.
bool ParseJoinAddress(const std::string& text, std::string& host, uint16_t& port,
                      std::string* problem = nullptr);
