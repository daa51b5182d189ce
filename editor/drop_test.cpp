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
    UpdateWorldTransforms();
    const float step = Engine::instance().fixedStep;
    float elapsed = 0.0f;
    auto waiting = [&] {
        return std::any_of(drops.begin(), drops.end(),
                           [](const TankDrop& d) { return d.end == TankDrop::End::StillFalling; });
    };
    for (int n = 0; elapsed < seconds && waiting(); ++n) {
        if (n > 0) {
            RefreshBodyTransforms();
        }
        PhysicsStep(step);
        elapsed += step;
        for (size_t i = 0; i < bodies.size(); ++i) {
            if (drops[i].end != TankDrop::End::StillFalling) {
                continue;
            }
            for (const ContactRecord& contact : bodies[i]->contacts) {
                const std::string& what = contact.other->owner->name;
                if (what == "Platform" || what == "DeathZone") {
                    drops[i] = {what == "Platform" ? TankDrop::End::Landed : TankDrop::End::DeathZone,
                                elapsed};
                    break;
                }
            }
        }
    }
    GameObjectList::instance().destroyAll();
    return drops;
}
