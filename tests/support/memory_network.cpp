#include "tests/support/memory_network.hpp"

#include "match/recording.hpp"

#include <algorithm>

class MemoryNetwork::Endpoint : public Transport {
  public:
    Endpoint(MemoryNetwork& owner, std::string name)
        : network(owner), self(static_cast<int>(owner.endpoints.size())), label(std::move(name)) {
        network.endpoints.push_back(this);
    }
    ~Endpoint() override {
        for (const auto& [peer, other] : peers) {
            network.post(self, other, gone(DisconnectReason::Leaving), true);
        }
        network.endpoints[static_cast<size_t>(self)] = nullptr;
    }

    static TransportEvent gone(DisconnectReason reason) {
        TransportEvent event;
        event.kind = TransportEvent::Kind::Disconnected;
        event.data = static_cast<uint32_t>(reason);
        return event;
    }

    bool poll(TransportEvent& event) override { return network.take(self, event); }

    void send(PeerId peer, Channel channel, std::span<const uint8_t> packet) override {
        if (peers.contains(peer)) {
            TransportEvent event;
            event.channel = channel == Channel::Control ? Channel::Control : Channel::Inputs;
            event.packet.assign(packet.begin(), packet.end());
            network.post(self, peers[peer], std::move(event), channel == Channel::Control);
        }
    }

    void disconnect(PeerId peer, DisconnectReason reason) override {
        if (peers.contains(peer) && reason != DisconnectReason::None) {
            network.post(self, peers[peer], gone(reason), true);
        }
        peers.erase(peer);
    }

    void flush() override {}
    uint32_t roundTripMs(PeerId) const override {
        return network.shape.minDelayMs + network.shape.maxDelayMs;
    }
    std::string peerAddress(PeerId peer) const override {
        const Endpoint* other =
            peers.contains(peer) ? network.endpoints[static_cast<size_t>(peers.at(peer))] : nullptr;
        return other != nullptr ? other->label : "gone";
    }
    uint64_t bytesSent() const override { return 0; }
    uint64_t bytesReceived() const override { return 0; }

    // The id this endpoint knows another endpoint by, made on first sight.
    PeerId idOf(int endpoint) {
        for (const auto& [peer, other] : peers) {
            if (other == endpoint) {
                return peer;
            }
        }
        peers[nextPeer] = endpoint;
        return nextPeer++;
    }

    MemoryNetwork& network;
    int self;
    std::string label;
    bool dead = false;
    std::map<PeerId, int> peers; // peer id here -> endpoint
    PeerId nextPeer = 0;
};

MemoryNetwork::MemoryNetwork(uint32_t seed, LinkShape linkShape) : random(seed), shape(linkShape) {}

MemoryNetwork::~MemoryNetwork() = default;

std::unique_ptr<Transport> MemoryNetwork::listen(const std::string& name) {
    return std::make_unique<Endpoint>(*this, name);
}

std::unique_ptr<Transport> MemoryNetwork::connect(const std::string& name, const std::string& host,
                                                  uint32_t requestData) {
    auto made = std::make_unique<Endpoint>(*this, name);
    const int hostIndex = (*std::find_if(endpoints.begin(), endpoints.end(), [&](const Endpoint* e) {
                              return e != nullptr && e->label == host;
                          }))->self;
    made->idOf(hostIndex);
    TransportEvent request;
    request.kind = TransportEvent::Kind::Connected;
    request.data = requestData;
    post(made->self, hostIndex, request, true);
    request.data = 0;
    post(hostIndex, made->self, request, true);
    return made;
}

void MemoryNetwork::sendAs(const std::string& name, Channel channel, const std::vector<uint8_t>& packet) {
    for (Endpoint* e : endpoints) {
        if (e != nullptr && e->label == name) {
            e->send(e->peers.begin()->first, channel, packet);
        }
    }
}

void MemoryNetwork::kill(const std::string& name) {
    for (Endpoint* e : endpoints) {
        if (e != nullptr && e->label == name) {
            e->dead = true;
            e->peers.clear();
        }
    }
}

bool MemoryNetwork::alive(int endpoint) const {
    const Endpoint* e = endpoints[static_cast<size_t>(endpoint)];
    return e != nullptr && !e->dead;
}

void MemoryNetwork::post(int from, int to, TransportEvent event, bool reliable) {
    if (!alive(from) || !alive(to) ||
        (!reliable && std::uniform_real_distribution<double>(0.0, 1.0)(random) < shape.inputsDropped)) {
        return;
    }
    uint32_t due =
        clock + std::uniform_int_distribution<uint32_t>(shape.minDelayMs, shape.maxDelayMs)(random);
    if (reliable && shape.controlResent > 0.0 &&
        std::uniform_real_distribution<double>(0.0, 1.0)(random) < shape.controlResent) {
        due += shape.controlResentMs;
    }
    if (reliable) {
        uint32_t& last = lastReliableDue[{from, to}];
        due = last = std::max(due, last);
    }
    event.peer = endpoints[static_cast<size_t>(to)]->idOf(from);
    inFlight.push_back(Pending{due, nextOrder++, to, std::move(event), from});
}

