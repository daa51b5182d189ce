#include "match/match_recorder.hpp"

#include "gameplay/player.hpp"

#include <algorithm>
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

void MatchRecorder::beginFrame(uint32_t milliseconds, size_t number) {
    if (number > 0 && number <= record.frames.size() && number > written && !closed) {
        // Simulated again: what was recorded from this frame on came from a guess.
        record.frames.resize(number - 1);
        if (done) {
            done = false;
            record.result.clear();
            SetActionObserver(this);
        }
    }
    if (done) {
        return;
    }
    record.frames.push_back(RecordedFrame{milliseconds, {}});
    // The frame before is whole: every player who ran in it has been heard.
    writeFinal();
}

void MatchRecorder::onActions(const Player& player, const PlayerActions& actions) {
    if (done || record.frames.empty() || player.playerNumber < 1 || player.playerNumber > kRecordingPlayers) {
        return;
    }
    record.frames.back().actions[player.playerNumber - 1] = PackActions(actions);
}

void MatchRecorder::framesFinal(size_t frames) {
    finalFrames = std::max(finalFrames == SIZE_MAX ? 0 : finalFrames, frames);
    writeFinal();
}

void MatchRecorder::writeFinal() {
    // The newest frame is whole only once the match has finished.
    const size_t whole =
        done ? record.frames.size() : record.frames.size() - std::min<size_t>(1, record.frames.size());
    const size_t upTo = std::min(whole, finalFrames);
    for (; written < upTo; ++written) {
        if (file) {
            file->add(record.frames[written]);
        }
    }
    if (done && !closed && written == record.frames.size()) {
        close();
    }
}

void MatchRecorder::finish(std::vector<int32_t> result) {
    if (done || closed) {
        return;
    }
    record.result = std::move(result);
    done = true;
    if (CurrentActionObserver() == this) {
        SetActionObserver(nullptr);
    }
    writeFinal();
}

void MatchRecorder::close() {
    if (closed) {
        return;
    }
    if (!done) {
        record.result.clear();
        done = true;
    }
    if (CurrentActionObserver() == this) {
        SetActionObserver(nullptr);
    }
    closed = true;
    if (!file) {
        return;
    }
    for (; written < record.frames.size(); ++written) {
        file->add(record.frames[written]);
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
