#include "gameplay/object_factory.hpp"

#include "gameplay/arena_objects.hpp"
#include "gameplay/explosion.hpp"
#include "gameplay/player.hpp"
#include "gameplay/special_bullets.hpp"
#include "gameplay/standard_bullets.hpp"
#include "graphics/particle_emitter.hpp"
#include "graphics/renderer.hpp"
#include "graphics/shader_logic.hpp"
#include "objects/game_object_list.hpp"
#include "objects/resource_manager.hpp"
#include "physics/collider.hpp"
#include "physics/rigid_body.hpp"

#include <array>

namespace {

constexpr float kBulletDepth = 0.01f;

ShaderProgram* shader(const char* name) {
    return ResourceManager::instance().getShader(name);
}

SpriteRenderer* setSprite(GameObject* object, ShaderProgram* program, const std::string& texture, vec4 colour,
                          int32_t columns) {
    auto* s = object->addComponent<SpriteRenderer>();
    s->shader = program;
    s->setTexture(texture);
    s->color = colour;
    s->columns = columns;
    s->column = 1;
    s->rows = 1;
    s->row = 1;
    return s;
}

constexpr vec4 kWhite{1.0f, 1.0f, 1.0f, 1.0f};

// Local values are set after the object hangs from its parent: attaching keeps the world pose.
void place(GameObject* object, vec3 position, vec3 scale) {
    object->transform.setPosition(position.x, position.y, position.z);
    object->transform.setScale(scale.x, scale.y, scale.z);
}

vec2 velocityOf(vec2 direction, float speed) {
    return NormalisedOrZero(direction) * speed;
}

// What every bullet factory shares: the object, its place, sprite, logic, body and circle.
struct BulletShape {
    const char* name;
    const char* texture;
    float scale;
    float lifetime;
    float radius;
};

template <class T>
T* makeBullet(const BulletShape& shape, vec2 position, vec2 direction, float speed, const std::string& group,
              uint32_t mask) {
    GameObject* object = GameObjectList::instance().create(shape.name, group);
    place(object, {position.x, position.y, kBulletDepth}, {shape.scale, shape.scale, 1.0f});
    setSprite(object, shader("Sprite"), shape.texture, kWhite, 1);
    T* bullet = object->attach(new T(object));
    bullet->lifetime = shape.lifetime;
    auto* body = object->addComponent<RigidBody2D>();
    body->velocity = velocityOf(direction, speed);
    body->restitution = 0.5f;
    bullet->rigidBody = body;
    auto* circle = object->addComponent<CircleCollider>();
    circle->radius = shape.radius;
    circle->groupMask = mask;
    return bullet;
}

const std::array<vec4, 4> kArrowColours = {{{1, 0, 0, 1}, {0, 0, 1, 1}, {0, 1, 0, 1}, {1, 1, 0, 1}}};

} // namespace

uint32_t PlayerBit(uint32_t playerNumber) {
    return playerNumber >= 1 && playerNumber <= 4 ? 1u << (playerNumber - 1) : 0u;
}