bool MemoryNetwork::take(int endpoint, TransportEvent& event) {
    auto best = inFlight.end();
    for (auto it = inFlight.begin(); it != inFlight.end(); ++it) {
        if (it->to == endpoint && it->due <= clock &&
            (best == inFlight.end() || std::tie(it->due, it->order) < std::tie(best->due, best->order))) {
            best = it;
        }
    }
    if (best == inFlight.end()) {
        return false;
    }
    Pending arrived = std::move(*best);
    inFlight.erase(best);
    if (!alive(endpoint) || !alive(arrived.from)) {
        return take(endpoint, event);
    }
    if (arrived.event.kind == TransportEvent::Kind::Disconnected) {
        endpoints[static_cast<size_t>(endpoint)]->peers.erase(arrived.event.peer);
    }
    event = std::move(arrived.event);
    return true;
}

uint16_t ToyOnlineGame::sample(int seat, bool) {
    auto& [held, left] = holding[static_cast<size_t>(seat)];
    if (left-- <= 0) {
        held = static_cast<uint16_t>(random() & kActionBitsMask);
        left = static_cast<int>(random() % 30);
    }
    return held;
}

SessionMachine::SessionMachine(MemoryNetwork& network, const std::string& name, SessionSetup setup,
                               const BuildIdentity& identity, uint32_t seed, uint32_t requestData)
    : game(seed),
      session(setup, setup.hosting ? network.listen(name) : network.connect(name, "host", requestData),
              identity, game, [&network] { return network.machineClock(); }) {
    game.world = &world;
}

SessionMachine::SessionMachine(std::unique_ptr<Transport> transport, std::function<uint32_t()> clock,
                               SessionSetup setup, const BuildIdentity& identity, uint32_t seed)
    : game(seed), session(setup, std::move(transport), identity, game, std::move(clock)) {
    game.world = &world;
}

void ToyOnlineGame::saveFrame(uint32_t frame) {
    savedWorlds[frame] = *world;
    while (savedWorlds.size() > 2 * kMaxRollbackWindow + 2) {
        savedWorlds.erase(savedWorlds.begin());
    }
}

bool ToyOnlineGame::loadFrame(uint32_t frame) {
    const auto found = savedWorlds.find(frame);
    if (found == savedWorlds.end()) {
        return false;
    }
    *world = found->second;
    savedWorlds.erase(std::next(found), savedWorlds.end());
    return true;
}

int SessionMachine::frame() {
    if (!session.playing()) {
        session.update();
        return 0;
    }
    if (session.lockstep()->reachedFrame() == 0) {
        world = kWorldStart;
        game.savedWorlds.clear();
        worldAfter.clear();
    }
    session.beginFrame();
    auto over = [this] { return matchFrames > 0 && session.lockstep()->nextFrame() >= matchFrames; };
    int frames = 0;
    // Asked even past the end, so that a rollback is still found.
    for (; session.playing() && session.frameReady() && !over(); ++frames) {
        const uint32_t simulated = session.lockstep()->nextFrame();
        if (worldOf && (simulated + 1) % kOnlineFramesPerSecond == 0 && !worldOf(simulated)) {
            break; // a frame whose hash is reported: the host's world has not got there for good yet
        }
        world = simulate(world, session.lockstep()->table().seats(), simulated,
                         [this](int seat) { return session.frameActions(seat); });
        worldAfter.resize(std::max<size_t>(worldAfter.size(), simulated + 1));
        worldAfter[simulated] = world;
        if (worldOf) {
            game.hash = worldOf(simulated);
        } else if (reportsWorld) {
            game.hash = world;
        }
        session.frameDone();
        if (afterFrame) {
            afterFrame();
        }
    }
    session.endFrame();
    // The match ends once its last frame is final: a rollback may yet take the world back.
    if (over() && session.playing() && session.finalFrames() >= matchFrames) {
        endWorlds.push_back(world);
        ++matchesEnded;
        session.matchFinished();
        if (asksRematch) {
            session.askRematch();
        }
    }
    return frames;
}

uint64_t SessionMachine::simulate(uint64_t world, const Lockstep& table, uint32_t frame) {
    return simulate(world, table.seats(), frame, [&](int seat) { return table.actions(seat, frame); });
}

uint64_t SessionMachine::simulate(uint64_t world, int seats, uint32_t frame,
                                  const std::function<uint16_t(int seat)>& actionsOf) {
    for (int seat = 0; seat < seats; ++seat) {
        world = (world ^ frame ^ (uint64_t{actionsOf(seat)} << 32)) * 1099511628211ull;
    }
    return world;
}
