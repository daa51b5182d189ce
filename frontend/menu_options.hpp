#pragma once

// What the command line asks of the menus: a match length the level select offers first
// (--time), and where the join screen looks for games (--look-at; every local network when none).

#include <string>
#include <vector>

struct MenuOptions {
    int seconds = 0;
    std::vector<std::string> lookAt;
};

MenuOptions& CommandLineMenuOptions();
