// Sessions over the in-memory network, without a game behind them: who may join a host, what
// both ends say when one may not, and packets a session refuses to act on.
#include "match/recording.hpp"
#include "net/net_session.hpp"
#include "tests/support/memory_network.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const BuildIdentity kBuild{"1.0.0-aaaa", 0x1111};
const BuildIdentity kOtherBuild{"1.0.0-bbbb", 0x1111};
const BuildIdentity kOtherData{"1.0.0-aaaa", 0x2222};

SessionSetup hostSetup(int players) {
    return SessionSetup{.hosting = true, .map = "Meadow", .players = players};
}

SessionSetup clientSetup(int seats = 1) {
    return SessionSetup{.address = "host", .seats = seats};
}

// Runs every machine for a while of network time: its waiting screen, or its match.
void run(MemoryNetwork& network, const std::vector<SessionMachine*>& machines, uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += 10) {
        network.advance(10);
        for (SessionMachine* m : machines) {
            m->frame();
        }
    }
}

} // namespace

// Each case sets up a host with some machines already in, then one more machine asks to join.
TEST(NetSession, RefusesAMachineThatMayNotJoinInOneLineOnBothEnds) {
    struct Case {
        const char* name;
        int players;
        int already; // machines joined before the last one
        bool started;
        SessionSetup last;
        BuildIdentity identity;
        uint32_t requestData;
        const char* hostSays;
        const char* clientSays;
    };
    const Case cases[] = {
        {"AnotherBuild", 2, 0, false, clientSetup(), kOtherBuild, kProtocolMagic,
         "Refused last: its build 1.0.0-bbbb differs from this one, 1.0.0-aaaa",
         "join: its build 1.0.0-aaaa differs from this one, 1.0.0-bbbb"},
        {"OtherData", 2, 0, false, clientSetup(), kOtherData, kProtocolMagic,
         "Refused last: its data files (0000000000002222) differ from this machine's (0000000000001111)",
         "join: its data files (0000000000001111) differ from this machine's"},
        {"MoreSeatsThanFree", 3, 0, false, clientSetup(3), kBuild, kProtocolMagic,
         "Refused last: it brings 3 seats and 2 are free", "it has 2 free seats, and this machine brings 3"},
        {"AnotherProtocol", 2, 0, false, clientSetup(), kBuild, kProtocolMagic + 1,
         "Refused a connection from last: not this game, or another version of its online play",
         "refused the connection: it runs another version of the game's online play"},
        {"AFourthMachine", 4, 3, false, clientSetup(), kBuild, kProtocolMagic,
         "Refused a connection from last: three machines have joined already",
         "is full: three machines have joined already"},
        {"DuringAMatch", 3, 1, true, clientSetup(), kBuild, kProtocolMagic,
         "Refused last: a match is being played", "a match is being played; join again between matches"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryNetwork network(1, {5, 20, 0.0});
        SessionMachine host(network, "host", hostSetup(c.started ? c.already + 1 : c.players), kBuild);
        std::vector<std::unique_ptr<SessionMachine>> joined;
        std::vector<SessionMachine*> all{&host};
        for (int i = 0; i < c.already; ++i) {
            joined.push_back(
                std::make_unique<SessionMachine>(network, "m" + std::to_string(i), clientSetup(), kBuild));
            all.push_back(joined.back().get());
        }
        run(network, all, c.started ? 4000 : 500);
        ASSERT_EQ(host.session.playing(), c.started);
        testing::internal::CaptureStdout();
        SessionMachine last(network, "last", c.last, c.identity, 1, c.requestData);
        all.push_back(&last);
        run(network, all, 500);
        const std::string said = testing::internal::GetCapturedStdout();
        EXPECT_NE(said.find(c.hostSays), std::string::npos) << said;
        EXPECT_NE(said.find(c.clientSays), std::string::npos) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
        EXPECT_TRUE(last.session.closed());
        EXPECT_TRUE(last.game.leftForTitle);
        const auto& seats = host.session.seats().seats;
        EXPECT_EQ(std::count_if(seats.begin(), seats.end(),
                                [](const SeatInfo& s) { return s.machine != kNoMachine; }),
                  1 + c.already)
            << "a refused machine takes no seat";
    }
}

// A machine that joins and then sends what no honest machine sends: the host counts it, acts on
// none of it, and plays on.
TEST(NetSession, CountsPacketsItDoesNotTakeAndPlaysOn) {
    MemoryNetwork network(2, {5, 20, 0.0});
    SessionMachine host(network, "host", hostSetup(3), kBuild);
    SessionMachine honest(network, "honest", clientSetup(), kBuild);
    SessionMachine rogue(network, "rogue", clientSetup(), kBuild);
    network.sendAs("rogue", Channel::Control, EncodeMessage(InputsMessage{})); // before its Hello
    run(network, {&host, &honest, &rogue}, 4000);                              // seats full: the match starts
    ASSERT_TRUE(host.session.playing());
    ASSERT_TRUE(honest.session.playing());
    network.sendAs("rogue", Channel::Control, {0x06, 0x01});                                    // cut short
    network.sendAs("rogue", Channel::Control, std::vector<uint8_t>(kMaxPacketBytes + 1, 0x06)); // oversized
    network.sendAs("rogue", Channel::Control, EncodeMessage(StartMessage{})); // the host's to send
    InputsMessage forHonestSeat;
    forHonestSeat.runs = {{1, 3, {kActionBitsMask}}};
    network.sendAs("rogue", Channel::Inputs, EncodeMessage(forHonestSeat)); // seat 2 is the honest machine's
    run(network, {&host, &honest, &rogue}, 1000);
    const SessionFaults& faults = host.session.faults();
    EXPECT_EQ(faults.malformed, 1);
    EXPECT_EQ(faults.oversized, 1);
    EXPECT_EQ(faults.outOfTurn, 2);
    EXPECT_EQ(faults.foreignSeats, 1);
    EXPECT_TRUE(host.session.playing());
    EXPECT_EQ(host.session.lockstep()->table().actions(1, 3),
              honest.session.lockstep()->table().actions(1, 3));
    EXPECT_GT(host.session.lockstep()->nextFrame(), 30u) << "the match plays on";
}

// Every second the client's world is checked against the host's: while they agree the match
// goes on; the first second they differ ends it on both machines, naming the frame.
TEST(NetSession, EndsTheMatchOnBothMachinesWhenTheirWorldsDiffer) {
    MemoryNetwork network(3, {5, 20, 0.0});
    SessionMachine host(network, "host", hostSetup(2), kBuild);
    SessionMachine client(network, "client", clientSetup(), kBuild);
    host.reportsWorld = client.reportsWorld = true;
    testing::internal::CaptureStdout();
    run(network, {&host, &client}, 6000); // the countdown, then a few seconds agreeing
    ASSERT_TRUE(host.session.playing());
    ASSERT_TRUE(client.session.playing());
    client.world ^= 1;
    run(network, {&host, &client}, 1500);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(host.session.playing());
    EXPECT_FALSE(client.session.playing());
    // One line on each machine.
    EXPECT_NE(said.find("machine 1 no longer agrees with the host"), std::string::npos) << said;
    const size_t first = said.find("Online match out of step at frame");
    ASSERT_NE(first, std::string::npos) << said;
    EXPECT_NE(said.find("Online match out of step at frame", first + 1), std::string::npos) << said;
}
