#include "net/lockstep_pacer.hpp"

#include "net/rollback_pacer.hpp"

LockstepPacer::LockstepPacer(std::unique_ptr<LockstepScheduler> scheduler)
    : MatchPacer(std::move(scheduler)) {
    frames->setWindow(0);
}

uint32_t LockstepPacer::confirmedFrames() const {
    // Nothing is simulated before it is known.
    return frames->nextFrame();
}

std::unique_ptr<MatchPacer> MakeMatchPacer(std::unique_ptr<LockstepScheduler> scheduler, int window,
                                           OnlineGame& game) {
    if (window <= 0) {
        return std::make_unique<LockstepPacer>(std::move(scheduler));
    }
    return std::make_unique<RollbackPacer>(std::move(scheduler), window, game);
}
