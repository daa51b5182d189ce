#include "frontend/menu_input.hpp"

#include "engine/input_manager.hpp"

#include <initializer_list>

namespace {

bool anyKey(std::initializer_list<sf::Keyboard::Key> keys) {
    const InputManager& input = InputManager::instance();
    for (sf::Keyboard::Key key : keys) {
        if (input.keyPressed(key)) {
            return true;
        }
    }
    return false;
}

bool anyPad(int button) {
    const InputManager& input = InputManager::instance();
    for (uint32_t pad = 0; pad < kMaxPads; ++pad) {
        if (input.padPressed(pad, button)) {
            return true;
        }
    }
    return false;
}

} // namespace

MenuInputs ReadMenuInputs() {
    using K = sf::Keyboard;
    MenuInputs in;
    in.up = anyKey({K::W, K::Up}) || anyPad(kButtonDpadUp);
    in.down = anyKey({K::S, K::Down}) || anyPad(kButtonDpadDown);
    in.left = anyKey({K::A, K::Left}) || anyPad(kButtonDpadLeft);
    in.right = anyKey({K::D, K::Right}) || anyPad(kButtonDpadRight);
    in.confirm = anyKey({K::T, K::Numpad8, K::Enter, K::Space}) || anyPad(kButtonA);
    in.back = anyKey({K::Escape}) || anyPad(kButtonBack);
    in.edit = anyKey({K::E}) || anyPad(kButtonY);
    return in;
}
