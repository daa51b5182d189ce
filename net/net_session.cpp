#include "net/net_session.hpp"

#include "gameplay/player.hpp"
#include "match/recording.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>

namespace {

// A link that says nothing for this long is dead.
constexpr uint32_t kSilenceMs = 3000;
// A machine loading its match says nothing meanwhile; its first inputs may take this long.
constexpr uint32_t kLoadAllowanceMs = 20000;
constexpr uint32_t kAliveEveryMs = 500;
constexpr uint32_t kLineupEveryMs = 1000;
constexpr uint32_t kCountdownMs = 3000;
// Each client's hash of the world is compared with the host's once a second of game time.
constexpr uint32_t kHashEveryFrames = kOnlineFramesPerSecond;
// A wait shorter than this is not worth a notice.
constexpr uint32_t kWaitNoticeMs = 250;
constexpr uint32_t kNoticeFrames = 5 * kOnlineFramesPerSecond;
// Waits in the first second are the machines' loads ending at different times, not the network.
constexpr uint32_t kStallsCountFrom = kOnlineFramesPerSecond;
constexpr const char* kLevelNames[] = {"easy", "normal", "hard"};

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

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

} // namespace

NetSession::NetSession(SessionSetup given, std::unique_ptr<Transport> transport, BuildIdentity who,
                       OnlineGame& gameSide, std::function<uint32_t()> clockMs)
    : setup(std::move(given)), net(std::move(transport)), identity(std::move(who)), game(gameSide),
      now(std::move(clockMs)) {
    setup.seats = std::clamp(std::max(setup.seats, setup.computers), 1, kMaxSeats);
    setup.computers = std::clamp(setup.computers, 0, setup.seats);
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
            SeatInfo& info = lineup.seats[static_cast<size_t>(seat)];
            info.machine = kHostMachine;
            info.computer = seat >= setup.seats - setup.computers;
            info.level = setup.level;
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

void NetSession::sendToAll(const Message& message) {
    const std::vector<uint8_t> bytes = EncodeMessage(message);
    for (const Peer& peer : peers) {
        if (peer.machine != kNoMachine) {
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
}

void NetSession::handle(const TransportEvent& event) {
    const uint32_t t = now();
    switch (event.kind) {
    case TransportEvent::Kind::Connected: {
        const std::string address = net->peerAddress(event.peer);
        if (!setup.hosting) {
            peers = {Peer{event.peer, kHostMachine, address, t, t, false}};
            HelloMessage hello;
            hello.build = identity.build;
            hello.dataHash = identity.dataHash;
            hello.seats = static_cast<uint8_t>(setup.seats);
            hello.computers = static_cast<uint8_t>(setup.computers);
            hello.level = setup.level;
            sendTo(kHostMachine, hello, Channel::Control);
            return;
        }
        if (event.data != kProtocolMagic) {
            std::cout << "Refused a connection from " << address
                      << ": not this game, or another version of its online play" << std::endl;
            net->disconnect(event.peer, DisconnectReason::Protocol);
            return;
        }
        if (peers.size() >= static_cast<size_t>(kMaxClients)) {
            std::cout << "Refused a connection from " << address << ": three machines have joined already"
                      << std::endl;
            net->disconnect(event.peer, DisconnectReason::Full);
            return;
        }
        peers.push_back(Peer{event.peer, kNoMachine, address, t, t, false});
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
        case DisconnectReason::Refused:
            why = "refused to let this machine join";
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
        peer->heardMs = t;
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
    const uint32_t t = now();
    auto outOfTurn = [&] {
        if (counted.outOfTurn++ == 0) {
            std::cout << "Ignored a message out of turn from " << peer.address << " (later ones are counted)"
                      << std::endl;
        }
    };
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
            return;
        }
        if (phase == Phase::Playing) {
            peer.heardInMatch = true;
        }
        counted.foreignSeats += scheduler->receive(peer.machine, *inputs);
    } else if (const auto* hash = std::get_if<HashMessage>(&message)) {
        if (phase == Phase::Playing && hash->frame <= scheduler->nextFrame() + kMaxFramesAhead) {
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
    (void)t;
}

void NetSession::clientTakes(const Message& message) {
    auto outOfTurn = [&] {
        if (counted.outOfTurn++ == 0) {
            std::cout << "Ignored a message out of turn from the host (later ones are counted)" << std::endl;
        }
    };
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
        if (!scheduler) {
            return; // sent with the start, which comes on the other channel and may come later
        }
        if (Peer* host = peerOf(kHostMachine); host != nullptr && phase == Phase::Playing) {
            host->heardInMatch = true;
        }
        counted.foreignSeats += scheduler->receive(kHostMachine, *inputs);
    } else if (const auto* desync = std::get_if<DesyncMessage>(&message)) {
        if (phase == Phase::Playing) {
            endMatch("Online match out of step at frame " + std::to_string(desync->frame) +
                         ": the machines no longer agree, so the match ends",
                     false);
            waitingNote = "The last match ended out of step at frame " + std::to_string(desync->frame);
        }
    } else if (const auto* takeover = std::get_if<TakeoverMessage>(&message)) {
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
    if (freeSeats() < hello.seats) {
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
            info.machine = machine;
            info.computer = given >= hello.seats - hello.computers;
            info.level = hello.level;
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
    const std::string address = peer->address;
    std::erase_if(peers, [id](const Peer& p) { return p.id == id; });
    if (machine == kNoMachine) {
        std::cout << "Dropped a connection from " << address << ": it " << why << " without saying who it is"
                  << std::endl;
        return;
    }
    if (phase == Phase::Playing && scheduler) {
        // Its seats play on as the host's computers, from the first frame nobody has of them.
        uint8_t mask = 0;
        uint32_t from = UINT32_MAX;
        for (int seat = 0; seat < lineup.players; ++seat) {
            SeatInfo& info = lineup.seats[static_cast<size_t>(seat)];
            if (info.machine == machine) {
                from = std::min(from, scheduler->takeOver(seat));
                mask = static_cast<uint8_t>(mask | (1u << seat));
                info.machine = kHostMachine;
                info.computer = true;
                info.level = 1;
                game.seatTakenOver(seat, true);
            }
        }
        scheduler->removePeer(machine);
        if (mask != 0) {
            for (int seat = 0; seat < kMaxSeats; ++seat) {
                if ((mask >> seat) & 1u) {
                    notices.push_back({from, playerName(seat) + " left: a computer plays on"});
                }
            }
            sendToAll(TakeoverMessage{mask, from});
        }
        std::cout << "Machine " << int(machine) << " (" << address << ") " << why
                  << "; computers play its seats from frame " << from << std::endl;
        return;
    }
    std::cout << "Machine " << int(machine) << " (" << address << ") " << why << std::endl;
    for (SeatInfo& info : lineup.seats) {
        if (info.machine == machine) {
            info = SeatInfo{};
        }
    }
    sendToAll(LineupMessage{lineup});
}

void NetSession::checkLinks() {
    const uint32_t t = now();
    std::vector<PeerId> silent;
    for (const Peer& peer : peers) {
        const bool loading = phase == Phase::Playing && !peer.heardInMatch;
        const uint32_t limit = loading ? kLoadAllowanceMs : kSilenceMs;
        if (t - peer.heardMs > limit) {
            silent.push_back(peer.id);
        }
    }
    for (PeerId id : silent) {
        peerGone(id, "has not been heard from for " + std::to_string(kSilenceMs / 1000) + " s");
        net->disconnect(id, DisconnectReason::None);
    }
}

void NetSession::keepAlive() {
    const uint32_t t = now();
    if (t - lastAliveMs >= kAliveEveryMs) {
        sendToAll(AliveMessage{});
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
    if (scheduler) {
        // The last match's last actions, until every machine has them all.
        scheduler->send(now());
    }
    keepAlive();
    net->flush();
}

void NetSession::hostStartsWhenFull() {
    const uint32_t t = now();
    if (phase == Phase::Waiting && seatsFull()) {
        phase = Phase::Countdown;
        countdownStart = t;
    } else if (phase == Phase::Countdown && !seatsFull()) {
        phase = Phase::Waiting;
    } else if (phase == Phase::Countdown && t - countdownStart >= kCountdownMs) {
        StartMessage start;
        start.lineup = lineup;
        const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        start.seed = static_cast<uint32_t>(ticks ^ (ticks >> 32));
        start.delay = static_cast<uint8_t>(setup.delay);
        sendToAll(start);
        beginMatch(start);
    }
}

void NetSession::beginMatch(const StartMessage& start) {
    lineup = start.lineup;
    phase = Phase::Playing;
    std::array<uint8_t, kMaxSeats> machines{};
    for (int seat = 0; seat < kMaxSeats; ++seat) {
        machines[static_cast<size_t>(seat)] = lineup.seats[static_cast<size_t>(seat)].machine;
    }
    scheduler = std::make_unique<LockstepScheduler>(
        Lockstep(self, machines, lineup.players, start.delay),
        [this](int seat, uint32_t) { return game.sample(seat, menuOpen); },
        [this](uint8_t machine, const InputsMessage& inputs) { sendTo(machine, inputs, Channel::Inputs); });
    scheduler->countStallsFrom(kStallsCountFrom);
    for (Peer& peer : peers) {
        peer.heardInMatch = false;
        if (peer.machine != kNoMachine) {
            scheduler->addPeer(peer.machine);
        }
    }
    notices.clear();
    ownHashes.clear();
    clientHashes.clear();
    waitingNote.clear();
    menuOpen = false;
    podiumTold = false;
    matchStartMs = now();
    sentAtStart = net->bytesSent();
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
    if (simulatedFrames > 0) {
        printMatchStats();
        simulatedFrames = 0;
    }
    if (setup.hosting) {
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
    if (phase == Phase::Playing) {
        game.readLocalInput();
    }
}

bool NetSession::frameReady() {
    if (phase != Phase::Playing || !scheduler || !scheduler->frameReady(now())) {
        return false;
    }
    frameStartedAt = steadySeconds();
    return true;
}

void NetSession::frameDone() {
    simulatedSeconds += steadySeconds() - frameStartedAt;
    ++simulatedFrames;
    scheduler->frameDone(now());
    const uint32_t done = scheduler->nextFrame();
    if (done % kHashEveryFrames == 0 && phase == Phase::Playing) {
        if (const std::optional<uint64_t> hash = game.worldHash()) {
            reportHash(done - 1, *hash);
        }
    }
}

void NetSession::endFrame() {
    if (scheduler) {
        scheduler->send(now());
    }
    keepAlive();
    net->flush();
}

float NetSession::frameSeconds() const {
    return kOnlineFrameSeconds;
}

void NetSession::reportHash(uint32_t frame, uint64_t hash) {
    if (!setup.hosting) {
        sendTo(kHostMachine, HashMessage{frame, hash}, Channel::Control);
        return;
    }
    ownHashes[frame] = hash;
    // Hashes older than ten seconds have been compared, or their machine has gone.
    while (ownHashes.size() > 10) {
        ownHashes.erase(ownHashes.begin());
    }
    compareHashes();
}

void NetSession::compareHashes() {
    for (auto it = clientHashes.begin(); it != clientHashes.end();) {
        const auto [machine, frame] = it->first;
        auto own = ownHashes.find(frame);
        if (own == ownHashes.end()) {
            // Not reached here yet, or long gone.
            it = !ownHashes.empty() && frame < ownHashes.begin()->first ? clientHashes.erase(it)
                                                                        : std::next(it);
            continue;
        }
        if (own->second != it->second) {
            sendToAll(DesyncMessage{frame});
            endMatch("Online match out of step at frame " + std::to_string(frame) + ": machine " +
                         std::to_string(machine) + " no longer agrees with the host, so the match ends",
                     false);
            waitingNote = "The last match ended out of step at frame " + std::to_string(frame);
            clientHashes.clear();
            return;
        }
        it = clientHashes.erase(it);
    }
}

void NetSession::podiumReached(const std::vector<int32_t>& ranks) {
    if (podiumTold || !scheduler) {
        return;
    }
    podiumTold = true;
    std::ostringstream line;
    line << "Online match over: frame " << scheduler->nextFrame() << ", hash "
         << hex(game.worldHash().value_or(0)) << ", ranks";
    for (int32_t rank : ranks) {
        line << " " << rank;
    }
    std::cout << line.str() << std::endl;
}

std::string NetSession::notice() const {
    if (!scheduler || phase != Phase::Playing) {
        return {};
    }
    const int waiting = scheduler->waitingFor();
    if (waiting >= 0 && scheduler->stalledMs(now()) >= kWaitNoticeMs) {
        return "Waiting for " + playerName(waiting);
    }
    const uint32_t frame = scheduler->nextFrame();
    for (auto it = notices.rbegin(); it != notices.rend(); ++it) {
        if (frame >= it->frame && frame < it->frame + kNoticeFrames) {
            return it->text;
        }
    }
    return {};
}

PlayerActions NetSession::SeatActions::actionsFor(const Player& player) {
    const int seat = static_cast<int>(player.playerNumber) - 1;
    if (!session.scheduler || seat < 0 || seat >= session.scheduler->table().seats()) {
        return {};
    }
    return UnpackActions(session.scheduler->table().actions(seat, session.scheduler->nextFrame()));
}

void NetSession::printMatchStats() {
    const double seconds = std::max(0.001, static_cast<double>(now() - matchStartMs) / 1000.0);
    const double sent = static_cast<double>(net->bytesSent() - sentAtStart) / seconds;
    const double received = static_cast<double>(net->bytesReceived() - receivedAtStart) / seconds;
    const double framesPerSecond = simulatedSeconds > 0.0 ? simulatedFrames / simulatedSeconds : 0.0;
    const uint32_t delay = scheduler ? scheduler->table().delay() : 0;
    char line[400];
    std::snprintf(
        line, sizeof line,
        "Online match traffic: sent %.0f bytes/s, received %.0f bytes/s over %.0f s; input delay %u "
        "frames (%u ms); longest wait for another machine %u ms (frame %u); simulation %.0f frames/s "
        "(%.1f times real time)",
        sent, received, seconds, delay, delay * 1000 / kOnlineFramesPerSecond,
        scheduler ? scheduler->longestStallMs() : 0, scheduler ? scheduler->longestStallFrame() : 0,
        framesPerSecond, framesPerSecond / kOnlineFramesPerSecond);
    std::cout << line << std::endl;
    if (counted.total() > 0) {
        std::cout << "Online packets ignored so far: " << counted.oversized << " oversized, "
                  << counted.malformed << " malformed, " << counted.outOfTurn << " out of turn, "
                  << counted.foreignSeats << " speaking for another machine's seats" << std::endl;
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
    if (phase == Phase::Countdown) {
        const uint32_t left = kCountdownMs - std::min(kCountdownMs, now() - countdownStart);
        lines.push_back("Starting in " + std::to_string((left + 999) / 1000));
    } else if (phase == Phase::Waiting || phase == Phase::Playing) {
        const int free = freeSeats();
        lines.push_back(free > 0
                            ? "Waiting for " + std::to_string(free) + (free == 1 ? " player" : " players")
                            : "Waiting for the host to start");
    } else {
        lines.push_back("Not connected");
    }
    return lines;
}
