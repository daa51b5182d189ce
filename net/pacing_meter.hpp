#pragma once

// What rollback costs as a player would notice it, measured as a match is played: rollbacks per
// second and frames simulated again per rendered frame, over the last whole second (for the
// frame-rate line and the F3 panel), and over the match (its median and 99th percentile of the
// frames simulated again in one rendered frame, for the match's closing figures).

#include "net/match_pacer.hpp"

#include <cstdint>
#include <string>
#include <vector>

class PacingMeter {
  public:
    // A match starts.
    void start(uint32_t nowMs);
    // Once per rendered frame of the match, with the pacer's totals so far.
    void rendered(uint32_t nowMs, const RollbackFigures& totals);

    // Over the last whole second (0 before the first has passed).
    double rollbacksPerSecond() const { return lastRollbacksPerSecond; }
    double framesAgainPerRendered() const { return lastAgainPerRendered; }
    // Over the match: the frames simulated again in one rendered frame, at the given share of
    // rendered frames (0.5 the median, 0.99 the 99th percentile).
    uint32_t framesAgainAt(double share) const;
    uint32_t renderedFrames() const { return static_cast<uint32_t>(perRendered.size()); }
    // "rollbacks 2.0/s, 0.35 frames again per frame" (the last second).
    std::string line() const;

  private:
    std::vector<uint16_t> perRendered; // frames simulated again, per rendered frame
    RollbackFigures last;              // the totals at the last rendered frame
    RollbackFigures atSecond;          // and at the start of the second being measured
    uint32_t secondStartMs = 0;
    uint32_t renderedInSecond = 0;
    double lastRollbacksPerSecond = 0.0;
    double lastAgainPerRendered = 0.0;
};
