#include "match/shared_spawn.hpp"

#include "objects/portable_math.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr float kPi = 3.1415927f;
// At most three tanks join the first one at a point, so three widths to each side suffice.
constexpr int kWidthsOut = 3;
constexpr float kRounding = 0.01f;
// Starts closer than this overlap.
constexpr float kApart = kTankWidth - kRounding;

// Half the width a platform covers seen from above, tilted platforms included.
float halfSpan(const PlatformEntry& platform) {
    return 0.5f * platform.scale.x * std::abs(portable::cos(platform.rotation.z * kPi / 180.0f));
}

// What a tank dropped at the point lands on: the highest platform below it that spans it.
const PlatformEntry* platformUnder(vec3 point, const std::vector<PlatformEntry>& platforms) {
    const PlatformEntry* under = nullptr;
    for (const PlatformEntry& platform : platforms) {
        if (platform.position.y > point.y || std::abs(point.x - platform.position.x) > halfSpan(platform)) {
            continue;
        }
        if (under == nullptr || platform.position.y > under->position.y) {
            under = &platform;
        }
    }
    return under;
}

} // namespace

vec3 StartBesideSharedSpawn(vec3 point, const std::vector<vec3>& starts,
                            const std::vector<PlatformEntry>& platforms) {
    const PlatformEntry* under = platformUnder(point, platforms);
    auto free = [&](float x) {
        for (const vec3& start : starts) {
            if (std::abs(start.x - x) < kApart && std::abs(start.y - point.y) < kApart) {
                return false;
            }
        }
        return true;
    };
    // How far the tank reaches past the platform's edge; 0 when it stands whole on it.
    auto overhang = [&](float x) {
        return under == nullptr
                   ? 0.0f
                   : std::max(0.0f, std::abs(x - under->position.x) + 0.5f * kTankWidth - halfSpan(*under));
    };
    std::optional<float> best;
    for (int k = 1; k <= kWidthsOut; ++k) {
        for (float side : {1.0f, -1.0f}) {
            const float x = point.x + side * static_cast<float>(k) * kTankWidth;
            if (!free(x)) {
                continue;
            }
            if (overhang(x) <= kRounding) {
                return {x, point.y, point.z};
            }
            if (!best.has_value() || overhang(x) < overhang(*best)) {
                best = x;
            }
        }
    }
    return {best.value_or(point.x), point.y, point.z};
}
