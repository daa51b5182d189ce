// Rollback in online matches: what a machine predicts of the seats whose actions have not come,
// how it finds the first frame it simulated on a wrong guess, and whole matches of 2 and 4
// machines over an in-memory link that delays and drops, which must come out frame for frame as
// the same matches played in lockstep and as one machine fed the same actions.
#include "net/input_queue.hpp"
#include "net/lockstep_pacer.hpp"
#include "net/pacing_meter.hpp"
#include "net/rollback_pacer.hpp"
#include "net/time_sync.hpp"
#include "tests/support/memory_network.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// The host plays seat 0 and the client seat 1; frames are told as the client would tell them.
struct TwoSeats {
    Lockstep table{kHostMachine, {0, 1, kNoMachine, kNoMachine}, 2, 0};
    InputQueue queue{table};
    void tell(uint32_t first, std::vector<uint16_t> actions) {
        InputsMessage message;
        message.runs = {{1, first, std::move(actions)}};
        ASSERT_EQ(table.take(1, message).total(), 0);
    }
};

} // namespace

// A seat not yet heard from is predicted as holding its last known actions, for as many frames
// as it takes; what comes is checked against every guess, and the first wrong one is found
// whichever seat it was and however far back.
TEST(Rollback, PredictsTheLastKnownActionsAndFindsTheFirstWrongGuess) {
    TwoSeats s;
    for (uint32_t frame = 0; frame < 12; ++frame) {
        s.table.putLocal(0, frame, static_cast<uint16_t>(frame));
    }
    EXPECT_EQ(s.queue.actions(1, 0), 0) << "idle before anything is known";
    s.tell(0, {0, 7});
    EXPECT_EQ(s.queue.actions(1, 1), 7) << "known";
    for (uint32_t frame = 2; frame < 12; ++frame) {
        EXPECT_EQ(s.queue.actions(1, frame), 7) << "held on, frame " << frame;
        EXPECT_EQ(s.queue.actions(0, frame), frame) << "this machine's own seat is known";
    }
    EXPECT_EQ(s.queue.confirmed(), 2u);
    // Guesses that come true cost nothing, and are checked once.
    s.tell(2, {7, 7, 7});
    EXPECT_EQ(s.queue.firstMisprediction(), std::nullopt);
    EXPECT_EQ(s.queue.guessesOf(1), 7u);
    // The first change comes late: the frame it happened in is the one to go back to.
    s.tell(5, {7, 7, 3, 3});
    EXPECT_EQ(s.queue.firstMisprediction(), 7u);
    EXPECT_EQ(s.queue.firstMisprediction(), std::nullopt) << "each guess is checked once";
    // Simulated again from frame 7: the guesses from there are made anew, from what is known now.
    s.queue.forgetFrom(7);
    EXPECT_EQ(s.queue.guessesOf(1), 0u);
    EXPECT_EQ(s.queue.actions(1, 9), 3);
    EXPECT_EQ(s.queue.actions(1, 10), 3);
    s.tell(9, {3, 4});
    EXPECT_EQ(s.queue.firstMisprediction(), 10u);
    EXPECT_EQ(s.queue.confirmed(), 11u);

    // With two seats wrong at once, the earlier frame of the two is the one to go back to.
    Lockstep table{2, {0, 1, 2, kNoMachine}, 3, 0}; // client 2: seats 0 and 1 come from the host
    InputQueue queue{table};
    for (uint32_t frame = 0; frame < 6; ++frame) {
        queue.actions(0, frame);
        queue.actions(1, frame);
    }
    InputsMessage message;
    message.runs = {{0, 0, {0, 0, 0, 0, 5}}, {1, 0, {0, 0, 1}}};
    ASSERT_EQ(table.take(kHostMachine, message).total(), 0);
    EXPECT_EQ(queue.firstMisprediction(), 2u);
}

