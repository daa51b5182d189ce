// Player selection on the real engine without a window: players joining with a keyboard half or
// a pad, choosing, readying, the start and back checks, and what reaches the match settings.

#include "frontend/level_select.hpp"
#include "frontend/menu_controller.hpp"
#include "frontend/player_panel.hpp"
#include "graphics/renderer.hpp"
#include "match/match_settings.hpp"
#include "objects/game_object.hpp"
#include "tests/support/engine_harness.hpp"
#include "tests/support/key_events.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace {

using Key = sf::Keyboard;

class PlayerPanelScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        harness.step(); // a blank state to build the screen in
        for (size_t i = 0; i < 4; ++i) {
            menu.panels[i] = BuildPlayerPanel({0, 0, 1}, "Player" + std::to_string(i + 1), &menu);
        }
        enter();
        // The menu joins players before the panels' own updates, as it does every frame.
        harness.current()->onUpdate = [this] { JoinPlayers(menu); };
    }

    // The screen as the menu opens it, once its fade-in has finished.
    void enter() {
        EnterPlayerSelect(menu);
        menu.joinLocked = false;
    }
    void tap(Key::Key code) { harness.tapKey(code); }
    void padTap(uint32_t pad, uint16_t buttons) { harness.tapPad(pad, buttons); }

    PlayerPanel& panel(int n) { return *menu.panels[static_cast<size_t>(n - 1)]; }
    static std::string picture(GameObject* o) { return o->getComponent<SpriteRenderer>()->textureName; }
    static std::string text(GameObject* o) { return o->getComponent<TextRenderer>()->text; }
    static float highlightY(PlayerPanel& p) { return p.ui.backPanel->transform.position.y; }

    EngineHarness harness;
    MenuController menu;
};

TEST_F(PlayerPanelScreen, PlayersJoinOneAFrameInJoiningOrderAndAnyBackLeaves) {
    menu.joinLocked = true; // the fade-in still runs
    tap(Key::T);
    EXPECT_EQ(menu.joinedCount, 0u);
    menu.joinLocked = false;

    // T and pad 1's A in the same frame: the left keyboard half takes panel 1, the pad waits.
    harness.pads.connect(0, true);
    harness.pads.setButtons(0, kPadA);
    tap(Key::T);
    EXPECT_EQ(menu.joinedCount, 1u);
    EXPECT_EQ(panel(1).row, PanelRow::Face); // the joining press was its confirm too
    EXPECT_FALSE(panel(1).ui.startText->active || panel(1).ui.setSelection->active);

    padTap(0, 0);
    padTap(0, kPadA);
    padTap(0, kPadA); // a pad joins once a visit
    EXPECT_EQ(menu.joinedCount, 2u);
    EXPECT_EQ(picture(panel(2).ui.schemeIcon), "ControlSchemeGamepad1");

    tap(Key::Escape);
    EXPECT_EQ(CheckStart(menu), PanelsOutcome::Back);
    enter();
    EXPECT_EQ(CheckStart(menu), PanelsOutcome::Stay);
    padTap(3, kPadBack); // a pad nobody joined with
    EXPECT_EQ(CheckStart(menu), PanelsOutcome::Back);
}

TEST_F(PlayerPanelScreen, ChoicesWrapAndRowsGoRound) {
    tap(Key::T); // panel 1: face 0, turret 0, track 1
    PlayerPanel& p = panel(1);
    const float faceRow = highlightY(p);
    tap(Key::A);
    EXPECT_EQ(picture(p.ui.faceFull), "KibbitFull");

    tap(Key::S);
    EXPECT_LT(highlightY(p), faceRow);
    tap(Key::A); // the last turret
    tap(Key::S); // the track row brings up the track's stats at once
    EXPECT_EQ(text(p.ui.statsLabels[3]), "TOUGHNESS: ");
    EXPECT_EQ(text(p.ui.statsValues[0]), "Jumpy");
    for (int i = 0; i < 4; ++i) {
        tap(Key::D);
    }
    EXPECT_EQ(picture(p.ui.trackFull), "TrackSprite_Rainbow"); // right from the last track

    tap(Key::S);
    EXPECT_FLOAT_EQ(highlightY(p), faceRow);
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
    EXPECT_EQ(check({1, 2, 3}, 3, 3), PanelsOutcome::Start);
    EXPECT_EQ(check({1, 2, 4}, 3, 5), PanelsOutcome::Stay);
}

