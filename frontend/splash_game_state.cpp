#include "frontend/splash_game_state.hpp"

#include "engine/frame_timer.hpp"
#include "engine/input_manager.hpp"
#include "objects/resource_manager.hpp"

SplashGameState::~SplashGameState() {
    ResourceManager& resources = ResourceManager::instance();
    resources.removeTexture("QuorvelLogo");
    resources.removeTexture("TeamLogo");
    resources.removeTexture("ControllerSplash");
}

void SplashGameState::Load() { timer = 15.0f; }

void SplashGameState::Update() {
    timer -= FrameTimer::instance().scaledDt();
    const auto& keys = InputManager::instance().keys;
    bool skip = keys[sf::Keyboard::Enter].pressed || keys[sf::Keyboard::Space].pressed ||
                keys[sf::Keyboard::Escape].pressed;
    if (timer < 0.0f || skip) {
        requestState(GameStateId::MainMenu);
    }
}

void SplashGameState::Exit() { DestroyStateObjects(); }