namespace {

struct Seating {
    const char* name;
    std::vector<int> seatsPerMachine; // the host first
    LinkShape link;
};

void PrintTo(const Seating& seating, std::ostream* out) {
    *out << seating.name;
}

// One match of 900 frames among the machines, each rendering at its own uneven pace; what each
// machine simulated, and how it paced it.
struct Played {
    std::vector<std::vector<uint64_t>> worldAfter; // per machine, after each frame
    std::vector<uint64_t> endWorld;
    uint64_t alone = 0; // one machine fed the host's actions
    uint32_t rollbacks = 0;
    uint32_t longestWaitMs = 0;
    uint32_t mostAheadOfKnown = 0; // of the seats a machine hears directly
    uint32_t pastAllowance = 0;    // frames a relayed seat was guessed past its allowance
};

constexpr uint32_t kMatchFrames = 900;

Played play(const Seating& seating, int window) {
    MemoryNetwork network(31, seating.link);
    std::vector<std::unique_ptr<SessionMachine>> machines;
    const int players = [&] {
        int n = 0;
        for (int seats : seating.seatsPerMachine) {
            n += seats;
        }
        return n;
    }();
    for (size_t m = 0; m < seating.seatsPerMachine.size(); ++m) {
        SessionSetup setup{.hosting = m == 0,
                           .address = "host",
                           .seats = seating.seatsPerMachine[m],
                           .map = "Meadow",
                           .players = players,
                           .rollback = window};
        machines.push_back(std::make_unique<SessionMachine>(network,
                                                            m == 0 ? "host" : "m" + std::to_string(m), setup,
                                                            kTestBuild, 40 + static_cast<uint32_t>(m)));
        machines.back()->matchFrames = kMatchFrames;
        machines.back()->reportsWorld = true; // a machine out of step would be dropped
    }
    Played out;
    for (auto& machine : machines) {
        SessionMachine& m = *machine;
        m.afterFrame = [&m, &out] {
            const LockstepScheduler& frames = *m.session.lockstep();
            const Lockstep& table = frames.table();
            for (int seat = 0; seat < table.seats(); ++seat) {
                const uint32_t ahead = frames.nextFrame() - std::min(frames.nextFrame(), table.known(seat));
                const uint8_t owner = table.owner(seat);
                if (table.self() != kHostMachine && owner != table.self() && owner != kHostMachine) {
                    // Another client's seat, heard through the host: the window and the relay's leg.
                    out.pastAllowance =
                        std::max(out.pastAllowance, ahead - std::min(ahead, frames.longestGuess()));
                } else {
                    out.mostAheadOfKnown = std::max(out.mostAheadOfKnown, ahead);
                }
            }
        };
    }
    std::mt19937 pace(12);
    std::vector<uint32_t> next(machines.size(), 0);
    for (uint32_t ms = 0;
         ms < 120000 && std::ranges::any_of(machines, [](auto& m) { return m->matchesEnded < 1; }); ++ms) {
        network.advance(1);
        for (size_t m = 0; m < machines.size(); ++m) {
            // A machine whose match has ended plays on as the game does, answering the others
            // until they have what they need of it.
            if (network.now() >= next[m]) {
                const bool last = machines[m]->session.pacer() != nullptr;
                if (last) {
                    out.longestWaitMs =
                        std::max(out.longestWaitMs,
                                 machines[m]->session.lockstep()->longestStallMs(network.machineClock()));
                    out.rollbacks =
                        std::max(out.rollbacks, machines[m]->session.pacer()->figures().rollbacks);
                }
                machines[m]->frame();
                next[m] = network.now() + std::uniform_int_distribution<uint32_t>(4, 24)(pace);
            }
        }
    }
    for (auto& machine : machines) {
        EXPECT_EQ(machine->matchesEnded, 1) << machine->session.address();
        EXPECT_EQ(machine->session.faults().total(), 0);
        out.worldAfter.push_back(machine->worldAfter);
        out.endWorld.push_back(machine->endWorlds.empty() ? 0 : machine->endWorlds.front());
    }
    out.alone = SessionMachine::kWorldStart;
    for (uint32_t frame = 0; frame < kMatchFrames; ++frame) {
        out.alone = SessionMachine::simulate(out.alone, machines[0]->session.lockstep()->table(), frame);
    }
    return out;
}

class RollbackMatch : public testing::TestWithParam<Seating> {};

} // namespace

