// The real game behind an online session, going back to simulate frames again: the bursts of
// particles a frame simulated again causes came with its first simulation, so it makes none;
// the frames past every frame simulated so far make their own, and so does every frame once the
// match is left, even mid-correction.
#include "graphics/particle_emitter.hpp"
#include "graphics/particle_pool.hpp"
#include "net/game_side.hpp"
#include "net/net_session.hpp"
#include "net/online_start.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "tests/match/online_scene.hpp"
#include "tests/support/memory_network.hpp"

#include <gtest/gtest.h>

#include <memory>

using namespace match_test;

namespace {

class GameSideAgain : public OnlineScene {
  protected:
    // How many particles a burst of the emitter made in one 16 ms frame.
    size_t burst() {
        FrameTimer::instance().dt = 0.016f;
        FrameTimer::instance().timeScale = 1.0f;
        const size_t before = ParticlePool::instance().aliveCount();
        emitter->Update();
        return ParticlePool::instance().aliveCount() - before;
    }

    std::unique_ptr<MemoryNetwork> network = std::make_unique<MemoryNetwork>(31, LinkShape{2, 20, 0.0});
    std::unique_ptr<SessionMachine> other;
    ParticleEmitter* emitter = nullptr;
};

} // namespace

TEST_F(GameSideAgain, FramesSimulatedAgainBurstNoParticles) {
    NetSession& host =
        StartSession(SessionSetup{.hosting = true, .map = "Meadow", .players = 2, .seconds = 8},
                     network->listen("host"), kTestBuild);
    other =
        std::make_unique<SessionMachine>(*network, "friend", SessionSetup{.address = "host"}, kTestBuild, 41);
    other->worldOf = [&host](uint32_t frame) { return host.ownHash(frame); };
    harness.current()->onUpdate = [] { requestState(GameStateId::OnlineWaiting); };
    testing::internal::CaptureStdout();
    for (int i = 0; i < 3000 && !(match() != nullptr && host.pacer() != nullptr); ++i) {
        network->advance(17);
        harness.step(17);
        other->frame();
    }
    testing::internal::GetCapturedStdout();
    ASSERT_NE(match(), nullptr);
    ASSERT_NE(host.pacer(), nullptr);
    ASSERT_GT(host.pacer()->scheduler().rollbackWindow(), 0u) << "the default is to roll back";

    GameObject* object = GameObjectList::instance().create("Emitter");
    emitter = object->attach(new ParticleEmitter(object));
    emitter->rate = 1000;
    emitter->duration = 100;
    emitter->start();

    // A side of this test's own, on the match the session is playing.
    GameSide side;
    side.setSession(&host);
    for (uint32_t frame = 500; frame < 503; ++frame) {
        side.saveFrame(frame);
        EXPECT_EQ(burst(), 16u) << "frame " << frame << ", simulated the first time";
    }
    ASSERT_TRUE(side.loadFrame(500));
    for (uint32_t frame = 500; frame < 503; ++frame) {
        side.saveFrame(frame);
        EXPECT_EQ(burst(), 0u) << "frame " << frame << ", simulated again";
    }
    side.saveFrame(503);
    EXPECT_EQ(burst(), 16u) << "past every frame simulated so far";
    side.framesFinal(504);

    // Gone back again, and the match left before the present is reached.
    ASSERT_TRUE(side.loadFrame(502));
    side.saveFrame(502);
    ASSERT_EQ(burst(), 0u);
    side.leaveMatch(false);
    EXPECT_EQ(burst(), 16u) << "nothing is held once the match is left";
}
