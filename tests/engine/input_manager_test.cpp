#include "engine/control_scheme.hpp"
#include "engine/engine.hpp"
#include "engine/input_manager.hpp"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

namespace {

sf::Event keyEvent(sf::Keyboard::Key key, bool down) {
    sf::Event e;
    e.type = down ? sf::Event::KeyPressed : sf::Event::KeyReleased;
    e.key = {key, false, false, false, false};
    return e;
}

// Runs the input part of a frame: update at the start, pad memory at the end.
class InputTest : public testing::Test {
  protected:
    void SetUp() override { setGamepadBackend(&pads); }
    void TearDown() override { setGamepadBackend(nullptr); }
    void frame(std::initializer_list<sf::Event> events = {}) {
        for (const sf::Event& e : events) {
            input().queueEvent(e);
        }
        input().update(nullptr);
    }
    void endFrame() { input().endFrame(); }
    InputManager& input() { return InputManager::instance(); }
    const ButtonEdge& key(sf::Keyboard::Key k) { return input().keys[static_cast<size_t>(k)]; }

    TestGamepadBackend pads;
};

} // namespace

TEST_F(InputTest, KeyEdges) {
    frame({keyEvent(sf::Keyboard::T, true), keyEvent(sf::Keyboard::T, false)});
    EXPECT_TRUE(key(sf::Keyboard::T).pressed);
    EXPECT_TRUE(key(sf::Keyboard::T).released);
    EXPECT_FALSE(key(sf::Keyboard::T).held) << "pressed and released within one frame";

    frame({keyEvent(sf::Keyboard::A, true)});
    EXPECT_TRUE(key(sf::Keyboard::A).pressed);
    EXPECT_FALSE(key(sf::Keyboard::T).pressed) << "edges last one frame";
    for (int i = 0; i < 5; ++i) {
        frame({keyEvent(sf::Keyboard::A, true)}); // the system's key repeat
        EXPECT_FALSE(key(sf::Keyboard::A).pressed);
        EXPECT_TRUE(key(sf::Keyboard::A).held);
    }
    frame({keyEvent(sf::Keyboard::A, false)});
    EXPECT_TRUE(key(sf::Keyboard::A).released);
    EXPECT_FALSE(key(sf::Keyboard::A).held);

    frame({keyEvent(sf::Keyboard::Unknown, true)});
    for (const ButtonEdge& k : input().keys) {
        EXPECT_FALSE(k.pressed) << "unknown keys are ignored";
    }
}

TEST_F(InputTest, MouseAndWindowEvents) {
    sf::Event press;
    press.type = sf::Event::MouseButtonPressed;
    press.mouseButton = {sf::Mouse::Left, 0, 0};
    sf::Event wheel;
    wheel.type = sf::Event::MouseWheelScrolled;
    wheel.mouseWheelScroll = {sf::Mouse::VerticalWheel, 1.5f, 0, 0};
    sf::Event resize;
    resize.type = sf::Event::Resized;
    resize.size = {1000, 700};
    frame({press, wheel, wheel, resize});
    EXPECT_TRUE(input().mouseButtons[0].pressed);
    EXPECT_FLOAT_EQ(input().wheelDelta, 3.0f);
    EXPECT_EQ(Engine::instance().width, 1000u);
    EXPECT_EQ(Engine::instance().height, 700u);
    frame();
    EXPECT_FALSE(input().mouseButtons[0].pressed);
    EXPECT_TRUE(input().mouseButtons[0].held);
    EXPECT_EQ(input().wheelDelta, 0.0f);

    sf::Event closed;
    closed.type = sf::Event::Closed;
    frame({closed});
    EXPECT_EQ(Engine::instance().states->next, GameStateId::Quit);
}

TEST_F(InputTest, PadButtonEdges) {
    pads.connect(1, true);
    pads.setButtons(1, kPadA | kPadStart);
    frame();
    EXPECT_TRUE(input().padPressed(1, kButtonA));
    EXPECT_TRUE(input().padPressed(1, kButtonStart));
    EXPECT_FALSE(input().padPressed(1, kButtonB));
    endFrame();
    frame();
    EXPECT_FALSE(input().padPressed(1, kButtonA)) << "pressed only in the first frame";
    EXPECT_TRUE(input().padHeld(1, kButtonA));
    endFrame();

    // A release lasts one frame.
    pads.setButtons(1, kPadStart);
    frame();
    EXPECT_TRUE(input().padReleased(1, kButtonA));
    EXPECT_FALSE(input().padReleased(1, kButtonStart));
    endFrame();
    frame();
    EXPECT_FALSE(input().padReleased(1, kButtonA));
    EXPECT_FALSE(input().padReleased(9, kButtonA));
    EXPECT_FALSE(input().padPressed(7, kButtonA)) << "indices past the pads read as nothing";
    endFrame();
}

