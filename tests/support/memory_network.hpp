#pragma once

// An in-memory network for the online tests: machines that connect, send and receive as they
// would over ENet, on a clock the test moves. Inputs packets take a latency drawn from a seeded
// generator (so they overtake each other) and some are dropped; control packets take the same
// latencies but keep their order and always arrive, as ENet's reliable channel has them. A
// machine can be killed: its packets vanish and nobody is told, as when its process dies.

#include "net/packet_codec.hpp"
#include "net/transport.hpp"

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

struct LinkShape {
    uint32_t minDelayMs = 1;
    uint32_t maxDelayMs = 1;
    double inputsDropped = 0.0; // the share of inputs packets lost
};

class MemoryNetwork {
  public:
    explicit MemoryNetwork(uint32_t seed, LinkShape shape = {});
    ~MemoryNetwork();

    uint32_t now() const { return clock; }
    void advance(uint32_t milliseconds) { clock += milliseconds; }

    // A machine listening under a name, and one connecting to it with the data of its request.
    std::unique_ptr<Transport> listen(const std::string& name);
    std::unique_ptr<Transport> connect(const std::string& name, const std::string& host,
                                       uint32_t requestData = kProtocolMagic);
    // The machine stops: nothing more leaves it or reaches it, and nobody is told.
    void kill(const std::string& name);

    class Endpoint;

  private:
    friend class Endpoint;
    struct Pending {
        uint32_t due;
        uint64_t order;
        int to;
        TransportEvent event;
        int from;
    };
    void post(int from, int to, TransportEvent event, bool reliable);
    bool take(int endpoint, TransportEvent& event);

    uint32_t clock = 0;
    std::mt19937 random;
    LinkShape shape;
    uint64_t nextOrder = 0;
    std::vector<Pending> inFlight;
    std::vector<Endpoint*> endpoints;
    std::vector<bool> dead;
    std::map<std::pair<int, int>, uint32_t> lastReliableDue;
};
