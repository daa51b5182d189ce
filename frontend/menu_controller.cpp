#include "frontend/menu_controller.hpp"

#include "editor/editor_session.hpp"
#include "engine/game_state.hpp"
#include "frontend/level_select.hpp"
#include "frontend/menu_options.hpp"
#include "frontend/menu_screens.hpp"
#include "frontend/online_screens.hpp"
#include "frontend/player_panel.hpp"
#include "graphics/shader_logic.hpp"
#include "net/online_start.hpp"
#include "objects/frame_timer.hpp"

MenuController& MenuController::instance() {
    static auto* controller = new MenuController();
    return *controller;
}

namespace {

bool fadeRunning(const ShaderLogic* fade) {
    return fade != nullptr && fade->fade() != nullptr && fade->fade()->running;
}

void restartFade(ShaderLogic* fade, float direction) {
    if (fade != nullptr) {
        fade->RestartFade(direction);
    }
}

} // namespace

bool MenuController::CloseForChange() {
    changeAsked = true;
    changing = true;
    transitionTimer -= FrameTimer::instance().scaledDt();
    if (!fadeRunning(fade)) {
        restartFade(fade, -1.0f);
        if (title != nullptr) {
            title->busy = true;
        }
    }
    if (transitionTimer > 0.0f) {
        return false;
    }
    changing = false;
    transitionTimer = transitionTime;
    return true;
}

void MenuController::CallOffChange() {
    changing = false;
    transitionTimer = transitionTime;
    restartFade(fade, 1.0f);
}

void MenuController::GoToScreen(uint32_t target) {
    if (target == MenuScreen::QuitConfirm || screen == MenuScreen::QuitConfirm) {
        screen = target;
        screenEntered = false;
        return;
    }
    // Close the picture, swap the screens behind the black after half a second, open again.
    if (!CloseForChange()) {
        return;
    }
    screen = target;
    screenEntered = false;
    restartFade(fade, 1.0f);
}

void MenuController::hideSimpleScreens() {
    option->Show(false);
    tutorial->Show(false);
    credit->Show(false);
    quit->Show(false);
    if (online != nullptr) {
        online->Show(false);
    }
    if (seats != nullptr) {
        seats->Show(false);
    }
    if (join != nullptr) {
        join->Close();
    }
}

void MenuController::updateTitle(bool entering) {
    if (entering) {
        for (PlayerPanel* panel : panels) {
            if (panel != nullptr) {
                panel->ShowParts(false, false, false);
            }
        }
        hideSimpleScreens();
        // Whatever was chosen last time has been dealt with: every way back to the title
        // must offer all six items again.
        title->chosen = false;
        title->selection = TitleItem::Play;
        title->UpdateHighlight();
        title->Show(true);
        flow = MenuFlow::Local;
    }
    if (!title->chosen) {
        return;
    }
    switch (title->selection) {
    case TitleItem::Play:
        GoToScreen(MenuScreen::PlayerSelect);
        break;
    case TitleItem::Online:
        GoToScreen(online != nullptr ? MenuScreen::OnlineScreen : MenuScreen::Title);
        break;
    case TitleItem::Tutorial:
        GoToScreen(MenuScreen::TutorialScreen);
        break;
    case TitleItem::Options:
        GoToScreen(MenuScreen::OptionsScreen);
        break;
    case TitleItem::Credits:
        GoToScreen(MenuScreen::CreditsScreen);
        break;
    default:
        GoToScreen(MenuScreen::QuitConfirm);
        break;
    }
}

void MenuController::updatePlayerSelect(bool entering) {
    if (entering) {
        title->Show(false);
        hideSimpleScreens();
        levelSelect->active = false;
        levelSelect->Show(false);
        EnterPlayerSelect(*this);
    }
    JoinPlayers(*this);
    // Online, one seat of this machine's is enough (friends bring the others); a joining machine
    // may bring computers alone, as the host has a person.
    const PanelsOutcome outcome =
        flow == MenuFlow::Local ? CheckStart(*this) : CheckStart(*this, 1, flow == MenuFlow::Host);
    if (outcome == PanelsOutcome::Back) {
        GoToScreen(flow == MenuFlow::Local  ? MenuScreen::Title
                   : flow == MenuFlow::Host ? MenuScreen::OnlineScreen
                                            : MenuScreen::JoinListScreen);
    } else if (outcome == PanelsOutcome::Start && flow == MenuFlow::Local) {
        GoToScreen(MenuScreen::LevelSelectScreen);
    } else if (outcome == PanelsOutcome::Start && flow == MenuFlow::Host) {
        GoToScreen(MenuScreen::SeatsScreen);
    } else if (outcome == PanelsOutcome::Start && CloseForChange()) {
        // Joining: on to the waiting screen; a network that cannot be opened says so and the
        // player stays on the join screen.
        LeavePlayerSelect(*this);
        if (!startOnline()) {
            screen = MenuScreen::JoinListScreen;
            screenEntered = false;
            restartFade(fade, 1.0f);
        }
    }
}

