#pragma once

// Games on the local network. A host's beacon answers queries on UDP kDiscoveryPort with its
// build, name, map and seats; a machine looking for games asks every local network's broadcast
// address and this machine once a second, and lists who answered, with the round trip. The
// beacon reads a bounded number of packets a frame, drops and counts anything that is not a
// query, and answers at most a few times a second to any one address and a few dozen in all, so
// a flood of queries costs the host little and is never amplified (see discovery_codec.hpp).

#include "net/discovery_codec.hpp"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct BeaconCounts {
    int answered = 0;
    int refused = 0; // not a query of this game: another size, magic or padding
    int limited = 0; // queries past the rate an address or everyone may ask at
};

class DiscoveryBeacon {
  public:
    // Listens on the port of the address (every interface by default; other games on this
    // machine may listen too). Null, with one line, when it cannot.
    static std::unique_ptr<DiscoveryBeacon> Open(uint16_t port = kDiscoveryPort,
                                                 const std::string& address = "0.0.0.0");
    ~DiscoveryBeacon();
    DiscoveryBeacon(const DiscoveryBeacon&) = delete;
    DiscoveryBeacon& operator=(const DiscoveryBeacon&) = delete;

    // Answers the queries that have come, saying how the game stands (the host's name is this
    // machine's when `about` gives none; each answer carries its query's nonce and this beacon's
    // game id).
    void answer(DiscoveryAnswer about, uint32_t nowMs);
    const BeaconCounts& counts() const { return counted; }
    uint16_t port() const { return boundPort; }

  private:
    DiscoveryBeacon(int fd, uint16_t port);
    bool allowed(uint32_t from, uint32_t nowMs);

    int socket = -1;
    uint16_t boundPort = 0;
    std::string machineName;
    uint32_t gameId = 0;
    BeaconCounts counted;
    // What each recent address, and everyone together, may still be answered this second.
    struct Budget {
        uint32_t address = 0;
        uint32_t second = 0;
        int used = 0;
    };
    std::vector<Budget> budgets;
    Budget everyone;
};

struct FoundGame {
    std::string address; // "ADDRESS:PORT", where to join
    DiscoveryAnswer answer;
    bool sameBuild = false;
    uint32_t roundTripMs = 0;
    uint32_t seenMs = 0;
};

class GameFinder {
  public:
    // Asks the targets ("ADDRESS" or "ADDRESS:PORT", the discovery port by default); none means
    // every local network's broadcast address and this machine. Null, with one line, when no
    // socket can be opened.
    static std::unique_ptr<GameFinder> Open(const std::string& build, std::vector<std::string> targets = {});
    ~GameFinder();
    GameFinder(const GameFinder&) = delete;
    GameFinder& operator=(const GameFinder&) = delete;

    // Asks again once a second, and takes the answers; a game not heard from for 3 s is dropped.
    void poll(uint32_t nowMs);
    // In the order first found; a game answering on several networks is listed once, at the
    // address it answered from first.
    const std::vector<FoundGame>& games() const { return found; }

  private:
    GameFinder(int fd, std::string build, std::vector<std::string> targets);

    int socket = -1;
    std::string ownBuild;
    std::vector<std::string> asked;
    std::vector<FoundGame> found;
    uint32_t nonce = 0;
    bool asking = false;
    uint32_t askedMs = 0;
};

// The broadcast address of each local IPv4 network this machine is on, then this machine.
std::vector<std::string> LocalNetworkTargets();
// This machine's name, as a host's answer gives it.
std::string MachineName();
