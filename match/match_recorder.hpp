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

#include <cstddef>
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

    // number: the match's frame that begins, counted from 1, when it may be one recorded already
    // (an online match that goes back to simulate frames again): the frames from it on are
    // recorded anew, and a finish they came after is taken back. 0: the frame after the last.
    void beginFrame(uint32_t milliseconds, size_t number = 0);
    // Actions that come before the first frame or after the finish, or from a player numbered
    // outside 1..4, belong to no frame and are dropped.
    void onActions(const Player& player, const PlayerActions& actions) override;
    // The podium's ranks, or none for a match left before it ended. Later frames and actions
    // are ignored.
    void finish(std::vector<int32_t> result);
    // Online: frames are written only once final (simulated with the actions every machine has),
    // and a finish closes the file once every frame before it is.
    void holdUntilFinal() { finalFrames = 0; }
    // The frames before this one (counted from 0) are final.
    void framesFinal(size_t frames);
    // The match is left: whatever is held is written, and the file closed (with the result of a
    // finish, or none).
    void close();

    bool finished() const { return done; }
    const Recording& recording() const { return record; }

  private:
    // Writes the frames that are whole and final; closes the file after a finish once all are.
    void writeFinal();

    Recording record;
    std::unique_ptr<RecordingWriter> file;
    bool done = false;
    bool closed = false;
    size_t written = 0;
    size_t finalFrames = SIZE_MAX;
};
