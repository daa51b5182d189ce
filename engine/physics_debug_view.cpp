#include "engine/physics_debug_view.hpp"

#include "graphics/camera.hpp"
#include "graphics/debug_overlay.hpp"
#include "objects/game_object.hpp"
#include "physics/collide.hpp"
#include "physics/collision_world.hpp"

#include <imgui.h>

namespace {

const ImU32 kTouchingColour = IM_COL32(255, 60, 60, 255);
const ImU32 kFreeColour = IM_COL32(60, 255, 90, 255);
const ImU32 kBodilessColour = IM_COL32(160, 160, 160, 255);
const ImU32 kContactColour = IM_COL32(255, 230, 40, 255);
constexpr float kNormalLength = 1.0f; // world units
constexpr float kLineThickness = 1.5f;

// Column-major matrix (as the camera keeps them) times the point (x, y, z, 1).
vec4 apply(const mat4& m, vec4 p) {
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12] * p.w,
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13] * p.w,
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14] * p.w,
            m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15] * p.w};
}

ImVec2 toIm(vec2 v) {
    return {v.x, v.y};
}

class PhysicsView {
  public:
    explicit PhysicsView(const PhysicsViewFrame& f) : frame(f) {}

    void draw() const {
        ImDrawList* list = ImGui::GetBackgroundDrawList();
        for (Collider2D* c : CollisionWorld::instance().colliders) {
            if (!c->enabled || c->owner == nullptr || !c->owner->active) {
                continue;
            }
            ImU32 colour = c->rigidBody == nullptr ? kBodilessColour
                           : c->collided           ? kTouchingColour
                                                   : kFreeColour;
            if (auto* circle = dynamic_cast<CircleCollider*>(c)) {
                vec2 centre = circle->worldCentre();
                vec2 p = pixel(centre);
                float radius = length(pixel(centre + vec2{circle->radius, 0.0f}) - p);
                list->AddCircle(toIm(p), radius, colour, 0, kLineThickness);
            } else if (auto* box = dynamic_cast<OBBCollider*>(c)) {
                vec2 centre = box->worldCentre();
                float turn = BoxTurn(*box);
                vec2 up = box->upAxis * (box->height / 2.0f);
                vec2 right = box->rightAxis * (box->width / 2.0f);
                auto corner = [&](vec2 local) { return toIm(pixel(centre + rotateDegrees(local, turn))); };
                list->AddQuad(corner(up + right), corner(up - right), corner(-up - right), corner(right - up),
                              colour, kLineThickness);
            }
        }
        for (const Manifold& m : CollisionWorld::instance().manifolds) {
            for (vec2 point : m.points) {
                vec2 p = pixel(point);
                list->AddCircleFilled(toIm(p), 3.0f, kContactColour);
                list->AddLine(toIm(p), toIm(pixel(point + m.normal * kNormalLength)), kContactColour,
                              kLineThickness);
            }
        }
    }

  private:
    vec2 pixel(vec2 world) const { return WorldToWindow(*frame.camera, frame.viewport, world); }
    const PhysicsViewFrame& frame;
};

} // namespace

vec2 WorldToWindow(const Camera& camera, const ViewRect& viewport, vec2 world) {
    vec4 clip = apply(camera.projection, apply(camera.view, {world.x, world.y, 0.0f, 1.0f}));
    float w = clip.w != 0.0f ? clip.w : 1.0f;
    float ndcX = clip.x / w;
    float ndcY = clip.y / w;
    float x = viewport.x + (ndcX + 1.0f) * 0.5f * viewport.width;
    float yUp = viewport.y + (ndcY + 1.0f) * 0.5f * viewport.height;
    return {x, viewport.windowHeight - yUp};
}

void DrawPhysicsView(const PhysicsViewFrame& frame) {
    if (frame.camera != nullptr) {
        PhysicsView(frame).draw();
    }
}

void AddPhysicsDebugView(std::function<PhysicsViewFrame()> source) {
    static bool added = false;
    if (added || !source) {
        return;
    }
    added = true;
    DebugOverlay::instance().addFrameHook([source = std::move(source), shown = false]() mutable {
        PhysicsViewFrame frame = source();
        if (frame.togglePressed) {
            shown = !shown;
        }
        if (shown) {
            DrawPhysicsView(frame);
        }
    });
}
