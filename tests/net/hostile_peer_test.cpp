// A real host over ENet on loopback against hostile clients of our own: connections that never
// finish the handshake or never say who they are, a joined peer that stops acting, lies about its
// world or replays another match's acknowledgements, a 30 MB packet and a flood. Each case checks
// what the host must do: a friend still joins, the match goes on or the peer leaves it as the
// rule says, and the host's memory stays within a bound.
#include "net/enet_transport.hpp"
#include "net/net_session.hpp"
#include "platform/clock.hpp"
#include "tests/support/hostile_peer.hpp"
#include "tests/support/memory_network.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

class HostilePeers : public testing::Test {
  protected:
    void SetUp() override {
        port = FreeUdpPort();
        host = std::make_unique<SessionMachine>(
            EnetTransport::Listen(port), [] { return GetTickCount(); },
            SessionSetup{.hosting = true, .map = "Meadow", .players = players}, kTestBuild);
        host->reportsWorld = true;
    }

    // A friend of the honest kind, joining from 127.0.0.1.
    void friendJoins() {
        friendly = std::make_unique<SessionMachine>(
            EnetTransport::Connect("127.0.0.1", port), [] { return GetTickCount(); },
            SessionSetup{.address = "host"}, kTestBuild, 2);
        friendly->reportsWorld = true;
    }

    // Real time passes: the host and the friend render, the hostile peers answer what ENet needs.
    void pump(uint32_t ms, std::vector<HostilePeer*> serviced = {}) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < until) {
            host->frame();
            if (friendly) {
                friendly->frame();
            }
            for (HostilePeer* peer : serviced) {
                peer->service();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(4));
        }
    }

    // Pumps until the condition holds or the time is up; how long it took.
    template <class Condition>
    uint32_t pumpUntil(Condition done, uint32_t limitMs, std::vector<HostilePeer*> serviced = {}) {
        const auto began = std::chrono::steady_clock::now();
        for (uint32_t waited = 0; waited < limitMs && !done(); waited += 20) {
            pump(20, serviced);
        }
        return static_cast<uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began)
                .count());
    }

    // A hostile peer that has said hello with one seat, in a match that has started.
    std::unique_ptr<HostilePeer> joinedPeerInAMatch() {
        auto peer = std::make_unique<HostilePeer>("127.0.0.2");
        peer->connect(port);
        pumpUntil([&] { return peer->connected(); }, 3000, {peer.get()});
        peer->send(HelloMessage{kTestBuild.build, kTestBuild.dataHash, 1, 0, 1});
        pumpUntil(
            [&] {
                peer->send(AliveMessage{}); // not silent: the countdown takes 3 s
                return host->session.playing() && peer->start().has_value();
            },
            8000, {peer.get()});
        return peer;
    }

    int players = 2;
    uint16_t port = 0;
    std::unique_ptr<SessionMachine> host;
    std::unique_ptr<SessionMachine> friendly;
};

} // namespace

// Sixteen connections from four addresses that never finish ENet's handshake fill every slot the
// host has; they are reset after 3 s, so a friend's request, which ENet repeats, gets in.
TEST_F(HostilePeers, HalfOpenConnectsFillingEverySlotKeepAFriendOutForSecondsOnly) {
    std::vector<std::unique_ptr<HostilePeer>> halfOpen;
    for (int i = 0; i < static_cast<int>(kEnetPeerSlots); ++i) {
        halfOpen.push_back(std::make_unique<HostilePeer>("127.0.0." + std::to_string(2 + i / 4)));
        halfOpen.back()->connect(port); // and never serviced again: the handshake never ends
    }
    pump(200);
    friendJoins();
    const uint32_t took = pumpUntil([&] { return friendly->session.machine() == 1; }, 12000);
    EXPECT_EQ(friendly->session.machine(), 1) << "joined as machine 1";
    EXPECT_LE(took, 9000u);
}

// Connections that finish the handshake but never say who they are are dropped after 3 s, in one
// line each; while they wait they take no seat, and a friend joins past them at once.
TEST_F(HostilePeers, SquattersThatNeverSayHelloAreDroppedAndAFriendJoinsAtOnce) {
    std::vector<std::unique_ptr<HostilePeer>> squatters;
    std::vector<HostilePeer*> serviced;
    for (int i = 0; i < kMaxClients; ++i) {
        squatters.push_back(std::make_unique<HostilePeer>("127.0.0." + std::to_string(2 + i)));
        squatters.back()->connect(port);
        serviced.push_back(squatters.back().get());
    }
    pumpUntil([&] { return std::ranges::all_of(squatters, [](auto& s) { return s->connected(); }); }, 3000,
              serviced);
    testing::internal::CaptureStdout();
    friendJoins();
    EXPECT_LE(pumpUntil([&] { return friendly->session.machine() == 1; }, 3000, serviced), 1500u);
    pumpUntil([&] { return std::ranges::all_of(squatters, [](auto& s) { return s->disconnected(); }); }, 5000,
              serviced);
    const std::string said = testing::internal::GetCapturedStdout();
    for (int i = 0; i < kMaxClients; ++i) {
        EXPECT_TRUE(squatters[static_cast<size_t>(i)]->disconnected());
        const size_t line = said.find("Dropped a connection from 127.0.0." + std::to_string(2 + i));
        ASSERT_NE(line, std::string::npos) << said;
        EXPECT_EQ(said.substr(said.find(": it ", line), said.find('\n', line) - said.find(": it ", line)),
                  ": it did not say who it is within 3 s")
            << said;
    }
    pumpUntil([&] { return friendly->session.playing(); }, 6000, serviced);
    EXPECT_TRUE(friendly->session.playing());
}