std::optional<TankParts> MakeTank(Player*& slot, uint32_t playerNumber, vec3 spawn) {
    if (slot != nullptr) {
        return std::nullopt;
    }
    GameObjectList& list = GameObjectList::instance();
    const uint32_t bit = PlayerBit(playerNumber);
    TankParts t;
    t.spriteShader = shader("Sprite");
    t.tankRoot = list.create("TankRoot");
    t.body = list.create("Body");
    t.eyes = list.create("Eyes");
    t.face = list.create("Face");
    t.barrelRoot = list.create("BarrelRoot");
    t.bulletOut = list.create("BulletOut");
    t.barrel = list.create("Barrel");
    t.track = list.create("Track");
    t.trackJump = list.create("TrackJump");
    t.aimingArrow = list.create("AimingArrow");
    t.pickUpAura = list.create("PickUpAura");
    t.shootChargeBar = list.create("ShootChargeBar");

    // The charge bar stays a root object: the player logic moves it every frame.
    place(t.shootChargeBar, {}, {0.0f, 0.0f, 1.0f});
    setSprite(t.shootChargeBar, t.spriteShader, "BoxSprite", {0.0f, 1.0f, 0.0f, 0.5f}, 1);

    GameObject* root = t.tankRoot;
    root->setTag("Tank");
    root->transform.setPosition(spawn.x, spawn.y, spawn.z);
    Transform& rootTransform = root->transform;
    for (GameObject* part : {t.track, t.trackJump, t.barrelRoot, t.body, t.eyes, t.face, t.pickUpAura}) {
        rootTransform.setParent(part);
    }
    t.barrelRoot->transform.setParent(t.barrel);
    t.barrelRoot->transform.setParent(t.bulletOut);
    t.barrel->transform.setParent(t.aimingArrow);

    place(t.track, {0.0f, 0.0f, 0.0f}, {2.56f, 0.96f, 1.0f});
    place(t.trackJump, {0.0f, 0.0f, 0.0f}, {2.56f, 1.12f, 1.0f});
    place(t.body, {0.0f, 1.0f, -0.01f}, {1.28f, 1.44f, 1.0f});
    place(t.eyes, {0.0f, 1.16f, 0.0f}, {0.9f, 0.42f, 1.0f});
    place(t.face, {0.0f, 0.92f, 0.1f}, {2.56f, 2.56f, 1.0f});
    place(t.barrelRoot, {0.0f, 1.0f, 0.0f}, {1.0f, 1.0f, 1.0f});
    place(t.barrel, {0.0f, 0.5f, -0.02f}, {0.64f, 1.28f, 1.0f});
    place(t.bulletOut, {0.0f, 0.55f, 0.0f}, {0.15625f, 0.078125f, 1.0f});
    place(t.pickUpAura, {0.0f, 0.7f, -0.5f}, {3.84f, 3.12f, 1.0f});
    place(t.aimingArrow, {0.0f, 0.9f, 0.0f}, {0.8f, 0.4f, 1.0f});

    // Sprites whose pictures come later (choices, the match) are made without a program, so
    // they draw nothing until their picture is set.
    setSprite(t.track, nullptr, "", kWhite, 3);
    setSprite(t.trackJump, nullptr, "", kWhite, 3)->enabled = false;
    setSprite(t.body, nullptr, "", kWhite, 1);
    setSprite(t.eyes, nullptr, "", kWhite, 4);
    setSprite(t.face, nullptr, "", kWhite, 1);
    setSprite(t.barrel, nullptr, "", kWhite, 1);
    setSprite(t.pickUpAura, t.spriteShader, "PickUpAura", kWhite, 4)->enabled = false;
    vec4 arrow = playerNumber >= 1 && playerNumber <= 4 ? kArrowColours[playerNumber - 1] : kWhite;
    setSprite(t.aimingArrow, t.spriteShader, "AimingArrow", arrow, 1);

    // The body goes on before the colliders, which find it up the tree when they are made.
    root->transform.setScale(1.0f, 1.0f, 1.0f);
    RigidBody2D* body = root->addComponent<RigidBody2D>();
    body->gravityScale = 2.0f;
    body->linearDamping = 0.3f;
    body->restitution = 0.3f;
    body->inverseMass = 1.0f;
    body->inverseInertia = 100.0f;
    t.rigidBody = body;

    struct CircleSpec {
        const char* name;
        vec3 position;
        vec2 offset;
        float radius;
        CircleCollider* TankParts::*slot;
    };
    const CircleSpec circles[4] = {
        {"Body Collider", {0.0f, 0.0f, 0.1f}, {0.0f, 0.0f}, 0.5f, &TankParts::bodyCollider},
        {nullptr, {}, {-0.8f, 0.0f}, 0.5f, &TankParts::leftCollider},
        {nullptr, {}, {0.8f, 0.0f}, 0.5f, &TankParts::rightCollider},
        {nullptr, {}, {0.0f, 1.2f}, 0.6f, &TankParts::topCollider},
    };
    for (const CircleSpec& spec : circles) {
        GameObject* holder = spec.name != nullptr ? list.create(spec.name) : list.create();
        holder->setTag("Tank");
        rootTransform.setParent(holder);
        place(holder, spec.position, {1.0f, 1.0f, 1.0f});
        auto* circle = holder->addComponent<CircleCollider>();
        circle->offset = spec.offset;
        circle->radius = spec.radius;
        circle->groupMask = bit;
        t.*spec.slot = circle;
        if (spec.name != nullptr) {
            t.bodyColliderObject = holder;
        }
    }

    Player* player = root->getComponent<Player>();
    if (player == nullptr) {
        player = root->attach(new Player(root));
    }
    slot = player;
    player->playerNumber = playerNumber;

    player->respawner = list.create("Respawner");
    setSprite(player->respawner, t.spriteShader, "BoxSprite", kWhite, 1);
    setActive(player->respawner, false);

    GameObject* smokeRight = list.create("Emitter1");
    GameObject* smokeLeft = list.create("Emitter2");
    for (GameObject* holder : {smokeRight, smokeLeft}) {
        rootTransform.setParent(holder);
        place(holder, {}, {1.0f, 1.0f, 1.0f});
    }
    player->emitterRight = smokeRight->attach(new ParticleEmitter(smokeRight));
    SetupTrackSmoke(*player->emitterRight, true);
    player->emitterLeft = smokeLeft->attach(new ParticleEmitter(smokeLeft));
    SetupTrackSmoke(*player->emitterLeft, false);

    t.emitterSpot1 = list.create("EmitterSpot1");
    t.emitterSpot2 = list.create("EmitterSpot2");
    rootTransform.setParent(t.emitterSpot1);
    rootTransform.setParent(t.emitterSpot2);
    place(t.emitterSpot1, {-1.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f});
    place(t.emitterSpot2, {1.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f});

    player->tank = t;
    root->transform.updateWorld();
    return t;
}

