#pragma once

// A match scene whose engine also makes the online waiting screen: for tests that play the real
// game online, over the in-memory network. Online play is stopped after each case.
#include "frontend/waiting_screen.hpp"
#include "net/online_start.hpp"
#include "tests/match/match_scene.hpp"

namespace match_test {

class OnlineScene : public MatchScene {
  protected:
    void SetUp() override {
        MatchScene::SetUp();
        auto blankOrMatch = harness.engine().stateFactory;
        harness.engine().stateFactory = [blankOrMatch](uint32_t id) -> GameState* {
            return id == GameStateId::OnlineWaiting ? new WaitingScreenState() : blankOrMatch(id);
        };
    }
    void TearDown() override {
        StopOnline();
        MatchScene::TearDown();
        harness.engine().pacer = nullptr;
    }
};

} // namespace match_test
