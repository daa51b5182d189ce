#include "match/replay_source.hpp"

#include "gameplay/player.hpp"

#include <utility>

ReplaySource::ReplaySource(Recording played) : record(std::move(played)) {}

bool ReplaySource::beginFrame() {
    if (next >= record.frames.size()) {
        inFrame = false;
        return false;
    }
    ++next;
    inFrame = true;
    return true;
}

PlayerActions ReplaySource::actionsFor(const Player& player) {
    if (!inFrame || player.playerNumber < 1 || player.playerNumber > kRecordingPlayers) {
        return {};
    }
    return UnpackActions(record.frames[next - 1].actions[player.playerNumber - 1]);
}

uint32_t ReplaySource::nextMilliseconds() const {
    return finished() ? 0 : record.frames[next].milliseconds;
}
