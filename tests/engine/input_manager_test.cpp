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

// One of SDL's virtual controllers, plugged in, with A as given.
std::pair<int, SDL_Joystick*> attachVirtualPad(uint8_t aButton = 0) {
    int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                           SDL_CONTROLLER_BUTTON_MAX, 0);
    SDL_Joystick* joystick = SDL_JoystickOpen(device);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, aButton);
    return {device, joystick};
}
void unplug(std::pair<int, SDL_Joystick*> pad) {
    SDL_JoystickClose(pad.second);
    SDL_JoystickDetachVirtual(pad.first);
}

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

    frame({keyEvent(sf::Keyboard::Unknown, true), keyEvent(sf::Keyboard::Pause, true)});
    EXPECT_TRUE(input().keyPressed(sf::Keyboard::Pause) && input().keyHeld(sf::Keyboard::Pause));
    for (int code : {-1, 101}) { // 101 is the selection panels' "no key"
        EXPECT_FALSE(input().keyPressed(code) || input().keyHeld(code) || input().keyReleased(code)) << code;
    }
}

TEST_F(InputTest, AClickShorterThanAFrameHasBothEdgesAndTheMouseIsKnownOnlyInTheWindow) {
    auto mouse = [](sf::Event::EventType type, int x, int y) {
        sf::Event e{};
        e.type = type;
        if (type == sf::Event::MouseMoved) {
            e.mouseMove = {x, y};
        } else {
            e.mouseButton = {sf::Mouse::Left, x, y};
        }
        return e;
    };
    frame();
    EXPECT_FALSE(input().mouseInWindow) << "no place before the mouse first moves in";
    frame({mouse(sf::Event::MouseMoved, 10, 20), mouse(sf::Event::MouseButtonPressed, 30, 40),
           mouse(sf::Event::MouseButtonReleased, 31, 41)});
    const ButtonEdge& left = input().mouseButtons[sf::Mouse::Left];
    EXPECT_TRUE(left.pressed && left.released && !left.held);
    EXPECT_EQ(input().mousePressedAt[sf::Mouse::Left], sf::Vector2i(30, 40));
    EXPECT_EQ(input().mousePosition, sf::Vector2i(31, 41));
    EXPECT_TRUE(input().mouseInWindow);
    frame({sf::Event{sf::Event::MouseLeft, {}}});
    EXPECT_FALSE(left.pressed || left.released) << "edges last one frame";
    EXPECT_FALSE(input().mouseInWindow);
}

TEST_F(InputTest, PadButtonEdgesLastOneFrame) {
    pads.connect(1, true);
    // The buttons down each frame, and A's pressed, held and released that frame.
    const std::pair<uint16_t, std::array<bool, 3>> frames[] = {{kPadA | kPadStart, {true, true, false}},
                                                               {kPadA | kPadStart, {false, true, false}},
                                                               {kPadStart, {false, false, true}},
                                                               {kPadStart, {false, false, false}}};
    for (const auto& [buttons, edges] : frames) {
        pads.setButtons(1, buttons);
        frame();
        EXPECT_EQ((std::array{input().padPressed(1, kButtonA), input().padHeld(1, kButtonA),
                              input().padReleased(1, kButtonA)}),
                  edges);
        EXPECT_FALSE(input().padPressed(1, kButtonB) || input().padReleased(1, kButtonStart));
        endFrame();
    }
    EXPECT_FALSE(input().padPressed(7, kButtonA)) << "indices past the pads read as nothing";
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
    auto read = [&](int16_t leftX, int16_t rightX, uint8_t trigger) {
        pads.pad(0).sThumbLX = leftX;
        pads.pad(0).sThumbRX = rightX;
        pads.pad(0).bRightTrigger = trigger;
        frame();
        return readActions(pad0, input());
    };
    PlayerActions a = read(-7849, 8689, 30);
    EXPECT_FALSE(a.moveLeft || a.padTurnMinus || a.shootHeld);
    a = read(-7850, 8690, 31);
    EXPECT_TRUE(a.moveLeft && !a.moveRight && a.padTurnMinus && a.shootHeld && a.padShootHeld);
    a = read(7850, -8690, 0);
    EXPECT_TRUE(a.moveRight && a.padTurnPlus);
}

