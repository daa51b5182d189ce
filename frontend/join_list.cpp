#include "frontend/join_list.hpp"

#include <algorithm>

std::string JoinRowText(const FoundGame& game) {
    const DiscoveryAnswer& a = game.answer;
    std::string text = a.hostName + "  " + a.map + "  " + std::to_string(a.freeSeats) + "/" +
                       std::to_string(a.seats) + " free  " + std::to_string(game.roundTripMs) + " ms";
    if (!game.sameBuild) {
        text += "  another version";
    }
    return text;
}

void JoinList::refresh(const std::vector<FoundGame>& games) {
    // The game under the highlight is followed by its address; the address row stays the last.
    const bool wasOnAddress = shown.empty() || onAddressRow();
    const std::string was = wasOnAddress ? std::string() : shown[selection].address;
    const size_t oldSelection = selection;
    shown.clear();
    for (const FoundGame& game : games) {
        JoinRow row;
        row.text = JoinRowText(game);
        row.address = game.address;
        row.joinable = game.sameBuild && game.answer.freeSeats > 0;
        row.greyed = !row.joinable;
        shown.push_back(row);
    }
    shown.push_back({kEnterAddressRow, "", true, false});
    selection = shown.size() - 1;
    if (wasOnAddress) {
        return;
    }
    for (size_t i = 0; i + 1 < shown.size(); ++i) {
        if (shown[i].address == was) {
            selection = i;
            return;
        }
    }
    // The game went: the highlight keeps its place, on the row that moved up into it.
    selection = std::min(oldSelection, shown.size() - 1);
}

void JoinList::move(int step) {
    const size_t n = shown.size();
    selection = step < 0 ? (selection + n - 1) % n : (selection + 1) % n;
}
