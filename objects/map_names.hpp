#pragma once

// What a map may be called. A map's name is its file's base name and a texture name, and the
// player's maps sit beside the game's in one list, so names are plain, and two names that differ
// only in case are the same name (a player's "meadow" would be the shipped Meadow on a disk that
// ignores case, and looks it everywhere).

#include <cstddef>
#include <string>

// Map names are file names and texture names: this long at most.
constexpr size_t kMaxMapNameLength = 24;

// A letter, then letters, digits, '_' or '-'; nothing a file system or a reader could take for
// a path or a quote.
bool IsPlainMapName(const std::string& name);

// Whether two names are the same whatever their case.
bool SameMapName(const std::string& a, const std::string& b);
