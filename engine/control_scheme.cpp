#include "engine/control_scheme.hpp"

ControlScheme controlSchemeFor(int scheme) {
    ControlScheme s;
    using K = sf::Keyboard;
    if (scheme == kSchemeKeyboardLeft) {
        s = {4, K::A, K::D, K::W, K::F, K::H, K::T, K::G};
    } else if (scheme == kSchemeKeyboardRight) {
        s = {5, K::Left, K::Right, K::Up, K::Numpad4, K::Numpad6, K::Numpad8, K::Numpad5};
    } else {
        // Pads 0..3; any other number is kept as it is (the match reads it back) and, being no
        // pad, reads nothing: every key is on F15.
        s.padIndex = static_cast<uint32_t>(scheme);
    }
    return s;
}

PlayerActions readActions(const ControlScheme& scheme, const InputManager& input) {
    PlayerActions a;
    a.moveLeft = input.keyHeld(scheme.moveLeft);
    a.moveRight = input.keyHeld(scheme.moveRight);
    a.jump = input.keyPressed(scheme.jump);
    a.turnPlus = input.keyHeld(scheme.turnPlus);
    a.turnMinus = input.keyHeld(scheme.turnMinus);
    a.shootHeld = input.keyHeld(scheme.shoot);
    a.shootKeyReleased = input.keyReleased(scheme.shoot);
    a.special = input.keyPressed(scheme.special);
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
