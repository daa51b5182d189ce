#pragma once

// Lockstep: a frame is simulated once every seat's actions for it are known, and never again.

#include "net/match_pacer.hpp"

class LockstepPacer : public MatchPacer {
  public:
    explicit LockstepPacer(std::unique_ptr<LockstepScheduler> scheduler);

    bool frameReady(uint32_t nowMs) override { return frames->frameReady(nowMs); }
    void frameDone(uint32_t nowMs) override { frames->frameDone(nowMs); }
    uint16_t actions(int seat) override { return frames->table().actions(seat, frames->nextFrame()); }
    uint32_t confirmedFrames() const override;
};
