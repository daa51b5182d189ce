#pragma once

// Key presses and releases as the window would deliver them, queued for the next frame's input
// update.

#include "engine/input_manager.hpp"

inline void QueueKey(sf::Keyboard::Key code, bool down) {
    sf::Event e{};
    e.type = down ? sf::Event::KeyPressed : sf::Event::KeyReleased;
    e.key.code = code;
    InputManager::instance().queueEvent(e);
}