TEST_F(InputTest, SchemesReadOnlyTheirOwnDevice) {
    // Every pad but the third pushed hard, and every key of the left half held.
    for (uint32_t p : {0u, 1u, 3u}) {
        pads.connect(p, true);
        pads.pad(p).sThumbLX = -32768;
        pads.pad(p).bRightTrigger = 255;
        pads.setButtons(p, kPadA | kPadX);
    }
    pads.connect(2, true);
    const ControlScheme left = controlSchemeFor(4);
    for (sf::Keyboard::Key k : {left.moveLeft, left.moveRight, left.jump, left.turnPlus, left.turnMinus,
                                left.shoot, left.special}) {
        input().queueEvent(keyEvent(k, true));
    }
    frame();
    auto acts = [this](int scheme) {
        PlayerActions a = readActions(controlSchemeFor(scheme), input());
        return a.moveLeft || a.moveRight || a.turnPlus || a.turnMinus || a.jump || a.special || a.shootHeld;
    };
    EXPECT_TRUE(acts(4));
    EXPECT_FALSE(acts(5)) << "the right half reads neither the left half's keys nor a pad";
    EXPECT_FALSE(acts(2)) << "a gamepad scheme reacts to no key";
    EXPECT_FALSE(acts(9)) << "a number outside the six is no pad";
    endFrame();
    frame({keyEvent(left.shoot, false)});
    EXPECT_TRUE(readActions(left, input()).shootKeyReleased);
}

// A real pad through SDL's virtual controllers, pulled out mid-drive: SDL closes it, and from the
// next frame the input reads it as let go, without the release edges a menu would act on. A pad
// in the freed slot starts afresh.
TEST(SdlGamepads, AControllerPulledOutMidDriveLetsGoOfEverythingWithoutEdges) {
    SdlGamepadBackend backend;
    ASSERT_TRUE(backend.available());
    setGamepadBackend(&backend);
    InputManager& input = InputManager::instance();
    auto frame = [&input] {
        input.endFrame();
        input.update(nullptr);
    };
    auto pad = attachVirtualPad(1);
    SDL_Joystick* joystick = pad.second;
    ASSERT_NE(joystick, nullptr) << SDL_GetError();
    frame(); // SDL takes a trigger's first reading as its rest position
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, 32767);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, -32768);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_START, 1);
    frame();
    const XInputGamepad& state = input.padStates[0].Gamepad;
    EXPECT_EQ(state.wButtons, kPadA | kPadStart);
    EXPECT_EQ(state.bRightTrigger, 255);
    EXPECT_EQ(state.sThumbLY, 32767) << "stick up is positive";
    const ControlScheme pad0 = controlSchemeFor(0);
    ASSERT_TRUE(readActions(pad0, input).moveRight && readActions(pad0, input).shootHeld);
    ASSERT_TRUE(input.padHeld(0, kButtonStart) && input.padHeld(0, kButtonA));

    unplug(pad);
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
    pad = attachVirtualPad(1);
    frame();
    EXPECT_TRUE(input.padConnected(0));
    EXPECT_TRUE(input.padPressed(0, kButtonA));
    EXPECT_FALSE(input.padReleased(0, kButtonStart));
    EXPECT_FALSE(readActions(pad0, input).moveRight);
    unplug(pad);
    setGamepadBackend(nullptr);
}

TEST(SdlGamepads, TriggerScale) {
    EXPECT_EQ(SdlGamepadBackend::triggerToByte(-5), 0);
    // The game's threshold of 31 sits at about an eighth of the travel.
    EXPECT_LT(SdlGamepadBackend::triggerToByte(3800), 31);
    EXPECT_GE(SdlGamepadBackend::triggerToByte(4000), 31);
}
