#include "engine/control_scheme.hpp"

namespace {

bool keyHeld(const InputManager& input, sf::Keyboard::Key key) {
    int k = static_cast<int>(key);
    return k >= 0 && k < kKeyCount && input.keys[static_cast<size_t>(k)].held;
}

bool keyPressed(const InputManager& input, sf::Keyboard::Key key) {
    int k = static_cast<int>(key);
    return k >= 0 && k < kKeyCount && input.keys[static_cast<size_t>(k)].pressed;
}

} // namespace

ControlScheme controlSchemeFor(int scheme) {
    ControlScheme s;
    using K = sf::Keyboard;
    if (scheme == kSchemeKeyboardLeft) {
        s = {4, K::A, K::D, K::W, K::F, K::H, K::T, K::G};
    } else if (scheme == kSchemeKeyboardRight) {
        s = {5, K::Left, K::Right, K::Up, K::Numpad4, K::Numpad6, K::Numpad8, K::Numpad5};
    } else if (scheme >= 0 && scheme < 4) {
        s.padIndex = static_cast<uint32_t>(scheme);
    } else {
        s.padIndex = 4;
    }
    return s;
}

PlayerActions readActions(const ControlScheme& scheme, const InputManager& input) {
    PlayerActions a;
    a.moveLeft = keyHeld(input, scheme.moveLeft);
    a.moveRight = keyHeld(input, scheme.moveRight);
    a.jump = keyPressed(input, scheme.jump);
    a.turnPlus = keyHeld(input, scheme.turnPlus);
    a.turnMinus = keyHeld(input, scheme.turnMinus);
    a.shootHeld = keyHeld(input, scheme.shoot);
    int shootKey = static_cast<int>(scheme.shoot);
    a.shootKeyReleased =
        shootKey >= 0 && shootKey < kKeyCount && input.keys[static_cast<size_t>(shootKey)].released;
    a.special = keyPressed(input, scheme.special);
    // Keyboard schemes carry pad index 4 or 5 and never read the pad arrays.
    if (scheme.padIndex < kMaxPads) {
        const XInputGamepad& pad = input.padStates[scheme.padIndex].Gamepad;
        a.moveLeft = a.moveLeft || pad.sThumbLX <= -kLeftStickDeadZone;
        a.moveRight = a.moveRight || pad.sThumbLX >= kLeftStickDeadZone;
        a.jump = a.jump || input.padPressed(scheme.padIndex, kButtonA);
        a.padTurnPlus = pad.sThumbRX <= -kRightStickDeadZone;
        a.padTurnMinus = pad.sThumbRX >= kRightStickDeadZone;
        a.padShootHeld = pad.bRightTrigger >= kTriggerThreshold;
        a.shootHeld = a.shootHeld || a.padShootHeld;
        a.special = a.special || input.padPressed(scheme.padIndex, kButtonX);
    }
    return a;
}
