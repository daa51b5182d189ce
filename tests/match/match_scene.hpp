#pragma once

// Whole matches on the real engine without a window: the match settings a quick start writes,
// the play state switched in, and frames of a manual clock with keys and pads fed through the
// input's test paths.

#include "engine/input_manager.hpp"
#include "gameplay/player.hpp"
#include "match/match_run.hpp"
#include "match/match_settings.hpp"
#include "match/play_game_state.hpp"
#include "match/quick_match.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/logic.hpp"
#include "objects/random.hpp"
#include "physics/rigid_body.hpp"
#include "tests/support/engine_harness.hpp"
#include "tests/support/key_events.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace match_test {

class MatchScene : public ::testing::Test {
  protected:
    void SetUp() override {
        harness.engine().stateFactory = [this](uint32_t id) -> GameState* {
            if (id == GameStateId::Play) {
                return new PlayGameState();
            }
            auto* blank = new RecordingState("S" + std::to_string(id), harness.log);
            // The match is asked for during a frame, as the menus do, so the blank state is
            // switched out and deleted at that frame's end.
            blank->onUpdate = [this] {
                if (wantMatch) {
                    wantMatch = false;
                    requestState(GameStateId::Play);
                }
            };
            return blank;
        };
        harness.step();   // a blank first state
        seedRandom(2026); // the same spawn draws and crates on every run
    }
    // Each case normally runs in a process of its own; this keeps a whole suite in one process
    // from carrying a case's fixed seed, replay or soak into the next.
    void TearDown() override { MatchRun::instance() = MatchRun{}; }

    // Writes the settings of a quick match and switches the match in, with the pads of players
    // 3 and 4 (pads 0 and 1) plugged in.
    void startMatch(int players = 2, int lives = 3, int seconds = 180, const std::string& map = "Meadow") {
        QuickMatch quick{map, players, lives, seconds};
        WriteQuickMatchSettings(quick);
        for (int n = 3; n <= players; ++n) {
            harness.pads.connect(static_cast<uint32_t>(n - 3), true);
        }
        startWithCurrentSettings();
    }
    void startWithCurrentSettings() {
        wantMatch = true;
        harness.step();
        harness.step();
        ASSERT_NE(match(), nullptr);
    }

    // Back to a blank state, from where the next match can start. The request is made during a
    // frame, as the game makes it, so the match is switched out and deleted at its end.
    void leaveMatch() {
        struct Leave : Logic {
            using Logic::Logic;
            void Update() override { requestState(GameStateId::MainMenu); }
        };
        GameObject* leaver = GameObjectList::instance().create("Leave");
        leaver->attach(new Leave("Leave", leaver));
        harness.step(17);
    }

    PlayGameState* match() { return dynamic_cast<PlayGameState*>(harness.engine().states->state); }
    bool inMainMenu() { return harness.engine().states->current == GameStateId::MainMenu; }
    Player* player(int n) { return match()->players[static_cast<size_t>(n - 1)]; }

    void run(int frames, uint32_t ms = 17) {
        for (int i = 0; i < frames; ++i) {
            harness.step(ms);
        }
    }
    // Frames until the match reaches a phase (or the frame budget runs out).
    bool runUntilPhase(uint32_t phase, int maxFrames = 2000, uint32_t ms = 17) {
        for (int i = 0; i < maxFrames && match() != nullptr; ++i) {
            if (match()->phase == phase) {
                return true;
            }
            harness.step(ms);
        }
        return match() != nullptr && match()->phase == phase;
    }
    // Through the fade-in and the "Go" sign.
    void runToPlay() { ASSERT_TRUE(runUntilPhase(MatchPhase::Playing, 400)); }
    // From the start of a match to its end by the clock, each player on the lives given.
    void endAtTimeUp(const std::vector<uint32_t>& lives) {
        runToPlay();
        for (size_t i = 0; i < lives.size(); ++i) {
            match()->players[i]->lives = lives[i];
        }
        match()->timeLeft = 0.01f;
        ASSERT_TRUE(runUntilPhase(MatchPhase::GameSet, 3));
    }
    // Player n is put on the bottom border, which takes a life, and the frames given run.
    void fall(int n, int frames = 20) {
        player(n)->tank.rigidBody->SetPosition(0.0f, -40.0f);
        run(frames);
    }

    static void key(sf::Keyboard::Key code, bool down) { QueueKey(code, down); }
    void tap(sf::Keyboard::Key code) { harness.tapKey(code, 17); }
    void padTap(uint32_t pad, uint16_t buttons) { harness.tapPad(pad, buttons, 17); }

    EngineHarness harness;
    bool wantMatch = false;
};

} // namespace match_test