// Rollback changes when a frame is simulated, never what it comes out as: every machine ends on
// the world of one machine fed the same actions, every frame of it is the world the same match
// played in lockstep has after it, and nothing is ever simulated more than the window past what
// every machine has told. With --rollback 0 the same match is lockstep: nothing guessed, nothing
// simulated again.
TEST_P(RollbackMatch, EveryFrameComesOutAsInLockstep) {
    const Seating& seating = GetParam();
    const Played rolled = play(seating, kDefaultRollbackWindow);
    const Played locked = play(seating, 0);
    ASSERT_EQ(rolled.worldAfter.size(), seating.seatsPerMachine.size());
    for (size_t m = 0; m < rolled.worldAfter.size(); ++m) {
        SCOPED_TRACE("machine " + std::to_string(m));
        EXPECT_EQ(rolled.endWorld[m], rolled.alone);
        EXPECT_EQ(locked.endWorld[m], rolled.alone);
        ASSERT_GE(rolled.worldAfter[m].size(), kMatchFrames);
        ASSERT_GE(locked.worldAfter[m].size(), kMatchFrames);
        for (uint32_t frame = 0; frame < kMatchFrames; ++frame) {
            ASSERT_EQ(rolled.worldAfter[m][frame], locked.worldAfter[m][frame]) << "frame " << frame;
        }
    }
    EXPECT_GT(rolled.rollbacks, 0u) << "the link is slow enough for guesses to go wrong";
    EXPECT_LE(rolled.mostAheadOfKnown, static_cast<uint32_t>(kDefaultRollbackWindow));
    EXPECT_EQ(rolled.pastAllowance, 0u);
    EXPECT_GT(rolled.mostAheadOfKnown, 1u);
    EXPECT_EQ(locked.rollbacks, 0u);
    EXPECT_EQ(locked.mostAheadOfKnown, 0u);
    EXPECT_LT(rolled.longestWaitMs, locked.longestWaitMs) << "rollback waits less";
}

INSTANTIATE_TEST_SUITE_P(Online, RollbackMatch,
                         testing::Values(Seating{"TwoMachines", {1, 1}, {20, 70, 0.05}},
                                         Seating{"FourMachines", {1, 1, 1, 1}, {10, 50, 0.05}},
                                         Seating{"ThreeMachinesFourSeats", {2, 1, 1}, {30, 90, 0.1}}),
                         [](const testing::TestParamInfo<Seating>& param) {
                             return std::string(param.param.name);
                         });

