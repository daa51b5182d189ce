#pragma once

// Hosting or joining from the command line: the network opened, the session made, and the game
// started on the waiting screen. The session lives until the program ends.

#include "engine/control_scheme.hpp"
#include "match/quick_match.hpp"
#include "net/match_pacer.hpp"
#include "net/packet_codec.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class NetSession;

struct OnlineOptions {
    bool host = false;
    std::string join; // ADDRESS[:PORT] of the host
    uint16_t port = kDefaultPort;
    int seats = 1; // this machine's seats
    int delay = kDefaultInputDelay;
    int rollback = kDefaultRollbackWindow; // this machine's window; 0 plays in lockstep
    // From the menus: this machine's seats as player selection set them, and its people's controls
    // in seat order (see SessionSetup).
    std::optional<std::array<SeatChoice, kMaxSeats>> chosen;
    std::array<int, kMaxSeats> schemes{kSchemeKeyboardLeft, kSchemeKeyboardRight, 0, 1};
    // The host's matches (map, players, lives, time), and this machine's computers and their level
    // (bots: how many of its seats they play).
    QuickMatch shape;
    bool wanted() const { return host || !join.empty(); }
};

// Opens the network and starts the session, which the game starts on (the waiting screen); false,
// with one line, when it cannot (the port is taken, the address does not resolve). From the menus
// (fromMenus), the game goes to the waiting screen at the end of this frame instead; a session
// already there is left first.
bool StartOnline(const OnlineOptions& options, bool fromMenus = false);
struct SessionSetup;
struct BuildIdentity;
class Transport;

// Makes the session of this run over a transport, with the game behind it, and starts the game
// on the waiting screen (StartOnline does this with ENet; tests with their own network).
NetSession& StartSession(const SessionSetup& setup, std::unique_ptr<Transport> transport,
                         const BuildIdentity& identity);
// The session of this run, or null when it plays on one machine.
NetSession* OnlineSession();
// At the program's end: tells the other machines this one leaves, and closes the network.
void StopOnline();
// Looks for games for two seconds on the local network (or at the address) and prints one line
// each, "ADDRESS:PORT  HOST  MAP  FREE/SEATS"; the exit status: 0 when one was found, 1 if none.
int FindGames(const std::string& address);
// This machine's addresses on its networks (IPv4, loopback last), for the line a host gives its
// friends.
std::vector<std::string> LocalAddresses();