TEST_F(PlayerPanelScreen, ComingBackRestoresTheDefaultsAndTheSettingsCarryThisVisitsPanels) {
    padTap(2, kPadA);      // a first visit with three players: pad 3 on panel 1,
    padTap(2, kPadDpadUp); // moved to the track row
    tap(Key::Numpad8);
    tap(Key::T);
    tap(Key::A); // panel 3 on another face, and ready
    tap(Key::T);
    LeavePlayerSelect(menu);
    EXPECT_FALSE(panel(1).ui.root->active);
    enter();
    EXPECT_EQ(picture(panel(3).ui.face), "QuolleFull");
    EXPECT_TRUE(panel(3).ui.startText->active);
    EXPECT_FALSE(panel(3).ui.face->active || panel(3).ui.setSelection->active);

    const float faceRow = highlightY(panel(2));
    tap(Key::T); // the scheme is free again, and panel 1 opens on the face row
    EXPECT_FLOAT_EQ(highlightY(panel(1)), faceRow);
    tap(Key::A);
    padTap(1, kPadA);
    padTap(1, kPadDpadDown);
    padTap(1, kPadDpadLeft);
    menu.levelSelect = BuildLevelSelect({"Meadow", "Canyon"}, {"Map1", "Map2"});
    menu.levelSelect->Reset();
    menu.levelSelect->mapIndex = 1;
    menu.levelSelect->livesIndex = 2;
    menu.levelSelect->timeIndex = 1;
    LeavePlayerSelect(menu); // as the menu does before the level select's fade ends
    WriteMatchSettings(menu);

    auto read = [](std::initializer_list<const char*> keys) {
        std::string values;
        for (const char* key : keys) {
            values += MatchSettings::instance().get(key) + " ";
        }
        return values;
    };
    EXPECT_EQ(read({"TotalPlayer", "MapName", "Lives", "Time"}), "2 Canyon 5 300 ");
    // Panel 3 played on the first visit only, so it keeps no scheme.
    EXPECT_EQ(read({"PlayerControl1", "PlayerControl2", "PlayerControl3", "PlayerControl4"}), "4 1 -1 -1 ");
    EXPECT_EQ(read({"PlayerFace1", "PlayerTrackJump1", "PlayerTurret2", "PlayerTrack3"}),
              "FaceSprite_Kibbit TrackSprite_Vantu_Jump BarrelSprite_Explosion TrackSprite_Quolle ");
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

TEST_F(PlayerPanelScreen, ComputersSitDownReadyGetHarderLeaveLastFirstAndNeverStartAlone) {
    tap(Key::C);
    tap(Key::C); // the same computer, harder
    EXPECT_EQ(menu.joinedCount, 1u);
    EXPECT_EQ(panel(1).computer, BotLevel::Normal);
    EXPECT_EQ(text(panel(1).ui.computerText), "CPU NORMAL");
    EXPECT_EQ(picture(panel(1).ui.schemeIcon), "ControlSchemeComputer");
    EXPECT_TRUE(panel(1).ui.setSelection->active && !panel(1).ui.startText->active);
    const int32_t face = panel(1).faceIndex;
    tap(Key::A); // the left half's key moves no computer's choice
    EXPECT_EQ(panel(1).faceIndex, face);

    tap(Key::C);
    padTap(3, kPadY); // past hard, the next one sits down on panel 2, easy
    EXPECT_EQ(panel(1).computer, BotLevel::Hard);
    EXPECT_EQ(panel(2).computer, BotLevel::Easy);
    EXPECT_EQ(CheckStart(menu), PanelsOutcome::Stay) << "two computers and nobody to play";

    tap(Key::BackSpace);
    EXPECT_EQ(menu.joinedCount, 1u);
    EXPECT_FALSE(panel(2).computer.has_value());
    EXPECT_TRUE(panel(2).ui.startText->active && !panel(2).ui.computerText->active);

    // A person joins after the computer and readies: a match of one person and one computer.
    tap(Key::T);
    EXPECT_EQ(picture(panel(2).ui.schemeIcon), "ControlSchemeKeyboardLeft");
    EXPECT_EQ(CheckStart(menu), PanelsOutcome::Stay);
    tap(Key::T);
    EXPECT_EQ(CheckStart(menu), PanelsOutcome::Start);
    padTap(0, kPadB); // the last panel holds a person: nobody is taken away
    EXPECT_EQ(menu.joinedCount, 2u);

    LeavePlayerSelect(menu);
    WriteMatchSettings(menu);
    const MatchSettings& settings = MatchSettings::instance();
    EXPECT_EQ(settings.get("PlayerBot1") + "|" + settings.get("PlayerBot2"), "hard|");
    EXPECT_EQ(settings.get("PlayerControl1") + " " + settings.get("PlayerControl2"), "-1 4");

    enter(); // coming back empties every seat
    EXPECT_FALSE(panel(1).computer.has_value());
    EXPECT_EQ(menu.joinedCount, 0u);
}

TEST_F(PlayerPanelScreen, ComputersWearFacesNoOtherSeatHasAndMoveOffOneAPersonTakes) {
    auto distinctFaces = [&] {
        std::set<int32_t> faces;
        for (uint32_t k = 1; k <= menu.joinedCount; ++k) {
            faces.insert(panel(static_cast<int>(k)).faceIndex);
        }
        return faces.size() == menu.joinedCount;
    };
    tap(Key::T); // a person on panel 1
    // Computers sit down, get harder (choosing again each time) and leave, over and over.
    for (int round = 0; round < 8; ++round) {
        for (int press = 0; press < 9; ++press) {
            tap(Key::C);
            ASSERT_TRUE(distinctFaces()) << "round " << round << ", press " << press;
        }
        ASSERT_EQ(menu.joinedCount, 4u);
        for (int k = 0; k < 3; ++k) {
            tap(Key::BackSpace);
        }
    }
    // The person steps through every face; whichever a computer had, it takes a free one.
    tap(Key::C);
    tap(Key::C);
    tap(Key::C);
    tap(Key::C);
    ASSERT_EQ(menu.joinedCount, 3u);
    for (int step = 0; step < 8; ++step) {
        tap(Key::D);
        EXPECT_TRUE(distinctFaces()) << "step " << step;
        EXPECT_EQ(picture(panel(2).ui.face), panel(2).faceImages[panel(2).faceIndex]);
    }
    // Two people may share a face; the computers still keep clear of it and of each other.
    tap(Key::Numpad8);
    for (int step = 0; step < 4 && panel(4).faceIndex != panel(1).faceIndex; ++step) {
        tap(Key::Right);
    }
    ASSERT_EQ(panel(4).faceIndex, panel(1).faceIndex);
    EXPECT_NE(panel(2).faceIndex, panel(3).faceIndex);
    EXPECT_NE(panel(2).faceIndex, panel(1).faceIndex);
    EXPECT_NE(panel(3).faceIndex, panel(1).faceIndex);
}

// The key that takes a computer away does nothing without one, so it swallows no join.
TEST_F(PlayerPanelScreen, RemovingWithNoComputerSeatedLetsAJoinInTheSameFrameThrough) {
    harness.pads.connect(0, true);
    harness.pads.setButtons(0, kPadB); // nobody seated yet
    tap(Key::T);
    EXPECT_EQ(menu.joinedCount, 1u);
    QueueKey(Key::BackSpace, true); // the last panel holds a person
    tap(Key::Numpad8);
    QueueKey(Key::BackSpace, false);
    EXPECT_EQ(menu.joinedCount, 2u);
    EXPECT_EQ(panel(2).controlScheme, 5);
}

TEST_F(PlayerPanelScreen, ALostPadFreesItsPanelAndPadTheLaterPanelsMoveDownAndNewPadsJoinAtOnce) {
    padTap(1, kPadA); // pad 2 on panel 1, ready on another face
    padTap(1, kPadDpadRight);
    padTap(1, kPadA);
    tap(Key::T); // the left half on panel 2, on the turret row with another turret
    tap(Key::S);
    tap(Key::D);
    tap(Key::C); // an easy computer on panel 3
    ASSERT_EQ(menu.joinedCount, 3u);
    ASSERT_EQ(menu.readyCount, 2u);
    const int32_t turret = panel(2).turretIndex;
    const int32_t computerFace = panel(3).faceIndex;

    testing::internal::CaptureStdout();
    harness.pads.connect(1, false);
    harness.step();
    EXPECT_NE(testing::internal::GetCapturedStdout().find("pad 2 stopped answering"), std::string::npos);
    EXPECT_EQ(menu.joinedCount, 2u);
    EXPECT_EQ(menu.readyCount, 1u) << "the lost player's confirmation goes with them";
    EXPECT_FALSE(menu.schemeUsed[SchemeSlot::FirstPad + 1]);
    // Panel 1 now holds the left half as it stood, panel 2 the computer, panel 3 nobody.
    EXPECT_EQ(panel(1).controlScheme, 4);
    EXPECT_EQ(panel(1).row, PanelRow::Turret);
    EXPECT_EQ(panel(1).turretIndex, turret);
    EXPECT_EQ(picture(panel(1).ui.schemeIcon), "ControlSchemeKeyboardLeft");
    EXPECT_EQ(panel(2).computer, BotLevel::Easy);
    EXPECT_EQ(panel(2).faceIndex, computerFace);
    EXPECT_EQ(text(panel(2).ui.computerText), "CPU EASY");
    EXPECT_FALSE(panel(3).joined || panel(3).computer.has_value());
    tap(Key::D); // the left half steers panel 1 now
    EXPECT_NE(panel(1).turretIndex, turret);

    // A pad plugged in with A down joins on that very frame; the lost pad may join again.
    harness.pads.connect(3, true);
    harness.pads.setButtons(3, kPadA);
    harness.step();
    EXPECT_EQ(menu.joinedCount, 3u);
    EXPECT_EQ(panel(3).controlScheme, 3);
    padTap(3, 0);
    padTap(1, kPadA);
    EXPECT_EQ(panel(4).controlScheme, 1);

    // The last panel's pad going simply un-joins it; the rest can still start.
    harness.pads.connect(1, false);
    harness.step();
    EXPECT_EQ(menu.joinedCount, 3u);
    EXPECT_FALSE(panel(4).joined);
    EXPECT_EQ(panel(3).controlScheme, 3);
    tap(Key::T);
    padTap(3, kPadA);
    EXPECT_EQ(CheckStart(menu), PanelsOutcome::Start);
}

} // namespace

