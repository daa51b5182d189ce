// Sessions over the in-memory network, without a game behind them: who may join a host, what
// both ends say when one may not, packets a session refuses to act on, and who starts the next
// match.
#include "match/recording.hpp"
#include "net/net_session.hpp"
#include "tests/support/memory_network.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>
#include <vector>

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
    forHonestSeat.match = host.session.matchNumber();
    forHonestSeat.runs = {{1, 3, {kActionBitsMask}}};
    network.sendAs("rogue", Channel::Inputs, EncodeMessage(forHonestSeat)); // seat 2 is the honest machine's
    run(network, {&host, &honest, &rogue}, 1000);
    const SessionFaults& faults = host.session.faults();
    EXPECT_EQ(faults.malformed, 1);
    EXPECT_EQ(faults.oversized, 1);
    EXPECT_EQ(faults.outOfTurn, 2);
    EXPECT_EQ(faults.runs.foreignSeat, 1);
    EXPECT_TRUE(host.session.playing());
    EXPECT_EQ(host.session.lockstep()->table().actions(1, 3),
              honest.session.lockstep()->table().actions(1, 3));
    EXPECT_GT(host.session.lockstep()->nextFrame(), 30u) << "the match plays on";
}

// Every second each client's world is checked against the host's, which is the reference: a
// client whose world differs (or that lies about it) leaves the match alone, in one line on it
// and on the host naming the frame, while the others play on with a computer in its seat; it
// gets its seat back for the next match. A client that acts but sends no hash leaves the same way.
TEST(NetSession, AClientOutOfStepWithTheHostLeavesTheMatchAloneAndTheOthersPlayOn) {
    for (const bool silent : {false, true}) {
        SCOPED_TRACE(silent ? "sends no hash" : "its world differs");
        MemoryNetwork network(3, {5, 20, 0.0});
        SessionMachine host(network, "host", hostSetup(3), kBuild);
        SessionMachine honest(network, "honest", clientSetup(), kBuild);
        SessionMachine odd(network, "odd", clientSetup(), kBuild);
        host.reportsWorld = honest.reportsWorld = odd.reportsWorld = true;
        testing::internal::CaptureStdout();
        run(network, {&host, &honest, &odd}, 6000); // the countdown, then a few seconds agreeing
        ASSERT_TRUE(odd.session.playing());
        if (silent) {
            odd.reportsWorld = false;
            odd.game.hash.reset();
        } else {
            odd.world ^= 1;
        }
        run(network, {&host, &honest, &odd}, silent ? 7000 : 1500);
        const std::string said = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(host.session.playing()) << said;
        EXPECT_TRUE(honest.session.playing()) << said;
        EXPECT_FALSE(odd.session.playing()) << said;
        EXPECT_FALSE(odd.game.leftForTitle) << "it waits for the next match";
        const std::string hostSays = silent ? "Machine 2 (odd) sent actions but no hash of its world for 5 s"
                                            : "Machine 2 (odd) is out of step with the host at frame ";
        EXPECT_NE(said.find(hostSays), std::string::npos) << said;
        EXPECT_NE(said.find(": it leaves the match, and computers play its seats from frame"),
                  std::string::npos);
        EXPECT_NE(said.find("Online match out of step at frame "), std::string::npos) << said;
        EXPECT_EQ(host.session.seats().seats[2].machine, kHostMachine);
        const uint32_t frameThen = host.frames();
        run(network, {&host, &honest, &odd}, 1000);
        EXPECT_GT(host.frames(), frameThen + 40) << "the others play on";
        EXPECT_GT(honest.frames(), frameThen + 20);
        EXPECT_EQ(host.session.faults().total(), 0);
        host.session.matchFinished();
        EXPECT_EQ(host.session.seats().seats[2].machine, 2) << "its seat is back for the next match";
        EXPECT_FALSE(host.session.seats().seats[2].computer);
    }
}

