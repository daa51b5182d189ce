#include "editor/drop_test.hpp"

#include "engine/engine.hpp"
#include "gameplay/player.hpp"
#include "gameplay/tank_parts.hpp"
#include "graphics/camera.hpp"
#include "match/arena.hpp"
#include "objects/game_object.hpp"
#include "objects/game_object_list.hpp"
#include "objects/world_update.hpp"
#include "physics/collider.hpp"
#include "physics/physics_step.hpp"
#include "physics/rigid_body.hpp"

#include <algorithm>
#include <cstdio>

std::vector<TankDrop> DropTanks(const MapData& map, float seconds) {
    Camera camera;
    BuildArena(camera, map, nullptr);
    std::vector<RigidBody2D*> bodies;
    for (const vec3& spawn : map.spawnPoints) {
        Player* player = nullptr;
        if (std::optional<TankParts> tank = MakeTank(player, 1, spawn)) {
            bodies.push_back(tank->rigidBody);
        }
    }
    std::vector<TankDrop> drops(bodies.size());
    std::vector<float> restingSince(bodies.size(), -1.0f); // -1: not at rest on a platform
    std::vector<vec2> lastPlace;
    for (const RigidBody2D* body : bodies) {
        lastPlace.push_back(body->position);
    }
    UpdateWorldTransforms();
    const float step = Engine::instance().fixedStep;
    float elapsed = 0.0f;
    auto undecided = [](const TankDrop& d) {
        return d.end == TankDrop::End::StillFalling || d.end == TankDrop::End::Sliding;
    };
    for (int n = 0; elapsed < seconds && std::any_of(drops.begin(), drops.end(), undecided); ++n) {
        if (n > 0) {
            RefreshBodyTransforms();
        }
        PhysicsStep(step);
        elapsed += step;
        for (size_t i = 0; i < bodies.size(); ++i) {
            TankDrop& drop = drops[i];
            if (!undecided(drop)) {
                continue;
            }
            bool onPlatform = false;
            for (const ContactRecord& contact : bodies[i]->contacts) {
                const std::string& what = contact.other->owner->name;
                if (what == "DeathZone") {
                    drop.end = TankDrop::End::DeathZone;
                    drop.seconds = elapsed;
                    break;
                }
                onPlatform = onPlatform || what == "Platform";
            }
            if (!undecided(drop)) {
                continue;
            }
            if (onPlatform && drop.touched < 0.0f) {
                drop.touched = elapsed;
                drop.end = TankDrop::End::Sliding;
            }
            // How far it moved in this step: a body held up by a platform still carries one step
            // of gravity in its velocity, which the contact takes back out of its place.
            const float speed = length(bodies[i]->position - lastPlace[i]) / step;
            lastPlace[i] = bodies[i]->position;
            // A touch is not a landing: the tank must stay on a platform, all but still.
            if (!onPlatform || speed >= kRestSpeed) {
                restingSince[i] = -1.0f;
            } else if (restingSince[i] < 0.0f) {
                restingSince[i] = elapsed;
            }
            if (restingSince[i] >= 0.0f && elapsed - restingSince[i] >= kRestSeconds) {
                drop.end = TankDrop::End::Landed;
                drop.seconds = restingSince[i];
            }
        }
    }
    GameObjectList::instance().destroyAll();
    return drops;
}