void MenuController::updateLevelSelect(bool entering) {
    if (entering) {
        LeavePlayerSelect(*this);
        if (seats != nullptr) {
            seats->Show(false);
        }
        levelSelect->Reset();
        levelSelect->OfferMaps(flow == MenuFlow::Host); // online plays the maps every machine has
        if (comingBack) {
            applyReturn(*comingBack);
            comingBack.reset();
        }
        // The players do not change here: whether a team match may start is known now.
        Teams sides = MenuTeams(*this);
        levelSelect->sidesSeated =
            sides.BothSidesSeated(flow == MenuFlow::Host ? seatsInAll : static_cast<int>(joinedCount));
        levelSelect->active = true;
        levelSelect->Show(true);
    }
    if (levelSelect->backRequested) {
        GoToScreen(flow == MenuFlow::Host ? MenuScreen::SeatsScreen : MenuScreen::PlayerSelect);
    } else if (levelSelect->editRequested) {
        if (CloseForChange()) {
            openEditor();
        }
    } else if (levelSelect->startRequested) {
        // The same closing fade as a screen change; when it is over the match begins.
        if (CloseForChange()) {
            if (flow == MenuFlow::Host) {
                if (!startOnline()) {
                    levelSelect->startRequested = false; // said in a line; the player may try again
                    restartFade(fade, 1.0f);
                }
            } else {
                WriteMatchSettings(*this);
                requestState(GameStateId::Play);
            }
        }
    }
}

void MenuController::updateOnline(bool entering) {
    if (entering) {
        title->Show(false);
        hideSimpleScreens();
        online->Open();
    }
    if (online->backRequested) {
        GoToScreen(MenuScreen::Title);
    } else if (online->chosen && online->selection == OnlineItem::Host) {
        flow = MenuFlow::Host;
        GoToScreen(MenuScreen::PlayerSelect);
    } else if (online->chosen) {
        flow = MenuFlow::Join;
        GoToScreen(MenuScreen::JoinListScreen);
    }
}

void MenuController::updateSeats(bool entering) {
    if (entering) {
        LeavePlayerSelect(*this);
        levelSelect->active = false;
        levelSelect->Show(false);
        seats->Open(static_cast<int>(joinedCount));
    }
    if (seats->backRequested) {
        GoToScreen(MenuScreen::PlayerSelect);
    } else if (seats->done) {
        seatsInAll = seats->seats.value();
        GoToScreen(MenuScreen::LevelSelectScreen);
    }
}

void MenuController::updateJoinList(bool entering) {
    if (entering) {
        title->Show(false);
        hideSimpleScreens();
        for (PlayerPanel* panel : panels) {
            if (panel != nullptr) {
                panel->ShowParts(false, false, false);
            }
        }
        join->Open(CommandLineMenuOptions().lookAt);
    }
    if (join->backRequested) {
        GoToScreen(MenuScreen::OnlineScreen);
    } else if (!join->chosenAddress.empty()) {
        joinAddress = join->chosenAddress;
        GoToScreen(MenuScreen::PlayerSelect);
    }
}

