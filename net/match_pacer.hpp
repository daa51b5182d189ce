#pragma once

// How the frames of an online match are paced on this machine, behind one interface: which frame
// is simulated next, with which actions of every seat, and which frames are final. Lockstep
// (net/lockstep_pacer.hpp) simulates a frame only once every seat's actions for it are known;
// rollback (net/rollback_pacer.hpp) goes on with predictions and simulates frames again when
// they turn out wrong. Both share the scheduler that samples, sends and times the frames.

#include "net/lockstep_scheduler.hpp"

#include <algorithm>
#include <cstdint>
#include <memory>

class OnlineGame;

// The most frames a machine may simulate past the last frame every seat's actions are known for.
constexpr int kMaxRollbackWindow = static_cast<int>(kMaxGuessedFrames);
constexpr int kDefaultRollbackWindow = 8;

// What rollback has cost so far in a match.
struct RollbackFigures {
    uint32_t rollbacks = 0;    // times the world was put back to an earlier frame
    uint32_t framesAgain = 0;  // frames simulated again after those
    uint32_t longestAgain = 0; // the most frames simulated again at once
};

class MatchPacer {
  public:
    virtual ~MatchPacer() = default;
    // Before each simulated frame: whether a frame may be simulated now (the next one, or an
    // earlier one again). Called until it says no, once or more per rendered frame.
    virtual bool frameReady(uint32_t nowMs) = 0;
    virtual void frameDone(uint32_t nowMs) = 0;
    // A seat's packed actions for the frame being simulated.
    virtual uint16_t actions(int seat) = 0;
    // Frames from 0 whose every seat's actions are known: they are simulated for good once
    // simulated (the frames before both this and the next frame are final).
    virtual uint32_t confirmedFrames() const = 0;
    virtual RollbackFigures figures() const { return {}; }

    LockstepScheduler& scheduler() { return *frames; }
    const LockstepScheduler& scheduler() const { return *frames; }
    // The frames before this one were simulated with the actions every machine has.
    uint32_t finalFrames() const { return std::min(confirmedFrames(), frames->nextFrame()); }

  protected:
    explicit MatchPacer(std::unique_ptr<LockstepScheduler> scheduler) : frames(std::move(scheduler)) {}
    std::unique_ptr<LockstepScheduler> frames;
};

// The pacer for a window of frames: lockstep for 0, rollback over the game's saved frames else.
std::unique_ptr<MatchPacer> MakeMatchPacer(std::unique_ptr<LockstepScheduler> scheduler, int window,
                                           OnlineGame& game);
