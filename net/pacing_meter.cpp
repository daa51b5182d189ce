#include "net/pacing_meter.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

void PacingMeter::start(uint32_t nowMs) {
    *this = PacingMeter{};
    secondStartMs = nowMs;
}

void PacingMeter::rendered(uint32_t nowMs, const RollbackFigures& totals) {
    const uint32_t again = totals.framesAgain - std::min(totals.framesAgain, last.framesAgain);
    perRendered.push_back(
        static_cast<uint16_t>(std::min<uint32_t>(again, std::numeric_limits<uint16_t>::max())));
    last = totals;
    ++renderedInSecond;
    const uint32_t spent = nowMs - secondStartMs;
    if (spent >= 1000) {
        lastRollbacksPerSecond = (totals.rollbacks - atSecond.rollbacks) * 1000.0 / spent;
        lastAgainPerRendered =
            static_cast<double>(totals.framesAgain - atSecond.framesAgain) / std::max(1u, renderedInSecond);
        atSecond = totals;
        secondStartMs = nowMs;
        renderedInSecond = 0;
    }
}

uint32_t PacingMeter::framesAgainAt(double share) const {
    if (perRendered.empty()) {
        return 0;
    }
    std::vector<uint16_t> sorted = perRendered;
    const auto at =
        static_cast<size_t>(std::ceil(std::clamp(share, 0.0, 1.0) * static_cast<double>(sorted.size())));
    const size_t index = std::min(sorted.size() - 1, at > 0 ? at - 1 : 0);
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(index), sorted.end());
    return sorted[index];
}

std::string PacingMeter::line() const {
    char text[96];
    std::snprintf(text, sizeof text, "rollbacks %.1f/s, %.2f frames again per frame", lastRollbacksPerSecond,
                  lastAgainPerRendered);
    return text;
}
