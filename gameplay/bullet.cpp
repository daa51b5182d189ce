#include "gameplay/bullet.hpp"

#include "audio/sound_manager.hpp"
#include "gameplay/object_factory.hpp"
#include "objects/frame_timer.hpp"
#include "objects/game_object_list.hpp"
#include "objects/state_archive.hpp"
#include "objects/world_hasher.hpp"
#include "physics/collider.hpp"
#include "physics/rigid_body.hpp"

vec2 WorldPosition2(const GameObject* object) {
    return {object->transform.worldPosition.x, object->transform.worldPosition.y};
}

vec2 NormalisedOrZero(vec2 v) {
    float len = length(v);
    return len > 0.0f ? v / len : v;
}

float GameDt() {
    return FrameTimer::instance().scaledDt();
}

Bullet* FindBullet(const GameObject* object) {
    for (Component* c : object->components) {
        if (auto* bullet = dynamic_cast<Bullet*>(c)) {
            return bullet;
        }
    }
    return nullptr;
}

std::vector<GameObject*> AffectedObjects(const GameObject* bullet) {
    std::vector<GameObject*> affected;
    for (GameObject* object : GameObjectList::instance().rootObjects()) {
        // A switched-off object's body drops every push at the next step, so skipping spent
        // bullets and knocked-out tanks changes nothing and keeps the walk short.
        if (!object->active) {
            continue;
        }
        bool otherTank = object->tag == "Tank" && object->group != bullet->group;
        if ((otherTank || object->tag == "Bullet") && object->getComponent<RigidBody2D>() != nullptr) {
            affected.push_back(object);
        }
    }
    return affected;
}

Bullet::Bullet(std::string kindName, GameObject* ownerObject) : Logic(std::move(kindName), ownerObject) {
    owner->setTag("Bullet");
}

void Bullet::hashState(WorldHasher& hasher) const {
    hashPresence(hasher);
    hasher.add(lifetime);
}

void Bullet::carryState(StateArchive& archive) {
    CARRY_STATE(archive, lifetime);
}

bool Bullet::finished() const {
    return !owner->active;
}

CircleCollider* Bullet::collider() const {
    return owner->getComponent<CircleCollider>();
}

void Bullet::SpinByVelocity() {
    vec2 v = rigidBody->velocity;
    float turn = lengthSquared(v) * GameDt();
    if (v.x > 0.0f) {
        rigidBody->rotation -= turn;
    } else if (v.x < 0.0f) {
        rigidBody->rotation += turn;
    }
    owner->transform.setRotation(0.0f, 0.0f, rigidBody->rotation);
}

void Bullet::Detonate(float size, float force, float damage, std::string_view sound) {
    MakeExplosion(WorldPosition2(owner), {size, size}, owner->group, force, damage);
    SoundManager::instance().playEvent(sound, true);
    setActive(owner, false);
}
