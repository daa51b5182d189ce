#include "gameplay/rumble.hpp"

#include "gameplay/player.hpp"
#include "platform/gamepad.hpp"

#include <algorithm>
#include <cmath>

namespace {

bool rumbleEnabled = false;

// A graze is still felt; the hardest hits stop short of the knock-out's full shake.
constexpr float kHitFloor = 0.2f;
constexpr float kHitPerRise = 1.5f;
constexpr float kHitCeiling = 0.8f;
constexpr uint32_t kHitMilliseconds = 150;
constexpr uint32_t kLifeLostMilliseconds = 700;

uint16_t motor(float strength) {
    return static_cast<uint16_t>(std::lround(std::clamp(strength, 0.0f, 1.0f) * 65535.0f));
}

} // namespace

void SetRumbleEnabled(bool enabled) {
    rumbleEnabled = enabled;
}

bool RumbleEnabled() {
    return rumbleEnabled;
}

RumblePulse HitRumble(float rise) {
    // The light motor carries the knock; the heavy one adds body to it at half strength.
    const float strength = std::clamp(kHitFloor + std::max(rise, 0.0f) * kHitPerRise, kHitFloor, kHitCeiling);
    return {strength * 0.5f, strength, kHitMilliseconds};
}

RumblePulse LifeLostRumble() {
    return {1.0f, 1.0f, kLifeLostMilliseconds};
}

void RumbleFor(const Player& player, const RumblePulse& pulse) {
    // A seat with an action source is a computer or a replay: no hands on any pad.
    if (!rumbleEnabled || player.computer || player.actionSource != nullptr ||
        player.controls.padIndex >= kMaxPads) {
        return;
    }
    gamepadBackend().rumble(player.controls.padIndex, motor(pulse.low), motor(pulse.high),
                            pulse.milliseconds);
}