BasicBullet* MakeBasicBullet(vec2 position, vec2 direction, float speed, const std::string& group,
                             uint32_t mask) {
    return makeBullet<BasicBullet>({"Bullet", "Bullet", 0.6f, 3.0f, 0.3f}, position, direction, speed, group,
                                   mask);
}

ExplodingBullet* MakeExplodingBullet(vec2 position, vec2 direction, float speed, const std::string& group,
                                     uint32_t mask) {
    auto* b = makeBullet<ExplodingBullet>({"ExplodingBullet", "ExplodingBullet", 1.0f, 3.0f, 0.5f}, position,
                                          direction, speed, group, mask);
    b->rigidBody->inverseMass = 0.0f;
    return b;
}

SplittingBullet* MakeSplittingBullet(vec2 position, vec2 direction, float speed, const std::string& group,
                                     uint32_t mask) {
    return makeBullet<SplittingBullet>({"SplittingBullet", "SplittingBullet", 0.8f, 3.0f, 0.4f}, position,
                                       direction, speed, group, mask);
}

StickyBullet* MakeStickyBullet(vec2 position, vec2 direction, float speed, const std::string& group,
                               uint32_t mask) {
    return makeBullet<StickyBullet>({"StickyBullet", "StickyBullet", 0.8f, 7.5f, 0.4f}, position, direction,
                                    speed, group, mask);
}

RicochetBullet* MakeRicochetBullet(vec2 position, vec2 direction, float speed, const std::string& group,
                                   uint32_t mask) {
    auto* b = makeBullet<RicochetBullet>({"RicochetBullet", "RicochetBullet", 0.8f, 3.0f, 0.4f}, position,
                                         direction, speed, group, mask);
    // Flies straight and is never pushed; it bounces by its own logic.
    b->rigidBody->restitution = 0.2f;
    b->rigidBody->respondsToCollisions = false;
    b->rigidBody->gravityScale = 0.0f;
    return b;
}

SniperBullet* MakeSniperBullet(vec2 position, vec2 direction, float speed, const std::string& group,
                               uint32_t mask) {
    auto* b = makeBullet<SniperBullet>({"SniperBullet", "SniperBullet", 0.8f, 3.0f, 0.4f}, position,
                                       direction, speed, group, mask);
    b->rigidBody->inverseMass = 0.2f;
    b->rigidBody->angularDamping = 0.5f;
    return b;
}

BlackHoleBullet* MakeBlackHoleBullet(vec2 position, vec2 direction, float speed, const std::string& group) {
    return makeBullet<BlackHoleBullet>({"BlackHoleBullet", "BlackholeBullet", 1.0f, 0.0f, 0.5f}, position,
                                       direction, speed, group, 0);
}

RocketBullet* MakeRocketBullet(vec2 position, vec2 direction, float speed, const std::string& group) {
    return makeBullet<RocketBullet>({"RocketBullet", "BlackholeBullet", 1.0f, 0.0f, 0.5f}, position,
                                    direction, speed, group, 0);
}

ExpulsionBullet* MakeExpulsionBullet(vec2 position, vec2 direction, float speed, const std::string& group) {
    return makeBullet<ExpulsionBullet>({"ExpulsionBullet", "ExpulsionBullet", 1.0f, 0.0f, 0.5f}, position,
                                       direction, speed, group, 0);
}