// In a team match each panel wears its side, starting red, blue, red, blue; each player changes
// sides with their own key, and the sides reach the match settings.
TEST_F(PlayerPanelScreen, InATeamMatchEachPlayerChangesSidesWithTheirOwnKey) {
    menu.levelSelect = BuildLevelSelect({"Meadow"}, {"Map1"});
    harness.pads.connect(0, true);
    tap(Key::T);
    tap(Key::R); // not a team match yet: nothing to change
    EXPECT_FALSE(panel(1).ui.teamRim->active);
    EXPECT_EQ(panel(1).team, kTeamRed);

    menu.levelSelect->teamsOn = true;
    enter();
    tap(Key::T);
    tap(Key::Numpad8);
    padTap(0, kPadA);
    auto sides = [&] {
        std::string s;
        for (int n = 1; n <= 3; ++n) {
            s += panel(n).team == kTeamBlue ? 'B' : 'R';
        }
        return s;
    };
    EXPECT_EQ(sides(), "RBR");
    EXPECT_TRUE(panel(2).ui.teamRim->active);
    EXPECT_EQ(panel(2).ui.teamRim->getComponent<SpriteRenderer>()->color.z, TeamColour(kTeamBlue).z);
    EXPECT_EQ(text(panel(2).ui.teamText), "Blue team (Num 9)");
    EXPECT_FALSE(panel(4).ui.teamRim->active) << "nobody joined it";

    tap(Key::R);
    EXPECT_EQ(sides(), "BBR") << "R is the left half's alone";
    tap(Key::Numpad9);
    padTap(0, kPadLeftShoulder);
    EXPECT_EQ(sides(), "BRB");
    EXPECT_EQ(text(panel(3).ui.teamText), "Blue team (LB/RB)");
    padTap(0, 0);
    padTap(0, kPadRightShoulder);
    EXPECT_EQ(sides(), "BRR");

    // Ready panels still change sides; the sides go to the match with the level select's rows.
    tap(Key::T);
    tap(Key::T);
    tap(Key::R);
    EXPECT_EQ(panel(1).row, PanelRow::Ready);
    EXPECT_EQ(sides(), "RRR");
    menu.levelSelect->teamHits = true;
    EXPECT_FALSE(MenuTeams(menu).BothSidesSeated(3));
    WriteMatchSettings(menu);
    const Teams written = ReadTeams(MatchSettings::instance());
    EXPECT_TRUE(written.on && written.hits);
    EXPECT_EQ(written.seat[2], kTeamRed);
    EXPECT_EQ(written.seat[3], kTeamBlue) << "a seat nobody took keeps its starting side";
}
