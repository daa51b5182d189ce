#include "gameplay/bot.hpp"

#include "gameplay/bullet.hpp"
#include "gameplay/object_factory.hpp"
#include "gameplay/player.hpp"
#include "gameplay/special_bullets.hpp"
#include "gameplay/standard_bullets.hpp"
#include "gameplay/teams.hpp"
#include "objects/game_object_list.hpp"
#include "objects/portable_math.hpp"
#include "physics/collider.hpp"
#include "physics/physics_step.hpp"
#include "physics/rigid_body.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

// ---- How the levels play ----

constexpr BotTuning kEasy{.thinkInterval = 0.9f,
                          .reactionTime = 0.45f,
                          .aimSpread = 0.25f,
                          .chargeSpread = 0.12f,
                          .leadShare = 0.0f,
                          .shotPause = 1.2f,
                          .edgeMargin = 0.6f,
                          .edgeBlindChance = 0.1f,
                          .wander = 4.0f,
                          .pickUpRange = 8.0f,
                          .focusDamaged = 0.0f,
                          .fineAim = false,
                          .dodges = false};
constexpr BotTuning kNormal{.thinkInterval = 0.45f,
                            .reactionTime = 0.2f,
                            .aimSpread = 0.06f,
                            .chargeSpread = 0.04f,
                            .leadShare = 0.5f,
                            .shotPause = 0.5f,
                            .edgeMargin = 1.5f,
                            .edgeBlindChance = 0.0f,
                            .wander = 1.5f,
                            .pickUpRange = 14.0f,
                            .focusDamaged = 0.2f,
                            .fineAim = true,
                            .dodges = true};
constexpr BotTuning kHard{.thinkInterval = 0.2f,
                          .reactionTime = 0.05f,
                          .aimSpread = 0.015f,
                          .chargeSpread = 0.0f,
                          .leadShare = 1.0f,
                          .shotPause = 0.1f,
                          .edgeMargin = 2.5f,
                          .edgeBlindChance = 0.0f,
                          .wander = 0.0f,
                          .pickUpRange = 25.0f,
                          .focusDamaged = 0.5f,
                          .fineAim = true,
                          .dodges = true};

// ---- The tank and the world, as the player logic and the physics make them ----

constexpr float kTankGravity = 9.8f * 2.0f;
constexpr float kBulletGravity = 9.8f;
constexpr float kTankDampingRate = 1.204f; // -ln 0.3: the body keeps 30 % of its speed a second
constexpr float kRootToFeet = 0.5f;        // the wheels reach half a unit below the root
constexpr float kTankHalfWidth = 1.3f;
constexpr float kBodyAboveRoot = 0.6f; // the middle of the body, where shots are aimed
constexpr float kMuzzle = 0.55f;       // BulletOut along the barrel from BarrelRoot
constexpr float kTurretLimit = 90.0f;
constexpr float kJumpHeightRoom = 1.5f;  // it jumps while its wheels are below a ledge's top plus this
constexpr float kCornerClearance = 0.8f; // wheels this far over a ledge's top clear its corner
constexpr float kSideRoom = 3.0f;        // how far off a ledge's side it rises
constexpr float kLandingSpeed = 12.0f;   // sideways speed it comes in over a ledge at

// ---- Its own habits ----

constexpr float kNearRange = 6.0f;   // closer than this it backs off: its own blasts reach it
constexpr float kFarRange = 18.0f;   // farther it closes in, where the platforms let it
constexpr float kRelocate = 10.0f;   // how far it moves on when it has no shot from where it is
constexpr float kMinCharge = 8.0f;   // weaker shots barely leave the barrel
constexpr float kSteadySpeed = 2.5f; // it starts charging only when nearly still
constexpr float kSimStep = 1.0f / 60.0f;
constexpr float kGiveUpAfter = 1.0f;     // seconds held at full charge with no shot that fits
constexpr float kFriendClearance = 1.6f; // a shot's path keeps this far from a teammate's body
constexpr float kClearance = 0.3f;       // room it leaves between a shot's path and a platform corner
constexpr float kSpinCost = 2.0f;        // seconds a full-charge level shot's recoil spin is worth avoiding
constexpr float kHopWorth = 4.0f;        // a hop must bring it this much nearer its goal
constexpr float kHopLedgeWidth = 4.0f;   // narrower platforms are not worth hopping to
constexpr float kJumpClearance = 10.0f;  // room overhead a jump wants
constexpr float kHopGap = 8.0f;          // the widest gap it jumps
constexpr float kHopClimb = 7.0f;        // the highest ledge it hops up to (a jump rises about 10)
// However good the spot, it moves on after this long on one stretch of ground (a fresh draw in
// the range each time it lands), and sooner when it has found no shot from there for a while:
// a computer sniping from one ledge is effective and dull.
constexpr float kStayShortest = 3.0f;
constexpr float kStayLongest = 5.0f;
constexpr float kNoShotPatience = 2.5f;
constexpr float kMoveOnChargeHeld = 0.5f; // moving on, it lets go of a charge held this long
constexpr float kDodgeGrace = 2.0f;       // how long past its stay dodging may still put a move off
constexpr float kMoveOnLedgeWidth = 3.0f; // the narrowest platform it moves on to
constexpr float kTakeOffMargin = 1.0f;    // how near an edge it drives to jump from
constexpr float kRunUpSpeed = 8.0f;       // a running jump leaves at this speed or more
constexpr float kRunUp = 3.5f;            // and gathers it over this far before its take-off
constexpr float kKeepMoveOn = 6.0f;       // seconds a way to move on stands before it looks again
constexpr int kMoveOnTries = 60;          // jumps it tries out, at most, looking for one that works
constexpr float kHeldUpFor = 0.8f;        // seconds stuck short of its take-off place before it jumps anyway
constexpr float kTakeOffSlack = 2.0f;     // how far off the planned sideways speed a jump may leave
constexpr float kKeepNear = 6.0f;         // thrown farther than this from its take-off, it looks again
constexpr float kWedgedFor = 0.6f;        // seconds wedged off its wheels, neither falling nor driving
constexpr float kDropSpeed = 4.0f;        // the gentlest speed it drives off an end at
constexpr float kLongFlight = 2.5f;       // seconds in the air on a hop before it lets the hop go

struct Box {
    vec2 centre;
    vec2 half;
    vec2 right; // unit axis along the width
    vec2 up;    // unit axis along the height
};

// A stretch of ground a tank can drive along without dropping.
struct Span {
    float left = 0.0f;
    float right = 0.0f;
    float top = 0.0f; // under the tank
};

// Solid, collidable platforms. The decorative inner plate carries no collider and is skipped.
std::vector<Box> platformsInPlay() {
    std::vector<Box> boxes;
    for (const GameObject* object : GameObjectList::instance().objects()) {
        if (!object->active || object->name != "Platform") {
            continue;
        }
        const auto* collider = object->getComponent<OBBCollider>();
        if (collider == nullptr || !collider->enabled) {
            continue;
        }
        // Platforms are root objects that never move: their local pose is their world pose.
        const Transform& t = object->transform;
        float a = t.rotation.z * kDegToRad;
        boxes.push_back({vec2{t.position.x, t.position.y} + collider->offset,
                         {collider->width / 2.0f, collider->height / 2.0f},
                         {portable::cos(a), portable::sin(a)},
                         {-portable::sin(a), portable::cos(a)}});
    }
    return boxes;
}

// Where the vertical line at x runs through the box, bottom to top.
bool verticalExtent(const Box& box, float x, float& low, float& high) {
    // A point (x, y) is inside when both local coordinates are within the half sizes; each is
    // linear in y, so each gives an interval of y.
    low = std::numeric_limits<float>::lowest();
    high = std::numeric_limits<float>::max();
    float dx = x - box.centre.x;
    for (auto [axis, half] : {std::pair{box.right, box.half.x}, std::pair{box.up, box.half.y}}) {
        float offset = dx * axis.x - box.centre.y * axis.y; // local coordinate = offset + y * axis.y
        if (std::abs(axis.y) < 1e-6f) {
            if (std::abs(offset) > half) {
                return false;
            }
            continue;
        }
        float a = (-half - offset) / axis.y;
        float b = (half - offset) / axis.y;
        low = std::max(low, std::min(a, b));
        high = std::min(high, std::max(a, b));
    }
    return low <= high;
}

// The highest platform top at x that lies no higher than limit.
std::optional<float> groundBelow(const std::vector<Box>& boxes, float x, float limit) {
    std::optional<float> best;
    for (const Box& box : boxes) {
        float low = 0.0f;
        float high = 0.0f;
        if (verticalExtent(box, x, low, high) && high <= limit && (!best || high > *best)) {
            best = high;
        }
    }
    return best;
}

