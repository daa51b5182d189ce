#include "frontend/game_states.hpp"

#include "editor/editor_game_state.hpp"
#include "engine/engine.hpp"
#include "frontend/main_menu_game_state.hpp"
#include "frontend/splash_game_state.hpp"
#include "frontend/waiting_screen.hpp"
#include "match/play_game_state.hpp"
#include "objects/resource_manager.hpp"

GameState* MakeGameState(uint32_t id) {
    switch (id) {
    case GameStateId::Splash: {
        ResourceManager& resources = ResourceManager::instance();
        if (!Engine::instance().canDraw()) {
            return new SplashGameState(); // nothing is drawn, so there is nothing to load
        }
        resources.loadTexture("QuorvelLogo", "../Resources/Texture/Quorvel_Logo/Quorvel_WEB_WHITE.png");
        resources.loadTexture("TeamLogo", "../Resources/Texture/Team Logo.png");
        resources.loadTexture("ControllerSplash", "../Resources/Texture/ControllerSplash.png");
        return new SplashGameState();
    }
    case GameStateId::MainMenu:
        return new MainMenuGameState();
    case GameStateId::Play:
        return new PlayGameState();
    case GameStateId::Editor:
        return new EditorGameState();
    case GameStateId::OnlineWaiting:
        return new WaitingScreenState();
    default:
        return nullptr;
    }
}
