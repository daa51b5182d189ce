#include "match/pad_seats.hpp"

#include <algorithm>
#include <string>

void PadSeats::Seat(const std::vector<uint32_t>& pads, const std::array<bool, kMaxPads>& connected) {
    seats.clear();
    for (uint32_t pad : pads) {
        seats.push_back({pad, false});
    }
    // A spare pad already lying there has not just come, so it takes no seat by being there;
    // a seat whose own pad is not among them is told lost on the first frame.
    before = connected;
}

PadSeats::Changes PadSeats::Follow(const std::array<bool, kMaxPads>& connected) {
    Changes changes;
    for (size_t i = 0; i < seats.size(); ++i) {
        SeatPad& seat = seats[i];
        if (seat.pad >= kMaxPads) {
            continue;
        }
        if (connected[seat.pad]) {
            if (seat.missing) {
                changes.took.emplace_back(static_cast<int>(i), seat.pad);
            }
            seat.missing = false;
        } else if (!seat.missing) {
            seat.missing = true;
            changes.lost.push_back(static_cast<int>(i));
        }
    }
    // A pad that has just come and belongs to no seat goes to the first seat still missing.
    for (uint32_t pad = 0; pad < kMaxPads; ++pad) {
        const bool owned =
            std::any_of(seats.begin(), seats.end(), [pad](const SeatPad& seat) { return seat.pad == pad; });
        if (!connected[pad] || before[pad] || owned) {
            continue;
        }
        auto waiting =
            std::find_if(seats.begin(), seats.end(), [](const SeatPad& seat) { return seat.missing; });
        if (waiting != seats.end()) {
            *waiting = {pad, false};
            changes.took.emplace_back(static_cast<int>(waiting - seats.begin()), pad);
        }
    }
    before = connected;
    return changes;
}

void PadSeats::Leave(int seat) {
    if (seat >= 0 && static_cast<size_t>(seat) < seats.size()) {
        seats[static_cast<size_t>(seat)] = {kMaxPads, false};
    }
}

bool PadSeats::Missing(int seat) const {
    return seat >= 0 && static_cast<size_t>(seat) < seats.size() && seats[static_cast<size_t>(seat)].missing;
}

bool PadSeats::AnyMissing() const {
    return std::any_of(seats.begin(), seats.end(), [](const SeatPad& seat) { return seat.missing; });
}

std::string PadSeats::MissingText() const {
    std::vector<std::string> numbers;
    for (size_t i = 0; i < seats.size(); ++i) {
        if (seats[i].missing) {
            numbers.push_back(std::to_string(i + 1));
        }
    }
    if (numbers.empty()) {
        return "";
    }
    if (numbers.size() == 1) {
        return "Player " + numbers[0] + "'s pad is missing";
    }
    std::string list = numbers[0];
    for (size_t i = 1; i < numbers.size(); ++i) {
        list += (i + 1 == numbers.size() ? " and " : ", ") + numbers[i];
    }
    return "Players " + list + ": pads missing";
}