bool touchesPlatform(const std::vector<Box>& boxes, vec2 p, float radius) {
    for (const Box& box : boxes) {
        vec2 d = p - box.centre;
        vec2 local{std::clamp(dot(d, box.right), -box.half.x, box.half.x),
                   std::clamp(dot(d, box.up), -box.half.y, box.half.y)};
        vec2 nearest = box.centre + box.right * local.x + box.up * local.y;
        if (lengthSquared(p - nearest) <= radius * radius) {
            return true;
        }
    }
    return false;
}

// How far the ground runs either way from x at the height top: it ends where it drops away
// (an edge) or where something stands in the way at body height (a wall).
Span spanAround(const std::vector<Box>& boxes, float x, float top) {
    constexpr float kStep = 0.25f;
    constexpr int kSteps = 240;
    auto walk = [&](float dir) {
        float at = x;
        float height = top;
        for (int i = 0; i < kSteps; ++i) {
            float next = at + dir * kStep;
            std::optional<float> ground = groundBelow(boxes, next, height + 0.5f);
            if (!ground || height - *ground > 1.0f || touchesPlatform(boxes, {next, *ground + 1.0f}, 0.3f)) {
                break;
            }
            at = next;
            height = *ground;
        }
        return at;
    };
    return {walk(-1.0f), walk(1.0f), top};
}

// Whether a spot lies on the stretch of ground given: as high and within its ends, or on a
// sloping platform (whose height changes along it) on a stretch with the same ends. A jump from
// one end of a slope to the other leaves nothing.
bool sameStretch(const std::vector<Box>& boxes, const Span& ground, vec2 spot) {
    if (spot.x < ground.left - 0.5f || spot.x > ground.right + 0.5f) {
        return false;
    }
    if (std::abs(spot.y - ground.top) < 1.0f) {
        return true;
    }
    Span there = spanAround(boxes, spot.x, spot.y);
    return std::abs(there.left - ground.left) < 1.0f && std::abs(there.right - ground.right) < 1.0f;
}

// The ground the tank stands on, or nothing while it is in the air or hanging past an edge. A
// tank knocked onto its side or its back rests with its root higher: then its contacts tell.
std::optional<Span> groundUnder(const std::vector<Box>& boxes, const RigidBody2D& body) {
    vec2 root = body.position;
    float feet = root.y - kRootToFeet;
    std::optional<float> top = groundBelow(boxes, root.x, feet + 0.5f);
    if (!top) {
        return std::nullopt;
    }
    bool resting = std::any_of(body.contacts.begin(), body.contacts.end(), [&](const ContactRecord& c) {
        return c.other != nullptr && c.other->owner->name == "Platform" &&
               std::any_of(c.manifold.points.begin(), c.manifold.points.end(),
                           [&](vec2 point) { return point.y < root.y - 0.2f; });
    });
    if (feet - *top > 0.4f && !(resting && root.y - *top < 2.0f)) {
        return std::nullopt;
    }
    return spanAround(boxes, root.x, *top);
}

// Nothing overhead for a jump to bump into: a jump rises about ten units and a platform hit from
// below sends the tank spinning.
bool clearAbove(const std::vector<Box>& boxes, vec2 root, float height) {
    for (float up = 2.0f; up <= height; up += 1.0f) {
        if (touchesPlatform(boxes, {root.x, root.y + up}, kTankHalfWidth)) {
            return false;
        }
    }
    return true;
}

// The top edge of a platform: its ends and its height in the middle.
struct Ledge {
    float left, right, top;
};
Ledge ledgeOf(const Box& box) {
    vec2 a = box.centre - box.right * box.half.x + box.up * box.half.y;
    vec2 b = box.centre + box.right * box.half.x + box.up * box.half.y;
    return {std::min(a.x, b.x), std::max(a.x, b.x), (a.y + b.y) / 2.0f};
}

