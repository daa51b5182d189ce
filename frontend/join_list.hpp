#pragma once

// The join screen's list: one row for each game found on the local network, then "Enter an
// address". Games of another build are greyed and cannot be chosen, and so are full ones. The
// list is read from the finder again once a second; the highlight stays on the game it was on.

#include "net/lan_discovery.hpp"

#include <cstddef>
#include <string>
#include <vector>

struct JoinRow {
    std::string text;    // as the screen shows it
    std::string address; // "ADDRESS:PORT" to join; "" on the address row
    bool joinable = false;
    bool greyed = false; // another version, or no seat free
};

constexpr const char* kEnterAddressRow = "Enter an address";

class JoinList {
  public:
    JoinList() { refresh({}); }
    // The games as found now, in the finder's order, then the address row.
    void refresh(const std::vector<FoundGame>& games);
    // Up (-1) or down (+1) one row, coming round at either end.
    void move(int step);
    const std::vector<JoinRow>& rows() const { return shown; }
    size_t selected() const { return selection; }
    const JoinRow& current() const { return shown[selection]; }
    bool onAddressRow() const { return selection + 1 == shown.size(); }

  private:
    std::vector<JoinRow> shown;
    size_t selection = 0;
};

// A found game as its row says it: "HOST  MAP  FREE/SEATS free  RTT ms", and "another version"
// for another build.
std::string JoinRowText(const FoundGame& game);
