#include "editor/map_checks.hpp"

#include "editor/drop_test.hpp"
#include "editor/map_file.hpp"
#include "match/arena.hpp"

#include <array>
#include <cmath>

namespace {

using Kind = EditorSelection::Kind;

// A drop that meets the death border this soon began inside it.
constexpr float kAtOnce = 0.05f;

// The area the death border leaves free: the arena bounds and the border's margin around them.
struct Area {
    float left, right, bottom, top;
    bool holds(float x, float y) const { return x > left && x < right && y > bottom && y < top; }
};

Area freeArea(float cameraZoom) {
    const ArenaBounds b = ArenaBoundsFor(cameraZoom);
    return {b.left - kDeathBorderMargin, b.right + kDeathBorderMargin, b.bottom - kDeathBorderMargin,
            b.top + kDeathBorderMargin};
}

std::array<vec2, 4> corners(const PlatformEntry& p) {
    const float a = p.rotation.z * kDegToRad;
    const vec2 along{std::cos(a) * p.scale.x * 0.5f, std::sin(a) * p.scale.x * 0.5f};
    const vec2 up{-std::sin(a) * p.scale.y * 0.5f, std::cos(a) * p.scale.y * 0.5f};
    const vec2 c{p.position.x, p.position.y};
    return {c + along + up, c + along - up, c - along + up, c - along - up};
}

std::string place(const vec3& at) {
    return "(" + MapNumber(at.x) + ", " + MapNumber(at.y) + ")";
}

} // namespace

std::vector<MapProblem> CheckMap(const MapData& map) {
    std::vector<MapProblem> problems;
    if (!IsPlainMapName(map.name)) {
        problems.push_back({MapProblem::Kind::BadName,
                            "The name \"" + map.name +
                                "\" is not a plain name: a letter, then letters, digits, _ or -, " +
                                std::to_string(kMaxMapNameLength) + " at most",
                            {}});
    }
    const auto& spawns = map.spawnPoints;
    if (spawns.size() < kMinSpawnPoints) {
        problems.push_back({MapProblem::Kind::FewSpawnPoints,
                            std::to_string(spawns.size()) + " spawn points: four players need " +
                                std::to_string(kMinSpawnPoints),
                            {}});
    }
    const Area area = freeArea(map.cameraZoom);
    for (size_t i = 0; i < map.platforms.size(); ++i) {
        for (vec2 corner : corners(map.platforms[i])) {
            if (!area.holds(corner.x, corner.y)) {
                problems.push_back({MapProblem::Kind::OutsideArena,
                                    "Platform " + std::to_string(i + 1) + " at " +
                                        place(map.platforms[i].position) + " reaches into the death border",
                                    {Kind::Platform, i}});
                break;
            }
        }
    }
    const std::vector<TankDrop> drops = DropTanks(map, kSettleSeconds);
    for (size_t i = 0; i < spawns.size() && i < drops.size(); ++i) {
        const std::string name = "Spawn point " + std::to_string(i + 1) + " at " + place(spawns[i]);
        // A tank that touches the border within its first few steps was put into it.
        const bool inBorder = drops[i].end == TankDrop::End::DeathZone && drops[i].seconds <= kAtOnce;
        if (!area.holds(spawns[i].x, spawns[i].y) || inBorder) {
            problems.push_back({MapProblem::Kind::OutsideArena,
                                name + " puts its tank into the death border",
                                {Kind::SpawnPoint, i}});
        } else if (drops[i].touched < 0.0f || drops[i].touched > kLandingSeconds) {
            problems.push_back({MapProblem::Kind::NoGround,
                                name + " has no platform under it: a tank dropped there " +
                                    (drops[i].end == TankDrop::End::DeathZone
                                         ? "falls into the death zone"
                                         : "is still falling after " + MapNumber(kLandingSeconds) + " s"),
                                {Kind::SpawnPoint, i}});
        } else if (drops[i].end != TankDrop::End::Landed) {
            problems.push_back(
                {MapProblem::Kind::NoGround,
                 name + " gives its tank no footing: a tank dropped there touches a platform but " +
                     (drops[i].end == TankDrop::End::DeathZone
                          ? "slides off into the death zone"
                          : "does not come to rest on one within " + MapNumber(kSettleSeconds) + " s"),
                 {Kind::SpawnPoint, i}});
        }
        for (size_t j = 0; j < i; ++j) {
            if (std::hypot(spawns[i].x - spawns[j].x, spawns[i].y - spawns[j].y) < kSpawnSpacing) {
                problems.push_back({MapProblem::Kind::SpawnPointsOverlap,
                                    name + " is too close to spawn point " + std::to_string(j + 1) +
                                        ": their tanks would start inside each other",
                                    {Kind::SpawnPoint, i}});
                break;
            }
        }
    }
    return problems;
}
