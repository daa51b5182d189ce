// The online rematch in the real game on the in-memory network: this process hosts with one
// person at the left keyboard half, another machine only exchanges actions. After the first match
// the podium shows the host its rematch key, and the next match starts only once R is pressed,
// on the podium or on the waiting screen.
#include "frontend/waiting_screen.hpp"
#include "graphics/renderer.hpp"
#include "match/match_run.hpp"
#include "net/net_session.hpp"
#include "net/online_start.hpp"
#include "tests/match/online_scene.hpp"
#include "tests/support/memory_network.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

using namespace match_test;

namespace {

class OnlineRematch : public OnlineScene, public testing::WithParamInterface<bool> {
  protected:
    // Time passes on the network, on this machine (one rendered frame) and on the other.
    void tick(uint32_t ms = 17) {
        network->advance(ms);
        harness.step(ms);
        other->frame();
    }
    bool tickUntil(const std::function<bool()>& done, int frames = 3000) {
        for (int i = 0; i < frames && !done(); ++i) {
            tick();
        }
        return done();
    }
    void tapR() {
        QueueKey(sf::Keyboard::R, true);
        tick();
        QueueKey(sf::Keyboard::R, false);
        tick();
    }
    std::string podiumNotice() {
        auto* words = match()->onlineNotice->getComponent<TextRenderer>();
        return words != nullptr ? words->text : "";
    }
    bool waiting() { return harness.engine().states->current == GameStateId::OnlineWaiting; }

    std::unique_ptr<MemoryNetwork> network = std::make_unique<MemoryNetwork>(31, LinkShape{2, 20, 0.05});
    std::unique_ptr<SessionMachine> other;
};

} // namespace

TEST_P(OnlineRematch, TheHostsRematchKeyStartsTheNextMatch) {
    const bool onThePodium = GetParam();
    const SessionSetup hosting{.hosting = true, .map = "Meadow", .players = 2, .seconds = 8};
    NetSession& host = StartSession(hosting, network->listen("host"), kTestBuild);
    other =
        std::make_unique<SessionMachine>(*network, "friend", SessionSetup{.address = "host"}, kTestBuild, 41);
    other->worldOf = [&host](uint32_t frame) { return host.ownHash(frame); };
    harness.current()->onUpdate = [] { requestState(GameStateId::OnlineWaiting); };
    testing::internal::CaptureStdout();

    ASSERT_TRUE(tickUntil([&] { return match() != nullptr && match()->phase == MatchPhase::Podium; }, 20000));
    // (A wait for the other machine's actions would be said first.)
    EXPECT_TRUE(tickUntil([&] { return podiumNotice() == "R / Numpad 9 (pad Y): rematch"; }, 60))
        << podiumNotice();
    if (onThePodium) {
        tapR();
        EXPECT_TRUE(tickUntil([&] { return podiumNotice() == "Rematch asked"; }, 60)) << podiumNotice();
    }
    ASSERT_TRUE(tickUntil([&] { return waiting(); }));
    // The other machine's match ends where the host's did.
    other->matchFrames = host.lockstep()->nextFrame();
    if (!onThePodium) {
        tickUntil([&] { return host.matchNumber() > 1; }, 300); // longer than a countdown
        ASSERT_EQ(host.matchNumber(), 1) << "nobody asked";
        EXPECT_EQ(other->matchesEnded, 1);
        tapR();
    }
    ASSERT_TRUE(tickUntil([&] { return match() != nullptr && other->session.playing(); }, 600))
        << testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(host.matchNumber(), 2);
    ASSERT_TRUE(other->game.started);
    EXPECT_EQ(other->game.started->match, 2);
}

INSTANTIATE_TEST_SUITE_P(Online, OnlineRematch, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& param) {
                             return param.param ? "AskedOnThePodium" : "AskedOnTheWaitingScreen";
                         });
