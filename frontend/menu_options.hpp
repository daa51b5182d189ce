#pragma once

// What the command line asks of the menus: a match length the level select offers first
// (--time), the port a match hosted from the menus listens on (--port), and where the join
// screen looks for games (--look-at; every local network when none).

#include "net/packet_codec.hpp"

#include <cstdint>
#include <string>
#include <vector>

struct MenuOptions {
    int seconds = 0;
    std::vector<std::string> lookAt;
    uint16_t port = kDefaultPort;
};

MenuOptions& CommandLineMenuOptions();
