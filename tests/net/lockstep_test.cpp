// The lockstep of online matches: three sessions over an in-memory network that delays, reorders
// and drops packets, each rendering at its own uneven pace (one of them freezing for a while),
// play the same frames with the same actions; and what a machine may tell another.
#include "net/lockstep_scheduler.hpp"
#include "tests/support/memory_network.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

// The host plays one seat, one client two, and the other client, which freezes once, the last.
TEST(Lockstep, MachinesAtTheirOwnPaceEndWithTheWorldOfOneMachineFedTheSameActions) {
    constexpr uint32_t kFrames = 900;
    MemoryNetwork network(7, {5, 60, 0.1});
    SessionMachine host(network, "host", {.hosting = true, .map = "Meadow", .players = 4, .rollback = 0},
                        kTestBuild, 100);
    SessionMachine pair(network, "pair", {.address = "host", .seats = 2, .rollback = 0}, kTestBuild, 101);
    SessionMachine single(network, "single", {.address = "host", .rollback = 0}, kTestBuild, 102);
    SessionMachine* machines[] = {&host, &pair, &single};
    for (SessionMachine* m : machines) {
        m->reportsWorld = true; // each compares its world with the host's every second
    }
    auto frames = [](const SessionMachine& m) {
        return m.session.lockstep() != nullptr ? m.session.lockstep()->nextFrame() : 0u;
    };
    std::mt19937 pace(3);
    uint32_t nextRender[3] = {}, clockStart[3] = {};
    int mostInOneRender[3] = {};
    bool frozen = false;
    for (int ms = 0;
         ms < 120000 && std::ranges::any_of(machines, [&](auto* m) { return frames(*m) < kFrames; }); ++ms) {
        network.advance(1);
        for (int m = 0; m < 3; ++m) {
            if (network.now() < nextRender[m]) {
                continue;
            }
            if (clockStart[m] == 0 && machines[m]->session.playing()) {
                clockStart[m] = network.now(); // the match's frames are due from its first rendered frame
            }
            mostInOneRender[m] = std::max(mostInOneRender[m], machines[m]->frame());
            if (m == 0 && clockStart[0] == network.now()) {
                // Frame 0 is due at once, and has the host's seat act the input delay ahead.
                EXPECT_EQ(frames(host), 1u);
                EXPECT_EQ(host.session.lockstep()->table().known(0), kDefaultInputDelay + 1u);
            }
            EXPECT_LE(frames(*machines[m]),
                      (network.now() - clockStart[m]) * kOnlineFramesPerSecond / 1000 + 1)
                << "ahead of the clock";
            // Uneven frames; the single-seat client once stops drawing for most of a second.
            uint32_t gap = std::uniform_int_distribution<uint32_t>(4, 45)(pace);
            if (m == 2 && !frozen && frames(single) > 300) {
                gap = 700;
                frozen = true;
            }
            nextRender[m] = network.now() + gap;
        }
    }
    uint64_t alone = SessionMachine::kWorldStart;
    for (uint32_t frame = 0; frame < frames(host); ++frame) {
        alone = SessionMachine::simulate(alone, host.session.lockstep()->table(), frame);
    }
    EXPECT_EQ(host.world, alone);
    for (int m = 0; m < 3; ++m) {
        EXPECT_GE(frames(*machines[m]), kFrames) << m;
        EXPECT_TRUE(machines[m]->session.playing()) << m << ": the clients' worlds agree with the host's";
        EXPECT_EQ(machines[m]->session.faults().total(), 0) << m;
        EXPECT_LE(mostInOneRender[m], static_cast<int>(kMaxCatchUpFrames)) << m;
    }
    EXPECT_TRUE(frozen);
    EXPECT_GT(mostInOneRender[2], 8) << "the frozen machine caught up in one go";
    EXPECT_GT(host.session.lockstep()->longestStallMs(network.machineClock()), 0u)
        << "the others waited for it";
}

