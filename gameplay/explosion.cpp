#include "gameplay/explosion.hpp"

#include "gameplay/bullet.hpp"
#include "gameplay/player.hpp"
#include "objects/game_object.hpp"
#include "objects/state_archive.hpp"
#include "objects/world_hasher.hpp"

// Its reach is its object's scale, which the presence holds.
void Explosion::hashState(WorldHasher& hasher) const {
    hashPresence(hasher);
    hasher.addAll(timeLeft, done, force, damage);
}

void Explosion::carryState(StateArchive& archive) {
    CARRY_STATE(archive, timeLeft, done, force, damage);
}

// Once it has vanished it never comes back.
bool Explosion::finished() const {
    return !owner->active;
}

void Explosion::Update() {
    if (!done) {
        // Made during this frame's behaviour pass, so its world pose is not computed yet: a root
        // object's local position is its world position.
        vec2 at{owner->transform.position.x, owner->transform.position.y};
        float reach = (owner->transform.scale.x + 1.0f) / 2.0f;
        // Reach is measured to each tank's root; the tanks' colliders play no part.
        const uint32_t from = PlayerOfGroup(owner->group);
        for (Player* player : TankRootPlayers()) {
            vec2 d = WorldPosition2(player->owner) - at;
            if (reach * reach > lengthSquared(d)) {
                player->ApplyKnockback(d, force, damage, 0.5f, from);
            }
        }
        done = true;
    }
    timeLeft -= GameDt();
    if (timeLeft <= 0.0f) {
        setActive(owner, false);
    }
}
