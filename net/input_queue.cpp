#include "net/input_queue.hpp"

#include <algorithm>

InputQueue::InputQueue(const Lockstep& known) : table(known) {}

uint16_t InputQueue::actions(int seat, uint32_t frame) {
    const uint32_t known = table.known(seat);
    if (frame < known) {
        return table.actions(seat, frame);
    }
    const uint16_t guess = known > 0 ? table.actions(seat, known - 1) : uint16_t{0};
    std::deque<Guess>& noted = guesses[static_cast<size_t>(seat)];
    while (!noted.empty() && noted.back().frame >= frame) {
        noted.pop_back(); // the same frame asked again: the newest guess stands
    }
    noted.push_back({frame, guess});
    return guess;
}

uint32_t InputQueue::confirmed() const {
    uint32_t frames = UINT32_MAX;
    for (int seat = 0; seat < table.seats(); ++seat) {
        frames = std::min(frames, table.known(seat));
    }
    return table.seats() > 0 ? frames : 0;
}

std::optional<uint32_t> InputQueue::firstMisprediction() {
    std::optional<uint32_t> first;
    for (int seat = 0; seat < table.seats(); ++seat) {
        std::deque<Guess>& noted = guesses[static_cast<size_t>(seat)];
        const uint32_t known = table.known(seat);
        while (!noted.empty() && noted.front().frame < known) {
            const Guess guess = noted.front();
            noted.pop_front();
            if (table.actions(seat, guess.frame) != guess.bits && (!first || guess.frame < *first)) {
                first = guess.frame;
            }
        }
    }
    return first;
}

void InputQueue::forgetFrom(uint32_t frame) {
    for (std::deque<Guess>& noted : guesses) {
        while (!noted.empty() && noted.back().frame >= frame) {
            noted.pop_back();
        }
    }
}
