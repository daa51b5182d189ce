#include "tests/support/memory_network.hpp"

#include <algorithm>

class MemoryNetwork::Endpoint : public Transport {
  public:
    Endpoint(MemoryNetwork& owner, int index, std::string name)
        : network(owner), self(index), label(std::move(name)) {}
    ~Endpoint() override {
        for (const auto& [peer, other] : peers) {
            TransportEvent gone;
            gone.kind = TransportEvent::Kind::Disconnected;
            gone.data = static_cast<uint32_t>(DisconnectReason::Leaving);
            network.post(self, other, gone, true);
        }
        network.endpoints[static_cast<size_t>(self)] = nullptr;
        network.dead[static_cast<size_t>(self)] = true;
    }

    bool poll(TransportEvent& event) override { return network.take(self, event); }

    void send(PeerId peer, Channel channel, std::span<const uint8_t> packet) override {
        auto found = peers.find(peer);
        if (found == peers.end()) {
            return;
        }
        TransportEvent event;
        event.kind = TransportEvent::Kind::Received;
        event.channel = channel;
        event.packet.assign(packet.begin(), packet.end());
        sent += packet.size();
        network.post(self, found->second, std::move(event), channel == Channel::Control);
    }

    void disconnect(PeerId peer, DisconnectReason reason) override {
        auto found = peers.find(peer);
        if (found == peers.end()) {
            return;
        }
        if (reason != DisconnectReason::None) {
            TransportEvent gone;
            gone.kind = TransportEvent::Kind::Disconnected;
            gone.data = static_cast<uint32_t>(reason);
            network.post(self, found->second, gone, true);
        }
        peers.erase(found);
    }

    void flush() override {}
    uint32_t roundTripMs(PeerId) const override {
        return network.shape.minDelayMs + network.shape.maxDelayMs;
    }
    std::string peerAddress(PeerId peer) const override {
        auto found = peers.find(peer);
        if (found == peers.end()) {
            return "?";
        }
        const Endpoint* other = network.endpoints[static_cast<size_t>(found->second)];
        return other != nullptr ? other->label : "gone";
    }
    uint64_t bytesSent() const override { return sent; }
    uint64_t bytesReceived() const override { return received; }

    MemoryNetwork& network;
    int self;
    std::string label;
    std::map<PeerId, int> peers; // peer id here -> endpoint
    PeerId nextPeer = 0;
    uint64_t sent = 0;
    uint64_t received = 0;

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
};

MemoryNetwork::MemoryNetwork(uint32_t seed, LinkShape linkShape) : random(seed), shape(linkShape) {}

MemoryNetwork::~MemoryNetwork() = default;

std::unique_ptr<Transport> MemoryNetwork::listen(const std::string& name) {
    auto made = std::make_unique<Endpoint>(*this, static_cast<int>(endpoints.size()), name);
    endpoints.push_back(made.get());
    dead.push_back(false);
    return made;
}

std::unique_ptr<Transport> MemoryNetwork::connect(const std::string& name, const std::string& host,
                                                  uint32_t requestData) {
    auto made = std::make_unique<Endpoint>(*this, static_cast<int>(endpoints.size()), name);
    endpoints.push_back(made.get());
    dead.push_back(false);
    auto found = std::find_if(endpoints.begin(), endpoints.end(),
                              [&](const Endpoint* e) { return e != nullptr && e->label == host; });
    const int hostIndex = (*found)->self;
    made->idOf(hostIndex);
    TransportEvent request;
    request.kind = TransportEvent::Kind::Connected;
    request.data = requestData;
    post(made->self, hostIndex, request, true);
    TransportEvent accepted;
    accepted.kind = TransportEvent::Kind::Connected;
    post(hostIndex, made->self, accepted, true);
    return made;
}

void MemoryNetwork::kill(const std::string& name) {
    for (Endpoint* e : endpoints) {
        if (e != nullptr && e->label == name) {
            dead[static_cast<size_t>(e->self)] = true;
            e->peers.clear();
        }
    }
}

void MemoryNetwork::post(int from, int to, TransportEvent event, bool reliable) {
    if (dead[static_cast<size_t>(from)] || dead[static_cast<size_t>(to)] ||
        endpoints[static_cast<size_t>(to)] == nullptr) {
        return;
    }
    if (!reliable && std::uniform_real_distribution<double>(0.0, 1.0)(random) < shape.inputsDropped) {
        return;
    }
    uint32_t due =
        clock + std::uniform_int_distribution<uint32_t>(shape.minDelayMs, shape.maxDelayMs)(random);
    if (reliable) {
        uint32_t& last = lastReliableDue[{from, to}];
        due = std::max(due, last);
        last = due;
    }
    event.peer = endpoints[static_cast<size_t>(to)]->idOf(from);
    inFlight.push_back(Pending{due, nextOrder, to, std::move(event), from});
    ++nextOrder;
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
    if (dead[static_cast<size_t>(endpoint)] || dead[static_cast<size_t>(arrived.from)]) {
        return take(endpoint, event);
    }
    if (arrived.event.kind == TransportEvent::Kind::Received) {
        endpoints[static_cast<size_t>(endpoint)]->received += arrived.event.packet.size();
    }
    if (arrived.event.kind == TransportEvent::Kind::Disconnected) {
        endpoints[static_cast<size_t>(endpoint)]->peers.erase(arrived.event.peer);
    }
    event = std::move(arrived.event);
    return true;
}