TEST_F(InputTest, KeyQueriesAnswerFalseForCodesOutsideTheArrays) {
    frame({keyEvent(sf::Keyboard::Pause, true), keyEvent(sf::Keyboard::A, true),
           keyEvent(sf::Keyboard::A, false)});
    EXPECT_TRUE(input().keyPressed(sf::Keyboard::Pause) && input().keyHeld(sf::Keyboard::Pause));
    EXPECT_TRUE(input().keyReleased(sf::Keyboard::A));
    for (int code : {-1, kKeyCount, 101, 5000}) { // 101 is the selection panels' "no key"
        EXPECT_FALSE(input().keyPressed(code) || input().keyHeld(code) || input().keyReleased(code)) << code;
    }
}

TEST_F(InputTest, ResetEdgesForgetsHeldKeysAndRepressesHeldButtons) {
    pads.connect(0, true);
    pads.setButtons(0, kPadA);
    frame({keyEvent(sf::Keyboard::Space, true)});
    endFrame();
    frame();
    EXPECT_TRUE(key(sf::Keyboard::Space).held);
    EXPECT_FALSE(input().padPressed(0, kButtonA));
    endFrame();

    input().resetEdges();
    frame();
    EXPECT_FALSE(key(sf::Keyboard::Space).held) << "a held key counts as up after a switch";
    EXPECT_TRUE(input().padPressed(0, kButtonA)) << "a held button presses again in the new state";
}

TEST_F(InputTest, StickDeadZonesAndTriggerThreshold) {
    pads.connect(0, true);
    ControlScheme pad0 = controlSchemeFor(0);
    pads.pad(0).sThumbLX = -7849;
    pads.pad(0).sThumbRX = 8689;
    pads.pad(0).bRightTrigger = 30;
    frame();
    PlayerActions a = readActions(pad0, input());
    EXPECT_FALSE(a.moveLeft);
    EXPECT_FALSE(a.padTurnMinus);
    EXPECT_FALSE(a.shootHeld);

    pads.pad(0).sThumbLX = -7850;
    pads.pad(0).sThumbRX = 8690;
    pads.pad(0).bRightTrigger = 31;
    frame();
    a = readActions(pad0, input());
    EXPECT_TRUE(a.moveLeft);
    EXPECT_FALSE(a.moveRight);
    EXPECT_TRUE(a.padTurnMinus);
    EXPECT_TRUE(a.shootHeld);
    EXPECT_TRUE(a.padShootHeld);

    pads.pad(0).sThumbLX = 7850;
    pads.pad(0).sThumbRX = -8690;
    frame();
    a = readActions(pad0, input());
    EXPECT_TRUE(a.moveRight);
    EXPECT_TRUE(a.padTurnPlus);
}

TEST_F(InputTest, SchemesReadOnlyTheirOwnDevice) {
    // Every pad pushed hard and every key of both halves held.
    for (uint32_t p = 0; p < 4; ++p) {
        pads.connect(p, true);
        pads.pad(p).sThumbLX = -32768;
        pads.pad(p).bRightTrigger = 255;
        pads.setButtons(p, kPadA | kPadX);
    }
    frame();
    for (int scheme = 4; scheme <= 5; ++scheme) {
        PlayerActions a = readActions(controlSchemeFor(scheme), input());
        EXPECT_FALSE(a.moveLeft || a.shootHeld || a.jump || a.special) << "keyboard scheme " << scheme;
    }
    endFrame();

    // The pads leave: from here on only keys act.
    for (uint32_t p = 0; p < 4; ++p) {
        pads.connect(p, false);
    }
    std::initializer_list<sf::Keyboard::Key> all = {
        sf::Keyboard::A,       sf::Keyboard::D,      sf::Keyboard::W,       sf::Keyboard::F,
        sf::Keyboard::H,       sf::Keyboard::T,      sf::Keyboard::G,       sf::Keyboard::Left,
        sf::Keyboard::Right,   sf::Keyboard::Up,     sf::Keyboard::Numpad4, sf::Keyboard::Numpad6,
        sf::Keyboard::Numpad8, sf::Keyboard::Numpad5};
    for (sf::Keyboard::Key k : all) {
        input().queueEvent(keyEvent(k, true));
    }
    frame();
    endFrame();
    PlayerActions pad2 = readActions(controlSchemeFor(2), input());
    EXPECT_FALSE(pad2.moveLeft || pad2.moveRight || pad2.turnPlus || pad2.turnMinus || pad2.jump ||
                 pad2.special || pad2.shootHeld)
        << "a gamepad scheme reacts to no key";
    PlayerActions left = readActions(controlSchemeFor(4), input());
    EXPECT_TRUE(left.moveLeft && left.moveRight && left.jump && left.turnPlus && left.turnMinus &&
                left.shootHeld && left.special);
    PlayerActions right = readActions(controlSchemeFor(5), input());
    EXPECT_TRUE(right.moveLeft && right.moveRight && right.jump && right.turnPlus && right.turnMinus &&
                right.shootHeld && right.special);
    frame({keyEvent(sf::Keyboard::Numpad8, false)});
    EXPECT_TRUE(readActions(controlSchemeFor(5), input()).shootKeyReleased);

    // A number outside the six keeps its number and, being no pad, reads nothing.
    ControlScheme odd = controlSchemeFor(9);
    EXPECT_EQ(odd.padIndex, 9u);
    PlayerActions none = readActions(odd, input());
    EXPECT_FALSE(none.moveLeft || none.moveRight || none.jump || none.shootHeld || none.special);
}

