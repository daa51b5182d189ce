#pragma once

// An in-memory network for the online tests: machines that connect, send and receive as they
// would over ENet, on a clock the test moves. Inputs packets take a latency drawn from a seeded
// generator (so they overtake each other) and some are dropped; control packets take the same
// latencies but keep their order and always arrive, as ENet's reliable channel has them. A
// machine can be killed: its packets vanish and nobody is told, as when its process dies.

#include "net/net_session.hpp"
#include "net/packet_codec.hpp"
#include "net/transport.hpp"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

struct LinkShape {
    uint32_t minDelayMs = 1;
    uint32_t maxDelayMs = 1;
    double inputsDropped = 0.0; // the share of inputs packets lost
    // The share of control packets lost a few times over before one copy gets through, and how
    // long that takes: everything reliable sent after it waits behind it, as on ENet.
    double controlResent = 0.0;
    uint32_t controlResentMs = 0;
};

// The build every machine of a test says it is.
inline const BuildIdentity kTestBuild{"1.0.0-test", 7};

class MemoryNetwork {
  public:
    explicit MemoryNetwork(uint32_t seed, LinkShape shape = {});
    ~MemoryNetwork();

    uint32_t now() const { return clock; }
    void advance(uint32_t milliseconds) { clock += milliseconds; }
    // What the machines' own clocks read: the network's, moved on by an offset (a clock that
    // wraps mid-match is one near 2^32 at the start).
    uint32_t machineClock() const { return clock + clockOffset; }
    uint32_t clockOffset = 0;

    // A machine listening under a name, and one connecting to it with the data of its request.
    std::unique_ptr<Transport> listen(const std::string& name);
    std::unique_ptr<Transport> connect(const std::string& name, const std::string& host,
                                       uint32_t requestData = kProtocolMagic);
    // A packet from the named machine to the first it connected to, whatever its session says.
    void sendAs(const std::string& name, Channel channel, const std::vector<uint8_t>& packet);
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
    bool alive(int endpoint) const;
    void post(int from, int to, TransportEvent event, bool reliable);
    bool take(int endpoint, TransportEvent& event);

    uint32_t clock = 0;
    std::mt19937 random;
    LinkShape shape;
    uint64_t nextOrder = 0;
    std::vector<Pending> inFlight;
    std::vector<Endpoint*> endpoints;
    std::map<std::pair<int, int>, uint32_t> lastReliableDue;
};

// A game with no world: its seats press at random, each choice held for a while; it notes
// whether the session sent it to the title, and reports the hash the test gives it.
struct ToyOnlineGame : OnlineGame {
    explicit ToyOnlineGame(uint32_t seed) : random(seed) {}
    void startMatch(const StartMessage& start, uint8_t) override { started = start; }
    void readLocalInput() override {}
    uint16_t sample(int seat, bool) override;
    std::optional<uint64_t> worldHash() override { return hash; }
    void seatTakenOver(int, bool) override {}
    void leaveMatch(bool toTitle) override { leftForTitle = leftForTitle || toTitle; }
    // Its world (the machine's) saved before each frame, for rollback.
    void saveFrame(uint32_t frame) override;
    bool loadFrame(uint32_t frame) override;
    uint64_t* world = nullptr;
    std::map<uint32_t, uint64_t> savedWorlds;
    std::mt19937 random;
    std::array<std::pair<uint16_t, int>, kMaxSeats> holding{};
    std::optional<uint64_t> hash;
    bool leftForTitle = false;
    std::optional<StartMessage> started; // the last match's
};

// A machine on the network: a session over a toy game, hosting or joining "host". Its world is
// a hash that takes in every seat's actions as each frame is simulated. Given matchFrames, its
// matches end after that many frames, as a real one ends after its podium, and it goes back to
// the waiting screen.
struct SessionMachine {
    SessionMachine(MemoryNetwork& network, const std::string& name, SessionSetup setup,
                   const BuildIdentity& identity, uint32_t seed = 1, uint32_t requestData = kProtocolMagic);
    // The same over any transport and clock (a real one: ENet on loopback).
    SessionMachine(std::unique_ptr<Transport> transport, std::function<uint32_t()> clock, SessionSetup setup,
                   const BuildIdentity& identity, uint32_t seed = 1);
    // One rendered frame: its waiting screen, or every frame of its match that is due (those
    // simulated again included); how many.
    int frame();
    // Frames of the match being played, or of the last one (the next frame to simulate).
    uint32_t frames() const { return session.lockstep() != nullptr ? session.lockstep()->nextFrame() : 0u; }
    uint32_t matchFrames = 0;
    // Its people ask for the next match as each ends, as players at the podium do (only the
    // host's ask counts).
    bool asksRematch = true;
    int matchesEnded = 0;
    std::vector<uint64_t> endWorlds; // the world at the end of each match it finished
    // The world after each frame of the match being played, as last simulated.
    std::vector<uint64_t> worldAfter;
    // Called after each frame simulated (a test's check of the pacing).
    std::function<void()> afterFrame;
    // The world after one more frame of the table, or of every seat's actions as given.
    static uint64_t simulate(uint64_t world, const Lockstep& table, uint32_t frame);
    static uint64_t simulate(uint64_t world, int seats, uint32_t frame,
                             const std::function<uint16_t(int seat)>& actionsOf);
    ToyOnlineGame game;
    NetSession session;
    static constexpr uint64_t kWorldStart = 1469598103934665603ull;
    uint64_t world = kWorldStart;
    bool reportsWorld = false; // the game reports this world to the session after each frame
    // Given, the game reports this hash of each frame instead: for a machine playing along with a
    // host whose world is real. A frame whose hash is reported waits until the host has one.
    std::function<std::optional<uint64_t>(uint32_t frame)> worldOf;
};
