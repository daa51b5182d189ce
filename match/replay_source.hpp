#pragma once

// Plays a recording's actions back. The match calls beginFrame() once per frame before the
// players run; actionsFor(player) then gives that player's recorded actions for the frame.

#include "gameplay/action_source.hpp"
#include "match/recording.hpp"

#include <cstddef>
#include <cstdint>

class ReplaySource : public ActionSource {
  public:
    explicit ReplaySource(Recording played);

    // Moves on to the next recorded frame; false (and no actions from then on) once every frame
    // has been played.
    bool beginFrame();
    PlayerActions actionsFor(const Player& player) override;

    // True once the last frame has begun: nothing is left to play after it.
    bool finished() const { return next >= record.frames.size(); }
    // The time step of the frame beginFrame() starts next, for the clock to advance by before
    // the frame runs; 0 once finished.
    uint32_t nextMilliseconds() const;
    // How many frames have begun.
    size_t framesPlayed() const { return next; }
    const Recording& recording() const { return record; }

  private:
    Recording record;
    size_t next = 0;
    bool inFrame = false; // frame next - 1 is being played
};
