#include "frontend/menu_controller.hpp"

#include "engine/game_state.hpp"
#include "frontend/level_select.hpp"
#include "frontend/menu_screens.hpp"
#include "frontend/player_panel.hpp"
#include "graphics/shader_logic.hpp"
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
        if (entering) {
            for (PlayerPanel* panel : panels) {
                if (panel != nullptr) {
                    panel->ShowParts(false, false, false);
                }
            }
            option->Show(false);
            tutorial->Show(false);
            credit->Show(false);
            quit->Show(false);
            // Whatever was chosen last time has been dealt with: every way back to the title
            // must offer all five items again.
            title->chosen = false;
            title->selection = TitleItem::Play;
            title->UpdateHighlight();
            title->Show(true);
        }
        if (title->chosen) {
            switch (title->selection) {
            case TitleItem::Play:
                GoToScreen(MenuScreen::PlayerSelect);
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
        break;
    case MenuScreen::PlayerSelect: {
        if (entering) {
            title->Show(false);
            levelSelect->active = false;
            levelSelect->Show(false);
            EnterPlayerSelect(*this);
        }
        JoinPlayers(*this);
        PanelsOutcome outcome = CheckStart(*this);
        if (outcome == PanelsOutcome::Back) {
            GoToScreen(MenuScreen::Title);
        } else if (outcome == PanelsOutcome::Start) {
            GoToScreen(MenuScreen::LevelSelectScreen);
        }
        break;
    }
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
        if (entering) {
            LeavePlayerSelect(*this);
            levelSelect->Reset();
            levelSelect->active = true;
            levelSelect->Show(true);
        }
        if (levelSelect->backRequested) {
            GoToScreen(MenuScreen::PlayerSelect);
        } else if (levelSelect->startRequested) {
            // The same closing fade as a screen change; when it is over the match begins.
            if (CloseForChange()) {
                WriteMatchSettings(*this);
                requestState(GameStateId::Play);
            }
        }
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