// The real back end, through SDL's virtual controllers.
TEST(SdlGamepads, TranslatesControllersIntoTheStateRecord) {
    SdlGamepadBackend backend;
    ASSERT_TRUE(backend.available());
    XInputState state;
    EXPECT_EQ(backend.getState(0, &state), kPadNotConnected);

    int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                           SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(device, 0) << SDL_GetError();
    SDL_Joystick* joystick = SDL_JoystickOpen(device);
    ASSERT_NE(joystick, nullptr);
    backend.poll(); // SDL takes a trigger's first reading as its rest position
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_START, 1);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, -32768);
    backend.poll();

    ASSERT_EQ(backend.getState(0, &state), kPadSuccess);
    EXPECT_EQ(state.Gamepad.wButtons, kPadA | kPadStart);
    EXPECT_EQ(state.Gamepad.bRightTrigger, 255);
    EXPECT_EQ(state.Gamepad.bLeftTrigger, 0);
    EXPECT_EQ(state.Gamepad.sThumbLX, -32768);
    EXPECT_EQ(state.Gamepad.sThumbLY, 32767) << "stick up is positive";
    EXPECT_EQ(backend.getState(1, &state), kPadNotConnected);

    SDL_JoystickClose(joystick);
    SDL_JoystickDetachVirtual(device);
    backend.poll();
    EXPECT_EQ(backend.getState(0, &state), kPadNotConnected) << "unplugging frees the slot";
}

// A real pad pulled out mid-drive: SDL closes it, and from the next frame the input reads it as
// let go, without the release edges a menu would act on. A pad in the freed slot starts afresh.
TEST(SdlGamepads, AControllerPulledOutMidDriveLetsGoOfEverythingWithoutEdges) {
    SdlGamepadBackend backend;
    ASSERT_TRUE(backend.available());
    setGamepadBackend(&backend);
    InputManager& input = InputManager::instance();
    auto frame = [&input] {
        input.endFrame();
        input.update(nullptr);
    };
    auto attach = [](uint8_t aButton) {
        int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                               SDL_CONTROLLER_BUTTON_MAX, 0);
        SDL_Joystick* joystick = SDL_JoystickOpen(device);
        SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, aButton);
        return std::pair{device, joystick};
    };
    auto [device, joystick] = attach(1);
    ASSERT_NE(joystick, nullptr) << SDL_GetError();
    frame(); // SDL takes a trigger's first reading as its rest position
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, 32767);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_START, 1);
    frame();
    const ControlScheme pad0 = controlSchemeFor(0);
    ASSERT_TRUE(readActions(pad0, input).moveRight && readActions(pad0, input).shootHeld);
    ASSERT_TRUE(input.padHeld(0, kButtonStart) && input.padHeld(0, kButtonA));

    SDL_JoystickClose(joystick);
    SDL_JoystickDetachVirtual(device);
    for (int i = 0; i < 2; ++i) {
        frame();
        EXPECT_FALSE(input.padConnected(0));
        PlayerActions a = readActions(pad0, input);
        EXPECT_FALSE(a.moveRight || a.shootHeld || a.padShootHeld) << "frame " << i;
        for (int b = 0; b < kPadButtonCount; ++b) {
            // Released at the loss, Start would open or close the pause menu by itself.
            EXPECT_FALSE(input.padHeld(0, b) || input.padPressed(0, b) || input.padReleased(0, b)) << b;
        }
    }

    // Plugged in again with A down: A presses afresh, and the stick starts from rest.
    std::tie(device, joystick) = attach(1);
    frame();
    EXPECT_TRUE(input.padConnected(0));
    EXPECT_TRUE(input.padPressed(0, kButtonA));
    EXPECT_FALSE(input.padReleased(0, kButtonStart));
    EXPECT_FALSE(readActions(pad0, input).moveRight);
    SDL_JoystickClose(joystick);
    SDL_JoystickDetachVirtual(device);
    setGamepadBackend(nullptr);
}

TEST(SdlGamepads, TriggerScale) {
    EXPECT_EQ(SdlGamepadBackend::triggerToByte(0), 0);
    EXPECT_EQ(SdlGamepadBackend::triggerToByte(-5), 0);
    EXPECT_EQ(SdlGamepadBackend::triggerToByte(32767), 255);
    // The game's threshold of 31 sits at about an eighth of the travel.
    EXPECT_LT(SdlGamepadBackend::triggerToByte(3800), 31);
    EXPECT_GE(SdlGamepadBackend::triggerToByte(4000), 31);
}
