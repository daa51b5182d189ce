#include "net/rollback_pacer.hpp"

#include "net/online_game.hpp"

#include <algorithm>
#include <iostream>

RollbackPacer::RollbackPacer(std::unique_ptr<LockstepScheduler> scheduler, int window, OnlineGame& game)
    : MatchPacer(std::move(scheduler)), world(game), queue(frames->table()) {
    frames->setWindow(static_cast<uint32_t>(std::clamp(window, 1, kMaxRollbackWindow)));
    frames->setTimeSync(&timeSync);
}

bool RollbackPacer::frameReady(uint32_t nowMs) {
    // Sampling this machine's seats, and a seat taken over, can make actions known too: what has
    // come is checked after the scheduler has had its turn.
    bool ready = frames->frameReady(nowMs);
    if (const std::optional<uint32_t> wrong = queue.firstMisprediction()) {
        if (*wrong < frames->nextFrame()) {
            rollBackTo(*wrong);
            ready = true;
        }
    }
    if (ready) {
        world.saveFrame(frames->nextFrame());
    }
    return ready;
}

void RollbackPacer::frameDone(uint32_t nowMs) {
    frames->frameDone(nowMs);
}

void RollbackPacer::rollBackTo(uint32_t frame) {
    if (!world.loadFrame(frame)) {
        // Never expected: the window keeps every frame a guess was made in. The hashes will tell.
        if (!loadFailed) {
            std::cout << "Could not go back to frame " << frame << " to correct a prediction" << std::endl;
            loadFailed = true;
        }
        return;
    }
    const uint32_t again = frames->nextFrame() - frame;
    ++counted.rollbacks;
    counted.framesAgain += again;
    counted.longestAgain = std::max(counted.longestAgain, again);
    frames->rewind(frame);
    queue.forgetFrom(frame);
}