ArtilleryBullet* MakeArtilleryBullet(vec2 position, vec2 direction, float speed, float dropHeight,
                                     const std::string& group, uint32_t mask) {
    auto* b = makeBullet<ArtilleryBullet>({"ArtilleryBullet", "ArtilleryBullet", 1.0f, 15.0f, 0.5f}, position,
                                          direction, speed, group, mask);
    b->dropHeight = dropHeight;
    return b;
}

Explosion* MakeExplosion(vec2 position, vec2 size, const std::string& group, float force, float damage) {
    GameObject* object = GameObjectList::instance().create("Explosion", group);
    Explosion* explosion = object->attach(new Explosion(object));
    explosion->force = force;
    explosion->damage = damage;
    place(object, {position.x, position.y, 0.9f}, {size.x, size.y, 1.0f});
    setSprite(object, shader("Sprite"), "Explosion", kWhite, 1);
    return explosion;
}

GameObject* MakePlatform(vec3 position, vec4 colour, vec3 size, vec3 rotation) {
    GameObjectList& list = GameObjectList::instance();
    GameObject* outer = list.create("Platform", "PlatformTouch");
    outer->setTag("Platform");
    outer->transform.setPosition(position.x, position.y, position.z);
    outer->transform.setRotation(rotation.x, rotation.y, rotation.z);
    outer->transform.setScale(size.x, size.y, size.z);
    setSprite(outer, shader("Sprite-Cracks"), "BlackBoxSprite", colour, 1);
    if (outer->getComponent<Platform>() == nullptr) {
        outer->attach(new Platform(outer));
    }
    auto* body = outer->addComponent<RigidBody2D>();
    body->gravityScale = 0.0f;
    body->inverseMass = 0.0f;
    body->inverseInertia = 0.0f;
    body->restitution = 0.5f;
    auto* box = outer->addComponent<OBBCollider>();
    box->width = size.x;
    box->height = size.y;
    box->groupMask = kPlatformMask;
    auto* cracks = outer->attach(new ShaderLogic(nullptr, outer, ShaderMode::Cracks));
    cracks->StartCracks(2.0f, 1.5f, 5.0f);

    // The inner plate: the black box shows as a 0.25-unit rim around it.
    GameObject* inner = list.create("Platform", "PlatformTouch");
    inner->setTag("Platform");
    inner->transform.setPosition(position.x, position.y, 0.5f);
    inner->transform.setRotation(rotation.x, rotation.y, rotation.z);
    inner->transform.setScale(size.x - 0.5f, size.y - 0.5f, size.z);
    setSprite(inner, shader("Sprite-Cracks"), "BoxSprite", colour, 1);
    return outer;
}

DeathBorder MakeDeathBorder(float left, float right, float top, float bottom, vec3 rotation, float margin,
                            float thickness) {
    GameObjectList& list = GameObjectList::instance();
    const float h = top - bottom;
    const float w = right - left;
    const float t = thickness;
    const float m = margin;
    DeathBorder border;
    border.root = list.create("DeathBorder", "DeathBorder");
    border.root->transform.setRotation(rotation.x, rotation.y, rotation.z);
    auto* body = border.root->addComponent<RigidBody2D>();
    body->simulated = false;
    body->respondsToCollisions = false;

    const struct {
        vec3 position;
        vec3 scale;
    } sides[4] = {
        {{left - t / 2.0f - m, 0.0f, 0.0f}, {t, 2.0f * t + h + 2.0f * m, 1.0f}},
        {{right + t / 2.0f + m, 0.0f, 0.0f}, {t, 2.0f * t + h + 2.0f * m, 1.0f}},
        {{0.0f, top + t / 2.0f + m, 0.0f}, {2.0f * m + w, t, 1.0f}},
        {{0.0f, bottom - t / 2.0f - m, 0.0f}, {2.0f * m + w, t, 1.0f}},
    };
    for (const auto& side : sides) {
        GameObject* zone = list.create("DeathZone");
        border.root->transform.setParent(zone);
        place(zone, side.position, side.scale);
        auto* box = zone->addComponent<OBBCollider>();
        box->width = side.scale.x;
        box->height = side.scale.y;
        box->groupMask = kDeathZoneMask;
        auto* outline = zone->addComponent<BoxRenderer>();
        outline->shader = shader("Basic");
        outline->color = {1.0f, 0.0f, 0.0f, 1.0f};
        border.last = zone;
    }
    return border;
}

