// Player selection on the real engine without a window: players joining with a keyboard half or
// a pad, choosing, readying, the start and back checks, and what reaches the match settings.

#include "engine/input_manager.hpp"
#include "frontend/level_select.hpp"
#include "frontend/menu_controller.hpp"
#include "frontend/player_panel.hpp"
#include "graphics/renderer.hpp"
#include "match/match_settings.hpp"
#include "objects/game_object_list.hpp"
#include "tests/support/engine_harness.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>

namespace {

using Key = sf::Keyboard;

class PlayerPanelScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        harness.step(); // a blank state to build the screen in
        const vec3 places[4] = {{-12, 8, 1}, {12, 8, 1}, {-12, -5.5f, 1}, {12, -5.5f, 1}};
        for (size_t i = 0; i < 4; ++i) {
            menu.panels[i] = BuildPlayerPanel(places[i], "Player" + std::to_string(i + 1), &menu);
        }
        enter();
        // The menu joins players before the panels' own updates, as it does every frame.
        harness.current()->onUpdate = [this] { JoinPlayers(menu); };
    }
    void TearDown() override { GameObjectList::instance().destroyAll(); }

    // The screen as the menu opens it, once its fade-in has finished.
    void enter() {
        EnterPlayerSelect(menu);
        menu.joinLocked = false;
    }
    // Down for one frame, then up for one.
    void tap(Key::Key code) {
        sf::Event e{};
        e.type = sf::Event::KeyPressed;
        e.key.code = code;
        InputManager::instance().queueEvent(e);
        harness.step();
        e.type = sf::Event::KeyReleased;
        InputManager::instance().queueEvent(e);
        harness.step();
    }
    void padTap(uint32_t pad, uint16_t buttons) {
        harness.pads.connect(pad, true);
        harness.pads.setButtons(pad, buttons);
        harness.step();
        harness.pads.setButtons(pad, 0);
        harness.step();
    }

    PlayerPanel& panel(int n) { return *menu.panels[static_cast<size_t>(n - 1)]; }
    static std::string picture(GameObject* o) { return o->getComponent<SpriteRenderer>()->textureName; }
    static std::string text(GameObject* o) { return o->getComponent<TextRenderer>()->text; }
    static float highlightY(PlayerPanel& p) { return p.ui.backPanel->transform.position.y; }

    EngineHarness harness;
    MenuController menu;
};

TEST_F(PlayerPanelScreen, PlayersJoinOneAFrameInJoiningOrderAndOpenAtOnce) {
    menu.joinLocked = true; // the fade-in still runs
    tap(Key::T);
    EXPECT_EQ(menu.joinedCount, 0u);
    menu.joinLocked = false;

    // T and pad 1's A in the same frame: the left keyboard half takes panel 1, the pad waits.
    harness.pads.connect(0, true);
    harness.pads.setButtons(0, kPadA);
    tap(Key::T);
    EXPECT_EQ(menu.joinedCount, 1u);
    EXPECT_EQ(panel(1).controlScheme, 4);
    EXPECT_EQ(panel(1).row, PanelRow::Face); // the joining press was its confirm too
    EXPECT_FALSE(panel(1).ui.startText->active);
    EXPECT_TRUE(panel(1).ui.face->active);
    EXPECT_FALSE(panel(1).ui.setSelection->active);

    padTap(0, 0);
    padTap(0, kPadA);
    padTap(0, kPadA); // a pad joins once a visit
    EXPECT_EQ(menu.joinedCount, 2u);
    EXPECT_EQ(picture(panel(2).ui.schemeIcon), "ControlSchemeGamepad1");
    padTap(2, kPadA);
    tap(Key::Numpad8);
    EXPECT_EQ(picture(panel(3).ui.schemeIcon), "ControlSchemeGamepad3");
    EXPECT_EQ(panel(4).controlScheme, 5);
    EXPECT_EQ(picture(panel(4).ui.schemeIcon), "ControlSchemeKeyboardRight");
}