// What a machine may and may not tell another: each case sends one run to a fresh lockstep, and
// a refused run is counted by why.
TEST(Lockstep, KeepsOnlyRunsTheSenderMayTellThatContinueWhatIsKnown) {
    // Host 0 plays seat 0, client 1 seat 1, client 2 seat 2; delay 3, so frames 0..2 are idle.
    const std::array<uint8_t, kMaxSeats> seats{0, 1, 2, kNoMachine};
    using Why = int RunRefusals::*;
    struct Case {
        const char* name;
        uint8_t self, from;
        SeatRun run;
        Why refused;         // null: kept
        uint32_t knownAfter; // of the run's seat
    };
    const Case cases[] = {
        {"a client's own seat, continuing", 0, 1, {1, 3, {5, 6}}, nullptr, 5},
        {"overlapping what is known, agreeing", 0, 1, {1, 2, {0, 5}}, nullptr, 4},
        {"a client speaking for another's seat", 0, 1, {2, 3, {5}}, &RunRefusals::foreignSeat, 3},
        {"past a gap", 0, 1, {1, 4, {5}}, &RunRefusals::gap, 3},
        {"contradicting a known frame", 0, 1, {1, 2, {9, 5}}, &RunRefusals::contradiction, 3},
        {"as many frames as a run holds",
         0,
         1,
         {1, 3, std::vector<uint16_t>(kMaxFramesPerRun, 1)},
         nullptr,
         3 + kMaxFramesPerRun},
        {"the host relaying another client's seat", 1, 0, {2, 3, {5}}, nullptr, 4},
        {"the host speaking for the client's own seat", 1, 0, {1, 3, {5}}, &RunRefusals::foreignSeat, 3},
        {"another client, not the host", 1, 2, {2, 3, {5}}, &RunRefusals::foreignSeat, 3},
    };
    for (const Case& c : cases) {
        Lockstep table(c.self, seats, 3, 3);
        InputsMessage message;
        message.runs = {c.run};
        const RunRefusals refused = table.take(c.from, message);
        EXPECT_EQ(refused.total(), c.refused != nullptr ? 1 : 0) << c.name;
        if (c.refused != nullptr) {
            EXPECT_EQ(refused.*c.refused, 1) << c.name;
        }
        EXPECT_EQ(table.known(c.run.seat), c.knownAfter) << c.name;
    }
    // Runs that would reach more than kMaxFramesAhead past the frame being simulated.
    Lockstep table(0, seats, 3, 3);
    InputsMessage far;
    uint32_t first = 3;
    int refused = 0;
    for (int i = 0; i < 10; ++i, first += kMaxFramesPerRun) {
        far.runs = {{1, first, std::vector<uint16_t>(kMaxFramesPerRun, 1)}};
        refused += table.take(1, far).tooFarAhead;
    }
    EXPECT_GT(refused, 0);
    EXPECT_LE(table.known(1), 3 + kMaxFramesAhead);
    // A machine that has gone is not listened to, and what it says is not counted against it.
    const uint32_t known = table.known(1);
    table.setNextFrame(known);
    table.forget(1);
    far.runs = {{1, known, {1}}};
    EXPECT_EQ(table.take(1, far).total(), 0);
    EXPECT_EQ(table.known(1), known);
}

// A wait still going on is the longest wait there has been, even in the match's first second:
// a match that froze at its start says how long it has waited, not "0 ms". The seat waited for
// is held to account for the wait, but not for time this machine lost on its own.
TEST(Lockstep, AWaitInProgressCountsAsTheLongest) {
    LockstepScheduler scheduler(
        Lockstep(kHostMachine, {0, 1, kNoMachine, kNoMachine}, 2, 3),
        [](int, uint32_t) { return uint16_t{0}; }, [](uint8_t, const InputsMessage&) {});
    scheduler.addPeer(1);
    scheduler.countStallsFrom(60);
    for (uint32_t ms = 0; ms <= 5000; ms += 10) {
        while (scheduler.frameReady(ms)) {
            scheduler.frameDone(ms);
        }
    }
    EXPECT_EQ(scheduler.nextFrame(), 3u) << "the idle frames, then it waits for seat 1";
    EXPECT_GE(scheduler.longestStallMs(5000), 4900u);
    EXPECT_EQ(scheduler.longestStallFrame(5000), 3u);
    EXPECT_GE(scheduler.heldUpMs(1), 4900u);
    EXPECT_EQ(scheduler.heldUpMs(0), 0u);
    // Then this machine itself stops for two seconds (a long load, a stalled disk): seat 1 is
    // blamed for no more than one check's worth of that time.
    const uint32_t blamed = scheduler.heldUpMs(1);
    EXPECT_FALSE(scheduler.frameReady(7000));
    EXPECT_EQ(scheduler.heldUpMs(1), blamed + kHeldUpPerCheckMs);
}

