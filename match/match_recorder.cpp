#include "match/match_recorder.hpp"

#include "gameplay/player.hpp"

#include <iostream>
#include <utility>

MatchRecorder::MatchRecorder(uint32_t seed, std::map<std::string, std::string> settings,
                             const std::string& path, uint32_t pace) {
    record.seed = seed;
    record.pace = pace;
    record.settings = std::move(settings);
    if (!path.empty()) {
        file = std::make_unique<RecordingWriter>(path);
        file->begin(record.seed, record.settings, record.pace);
    }
}

MatchRecorder::~MatchRecorder() {
    if (CurrentActionObserver() == this) {
        SetActionObserver(nullptr);
    }
}

void MatchRecorder::beginFrame(uint32_t milliseconds) {
    if (done) {
        return;
    }
    // The frame before is whole: every player who ran in it has been heard.
    if (file && !record.frames.empty()) {
        file->add(record.frames.back());
    }
    record.frames.push_back(RecordedFrame{milliseconds, {}});
}

void MatchRecorder::onActions(const Player& player, const PlayerActions& actions) {
    if (done || record.frames.empty() || player.playerNumber < 1 || player.playerNumber > kRecordingPlayers) {
        return;
    }
    record.frames.back().actions[player.playerNumber - 1] = PackActions(actions);
}

void MatchRecorder::finish(std::vector<int32_t> result) {
    if (done) {
        return;
    }
    record.result = std::move(result);
    done = true;
    if (CurrentActionObserver() == this) {
        SetActionObserver(nullptr);
    }
    if (!file) {
        return;
    }
    if (!record.frames.empty()) {
        file->add(record.frames.back());
    }
    if (file->finish(record.result)) {
        if (record.result.empty()) {
            std::cout << "The match was left before it ended; what was played of it is recorded in "
                      << file->target() << std::endl;
        } else {
            std::cout << "Recorded the match to " << file->target() << std::endl;
        }
    }
}