TEST_F(PlayerPanelScreen, ChoicesWrapAndRowsGoRound) {
    tap(Key::T); // panel 1: face 0, turret 0, track 1
    PlayerPanel& p = panel(1);
    tap(Key::A);
    EXPECT_EQ(picture(p.ui.faceFull), "KibbitFull");
    tap(Key::D);
    EXPECT_EQ(p.faceIndex, 0);

    tap(Key::S);
    EXPECT_FLOAT_EQ(highlightY(p), 0.02f);
    tap(Key::A);
    EXPECT_EQ(picture(p.ui.turret), "BarrelSprite_Sniper");
    EXPECT_EQ(text(p.ui.statsValues[3]), "straight line   ");

    tap(Key::S); // the track row brings up the track's stats at once
    EXPECT_FLOAT_EQ(highlightY(p), -0.28f);
    EXPECT_EQ(text(p.ui.statsLabels[3]), "TOUGHNESS: ");
    EXPECT_EQ(text(p.ui.statsValues[0]), "Jumpy");
    for (int i = 0; i < 4; ++i) {
        tap(Key::D);
    }
    EXPECT_EQ(picture(p.ui.trackFull), "TrackSprite_Rainbow"); // right from the last track
    tap(Key::A);
    EXPECT_EQ(p.trackIndex, 4);

    tap(Key::S);
    EXPECT_FLOAT_EQ(highlightY(p), 0.32f);
    tap(Key::W);
    tap(Key::W);
    EXPECT_EQ(p.row, PanelRow::Turret);
    EXPECT_EQ(text(p.ui.statsValues[0]), "Sniper");
}

TEST_F(PlayerPanelScreen, ReadyingCountsEveryConfirmAndTheStartWantsFirstAndLastReady) {
    padTap(1, kPadA); // pad 2 on panel 1
    tap(Key::Numpad8);
    padTap(0, kPadDpadRight); // not panel 1's pad
    tap(Key::D);              // nor a key of either panel
    EXPECT_EQ(panel(1).faceIndex, 0);
    EXPECT_EQ(panel(2).faceIndex, 1);

    padTap(1, kPadA);
    EXPECT_EQ(CheckStart(menu), PanelsOutcome::Stay);
    padTap(1, kPadDpadRight); // locked while ready
    EXPECT_EQ(panel(1).faceIndex, 0);
    padTap(1, kPadA);
    padTap(1, kPadX);
    EXPECT_EQ(panel(1).row, PanelRow::Face);
    EXPECT_FALSE(panel(1).ui.setSelection->active);
    EXPECT_EQ(menu.readyCount, 2u); // cancel gives nothing back
    tap(Key::Numpad8);
    EXPECT_EQ(CheckStart(menu), PanelsOutcome::Stay); // panel 1 no longer ready
    padTap(1, kPadA);
    EXPECT_EQ(CheckStart(menu), PanelsOutcome::Start);

    auto check = [&](std::initializer_list<int> ready, uint32_t joined, uint32_t count) {
        for (int n = 1; n <= 4; ++n) {
            panel(n).row = std::count(ready.begin(), ready.end(), n) ? PanelRow::Ready : PanelRow::Face;
        }
        menu.joinedCount = joined;
        menu.readyCount = count;
        return CheckStart(menu);
    };
    EXPECT_EQ(check({1}, 1, 4), PanelsOutcome::Stay); // one tank is no match
    EXPECT_EQ(check({1, 2}, 2, 1), PanelsOutcome::Stay);
    EXPECT_EQ(check({1, 2, 3}, 3, 3), PanelsOutcome::Start);
    EXPECT_EQ(check({1, 3, 4}, 3, 5), PanelsOutcome::Stay);
    EXPECT_EQ(check({1, 2, 4}, 3, 5), PanelsOutcome::Stay);
    EXPECT_EQ(check({1, 2, 3, 4}, 4, 4), PanelsOutcome::Start);
    EXPECT_EQ(check({1, 2, 4}, 4, 4), PanelsOutcome::Stay);
    EXPECT_EQ(check({2, 3, 4}, 4, 4), PanelsOutcome::Stay);
}

TEST_F(PlayerPanelScreen, EscapeOrAnyPadsBackLeaves) {
    tap(Key::Escape);
    EXPECT_EQ(CheckStart(menu), PanelsOutcome::Back);
    enter();
    EXPECT_EQ(CheckStart(menu), PanelsOutcome::Stay);
    padTap(0, kPadA);
    padTap(3, kPadBack); // a pad nobody joined with
    EXPECT_EQ(CheckStart(menu), PanelsOutcome::Back);
}

