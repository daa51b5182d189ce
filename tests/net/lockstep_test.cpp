// The lockstep without sockets: two and three machines over an in-memory network that delays,
// reorders and drops packets, each rendering at its own uneven pace (one of them freezing for a
// while), play the same frames with the same actions as one machine fed those actions alone.
// Each machine's "world" is a toy simulation: a hash that takes in every seat's actions frame by
// frame, and whose value the machine's own seats look at before they act, as a computer player
// looks at the arena.
#include "match/recording.hpp"
#include "net/lockstep_scheduler.hpp"
#include "tests/support/memory_network.hpp"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

uint64_t mix(uint64_t hash, uint64_t value) {
    return (hash ^ value) * 1099511628211ull;
}

constexpr uint64_t kWorldStart = 1469598103934665603ull;

struct ToyMachine {
    ToyMachine(MemoryNetwork& network, uint8_t machine, const std::array<uint8_t, kMaxSeats>& seats,
               int seatCount, uint32_t seed)
        : self(machine), link(machine == kHostMachine
                                  ? network.listen("host")
                                  : network.connect("machine " + std::to_string(machine), "host", machine)),
          scheduler(
              Lockstep(machine, seats, seatCount, kDefaultInputDelay),
              [this](int seat, uint32_t frame) {
                  return static_cast<uint16_t>(
                      mix(mix(world, frame), random() + static_cast<uint32_t>(seat)) & kActionBitsMask);
              },
              [this](uint8_t to, const InputsMessage& message) {
                  const std::vector<uint8_t> bytes = EncodeMessage(message);
                  link->send(peerOf.at(to), Channel::Inputs, bytes);
              }),
          random(seed) {}

    // One rendered frame: what came in, every frame ready up to the last one wanted, what is new.
    void render(uint32_t now, uint32_t lastFrame) {
        TransportEvent event;
        while (link->poll(event)) {
            if (event.kind == TransportEvent::Kind::Connected) {
                const uint8_t machine =
                    self == kHostMachine ? static_cast<uint8_t>(event.data) : kHostMachine;
                peerOf[machine] = event.peer;
                machineOf[event.peer] = machine;
                scheduler.addPeer(machine);
            } else if (event.kind == TransportEvent::Kind::Received) {
                std::optional<Message> message = DecodeMessage(event.packet);
                ASSERT_TRUE(message && std::holds_alternative<InputsMessage>(*message));
                EXPECT_EQ(scheduler.receive(machineOf.at(event.peer), std::get<InputsMessage>(*message)), 0);
            }
        }
        int frames = 0;
        while (scheduler.nextFrame() < lastFrame && scheduler.frameReady(now)) {
            for (int seat = 0; seat < scheduler.table().seats(); ++seat) {
                world = mix(mix(world, scheduler.nextFrame()),
                            scheduler.table().actions(seat, scheduler.nextFrame()));
            }
            scheduler.frameDone(now);
            ++frames;
        }
        mostInOneRender = std::max(mostInOneRender, frames);
        EXPECT_LE(scheduler.nextFrame(), now * kOnlineFramesPerSecond / 1000 + 1) << "ahead of the clock";
        scheduler.send(now);
    }

    uint8_t self;
    std::unique_ptr<Transport> link;
    LockstepScheduler scheduler;
    std::mt19937 random;
    std::map<uint8_t, PeerId> peerOf;
    std::map<PeerId, uint8_t> machineOf;
    uint64_t world = kWorldStart;
    int mostInOneRender = 0;
};

} // namespace

// The host plays seat 1; two machines share the rest as a client or two.
class LockstepMachines : public testing::TestWithParam<int> {};