// A client's hash that arrives after the host has left play is still checked against the host's.
TEST(NetSession, ChecksAHashThatArrivesAfterTheHostsMatchEnded) {
    MemoryNetwork network(4, {5, 20, 0.0});
    SessionMachine host(network, "host", hostSetup(2), kBuild);
    SessionMachine client(network, "client", clientSetup(), kBuild);
    host.reportsWorld = client.reportsWorld = true;
    run(network, {&host, &client}, 6000);
    ASSERT_TRUE(client.session.playing());
    testing::internal::CaptureStdout();
    host.session.matchFinished();
    const uint32_t frame = host.frames() / 60 * 60 - 1;
    network.sendAs("client", Channel::Control,
                   EncodeMessage(HashMessage{host.session.matchNumber(), frame, 42}));
    run(network, {&host}, 200);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("Machine 1 (client) is out of step with the host at frame " + std::to_string(frame) +
                        ": its end of the last match differs from the host's"),
              std::string::npos)
        << said;
}

// The first match starts once the seats are full; each one after it waits for the host's players
// to ask (a client's ask changes nothing), and then starts on every machine with the same
// settings and seats. A host whose seats are all computers goes on by itself.
TEST(NetSession, TheNextMatchStartsWhenTheHostsPlayersAskForIt) {
    auto seated = [](const Lineup& lineup) {
        std::vector<std::tuple<uint8_t, bool, uint8_t>> seats;
        for (const SeatInfo& s : lineup.seats) {
            seats.emplace_back(s.machine, s.computer, s.level);
        }
        return seats;
    };
    for (const bool hostIsComputer : {false, true}) {
        SCOPED_TRACE(hostIsComputer ? "a host of computers" : "a person at the host");
        MemoryNetwork network(5, {5, 20, 0.0});
        SessionSetup setup = hostSetup(3);
        setup.computers = hostIsComputer ? 1 : 0;
        setup.lives = 5;
        setup.seconds = 90;
        SessionMachine host(network, "host", setup, kBuild);
        SessionMachine person(network, "person", clientSetup(), kBuild, 2);
        SessionMachine computers(network, "computers", SessionSetup{.address = "host", .computers = 1},
                                 kBuild, 3);
        const std::vector<SessionMachine*> all{&host, &person, &computers};
        for (SessionMachine* m : all) {
            m->matchFrames = 120;
            m->asksRematch = m != &host; // the clients ask at once, and it changes nothing
        }
        auto runUntil = [&](const std::function<bool()>& done) {
            for (int ms = 0; ms < 20000 && !done(); ms += 10) {
                run(network, all, 10);
            }
            return done();
        };
        testing::internal::CaptureStdout();
        ASSERT_TRUE(
            runUntil([&] { return std::ranges::all_of(all, [](auto* m) { return m->matchesEnded == 1; }); }));
        ASSERT_TRUE(host.game.started);
        const StartMessage first = *host.game.started;
        EXPECT_EQ(first.match, 1) << "the first match starts by itself";
        if (!hostIsComputer) {
            run(network, all, 5000); // longer than a countdown
            EXPECT_EQ(host.session.matchNumber(), 1) << "a client's ask starts nothing";
            EXPECT_FALSE(person.session.playing());
            EXPECT_NE(host.session.waitingLines().back().find("R / Numpad 9 (pad Y): rematch"),
                      std::string::npos);
            EXPECT_EQ(person.session.waitingLines().back(), "The host starts the next match");
            host.session.askRematch();
            EXPECT_EQ(host.session.nextMatchLine(), "Rematch asked");
        }
        ASSERT_TRUE(runUntil([&] {
            return std::ranges::all_of(all, [](auto* m) { return m->session.playing() && m->frames() > 0; });
        }));
        for (SessionMachine* m : all) {
            SCOPED_TRACE(m->session.address());
            EXPECT_EQ(*m->game.started, *host.game.started) << "every machine starts the same match";
        }
        const StartMessage& second = *host.game.started;
        EXPECT_EQ(second.match, 2);
        EXPECT_EQ(second.lineup.map, "Meadow");
        EXPECT_EQ(second.lineup.lives, 5);
        EXPECT_EQ(second.lineup.seconds, 90);
        EXPECT_EQ(seated(second.lineup), seated(first.lineup)) << "the same machines in the same seats";
        // The match after it waits for an ask of its own.
        ASSERT_TRUE(runUntil([&] { return host.matchesEnded == 2; }));
        runUntil([&] { return host.session.matchNumber() == 3; });
        EXPECT_EQ(host.session.matchNumber(), hostIsComputer ? 3 : 2);
        testing::internal::GetCapturedStdout();
    }
}
