// An online match of the real game on the in-memory network. This process hosts it, its engine
// headless and rendering at an uneven pace (now and then a long frame it must catch up after);
// two more machines only exchange actions, their seats pressing at random. The host plays
// its match to the podium through every delay, loss and reordering, recording it, and its
// recording plays back on one machine to the same frame, the same world and the same ranks. Once,
// one of the other machines dies mid-match and the host's computer plays its seat on.
#include "frontend/waiting_screen.hpp"
#include "match/choice_tables.hpp"
#include "match/match_run.hpp"
#include "match/recording.hpp"
#include "net/net_session.hpp"
#include "net/online_start.hpp"
#include "objects/game_object_list.hpp"
#include "objects/logic.hpp"
#include "tests/match/online_scene.hpp"
#include "tests/support/memory_network.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <unistd.h>
#include <utility>

using namespace match_test;

namespace {

struct Setting {
    const char* name;
    int machines;
    LinkShape shape;
    bool oneDies;
    bool teams = false; // the host's match is red against blue
};

void PrintTo(const Setting& setting, std::ostream* out) {
    *out << setting.name;
}

class OnlineMatch : public OnlineScene, public testing::WithParamInterface<Setting> {
  protected:
    void TearDown() override {
        OnlineScene::TearDown();
        std::remove(path.c_str());
    }

    // Time passes on the network, on this machine (one rendered frame) and on the others.
    void tick(uint32_t ms) {
        network->advance(ms);
        harness.step(ms);
        for (auto& other : others) {
            other->frame();
        }
    }

    // Made by the test; they outlive the session of this run, which StopOnline ends in TearDown.
    std::unique_ptr<MemoryNetwork> network;
    std::vector<std::unique_ptr<SessionMachine>> others;
    const std::string path = testing::TempDir() + "grumbo-online-" + std::to_string(getpid()) + ".rec";
};

} // namespace

TEST_P(OnlineMatch, EndsAsAMatchOnOneMachineFedTheAgreedActions) {
    const Setting& given = GetParam();
    network = std::make_unique<MemoryNetwork>(11, given.shape);
    // A person, who presses nothing, and a computer.
    const SessionSetup hosting{.hosting = true,
                               .seats = 2,
                               .computers = 1,
                               .map = "Meadow",
                               .players = given.machines + 1,
                               .seconds = 15,
                               .teams = Teams{given.teams, false, AlternateTeams()}};
    RecordMatches(path, true); // as --record with --host
    NetSession& host = StartSession(hosting, network->listen("host"), kTestBuild);
    for (int m = 1; m < given.machines; ++m) {
        // The first dressed its seat in its player selection; the others chose nothing.
        SessionSetup joining{.address = "host"};
        if (m == 1) {
            joining.chosen = {{{false, 1, {3, 3, 2}}, {}, {}, {}}};
        }
        others.push_back(std::make_unique<SessionMachine>(*network, "machine " + std::to_string(m), joining,
                                                          kTestBuild, 50 + m));
        // Without a world of their own, they tell the host its own hashes back, as agreeing
        // machines would.
        others.back()->worldOf = [&host](uint32_t frame) { return host.ownHash(frame); };
    }
    // Asked for during a frame, as the game asks for its states.
    harness.current()->onUpdate = [] { requestState(GameStateId::OnlineWaiting); };

    std::mt19937 pace(5);
    testing::internal::CaptureStdout();
    for (int step = 0; step < 20000 && !(match() != nullptr && match()->phase == MatchPhase::FadeOut);
         ++step) {
        tick(step % 97 == 50 ? 300 : std::uniform_int_distribution<uint32_t>(5, 40)(pace));
        if (given.oneDies && others.size() == 2 && host.lockstep() != nullptr &&
            host.lockstep()->nextFrame() > 600) {
            network->kill("machine 2");
            others.pop_back();
        }
    }
    const std::string said = testing::internal::GetCapturedStdout();
    ASSERT_NE(match(), nullptr) << said;
    ASSERT_EQ(match()->phase, MatchPhase::FadeOut) << said;
    // Every machine dresses each seat as its own machine chose: the host's seats and any other
    // take the look their number starts on.
    MatchSettings& settings = MatchSettings::instance();
    EXPECT_EQ(settings.get("PlayerFace3") + " " + settings.get("PlayerTurret3") + " " +
                  settings.get("PlayerTrack3"),
              "FaceSprite_Kibbit BarrelSprite_Sniper TrackSprite_Pexie");
    EXPECT_EQ(settings.get("PlayerFace2"), kFaceChoices[1].setting);
    if (given.oneDies) {
        EXPECT_NE(
            said.find(
                "Machine 2 (machine 2) has not been heard from for 3 s; computers play its seats from frame"),
            std::string::npos)
            << said;
    }
    if (given.teams) {
        // Every machine was told the sides, and the host's match plays them.
        for (const auto& other : others) {
            ASSERT_TRUE(other->game.started.has_value());
            EXPECT_EQ(other->game.started->teams, hosting.teams);
        }
        EXPECT_EQ(Teams::current(), hosting.teams);
        EXPECT_EQ(settings.get("PlayerTeam2"), "Blue");
    }
    EXPECT_EQ(host.faults().total(), 0);
    EXPECT_EQ(said.find("leaves the match"), std::string::npos) << "every machine agreed all along\n" << said;

    // Back on the waiting screen, the host leaves (during a frame, as Escape would have it).
    for (int step = 0; step < 200 && harness.engine().states->current != GameStateId::OnlineWaiting; ++step) {
        tick(17);
    }
    ASSERT_EQ(harness.engine().states->current, GameStateId::OnlineWaiting);
    GameObject* leaver = GameObjectList::instance().create("Leave");
    struct Leave : Logic {
        using Logic::Logic;
        void Update() override { OnlineSession()->leave(); }
    };
    leaver->attach(new Leave("Leave", leaver));
    run(2);
    ASSERT_EQ(harness.engine().states->current, GameStateId::MainMenu);
    StopOnline();
    ASSERT_FALSE(MatchRun::instance().online);
    ASSERT_NE(said.find("Recorded the match to " + path), std::string::npos) << said;

    // The recording played back on one machine, as --replay plays it, ends on the online match's
    // frame and world, with its ranks.
    const size_t over = said.find("Online match over: frame ");
    ASSERT_NE(over, std::string::npos) << said;
    const std::string end = said.substr(over, said.find('\n', over) - over);
    const std::string frameAndHash = end.substr(std::strlen("Online match over: "), end.find(", ranks") - 19);
    MatchRun::instance().recordPath.clear();
    ASSERT_TRUE(ReplayMatch(path, {"Meadow"}));
    testing::internal::CaptureStdout();
    startWithCurrentSettings();
    for (int frame = 0; frame < 5000 && harness.engine().states->next != GameStateId::Quit; ++frame) {
        run(1, 7);
    }
    const std::string replayed = testing::internal::GetCapturedStdout();
    EXPECT_NE(replayed.find("ends on the recorded result (" + frameAndHash + ")"), std::string::npos)
        << end << "\n"
        << replayed;
}

INSTANTIATE_TEST_SUITE_P(
    Online, OnlineMatch,
    // Three machines take every way two do, and the host relays each client to the other.
    testing::Values(Setting{"ThreeMachinesLossy", 3, {10, 80, 0.1}, false},
                    Setting{"OneOfThreeDies", 3, {5, 40, 0.05}, true},
                    Setting{"ThreeMachinesInTeams", 3, {5, 40, 0.05}, false, true}),
    [](const testing::TestParamInfo<Setting>& param) { return std::string(param.param.name); });
