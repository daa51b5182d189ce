#include "match/sync_test.hpp"

#include "engine/control_scheme.hpp"
#include "engine/input_manager.hpp"
#include "gameplay/player.hpp"
#include "match/match_run.hpp"
#include "match/play_game_state.hpp"
#include "match/world_hash.hpp"

#include <algorithm>
#include <cstring>
#include <iostream>

// Stands in a seat's place: the first time a frame is simulated it asks the seat's own source
// (or reads the person's controls) and notes the answer; a frame simulated again gets the note.
struct SyncTest::SeatSource : public ActionSource {
    SeatSource(SyncTest& syncTest, int seatIndex, ActionSource* liveSource)
        : test(syncTest), seat(seatIndex), live(liveSource) {}
    PlayerActions actionsFor(const Player& player) override { return test.actionsFor(seat, player, live); }

    SyncTest& test;
    int seat;
    ActionSource* live;
};

SyncTest::SyncTest(int checkDistance)
    : distance(std::clamp(checkDistance, 1, kMaxCheckDistance)), saved(static_cast<size_t>(distance) + 2),
      notes(static_cast<size_t>(distance) + 2) {
    saved.keepLinkIds(true);
    saved.computersInside(true);
}

SyncTest::~SyncTest() = default;

namespace {

PlayGameState* runningMatch() {
    GameStateRecord* states = Engine::instance().states;
    return states != nullptr ? dynamic_cast<PlayGameState*>(states->state) : nullptr;
}

} // namespace

SyncTest::FrameNote& SyncTest::noteFor(uint32_t frameNumber) {
    return notes[frameNumber % notes.size()];
}

void SyncTest::beginFrame() {
    liveFrameDone = false;
}

bool SyncTest::frameReady() {
    if (againUntil == 0 && liveFrameDone) {
        return false;
    }
    simulating = frame + 1;
    return true;
}

// A new match (or the same state loaded again for the next one) starts the count afresh, with
// every seat's actions passing through the test.
void SyncTest::bind(PlayGameState& match) {
    bound = &match;
    saved.clear();
    frame = 0;
    simulating = 1;
    againUntil = 0;
    rollbackCount = 0;
    checkedCount = 0;
    for (int i = 0; i < 4; ++i) {
        auto slot = static_cast<size_t>(i);
        Player* player = i < match.playerCount ? match.players[slot] : nullptr;
        seats[slot].reset();
        if (player != nullptr) {
            seats[slot] = std::make_unique<SeatSource>(*this, i, player->actionSource);
            player->actionSource = seats[slot].get();
        }
    }
}

PlayerActions SyncTest::actionsFor(int seat, const Player& player, ActionSource* live) {
    FrameNote& note = noteFor(simulating);
    auto& actions = note.actions[static_cast<size_t>(seat)];
    if (againUntil != 0) {
        if (!actions) {
            fail("frame " + std::to_string(simulating) + ": player " + std::to_string(seat + 1) +
                 " acts when simulated again, and did not the first time");
            return {};
        }
        // A computer plays inside the simulation: put back with the frame, it is asked again and
        // must answer as the first time. A person's controls are read once, as rollback would.
        if (live != nullptr && !failed()) {
            const PlayerActions again = live->actionsFor(player);
            if (std::memcmp(&again, &*actions, sizeof again) != 0) {
                fail("frame " + std::to_string(simulating) + ": player " + std::to_string(seat + 1) +
                     "'s computer decides otherwise when simulated again");
            }
        }
        return *actions;
    }
    if (note.frame != simulating) {
        note = FrameNote{};
        note.frame = simulating;
    }
    actions =
        live != nullptr ? live->actionsFor(player) : readActions(player.controls, InputManager::instance());
    return *actions;
}

void SyncTest::fail(const std::string& why) {
    if (firstFailure.empty()) {
        firstFailure = why;
    }
}

void SyncTest::frameDone() {
    PlayGameState* match = runningMatch();
    if (match == nullptr) {
        liveFrameDone = true;
        bound = nullptr;
        return;
    }
    if (match != bound || match->matchFrames == 1) {
        // The match's first frame ran before its seats were taken over: it is its frame 1 all
        // the same, with nothing to check against yet.
        bind(*match);
    }
    frame = simulating;
    if (againUntil != 0) {
        checkAgain();
        return;
    }
    liveFrameDone = true;
    FrameNote& note = noteFor(frame);
    if (note.frame != frame) {
        note = FrameNote{};
        note.frame = frame;
    }
    note.hash = HashWorld();
    saved.saveFrame(frame);
    if (quitAtPodium && match->phase == MatchPhase::Podium) {
        std::cout << summary() << std::endl;
        MatchRun::instance().syncTestFailed = failed();
        requestState(GameStateId::Quit);
        return;
    }
    if (failed() || frame % static_cast<uint32_t>(distance) != 0 ||
        frame <= static_cast<uint32_t>(distance)) {
        return;
    }
    const uint32_t back = frame - static_cast<uint32_t>(distance);
    if (!saved.loadFrame(back)) {
        return;
    }
    ++rollbackCount;
    if (HashWorld() != noteFor(back).hash) {
        fail("frame " + std::to_string(back) +
             ": loaded, its world hash is not the one it was saved with (the hash covers something "
             "the saved frames leave out)");
    }
    againUntil = frame;
    frame = back;
}

void SyncTest::checkAgain() {
    ++checkedCount;
    const FrameNote& note = noteFor(frame);
    if (!failed()) {
        const bool hashDiffers = HashWorld() != note.hash;
        if (auto difference = saved.compareFrame(frame)) {
            fail(difference->describe() + " (simulated again after going back to frame " +
                 std::to_string(againUntil - static_cast<uint32_t>(distance)) + ")");
        } else if (hashDiffers) {
            fail("frame " + std::to_string(frame) +
                 ": simulated again, its world hash differs and no saved field does (the hash covers "
                 "something the saved frames leave out)");
        }
    }
    saved.saveFrame(frame);
    if (frame >= againUntil) {
        againUntil = 0;
    }
}

std::string SyncTest::summary() const {
    std::string line = "Sync test: " + std::to_string(frame) + " frames, " + std::to_string(rollbackCount) +
                       " rollbacks of " + std::to_string(distance) + " frames, " +
                       std::to_string(checkedCount) + " frames simulated again";
    return line +
           (failed() ? "; first difference at " + firstFailure : ", every one the same as the first time");
}
