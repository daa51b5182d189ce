// Rumble: how hard hits and lost lives shake a pad, and in a real match the requests reaching an
// SDL virtual pad's motors, only for a person's pad and only when the game has rumble on.
#include "tests/match/match_scene.hpp"

#include "gameplay/rumble.hpp"
#include "physics/rigid_body.hpp"

#include <SDL2/SDL.h>

#include <memory>

using namespace match_test;

namespace {

// Motor values as the pad gets them: strength 0..1 on 0..65535.
constexpr uint16_t kHitLow = 16384, kHitHigh = 32768; // a hit raising the multiplier by 0.2
constexpr uint16_t kFull = 65535;

} // namespace

TEST(Rumble, HitsGrowWithTheDamageUpToACeilingThatALostLifePasses) {
    EXPECT_GT(HitRumble(0.0f).high, 0.0f) << "a hit that adds no damage is still felt";
    EXPECT_LT(HitRumble(0.1f).high, HitRumble(0.3f).high);
    EXPECT_EQ(HitRumble(0.4f).high, HitRumble(9.9f).high) << "the hardest hits feel alike";
    const RumblePulse lost = LifeLostRumble();
    EXPECT_LT(HitRumble(9.9f).high, lost.high) << "and stay below a lost life";
    EXPECT_GT(lost.milliseconds, 4 * HitRumble(9.9f).milliseconds) << "a knock-out is long, a hit short";
}

namespace {

using MotorLog = std::vector<std::pair<uint16_t, uint16_t>>;

// SDL stops a pulse with 0, 0 and may send a running one again: neither is a new request.
int SDLCALL recordRumble(void* userdata, Uint16 low, Uint16 high) {
    MotorLog& requests = *static_cast<MotorLog*>(userdata);
    const std::pair<uint16_t, uint16_t> request{low, high};
    if ((low != 0 || high != 0) && (requests.empty() || requests.back() != request)) {
        requests.push_back(request);
    }
    return 0;
}

// The same match on SDL's game controllers, with a virtual pad whose motors write to a log.
class RumbleOnSdlPad : public MatchScene {
  protected:
    void SetUp() override {
        MatchScene::SetUp();
        sdl = std::make_unique<SdlGamepadBackend>();
        ASSERT_TRUE(sdl->available());
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "Test pad with motors";
        desc.userdata = &motors;
        desc.Rumble = recordRumble;
        device = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(device, 0) << SDL_GetError();
        setGamepadBackend(sdl.get());
    }
    void TearDown() override {
        setGamepadBackend(nullptr);
        sdl.reset();
        MatchScene::TearDown();
    }

    std::unique_ptr<SdlGamepadBackend> sdl;
    MotorLog motors;
    int device = -1;
};

} // namespace

TEST_F(RumbleOnSdlPad, OnlyAPersonsPadGetsTheRequestsAndOnlyWithRumbleOn) {
    // Players 1 and 2 on the keyboard, 3 on the first pad (the virtual one), 4 a computer.
    WriteQuickMatchSettings({"Meadow", 4, 3, 180, 1, "easy"});
    startWithCurrentSettings();
    runToPlay();
    ASSERT_TRUE(player(4)->computer);
    auto hitEveryone = [this] {
        for (int n = 1; n <= 4; ++n) {
            player(n)->damageScale = 1.0f;
            player(n)->ApplyKnockback({1.0f, 0.0f}, 10.0f, 0.2f, 0.0f);
        }
    };
    auto knockOut = [this](int n) {
        player(n)->tank.rigidBody->SetPosition(-5.0f, -40.0f);
        run(3);
        ASSERT_EQ(player(n)->lives, 2u);
    };
    hitEveryone();
    run(1);
    EXPECT_TRUE(motors.empty()) << "off unless the game was started with --rumble";

    SetRumbleEnabled(true);
    player(3)->actionSource = match()->computers[3].get(); // as in a replay: no hands on the pad
    player(3)->ApplyKnockback({}, 0.0f, 0.5f, 0.0f);
    player(3)->actionSource = nullptr;
    player(3)->knockbackMultiplier = 1.0f;
    hitEveryone();
    knockOut(1);
    knockOut(4);
    knockOut(3);
    EXPECT_EQ(motors, (MotorLog{{kHitLow, kHitHigh}, {kFull, kFull}}));
}
