#include "net/time_sync.hpp"

#include <algorithm>
#include <limits>

std::optional<int> TimeSync::advantageOver(const Lockstep& table, uint8_t machine, uint32_t nextFrame) {
    std::optional<int> advantage;
    for (int seat = 0; seat < table.seats(); ++seat) {
        if (table.owner(seat) != machine || table.known(seat) <= table.delay()) {
            continue; // nothing heard of it past the idle frames
        }
        const int64_t theirs = static_cast<int64_t>(table.known(seat)) - table.delay();
        const int mine =
            static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(nextFrame) - theirs, -100, 100));
        advantage = advantage ? std::max(*advantage, mine) : mine;
    }
    return advantage;
}

void TimeSync::measure(uint8_t machine, int local, int remote) {
    if (machine > kMaxClients) {
        return;
    }
    std::optional<Measures>& m = machines[machine];
    if (!m) {
        m.emplace();
    }
    m->ahead[static_cast<size_t>(m->cursor)] = local - remote;
    m->cursor = (m->cursor + 1) % kAdvantageMeasures;
    m->count = std::min(m->count + 1, kAdvantageMeasures);
}

void TimeSync::forget(uint8_t machine) {
    if (machine <= kMaxClients) {
        machines[machine].reset();
    }
}

double TimeSync::framesAhead() const {
    double least = std::numeric_limits<double>::infinity();
    bool any = false;
    for (const std::optional<Measures>& m : machines) {
        if (!m || m->count == 0) {
            continue;
        }
        int sum = 0;
        for (int i = 0; i < m->count; ++i) {
            sum += m->ahead[static_cast<size_t>(i)];
        }
        // Half the difference of the two sides: the link's time cancels out.
        least = std::min(least, static_cast<double>(sum) / m->count / 2.0);
        any = true;
    }
    return any ? least : 0.0;
}
