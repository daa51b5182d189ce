#include "net/lockstep_scheduler.hpp"

#include <algorithm>

LockstepScheduler::LockstepScheduler(Lockstep table, Sampler sampler, Sender sender)
    : lockstep(std::move(table)), sample(std::move(sampler)), sendTo(std::move(sender)),
      localNext(lockstep.delay()) {}

void LockstepScheduler::addPeer(uint8_t machine) {
    if (std::find(peers.begin(), peers.end(), machine) == peers.end()) {
        peers.push_back(machine);
    }
}

void LockstepScheduler::removePeer(uint8_t machine) {
    std::erase(peers, machine);
    lockstep.forget(machine);
}

uint32_t LockstepScheduler::takeOver(int seat) {
    const uint32_t from = lockstep.takeOver(seat);
    if (from < localNext) {
        lockstep.putLocal(seat, localNext - 1, 0);
        fresh = true;
    }
    return from;
}

int LockstepScheduler::receive(uint8_t machine, const InputsMessage& message) {
    const bool relay = lockstep.self() == kHostMachine;
    std::array<uint32_t, kMaxSeats> before{};
    for (int seat = 0; seat < lockstep.seats(); ++seat) {
        before[static_cast<size_t>(seat)] = lockstep.known(seat);
    }
    const int refused = lockstep.take(machine, message);
    for (int seat = 0; seat < lockstep.seats() && relay; ++seat) {
        // The host has something new to pass on to the other clients.
        fresh = fresh || lockstep.known(seat) != before[static_cast<size_t>(seat)];
    }
    return refused;
}

bool LockstepScheduler::frameReady(uint32_t nowMs) {
    if (!clock.started()) {
        clock.start(nowMs);
    }
    const uint32_t due = clock.due(nowMs, next);
    // Each frame that has come due lets this machine's seats act for the frame a delay later.
    for (; localNext < due + lockstep.delay(); ++localNext) {
        for (int seat = 0; seat < lockstep.seats(); ++seat) {
            if (lockstep.owner(seat) == lockstep.self() && lockstep.known(seat) <= localNext) {
                lockstep.putLocal(seat, localNext, sample(seat, localNext));
                fresh = true;
            }
        }
    }
    if (next >= due) {
        return false;
    }
    if (!lockstep.ready(next)) {
        if (stalledSince < 0) {
            stalledSince = nowMs;
        }
        return false;
    }
    if (stalledSince >= 0) {
        const uint32_t waited = nowMs - static_cast<uint32_t>(stalledSince);
        if (next >= countFrom && waited > longestStall) {
            longestStall = waited;
            longestStallAt = next;
        }
        stalledSince = -1;
    }
    return true;
}

void LockstepScheduler::frameDone(uint32_t) {
    ++next;
    lockstep.setNextFrame(next);
}

void LockstepScheduler::send(uint32_t nowMs) {
    if (!fresh && nowMs - lastSentMs < static_cast<uint32_t>(1000 / kOnlineFramesPerSecond)) {
        return;
    }
    for (uint8_t machine : peers) {
        sendTo(machine, lockstep.inputsFor(machine));
    }
    fresh = false;
    lastSentMs = nowMs;
}

uint32_t LockstepScheduler::stalledMs(uint32_t nowMs) const {
    return stalledSince >= 0 ? nowMs - static_cast<uint32_t>(stalledSince) : 0;
}
