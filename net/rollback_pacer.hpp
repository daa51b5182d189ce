#pragma once

// Rollback: a seat whose actions for a frame have not come is predicted (net/input_queue.hpp),
// and frames are simulated up to the window past the last frame every seat's actions are known
// for; only past that does this machine wait. The world is saved before each frame is simulated
// (OnlineGame::saveFrame). When actions come that differ from what was predicted, the world is
// put back to the first frame simulated on a wrong guess and every frame from there to the
// present is simulated again, before the picture is drawn. A machine ahead of the others slows
// down until it is level (net/time_sync.hpp).

#include "net/input_queue.hpp"
#include "net/match_pacer.hpp"
#include "net/time_sync.hpp"

class RollbackPacer : public MatchPacer {
  public:
    RollbackPacer(std::unique_ptr<LockstepScheduler> scheduler, int window, OnlineGame& game);

    bool frameReady(uint32_t nowMs) override;
    void frameDone(uint32_t nowMs) override;
    uint16_t actions(int seat) override { return queue.actions(seat, frames->nextFrame()); }
    uint32_t confirmedFrames() const override { return queue.confirmed(); }
    RollbackFigures figures() const override { return counted; }
    const TimeSync& levels() const { return timeSync; }

  private:
    void rollBackTo(uint32_t frame);

    OnlineGame& world;
    InputQueue queue;
    TimeSync timeSync;
    RollbackFigures counted;
    bool loadFailed = false;
};
