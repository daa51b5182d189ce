#pragma once

// What two machines must share to play one match: the same program and the same data. The
// simulation is the same bit for bit only when both run the same build on the same maps, so a
// machine that differs in either is refused when it joins, in one line on both ends, rather
// than found out of step a minute into the match.

#include <cstdint>
#include <string>

struct BuildIdentity {
    std::string build;     // the version and a hash of the program file ("1.0.0-3f2a...")
    uint64_t dataHash = 0; // every data file a match reads
    bool operator==(const BuildIdentity&) const = default;
};

// This program and the data files beside it (computed once).
const BuildIdentity& ThisBuild();
// A hash of the data files a match reads (the map list, the pictures table and every map), in
// the order of their names; a file that cannot be read counts as missing.
uint64_t DataFilesHash(const std::string& folder);
// FNV-1a over bytes, continuing from hash.
uint64_t HashBytes(const std::string& bytes, uint64_t hash = 1469598103934665603ull);
