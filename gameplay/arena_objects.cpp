#include "gameplay/arena_objects.hpp"

#include "gameplay/object_factory.hpp"
#include "gameplay/player.hpp"
#include "objects/game_object.hpp"
#include "objects/state_archive.hpp"
#include "objects/world_hasher.hpp"
#include "physics/collider.hpp"
#include "physics/rigid_body.hpp"

void Crate::hashState(WorldHasher& hasher) const {
    hashPresence(hasher);
    hasher.add(pickUpKind);
}

void Crate::carryState(StateArchive& archive) {
    CARRY_STATE(archive, pickUpKind);
}

bool Crate::finished() const {
    return !owner->active;
}

void Crate::Update() {
    rigidBody->angularVelocity = 0.0f; // crates fall and rest, never spin
    // Any bullet of any player opens it; two bullets in one frame still make one pick-up.
    for (const ContactRecord& contact : rigidBody->contacts) {
        if (contact.other->owner->tag == "Bullet") {
            MakePickUp(owner->transform.worldPosition, pickUpKind);
            setActive(owner, false);
            return;
        }
    }
}

void PickUp::hashState(WorldHasher& hasher) const {
    hashPresence(hasher);
    hasher.add(pickUpKind);
}

void PickUp::carryState(StateArchive& archive) {
    CARRY_STATE(archive, pickUpKind);
}

bool PickUp::finished() const {
    return !owner->active;
}

void PickUp::Update() {
    rigidBody->angularVelocity = 0.0f;
    // Only tanks collect; a pick-up already held is replaced.
    for (const ContactRecord& contact : rigidBody->contacts) {
        if (contact.other->owner->tag != "Tank") {
            continue;
        }
        setActive(owner, false);
        RigidBody2D* tankBody = contact.other->rigidBody;
        if (Player* player = tankBody != nullptr ? tankBody->owner->getComponent<Player>() : nullptr) {
            player->pickUpKind = pickUpKind;
        }
        return;
    }
}
