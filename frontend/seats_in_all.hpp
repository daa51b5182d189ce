#pragma once

// How many seats a hosted online match has in all: 2 to 4, and never fewer than the host's own
// seats; the rest are for friends. It starts one above the host's own seats where it can, so a
// friend has a seat without a change.

constexpr int kFewestOnlineSeats = 2;
constexpr int kMostOnlineSeats = 4;

class SeatsInAll {
  public:
    explicit SeatsInAll(int ownSeats = 1);
    // Left (-1) or right (+1): one fewer or one more, stopping at either end.
    void step(int by);
    int value() const { return seats; }
    int fewest() const;

  private:
    int own = 1;
    int seats = kFewestOnlineSeats;
};
