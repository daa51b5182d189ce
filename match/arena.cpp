#include "match/arena.hpp"

#include "graphics/camera.hpp"
#include "graphics/shader_logic.hpp"
#include "objects/game_object.hpp"

ArenaBounds ArenaBoundsFor(float cameraZoom) {
    const float h = cameraZoom * 0.5f;
    return {h + 1.0f, -h, -1.6f * h, 1.6f * h};
}

DeathBorder BuildArena(Camera& camera, const MapData& map, GameObject* background) {
    const float zoom = map.cameraZoom;
    camera.position = {0, 0, 0};
    camera.front = {0, 0, -1};
    camera.up = {0, 1, 0};
    camera.near = -100.0f;
    camera.far = 100.0f;
    camera.zoom = zoom;
    camera.Recompute();

    if (background != nullptr) {
        background->attach(new ShaderLogic(&camera, background, ShaderMode::Swirl));
        background->transform.setPosition(0.0f, 0.0f, -2.0f);
        background->transform.setScale(1.75f * zoom, 1.1f * zoom, 1.0f);
    }
    for (const PlatformEntry& p : map.platforms) {
        MakePlatform(p.position, {1, 1, 1, 1}, p.scale, p.rotation);
    }
    const ArenaBounds bounds = ArenaBoundsFor(zoom);
    return MakeDeathBorder(bounds.left, bounds.right, bounds.top, bounds.bottom, {0, 0, 0},
                           kDeathBorderMargin, kDeathBorderThickness);
}