// Each time a due frame finds the other seat's actions missing is one wait, however long: a peer
// whose actions come in bursts makes one wait per gap, and the waits before countStallsFrom's
// frame (the match still loading somewhere) are not counted.
TEST(Lockstep, CountsEachWaitOnceFromTheFrameItIsToldToCountFrom) {
    LockstepScheduler scheduler(
        Lockstep(kHostMachine, {0, 1, kNoMachine, kNoMachine}, 2, 3),
        [](int, uint32_t) { return uint16_t{0}; }, [](uint8_t, const InputsMessage&) {});
    scheduler.addPeer(1);
    scheduler.countStallsFrom(33); // where the second wait begins
    uint32_t sent = 3;             // seat 1's first frame after the idle ones
    for (uint32_t ms = 0; ms < 6000; ms += 5) {
        if (ms % 1000 == 500) {
            // Half a second's frames at once, then nothing for another half second.
            InputsMessage burst;
            burst.runs = {{1, sent, std::vector<uint16_t>(30, 0)}};
            scheduler.receive(1, burst);
            sent += 30;
        }
        while (scheduler.frameReady(ms)) {
            scheduler.frameDone(ms);
        }
    }
    // Bursts at 0.5 s, 1.5 s, ... 5.5 s: a wait before each (at frames 3, 33, 63 ...), the first
    // not counted, and the one going on at the end (frame 183) counted.
    EXPECT_EQ(scheduler.nextFrame(), 183u);
    EXPECT_EQ(scheduler.stallCount(), 6u);
    EXPECT_GE(scheduler.longestStallMs(6000), 400u);
}

// A client hears the other clients through the host, a leg later than the host itself: with a
// window, their seats may be guessed further by its one-way time to the host, and no further
// than kMaxGuessedFrames in all; the host's seats, and every seat on the host, keep the window.
TEST(Lockstep, AClientGuessesTheSeatsTheHostRelaysFurther) {
    EXPECT_EQ(RelayedFrames(150, 8), 5u) << "75 ms is 4.5 frames, rounded up";
    EXPECT_EQ(RelayedFrames(30, 8), 1u);
    EXPECT_EQ(RelayedFrames(2000, 8), kMaxGuessedFrames - 8) << "capped";
    EXPECT_EQ(RelayedFrames(150, 0), 0u) << "lockstep guesses nothing";

    // Seats: 0 the host's, 1 this machine's, 2 another client's; delay 2. The host has told seat
    // 0 far ahead and seat 2 up to frame 10.
    auto framesRun = [](uint8_t self, uint32_t extra, bool hostBehind) {
        LockstepScheduler scheduler(
            Lockstep(self, {kHostMachine, 1, 2, kNoMachine}, 3, 2), [](int, uint32_t) { return uint16_t{0}; },
            [](uint8_t, const InputsMessage&) {});
        scheduler.setWindow(8);
        scheduler.setRelayedExtra(extra);
        InputsMessage told;
        told.runs = {{0, 2, std::vector<uint16_t>(hostBehind ? 8 : 100, 0)},
                     {2, 2, std::vector<uint16_t>(8, 0)}};
        scheduler.receive(self == kHostMachine ? 2 : kHostMachine, told);
        if (self == kHostMachine) { // on the host, seat 2's machine speaks for itself
            told.runs = {{1, 2, std::vector<uint16_t>(100, 0)}};
            scheduler.receive(1, told);
        }
        for (uint32_t ms = 0; ms <= 2000; ms += 5) {
            while (scheduler.frameReady(ms)) {
                scheduler.frameDone(ms);
            }
        }
        EXPECT_EQ(scheduler.waitingFor(), hostBehind ? 0 : 2);
        return scheduler.nextFrame();
    };
    EXPECT_EQ(framesRun(1, 0, false), 18u) << "seat 2 known to frame 9, then the window";
    EXPECT_EQ(framesRun(1, 5, false), 23u) << "and the relay's allowance";
    EXPECT_EQ(framesRun(1, 50, false), 10u + kMaxGuessedFrames) << "never past the cap";
    EXPECT_EQ(framesRun(1, 5, true), 18u) << "the host's own seat has no allowance";
    EXPECT_EQ(framesRun(kHostMachine, 5, false), 18u) << "the host hears every client directly";
}
