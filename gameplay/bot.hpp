#pragma once

// Computer players. A Bot sits where a person's controls would: every frame it looks at the arena
// (platforms, tanks, bullets, pick-ups) and answers with the same PlayerActions a keyboard gives,
// so every rule of the match (turret speed, charge rate, cooldowns, stun) binds it as it binds a
// person. It keeps to the platforms, looking ahead for edges and steering and jumping back when
// it is thrown into the air; it aims at the nearest opponent with a ballistic solution and lets
// go at the charge that lands the shot; it fetches pick-ups close by and fires their shots at
// opponents in reach; and it sets off its own bombs and mines when an opponent comes near one.
// It does not camp: after a few seconds on one stretch of ground, or sooner when it has found no
// shot there, it hops to another platform, towards its target.
// The levels differ in how often it takes a fresh look, how late it reacts, and how well it
// judges distance and charge.

#include "gameplay/action_source.hpp"
#include "objects/math_types.hpp"

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>

enum class BotLevel { Easy, Normal, Hard };

// "easy", "normal", "hard".
const char* BotLevelName(BotLevel level);
// The level of one of those names, in any letter case; nullopt for anything else.
std::optional<BotLevel> ParseBotLevel(const std::string& name);

// How a level plays. Distances are arena units, times seconds.
struct BotTuning {
    float thinkInterval;   // between fresh looks: target, where to stand, how to aim
    float reactionTime;    // how long a chance to set off a bullet must last before it acts
    float aimSpread;       // misjudged place of the target, as a share of its distance (std. dev.)
    float chargeSpread;    // relative error of the charge it lets go at (std. dev.)
    float leadShare;       // how much of the target's movement during the flight it allows for
    float shotPause;       // extra time between shots, on top of the turret's cooldown
    float edgeMargin;      // how far from an edge it likes to stand
    float edgeBlindChance; // chance per look that it forgets about edges until the next look
    float wander;          // how far its chosen spot strays at random either way
    float pickUpRange;     // how far it drives for a pick-up
    float focusDamaged;    // how much it prefers opponents already hurt (0: the nearest only)
    bool fineAim;          // picks the turret stop that suits the charge steps best
    bool dodges;           // steps aside from shots coming at it
};

// The tuning a level starts with.
const BotTuning& BotTuningFor(BotLevel level);

class Player;

class Bot : public ActionSource {
  public:
    // The bot draws from a generator of its own, seeded here, never from the game's: recorded
    // and replayed matches stay the same with bots in them.
    Bot(BotLevel botLevel, uint32_t seed);
    PlayerActions actionsFor(const Player& player) override;

    BotLevel level;
    BotTuning tuning; // starts as BotTuningFor(level)

  private:
    struct Sight; // what it sees this frame

    // What it settled on at its last look.
    struct Plan {
        const Player* target = nullptr;
        float aimOffset = 0.0f;   // its misjudgement of the target's place, as a share of the distance
        float chargeError = 0.0f; // relative, applied when it lets go
        float goalX = 0.0f;       // where it wants to stand
        bool edgeBlind = false;   // not watching the edges until the next look
        bool dodging = false;     // the goal steps aside from a shot
        bool shoot = false;       // a shot worth firing is lined up
        float turret = 0.0f;      // the turret angle it turns to, degrees
        float flight = 0.0f;      // the shot's expected flight time
        bool fineAimed = false;   // turret already set to the stop that suits the charge steps
        std::optional<vec2> hop;  // a spot on another platform it is jumping over to (x, top)
        bool movingOn = false;    // the hop leaves ground it has stood on long enough
        float takeOff = 0.0f;     // moving on: where it jumps from, when the hop needs a clear sky
        bool runningJump = false; // moving on: a running jump off the end of its ground instead
        float movingOnSince = 0.0f;
    };

    // Where it moves on to, and from where it jumps.
    struct MoveOn {
        vec2 spot;
        float takeOff = 0.0f;
        bool runningJump = false;
    };

    // A stretch of ground, from one end or wall to the other.
    struct Stretch {
        float left = 0.0f;
        float right = 0.0f;
        float top = 0.0f;
    };

    // The stretch of ground it stands on and since when, so it moves on before it camps.
    struct Stay {
        float left = 0.0f;
        float right = 0.0f;
        float top = 0.0f;
        float since = 0.0f; // clock when it came onto it
        float limit = 0.0f; // how long it means to stay there
        bool known = false;
        // The stretch of ground a jump to move on from here came down short of: a platform, or
        // the part of one between walls.
        std::optional<Stretch> missed;
    };

    void look(const Sight& sight, const Player& player);
    const Player* chooseTarget(const Sight& sight) const;
    float chooseGoal(const Sight& sight, const Player& player);
    std::optional<float> dodgeFrom(const Sight& sight) const;
    std::optional<vec2> hopFor(const Sight& sight) const;
    std::optional<MoveOn> moveOnTo(const Sight& sight, const Player& player) const;
    std::optional<MoveOn> anyLedgeFrom(const Sight& sight) const;
    std::optional<MoveOn> overWallFrom(const Sight& sight) const;
    std::optional<MoveOn> dropFrom(const Sight& sight) const;
    std::optional<MoveOn>
    fromEitherEnd(const Sight& sight,
                  const std::function<std::optional<MoveOn>(float dir, float end)>& past) const;
    void noteGround(const Sight& sight);
    void noteMissed(const Sight& sight, vec2 spot);
    float missedPenalty(vec2 spot) const;

    void drive(const Sight& sight, const Player& player, PlayerActions& out) const;
    void recover(const Sight& sight, const Player& player, PlayerActions& out) const;
    void aimAndShoot(const Sight& sight, const Player& player, PlayerActions& out);
    bool setOffChance(const Sight& sight, const Player& player) const;
    void steerBeam(const Sight& sight, const Player& player, PlayerActions& out) const;

    // Where it believes the target's body will be when a shot arrives.
    std::optional<vec2> aimPoint(const Player& player) const;

    float uniform(float low, float high);
    float normal(float spread);

    std::mt19937 random;
    Plan plan;
    Stay stay;
    std::optional<vec2> flyingTo; // in the air on a jump to move on, to there
    float heldAt = 0.0f;          // on its way to a take-off place: where it last made headway
    float heldSince = 0.0f;       // and when
    vec2 stillAt;                 // off its wheels: where it last moved
    float stillSince = 0.0f;      // and when
    float airSince = 0.0f;        // clock when it last stood on ground
    float lastChance = 0.0f;      // clock of its last look that found a shot
    float clock = 0.0f;           // game time it has played
    float nextLook = 0.0f;        // clock of the next fresh look
    float nextShot = 0.0f;        // it waits until then before charging again
    float setOffSeenFor = 0.0f;   // how long a chance to set off its bullets has lasted
    float setOffLocked = 0.0f;    // clock before which it does not press special again
    float chargeHeldFor = 0.0f;   // how long the current charge has been held
    bool wasCharging = false;
};