// Where a tank in the air comes down if it does nothing, when that is on firm ground and not on
// the very edge of it.
struct Landing {
    vec2 at;
    Span span;
};
std::optional<Landing> landingOf(const std::vector<Box>& boxes, vec2 root, vec2 velocity, float lowestY) {
    vec2 p = root;
    vec2 v = velocity;
    float damping = portable::exp(-kTankDampingRate * kSimStep);
    for (int i = 0; i < 300 && p.y > lowestY - 5.0f; ++i) {
        float feetBefore = p.y - kRootToFeet;
        v.y -= kTankGravity * kSimStep;
        v = v * damping;
        p += v * kSimStep;
        if (v.y > 0.0f) {
            continue;
        }
        std::optional<float> top = groundBelow(boxes, p.x, feetBefore + 0.05f);
        if (top && p.y - kRootToFeet <= *top) {
            Span span = spanAround(boxes, p.x, *top);
            if (p.x > span.left + 0.3f && p.x < span.right - 0.3f) {
                return Landing{p, span};
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// A jump thought through: from the root's take-off place at that sideways speed, steering for
// the spot as it flies. It works when the tank comes down on the spot's ledge; a bump on a
// ceiling on the way up only stops the rise, but anything else hit first spoils it.
struct Reach {
    const std::vector<Box>& platforms;
    float driveAccel; // what a drive push does in a second
    float topSpeed;
    float lowestY; // nothing catches a tank below this
};
bool jumpLands(const Reach& reach, float jumpSpeed, float jumpCooldown, vec2 from, float vx, vec2 spot,
               const Ledge& ledge) {
    constexpr float kBodyRadius = 1.0f;
    vec2 p = from;
    vec2 v{vx, jumpSpeed};
    float damping = portable::exp(-kTankDampingRate * kSimStep);
    float push = reach.driveAccel * kSimStep;
    float cooldown = jumpCooldown;
    for (int i = 0; i < 240; ++i) {
        // As it steers in the air: off the ledge's side until its wheels clear the top, then
        // in over it at a moderate speed.
        float feet = p.y - kRootToFeet;
        bool beside = p.x < ledge.left || p.x > ledge.right;
        float goal = spot.x;
        float speed = kLandingSpeed;
        if (feet < ledge.top + kCornerClearance && beside) {
            goal = p.x < ledge.left ? std::min(goal, ledge.left - kSideRoom)
                                    : std::max(goal, ledge.right + kSideRoom);
            speed = reach.topSpeed;
        }
        float want = std::clamp((goal - p.x) * 3.0f, -speed, speed);
        // Jumps again in the air, as it does on its way back onto a ledge: not under a platform,
        // and not with one close overhead (recover() holds such a jump back too).
        cooldown -= kSimStep;
        bool beneath = feet < ledge.top - 0.2f && p.x > ledge.left - kTankHalfWidth &&
                       p.x < ledge.right + kTankHalfWidth;
        // Over the ledge and above its top it comes down on it, and recover() jumps no more.
        bool over = feet > ledge.top && p.x > ledge.left && p.x < ledge.right;
        if (!beneath && !over && cooldown <= 0.0f && v.y < 1.0f && feet < ledge.top + kJumpHeightRoom &&
            clearAbove(reach.platforms, p, kJumpClearance / 2.0f)) {
            v.y = jumpSpeed;
            cooldown = jumpCooldown;
        }
        v.x += std::clamp(want - v.x, -push, push);
        v.y -= kTankGravity * kSimStep;
        v = v * damping;
        float feetBefore = p.y - kRootToFeet;
        p += v * kSimStep;
        if (v.y <= 0.0f) {
            std::optional<float> top = groundBelow(reach.platforms, p.x, feetBefore + 0.05f);
            if (top && p.y - kRootToFeet <= *top) {
                return std::abs(*top - spot.y) < 1.0f && p.x > ledge.left + 0.5f && p.x < ledge.right - 0.5f;
            }
        }
        vec2 body = p + vec2{0.0f, kBodyAboveRoot};
        for (const Box& box : reach.platforms) {
            vec2 d = body - box.centre;
            vec2 local{std::clamp(dot(d, box.right), -box.half.x, box.half.x),
                       std::clamp(dot(d, box.up), -box.half.y, box.half.y)};
            vec2 nearest = box.centre + box.right * local.x + box.up * local.y;
            if (lengthSquared(body - nearest) > kBodyRadius * kBodyRadius) {
                continue;
            }
            if (nearest.y > body.y + kBodyRadius * 0.5f) {
                v.y = std::min(v.y, 0.0f); // a ceiling: the rise ends there
            } else if (nearest.y > body.y - kBodyRadius * 0.5f) {
                return false; // a side or a corner
            }
        }
        if (p.y < reach.lowestY - 5.0f) {
            return false;
        }
    }
    return false;
}

// What a turret shoots, as far as aiming cares.
struct ShotKind {
    float gravityScale = 1.0f;
    float maxFlight = 2.8f; // it goes off by itself after about this long
    float reach = 2.0f;     // its explosion throws tanks whose root is this close
    float radius = 0.3f;
    float minRange = 0.0f; // closer targets would catch the shooter too
    float straightCharge = 0.0f;
};

ShotKind shotKindOf(const Player& player) {
    switch (player.pickUpKind) {
    case PickUpKind::Artillery:
        // The shells from the top of the arena throw every tank, the shooter's too.
        return {.maxFlight = 0.72f, .reach = 4.0f, .radius = 0.5f, .minRange = 9.0f};
    case PickUpKind::Expulsion:
        return {.maxFlight = 0.72f, .reach = 5.0f, .radius = 0.5f};
    case PickUpKind::BlackHole:
        return {.maxFlight = 0.38f, .reach = 6.0f, .radius = 0.5f};
    case PickUpKind::Rocket:
        return {.maxFlight = 0.38f, .reach = 2.0f, .radius = 0.5f, .minRange = 6.0f};
    default:
        break;
    }
    switch (player.turretKind) {
    case 1:
        return {.reach = 3.5f, .radius = 0.5f};
    case 2:
        return {.reach = 2.25f, .radius = 0.4f};
    case 3:
        return {.reach = 2.0f, .radius = 0.4f};
    case 4:
        return {.gravityScale = 0.0f, .reach = 1.5f, .radius = 0.4f, .straightCharge = 70.0f};
    case 5:
        return {.maxFlight = 5.0f, .reach = 2.5f, .radius = 0.4f};
    default:
        return {};
    }
}

// Its own bullets it may set off early: how close an opponent must be, whether it must be in
// line with the bullet's flight instead (it will fly straight on), and how close its own tank
// may be before the blast would throw it too.
struct SetOffRule {
    const char* name;
    float reach;
    bool alongFlight;
    float selfReach;
};
constexpr std::array<SetOffRule, 8> kSetOffRules = {{
    {"ExplodingBullet", 3.0f, false, 4.0f},
    {"StickyBullet", 2.8f, false, 3.5f},
    {"SplittingBullet", 2.5f, false, 0.0f},
    {"SniperBullet", 1.0f, true, 0.0f},
    {"BlackHoleBullet", 5.0f, false, 0.0f},
    {"ExpulsionBullet", 5.0f, false, 0.0f},
    {"ArtilleryBullet", 3.0f, false, 6.0f},
    {"RocketBullet", 1.5f, true, 0.0f},
}};

// A bullet that can still do something when set off.
bool canSetOff(const GameObject* object, const Bullet* bullet) {
    if (const auto* sticky = dynamic_cast<const StickyBullet*>(bullet)) {
        return sticky->stuck();
    }
    if (const auto* hole = dynamic_cast<const BlackHoleBullet*>(bullet)) {
        return !hole->landed;
    }
    if (const auto* expulsion = dynamic_cast<const ExpulsionBullet*>(bullet)) {
        return !expulsion->landed;
    }
    if (const auto* rocket = dynamic_cast<const RocketBullet*>(bullet)) {
        return !rocket->landed;
    }
    if (const auto* artillery = dynamic_cast<const ArtilleryBullet*>(bullet)) {
        return !artillery->landed;
    }
    if (object->name == "SniperBullet") {
        return bullet->rigidBody->gravityScale != 0.0f; // already flying straight
    }
    return true;
}

float distanceToRay(vec2 point, vec2 from, vec2 direction) {
    vec2 d = point - from;
    float along = dot(d, direction);
    if (along < 0.0f) {
        return std::numeric_limits<float>::max();
    }
    return std::abs(cross(direction, d));
}

float signOf(float v) {
    return v < 0.0f ? -1.0f : 1.0f;
}

// Presses left or right to bring the velocity towards the wanted one.
void driveTowards(float velocity, float wanted, PlayerActions& out) {
    constexpr float kDeadBand = 0.5f;
    out.moveRight = velocity < wanted - kDeadBand;
    out.moveLeft = velocity > wanted + kDeadBand;
}

} // namespace

// ---- Names ----

const char* BotLevelName(BotLevel level) {
    switch (level) {
    case BotLevel::Easy:
        return "easy";
    case BotLevel::Normal:
        return "normal";
    case BotLevel::Hard:
        return "hard";
    }
    return "normal";
}

std::optional<BotLevel> ParseBotLevel(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (BotLevel level : {BotLevel::Easy, BotLevel::Normal, BotLevel::Hard}) {
        if (lower == BotLevelName(level)) {
            return level;
        }
    }
    return std::nullopt;
}

const BotTuning& BotTuningFor(BotLevel level) {
    switch (level) {
    case BotLevel::Easy:
        return kEasy;
    case BotLevel::Hard:
        return kHard;
    default:
        return kNormal;
    }
}

// ---- What it sees ----

struct Bot::Sight {
    std::string group; // its bullets carry this
    vec2 at;           // the tank's root
    vec2 velocity;     // the tank's body
    float dt = 0.0f;
    std::vector<Box> platforms;
    std::vector<const Player*> opponents; // in play: alive and not respawning
    std::vector<vec2> teammates;          // the bodies of its side's others in play, not to shoot through
    std::optional<Span> ground;           // none while in the air
    float middleX = 0.0f;                 // the middle of the arena
    float lowestY = 0.0f;                 // nothing catches a tank below this
    float driveAccel = 25.0f;             // what a drive push does in a second
    float topSpeed = 21.0f;
};

namespace {

// Where a shot fired now at that turret angle starts, and which way it flies. The player fires
// from the parts' world poses of the last transform pass, so the bot reads the same.
struct Muzzle {
    vec2 from;
    vec2 direction;
};
Muzzle muzzleFor(const Player& player, float turret) {
    float body = player.tank.tankRoot->transform.worldRotation.z;
    vec2 direction = rotateDegrees({0.0f, 1.0f}, body + turret);
    return {WorldPosition2(player.tank.barrelRoot) + direction * kMuzzle, direction};
}

// The charge that carries a shot from the muzzle at that turret angle through the point, and
// how long it flies; none when the barrel points the wrong way or too low to get there.
struct Solution {
    float charge;
    float flight;
};
std::optional<Solution> chargeToHit(const Player& player, float turret, vec2 point, float gravity) {
    Muzzle m = muzzleFor(player, turret);
    vec2 d = point - m.from;
    vec2 u = m.direction;
    if (gravity <= 0.0f || u.x * d.x <= 1e-3f) {
        return std::nullopt;
    }
    // x = s ux t and y = s uy t - g t^2 / 2 meet the point when s^2 = g dx^2 / (2 ux (dx uy - dy ux)).
    float k = u.x * (d.x * u.y - d.y * u.x);
    if (k <= 1e-4f) {
        return std::nullopt;
    }
    float speed = std::sqrt(gravity * d.x * d.x / (2.0f * k));
    if (player.shotSpeedFactor <= 0.0f) {
        return std::nullopt;
    }
    return Solution{speed / player.shotSpeedFactor, d.x / (speed * u.x)};
}

// Whether a shot on this path does its job: it passes through the target's body, or whatever
// platform it hits first is close enough for its blast to reach the target; never through a
// teammate on the way.
bool pathLands(const std::vector<Box>& platforms, const std::vector<vec2>& teammates, Muzzle m, float speed,
               float gravity, const ShotKind& kind, vec2 aim, vec2 targetRoot) {
    vec2 p = m.from;
    vec2 v = m.direction * speed;
    for (float t = 0.0f; t < kind.maxFlight; t += kSimStep) {
        v.y -= gravity * kSimStep;
        p += v * kSimStep;
        if (lengthSquared(p - aim) < 0.9f * 0.9f) {
            return true;
        }
        for (vec2 body : teammates) {
            if (lengthSquared(p - body) < kFriendClearance * kFriendClearance) {
                return false;
            }
        }
        if (touchesPlatform(platforms, p, kind.radius + kClearance)) {
            return length(p - targetRoot) < kind.reach;
        }
    }
    // A special shot lands where its flight ends.
    return length(p - targetRoot) < kind.reach && kind.maxFlight < 1.0f;
}

struct Aim {
    float turret;
    float charge;
    float flight;
};

// How hard the shot's recoil spins the tank, as a share of a full-charge level shot: the recoil
// pushes along the barrel at the muzzle, a unit and a half above the root, so a level shot
// turns the tank and a steep one hardly does. Hard spins tip the tank over.
float recoilSpin(const Player& player, float turret, float charge) {
    float sideways =
        std::abs(portable::sin((player.tank.tankRoot->transform.worldRotation.z + turret) * kDegToRad));
    return charge / std::max(player.maxCharge, 1.0f) * sideways;
}

// The shot that lands soonest (turn, charge and flight together), counting a hard recoil spin
// as lost time: a tank on its back aims badly. A fast level shot wins when the charge is low;
// otherwise a steeper, softer one does, or a lob where a platform is in the way.
std::optional<Aim> solveShot(const std::vector<Box>& platforms, const std::vector<vec2>& teammates,
                             const Player& player, vec2 aim, vec2 targetRoot, const ShotKind& kind,
                             float turnSpeed) {
    float gravity = kBulletGravity * kind.gravityScale;
    float current = player.tank.barrelRoot->transform.rotation.z;
    float body = player.tank.tankRoot->transform.worldRotation.z;
    std::vector<Aim> options;
    if (gravity <= 0.0f) {
        // Straight along the line to the target.
        vec2 d = aim - muzzleFor(player, current).from;
        float turret = portable::atan2(-d.x, d.y) * kRadToDeg - body;
        if (std::abs(turret) <= kTurretLimit) {
            float charge = std::min(kind.straightCharge, player.maxCharge);
            options.push_back({turret, charge, length(d) / std::max(1.0f, charge * player.shotSpeedFactor)});
        }
    } else {
        for (float turret = -kTurretLimit; turret <= kTurretLimit; turret += 1.0f) {
            std::optional<Solution> s = chargeToHit(player, turret, aim, gravity);
            if (s && s->charge >= kMinCharge && s->charge <= player.maxCharge &&
                s->flight <= kind.maxFlight) {
                options.push_back({turret, s->charge, s->flight});
            }
        }
    }
    auto timeToHit = [&](const Aim& a) {
        return std::abs(a.turret - current) / turnSpeed + a.charge / player.chargeRate + a.flight +
               kSpinCost * recoilSpin(player, a.turret, a.charge);
    };
    std::sort(options.begin(), options.end(),
              [&](const Aim& a, const Aim& b) { return timeToHit(a) < timeToHit(b); });
    for (const Aim& option : options) {
        float speed = option.charge * player.shotSpeedFactor;
        if (pathLands(platforms, teammates, muzzleFor(player, option.turret), speed, gravity, kind, aim,
                      targetRoot)) {
            return option;
        }
    }
    return std::nullopt;
}

} // namespace

// ---- The bot ----

Bot::Bot(BotLevel botLevel, uint32_t seed) : level(botLevel), tuning(BotTuningFor(botLevel)), random(seed) {}

float Bot::uniform(float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random);
}

// The polar method, as the standard library's normal distribution draws it, with a logarithm
// that comes out the same on every processor.
float Bot::normal(float spread) {
    if (spread <= 0.0f) {
        return 0.0f;
    }
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    float x = 0.0f;
    float y = 0.0f;
    float r2 = 0.0f;
    do {
        x = unit(random);
        y = unit(random);
        r2 = x * x + y * y;
    } while (r2 > 1.0f || r2 == 0.0f);
    return spread * y * std::sqrt(-2.0f * portable::log(r2) / r2);
}

PlayerActions Bot::actionsFor(const Player& player) {
    PlayerActions out;
    if (player.lives == 0 || player.tank.tankRoot == nullptr) {
        return out;
    }
    Sight sight;
    sight.dt = GameDt();
    sight.group = player.tank.tankRoot->group;
    clock += sight.dt;
    sight.platforms = platformsInPlay();
    float left = std::numeric_limits<float>::max();
    float right = std::numeric_limits<float>::lowest();
    sight.lowestY = std::numeric_limits<float>::max();
    for (const Box& box : sight.platforms) {
        Ledge ledge = ledgeOf(box);
        left = std::min(left, ledge.left);
        right = std::max(right, ledge.right);
        float reachDown = std::abs(box.up.y) * box.half.y + std::abs(box.right.y) * box.half.x;
        sight.lowestY = std::min(sight.lowestY, box.centre.y - reachDown);
    }
    sight.middleX = sight.platforms.empty() ? 0.0f : (left + right) / 2.0f;
    // In a team match its side's others are never targets, and shots keep clear of them.
    const Teams& teams = Teams::current();
    for (const Player* other : TankRootPlayers()) {
        if (other != &player && other->lives > 0 && other->respawning == 0 &&
            other->tank.rigidBody != nullptr && other->tank.rigidBody->enabled) {
            if (teams.Teammates(player.playerNumber, other->playerNumber)) {
                sight.teammates.push_back(other->tank.rigidBody->position + vec2{0.0f, kBodyAboveRoot});
            } else {
                sight.opponents.push_back(other);
            }
        }
    }

    if (player.respawning != 0) {
        stay.known = false;
        steerBeam(sight, player, out);
        return out;
    }
    const RigidBody2D* body = player.tank.rigidBody;
    sight.at = body->position;
    sight.velocity = body->velocity;
    sight.ground = groundUnder(sight.platforms, *body);
    noteGround(sight);
    // A jump to move on that came back down short: the next try goes somewhere else.
    if (!sight.ground && plan.movingOn && plan.hop) {
        flyingTo = plan.hop;
    } else if (sight.ground && flyingTo) {
        bool arrived = flyingTo->x >= sight.ground->left && flyingTo->x <= sight.ground->right &&
                       std::abs(sight.ground->top - flyingTo->y) < 1.0f;
        if (!arrived) {
            noteMissed(sight, *flyingTo);
            plan.hop.reset();
            plan.movingOn = false;
        }
        flyingTo.reset();
    }
    float dv = player.driveForce * body->inverseMass * kFixedStep;
    sight.driveAccel = std::max(1.0f, dv);
    sight.topSpeed = sight.driveAccel / kTankDampingRate;

    // A stunned tank does nothing; holding on keeps a charged shot from going off wild later.
    if (player.stunTimer > 0.0f) {
        out.shootHeld = player.charging;
        // Thrown by a hit: a hop it was about to make starts again from where it lands. A way
        // to move on stands while it lands near enough its take-off place: choosing afresh
        // after every hit, towards wherever its target is then, would have it run back and
        // forth across its ground and never leave.
        if (!plan.movingOn) {
            plan.hop.reset();
        }
        return out;
    }

    bool targetGone = plan.target != nullptr && std::find(sight.opponents.begin(), sight.opponents.end(),
                                                          plan.target) == sight.opponents.end();
    if (clock >= nextLook || targetGone) {
        look(sight, player);
        nextLook = clock + tuning.thinkInterval * uniform(0.8f, 1.2f);
    }

    if (plan.hop && sight.ground && plan.hop->x >= sight.ground->left && plan.hop->x <= sight.ground->right &&
        std::abs(sight.ground->top - plan.hop->y) < 1.0f) {
        plan.hop.reset(); // arrived
        plan.movingOn = false;
    }
    if (sight.ground) {
        airSince = clock;
    }
    // Fallen far below it, or trying to climb to it for long (under a platform that stops every
    // jump): getting back onto anything comes first.
    if (plan.hop && !sight.ground &&
        (sight.at.y - kRootToFeet < plan.hop->y - kHopClimb || clock - airSince > kLongFlight)) {
        plan.hop.reset();
        plan.movingOn = false;
    }
    if (sight.ground) {
        drive(sight, player, out);
        // Held up on its way to a take-off place (a tank in the way): it jumps from where it is.
        bool onTheWay =
            plan.hop && plan.movingOn && !player.charging && std::abs(sight.at.x - plan.takeOff) > 0.6f;
        if (!onTheWay || std::abs(sight.at.x - heldAt) > 0.5f) {
            heldAt = sight.at.x;
            heldSince = clock;
        } else if (clock - heldSince > kHeldUpFor) {
            // Under a roof it cannot jump there: it goes somewhere else instead.
            if (clearAbove(sight.platforms, sight.at, kJumpClearance / 2.0f)) {
                out.jump = player.jumpCooldown <= 0.0f;
            } else {
                noteMissed(sight, *plan.hop);
                plan.hop.reset();
                plan.movingOn = false;
                nextLook = clock;
            }
            heldSince = clock;
        }
        stillAt = sight.at;
        stillSince = clock;
    } else {
        recover(sight, player, out);
        // Wedged off its wheels against a corner it neither falls nor drives, and waits for
        // nothing: a jump frees it.
        if (length(sight.at - stillAt) > 0.3f) {
            stillAt = sight.at;
            stillSince = clock;
        } else if (clock - stillSince > kWedgedFor && player.jumpCooldown <= 0.0f) {
            out.jump = true;
            stillSince = clock;
        }
    }
    aimAndShoot(sight, player, out);

    if (setOffChance(sight, player)) {
        setOffSeenFor += sight.dt;
    } else {
        setOffSeenFor = 0.0f;
    }
    // A frame that lets a shot go ignores special: it waits a frame then.
    bool releasing = player.charging && !out.shootHeld;
    if (setOffSeenFor >= tuning.reactionTime && clock >= setOffLocked && !releasing) {
        out.special = true;
        setOffSeenFor = 0.0f;
        setOffLocked = clock + 0.25f;
    }
    return out;
}

void Bot::look(const Sight& sight, const Player& player) {
    plan.target = chooseTarget(sight);
    if (!player.charging) {
        // One misjudgement per shot: it does not change its mind halfway through a charge.
        plan.aimOffset = normal(tuning.aimSpread);
        plan.chargeError = normal(tuning.chargeSpread);
    }
    plan.edgeBlind = uniform(0.0f, 1.0f) < tuning.edgeBlindChance;

    float previousTurret = plan.turret;
    // A shot being charged is kept even when no fresh one is found: the charge logic still
    // turns and lets go for it.
    plan.shoot = plan.shoot && player.charging;
    if (std::optional<vec2> aim = aimPoint(player)) {
        ShotKind kind = shotKindOf(player);
        vec2 targetRoot = plan.target->tank.rigidBody->position;
        bool tooClose = length(targetRoot - sight.at) < kind.minRange;
        std::optional<Aim> shot = tooClose ? std::nullopt
                                           : solveShot(sight.platforms, sight.teammates, player, *aim,
                                                       targetRoot, kind, player.turretTurnSpeed);
        if (shot) {
            plan.shoot = true;
            plan.flight = shot->flight;
            // While charging the turret is its own business; a stop already chosen for the charge
            // steps stays unless the aim moved on.
            float step = player.turretTurnSpeed * std::max(sight.dt, 1e-3f);
            bool keep =
                player.charging || (plan.fineAimed && std::abs(shot->turret - previousTurret) <= 2.0f * step);
            plan.turret = keep ? previousTurret : shot->turret;
            plan.fineAimed = keep;
        }
    }
    if (plan.shoot) {
        lastChance = clock;
    }
    plan.goalX = chooseGoal(sight, player);
    // A hop is decided on the ground and kept through the air until it lands. Ground it has
    // stood on long enough, or that gives it no shot, it leaves for another platform.
    if (sight.ground) {
        bool restless = stay.known && !sight.opponents.empty() &&
                        (clock - stay.since > stay.limit || clock - lastChance > kNoShotPatience);
        // Dodging puts a move off, but not for ever: in a busy arena there is always a shot
        // to step aside from, and a dodger would never leave.
        bool overdue = restless && clock - stay.since > stay.limit + kDodgeGrace;
        bool mayMove = !plan.dodging || overdue;
        // A way found a moment ago stands, so it does not dither between two.
        // Thrown far from its take-off place by a hit, it looks again from where it is.
        bool keep = restless && plan.movingOn && plan.hop && clock - plan.movingOnSince < kKeepMoveOn &&
                    std::abs(sight.at.x - plan.takeOff) < kKeepNear;
        std::optional<MoveOn> away =
            keep ? std::optional<MoveOn>(MoveOn{*plan.hop, plan.takeOff, plan.runningJump})
                 : (restless && mayMove ? moveOnTo(sight, player) : std::nullopt);
        if (away && !keep) {
            plan.movingOnSince = clock;
        }
        plan.movingOn = away.has_value();
        if (restless && !away && mayMove) {
            // No jump it could think through: off an end onto lower ground, when a drive off it
            // thought through comes down there, or else the nearest other ledge all the same.
            away = dropFrom(sight);
            if (!away) {
                away = anyLedgeFrom(sight);
            }
            if (!away) {
                away = overWallFrom(sight);
            }
            if (away) {
                plan.movingOnSince = clock;
                plan.movingOn = true;
            }
        }
        plan.hop = away ? away->spot : hopFor(sight);
        if (away) {
            plan.goalX = away->spot.x;
            plan.takeOff = away->takeOff;
            plan.runningJump = away->runningJump;
        }
    }
}

// The stretch a try to move on was for, walls and all: on a platform parted by walls the
// stretch beyond the other wall is still worth a try.
void Bot::noteMissed(const Sight& sight, vec2 spot) {
    Span span = spanAround(sight.platforms, spot.x, spot.y);
    stay.missed = Stretch{span.left, span.right, span.top};
}

// Spots on the stretch where a try to move on came down short rank well behind the others.
float Bot::missedPenalty(vec2 spot) const {
    constexpr float kMissedPenalty = 30.0f;
    const std::optional<Stretch>& missed = stay.missed;
    bool there = missed && spot.x >= missed->left - 0.5f && spot.x <= missed->right + 0.5f &&
                 std::abs(spot.y - missed->top) < 1.0f;
    return there ? kMissedPenalty : 0.0f;
}

// Where it stands: coming onto other ground starts a new stay there.
void Bot::noteGround(const Sight& sight) {
    if (!sight.ground) {
        return;
    }
    const Span& ground = *sight.ground;
    // The same stretch: as high, or with the same ends (on a sloping platform the height under
    // the tank changes as it drives, and it is still the ground it has been camping on).
    bool sameEnds = std::abs(ground.left - stay.left) < 1.0f && std::abs(ground.right - stay.right) < 1.0f;
    bool same = stay.known && (std::abs(ground.top - stay.top) < 1.0f || sameEnds) &&
                ground.left < stay.right && ground.right > stay.left;
    if (!same) {
        stay = {ground.left, ground.right, ground.top, clock, uniform(kStayShortest, kStayLongest), true, {}};
        lastChance = clock;
    }
}

// Another stretch of ground a jump from here lands on (past a wall on the same platform too):
// the spots nearest its target come first, and the first that a jump tried out in thought
// reaches, standing from a spot on its ground or running off its end, is the one.
std::optional<Bot::MoveOn> Bot::moveOnTo(const Sight& sight, const Player& player) const {
    const Span& ground = *sight.ground;
    vec2 toward =
        plan.target != nullptr ? plan.target->tank.rigidBody->position : vec2{sight.middleX, ground.top};
    struct Candidate {
        vec2 spot;
        Ledge ledge;
        float score;
    };
    std::vector<Candidate> candidates;
    for (const Box& box : sight.platforms) {
        Ledge ledge = ledgeOf(box);
        if (ledge.right - ledge.left < kMoveOnLedgeWidth || ledge.top > ground.top + kHopClimb) {
            continue;
        }
        float inner = std::min(tuning.edgeMargin + 0.5f, (ledge.right - ledge.left) / 2.0f);
        float first = std::min(ledge.left + inner, (ledge.left + ledge.right) / 2.0f);
        float last = std::max(ledge.right - inner, first);
        for (float x = first; x <= last + 0.01f; x += 1.0f) {
            float low = 0.0f;
            float top = 0.0f; // a sloping platform's top at x
            if (!verticalExtent(box, x, low, top)) {
                continue;
            }
            bool mine = sameStretch(sight.platforms, ground, {x, top});
            float beyond = std::max({0.0f, x - ground.right, ground.left - x});
            if (!mine && beyond <= kHopGap) {
                vec2 spot{x, top};
                candidates.push_back(
                    {spot, ledge,
                     0.5f * length(spot - toward) + 1.5f * std::abs(x - sight.at.x) + missedPenalty(spot)});
            }
        }
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.score < b.score; });
    int tries = 0;
    Reach reach{sight.platforms, sight.driveAccel, sight.topSpeed, sight.lowestY};
    float lo = ground.left + kTakeOffMargin;
    float hi = std::max(lo, ground.right - kTakeOffMargin);
    for (const Candidate& c : candidates) {
        float dir = signOf(c.spot.x - sight.at.x);
        // Standing jumps from the spot below it or from just short of it, then a running jump
        // off the end of its ground when the spot lies past it.
        std::array<MoveOn, 3> ways{{{c.spot, std::clamp(c.spot.x, lo, hi), false},
                                    {c.spot, std::clamp(c.spot.x - dir * 3.0f, lo, hi), false},
                                    {c.spot, dir > 0.0f ? hi : lo, true}}};
        for (const MoveOn& way : ways) {
            if (way.runningJump && c.spot.x > ground.left && c.spot.x < ground.right) {
                continue;
            }
            if (++tries > kMoveOnTries) {
                return std::nullopt;
            }
            // A tank leaves the ground a little off the speed it means to: a way that only works
            // at exactly that speed fails in play as often as not, so the speeds either side must
            // land it too.
            std::array<float, 3> speeds =
                way.runningJump
                    ? std::array<float, 3>{kRunUpSpeed, kRunUpSpeed + 1.5f, kRunUpSpeed + kTakeOffSlack}
                    : std::array<float, 3>{0.0f, -kTakeOffSlack, kTakeOffSlack};
            bool ok = std::all_of(speeds.begin(), speeds.end(), [&](float speed) {
                return jumpLands(reach, player.jumpSpeed, player.jumpCooldownTime,
                                 {way.takeOff, ground.top + kRootToFeet},
                                 way.runningJump ? dir * speed : speed, c.spot, c.ledge);
            });
            if (ok) {
                return way;
            }
        }
    }
    return std::nullopt;
}

// Lower ground beyond an end of its ground that a drive off that end comes down on, at a gentle
// speed and at a brisk one alike (on its way to a take-off place past the end it leaves at about
// those). A drop needs no room overhead and no second jump,
// so it gets a computer off a perch or out from under a low roof when no jump does.
std::optional<Bot::MoveOn> Bot::dropFrom(const Sight& sight) const {
    const Span& ground = *sight.ground;
    return fromEitherEnd(sight, [&](float dir, float end) -> std::optional<MoveOn> {
        vec2 from{end, ground.top + kRootToFeet};
        std::optional<Landing> gentle =
            landingOf(sight.platforms, from, {dir * kDropSpeed, 0.0f}, sight.lowestY);
        std::optional<Landing> brisk =
            landingOf(sight.platforms, from, {dir * (kDropSpeed + kRunUpSpeed), 0.0f}, sight.lowestY);
        if (!gentle || !brisk || gentle->span.top > ground.top - 0.5f ||
            sameStretch(sight.platforms, ground, {gentle->at.x, gentle->span.top}) ||
            std::abs(gentle->span.top - brisk->span.top) > 0.1f ||
            std::abs(gentle->span.left - brisk->span.left) > 0.1f) {
            return std::nullopt;
        }
        return MoveOn{{gentle->at.x, gentle->span.top}, end + dir * kSideRoom, false};
    });
}

// A way off past an end of its ground, the end nearer its target first; past the other end when
// the way past the nearer one was tried and got nowhere.
std::optional<Bot::MoveOn>
Bot::fromEitherEnd(const Sight& sight,
                   const std::function<std::optional<MoveOn>(float dir, float end)>& past) const {
    const Span& ground = *sight.ground;
    float toward = plan.target != nullptr ? plan.target->tank.rigidBody->position.x : sight.middleX;
    float first = toward < sight.at.x ? -1.0f : 1.0f;
    std::optional<MoveOn> best;
    for (float dir : {first, -first}) {
        std::optional<MoveOn> way = past(dir, dir > 0.0f ? ground.right : ground.left);
        if (way && missedPenalty(way->spot) == 0.0f) {
            return way;
        }
        best = best ? best : way;
    }
    return best;
}

// The other ledge nearest its target among those a hop may reach (not much higher than its
// ground, not far off its ends), and the place with a clear sky on its own ground nearest that
// ledge to jump from: the air steering takes it round the ledge's side and onto it.
std::optional<Bot::MoveOn> Bot::anyLedgeFrom(const Sight& sight) const {
    const Span& ground = *sight.ground;
    vec2 toward =
        plan.target != nullptr ? plan.target->tank.rigidBody->position : vec2{sight.middleX, ground.top};
    float lo = ground.left + kTakeOffMargin;
    float hi = std::max(lo, ground.right - kTakeOffMargin);
    std::optional<MoveOn> best;
    float bestScore = std::numeric_limits<float>::max();
    for (const Box& box : sight.platforms) {
        Ledge ledge = ledgeOf(box);
        bool mine = (std::abs(ledge.top - ground.top) < 1.0f && ledge.left < ground.right &&
                     ledge.right > ground.left) ||
                    sameStretch(sight.platforms, ground, {(ledge.left + ledge.right) / 2.0f, ledge.top});
        float gap = std::max({0.0f, ledge.left - ground.right, ground.left - ledge.right});
        if (mine || ledge.right - ledge.left < kMoveOnLedgeWidth || ledge.top > ground.top + kHopClimb ||
            gap > kHopGap) {
            continue;
        }
        // A full jump's room overhead first; under a low roof, a short hop's room will do.
        std::optional<float> takeOff;
        for (float room : {kJumpClearance, kJumpClearance / 2.0f}) {
            float bestOff = std::numeric_limits<float>::max();
            for (float x = lo; x <= hi + 0.01f; x += 0.25f) {
                float off = std::max({0.0f, ledge.left - x, x - ledge.right});
                if (off < bestOff - 0.01f &&
                    clearAbove(sight.platforms, {x, ground.top + kRootToFeet}, room)) {
                    bestOff = off;
                    takeOff = x;
                }
            }
            if (takeOff) {
                break;
            }
        }
        // No room to jump, but the ledge lies lower beside its ground: it drives off the end.
        if (!takeOff && gap > 0.0f && ledge.top < ground.top - 0.5f) {
            takeOff = ledge.left > ground.right ? ground.right + kSideRoom : ground.left - kSideRoom;
        }
        if (!takeOff) {
            continue;
        }
        float inner = std::min(1.5f, (ledge.right - ledge.left) / 2.0f);
        vec2 spot{std::clamp(toward.x, ledge.left + inner, ledge.right - inner), ledge.top};
        float score =
            0.5f * length(spot - toward) + 1.5f * std::abs(*takeOff - sight.at.x) + missedPenalty(spot);
        if (score < bestScore) {
            bestScore = score;
            best = MoveOn{spot, *takeOff, false};
        }
    }
    return best;
}

// Boxed in under a low roof: over the wall at an end of its ground to the stretch beyond.
std::optional<Bot::MoveOn> Bot::overWallFrom(const Sight& sight) const {
    const Span& ground = *sight.ground;
    return fromEitherEnd(sight, [&](float dir, float end) -> std::optional<MoveOn> {
        float beyond = end + dir * (kTankHalfWidth + 1.5f);
        std::optional<float> top = groundBelow(sight.platforms, beyond, ground.top + 0.5f);
        if (!top || std::abs(*top - ground.top) >= 0.5f) {
            return std::nullopt;
        }
        return MoveOn{{beyond, *top}, end - dir * 1.5f, false};
    });
}

// Another platform to jump over to, when the goal lies well beyond the ground it stands on and
// that platform gets it much nearer.
std::optional<vec2> Bot::hopFor(const Sight& sight) const {
    const Span& ground = *sight.ground;
    if (plan.edgeBlind || plan.dodging) {
        return std::nullopt;
    }
    float reachable =
        std::clamp(plan.goalX, ground.left + tuning.edgeMargin, ground.right - tuning.edgeMargin);
    std::optional<vec2> best;
    float bestGain = kHopWorth;
    for (const Box& box : sight.platforms) {
        Ledge ledge = ledgeOf(box);
        bool mine = (ledge.left < ground.right && ledge.right > ground.left &&
                     std::abs(ledge.top - ground.top) < 1.0f) ||
                    sameStretch(sight.platforms, ground, {(ledge.left + ledge.right) / 2.0f, ledge.top});
        float gap = std::max({0.0f, ledge.left - ground.right, ground.left - ledge.right});
        if (mine || gap > kHopGap || ledge.right - ledge.left < kHopLedgeWidth ||
            ledge.top > ground.top + kHopClimb) {
            continue;
        }
        // The spot nearest the goal with nothing over it to bump into on the way down.
        float inner = std::min(tuning.edgeMargin + 0.5f, (ledge.right - ledge.left) / 2.0f);
        for (float x = ledge.left + inner; x <= ledge.right - inner; x += 0.5f) {
            float gain = std::abs(plan.goalX - reachable) - std::abs(plan.goalX - x);
            if (gain > bestGain &&
                clearAbove(sight.platforms, {x, ledge.top + kRootToFeet}, kJumpClearance)) {
                bestGain = gain;
                best = vec2{x, ledge.top};
            }
        }
    }
    return best;
}

const Player* Bot::chooseTarget(const Sight& sight) const {
    const Player* best = nullptr;
    float bestScore = std::numeric_limits<float>::max();
    for (const Player* other : sight.opponents) {
        float distance = length(other->tank.rigidBody->position - sight.at);
        float score = distance / (1.0f + tuning.focusDamaged * (other->knockbackMultiplier - 1.0f));
        if (score < bestScore) {
            bestScore = score;
            best = other;
        }
    }
    return best;
}

float Bot::chooseGoal(const Sight& sight, const Player& player) {
    float x = sight.at.x;
    plan.dodging = false;
    if (tuning.dodges) {
        if (std::optional<float> aside = dodgeFrom(sight)) {
            plan.dodging = true;
            return *aside;
        }
    }

    // A pick-up lying on its own stretch of ground, within reach.
    if (player.pickUpKind == PickUpKind::None && sight.ground) {
        const GameObject* nearest = nullptr;
        for (const GameObject* o : GameObjectList::instance().objects()) {
            if (!o->active || o->name != "PickUpRoot") {
                continue;
            }
            vec3 p = o->transform.position;
            bool onMyGround = p.x >= sight.ground->left && p.x <= sight.ground->right &&
                              p.y > sight.ground->top - 1.0f && p.y < sight.ground->top + 4.0f;
            if (onMyGround && std::abs(p.x - x) <= tuning.pickUpRange &&
                (nearest == nullptr || std::abs(p.x - x) < std::abs(nearest->transform.position.x - x))) {
                nearest = o;
            }
        }
        if (nearest != nullptr) {
            return nearest->transform.position.x;
        }
    }

    if (plan.target == nullptr) {
        return sight.ground ? (sight.ground->left + sight.ground->right) / 2.0f : x;
    }
    float dx = plan.target->tank.rigidBody->position.x - x;
    float dir = signOf(dx);
    float goal = x;
    if (!plan.shoot) {
        goal = x + dir * kRelocate; // no shot from here: move on
    } else if (std::abs(dx) > kFarRange) {
        goal = x + dx - dir * kFarRange;
    } else if (std::abs(dx) < kNearRange) {
        goal = x + dx - dir * kNearRange;
    }
    return goal + uniform(-tuning.wander, tuning.wander);
}

// Somewhere to step to when another player's shot is about to land on it.
std::optional<float> Bot::dodgeFrom(const Sight& sight) const {
    constexpr float kLookAhead = 1.0f;
    constexpr float kDanger = 2.2f;
    vec2 body = sight.at + vec2{0.0f, kBodyAboveRoot};
    // Shots in flight are root objects; the list is walked in place rather than copying the
    // roots out every frame.
    const Transform* root = &WorldRoot().transform;
    for (const GameObject* o : GameObjectList::instance().objects()) {
        if (!o->active || o->tag != "Bullet" || o->transform.parent != root) {
            continue;
        }
        const auto* bulletBody = o->getComponent<RigidBody2D>();
        if (o->group == sight.group || bulletBody == nullptr || !bulletBody->enabled) {
            continue;
        }
        vec2 p = bulletBody->position;
        vec2 v = bulletBody->velocity;
        for (float t = 0.0f; t < kLookAhead; t += kSimStep) {
            v.y -= kBulletGravity * bulletBody->gravityScale * kSimStep;
            p += v * kSimStep;
            if (lengthSquared(p - body) < kDanger * kDanger) {
                float away = std::abs(sight.at.x - p.x) > 0.3f ? signOf(sight.at.x - p.x)
                                                               : signOf(sight.middleX - sight.at.x);
                return sight.at.x + away * 5.0f;
            }
            if (touchesPlatform(sight.platforms, p, 0.3f)) {
                break;
            }
        }
    }
    return std::nullopt;
}

// On the ground: towards the goal, braking in time for edges.
void Bot::drive(const Sight& sight, const Player& player, PlayerActions& out) const {
    const Span& span = *sight.ground;
    float x = sight.at.x;
    float vx = sight.velocity.x;
    float safeLeft = span.left + tuning.edgeMargin;
    float safeRight = span.right - tuning.edgeMargin;
    if (safeLeft > safeRight) {
        safeLeft = safeRight = (span.left + span.right) / 2.0f;
    }
    // Moving on: to the take-off place it chose and up from there, or for a running jump, back
    // a little, then up to speed and off at the take-off place.
    if (plan.hop && plan.movingOn && !player.charging) {
        float dir = signOf(plan.hop->x - plan.takeOff);
        float past = (x - plan.takeOff) * dir; // negative before the take-off place
        bool ready = player.jumpCooldown <= 0.0f;
        if (!plan.runningJump) {
            out.jump = ready && std::abs(x - plan.takeOff) < 0.4f && std::abs(vx) < 2.0f;
            driveTowards(vx, std::clamp((plan.takeOff - x) * 2.5f, -sight.topSpeed, sight.topSpeed), out);
            return;
        }
        bool fast = vx * dir >= kRunUpSpeed;
        bool runningUp = vx * dir > 0.5f && past < 0.8f;
        float backTo = std::clamp(plan.takeOff - dir * kRunUp, span.left + 0.5f, span.right - 0.5f);
        if (fast && past > -0.4f) {
            out.jump = ready;
            driveTowards(vx, dir * sight.topSpeed, out);
        } else if (runningUp || (x - backTo) * dir <= 0.3f) {
            driveTowards(vx, dir * sight.topSpeed, out);
        } else {
            driveTowards(vx, -dir * sight.topSpeed, out);
        }
        return;
    }
    // A hop with a platform overhead waits until it drives out from under it.
    float goal = plan.hop ? plan.hop->x : plan.goalX;
    if (plan.hop && !player.charging && clearAbove(sight.platforms, sight.at, kJumpClearance)) {
        // Up and over: the air steering takes it the rest of the way.
        out.jump = player.jumpCooldown <= 0.0f;
        driveTowards(vx, std::clamp((plan.hop->x - x) * 3.0f, -sight.topSpeed, sight.topSpeed), out);
        return;
    }
    // It stands still to charge, so the shot leaves from where it was aimed.
    if (player.charging && !plan.dodging) {
        goal = x;
    }
    if (!plan.edgeBlind) {
        goal = std::clamp(goal, safeLeft, safeRight);
    }
    float wanted = std::clamp((goal - x) * 2.5f, -sight.topSpeed, sight.topSpeed);
    driveTowards(vx, wanted, out);

    if (plan.edgeBlind) {
        return;
    }
    // Looking ahead: where it would stop braking from now, one frame on. Past the edge, it brakes.
    float stopsAt = x + vx * std::abs(vx) / (2.0f * sight.driveAccel) + vx * sight.dt;
    if (stopsAt > span.right - 0.3f) {
        out.moveRight = false;
        out.moveLeft = true;
    } else if (stopsAt < span.left + 0.3f) {
        out.moveLeft = false;
        out.moveRight = true;
    }
}

// In the air: fine if it will come down on a platform (the one it hops to, when it hops);
// otherwise it heads for the nearest platform it can make, jumping whenever it sinks below that
// platform's top.
void Bot::recover(const Sight& sight, const Player& player, PlayerActions& out) const {
    if (std::optional<Landing> landing =
            landingOf(sight.platforms, sight.at, sight.velocity, sight.lowestY)) {
        bool hopDone = plan.hop && plan.hop->x >= landing->span.left && plan.hop->x <= landing->span.right &&
                       std::abs(landing->span.top - plan.hop->y) < 1.0f;
        if (!plan.hop || hopDone) {
            // It comes down on firm ground: it only nudges where it lands towards its goal.
            const Span& span = landing->span;
            float margin = std::min(tuning.edgeMargin, (span.right - span.left) / 2.0f);
            float shift = std::clamp(plan.goalX, span.left + margin, span.right - margin) - landing->at.x;
            out.moveRight = shift > 0.5f;
            out.moveLeft = shift < -0.5f;
            return;
        }
    }

    // The ledge it hops to, or else the one quickest to get back onto, leaning towards the
    // middle of the arena.
    std::optional<Ledge> best;
    float bestX = 0.0f;
    float bestScore = std::numeric_limits<float>::max();
    for (const Box& box : sight.platforms) {
        Ledge ledge = ledgeOf(box);
        float inner = std::min(1.5f, (ledge.right - ledge.left) / 2.0f);
        float x = std::clamp(sight.at.x, ledge.left + inner, ledge.right - inner);
        float climb = std::max(0.0f, ledge.top - sight.at.y);
        float score = std::abs(x - sight.at.x) + 0.3f * climb + 0.1f * std::abs(x - sight.middleX);
        if (plan.hop && plan.hop->x >= ledge.left && plan.hop->x <= ledge.right &&
            std::abs(ledge.top - plan.hop->y) < 1.0f) {
            score = std::numeric_limits<float>::lowest();
            x = plan.hop->x;
        }
        if (score < bestScore) {
            bestScore = score;
            best = ledge;
            bestX = x;
        }
    }
    if (!best) {
        return;
    }
    // A platform's corner caught by the wheels or the body flips the tank, so it keeps well
    // off the side until it is clear above the top, and comes in over it at a moderate speed.
    const Ledge& ledge = *best;
    float x = sight.at.x;
    float feet = sight.at.y - kRootToFeet;
    float goal = bestX;
    float speed = kLandingSpeed;
    bool low = feet < ledge.top + kCornerClearance;
    bool beside = x < ledge.left || x > ledge.right;
    bool beneath =
        feet < ledge.top - 0.2f && x > ledge.left - kTankHalfWidth && x < ledge.right + kTankHalfWidth;
    if (beneath) {
        // Under the platform: out from under it first, by the nearer end.
        goal = x < (ledge.left + ledge.right) / 2.0f ? ledge.left - kSideRoom : ledge.right + kSideRoom;
        speed = sight.topSpeed;
    } else if (low && beside) {
        // Beside it and not yet over the top: wait off the side while the jumps lift it.
        goal =
            x < ledge.left ? std::min(goal, ledge.left - kSideRoom) : std::max(goal, ledge.right + kSideRoom);
        speed = sight.topSpeed;
    }
    driveTowards(sight.velocity.x, std::clamp((goal - x) * 3.0f, -speed, speed), out);
    out.jump = !beneath && player.jumpCooldown <= 0.0f && sight.velocity.y < 1.0f &&
               feet < ledge.top + kJumpHeightRoom &&
               clearAbove(sight.platforms, sight.at, kJumpClearance / 2.0f);
}

std::optional<vec2> Bot::aimPoint(const Player& player) const {
    if (plan.target == nullptr) {
        return std::nullopt;
    }
    const RigidBody2D* body = plan.target->tank.rigidBody;
    vec2 at = body->position;
    float distance = length(at - player.tank.rigidBody->position);
    return vec2{at.x + plan.aimOffset * distance + body->velocity.x * plan.flight * tuning.leadShare,
                at.y + kBodyAboveRoot};
}

void Bot::aimAndShoot(const Sight& sight, const Player& player, PlayerActions& out) {
    if (wasCharging && !player.charging) {
        nextShot = clock + tuning.shotPause * uniform(0.5f, 1.5f); // it just fired
    }
    wasCharging = player.charging;

    float current = player.tank.barrelRoot->transform.rotation.z;
    float step = player.turretTurnSpeed * std::max(sight.dt, 1e-3f);
    ShotKind kind = shotKindOf(player);
    float gravity = kBulletGravity * kind.gravityScale;
    std::optional<vec2> aim = plan.shoot ? aimPoint(player) : std::nullopt;

    // The charge that lands the shot from the turret as it stands; a shot let go now flies at
    // this angle, from the muzzle as it stands.
    auto chargeNeeded = [&](float turret) -> std::optional<float> {
        if (!aim) {
            return std::nullopt;
        }
        if (gravity <= 0.0f) {
            return std::min(kind.straightCharge, player.maxCharge);
        }
        std::optional<Solution> s = chargeToHit(player, turret, *aim, gravity);
        if (!s || s->charge > player.maxCharge) {
            return std::nullopt;
        }
        return s->charge * (1.0f + plan.chargeError);
    };
    // Whether a shot at that angle and charge gets past the platforms to the target.
    auto clear = [&](float turret, float charge) {
        return pathLands(sight.platforms, sight.teammates, muzzleFor(player, turret),
                         charge * player.shotSpeedFactor, gravity, kind, *aim,
                         plan.target->tank.rigidBody->position);
    };

    bool aligned = std::abs(plan.turret - current) <= step / 2.0f;
    float q = player.chargeRate * sight.dt; // one frame's charge

    if (aim && aligned && !plan.fineAimed && tuning.fineAim && gravity > 0.0f && !player.charging &&
        q > 0.0f) {
        // The charge grows in steps of q a frame, so it takes the turret stop nearby whose
        // charge falls closest to a step.
        float bestTurret = current;
        float bestResidual = std::numeric_limits<float>::max();
        for (int k : {0, -1, 1, -2, 2}) {
            float turret = std::clamp(current + static_cast<float>(k) * step, -kTurretLimit, kTurretLimit);
            std::optional<Solution> s = chargeToHit(player, turret, *aim, gravity);
            if (!s || s->charge > player.maxCharge || s->charge < kMinCharge) {
                continue;
            }
            float stepped = q * std::round(s->charge / q);
            float residual = std::abs(s->charge - stepped);
            if (residual < bestResidual - 0.05f && clear(turret, stepped)) {
                bestResidual = residual;
                bestTurret = turret;
            }
        }
        plan.turret = bestTurret;
        plan.fineAimed = true;
        aligned = std::abs(plan.turret - current) <= step / 2.0f;
    }

    if (player.charging) {
        std::optional<float> need = chargeNeeded(current);
        // Let go at the frame whose charge lies closest to the need: one more would be farther.
        bool overcharged = need && player.charge - *need > std::max(q, 0.06f * *need);
        if (aligned && need && player.charge + q / 2.0f >= *need && !overcharged) {
            return; // the shot fires this frame
        }
        // A shot that no longer fits anywhere is let go rather than held for ever, and so is
        // one held as it sets off to move on: the charge would keep it from jumping.
        chargeHeldFor += sight.dt;
        if (plan.movingOn && chargeHeldFor > kMoveOnChargeHeld) {
            return;
        }
        if (chargeHeldFor > player.maxCharge / std::max(player.chargeRate, 1.0f) + kGiveUpAfter) {
            return;
        }
        if (aim && (!need || overcharged)) {
            // The target moved while it charged: turn to the angle that suits the charge it will
            // hold by the time the turret gets there.
            float bestTurret = plan.turret;
            float bestGap = 2.0f * q;
            for (float turret = -kTurretLimit; turret <= kTurretLimit; turret += 1.0f) {
                float frames = std::ceil(std::abs(turret - current) / step);
                float then = std::min(player.charge + frames * q, player.maxCharge);
                std::optional<float> c = chargeNeeded(turret);
                if (c && std::abs(*c - then) < bestGap && clear(turret, then)) {
                    bestGap = std::abs(*c - then);
                    bestTurret = turret;
                }
            }
            plan.turret = bestTurret;
        }
        out.shootHeld = true;
    } else {
        chargeHeldFor = 0.0f;
        bool steady = sight.ground && std::abs(sight.velocity.x) < kSteadySpeed;
        // Moving on, it holds its fire: a charge would keep it from jumping.
        out.shootHeld =
            aim && aligned && steady && !plan.movingOn && clock >= nextShot && player.fireCooldown <= 0.0f;
    }
    if (!out.shootHeld || !aligned) {
        out.turnPlus = plan.turret - current > step / 2.0f;
        out.turnMinus = plan.turret - current < -step / 2.0f;
    }
}

// An opponent close to one of its own bullets that a press of special would set off, and its
// own tank clear of the blast.
bool Bot::setOffChance(const Sight& sight, const Player& player) const {
    const std::string& group = player.tank.tankRoot->group;
    for (const GameObject* o : GameObjectList::instance().objects()) {
        if (!o->active || o->group != group || o->tag != "Bullet") {
            continue;
        }
        const SetOffRule* rule = nullptr;
        for (const SetOffRule& r : kSetOffRules) {
            if (o->name == r.name) {
                rule = &r;
            }
        }
        const Bullet* bullet = rule != nullptr ? FindBullet(o) : nullptr;
        if (bullet == nullptr || bullet->rigidBody == nullptr || !canSetOff(o, bullet)) {
            continue;
        }
        vec2 at = bullet->rigidBody->position;
        if (length(sight.at - at) < rule->selfReach) {
            return false; // it would throw itself too
        }
        vec2 heading = NormalisedOrZero(bullet->rigidBody->velocity);
        for (const Player* other : sight.opponents) {
            vec2 target = other->tank.rigidBody->position;
            float gap = rule->alongFlight ? distanceToRay(target + vec2{0.0f, kBodyAboveRoot}, at, heading)
                                          : length(target - at);
            if (gap < rule->reach) {
                return true;
            }
        }
    }
    return false;
}

// While respawning: brings the beam over firm ground, away from the edges and from opponents.
void Bot::steerBeam(const Sight& sight, const Player& player, PlayerActions& out) const {
    if (player.respawner == nullptr) {
        return;
    }
    float beam = player.respawner->transform.position.x;
    auto safe = [&](float x) {
        std::optional<float> top = groundBelow(sight.platforms, x, std::numeric_limits<float>::max());
        if (!top) {
            return false;
        }
        Span span = spanAround(sight.platforms, x, *top);
        if (x < span.left + 2.0f || x > span.right - 2.0f) {
            return false;
        }
        return std::none_of(sight.opponents.begin(), sight.opponents.end(), [&](const Player* p) {
            return length(p->tank.rigidBody->position - vec2{x, *top}) < 4.0f;
        });
    };
    for (float offset = 0.0f; offset < 60.0f; offset += 0.5f) {
        for (float x : {beam - offset, beam + offset}) {
            bool inRange =
                player.beamMinX >= player.beamMaxX || (x >= player.beamMinX && x <= player.beamMaxX);
            if (inRange && safe(x)) {
                out.moveLeft = x < beam - 0.3f;
                out.moveRight = x > beam + 0.3f;
                return;
            }
        }
    }
}
