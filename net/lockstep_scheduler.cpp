#include "net/lockstep_scheduler.hpp"

#include <algorithm>

LockstepScheduler::LockstepScheduler(Lockstep table, Sampler sampler, Sender sender)
    : lockstep(std::move(table)), sample(std::move(sampler)), sendTo(std::move(sender)),
      localNext(lockstep.delay()) {}

uint32_t RelayedFrames(uint32_t roundTripMs, uint32_t window) {
    if (window == 0 || window >= kMaxGuessedFrames) {
        return 0;
    }
    const uint32_t oneWay = (roundTripMs / 2 * kOnlineFramesPerSecond + 999) / 1000;
    return std::min(oneWay, kMaxGuessedFrames - window);
}

uint32_t LockstepScheduler::allowance(bool relayed) const {
    return window == 0 ? 0 : std::min(kMaxGuessedFrames, window + (relayed ? relayedExtra : 0));
}

int LockstepScheduler::seatHoldingBack() const {
    for (int seat = 0; seat < lockstep.seats(); ++seat) {
        const uint8_t owner = lockstep.owner(seat);
        const bool relayed =
            lockstep.self() != kHostMachine && owner != lockstep.self() && owner != kHostMachine;
        const uint32_t allowed = allowance(relayed);
        if (next >= allowed && lockstep.known(seat) <= next - allowed) {
            return seat;
        }
    }
    return -1;
}

void LockstepScheduler::addPeer(uint8_t machine) {
    if (std::find(peers.begin(), peers.end(), machine) == peers.end()) {
        peers.push_back(machine);
    }
}

void LockstepScheduler::removePeer(uint8_t machine) {
    std::erase(peers, machine);
    lockstep.forget(machine);
    if (timeSync != nullptr) {
        timeSync->forget(machine);
    }
}

uint32_t LockstepScheduler::takeOver(int seat) {
    const uint32_t from = lockstep.takeOver(seat);
    if (from < localNext) {
        lockstep.putLocal(seat, localNext - 1, 0);
        fresh = true;
    }
    return from;
}

RunRefusals LockstepScheduler::receive(uint8_t machine, const InputsMessage& message) {
    const bool relay = lockstep.self() == kHostMachine;
    std::array<uint32_t, kMaxSeats> before{};
    for (int seat = 0; seat < lockstep.seats(); ++seat) {
        before[static_cast<size_t>(seat)] = lockstep.known(seat);
    }
    const RunRefusals refused = lockstep.take(machine, message);
    if (timeSync != nullptr && message.advantage != kNoAdvantage) {
        if (const std::optional<int> local = TimeSync::advantageOver(lockstep, machine, reached)) {
            timeSync->measure(machine, *local, message.advantage);
        }
    }
    for (int seat = 0; seat < lockstep.seats(); ++seat) {
        const auto s = static_cast<size_t>(seat);
        const uint32_t gained = lockstep.known(seat) - before[s];
        heldUp[s] -= std::min(heldUp[s], gained * kHeldUpPaidPerFrameMs);
        // The host has something new to pass on to the other clients.
        fresh = fresh || (relay && gained > 0);
    }
    return refused;
}

bool LockstepScheduler::frameReady(uint32_t nowMs) {
    if (!clock.started()) {
        clock.start(nowMs);
    }
    // Frames simulated again after a rollback are no catching up: the clock counts from the
    // furthest frame reached.
    const uint32_t due = clock.due(nowMs, reached);
    // The time since the last check was spent waiting for the seat waited for then, or not.
    if (heldUpCheckedMs) {
        const uint32_t elapsed = std::min(nowMs - *heldUpCheckedMs, kHeldUpPerCheckMs);
        for (int seat = 0; seat < kMaxSeats; ++seat) {
            uint32_t& debt = heldUp[static_cast<size_t>(seat)];
            debt = seat == heldUpBy ? debt + elapsed : debt - std::min(debt, elapsed);
        }
    }
    heldUpCheckedMs = nowMs;
    heldUpBy = -1;
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
    // Each seat must be known up to its allowance before the next frame: the next itself in
    // lockstep.
    if (const int seat = seatHoldingBack(); seat >= 0) {
        if (stalledSince < 0) {
            stalledSince = nowMs;
            stalls += next >= countFrom ? 1 : 0;
        }
        heldUpBy = seat;
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
    if (timeSync != nullptr && next == reached) {
        clock.holdBack(timeSync->slowdownUs()); // a new frame: ahead, the next comes a little later
    }
    ++next;
    reached = std::max(reached, next);
    lockstep.setNextFrame(reached);
}

void LockstepScheduler::rewind(uint32_t frame) {
    next = std::min(next, frame);
}

bool LockstepScheduler::send(uint32_t nowMs) {
    if (!fresh && nowMs - lastSentMs < static_cast<uint32_t>(1000 / kOnlineFramesPerSecond)) {
        return false;
    }
    for (uint8_t machine : peers) {
        InputsMessage message = lockstep.inputsFor(machine);
        if (timeSync != nullptr) {
            if (const std::optional<int> advantage = TimeSync::advantageOver(lockstep, machine, reached)) {
                message.advantage = static_cast<int8_t>(std::clamp(*advantage, -127, 127));
            }
        }
        sendTo(machine, message);
    }
    fresh = false;
    lastSentMs = nowMs;
    return true;
}

bool LockstepScheduler::settled() const {
    return std::all_of(peers.begin(), peers.end(),
                       [this](uint8_t machine) { return lockstep.allAcknowledged(machine); });
}

uint32_t LockstepScheduler::stalledMs(uint32_t nowMs) const {
    return stalledSince >= 0 ? nowMs - static_cast<uint32_t>(stalledSince) : 0;
}

// A wait still going on counts at any frame: a match that froze in its first second froze.
uint32_t LockstepScheduler::longestStallMs(uint32_t nowMs) const {
    return std::max(longestStall, stalledMs(nowMs));
}

uint32_t LockstepScheduler::longestStallFrame(uint32_t nowMs) const {
    return stalledMs(nowMs) > longestStall ? next : longestStallAt;
}