void MenuController::Update() {
    if (!fadeRunning(fade)) {
        if (title != nullptr) {
            title->busy = false;
        }
        joinLocked = false;
    }
    changeAsked = false;
    const bool entering = !screenEntered;
    screenEntered = true;
    switch (screen) {
    case MenuScreen::Title:
        updateTitle(entering);
        break;
    case MenuScreen::PlayerSelect:
        updatePlayerSelect(entering);
        break;
    case MenuScreen::TutorialScreen:
        if (entering) {
            title->Show(false);
            tutorial->Open();
        }
        if (tutorial->done) {
            GoToScreen(MenuScreen::Title);
        }
        break;
    case MenuScreen::OptionsScreen:
        if (entering) {
            title->Show(false);
            option->Open();
        }
        if (option->done) {
            GoToScreen(MenuScreen::Title);
        }
        break;
    case MenuScreen::CreditsScreen:
        if (entering) {
            title->Show(false);
            credit->done = false;
            credit->Show(true);
        }
        if (credit->done) {
            GoToScreen(MenuScreen::Title);
        }
        break;
    case MenuScreen::QuitConfirm:
        if (entering) {
            quit->Open();
        }
        if (quit->back) {
            quit->Show(false);
            GoToScreen(MenuScreen::Title);
        } else if (quit->confirmed) {
            requestState(GameStateId::Quit);
        }
        break;
    case MenuScreen::LevelSelectScreen:
        updateLevelSelect(entering);
        break;
    case MenuScreen::OnlineScreen:
        updateOnline(entering);
        break;
    case MenuScreen::SeatsScreen:
        updateSeats(entering);
        break;
    case MenuScreen::JoinListScreen:
        updateJoinList(entering);
        break;
    default:
        break;
    }
    // A change whose screen stopped asking for it (a player un-readied, a pad went) is called
    // off rather than left half done behind a closed fade.
    if (changing && !changeAsked) {
        CallOffChange();
    }
}

bool MenuController::startOnline() {
    OnlineOptions options;
    WriteOnlineSeats(*this, options);
    if (flow == MenuFlow::Host) {
        options.host = true;
        options.port = CommandLineMenuOptions().port;
        options.shape.map = levelSelect->chosenMap();
        options.shape.players = seatsInAll;
        options.shape.lives = levelSelect->chosenLives();
        options.shape.seconds = std::stoi(levelSelect->chosenSeconds());
        options.shape.teams = MenuTeams(*this);
    } else {
        options.join = joinAddress;
    }
    return StartOnline(options, true);
}

void MenuController::keepForReturn() {
    LevelSelectReturn kept;
    kept.flow = flow;
    kept.joinedCount = joinedCount;
    kept.seatsInAll = seatsInAll;
    kept.map = levelSelect->chosenMap();
    kept.livesIndex = levelSelect->livesIndex;
    kept.timeIndex = levelSelect->timeIndex;
    kept.teamsOn = levelSelect->teamsOn;
    kept.teamHits = levelSelect->teamHits;
    for (size_t k = 0; k < panels.size(); ++k) {
        if (const PlayerPanel* panel = panels[k]) {
            kept.seats[k] = {panel->controlScheme,
                             panel->faceIndex,
                             panel->turretIndex,
                             panel->trackIndex,
                             panel->computer ? static_cast<int>(*panel->computer) : -1,
                             panel->team};
        }
    }
    PendingLevelSelect() = kept;
}

void MenuController::applyReturn(const LevelSelectReturn& kept) {
    joinedCount = kept.joinedCount;
    readyCount = kept.joinedCount;
    seatsInAll = kept.seatsInAll;
    for (size_t k = 0; k < panels.size(); ++k) {
        PlayerPanel* panel = panels[k];
        if (panel == nullptr) {
            continue;
        }
        const SeatKept& seat = kept.seats[k];
        panel->controlScheme = seat.scheme;
        panel->faceIndex = seat.face;
        panel->turretIndex = seat.turret;
        panel->trackIndex = seat.track;
        panel->team = seat.team;
        panel->computer.reset();
        if (seat.computerLevel >= 0) {
            panel->computer = static_cast<BotLevel>(seat.computerLevel);
        }
    }
    // The map just edited when it is offered now (saved under its name), else the one left.
    const std::string edited = EditedMapName();
    if (edited.empty() || !levelSelect->SelectMap(edited)) {
        levelSelect->SelectMap(kept.map);
    }
    levelSelect->livesIndex = kept.livesIndex;
    levelSelect->timeIndex = kept.timeIndex;
    levelSelect->teamsOn = kept.teamsOn;
    levelSelect->teamHits = kept.teamHits;
    levelSelect->Reshow();
}

void MenuController::openEditor() {
    keepForReturn();
    const std::string map = levelSelect->chosenMap();
    if (!OpenEditorFromMenus(map)) {
        PendingLevelSelect().reset(); // said in a line: the map's file does not read cleanly
        levelSelect->editRequested = false;
        restartFade(fade, 1.0f);
    }
}

std::optional<LevelSelectReturn>& PendingLevelSelect() {
    static auto* pending = new std::optional<LevelSelectReturn>();
    return *pending;
}
