#include "match/play_game_state.hpp"

#include "engine/frame_timer.hpp"

void PlayGameState::Load() {}

void PlayGameState::Update() {}

void PlayGameState::Exit() {
    DestroyStateObjects();
    FrameTimer::instance().setTimeScale(1.0f);
}
