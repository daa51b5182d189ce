#pragma once

// Records a match as it is played. The match calls beginFrame(ms) once per frame before the
// players run; every running player's actions then arrive through onActions (install it with
// SetActionObserver); finish(result) ends it. A recorder still installed when it finishes or
// is destroyed uninstalls itself, so the game never calls into a dead recorder.
//
// Given a file, the recorder writes to it as the match goes (see RecordingWriter): each frame
// once the next begins, and at the finish the closing line, with one line saying where the
// recording is.

#include "gameplay/action_source.hpp"
#include "match/recording.hpp"
#include "match/recording_writer.hpp"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class MatchRecorder : public ActionObserver {
  public:
    // With an empty path the recording is only kept here. A pace (frames a second) for a match
    // simulated in fixed frames, as online.
    MatchRecorder(uint32_t seed, std::map<std::string, std::string> settings, const std::string& path = {},
                  uint32_t pace = 0);
    ~MatchRecorder() override;
    MatchRecorder(const MatchRecorder&) = delete;
    MatchRecorder& operator=(const MatchRecorder&) = delete;

    void beginFrame(uint32_t milliseconds);
    // Actions that come before the first frame or after the finish, or from a player numbered
    // outside 1..4, belong to no frame and are dropped.
    void onActions(const Player& player, const PlayerActions& actions) override;
    // The podium's ranks, or none for a match left before it ended. Later frames and actions
    // are ignored.
    void finish(std::vector<int32_t> result);

    bool finished() const { return done; }
    const Recording& recording() const { return record; }

  private:
    Recording record;
    std::unique_ptr<RecordingWriter> file;
    bool done = false;
};