// A joined peer sends its first actions, then only keep-alives and garbage: the host's computer
// plays its seat on after 6 s of waiting (it stopped in its first frames), and the match goes on.
TEST_F(HostilePeers, APeerThatStopsActingIsHandledAsGone) {
    std::unique_ptr<HostilePeer> peer = joinedPeerInAMatch();
    ASSERT_TRUE(peer->start().has_value());
    const StartMessage start = *peer->start();
    InputsMessage first;
    first.match = start.match;
    first.runs = {{1, start.delay, std::vector<uint16_t>(30, 0)}};
    peer->send(first, Channel::Inputs);
    testing::internal::CaptureStdout();
    const uint32_t took = pumpUntil(
        [&] {
            peer->send(AliveMessage{});
            const uint8_t junk[] = {0x06, 0xff};
            peer->sendBytes(junk, Channel::Inputs, false);
            return host->session.seats().seats[1].machine == kHostMachine;
        },
        15000, {peer.get()});
    const std::string said = testing::internal::GetCapturedStdout();
    // Its first frames of the match: twice the time a busy machine's slow first pictures may take.
    EXPECT_NE(said.find("sent no actions for 6 s while the others waited; computers play its seats"),
              std::string::npos)
        << said;
    EXPECT_LE(took, 10000u);
    const uint32_t frames = host->frames();
    pump(1000, {peer.get()});
    EXPECT_GT(host->frames(), frames + 30) << "the match goes on";
}

// A joined peer that claims a false world leaves the match; one that sends acknowledgements of
// another match is counted and not believed; the host's match goes on through both.
TEST_F(HostilePeers, AFalseHashOrAnotherMatchsAcknowledgementsEndNothingButThePeersPart) {
    std::unique_ptr<HostilePeer> peer = joinedPeerInAMatch();
    ASSERT_TRUE(peer->start().has_value());
    const StartMessage start = *peer->start();
    InputsMessage stale;
    stale.match = static_cast<MatchNumber>(start.match + 1);
    stale.heardMask = 0b0001;
    stale.heard = {600, 0, 0, 0};
    InputsMessage acting;
    acting.match = start.match;
    uint32_t given = start.delay;
    // It acts well ahead, so the host is never held up by it.
    auto act = [&] {
        acting.runs = {{1, given, std::vector<uint16_t>(kMaxFramesPerRun, 0)}};
        if (given < host->frames() + 120) {
            peer->send(acting, Channel::Inputs);
            given += kMaxFramesPerRun;
        }
        peer->send(stale, Channel::Inputs);
        return host->frames() > 130;
    };
    pumpUntil(act, 8000, {peer.get()});
    EXPECT_GT(host->session.faults().otherMatch, 0);
    EXPECT_EQ(host->session.seats().seats[1].machine, 1) << "still in the match";
    testing::internal::CaptureStdout();
    peer->send(HashMessage{start.match, 119, 0x1234});
    pumpUntil([&] { return act() && host->session.seats().seats[1].machine == kHostMachine; }, 3000,
              {peer.get()});
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("is out of step with the host at frame 119: it leaves the match"), std::string::npos)
        << said;
    EXPECT_TRUE(std::ranges::any_of(peer->received, [](const Message& m) {
        return std::holds_alternative<DesyncMessage>(m);
    })) << "it is told";
    const uint32_t frames = host->frames();
    pump(1000, {peer.get()});
    EXPECT_GT(host->frames(), frames + 30) << "the match goes on";
}

// A 30 MB reliable packet and a flood of 20,000 garbage packets, from another process: the host
// keeps no more than a few megabytes for them, counts what reaches its decoder, and a friend
// still joins.
TEST_F(HostilePeers, AHugePacketAndAFloodCostTheHostLittleMemory) {
    pump(200);
    const size_t before = HeapBytesInUse();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        HostilePeer peer("127.0.0.2");
        peer.connect(port);
        for (int i = 0; i < 300 && !peer.connected(); ++i) {
            peer.service(10);
        }
        const std::vector<uint8_t> huge(30u << 20, 0x06);
        peer.sendBytes(huge, Channel::Control, true);
        const std::vector<uint8_t> junk(kMaxPacketBytes, 0xee);
        for (int i = 0; i < 20000; ++i) {
            peer.sendBytes(junk, Channel::Inputs, false);
            if (i % 100 == 0) {
                peer.service();
            }
        }
        peer.service(4000);
        _exit(0);
    }
    size_t most = before;
    for (int i = 0; i < 300 && waitpid(child, nullptr, WNOHANG) == 0; ++i) {
        pump(20);
        most = std::max(most, HeapBytesInUse());
    }
    EXPECT_LT(most - before, 8u << 20) << "the host held " << (most - before) / (1 << 20) << " MB";
    EXPECT_GT(host->session.faults().malformed, 100) << "the flood reached the decoder and was counted";
    friendJoins();
    EXPECT_LE(pumpUntil([&] { return friendly->session.machine() == 1; }, 5000), 4000u);
}
