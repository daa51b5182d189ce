#include "platform/gamepad.hpp"

#include <SDL2/SDL.h>

#include <iostream>

namespace {

GamepadBackend* installedBackend = nullptr;

struct ButtonMap {
    SDL_GameControllerButton sdl;
    uint16_t bit;
};

constexpr ButtonMap kButtonMap[] = {
    {SDL_CONTROLLER_BUTTON_A, kPadA},
    {SDL_CONTROLLER_BUTTON_B, kPadB},
    {SDL_CONTROLLER_BUTTON_X, kPadX},
    {SDL_CONTROLLER_BUTTON_Y, kPadY},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, kPadDpadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kPadDpadDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kPadDpadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kPadDpadRight},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, kPadLeftShoulder},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, kPadRightShoulder},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, kPadLeftThumb},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, kPadRightThumb},
    {SDL_CONTROLLER_BUTTON_START, kPadStart},
    {SDL_CONTROLLER_BUTTON_BACK, kPadBack},
};

bool sameState(const XInputGamepad& a, const XInputGamepad& b) {
    return a.wButtons == b.wButtons && a.bLeftTrigger == b.bLeftTrigger &&
           a.bRightTrigger == b.bRightTrigger && a.sThumbLX == b.sThumbLX && a.sThumbLY == b.sThumbLY &&
           a.sThumbRX == b.sThumbRX && a.sThumbRY == b.sThumbRY;
}

} // namespace

SdlGamepadBackend::SdlGamepadBackend() {
    // SFML owns the window and its focus; pads must still be read.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // SDL would otherwise take over SIGINT and SIGTERM, and the game would ignore them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::cout << "Gamepads unavailable: " << SDL_GetError() << std::endl;
        return;
    }
    // We read controllers by polling; without this SDL's event queue would only grow.
    SDL_GameControllerEventState(SDL_IGNORE);
    SDL_JoystickEventState(SDL_IGNORE);
    initialised = true;
    poll();
}

SdlGamepadBackend::~SdlGamepadBackend() {
    if (!initialised) {
        return;
    }
    for (void*& controller : controllers) {
        if (controller != nullptr) {
            SDL_GameControllerClose(static_cast<SDL_GameController*>(controller));
            controller = nullptr;
        }
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

uint8_t SdlGamepadBackend::triggerToByte(int16_t value) {
    if (value <= 0) {
        return 0;
    }
    return static_cast<uint8_t>((static_cast<int>(value) * 255 + 16383) / 32767);
}

int16_t SdlGamepadBackend::flipAxis(int16_t value) {
    return value == -32768 ? int16_t{32767} : static_cast<int16_t>(-value);
}

void SdlGamepadBackend::poll() {
    if (!initialised) {
        return;
    }
    SDL_GameControllerUpdate();
    // Unplugged pads free their slot.
    for (void*& slot : controllers) {
        auto* controller = static_cast<SDL_GameController*>(slot);
        if (controller != nullptr && !SDL_GameControllerGetAttached(controller)) {
            SDL_GameControllerClose(controller);
            slot = nullptr;
        }
    }
    for (uint32_t pad = 0; pad < kMaxPads; ++pad) {
        if (controllers[pad] == nullptr) {
            // The next pad in this slot starts from rest, not from what the last one held.
            states[pad] = XInputState{};
            rumbleRefusalTold[pad] = false;
        }
    }
    // Newly plugged pads take the first free slot, in SDL's device order.
    int count = SDL_NumJoysticks();
    for (int device = 0; device < count; ++device) {
        if (!SDL_IsGameController(device)) {
            continue;
        }
        SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device);
        bool known = false;
        for (void* slot : controllers) {
            if (slot != nullptr && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(
                                       static_cast<SDL_GameController*>(slot))) == id) {
                known = true;
            }
        }
        if (known) {
            continue;
        }
        for (uint32_t pad = 0; pad < kMaxPads; ++pad) {
            if (controllers[pad] == nullptr) {
                controllers[pad] = SDL_GameControllerOpen(device);
                break;
            }
        }
    }
    for (uint32_t pad = 0; pad < kMaxPads; ++pad) {
        auto* controller = static_cast<SDL_GameController*>(controllers[pad]);
        if (controller == nullptr) {
            continue;
        }
        XInputGamepad g;
        for (const ButtonMap& b : kButtonMap) {
            if (SDL_GameControllerGetButton(controller, b.sdl)) {
                g.wButtons |= b.bit;
            }
        }
        g.bLeftTrigger =
            triggerToByte(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
        g.bRightTrigger =
            triggerToByte(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
        g.sThumbLX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
        g.sThumbLY = flipAxis(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY));
        g.sThumbRX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_RIGHTX);
        g.sThumbRY = flipAxis(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_RIGHTY));
        if (!sameState(g, states[pad].Gamepad)) {
            states[pad].Gamepad = g;
            ++states[pad].dwPacketNumber;
        }
    }
}

uint32_t SdlGamepadBackend::getState(uint32_t pad, XInputState* state) {
    if (pad >= kMaxPads || controllers[pad] == nullptr || state == nullptr) {
        return kPadNotConnected;
    }
    *state = states[pad];
    return kPadSuccess;
}

void SdlGamepadBackend::rumble(uint32_t pad, uint16_t low, uint16_t high, uint32_t milliseconds) {
    if (pad >= kMaxPads || controllers[pad] == nullptr) {
        return;
    }
    auto* controller = static_cast<SDL_GameController*>(controllers[pad]);
    if (SDL_GameControllerRumble(controller, low, high, milliseconds) != 0 && !rumbleRefusalTold[pad]) {
        rumbleRefusalTold[pad] = true;
        std::cout << "Pad " << pad + 1 << " cannot rumble: " << SDL_GetError() << std::endl;
    }
}

uint32_t TestGamepadBackend::getState(uint32_t pad, XInputState* state) {
    if (pad >= kMaxPads || !connected[pad] || state == nullptr) {
        return kPadNotConnected;
    }
    *state = states[pad];
    return kPadSuccess;
}

void TestGamepadBackend::rumble(uint32_t pad, uint16_t low, uint16_t high, uint32_t milliseconds) {
    if (pad < kMaxPads && connected[pad]) {
        rumbles.push_back({pad, low, high, milliseconds});
    }
}

void TestGamepadBackend::setButtons(uint32_t pad, uint16_t buttons) {
    states.at(pad).Gamepad.wButtons = buttons;
    ++states.at(pad).dwPacketNumber;
}

void setGamepadBackend(GamepadBackend* backend) {
    installedBackend = backend;
}

GamepadBackend& gamepadBackend() {
    if (installedBackend != nullptr) {
        return *installedBackend;
    }
    // Opened on first use and kept for the whole run.
    static auto* sdl = new SdlGamepadBackend();
    return *sdl;
}

uint32_t XInputGetState(uint32_t pad, XInputState* state) {
    return gamepadBackend().getState(pad, state);
}
