#pragma once

#include "engine/input_manager.hpp"

#include <SFML/Window/Keyboard.hpp>

#include <cstdint>

// Dead zones and the trigger threshold sit one above the usual XInput values, so a stick
// resting at the recommended edge never drifts a tank.
constexpr int kLeftStickDeadZone = 7850;
constexpr int kRightStickDeadZone = 8690;
constexpr int kTriggerThreshold = 31;

// Schemes 0..3 are gamepads 0..3, 4 the left keyboard half, 5 the right half.
constexpr int kSchemeKeyboardLeft = 4;
constexpr int kSchemeKeyboardRight = 5;

// How one player drives. Gamepad schemes put every key on F15, which ordinary keyboards never
// send, so only the pad acts.
struct ControlScheme {
    uint32_t padIndex = 0;
    sf::Keyboard::Key moveLeft = sf::Keyboard::F15;
    sf::Keyboard::Key moveRight = sf::Keyboard::F15;
    sf::Keyboard::Key jump = sf::Keyboard::F15;
    sf::Keyboard::Key turnPlus = sf::Keyboard::F15;
    sf::Keyboard::Key turnMinus = sf::Keyboard::F15;
    sf::Keyboard::Key shoot = sf::Keyboard::F15;
    sf::Keyboard::Key special = sf::Keyboard::F15;
};

// The scheme for 0..5. Any other number keeps its number as the pad index (the match reads the
// scheme back) with every key on F15; being no pad, it reacts to nothing a player can press.
ControlScheme controlSchemeFor(int scheme);

// What a player asks for this frame. A keyboard shot fires on the key's release edge; a pad
// shot fires when the trigger drops below the threshold, which the player sees as padShootHeld
// going from true to false.
struct PlayerActions {
    bool moveLeft = false;
    bool moveRight = false;
    bool jump = false;     // once, on the press
    bool turnPlus = false; // keyboard turn+ key
    bool turnMinus = false;
    bool padTurnPlus = false; // right stick; key and stick each add their own turn
    bool padTurnMinus = false;
    bool shootHeld = false;        // key or trigger: charging
    bool shootKeyReleased = false; // the shoot key went up this frame
    bool padShootHeld = false;
    bool special = false; // once, on the press
};

PlayerActions readActions(const ControlScheme& scheme, const InputManager& input);
