#pragma once

// The player's own folder for the maps they make: $XDG_DATA_HOME/grumbo/maps/, by default
// ~/.local/share/grumbo/maps/. The game's own folder belongs to whoever installed it, so this is
// the only place the editor saves into. As the XDG rules say, an empty or relative
// XDG_DATA_HOME is ignored; without a usable HOME either there is no such folder.

#include <string>

// The folder, ending in '/', from the environment; "" when there is none.
std::string PlayerMapsFolder();
// The same from given values (null for an unset variable).
std::string PlayerMapsFolderFrom(const char* xdgDataHome, const char* home);
