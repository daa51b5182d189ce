#include "net/lockstep.hpp"

#include <algorithm>

Lockstep::Lockstep(uint8_t self, const std::array<uint8_t, kMaxSeats>& seatMachines, int seats,
                   uint32_t delay)
    : me(self), seatCount(std::clamp(seats, 0, kMaxSeats)), inputDelay(delay), owners(seatMachines) {
    // Nobody can have sampled the first frames: they are idle for every seat.
    for (int seat = 0; seat < seatCount; ++seat) {
        table[static_cast<size_t>(seat)].assign(inputDelay, 0);
    }
    for (auto& machine : acked) {
        machine.fill(inputDelay);
    }
}

void Lockstep::putLocal(int seat, uint32_t frame, uint16_t bits) {
    if (seat < 0 || seat >= seatCount || owner(seat) != me) {
        return;
    }
    std::vector<uint16_t>& frames = table[static_cast<size_t>(seat)];
    if (frame < frames.size()) {
        return;
    }
    frames.resize(frame, 0);
    frames.push_back(bits);
}

uint32_t Lockstep::takeOver(int seat) {
    owners[static_cast<size_t>(seat)] = me;
    return known(seat);
}

bool Lockstep::tells(uint8_t machine, int seat) const {
    if (me == kHostMachine) {
        return owner(seat) != machine; // the host relays every seat but the machine's own
    }
    return machine == kHostMachine && owner(seat) == me;
}

bool Lockstep::hears(uint8_t machine, int seat) const {
    if (me == kHostMachine) {
        return owner(seat) == machine;
    }
    return machine == kHostMachine && owner(seat) != me;
}

InputsMessage Lockstep::inputsFor(uint8_t machine) const {
    InputsMessage message;
    if (machine > kMaxClients || gone[machine]) {
        return message;
    }
    for (int seat = 0; seat < seatCount; ++seat) {
        const auto s = static_cast<size_t>(seat);
        if (tells(machine, seat)) {
            const uint32_t first = acked[machine][s];
            const uint32_t end =
                std::min<uint32_t>(known(seat), first + static_cast<uint32_t>(kMaxFramesPerRun));
            if (first < end) {
                SeatRun run;
                run.seat = static_cast<uint8_t>(seat);
                run.first = first;
                run.actions.assign(table[s].begin() + first, table[s].begin() + end);
                message.runs.push_back(std::move(run));
            }
        }
        if (hears(machine, seat)) {
            message.heardMask = static_cast<uint8_t>(message.heardMask | (1u << seat));
            message.heard[s] = known(seat);
        }
    }
    return message;
}

RunRefusals Lockstep::take(uint8_t machine, const InputsMessage& message) {
    RunRefusals refused;
    if (machine > kMaxClients || gone[machine]) {
        return refused;
    }
    for (const SeatRun& run : message.runs) {
        std::vector<uint16_t>& frames = table[run.seat];
        const uint32_t end = run.first + static_cast<uint32_t>(run.actions.size());
        if (run.seat >= seatCount || !hears(machine, run.seat)) {
            ++refused.foreignSeat;
            continue;
        }
        if (run.first > frames.size()) {
            ++refused.gap;
            continue;
        }
        if (end > nextFrame + inputDelay + kMaxFramesAhead) {
            ++refused.tooFarAhead;
            continue;
        }
        const uint32_t overlap = std::min<uint32_t>(static_cast<uint32_t>(frames.size()), end) - run.first;
        if (!std::equal(run.actions.begin(), run.actions.begin() + overlap, frames.begin() + run.first)) {
            ++refused.contradiction;
            continue;
        }
        frames.insert(frames.end(), run.actions.begin() + overlap, run.actions.end());
    }
    // What the machine says it has heard moves on only: an old message says less.
    for (int seat = 0; seat < seatCount; ++seat) {
        const auto s = static_cast<size_t>(seat);
        if (((message.heardMask >> seat) & 1u) != 0 && tells(machine, seat)) {
            acked[machine][s] = std::clamp(message.heard[s], acked[machine][s], known(seat));
        }
    }
    return refused;
}

bool Lockstep::allAcknowledged(uint8_t machine) const {
    if (machine > kMaxClients || gone[machine]) {
        return true;
    }
    for (int seat = 0; seat < seatCount; ++seat) {
        if (tells(machine, seat) && acked[machine][static_cast<size_t>(seat)] < known(seat)) {
            return false;
        }
    }
    return true;
}

void Lockstep::forget(uint8_t machine) {
    if (machine <= kMaxClients) {
        gone[machine] = true;
    }
}

bool Lockstep::ready(uint32_t frame) const {
    return waitingFor(frame) < 0;
}

uint16_t Lockstep::actions(int seat, uint32_t frame) const {
    const std::vector<uint16_t>& frames = table[static_cast<size_t>(seat)];
    return frame < frames.size() ? frames[frame] : 0;
}

int Lockstep::waitingFor(uint32_t frame) const {
    for (int seat = 0; seat < seatCount; ++seat) {
        if (known(seat) <= frame) {
            return seat;
        }
    }
    return -1;
}
