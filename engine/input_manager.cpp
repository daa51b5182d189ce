#include "engine/input_manager.hpp"

#include "engine/engine.hpp"
#include "engine/game_state.hpp"
#include "graphics/debug_overlay.hpp"

namespace {

constexpr uint16_t kButtonBits[kPadButtonCount] = {
    kPadA,
    kPadB,
    kPadX,
    kPadY,
    kPadDpadUp,
    kPadDpadDown,
    kPadDpadLeft,
    kPadDpadRight,
    kPadLeftShoulder,
    kPadRightShoulder,
    kPadLeftThumb,
    kPadRightThumb,
    kPadStart,
    kPadBack,
};

void readButtons(uint16_t word, std::array<bool, kPadButtonCount>& out) {
    for (int b = 0; b < kPadButtonCount; ++b) {
        out[static_cast<size_t>(b)] = (word & kButtonBits[b]) != 0;
    }
}

bool validKey(int code) {
    return code >= 0 && code < kKeyCount;
}
bool validMouse(int code) {
    return code >= 0 && code < kMouseButtonCount;
}

} // namespace

InputManager& InputManager::instance() {
    static auto* input = new InputManager();
    return *input;
}

InputManager::InputManager() {
    for (uint32_t p = 0; p < kMaxPads; ++p) {
        padStates[p] = XInputState{};
        XInputGetState(p, &padStates[p]);
        previousButtons[p].fill(false);
        currentButtons[p].fill(false);
    }
}

uint16_t InputManager::buttonBit(int button) {
    return button >= 0 && button < kPadButtonCount ? kButtonBits[button] : uint16_t{0};
}

bool InputManager::padPressed(uint32_t pad, int button) const {
    if (pad >= kMaxPads || button < 0 || button >= kPadButtonCount) {
        return false;
    }
    auto b = static_cast<size_t>(button);
    return currentButtons[pad][b] && !previousButtons[pad][b];
}

bool InputManager::keyPressed(int code) const {
    return validKey(code) && keys[static_cast<size_t>(code)].pressed;
}

bool InputManager::keyHeld(int code) const {
    return validKey(code) && keys[static_cast<size_t>(code)].held;
}

bool InputManager::keyReleased(int code) const {
    return validKey(code) && keys[static_cast<size_t>(code)].released;
}

bool InputManager::padReleased(uint32_t pad, int button) const {
    if (pad >= kMaxPads || button < 0 || button >= kPadButtonCount) {
        return false;
    }
    auto b = static_cast<size_t>(button);
    return !currentButtons[pad][b] && previousButtons[pad][b];
}

bool InputManager::padHeld(uint32_t pad, int button) const {
    if (pad >= kMaxPads || button < 0 || button >= kPadButtonCount) {
        return false;
    }
    return currentButtons[pad][static_cast<size_t>(button)];
}

void InputManager::update(sf::Window* targetWindow) {
    if (!windowKnown && targetWindow != nullptr) {
        window = targetWindow;
        windowKnown = true;
    }
    for (ButtonEdge& k : keys) {
        k.pressed = false;
        k.released = false;
    }
    for (ButtonEdge& m : mouseButtons) {
        m.pressed = false;
        m.released = false;
    }
    wheelDelta = 0.0f;
    typed.clear();

    gamepadBackend().poll();
    for (uint32_t p = 0; p < kMaxPads; ++p) {
        padsConnected[p] = XInputGetState(p, &padStates[p]) == kPadSuccess;
        if (padsConnected[p]) {
            readButtons(padStates[p].Gamepad.wButtons, currentButtons[p]);
        } else {
            // A pad that stops answering lets go of everything, or a tank would keep driving on
            // the last stick it saw. Both sides of the edge are cleared, so losing the pad
            // releases nothing a menu would act on; when it comes back, whatever is held then
            // presses afresh.
            padStates[p] = XInputState{};
            currentButtons[p].fill(false);
            previousButtons[p].fill(false);
        }
    }

    if (window != nullptr && window->isOpen()) {
        sf::Event event;
        while (window->pollEvent(event)) {
            handleEvent(event);
        }
    }
    while (!injected.empty()) {
        sf::Event event = injected.front();
        injected.pop_front();
        handleEvent(event);
    }
}

void InputManager::handleEvent(const sf::Event& event) {
    DebugOverlay::instance().processEvent(event);
    switch (event.type) {
    case sf::Event::Closed:
        // The running state may keep the window open to ask first (unsaved work).
        if (GameState* state = Engine::instance().states->state;
            state == nullptr || state->CloseRequested()) {
            Engine::instance().states->next = GameStateId::Quit;
        }
        break;
    case sf::Event::TextEntered:
        // Printable ASCII only: the game's texts are drawn with those glyphs.
        if (event.text.unicode >= 0x20 && event.text.unicode < 0x7f) {
            typed.push_back(static_cast<char>(event.text.unicode));
        }
        break;
    case sf::Event::Resized:
        Engine::instance().width = event.size.width;
        Engine::instance().height = event.size.height;
        break;
    case sf::Event::KeyPressed:
        if (validKey(event.key.code)) {
            ButtonEdge& k = keys[static_cast<size_t>(event.key.code)];
            // Key repeat of a held key makes no new edge.
            if (!k.pressed && !k.held) {
                k.pressed = true;
                k.held = true;
            }
        }
        break;
    case sf::Event::KeyReleased:
        if (validKey(event.key.code)) {
            ButtonEdge& k = keys[static_cast<size_t>(event.key.code)];
            k.released = true;
            k.held = false;
        }
        break;
    case sf::Event::MouseWheelScrolled:
        wheelDelta += event.mouseWheelScroll.delta;
        break;
    case sf::Event::MouseMoved:
        mousePosition = {event.mouseMove.x, event.mouseMove.y};
        mouseInWindow = true;
        break;
    case sf::Event::MouseLeft:
        mouseInWindow = false;
        break;
    case sf::Event::MouseButtonPressed:
        mousePosition = {event.mouseButton.x, event.mouseButton.y};
        mouseInWindow = true;
        if (validMouse(event.mouseButton.button)) {
            ButtonEdge& m = mouseButtons[static_cast<size_t>(event.mouseButton.button)];
            if (!m.pressed && !m.held) {
                m.pressed = true;
                m.held = true;
                mousePressedAt[static_cast<size_t>(event.mouseButton.button)] = mousePosition;
            }
        }
        break;
    case sf::Event::MouseButtonReleased:
        mousePosition = {event.mouseButton.x, event.mouseButton.y};
        if (validMouse(event.mouseButton.button)) {
            // The press of this frame stays: a quick click is both.
            ButtonEdge& m = mouseButtons[static_cast<size_t>(event.mouseButton.button)];
            m.released = true;
            m.held = false;
        }
        break;
    default:
        break;
    }
}

void InputManager::endFrame() {
    previousButtons = currentButtons;
}

void InputManager::resetEdges() {
    for (ButtonEdge& k : keys) {
        k = ButtonEdge{};
    }
    for (uint32_t p = 0; p < kMaxPads; ++p) {
        previousButtons[p].fill(false);
        currentButtons[p].fill(false);
    }
}