// The frame advantage a machine tells: how far its frames are past the last frame it has of the
// other machine's seats (less the delay); the average of half the difference of both sides is
// how far ahead it is, and only a machine ahead of every other by a frame or more slows down.
TEST(Rollback, TimeSyncSlowsOnlyAMachineAheadOfEveryOther) {
    Lockstep table{kHostMachine, {0, 1, 2, kNoMachine}, 3, 2};
    EXPECT_EQ(TimeSync::advantageOver(table, 1, 40), std::nullopt) << "nothing heard of it yet";
    InputsMessage message;
    message.runs = {{1, 2, std::vector<uint16_t>(30, 0)}}; // frames 0..31 of seat 1
    ASSERT_EQ(table.take(1, message).total(), 0);
    EXPECT_EQ(TimeSync::advantageOver(table, 1, 40), 40 - (32 - 2));

    TimeSync levels;
    EXPECT_EQ(levels.slowdownUs(), 0u) << "nothing measured";
    for (int i = 0; i < kAdvantageMeasures; ++i) {
        levels.measure(1, 8, 2); // 3 frames ahead of machine 1
    }
    EXPECT_DOUBLE_EQ(levels.framesAhead(), 3.0);
    EXPECT_GT(levels.slowdownUs(), 0u);
    for (int i = 0; i < kAdvantageMeasures; ++i) {
        levels.measure(2, 4, 4); // level with machine 2: nobody to wait for there
    }
    EXPECT_DOUBLE_EQ(levels.framesAhead(), 0.0);
    EXPECT_EQ(levels.slowdownUs(), 0u);
    levels.forget(2);
    EXPECT_GT(levels.slowdownUs(), 0u);
    // The average follows the newest measures.
    for (int i = 0; i < kAdvantageMeasures; ++i) {
        levels.measure(1, 3, 4);
    }
    EXPECT_DOUBLE_EQ(levels.framesAhead(), -0.5);
    EXPECT_EQ(levels.slowdownUs(), 0u);
}

// A host whose match starts a long one-way trip before its client's runs that far ahead, and
// without time sync would stay so (4 frames here), predicting its client all the time while the
// client never predicts it. With rollback it slows until the two are level.
TEST(Rollback, AMachineAheadSlowsUntilLevel) {
    MemoryNetwork network(3, {100, 110, 0.0});
    SessionMachine host(network, "host", {.hosting = true, .map = "Meadow", .players = 2}, kTestBuild, 1);
    SessionMachine client(network, "client", {.address = "host"}, kTestBuild, 2);
    int32_t most = 0;
    int32_t last = 0;
    for (uint32_t ms = 0; ms < 20000; ms += 4) {
        network.advance(4);
        host.frame();
        client.frame();
        if (host.session.playing() && client.session.playing()) {
            last = static_cast<int32_t>(host.session.lockstep()->reachedFrame()) -
                   static_cast<int32_t>(client.session.lockstep()->reachedFrame());
            most = std::max(most, last);
        }
    }
    EXPECT_GT(client.frames(), 600u);
    EXPECT_GE(most, 5) << "the host started ahead";
    EXPECT_LE(std::abs(last), 1) << "and is level now";
}

// The counters shown with the frame rate: rollbacks per second and frames simulated again per
// rendered frame over the last whole second, and over the match the frames simulated again in
// one rendered frame at the median and the 99th percentile.
TEST(Rollback, PacingMeterCountsPerSecondAndPerRenderedFrame) {
    PacingMeter meter;
    meter.start(1000);
    RollbackFigures totals;
    for (uint32_t frame = 1; frame <= 100; ++frame) {
        if (frame % 10 == 0) { // a rollback of 3 frames every tenth rendered frame
            ++totals.rollbacks;
            totals.framesAgain += 3;
        }
        if (frame == 100) {
            totals.framesAgain += 8; // and one of 8
            ++totals.rollbacks;
        }
        meter.rendered(1000 + frame * 20, totals); // 50 rendered frames a second
    }
    EXPECT_EQ(meter.renderedFrames(), 100u);
    EXPECT_EQ(meter.framesAgainAt(0.5), 0u);
    EXPECT_EQ(meter.framesAgainAt(0.9), 0u);
    EXPECT_EQ(meter.framesAgainAt(0.95), 3u);
    EXPECT_EQ(meter.framesAgainAt(1.0), 11u);
    // The second that ended at the 100th frame: 6 rollbacks, 23 frames again over 50 frames.
    EXPECT_DOUBLE_EQ(meter.rollbacksPerSecond(), 6.0);
    EXPECT_DOUBLE_EQ(meter.framesAgainPerRendered(), 23.0 / 50.0);
    EXPECT_EQ(meter.line(), "rollbacks 6.0/s, 0.46 frames again per frame");
}
