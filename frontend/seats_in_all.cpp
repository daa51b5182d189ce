#include "frontend/seats_in_all.hpp"

#include <algorithm>

SeatsInAll::SeatsInAll(int ownSeats) : own(std::clamp(ownSeats, 1, kMostOnlineSeats)) {
    seats = std::clamp(own + 1, fewest(), kMostOnlineSeats);
}

int SeatsInAll::fewest() const {
    return std::max(kFewestOnlineSeats, own);
}

void SeatsInAll::step(int by) {
    seats = std::clamp(seats + (by < 0 ? -1 : 1), fewest(), kMostOnlineSeats);
}