TEST_F(PlayerPanelScreen, ComingBackRestoresEveryPanelsDefaults) {
    tap(Key::T);
    tap(Key::A);
    tap(Key::W);
    tap(Key::T); // ready on the track row
    LeavePlayerSelect(menu);
    EXPECT_FALSE(panel(1).ui.root->active);
    EXPECT_FALSE(panel(1).ui.face->active);

    enter();
    const int defaults[4][3] = {{0, 0, 1}, {1, 1, 2}, {2, 2, 3}, {3, 3, 4}};
    for (int n = 1; n <= 4; ++n) {
        PlayerPanel& p = panel(n);
        EXPECT_EQ((std::array{p.faceIndex, p.turretIndex, p.trackIndex}),
                  (std::array{defaults[n - 1][0], defaults[n - 1][1], defaults[n - 1][2]}));
        EXPECT_TRUE(p.ui.startText->active);
        EXPECT_FALSE(p.ui.face->active);
        EXPECT_FALSE(p.ui.setSelection->active);
    }
    EXPECT_EQ(picture(panel(1).ui.face), "VantuFull");
    EXPECT_EQ(picture(panel(4).ui.trackFull), "TrackSprite_Kibbit");
    EXPECT_EQ(text(panel(4).ui.statsValues[0]), "Sniper");

    tap(Key::T); // the scheme is free again and opens on the face row
    EXPECT_EQ(menu.joinedCount, 1u);
    EXPECT_FLOAT_EQ(highlightY(panel(1)), 0.32f);
}

TEST_F(PlayerPanelScreen, MatchSettingsCarryEveryPanelAndTheLevel) {
    padTap(2, kPadA); // a first visit with three players
    tap(Key::Numpad8);
    tap(Key::T);
    LeavePlayerSelect(menu);
    enter();
    tap(Key::T);
    tap(Key::A);
    padTap(1, kPadA);
    padTap(1, kPadDpadDown);
    padTap(1, kPadDpadLeft);
    menu.levelSelect = BuildLevelSelect({"Meadow", "Canyon"}, {"Map1", "Map2"});
    menu.levelSelect->Reset();
    menu.levelSelect->mapIndex = 1;
    menu.levelSelect->livesIndex = 2;
    LeavePlayerSelect(menu); // as the menu does before the level select's fade ends
    WriteMatchSettings(menu);

    std::map<std::string, std::string> expected = {
        {"TotalPlayer", "2"}, {"MapName", "Canyon"}, {"Lives", "5"}, {"Time", "180"}};
    auto player = [&](int k, const char* face, const char* turret, const std::string& track,
                      const char* control) {
        const std::string n = std::to_string(k);
        expected["PlayerFace" + n] = face;
        expected["PlayerTurret" + n] = turret;
        expected["PlayerTrack" + n] = track;
        expected["PlayerTrackJump" + n] = track + "_Jump";
        expected["PlayerControl" + n] = control;
    };
    player(1, "FaceSprite_Kibbit", "BarrelSprite_Explosion", "TrackSprite_Vantu", "4");
    player(2, "FaceSprite_Pexie", "BarrelSprite_Explosion", "TrackSprite_Pexie", "1");
    player(3, "FaceSprite_Quolle", "BarrelSprite_Bouncing", "TrackSprite_Quolle",
           "-1"); // it played last time
    player(4, "FaceSprite_Kibbit", "BarrelSprite_Sniper", "TrackSprite_Kibbit", "-1");
    EXPECT_EQ(MatchSettings::instance().all(), expected);

    for (auto [index, seconds] : {std::pair{1u, "300"}, std::pair{2u, "600"}}) {
        menu.levelSelect->timeIndex = index;
        WriteMatchSettings(menu);
        EXPECT_EQ(MatchSettings::instance().get("Time"), seconds);
    }
}

TEST_F(PlayerPanelScreen, AnIndexOffItsTableIsSaidOnceAndFallsBackToTheFirst) {
    tap(Key::T);
    PlayerPanel& p = panel(1);
    p.faceIndex = 9;
    testing::internal::CaptureStdout();
    tap(Key::D);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("face 9"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(picture(p.ui.face), "PexieFull"); // one step on from the first face

    p.trackIndex = -2;
    WriteMatchSettings(menu);
    EXPECT_EQ(MatchSettings::instance().get("PlayerTrackJump1"), "TrackSprite_Rainbow_Jump");

    p.faceImages.clear(); // nothing to step through
    tap(Key::A);
    EXPECT_EQ(p.faceIndex, 0);
    p.ShowStats(4, true);
    p.ShowStats(-1, false);
    EXPECT_EQ(text(p.ui.statsValues[0]), "Explosion");
}

} // namespace