Crate* MakeCrate(vec3 position, vec3 size, uint32_t pickUpKind) {
    GameObject* object = GameObjectList::instance().create("Crate", "Crate");
    Crate* crate = object->attach(new Crate(object));
    crate->pickUpKind = pickUpKind;
    place(object, position, size);
    setSprite(object, shader("Sprite"), "Crate", kWhite, 1);
    auto* body = object->addComponent<RigidBody2D>();
    body->restitution = 0.0f;
    body->inverseMass = 0.2f;
    body->linearDamping = 0.5f;
    crate->rigidBody = body;
    auto* circle = object->addComponent<CircleCollider>();
    circle->radius = size.y / 2.0f;
    circle->groupMask = kCrateMask;
    return crate;
}

void MakePickUp(vec3 position, uint32_t pickUpKind) {
    GameObjectList& list = GameObjectList::instance();
    GameObject* root = list.create("PickUpRoot", "PickUp");
    GameObject* collision = list.create("PickUpCollision", "PickUp");
    GameObject* picture = list.create("PickUpRenderer", "PickUp");
    place(root, position, {2.0f, 2.0f, 1.0f});
    root->transform.setParent(collision);
    root->transform.setParent(picture);
    place(collision, {}, {1.0f, 1.0f, 1.0f});
    place(picture, {}, {1.0f, 1.0f, 1.0f});

    PickUp* pickUp = root->attach(new PickUp(root));
    pickUp->pickUpKind = pickUpKind;
    pickUp->rigidBody = root->addComponent<RigidBody2D>(); // falls under gravity
    auto* circle = collision->addComponent<CircleCollider>();
    circle->radius = root->transform.scale.x / 2.0f;
    circle->groupMask = kPickUpMask;

    static const char* const kPictures[] = {"ArtilleryPickUp", "ExpulsionPickUp", "BlackHolePickUp"};
    if (pickUpKind >= PickUpKind::Artillery && pickUpKind <= PickUpKind::BlackHole) {
        setSprite(picture, shader("Sprite"), kPictures[pickUpKind - 1], kWhite, 1);
    }
}

namespace {

void setPartSprite(const TankParts& tank, GameObject* part, const std::string& texture, int32_t columns) {
    if (part != nullptr) {
        setSprite(part, tank.spriteShader, texture, kWhite, columns);
    }
}

} // namespace

void SetBarrelSprite(const TankParts& tank, const std::string& texture) {
    setPartSprite(tank, tank.barrel, texture, 1);
}

void SetTrackSprite(const TankParts& tank, const std::string& texture) {
    setPartSprite(tank, tank.track, texture, 3);
}

void SetTrackJumpSprite(const TankParts& tank, const std::string& texture) {
    setPartSprite(tank, tank.trackJump, texture, 3);
}

void SetFaceSprite(const TankParts& tank, const std::string& texture) {
    setPartSprite(tank, tank.face, texture, 1);
}

void SetBodySprite(const TankParts& tank, const std::string& texture) {
    setPartSprite(tank, tank.body, texture, 1);
}

void SetEyesSprite(const TankParts& tank, const std::string& texture) {
    setPartSprite(tank, tank.eyes, texture, 4);
}

void SetTankGroup(const TankParts& tank, const std::string& group) {
    for (GameObject* part : {tank.tankRoot, tank.body, tank.eyes, tank.face, tank.barrelRoot, tank.barrel,
                             tank.track, tank.trackJump, tank.bulletOut}) {
        part->group = group;
    }
}

void SetTankEnabled(const TankParts& tank, bool enabled) {
    tank.rigidBody->enabled = enabled;
    for (CircleCollider* c : {tank.leftCollider, tank.bodyCollider, tank.rightCollider, tank.topCollider}) {
        c->enabled = enabled;
    }
    // The arrow and the aura hang below parts that are switched off, but each object is drawn by
    // its own flag: they go too, or they would stay where the tank fell.
    for (GameObject* part :
         {tank.bodyColliderObject, tank.body, tank.eyes, tank.face, tank.barrelRoot, tank.barrel, tank.track,
          tank.trackJump, tank.bulletOut, tank.aimingArrow, tank.pickUpAura}) {
        part->active = enabled;
    }
    if (tank.teamRim != nullptr) {
        tank.teamRim->active = enabled;
    }
}
