#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// Gamepads in the shape the game reads them: four pads, each an XInput-style state record.
// The real back end reads SDL2 game controllers; tests set pad states directly.

constexpr uint32_t kPadSuccess = 0;
constexpr uint32_t kPadNotConnected = 1167;
constexpr uint32_t kMaxPads = 4;

// Button bits of the state record.
enum PadButtonBits : uint16_t {
    kPadDpadUp = 0x0001,
    kPadDpadDown = 0x0002,
    kPadDpadLeft = 0x0004,
    kPadDpadRight = 0x0008,
    kPadStart = 0x0010,
    kPadBack = 0x0020,
    kPadLeftThumb = 0x0040,
    kPadRightThumb = 0x0080,
    kPadLeftShoulder = 0x0100,
    kPadRightShoulder = 0x0200,
    kPadA = 0x1000,
    kPadB = 0x2000,
    kPadX = 0x4000,
    kPadY = 0x8000,
};

struct XInputGamepad {
    uint16_t wButtons = 0;
    uint8_t bLeftTrigger = 0;  // 0..255
    uint8_t bRightTrigger = 0; // 0..255
    int16_t sThumbLX = 0;      // -32768..32767, right positive
    int16_t sThumbLY = 0;      // up positive
    int16_t sThumbRX = 0;
    int16_t sThumbRY = 0;
};

struct XInputState {
    uint32_t dwPacketNumber = 0;
    XInputGamepad Gamepad;
};

class GamepadBackend {
  public:
    virtual ~GamepadBackend() = default;
    // Picks up plugged and unplugged pads and refreshes their values; once per frame.
    virtual void poll() {}
    // kPadSuccess with the pad's state, or kPadNotConnected leaving *state untouched.
    virtual uint32_t getState(uint32_t pad, XInputState* state) = 0;
    // Asks a pad's two motors (0..65535 each: the heavy low one, the light high one) to run for a
    // while; a later request replaces it. A pad that is absent or cannot rumble stays still.
    virtual void rumble(uint32_t /*pad*/, uint16_t /*low*/, uint16_t /*high*/, uint32_t /*milliseconds*/) {}
};

// SDL2 game controllers (the game-controller subsystem only: SDL opens no window).
// Pads 0 to 3 are the first four controllers in connection order; an unplugged pad frees
// its slot and the next pad plugged in takes the first free one.
class SdlGamepadBackend : public GamepadBackend {
  public:
    SdlGamepadBackend();
    ~SdlGamepadBackend() override;
    void poll() override;
    uint32_t getState(uint32_t pad, XInputState* state) override;
    void rumble(uint32_t pad, uint16_t low, uint16_t high, uint32_t milliseconds) override;
    bool available() const { return initialised; }

    // SDL trigger values (0..32767) on the record's 0..255 scale.
    static uint8_t triggerToByte(int16_t value);
    // SDL's stick Y grows downwards; the record's grows upwards.
    static int16_t flipAxis(int16_t value);

  private:
    bool initialised = false;
    std::array<void*, kMaxPads> controllers{}; // SDL_GameController*
    std::array<XInputState, kMaxPads> states{};
    // A pad without motors is told once per plugging, not at every hit.
    std::array<bool, kMaxPads> rumbleRefusalTold{};
};

struct RumbleRequest {
    uint32_t pad = 0;
    uint16_t low = 0;
    uint16_t high = 0;
    uint32_t milliseconds = 0;
    bool operator==(const RumbleRequest&) const = default;
};

// Pads whose states a test writes; a pad is connected only while a test says so. Rumble
// requests to connected pads are kept in order for the test to read.
class TestGamepadBackend : public GamepadBackend {
  public:
    uint32_t getState(uint32_t pad, XInputState* state) override;
    void rumble(uint32_t pad, uint16_t low, uint16_t high, uint32_t milliseconds) override;
    void connect(uint32_t pad, bool value) { connected.at(pad) = value; }
    void setButtons(uint32_t pad, uint16_t buttons);
    XInputGamepad& pad(uint32_t index) { return states.at(index).Gamepad; }

    std::array<bool, kMaxPads> connected{};
    std::array<XInputState, kMaxPads> states{};
    std::vector<RumbleRequest> rumbles;
};

// The back end the game reads; SDL unless a test installs another (null restores SDL).
void setGamepadBackend(GamepadBackend* backend);
GamepadBackend& gamepadBackend();

// The game's single read path for a pad.
uint32_t XInputGetState(uint32_t pad, XInputState* state);
