#pragma once

#include "platform/gamepad.hpp"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

#include <array>
#include <cstdint>
#include <deque>
#include <string>

// One key or mouse button this frame.
struct ButtonEdge {
    bool pressed = false;  // went down this frame
    bool held = false;     // is down
    bool released = false; // went up this frame
};

// Pad button slots, in the order the game indexes them.
enum PadButton : int {
    kButtonA = 0,
    kButtonB,
    kButtonX,
    kButtonY,
    kButtonDpadUp,
    kButtonDpadDown,
    kButtonDpadLeft,
    kButtonDpadRight,
    kButtonLeftShoulder,
    kButtonRightShoulder,
    kButtonLeftThumb,
    kButtonRightThumb,
    kButtonStart,
    kButtonBack,
    kPadButtonCount
};

constexpr int kKeyCount = 101; // SFML key codes 0..100
constexpr int kMouseButtonCount = 5;

// Turns window events and the four pads into per-frame arrays of edges. It maps no actions:
// consumers read the key, button or stick they care about.
class InputManager {
  public:
    static InputManager& instance();

    // Once per frame: clears one-frame edges, reads the pads, drains the window's events
    // (and any a test queued). A null window drains only queued events. A pad that does not
    // answer reads as let go (no button held, sticks and triggers at rest) until it is back.
    void update(sf::Window* targetWindow);
    // At every game-state switch: a key still held counts as up until pressed again, and a
    // pad button still held makes a new pressed edge in the new state.
    void resetEdges();
    // End of frame: remember this frame's pad buttons for next frame's edges.
    void endFrame();

    // Events go through the same handler the window poll uses.
    void queueEvent(const sf::Event& event) { injected.push_back(event); }
    void handleEvent(const sf::Event& event);

    // Key edges by SFML key code. Any code outside 0..100 (Unknown, or the selection panels'
    // "no key" 101) answers false, so callers never index the arrays themselves.
    bool keyPressed(int code) const;
    bool keyHeld(int code) const;
    bool keyReleased(int code) const;

    bool padPressed(uint32_t pad, int button) const;
    bool padHeld(uint32_t pad, int button) const;
    // Down at the end of the previous frame and up now (menus that act on release).
    bool padReleased(uint32_t pad, int button) const;
    // Whether a pad's buttons word has the bit of a button slot.
    static uint16_t buttonBit(int button);
    // Whether the pad answered at this frame's update; false past the last pad.
    bool padConnected(uint32_t pad) const { return pad < kMaxPads && padsConnected[pad]; }

    std::array<ButtonEdge, kKeyCount> keys{};
    std::array<XInputState, kMaxPads> padStates{};
    std::array<bool, kMaxPads> padsConnected{};
    // Mouse buttons take both edges from the events, so a click shorter than a frame has its
    // press and its release in the same frame.
    std::array<ButtonEdge, kMouseButtonCount> mouseButtons{};
    // Where each button last went down, in window pixels from the top-left corner.
    std::array<sf::Vector2i, kMouseButtonCount> mousePressedAt{};
    float wheelDelta = 0.0f;
    // The printable characters typed this frame, in order (as the keyboard's layout makes them).
    std::string typed;
    // Where the mouse is in the window; not known until it first moves in, nor after it leaves.
    sf::Vector2i mousePosition;
    bool mouseInWindow = false;
    std::array<std::array<bool, kPadButtonCount>, kMaxPads> previousButtons{};
    std::array<std::array<bool, kPadButtonCount>, kMaxPads> currentButtons{};
    sf::Window* window = nullptr;
    bool windowKnown = false;

  private:
    InputManager();
    std::deque<sf::Event> injected;
};
