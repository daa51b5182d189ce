#include "platform/player_folder.hpp"

#include <cstdlib>

namespace {

bool absolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

} // namespace

std::string PlayerMapsFolderFrom(const char* xdgDataHome, const char* home) {
    std::string data;
    if (absolute(xdgDataHome)) {
        data = xdgDataHome;
    } else if (absolute(home)) {
        data = std::string(home) + (std::string(home).back() == '/' ? "" : "/") + ".local/share";
    } else {
        return "";
    }
    if (data.back() != '/') {
        data += '/';
    }
    return data + "grumbo/maps/";
}

std::string PlayerMapsFolder() {
    return PlayerMapsFolderFrom(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}