TEST_P(LockstepMachines, EndWithTheWorldOfOneMachineFedTheSameActions) {
    const int count = GetParam();
    constexpr uint32_t kFrames = 900;
    MemoryNetwork network(7, {5, 60, 0.1});
    const std::array<uint8_t, kMaxSeats> seats{0, 1, 1, count == 2 ? kNoMachine : uint8_t{2}};
    const int seatCount = count + 1;
    std::vector<std::unique_ptr<ToyMachine>> machines;
    for (int m = 0; m < count; ++m) {
        machines.push_back(
            std::make_unique<ToyMachine>(network, static_cast<uint8_t>(m), seats, seatCount, 100 + m));
    }
    std::mt19937 pace(3);
    std::vector<uint32_t> nextRender(machines.size(), 0);
    bool frozen = false;
    for (int ms = 0;
         ms < 120000 &&
         machines.back()->scheduler.nextFrame() + machines.front()->scheduler.nextFrame() < 2 * kFrames;
         ++ms) {
        network.advance(1);
        for (size_t m = 0; m < machines.size(); ++m) {
            if (network.now() < nextRender[m]) {
                continue;
            }
            machines[m]->render(network.now(), kFrames);
            // Uneven frames; the last machine once stops drawing for most of a second.
            uint32_t gap = std::uniform_int_distribution<uint32_t>(4, 45)(pace);
            if (m + 1 == machines.size() && !frozen && machines[m]->scheduler.nextFrame() > 300) {
                gap = 700;
                frozen = true;
            }
            nextRender[m] = network.now() + gap;
        }
    }
    for (int settle = 0; settle < 5000; ++settle) {
        network.advance(1);
        for (auto& machine : machines) {
            machine->render(network.now(), kFrames);
        }
    }
    uint64_t alone = kWorldStart;
    const Lockstep& table = machines.front()->scheduler.table();
    for (uint32_t frame = 0; frame < kFrames; ++frame) {
        for (int seat = 0; seat < seatCount; ++seat) {
            alone = mix(mix(alone, frame), table.actions(seat, frame));
        }
    }
    for (const auto& machine : machines) {
        ASSERT_EQ(machine->scheduler.nextFrame(), kFrames) << "machine " << int(machine->self);
        EXPECT_EQ(machine->world, alone) << "machine " << int(machine->self);
        EXPECT_LE(machine->mostInOneRender, static_cast<int>(kMaxCatchUpFrames))
            << "machine " << int(machine->self);
    }
    EXPECT_TRUE(frozen);
    EXPECT_GT(machines.back()->mostInOneRender, 8) << "the frozen machine caught up in one go";
    EXPECT_GT(machines.front()->scheduler.longestStallMs(), 0u) << "the others waited for it";
}

INSTANTIATE_TEST_SUITE_P(Lossy, LockstepMachines, testing::Values(2, 3));

// What a machine may and may not tell another: each case sends one run to a fresh lockstep.
TEST(Lockstep, KeepsOnlyRunsTheSenderMayTellThatContinueWhatIsKnown) {
    // Host 0 plays seat 0, client 1 seat 1, client 2 seat 2; delay 3, so frames 0..2 are idle.
    const std::array<uint8_t, kMaxSeats> seats{0, 1, 2, kNoMachine};
    struct Case {
        const char* name;
        uint8_t self, from;
        SeatRun run;
        int refused;
        uint32_t knownAfter; // of the run's seat
    };
    const Case cases[] = {
        {"a client's own seat, continuing", 0, 1, {1, 3, {5, 6}}, 0, 5},
        {"overlapping what is known, agreeing", 0, 1, {1, 2, {0, 5}}, 0, 4},
        {"a client speaking for another's seat", 0, 1, {2, 3, {5}}, 1, 3},
        {"past a gap", 0, 1, {1, 4, {5}}, 1, 3},
        {"contradicting a known frame", 0, 1, {1, 2, {9, 5}}, 1, 3},
        {"as many frames as a run holds",
         0,
         1,
         {1, 3, std::vector<uint16_t>(kMaxFramesPerRun, 1)},
         0,
         3 + kMaxFramesPerRun},
        {"the host relaying another client's seat", 1, 0, {2, 3, {5}}, 0, 4},
        {"the host speaking for the client's own seat", 1, 0, {1, 3, {5}}, 1, 3},
        {"another client, not the host", 1, 2, {2, 3, {5}}, 1, 3},
    };
    for (const Case& c : cases) {
        Lockstep table(c.self, seats, 3, 3);
        InputsMessage message;
        message.runs = {c.run};
        EXPECT_EQ(table.take(c.from, message), c.refused) << c.name;
        EXPECT_EQ(table.known(c.run.seat), c.knownAfter) << c.name;
    }
    // A run that would reach more than kMaxFramesAhead past the frame being simulated.
    Lockstep table(0, seats, 3, 3);
    InputsMessage far;
    uint32_t first = 3;
    int refused = 0;
    for (int i = 0; i < 10; ++i, first += kMaxFramesPerRun) {
        far.runs = {{1, first, std::vector<uint16_t>(kMaxFramesPerRun, 1)}};
        refused += table.take(1, far);
    }
    EXPECT_GT(refused, 0);
    EXPECT_LE(table.known(1), 3 + kMaxFramesAhead);
}

// A machine's own seats act the input delay ahead: the first frame that comes due has them
// choose their actions for frame 3, the frames before it being idle on every machine.
TEST(Lockstep, SamplesTheMachinesOwnSeatsTheInputDelayAhead) {
    std::vector<uint32_t> sampled;
    LockstepScheduler alone(
        Lockstep(kHostMachine, {0, kNoMachine, kNoMachine, kNoMachine}, 1, 3),
        [&](int, uint32_t frame) {
            sampled.push_back(frame);
            return uint16_t{0};
        },
        [](uint8_t, const InputsMessage&) {});
    EXPECT_TRUE(alone.frameReady(0));
    EXPECT_EQ(sampled, std::vector<uint32_t>{3});
}
