#pragma once

// The sync test, as GGPO has one: a match simulated in fixed frames of 1/60 s that rolls itself
// back every checkDistance frames. After each frame it saves the world and notes the world hash;
// every checkDistance frames it loads the frame checkDistance back and simulates those frames
// again with the same actions (every seat's, as its computer or its person chose them the first
// time), and compares each frame simulated again with the first: its world hash and every field
// of its saved state. The first frame that differs is named with the first object and field that
// differ, and the test stops checking (the match plays on). It finds what the saved frames forget
// and whatever makes a frame come out differently the second time, on one machine, before any
// network is involved. A match that passes plays exactly as it does without the test.

#include "engine/engine.hpp"
#include "gameplay/action_source.hpp"
#include "match/saved_frames.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class PlayGameState;

class SyncTest : public FramePacer {
  public:
    static constexpr int kMaxCheckDistance = 60;

    // checkDistance is clamped to 1..kMaxCheckDistance.
    explicit SyncTest(int checkDistance);
    ~SyncTest() override;

    void beginFrame() override;
    bool frameReady() override;
    void frameDone() override;
    void endFrame() override {}
    float frameSeconds() const override { return 1.0f / 60.0f; }

    // The first frame simulated again that came out differently, in words; empty while none has.
    const std::string& failure() const { return firstFailure; }
    bool failed() const { return !firstFailure.empty(); }
    // Frames simulated the first time, rollbacks made and frames simulated again, in this match.
    uint32_t frames() const { return frame; }
    uint32_t rollbacks() const { return rollbackCount; }
    uint32_t framesChecked() const { return checkedCount; }
    // One line on the match so far: what was checked and how it came out.
    std::string summary() const;
    // Ends the game at the match's podium, saying the summary (--sync-test); a difference makes
    // the exit status 1.
    bool quitAtPodium = false;

    // Called back by the seats' action sources while a frame is simulated.
    PlayerActions actionsFor(int seat, const Player& player, ActionSource* live);

  private:
    struct SeatSource;
    // What the first simulation of a frame found: its hash and every seat's actions.
    struct FrameNote {
        uint32_t frame = 0;
        uint64_t hash = 0;
        std::array<std::optional<PlayerActions>, 4> actions;
    };

    void bind(PlayGameState& match);
    FrameNote& noteFor(uint32_t frameNumber);
    void fail(const std::string& why);
    void checkAgain();

    int distance;
    SavedFrames saved;
    std::vector<FrameNote> notes; // a ring, by frame
    std::array<std::unique_ptr<SeatSource>, 4> seats;
    PlayGameState* bound = nullptr;
    uint32_t frame = 0;      // the last frame simulated
    uint32_t simulating = 0; // the frame being simulated
    uint32_t againUntil = 0; // while simulating frames again: the last of them
    bool liveFrameDone = false;
    uint32_t rollbackCount = 0;
    uint32_t checkedCount = 0;
    std::string firstFailure;
};
