#include "net/net_session.hpp"

#include "gameplay/player.hpp"
#include "match/match_run.hpp"
#include "match/recording.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>

namespace {

// A link that says nothing for this long is dead.
constexpr uint32_t kSilenceMs = 3000;
constexpr uint32_t kAliveEveryMs = 500;
constexpr uint32_t kLineupEveryMs = 1000;
constexpr uint32_t kCountdownMs = 3000;
// Each client's hash of the world is compared with the host's once a second of game time.
constexpr uint32_t kHashEveryFrames = kOnlineFramesPerSecond;
// The host keeps its own hashes this long, for clients that report late.
constexpr size_t kHashesKept = 30;
// How many times a client sends each hash.
constexpr size_t kHashSends = 3;
// A wait shorter than this is not worth a notice.
constexpr uint32_t kWaitNoticeMs = 250;
constexpr uint32_t kNoticeFrames = 5 * kOnlineFramesPerSecond;
// Waits in the first second are the machines' loads ending at different times, not the network.
constexpr uint32_t kStallsCountFrom = kOnlineFramesPerSecond;
constexpr const char* kLevelNames[] = {"easy", "normal", "hard"};
// The host's players' rematch keys (R on the left keyboard half, Numpad 9 on the right, Y on a
// pad), as the waiting screen and the podium show them.
constexpr const char* kRematchKeys = "R / Numpad 9 (pad Y): rematch";
constexpr const char* kHostStartsNext = "The host starts the next match";

std::string playerName(int seat) {
    return "Player " + std::to_string(seat + 1);
}

std::string playersOf(const Lineup& lineup, uint8_t machine) {
    std::string out;
    for (int seat = 0; seat < kMaxSeats; ++seat) {
        if (lineup.seats[static_cast<size_t>(seat)].machine == machine) {
            out += (out.empty() ? "" : ", ") + std::to_string(seat + 1);
        }
    }
    return out.empty() ? "none" : out;
}

std::string hex(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

std::string seconds(uint32_t ms) {
    return std::to_string(ms / 1000) + " s";
}

// A machine's index-th seat, numbered `seat` in the match: as its player selection set it, or,
// when it set none, a computer of `level` when it is one of the last `computers` of its `seats`,
// with the look its number starts on.
SeatInfo seatOf(uint8_t machine, const std::optional<std::array<SeatChoice, kMaxSeats>>& chosen, int index,
                int seats, int computers, uint8_t level, int seat) {
    SeatInfo info;
    info.machine = machine;
    if (chosen) {
        const SeatChoice& choice = (*chosen)[static_cast<size_t>(index)];
        info.computer = choice.computer;
        info.level = choice.level;
        info.look = choice.look;
    } else {
        info.computer = index >= seats - computers;
        info.level = level;
        info.look = DefaultSeatLook(seat);
    }
    return info;
}

// Whole seconds left of a limit, rounded up, for a countdown.
uint32_t secondsLeft(uint32_t spentMs, uint32_t limitMs) {
    return (limitMs - std::min(limitMs, spentMs) + 999) / 1000;
}

} // namespace

NetSession::NetSession(SessionSetup given, std::unique_ptr<Transport> transport, BuildIdentity who,
                       OnlineGame& gameSide, std::function<uint32_t()> clockMs)
    : setup(std::move(given)), net(std::move(transport)), identity(std::move(who)), game(gameSide),
      now(std::move(clockMs)) {
    setup.seats = std::clamp(std::max(setup.seats, setup.computers), 1, kMaxSeats);
    setup.computers = std::clamp(setup.computers, 0, setup.seats);
    if (setup.chosen) {
        setup.computers =
            static_cast<int>(std::count_if(setup.chosen->begin(), setup.chosen->begin() + setup.seats,
                                           [](const SeatChoice& c) { return c.computer; }));
    }
    if (setup.hosting) {
        phase = Phase::Waiting;
        self = kHostMachine;
        lineup.map = setup.map;
        lineup.lives = static_cast<uint8_t>(setup.lives);
        lineup.seconds = static_cast<uint16_t>(setup.seconds);
        lineup.players = static_cast<uint8_t>(setup.players);
        setup.seats = std::min(setup.seats, setup.players);
        setup.computers = std::min(setup.computers, setup.seats);
        for (int seat = 0; seat < setup.seats; ++seat) {
            lineup.seats[static_cast<size_t>(seat)] =
                seatOf(kHostMachine, setup.chosen, seat, setup.seats, setup.computers, setup.level, seat);
        }
    } else {
        self = kNoMachine;
    }
}

NetSession::~NetSession() {
    if (phase != Phase::Closed && net) {
        sendToAll(LeaveMessage{});
        net->flush();
    }
}

NetSession::Peer* NetSession::peerById(PeerId id) {
    auto found = std::find_if(peers.begin(), peers.end(), [id](const Peer& p) { return p.id == id; });
    return found == peers.end() ? nullptr : &*found;
}

NetSession::Peer* NetSession::peerOf(uint8_t machine) {
    auto found =
        std::find_if(peers.begin(), peers.end(), [machine](const Peer& p) { return p.machine == machine; });
    return found == peers.end() ? nullptr : &*found;
}

const NetSession::Peer* NetSession::peerOf(uint8_t machine) const {
    return const_cast<NetSession*>(this)->peerOf(machine);
}

int NetSession::joinedMachines() const {
    return static_cast<int>(
        std::count_if(peers.begin(), peers.end(), [](const Peer& p) { return p.machine != kNoMachine; }));
}

int NetSession::freeSeats() const {
    int free = 0;
    for (int seat = 0; seat < lineup.players; ++seat) {
        free += lineup.seats[static_cast<size_t>(seat)].machine == kNoMachine ? 1 : 0;
    }
    return free;
}

bool NetSession::seatsFull() const {
    return freeSeats() == 0;
}

void NetSession::sendTo(uint8_t machine, const Message& message, Channel channel) {
    if (Peer* peer = peerOf(machine)) {
        const std::vector<uint8_t> bytes = EncodeMessage(message);
        net->send(peer->id, channel, bytes);
    }
}

void NetSession::sendToAll(const Message& message, uint8_t except) {
    const std::vector<uint8_t> bytes = EncodeMessage(message);
    for (const Peer& peer : peers) {
        if (peer.machine != kNoMachine && peer.machine != except) {
            net->send(peer.id, Channel::Control, bytes);
        }
    }
}

// ---- The network ----

void NetSession::poll() {
    if (phase == Phase::Closed) {
        return;
    }
    TransportEvent event;
    while (phase != Phase::Closed && net->poll(event)) {
        handle(event);
    }
    if (beacon && setup.hosting) {
        DiscoveryAnswer about;
        about.build = identity.build;
        about.map = lineup.map;
        about.seats = lineup.players;
        about.freeSeats = static_cast<uint8_t>(phase == Phase::Playing ? 0 : freeSeats());
        about.port = setup.port;
        beacon->answer(about, now());
    }
}

void NetSession::handle(const TransportEvent& event) {
    const uint32_t t = now();
    switch (event.kind) {
    case TransportEvent::Kind::Connected: {
        const std::string address = net->peerAddress(event.peer);
        if (!setup.hosting) {
            if (!peers.empty()) {
                return; // a client has one link, to the host
            }
            peers = {Peer{event.peer, kHostMachine, address, t, t}};
            HelloMessage hello;
            hello.build = identity.build;
            hello.dataHash = identity.dataHash;
            hello.seats = static_cast<uint8_t>(setup.seats);
            hello.computers = static_cast<uint8_t>(setup.computers);
            hello.level = setup.level;
            hello.chosen = setup.chosen;
            sendTo(kHostMachine, hello, Channel::Control);
            return;
        }
        auto turnAway = [&](const std::string& why, DisconnectReason reason) {
            std::cout << "Refused a connection from " << address << ": " << why << std::endl;
            net->disconnect(event.peer, reason);
        };
        if (event.data != kProtocolMagic) {
            turnAway("not this game, or another version of its online play", DisconnectReason::Protocol);
        } else if (joinedMachines() >= kMaxClients) {
            turnAway("three machines have joined already", DisconnectReason::Full);
        } else if (static_cast<int>(peers.size()) - joinedMachines() >= kMaxUnnamedConnections) {
            turnAway(std::to_string(kMaxUnnamedConnections) + " connections have not said who they are yet",
                     DisconnectReason::Busy);
        } else {
            peers.push_back(Peer{event.peer, kNoMachine, address, t, t});
        }
        return;
    }
    case TransportEvent::Kind::Disconnected: {
        std::string why = "left";
        switch (static_cast<DisconnectReason>(event.data)) {
        case DisconnectReason::Protocol:
            why = "refused the connection: it runs another version of the game's online play";
            break;
        case DisconnectReason::Full:
            why = "is full: three machines have joined already";
            break;
        case DisconnectReason::Busy:
            why = "is busy: too many connections are waiting to say who they are; try again in a moment";
            break;
        case DisconnectReason::Refused:
            why = "refused to let this machine join";
            break;
        case DisconnectReason::Silent:
            why = phase == Phase::Connecting ? "dropped this machine: it did not say who it is in time"
                                             : "dropped this machine: its actions did not come for " +
                                                   seconds(kHeldUpLimitMs) + " while the others waited";
            break;
        default:
            why = phase == Phase::Connecting ? "could not be reached" : "left";
            break;
        }
        peerGone(event.peer, why);
        return;
    }
    case TransportEvent::Kind::Received: {
        Peer* peer = peerById(event.peer);
        if (peer == nullptr) {
            return;
        }
        peer->heardMs = t; // alive, whatever it says: whether it plays is judged by its actions
        DecodeFault fault = DecodeFault::None;
        std::optional<Message> message = DecodeMessage(event.packet, &fault);
        if (!message) {
            int& count = fault == DecodeFault::Oversized ? counted.oversized : counted.malformed;
            if (count++ == 0) {
                std::cout << "Ignored " << (fault == DecodeFault::Oversized ? "an oversized" : "a malformed")
                          << " packet from " << peer->address << " (later ones are counted)" << std::endl;
            }
            return;
        }
        handleMessage(*peer, *message);
        return;
    }
    }
}

void NetSession::handleMessage(Peer& peer, const Message& message) {
    if (setup.hosting) {
        hostTakes(peer, message);
    } else {
        clientTakes(message);
    }
}

void NetSession::hostTakes(Peer& peer, const Message& message) {
    auto outOfTurn = [&] {
        if (counted.outOfTurn++ == 0) {
            std::cout << "Ignored a message out of turn from " << peer.address << " (later ones are counted)"
                      << std::endl;
        }
    };
    if (std::holds_alternative<AliveMessage>(message)) {
        return; // unsequenced, so it may come before the hello: never out of turn
    }
    if (peer.machine == kNoMachine) {
        if (const auto* hello = std::get_if<HelloMessage>(&message)) {
            welcome(peer, *hello);
        } else {
            outOfTurn();
        }
        return;
    }
    if (const auto* inputs = std::get_if<InputsMessage>(&message)) {
        if (!scheduler) {
            outOfTurn();
        } else if (inputs->match != match) {
            ++counted.otherMatch;
        } else if (peer.inMatch) {
            if (phase == Phase::Playing && !peer.heardInMatch) {
                // Loaded: from now on it is judged by how long it holds the others up.
                peer.heardInMatch = true;
                for (int seat = 0; seat < lineup.players; ++seat) {
                    if (scheduler->table().owner(seat) == peer.machine) {
                        scheduler->forgiveHoldUp(seat);
                    }
                }
            }
            counted.runs += scheduler->receive(peer.machine, *inputs);
            answerOwed = answerOwed || !inputs->runs.empty();
        }
    } else if (const auto* hash = std::get_if<HashMessage>(&message)) {
        if (hash->match != match) {
            ++counted.otherMatch;
        } else if (peer.inMatch && scheduler && hash->frame <= scheduler->nextFrame() + kMaxFramesAhead &&
                   clientHashes.size() < kHashesKept * kMaxClients) {
            clientHashes[{peer.machine, hash->frame}] = hash->hash;
            compareHashes();
        }
    } else if (std::holds_alternative<LeaveMessage>(message)) {
        const PeerId id = peer.id;
        peerGone(id, "left");
        net->disconnect(id, DisconnectReason::Leaving);
    } else if (!std::holds_alternative<AliveMessage>(message)) {
        outOfTurn();
    }
}

void NetSession::clientTakes(const Message& message) {
    auto outOfTurn = [&] {
        if (counted.outOfTurn++ == 0) {
            std::cout << "Ignored a message out of turn from the host (later ones are counted)" << std::endl;
        }
    };
    if (std::holds_alternative<AliveMessage>(message)) {
        return; // unsequenced, so it may come before the welcome: never out of turn
    }
    if (const auto* welcomed = std::get_if<WelcomeMessage>(&message)) {
        if (phase != Phase::Connecting) {
            outOfTurn();
            return;
        }
        self = welcomed->machine;
        phase = Phase::Waiting;
        std::cout << "Joined " << setup.address << " as machine " << int(self) << std::endl;
    } else if (const auto* refused = std::get_if<RefuseMessage>(&message)) {
        std::string why;
        switch (refused->reason) {
        case RefuseReason::Build:
            why = "its build " + refused->build + " differs from this one, " + identity.build;
            break;
        case RefuseReason::Data:
            why = "its data files (" + hex(refused->dataHash) + ") differ from this machine's (" +
                  hex(identity.dataHash) + ")";
            break;
        case RefuseReason::Full:
            why = "it has " + std::to_string(refused->freeSeats) + " free seats, and this machine brings " +
                  std::to_string(setup.seats);
            break;
        case RefuseReason::Playing:
            why = "a match is being played; join again between matches";
            break;
        }
        close("The host at " + setup.address + " refused to let this machine join: " + why);
    } else if (phase == Phase::Connecting) {
        outOfTurn();
    } else if (const auto* seats = std::get_if<LineupMessage>(&message)) {
        lineup = seats->lineup;
    } else if (const auto* start = std::get_if<StartMessage>(&message)) {
        if (phase == Phase::Playing) {
            endMatch("The host started the next match before this one ended here", false);
        }
        beginMatch(*start);
    } else if (const auto* inputs = std::get_if<InputsMessage>(&message)) {
        if (!scheduler || leftMatchAlone) {
            return; // of a match that has not started here yet, or that this machine has left
        }
        if (inputs->match != match) {
            ++counted.otherMatch;
            return;
        }
        if (Peer* host = peerOf(kHostMachine);
            host != nullptr && phase == Phase::Playing && !host->heardInMatch) {
            host->heardInMatch = true;
            for (int seat = 0; seat < lineup.players; ++seat) {
                scheduler->forgiveHoldUp(seat);
            }
        }
        counted.runs += scheduler->receive(kHostMachine, *inputs);
        answerOwed = answerOwed || !inputs->runs.empty();
    } else if (const auto* desync = std::get_if<DesyncMessage>(&message)) {
        if (desync->match != match) {
            ++counted.otherMatch;
            return;
        }
        const std::string frame = std::to_string(desync->frame);
        leftMatchAlone = true;
        waitingNote = "This machine left the last match out of step at frame " + frame;
        if (phase == Phase::Playing) {
            endMatch("Online match out of step at frame " + frame +
                         ": this machine no longer agrees with the host, so it leaves the match and "
                         "computers play its seats on",
                     false);
        } else {
            std::cout << "The last online match was out of step here from frame " << frame
                      << ": its end on this machine differs from the host's" << std::endl;
        }
    } else if (const auto* takeover = std::get_if<TakeoverMessage>(&message)) {
        if (takeover->match != match) {
            ++counted.otherMatch;
            return;
        }
        for (int seat = 0; seat < kMaxSeats; ++seat) {
            if ((takeover->seatMask >> seat) & 1u) {
                SeatInfo& info = lineup.seats[static_cast<size_t>(seat)];
                info.computer = true;
                info.level = 1;
                info.machine = kHostMachine;
                game.seatTakenOver(seat, false);
                notices.push_back({takeover->frame, playerName(seat) + " left: a computer plays on"});
            }
        }
    } else if (std::holds_alternative<LeaveMessage>(message)) {
        close("The host left; back to the title");
    } else if (!std::holds_alternative<AliveMessage>(message)) {
        outOfTurn();
    }
}

void NetSession::welcome(Peer& peer, const HelloMessage& hello) {
    if (hello.build != identity.build) {
        std::cout << "Refused " << peer.address << ": its build " << hello.build << " differs from this one, "
                  << identity.build << std::endl;
        refuse(peer, RefuseReason::Build, freeSeats());
        return;
    }
    if (hello.dataHash != identity.dataHash) {
        std::cout << "Refused " << peer.address << ": its data files (" << hex(hello.dataHash)
                  << ") differ from this machine's (" << hex(identity.dataHash) << ")" << std::endl;
        refuse(peer, RefuseReason::Data, freeSeats());
        return;
    }
    if (phase == Phase::Playing) {
        std::cout << "Refused " << peer.address << ": a match is being played" << std::endl;
        refuse(peer, RefuseReason::Playing, freeSeats());
        return;
    }
    if (freeSeats() < hello.seats || joinedMachines() >= kMaxClients) {
        std::cout << "Refused " << peer.address << ": it brings " << int(hello.seats) << " seats and "
                  << freeSeats() << " are free" << std::endl;
        refuse(peer, RefuseReason::Full, freeSeats());
        return;
    }
    uint8_t machine = 1;
    while (peerOf(machine) != nullptr) {
        ++machine;
    }
    peer.machine = machine;
    int given = 0;
    for (int seat = 0; seat < lineup.players && given < hello.seats; ++seat) {
        SeatInfo& info = lineup.seats[static_cast<size_t>(seat)];
        if (info.machine == kNoMachine) {
            info = seatOf(machine, hello.chosen, given, hello.seats, hello.computers, hello.level, seat);
            ++given;
        }
    }
    sendTo(machine, WelcomeMessage{machine}, Channel::Control);
    std::cout << "Machine " << int(machine) << " joined from " << peer.address << ": players "
              << playersOf(lineup, machine) << std::endl;
    sendToAll(LineupMessage{lineup});
    lastLineupMs = now();
}

void NetSession::refuse(Peer& peer, RefuseReason reason, int free) {
    RefuseMessage refusal;
    refusal.reason = reason;
    refusal.build = identity.build;
    refusal.dataHash = identity.dataHash;
    refusal.freeSeats = static_cast<uint8_t>(free);
    const std::vector<uint8_t> bytes = EncodeMessage(refusal);
    net->send(peer.id, Channel::Control, bytes);
    const PeerId id = peer.id;
    net->disconnect(id, DisconnectReason::Refused);
    std::erase_if(peers, [id](const Peer& p) { return p.id == id; });
}

void NetSession::peerGone(PeerId id, const std::string& why) {
    if (!setup.hosting) {
        // A client has one link; without it there is nothing left to play.
        const bool connecting = phase == Phase::Connecting;
        peers.clear();
        close(connecting ? "The host at " + setup.address + " " + why
                         : "The host " + why + "; back to the title");
        return;
    }
    Peer* peer = peerById(id);
    if (peer == nullptr) {
        return;
    }
    const uint8_t machine = peer->machine;
    const bool played = peer->inMatch;
    const std::string address = peer->address;
    std::erase_if(peers, [id](const Peer& p) { return p.id == id; });
    if (machine == kNoMachine) {
        std::cout << "Dropped a connection from " << address << ": it " << why << " without saying who it is"
                  << std::endl;
        return;
    }
    if (phase == Phase::Playing && scheduler && played) {
        const uint32_t from = takeOverSeats(machine, false);
        std::cout << "Machine " << int(machine) << " (" << address << ") " << why
                  << "; computers play its seats from frame " << from << std::endl;
        return;
    }
    std::cout << "Machine " << int(machine) << " (" << address << ") " << why << std::endl;
    if (scheduler) {
        scheduler->removePeer(machine);
    }
    for (SeatInfo& info : lineup.seats) {
        if (info.machine == machine) {
            info = SeatInfo{};
        }
    }
    for (std::optional<SeatInfo>& lent : lentSeats) {
        if (lent && lent->machine == machine) {
            lent.reset(); // nobody to give it back to
        }
    }
    sendToAll(LineupMessage{lineup});
}

uint32_t NetSession::takeOverSeats(uint8_t machine, bool lend) {
    uint8_t mask = 0;
    uint32_t from = UINT32_MAX;
    for (int seat = 0; seat < lineup.players; ++seat) {
        SeatInfo& info = lineup.seats[static_cast<size_t>(seat)];
        if (info.machine != machine) {
            continue;
        }
        if (lend) {
            lentSeats[static_cast<size_t>(seat)] = info;
        }
        from = std::min(from, scheduler->takeOver(seat));
        mask = static_cast<uint8_t>(mask | (1u << seat));
        info.machine = kHostMachine;
        info.computer = true;
        info.level = 1;
        game.seatTakenOver(seat, true);
    }
    scheduler->removePeer(machine);
    if (Peer* peer = peerOf(machine)) {
        peer->inMatch = false;
    }
    if (mask != 0) {
        for (int seat = 0; seat < kMaxSeats; ++seat) {
            if ((mask >> seat) & 1u) {
                notices.push_back({from, playerName(seat) + " left: a computer plays on"});
            }
        }
        sendToAll(TakeoverMessage{match, mask, from}, machine);
    }
    return from;
}

void NetSession::dropFromMatch(Peer& peer, uint32_t frame, const std::string& why) {
    const uint8_t machine = peer.machine;
    sendTo(machine, DesyncMessage{match, frame}, Channel::Control);
    if (phase == Phase::Playing && peer.inMatch) {
        const uint32_t from = takeOverSeats(machine, true);
        std::cout << "Machine " << int(machine) << " (" << peer.address << ") " << why
                  << ": it leaves the match, and computers play its seats from frame " << from << std::endl;
    } else {
        peer.inMatch = false;
        std::cout << "Machine " << int(machine) << " (" << peer.address << ") " << why
                  << ": its end of the last match differs from the host's" << std::endl;
    }
    for (auto it = clientHashes.begin(); it != clientHashes.end();) {
        it = it->first.first == machine ? clientHashes.erase(it) : std::next(it);
    }
}

void NetSession::checkLinks() {
    const uint32_t t = now();
    std::vector<std::pair<PeerId, std::string>> gone;
    for (const Peer& peer : peers) {
        if (peer.machine == kNoMachine && t - peer.connectedMs > kHelloWithinMs) {
            gone.emplace_back(peer.id, "did not say who it is within " + seconds(kHelloWithinMs));
            continue;
        }
        // A machine loading its match says nothing meanwhile.
        const bool loading = phase == Phase::Playing && peer.inMatch && !peer.heardInMatch;
        const uint32_t limit = loading                  ? kLoadAllowanceMs
                               : settling(peer.machine) ? 2 * kSilenceMs
                                                        : kSilenceMs;
        if (t - peer.heardMs > limit) {
            gone.emplace_back(peer.id, "has not been heard from for " + seconds(limit));
        }
    }
    for (const auto& [id, why] : gone) {
        const bool unnamed = peerById(id) != nullptr && peerById(id)->machine == kNoMachine;
        if (unnamed) {
            std::cout << "Dropped a connection from " << peerById(id)->address << ": it " << why << std::endl;
            std::erase_if(peers, [id](const Peer& p) { return p.id == id; });
            net->disconnect(id, DisconnectReason::Silent);
            continue;
        }
        peerGone(id, why);
        net->disconnect(id, DisconnectReason::None);
    }
}

void NetSession::checkProgress() {
    if (phase != Phase::Playing || !scheduler) {
        return;
    }
    const uint32_t t = now();
    const Lockstep& table = scheduler->table();
    if (!setup.hosting) {
        const Peer* host = peerOf(kHostMachine);
        if (host != nullptr && !host->heardInMatch && t - matchStartMs > kLoadAllowanceMs) {
            close("The host sent no actions within " + seconds(kLoadAllowanceMs) +
                  " of the start; back to the title");
            return;
        }
        for (int seat = 0; seat < table.seats(); ++seat) {
            // The host decides about another client's seat first, and its word takes a while.
            const uint8_t owner = table.owner(seat);
            const uint32_t limit =
                (owner == kHostMachine ? kHeldUpLimitMs : 2 * kHeldUpLimitMs) * (settling(owner) ? 2 : 1);
            if (owner != self && scheduler->heldUpMs(seat) >= limit) {
                close("The host passed on no actions of " + playerName(seat) + " for " + seconds(limit) +
                      "; back to the title");
                return;
            }
        }
        return;
    }
    // The host: machines that hold the match up, or that do not say how their world stands.
    std::vector<std::pair<PeerId, std::string>> gone;
    for (Peer& peer : peers) {
        if (peer.machine == kNoMachine || !peer.inMatch) {
            continue;
        }
        if (!peer.heardInMatch) {
            if (t - matchStartMs > kLoadAllowanceMs) {
                gone.emplace_back(peer.id,
                                  "sent no actions within " + seconds(kLoadAllowanceMs) + " of the start");
            }
            continue;
        }
        uint32_t acted = 0; // the frames it has given actions for
        for (int seat = 0; seat < table.seats(); ++seat) {
            if (table.owner(seat) != peer.machine) {
                continue;
            }
            acted = std::max(acted, table.known(seat));
            const uint32_t limit = settling(peer.machine) ? 2 * kHeldUpLimitMs : kHeldUpLimitMs;
            if (scheduler->heldUpMs(seat) >= limit) {
                gone.emplace_back(peer.id,
                                  "sent no actions for " + seconds(limit) + " while the others waited");
                break;
            }
        }
        // The hash of frame `expected` is owed once it has acted well past it.
        const int64_t expected =
            peer.hashedFrame < 0 ? kHashEveryFrames - 1 : peer.hashedFrame + kHashEveryFrames;
        const int64_t overdue = expected + kHashWithinFrames;
        // (A host with no world of its own, as in tests that only exchange actions, checks none.)
        if ((gone.empty() || gone.back().first != peer.id) && !ownHashes.empty()) {
            if (scheduler->nextFrame() > overdue && acted > overdue) {
                dropFromMatch(peer, static_cast<uint32_t>(expected),
                              "sent actions but no hash of its world for " +
                                  seconds(kHashWithinFrames * 1000 / kOnlineFramesPerSecond));
            }
        }
    }
    for (const auto& [id, why] : gone) {
        peerGone(id, why);
        net->disconnect(id, DisconnectReason::Silent);
    }
}

bool NetSession::settling(uint8_t machine) const {
    if (phase != Phase::Playing || !scheduler) {
        return false;
    }
    const Lockstep& table = scheduler->table();
    for (int seat = 0; seat < table.seats(); ++seat) {
        if (table.owner(seat) == machine && table.known(seat) < kSettlingFrames) {
            return true;
        }
    }
    return false;
}

void NetSession::keepAlive() {
    const uint32_t t = now();
    if (t - lastAliveMs >= kAliveEveryMs) {
        // Unreliable and unsequenced: on a lossy link a reliable packet lost a few times over is
        // resent after longer and longer waits, holding back everything reliable behind it for
        // seconds, and a keep-alive held back there would make a live machine look silent.
        for (const Peer& peer : peers) {
            if (peer.machine != kNoMachine) {
                sendTo(peer.machine, AliveMessage{}, Channel::Reports);
            }
        }
        lastAliveMs = t;
    }
}

// ---- Between matches ----

void NetSession::update() {
    poll();
    checkLinks();
    if (phase == Phase::Closed) {
        return;
    }
    if (setup.hosting && phase != Phase::Playing) {
        const uint32_t t = now();
        if (t - lastLineupMs >= kLineupEveryMs) {
            // The round trips as measured now, for everyone's waiting screen.
            for (SeatInfo& info : lineup.seats) {
                const Peer* peer = info.machine != kNoMachine && info.machine != kHostMachine
                                       ? peerOf(info.machine)
                                       : nullptr;
                info.roundTripMs = peer != nullptr ? static_cast<uint16_t>(net->roundTripMs(peer->id)) : 0;
            }
            sendToAll(LineupMessage{lineup});
            lastLineupMs = t;
        }
        hostStartsWhenFull();
    }
    settleLastMatch();
    keepAlive();
    net->flush();
}

void NetSession::settleLastMatch() {
    // A machine still playing the match may need this one's last actions; and one that sends
    // them is owed the acknowledgement that lets it stop. Once both are said, nothing more goes.
    if (scheduler && !leftMatchAlone && phase != Phase::Playing && (answerOwed || !scheduler->settled()) &&
        scheduler->send(now())) {
        answerOwed = false;
    }
}

bool NetSession::rematchAwaited() const {
    // A host of computers alone goes on by itself, as a podium of computers does locally.
    return setup.hosting && match > 0 && localPeople() > 0 && !rematchAsked;
}

void NetSession::askRematch() {
    if (!setup.hosting || rematchAsked || phase == Phase::Closed) {
        return; // the clients' keys change nothing: the host starts the next match
    }
    rematchAsked = true;
    std::cout << "Rematch asked: the next match starts once every seat is filled" << std::endl;
}

std::string NetSession::nextMatchLine() const {
    if (!setup.hosting) {
        return kHostStartsNext;
    }
    if (rematchAwaited()) {
        return kRematchKeys;
    }
    return rematchAsked ? "Rematch asked" : "";
}

void NetSession::hostStartsWhenFull() {
    const uint32_t t = now();
    if (phase == Phase::Waiting && seatsFull() && !rematchAwaited()) {
        phase = Phase::Countdown;
        countdownStart = t;
    } else if (phase == Phase::Countdown && !seatsFull()) {
        phase = Phase::Waiting;
    } else if (phase == Phase::Countdown && t - countdownStart >= kCountdownMs) {
        StartMessage start;
        start.lineup = lineup;
        start.match = static_cast<MatchNumber>(match + 1 == 0 ? 1 : match + 1);
        const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        start.seed = static_cast<uint32_t>(ticks ^ (ticks >> 32));
        start.delay = static_cast<uint8_t>(setup.delay);
        start.teams = setup.teams;
        sendToAll(start);
        beginMatch(start);
    }
}

void NetSession::beginMatch(const StartMessage& start) {
    lineup = start.lineup;
    match = start.match;
    phase = Phase::Playing;
    std::array<uint8_t, kMaxSeats> machines{};
    for (int seat = 0; seat < kMaxSeats; ++seat) {
        machines[static_cast<size_t>(seat)] = lineup.seats[static_cast<size_t>(seat)].machine;
    }
    // The last match's scheduler goes with it: nothing of it is sent from now on.
    pacing = MakeMatchPacer(std::make_unique<LockstepScheduler>(
                                Lockstep(self, machines, lineup.players, start.delay),
                                [this](int seat, uint32_t) { return game.sample(seat, menuOpen); },
                                [this](uint8_t machine, const InputsMessage& inputs) {
                                    InputsMessage tagged = inputs;
                                    tagged.match = match;
                                    sendTo(machine, tagged, Channel::Inputs);
                                }),
                            setup.rollback, game);
    scheduler = &pacing->scheduler();
    hashesToReport.clear();
    podiumLine.reset();
    meter.start(now());
    pacingNote.clear();
    scheduler->countStallsFrom(kStallsCountFrom);
    for (Peer& peer : peers) {
        peer.heardInMatch = false;
        peer.hashedFrame = -1;
        const bool plays = std::any_of(lineup.seats.begin(), lineup.seats.begin() + lineup.players,
                                       [&](const SeatInfo& s) { return s.machine == peer.machine; });
        // A client plays with the host, whatever seats it has; the host with the clients it seated.
        peer.inMatch = peer.machine != kNoMachine && (!setup.hosting || plays);
        if (peer.inMatch) {
            scheduler->addPeer(peer.machine);
        }
    }
    lentSeats.fill(std::nullopt);
    rematchAsked = false; // the next match is asked for anew
    answerOwed = false;
    leftMatchAlone = false;
    notices.clear();
    ownHashes.clear();
    clientHashes.clear();
    recentHashes.clear();
    waitingNote.clear();
    menuOpen = false;
    podiumTold = false;
    matchStartMs = now();
    sentAtStart = net->bytesSent();
    cpuAtStart = ProcessCpuSeconds();
    receivedAtStart = net->bytesReceived();
    simulatedSeconds = 0.0;
    simulatedFrames = 0;
    std::cout << "Online match started: " << lineup.map << ", " << int(lineup.players) << " players, seed "
              << start.seed << std::endl;
    game.startMatch(start, self);
}

void NetSession::matchFinished() {
    if (phase == Phase::Playing) {
        phase = Phase::Waiting;
    }
    if (podiumLine) {
        // Left before its frame was final here (never in a match whose machines all play on).
        std::cout << podiumLine->text << std::endl;
        podiumLine.reset();
    }
    if (simulatedFrames > 0) {
        printMatchStats();
        simulatedFrames = 0;
    }
    if (pacing && scheduler->rollbackWindow() > 0 && meter.renderedFrames() > 0) {
        const double played = std::max(1.0, static_cast<double>(now() - matchStartMs) / 1000.0);
        char note[160];
        std::snprintf(note, sizeof note,
                      "Last match: %.1f rollbacks a second; frames simulated again per frame %u (median), "
                      "%u (99th percentile)",
                      pacing->figures().rollbacks / played, meter.framesAgainAt(0.5),
                      meter.framesAgainAt(0.99));
        pacingNote = note;
    }
    if (setup.hosting) {
        // Seats lent to computers while their machine sat the match out go back to it.
        for (int seat = 0; seat < kMaxSeats; ++seat) {
            std::optional<SeatInfo>& lent = lentSeats[static_cast<size_t>(seat)];
            if (lent && peerOf(lent->machine) != nullptr) {
                lineup.seats[static_cast<size_t>(seat)] = *lent;
            }
            lent.reset();
        }
        // Seats whose machine went during the match are free again.
        for (SeatInfo& info : lineup.seats) {
            if (info.machine != kNoMachine && info.machine != kHostMachine &&
                peerOf(info.machine) == nullptr) {
                info = SeatInfo{};
            }
        }
        for (int seat = 0; seat < kMaxSeats; ++seat) {
            SeatInfo& info = lineup.seats[static_cast<size_t>(seat)];
            if (info.machine == kHostMachine && seat >= setup.seats) {
                info = SeatInfo{}; // taken over from a machine that went
            }
        }
        sendToAll(LineupMessage{lineup});
    }
    game.leaveMatch(phase == Phase::Closed);
}

void NetSession::endMatch(const std::string& line, bool toTitle) {
    std::cout << line << std::endl;
    if (phase == Phase::Playing) {
        phase = Phase::Waiting;
    }
    game.leaveMatch(toTitle);
}

void NetSession::close(const std::string& line) {
    if (phase == Phase::Closed) {
        return;
    }
    std::cout << line << std::endl;
    const bool wasPlaying = phase == Phase::Playing;
    phase = Phase::Closed;
    if (wasPlaying && simulatedFrames > 0) {
        printMatchStats();
        simulatedFrames = 0;
    }
    for (const Peer& peer : peers) {
        net->disconnect(peer.id, DisconnectReason::Leaving);
    }
    net->flush();
    peers.clear();
    game.leaveMatch(true);
}

void NetSession::leave() {
    if (phase == Phase::Closed) {
        return;
    }
    sendToAll(LeaveMessage{});
    close(setup.hosting ? "Stopped hosting; back to the title" : "Left the online match; back to the title");
}

// ---- During a match ----

void NetSession::beginFrame() {
    poll();
    checkLinks();
    checkProgress();
    if (phase == Phase::Playing) {
        game.readLocalInput();
    }
    if (const Peer* host = scheduler && !setup.hosting ? peerOf(kHostMachine) : nullptr) {
        // The other clients' actions come through the host: they may be guessed the extra leg,
        // as long as the link's round trip is now.
        scheduler->setRelayedExtra(RelayedFrames(net->roundTripMs(host->id), scheduler->rollbackWindow()));
    }
}

bool NetSession::frameReady() {
    if (phase != Phase::Playing || !pacing) {
        return false;
    }
    const uint32_t before = scheduler->nextFrame();
    const bool ready = pacing->frameReady(now());
    const uint32_t from = scheduler->nextFrame();
    if (from < before) {
        // Rolled back: what the frames from there said is said again as they are simulated again.
        hashesToReport.erase(hashesToReport.lower_bound(from), hashesToReport.end());
        if (podiumLine && podiumLine->frame >= from) {
            podiumLine.reset();
        }
    }
    reportFinal();
    if (!ready) {
        return false;
    }
    frameStartedAt = WallSeconds();
    return true;
}

void NetSession::frameDone() {
    simulatedSeconds += WallSeconds() - frameStartedAt;
    ++simulatedFrames;
    pacing->frameDone(now());
    const uint32_t done = scheduler->nextFrame();
    if (done % kHashEveryFrames == 0 && phase == Phase::Playing) {
        if (const std::optional<uint64_t> hash = game.worldHash()) {
            hashesToReport[done - 1] = *hash; // simulated again, the frame says again
        }
    }
    reportFinal();
}

void NetSession::reportFinal() {
    if (!pacing) {
        return;
    }
    const uint32_t final = pacing->finalFrames();
    while (!hashesToReport.empty() && hashesToReport.begin()->first < final) {
        const auto [frame, hash] = *hashesToReport.begin();
        hashesToReport.erase(hashesToReport.begin());
        reportHash(frame, hash);
    }
    if (podiumLine && podiumLine->frame < final) {
        std::cout << podiumLine->text << std::endl;
        podiumLine.reset();
        podiumTold = true;
    }
}

uint16_t NetSession::frameActions(int seat) {
    if (!pacing || seat < 0 || seat >= scheduler->table().seats()) {
        return 0;
    }
    return pacing->actions(seat);
}

void NetSession::endFrame() {
    if (scheduler && phase == Phase::Playing) {
        scheduler->send(now());
        game.framesFinal(pacing->finalFrames());
        meter.rendered(now(), pacing->figures());
    }
    settleLastMatch();
    keepAlive();
    net->flush();
}

float NetSession::frameSeconds() const {
    return kOnlineFrameSeconds;
}

void NetSession::reportHash(uint32_t frame, uint64_t hash) {
    if (!setup.hosting) {
        // Each goes out three times over three seconds, unreliably: on a poor link a reliable
        // message can be held up for seconds behind a lost one, and the host wants one in five.
        recentHashes.push_back(HashMessage{match, frame, hash});
        if (recentHashes.size() > kHashSends) {
            recentHashes.erase(recentHashes.begin());
        }
        for (const HashMessage& recent : recentHashes) {
            sendTo(kHostMachine, recent, Channel::Reports);
        }
        return;
    }
    ownHashes[frame] = hash;
    while (ownHashes.size() > kHashesKept) {
        ownHashes.erase(ownHashes.begin());
    }
    compareHashes();
}

std::optional<uint64_t> NetSession::ownHash(uint32_t frame) const {
    const auto found = ownHashes.find(frame);
    return found != ownHashes.end() ? std::optional(found->second) : std::nullopt;
}

// The host's world is the reference: a client whose hash of a frame differs leaves the match.
void NetSession::compareHashes() {
    for (auto it = clientHashes.begin(); it != clientHashes.end();) {
        const auto [machine, frame] = it->first;
        const uint64_t theirs = it->second;
        Peer* peer = peerOf(machine);
        auto own = ownHashes.find(frame);
        if (peer == nullptr || !peer->inMatch) {
            it = clientHashes.erase(it);
            continue;
        }
        peer->hashedFrame = std::max<int64_t>(peer->hashedFrame, frame);
        if (own == ownHashes.end()) {
            // Not reached here yet, or too long ago to tell.
            it = !ownHashes.empty() && frame < ownHashes.begin()->first ? clientHashes.erase(it)
                                                                        : std::next(it);
            continue;
        }
        it = clientHashes.erase(it);
        if (own->second != theirs) {
            dropFromMatch(*peer, frame, "is out of step with the host at frame " + std::to_string(frame));
            it = clientHashes.begin(); // dropping it took its other hashes away
        }
    }
}

void NetSession::podiumReached(const std::vector<int32_t>& ranks) {
    if (podiumTold || !scheduler) {
        return;
    }
    // The podium may stand on a frame simulated on a guess: the line waits until that frame is
    // final, and the frame simulated again says it again (in the same words when nothing changed).
    std::ostringstream line;
    line << "Online match over: frame " << scheduler->nextFrame() << ", hash "
         << hex(game.worldHash().value_or(0)) << ", ranks";
    for (int32_t rank : ranks) {
        line << " " << rank;
    }
    podiumLine = PodiumLine{scheduler->nextFrame(), line.str()};
    reportFinal();
}

std::string NetSession::notice() const {
    if (!scheduler || phase != Phase::Playing) {
        return {};
    }
    const int waiting = scheduler->waitingFor();
    if (waiting >= 0 && scheduler->stalledMs(now()) >= kWaitNoticeMs) {
        // How long until the wait ends one way or the other.
        const uint8_t owner = scheduler->table().owner(waiting);
        const uint32_t heldUp = scheduler->heldUpMs(waiting);
        std::string what = "Waiting for " + playerName(waiting);
        const Peer* peer = setup.hosting ? peerOf(owner) : peerOf(kHostMachine);
        if (peer != nullptr && !peer->heardInMatch) {
            return what + " to load (" + std::to_string(secondsLeft(now() - matchStartMs, kLoadAllowanceMs)) +
                   ")";
        }
        if (owner == kHostMachine && !setup.hosting) {
            return what + ": back to the title in " + std::to_string(secondsLeft(heldUp, kHeldUpLimitMs)) +
                   " s";
        }
        if (heldUp < kHeldUpLimitMs || setup.hosting) {
            return what + ": a computer plays on in " + std::to_string(secondsLeft(heldUp, kHeldUpLimitMs)) +
                   " s";
        }
        return what + ": back to the title in " + std::to_string(secondsLeft(heldUp, 2 * kHeldUpLimitMs)) +
               " s";
    }
    const uint32_t frame = scheduler->nextFrame();
    for (auto it = notices.rbegin(); it != notices.rend(); ++it) {
        if (frame >= it->frame && frame < it->frame + kNoticeFrames) {
            return it->text;
        }
    }
    return {};
}

std::string NetSession::pacingLine() const {
    if (!pacing || phase != Phase::Playing || scheduler->rollbackWindow() == 0) {
        return {};
    }
    return meter.line();
}

PlayerActions NetSession::SeatActions::actionsFor(const Player& player) {
    return UnpackActions(session.frameActions(static_cast<int>(player.playerNumber) - 1));
}

void NetSession::printMatchStats() {
    const uint32_t t = now();
    const double seconds = std::max(0.001, static_cast<double>(t - matchStartMs) / 1000.0);
    const double sent = static_cast<double>(net->bytesSent() - sentAtStart) / seconds;
    const double received = static_cast<double>(net->bytesReceived() - receivedAtStart) / seconds;
    const double framesPerSecond = simulatedSeconds > 0.0 ? simulatedFrames / simulatedSeconds : 0.0;
    const uint32_t delay = scheduler ? scheduler->table().delay() : 0;
    const uint32_t waits = scheduler ? scheduler->stallCount() : 0;
    // Every thread's time, the renderer's and the sound's too: what the machine pays for a picture.
    const double cpuSeconds = ProcessCpuSeconds() - cpuAtStart;
    const double cpuPerRendered = cpuSeconds * 1000.0 / std::max<uint32_t>(1, meter.renderedFrames());
    char line[640];
    std::snprintf(
        line, sizeof line,
        "Online match traffic: sent %.0f bytes/s, received %.0f bytes/s over %.0f s; input delay %u "
        "frames (%u ms); longest wait for another machine %u ms (frame %u), %u waits (%.1f a minute); "
        "simulation %.0f frames/s (%.1f times real time); CPU %.2f ms per rendered frame (%.0f %% of a "
        "core); memory %.1f MB resident, %.1f MB heap in use",
        sent, received, seconds, delay, delay * 1000 / kOnlineFramesPerSecond,
        scheduler ? scheduler->longestStallMs(t) : 0, scheduler ? scheduler->longestStallFrame(t) : 0, waits,
        waits * 60.0 / seconds, framesPerSecond, framesPerSecond / kOnlineFramesPerSecond, cpuPerRendered,
        cpuSeconds * 100.0 / seconds, ResidentMegabytes(), HeapInUseMegabytes());
    std::cout << line << std::endl;
    if (pacing && scheduler->rollbackWindow() > 0) {
        const RollbackFigures figures = pacing->figures();
        std::snprintf(line, sizeof line,
                      "Online match rollback: window %u frames; %u rollbacks (%.1f a second), %u frames "
                      "simulated again, at most %u at once; per rendered frame %u (median), %u (99th "
                      "percentile)",
                      scheduler->rollbackWindow(), figures.rollbacks, figures.rollbacks / seconds,
                      figures.framesAgain, figures.longestAgain, meter.framesAgainAt(0.5),
                      meter.framesAgainAt(0.99));
        std::cout << line << std::endl;
    }
    if (counted.total() + counted.otherMatch > 0) {
        const RunRefusals& runs = counted.runs;
        std::cout << "Online packets ignored so far: " << counted.oversized << " oversized, "
                  << counted.malformed << " malformed, " << counted.outOfTurn << " out of turn, "
                  << counted.otherMatch << " of another match; runs of actions refused: " << runs.foreignSeat
                  << " for another machine's seat, " << runs.gap << " past a gap, " << runs.tooFarAhead
                  << " too far ahead, " << runs.contradiction << " contradicting what was known" << std::endl;
    }
}
// ---- The waiting screen ----

std::vector<std::string> NetSession::waitingLines() const {
    std::vector<std::string> lines;
    if (phase == Phase::Connecting) {
        lines.push_back("Joining " + setup.address + " ...");
        return lines;
    }
    for (int seat = 0; seat < lineup.players; ++seat) {
        const SeatInfo& info = lineup.seats[static_cast<size_t>(seat)];
        std::string line = playerName(seat) + ":  ";
        if (info.machine == kNoMachine) {
            line += "free";
        } else {
            line += info.machine == self ? "here" : "machine " + std::to_string(info.machine);
            if (info.computer) {
                line += std::string(", computer (") + kLevelNames[std::min<int>(info.level, 2)] + ")";
            }
            if (info.machine != self) {
                uint32_t roundTrip = info.roundTripMs;
                if (!setup.hosting && info.machine == kHostMachine && !peers.empty()) {
                    roundTrip = net->roundTripMs(peers.front().id);
                } else if (setup.hosting) {
                    for (const Peer& peer : peers) {
                        if (peer.machine == info.machine) {
                            roundTrip = net->roundTripMs(peer.id);
                        }
                    }
                }
                line += ", round trip " + std::to_string(roundTrip) + " ms";
            }
        }
        lines.push_back(line);
    }
    const int minutes = lineup.seconds / 60;
    const int secs = lineup.seconds % 60;
    char settings[128];
    std::snprintf(settings, sizeof settings, "%s, %d lives, %d:%02d", lineup.map.c_str(), lineup.lives,
                  minutes, secs);
    lines.emplace_back(settings);
    if (!waitingNote.empty()) {
        lines.push_back(waitingNote);
    }
    if (!pacingNote.empty()) {
        lines.push_back(pacingNote);
    }
    if (phase == Phase::Countdown) {
        const uint32_t left = kCountdownMs - std::min(kCountdownMs, now() - countdownStart);
        lines.push_back("Starting in " + std::to_string((left + 999) / 1000));
    } else if (phase == Phase::Waiting || phase == Phase::Playing) {
        const int free = freeSeats();
        // After a match the next waits for the host's ask: its screen shows the key, the
        // clients' who starts it.
        const std::string next = rematchAwaited() || (!setup.hosting && match > 0) ? nextMatchLine() : "";
        std::string line =
            free > 0 ? "Waiting for " + std::to_string(free) + (free == 1 ? " player" : " players") : next;
        if (free > 0 && !next.empty()) {
            line += ";   " + next;
        }
        lines.push_back(line.empty() ? "Waiting for the host to start" : line);
    } else {
        lines.push_back("Not connected");
    }
    return lines;
}
